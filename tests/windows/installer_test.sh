#!/usr/bin/env bash
# The Windows installer under wine: installs it silently, checks the installed files, the Start-menu
# entries and the Uninstall key, reads the demo meter with the installed command-line tool and the
# installed desktop program (both reads kept in the survey archive at its default place), checks
# that .tlg files open with the program, then uninstalls silently and checks that only the user's
# own file, the settings key and what others keep under .tlg are left.
#
#   tests/windows/installer_test.sh BUILD-FOLDER
# BUILD-FOLDER is the 64-bit Windows build holding klxr-log-VERSION-setup.exe. Runs in WINEPREFIX
# (default: the build folder's wine-prefix, as its tests use).
set -euo pipefail
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
setup="$build/klxr-log-$version-setup.exe"
wine=/usr/lib/wine/wine64
export WINEPREFIX="${WINEPREFIX:-$build/wine-prefix}" WINEDEBUG=-all
# The survey archive at its default place, in the prefix's user folder.
unset KLXR_ARCHIVE
# No menu entries of the Linux desktop for the shortcuts the installer makes.
export WINEDLLOVERRIDES="winemenubuilder.exe=d"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\klxr-log'
settings='HKCU\SOFTWARE\KLXRPlusData'
extension='HKCU\Software\Classes\.tlg'
progid='HKCU\Software\Classes\KLXR.Log'
product="KL-XR Meter - Log"
started=$SECONDS
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# windows_text COMMAND...: what a Windows program writes, without the carriage returns.
windows_text() { "$wine" "$@" 2>/dev/null | tr -d '\r'; }
# registry_value NAME < LISTING: the value's data in what "reg query KEY" shows (a DWORD as 0x...).
registry_value() { sed -n "s/^ *$1 \{4\}REG_[A-Z_]* \{4\}//p"; }
key_exists() { "$wine" reg query "$1" >/dev/null 2>&1; }

[ -f "$setup" ] || {
  echo "no installer $setup (cmake --build $build --target installer)" >&2
  exit 1
}

# The user's folders, and where the installation goes by default.
mapfile -t folders < <(windows_text cmd /c 'echo %LOCALAPPDATA%&echo %APPDATA%')
location="${folders[0]}\\Programs\\klxr-log"
mapfile -t unix_folders < <(windows_text winepath -u "$location" "${folders[1]}")
install="${unix_folders[0]%/}"
start_menu="${unix_folders[1]%/}/Microsoft/Windows/Start Menu/Programs/$product"
case "$install" in
  "$WINEPREFIX"/*) ;;
  *)
    echo "wine gave no user folders in $WINEPREFIX (got '$install')" >&2
    exit 1
    ;;
esac

# A clean start: what an interrupted run may have left.
rm -rf "$install" "$start_menu"
"$wine" reg delete "$key" /f >/dev/null 2>&1 || true
"$wine" reg delete "$extension" /f >/dev/null 2>&1 || true
"$wine" reg delete "$progid" /f >/dev/null 2>&1 || true

"$wine" "$setup" /S || fail "the installer exits with status $?"

# The files: the programs and the DLL as built (stripped), the samples as bundled, the uninstaller.
# The desktop program is there when the build makes it: then the installer's list names it.
desktop_program=$(grep -o 'klxr-log\.exe' "$build/packaging/windows/installed_files.nsh" | head -1 ||
                  true)
expected=(klxr-log-cli.exe klxr-virtual-meter.dll copyright.txt uninstall.exe)
stripped="$build/packaging/windows/stripped"
declare -A sources=([klxr-log-cli.exe]="$stripped/klxr-log-cli.exe"
                    [klxr-virtual-meter.dll]="$stripped/klxr-virtual-meter.dll"
                    [copyright.txt]="$root/packaging/debian/copyright")
if [ -n "$desktop_program" ]; then
  expected+=(klxr-log.exe)
  sources[klxr-log.exe]="$stripped/klxr-log.exe"
else
  expected+=(klxr-log.ico)
  sources[klxr-log.ico]="$root/resources/icons/icon_135.ico"
fi
for sample in "$root"/samples/*.tlg; do
  expected+=("samples/${sample##*/}")
  sources["samples/${sample##*/}"]="$sample"
