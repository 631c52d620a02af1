#!/usr/bin/env bash
# A PostgreSQL server of the team archive's tests: team_server.sh start|stop STATE-FILE.
# start: initdb in a new temporary folder, the server listening on a Unix socket in that folder
# only (no TCP port), the team's roles made; the folder is written to STATE-FILE. Run as root, the
# server runs as nobody (PostgreSQL refuses root). Where there is no PostgreSQL, or the user cannot
# be changed, STATE-FILE is not written and the tests skip themselves, saying why.
# halt: stops it at once, as a crash would, keeping its data; resume: starts it again.
# stop: stops that server and removes its folder.
set -euo pipefail
action="$1"
state="$2"

as_server=()
if [ "$(id -u)" -eq 0 ]; then as_server=(setpriv --reuid=nobody --regid=nogroup --clear-groups --); fi

start_server() {
  "${as_server[@]}" "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w \
    -o "-c listen_addresses='' -c unix_socket_directories='$dir' -c fsync=off" start >/dev/null
}

if [ "$action" = halt ] || [ "$action" = resume ]; then
  dir=$(cat "$state")
  bin=$(cat "$dir/bin")
  if [ "$action" = halt ]; then
    "${as_server[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null
  else
    start_server
  fi
  exit 0
fi
if [ "$action" = stop ]; then
  [ -f "$state" ] || exit 0
  dir=$(cat "$state")
  bin=$(cat "$dir/bin")
  "${as_server[@]}" "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1 || true
  rm -rf "$dir" "$state"
  exit 0
fi

rm -f "$state"
bin=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "team_server.sh: no PostgreSQL server here (Debian's postgresql package)" >&2
  exit 0
fi
dir=$(mktemp -d /tmp/klxr-pg.XXXXXX)
echo "$bin" >"$dir/bin"
if [ ${#as_server[@]} -gt 0 ]; then chown nobody:nogroup "$dir"; fi
if ! "${as_server[@]}" "$bin/initdb" -D "$dir/data" -U klxr_admin -A trust -E UTF8 --no-locale \
  >"$dir/initdb.log" 2>&1; then
  echo "team_server.sh: initdb failed:" >&2
  cat "$dir/initdb.log" >&2
  rm -rf "$dir"
  exit 0
fi
# One role signs in with a password (from libpq's password file); every other one is trusted.
cat >"$dir/data/pg_hba.conf" <<HBA
local all installer_pw scram-sha-256
local all all trust
HBA
start_server
"$bin/psql" -q -X -v ON_ERROR_STOP=1 -h "$dir" -U klxr_admin -d postgres <<SQL
CREATE ROLE klxr_team_readers NOLOGIN;
CREATE ROLE klxr_team_writers NOLOGIN;
CREATE ROLE reader LOGIN IN ROLE klxr_team_readers;
CREATE ROLE writer LOGIN IN ROLE klxr_team_writers;
CREATE ROLE installer_pw LOGIN PASSWORD 'right horse' IN ROLE klxr_team_writers;
SQL
echo "$dir" >"$state"
