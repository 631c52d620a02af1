#!/usr/bin/env bash
# fetch-sqlite.sh: prints the folder holding SQLite's single-file source (sqlite3.c, sqlite3.h) for
# the Windows builds, which compile it into the programs (the Linux builds use the system's
# libsqlite3). The source comes from the npm registry, inside the better-sqlite3 package, fetched
# as the registry serves it (curl; npm itself where curl is missing); the package's SHA-256 is
# pinned and a mismatch is refused.
#
# The files are kept in $KLXR_DEPS_CACHE (default: $XDG_CACHE_HOME/klxr-log-deps, that is
# ~/.cache/klxr-log-deps), outside the source and build folders, so that a new build folder does
# not fetch again. A kept folder is checked against the pinned hashes of the two files on every
# run and fetched anew when they differ. Messages go to standard error; the folder alone to
# standard output.
set -euo pipefail

package=better-sqlite3
version=12.9.0
package_sha256=ad0e29650140c49d0335b1d356596aa8166f12b758f418a98446130e3278f250
source_sha256=391855ddc7af04001364430884d263cbe8638f852c83865823a2d08358f6b87d
header_sha256=8e43a79982422f4720685f62839718f0e41410c1b71355aa32af3615ccd9e31d

cache="${KLXR_DEPS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/klxr-log-deps}"
folder="$cache/sqlite-from-$package-$version"

say() { echo "fetch-sqlite: $*" >&2; }

# kept_files_match: whether the kept folder holds the two files as pinned.
kept_files_match() {
  [ -f "$folder/sqlite3.c" ] && [ -f "$folder/sqlite3.h" ] || return 1
  echo "$source_sha256  $folder/sqlite3.c
$header_sha256  $folder/sqlite3.h" | sha256sum --check --status
}

if kept_files_match; then
  echo "$folder"
  exit 0
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
say "fetching $package@$version from the npm registry for SQLite's source"
url="https://registry.npmjs.org/$package/-/$package-$version.tgz"
if command -v curl >/dev/null; then
  fetch=(curl --fail --silent --show-error --location --retry 2 --connect-timeout 10
         --output "$work/$package-$version.tgz" "$url")
elif command -v npm >/dev/null; then
  fetch=(npm pack "$package@$version" --loglevel=error --fetch-retries=1
         --fetch-retry-mintimeout=2000 --fetch-retry-maxtimeout=5000)
else
  say "neither curl nor npm is installed: install curl to fetch SQLite's source for the Windows builds"
  exit 1
fi
if ! (cd "$work" && "${fetch[@]}" >"$work/fetch.log" 2>&1); then
  say "cannot fetch $url (is the network there?):"
  head -n 4 "$work/fetch.log" >&2
  exit 1
fi
tarball="$work/$package-$version.tgz"
actual=$(sha256sum "$tarball" | cut -d' ' -f1)
if [ "$actual" != "$package_sha256" ]; then
  say "$package-$version.tgz has SHA-256 $actual, not the pinned $package_sha256: refused"
  exit 1
fi
tar -xzf "$tarball" -C "$work" package/deps/sqlite3/sqlite3.c package/deps/sqlite3/sqlite3.h

# The new files replace the kept ones in one step, so that a run stopped half-way leaves no
# half-written folder behind.
mkdir -p "$cache"
staged=$(mktemp -d "$cache/.sqlite.XXXXXX")
chmod 755 "$staged"
cp "$work/package/deps/sqlite3/sqlite3.c" "$work/package/deps/sqlite3/sqlite3.h" "$staged/"
rm -rf "$folder"
mv "$staged" "$folder"
if ! kept_files_match; then
  say "the files in $package-$version.tgz differ from the pinned sqlite3.c and sqlite3.h"
  exit 1
fi
say "SQLite's source kept in $folder"
echo "$folder"
