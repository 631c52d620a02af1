#!/usr/bin/env bash
# The shell completion of klxr-log-cli: the bash script run through bash as the shell runs it
# (COMP_WORDS, COMP_CWORD, then the completion function), for a table of command lines; the zsh
# script is checked for its syntax when zsh is installed.
#
#   tests/cli/completion_test.sh TOOL BASH-SCRIPT ZSH-SCRIPT SAMPLES-DIR
set -u
tool=$1 bash_script=$2 zsh_script=$3 samples=$4
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

# A folder with a log, a CSV and a sub-folder, and an archive with two surveys in it.
cp "$samples/mixed.tlg" "$work/site-a.tlg"
cp "$samples/full.tlg" "$work/site-b.TLG"
touch "$work/notes.csv"
mkdir "$work/older"
export KLXR_ARCHIVE="$work/surveys.sqlite"
"$tool" history import "$work/site-a.tlg" "$work/site-b.TLG" >/dev/null 2>&1 ||
  echo "note: no archive in this build; the survey id cases expect none"
ids=$("$tool" history --format json 2>/dev/null | grep -o '"id": [0-9]*' | grep -o '[0-9]*' |
      sort | tr '\n' ' ')

# shellcheck source=/dev/null
source "$bash_script"

# Completes the command line (the cursor at its end: a trailing space starts a new word) from
# inside the work folder and prints the candidates sorted, space-separated.
complete_line() {
  local line=$1
  read -ra COMP_WORDS <<<"$line"
  [[ $line == *" " ]] && COMP_WORDS+=("")
  COMP_WORDS[0]=$tool
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  (cd "$work" && _klxr_log_cli && printf '%s\n' "${COMPREPLY[@]}") | sed '/^$/d' | LC_ALL=C sort |
    tr '\n' ' '
}

# command line | the candidates (sorted), or "~ WORD..." for words that must be among them
cases=(
  "klxr-log-cli |~ show export compare read erase list adapter report history help --demo"
  "klxr-log-cli h|help history "
  "klxr-log-cli --demo re|read report "
  "klxr-log-cli read --p|--paced --progress "
  "klxr-log-cli read --out |older site-a.tlg site-b.TLG "
  "klxr-log-cli read --csv n|notes.csv "
  "klxr-log-cli export --format |csv json tidy-csv "
  "klxr-log-cli show |older site-a.tlg site-b.TLG "
  "klxr-log-cli show site-a.tlg |"
  "klxr-log-cli history |channel export forget import label pull push show team "
  "klxr-log-cli history te|team "
  "klxr-log-cli history team |init "
  "klxr-log-cli history export 1 --format |csv json tidy-csv tlg "
  "klxr-log-cli history --team |channel show "
  "klxr-log-cli history import |older site-a.tlg site-b.TLG "
  "klxr-log-cli history show |$ids"
  "klxr-log-cli history forget 1 |"
  "klxr-log-cli report site-a.tlg out.pdf --compare |~ site-a.tlg $ids"
  "klxr-log-cli help |~ help history read"
  "klxr-log-cli nonsense |"
)
for entry in "${cases[@]}"; do
  line=${entry%%|*} want=${entry#*|}
  got=$(complete_line "$line")
  if [[ $want == "~ "* ]]; then
    for word in ${want#"~ "}; do
      [[ " $got" == *" $word "* ]] || {
        echo "FAIL: '$line' offers '$got', without '$word'"
        failures=$((failures + 1))
      }
    done
  elif [[ $got != "$want" ]]; then
    echo "FAIL: '$line' offers '$got', expected '$want'"
    failures=$((failures + 1))
  fi
done

# No archive at all: the ids are quietly none, and none is created.
KLXR_ARCHIVE="$work/missing/none.sqlite" got=$(KLXR_ARCHIVE="$work/missing/none.sqlite" \
  complete_line "klxr-log-cli history show " 2>&1)
[[ -z $got && ! -e $work/missing ]] || {
  echo "FAIL: without an archive 'history show' offers '$got' or made one"
  failures=$((failures + 1))
}

if command -v zsh >/dev/null; then
  zsh -n "$zsh_script" || { echo "FAIL: zsh finds the completion script wrong"; failures=$((failures + 1)); }
else
  echo "note: zsh is not installed; its completion script is not checked"
fi

[ "$failures" -eq 0 ] && echo "completion offers what the tool takes"
exit $((failures > 0))