done
installed=$( (cd "$install" 2>/dev/null && find . -type f || true) | sed 's|^\./||' | sort)
[ "$installed" = "$(printf '%s\n' "${expected[@]}" | sort)" ] ||
  fail "installed files differ from the expected ones:" $'\n'"$installed"
for file in "${!sources[@]}"; do
  cmp -s "${sources[$file]}" "$install/$file" || fail "$file is not ${sources[$file]}"
done
for entry in "$product" "$product (virtual meter)"; do
  [ -f "$start_menu/$entry.lnk" ] || fail "no Start-menu entry '$entry'"
done
# The demo entry passes --demo (the shortcut holds its arguments in UTF-16).
grep -qaP -- '-\x00-\x00d\x00e\x00m\x00o\x00' "$start_menu/$product (virtual meter).lnk" ||
  fail "the virtual meter's Start-menu entry does not pass --demo"

# The Uninstall key: what the list of installed programs shows and runs.
declare -A registered=([DisplayName]="$product" [DisplayVersion]="$version" [Publisher]="klxr-log"
                       [UninstallString]="\"$location\\uninstall.exe\""
                       [QuietUninstallString]="\"$location\\uninstall.exe\" /S"
                       [InstallLocation]="$location" [NoModify]=0x1 [NoRepair]=0x1)
listing=$(windows_text reg query "$key")
for name in "${!registered[@]}"; do
  value=$(registry_value "$name" <<<"$listing")
  [ "$value" = "${registered[$name]}" ] || fail "$name is '$value', not '${registered[$name]}'"
done
size=$(($(registry_value EstimatedSize <<<"$listing")))
files_size=$(find "$install" -type f ! -name uninstall.exe -printf '%s\n' |
             awk '{ bytes += $1 } END { print int(bytes / 1024) }' || true)
[ "$size" -ge $((files_size * 9 / 10)) ] && [ "$size" -le $((files_size * 11 / 10 + 64)) ] ||
  fail "EstimatedSize is $size KiB, the files hold $files_size KiB"

# The .tlg file type: the ending names KLXR.Log, which opens a file with the installed program.
# default_value KEY: the data of the key's unnamed value.
default_value() { windows_text reg query "$1" /ve | registry_value '([^)]*)'; }
if [ -n "$desktop_program" ]; then
  declare -A associated=(["$extension"]="KLXR.Log"
                         ["$progid\DefaultIcon"]="\"$location\klxr-log.exe\",0"
                         ["$progid\shell\open\command"]="\"$location\klxr-log.exe\" \"%1\"")
  for name in "${!associated[@]}"; do
    value=$(default_value "$name")
    [ "$value" = "${associated[$name]}" ] || fail "$name is '$value', not '${associated[$name]}'"
  done
fi

# The installed tool reads the demo meter, found beside it, into a file of the user's own; the read
# is kept in the demo's own survey archive beside the default one, never among real surveys.
user_file="samples\\my read.tlg"
archive_folder="$(windows_text winepath -u "${folders[0]}")"
archive_folder="${archive_folder%/}/klxr-log"
rm -rf "$archive_folder"
(cd "$WINEPREFIX/drive_c" && env -u KLXR_D2XX_LIBRARY "$wine" "$install/klxr-log-cli.exe" --demo \
   read --out "$location\\$user_file" >/dev/null 2>&1) ||
  fail "the installed klxr-log-cli.exe --demo read failed"
cmp -s "$root/samples/mixed.tlg" "$install/samples/my read.tlg" ||
  fail "the demo read did not give the sample log"
