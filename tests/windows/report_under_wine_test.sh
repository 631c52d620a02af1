#!/usr/bin/env bash
# The report klxr-log-cli.exe writes under wine, read back on the Linux side with pdfinfo and
# pdftotext: its paper, its page count (that of the Linux program's report of the same log) and
# its texts, the log's Latin-1 names among them.
#
#   tests/windows/report_under_wine_test.sh TOOL.exe SAMPLES-FOLDER WINE-COMMAND...
set -uo pipefail
tool=$1
samples=$2
shift 2
run=("$@")
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# check SAMPLE PAGES PAPER OPTIONS... -- TEXTS...: writes the sample's report with the options and
# checks its page count, its paper and that its text holds every one of the texts.
check() {
  local sample=$1 pages=$2 paper=$3
  shift 3
  local options=()
  while [ "$1" != "--" ]; do
    options+=("$1")
    shift
  done
  shift
  local out="$folder/report of $sample.pdf"
  if ! "${run[@]}" "$tool" report "$samples/$sample.tlg" "$out" "${options[@]}"; then
    fail "$sample: the tool failed"
    return
  fi
  local info text
  info=$(pdfinfo "$out" 2>&1)
  text=$(pdftotext -layout "$out" - 2>&1)
  grep -q "^Pages: *$pages$" <<<"$info" || fail "$sample: not $pages pages: $info"
  grep -qF "$paper" <<<"$info" || fail "$sample: not on $paper paper: $info"
  grep -q "rror" <<<"$info$text" && fail "$sample: the PDF tools found errors"
  for expected in "$@" "Page $pages of $pages"; do
    grep -qF "$expected" <<<"$text" || fail "$sample: no \"$expected\" in the text"
  done
}

check mixed 3 "(A4)" --site "Hill Road 4" --title "Block B" -- \
  "Block B" "Site: Hill Road 4" "Records: 40" "Units: dBm" "Level (dBm)" "MER/CN (dB)" \
  "Seq Num" "Télé Nord" "Région Est"
check full 65 "(letter)" --dbuv --letter -- "Measurement log" "Units: dBuV" "Level (dBuV)"

[ "$failures" -eq 0 ] && echo "the report under wine: all checks passed"
exit $((failures > 0))
