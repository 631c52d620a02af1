#!/usr/bin/env bash
# Tests the Debian package as a user gets it: scripts/test-package.sh [BUILD-FOLDER]
# Makes the package from the build folder (default build/), checks it with lintian, extracts it into
# a temporary root (dpkg-deb -x: nothing is installed on this machine), checks that every file is
# where the README's "Install" table says and nothing else is there, validates the desktop entry and
# the AppStream metainfo, and runs both programs from there: --version, and --demo on the virtual
# meter they find beside themselves (the meter's clock virtual, so nothing waits).
set -euo pipefail
source "$(dirname "$0")/lib.sh"
cd "$KLXR_ROOT"

dir="${1:-build}"
klxr_ensure_packages python3 dpkg-dev file gzip desktop-file-utils appstream lintian

"$KLXR_ROOT/scripts/package.sh" "$dir"
package=$(ls "$dir"/klxr-log_*.deb)
version=$(dpkg-deb -f "$package" Version)
version=${version%-*}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$package" "$root"

fail() {
  echo "test-package: $*" >&2
  exit 1
}

klxr_say "Checking the package with lintian"
lintian --fail-on error --tag-display-limit 0 "$package" | tee "$work/lintian.txt"

klxr_say "Checking the installed files against the README's table"
# The table's first column holds the installed paths (shell patterns) in backticks; rows saying
# "(when built)" are files of optional parts.
table=$(sed -n '/^## Install/,/^## /p' README.md)
mapfile -t patterns < <(sed -n 's/^| `\(\/[^`]*\)` |.*/\1/p' <<<"$table")
mapfile -t required < <(grep -v '(when built)' <<<"$table" | sed -n 's/^| `\(\/[^`]*\)` |.*/\1/p')
[ ${#required[@]} -gt 0 ] || fail "no installed files listed in README.md's Install section"
mapfile -t installed < <(cd "$root" && find . -type f -o -type l | sed 's/^\.//' | sort)
for pattern in "${required[@]}"; do
  matched=0
  for file in "${installed[@]}"; do
    # shellcheck disable=SC2053 # the pattern is meant to match
    [[ "$file" == $pattern ]] && matched=1 && break
  done
  [ $matched -eq 1 ] || fail "README lists $pattern but the package has no such file"
done
for file in "${installed[@]}"; do
  listed=0
  for pattern in "${patterns[@]}"; do
    # shellcheck disable=SC2053
    [[ "$file" == $pattern ]] && listed=1 && break
  done
  [ $listed -eq 1 ] || fail "the package installs $file, which README.md's table does not list"
done
echo "${#installed[@]} files, all where the README says"

klxr_say "Validating the desktop entry and the AppStream metainfo"
desktop-file-validate "$root"/usr/share/applications/*.desktop
appstreamcli validate --no-net "$root"/usr/share/metainfo/*.metainfo.xml

klxr_say "Checking the .tlg file type"
mime="$root/usr/share/mime/packages/klxr-log.xml"
[ -f "$mime" ] || fail "the package has no shared-mime-info file"
if command -v xmllint >/dev/null; then
  xmllint --noout "$mime" || fail "the shared-mime-info file is not well-formed XML"
fi
grep -q '<mime-type type="application/x-klxr-log">' "$mime" || fail "no application/x-klxr-log"
grep -q '<glob pattern="\*.tlg"/>' "$mime" || fail "application/x-klxr-log has no *.tlg glob"
if command -v update-mime-database >/dev/null; then
  # The database the system's trigger builds from it knows the type.
  mkdir -p "$work/mime/packages"
  cp "$mime" "$work/mime/packages/"
  update-mime-database "$work/mime" || fail "update-mime-database refuses the file"
  grep -q 'application/x-klxr-log' "$work/mime/globs2" || fail "the type is not in the database"
fi
entry=$(cat "$root"/usr/share/applications/*.desktop)
grep -qx 'MimeType=application/x-klxr-log;' <<<"$entry" || fail "the desktop entry opens no .tlg"
grep -qx 'Exec=klxr-log %f' <<<"$entry" || fail "the desktop entry does not pass the file"
echo "application/x-klxr-log: *.tlg, opened by the desktop entry"

klxr_say "Checking the manual pages against the programs' help"
man_cli=$(zcat "$root/usr/share/man/man1/klxr-log-cli.1.gz")
for command in show export read erase list adapter; do
  grep -qx ".SS $command" <<<"$man_cli" || fail "klxr-log-cli(1) does not explain $command"
done
man_desktop=$(zcat "$root/usr/share/man/man1/klxr-log.1.gz")
for option in '+Q' '\\-\\-demo' '\\-\\-help' '\\-\\-version'; do
  grep -qx ".B $option" <<<"$man_desktop" || fail "klxr-log(1) does not list $option"
done
for section in EXAMPLES ENVIRONMENT FILES "EXIT STATUS"; do
  grep -qx ".SH \"$section\"" <<<"$man_cli" || fail "klxr-log-cli(1) has no $section section"
done
echo "both pages list every command and option"

klxr_say "Checking the shell completion"
bash_completion="$root/usr/share/bash-completion/completions/klxr-log-cli"
[ -f "$bash_completion" ] || fail "the package has no bash completion"
[ -f "$root/usr/share/zsh/vendor-completions/_klxr-log-cli" ] || fail "the package has no zsh completion"
bash -n "$bash_completion" || fail "the bash completion does not parse"

klxr_say "Running the programs from the extracted package"
unset KLXR_D2XX_LIBRARY KLXR_VM_LOG KLXR_VM_RECORDS KLXR_VM_SCENARIO KLXR_VM_DEVICES KLXR_AUTOMATION
export KLXR_VM_CLOCK=virtual KLXR_SETTINGS_FILE="$work/settings.ini"
cli="$root/usr/bin/klxr-log-cli"
desktop="$root/usr/bin/klxr-log"

[ "$("$cli" --version)" = "klxr-log-cli $version" ] || fail "klxr-log-cli --version"
(cd "$work" && timeout 120 "$cli" --demo read --out x.tlg 2>"$work/read.err") ||
  { cat "$work/read.err" >&2; fail "klxr-log-cli --demo read"; }
cmp "$work/x.tlg" samples/mixed.tlg || fail "the demo's read differs from the sample log"
echo "klxr-log-cli --demo read: the sample log, byte for byte"

[ "$(QT_QPA_PLATFORM=offscreen "$desktop" --version)" = "klxr-log $version" ] ||
  fail "klxr-log --version"
cat >"$work/read.script" <<SCRIPT
# Read the demo meter, save the log, quit.
answer ok
command 32779
wait-idle
command 32784
choose $work/window.tlg
wait-idle
quit
SCRIPT
QT_QPA_PLATFORM=offscreen KLXR_AUTOMATION="$work/read.script" \
  timeout 120 "$desktop" --demo >"$work/window.out" 2>&1 || { cat "$work/window.out" >&2; fail "klxr-log --demo"; }
grep -q 'Transfer Complete!' "$work/window.out" || fail "klxr-log --demo did not complete the read"
cmp "$work/window.tlg" samples/mixed.tlg || fail "klxr-log --demo saved something else"
echo "klxr-log --demo: read and saved the sample log"

# A log named on the command line, as the file manager passes it, is loaded at start.
cp samples/ends-with-e.tlg "$work/named log.tlg"
printf 'command 32784\nchoose %s\nwait-idle\nquit\n' "$work/saved.tlg" >"$work/named.script"
QT_QPA_PLATFORM=offscreen KLXR_AUTOMATION="$work/named.script" \
  timeout 120 "$desktop" --demo "$work/named log.tlg" >"$work/named.out" 2>&1 ||
  { cat "$work/named.out" >&2; fail "klxr-log FILE"; }
cmp "$work/saved.tlg" samples/ends-with-e.tlg || fail "klxr-log FILE did not load the file"
echo "klxr-log FILE: loaded the file named"

klxr_say "The package passed: $package"