# history_json: the installed tool's list of the demo archive's surveys, as JSON on one line.
history_json() {
  (cd "$WINEPREFIX/drive_c" && windows_text "$install/klxr-log-cli.exe" --demo history \
     --format json) | tr -d '\n '
}
[ -f "$archive_folder/demo-surveys.sqlite" ] || fail "the demo read left no demo survey archive"
[ ! -e "$archive_folder/surveys.sqlite" ] || fail "the demo read was kept among real surveys"
history=$(history_json)
grep -q '"record_count":[1-9][0-9]*,"complete":true' <<<"$history" ||
  fail "the installed tool's history does not list the demo read: $history"

if [ -n "$desktop_program" ]; then
  # The installed desktop program reads the demo meter, driven by a short automation script whose
  # report goes to a file (a GUI program has no standard output).
  printf 'timeout 60\nanswer ok\ncommand 32779\nwait-idle\nquit\n' >"$WINEPREFIX/drive_c/klxr-script.txt"
  rm -f "$WINEPREFIX/drive_c/klxr-report.txt"
  (cd "$WINEPREFIX/drive_c" && env -u KLXR_D2XX_LIBRARY KLXR_AUTOMATION='C:\klxr-script.txt' \
     KLXR_AUTOMATION_REPORT='C:\klxr-report.txt' "$wine" "$install/klxr-log.exe" --demo \
     >/dev/null 2>&1) || fail "the installed klxr-log.exe --demo exits with status $?"
  report=$(tr -d '\r' <"$WINEPREFIX/drive_c/klxr-report.txt" 2>/dev/null || true)
  [ "$report" = 'box information 3 "Transfer Complete!" -> ok' ] ||
    fail "the installed klxr-log.exe --demo did not read the demo meter: '$report'"
  # The same log read again is the same survey, seen twice.
  history=$(history_json)
  grep -q '"sightings":2}]$' <<<"$history" ||
    fail "the desktop program's read is not the demo survey seen again: $history"
  rm -f "$WINEPREFIX/drive_c/klxr-script.txt" "$WINEPREFIX/drive_c/klxr-report.txt"
fi

# The uninstaller copies itself away and returns at once: wait for it to remove its key, its last
# step. A value of the user's in the settings key must survive it.
"$wine" reg add "$settings" /v InstallerTestMark /d kept /f >/dev/null
# Another program's claim on .tlg files, which must stay.
"$wine" reg add "$extension\OpenWithProgids" /v Other.Log /d "" /f >/dev/null
"$wine" "$install/uninstall.exe" /S || fail "the uninstaller exits with status $?"
for _ in $(seq 60); do
  key_exists "$key" || break
  sleep 0.5
done
key_exists "$key" && fail "the Uninstall key is still there"
left=$( (cd "$install" 2>/dev/null && find . || true) | sed 's|^\./||' | sort)
[ "$left" = "$(printf '%s\n' . samples "samples/my read.tlg")" ] ||
  fail "the uninstaller left more or less than the user's file:" $'\n'"$left"
[ -e "$start_menu" ] && fail "the Start-menu folder is still there"
[ "$(windows_text reg query "$settings" | registry_value InstallerTestMark)" = kept ] ||
  fail "the uninstaller touched the settings key"
"$wine" reg delete "$settings" /v InstallerTestMark /f >/dev/null 2>&1 || true
key_exists "$progid" && fail "the uninstaller left the file type $progid"
case "$(default_value "$extension")" in
  "" | "(value not set)") ;;
  *) fail "the uninstaller left .tlg naming a file type" ;;
esac
key_exists "$extension\OpenWithProgids" || fail "the uninstaller took another program's .tlg entry"
"$wine" reg delete "$extension" /f >/dev/null 2>&1 || true
rm -rf "$install" "$archive_folder"

if [ "$failures" -ne 0 ]; then
  echo "the installer: $failures failures"
  exit 1
fi
echo "the installer installs, runs the demo and uninstalls cleanly ($((SECONDS - started)) s)"
