#!/usr/bin/env bash
# start.sh against the README it serves: it builds the open driver that the README's way to a real
# meter loads, configures its build through the shared helper (ccache when installed), and the
# times it tells the user are the README's.
#
#   tests/scripts/start_script_test.sh SOURCE-DIR
set -u
root="$1"
start="$root/scripts/start.sh"
readme="$root/README.md"
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# Every build start.sh makes: the targets it names, the configuration through klxr_configure.
grep -q '^targets=(.*klxr-open-driver' "$start" || fail "start.sh does not build klxr-open-driver"
grep -q 'cmake -S' "$start" && fail "start.sh configures without klxr_configure (and ccache)"
grep -q 'klxr_configure build' "$start" || fail "start.sh does not configure build/"

# The times: a full log's, and the 40-record sample's fast read, as the README gives them.
full=$(grep -o 'a full log reads in about [0-9.]* s' "$readme" | head -1 | grep -o '[0-9.]* s$')
sample=$(grep -o '40-record sample on the real-time virtual meter, fast | [0-9.]* s' "$readme" |
         grep -o '[0-9.]* s$')
[ -n "$full" ] || fail "the README gives no time for a full log"
[ "$sample" = "0.5 s" ] || fail "the README's fast read of the sample is '$sample', start.sh says half a second"
told=$(tr '\n' ' ' < "$start" | grep -o 'full log of 1568 records *reads in about [0-9.]* s' |
       grep -o '[0-9.]* s$' | sort -u)
[ "$told" = "$full" ] || fail "start.sh tells a full log in '$told', the README in '$full'"
grep -Eq '[0-9]+ seconds|every [0-9]+ ms' "$start" && fail "start.sh tells a time the README does not"

[ "$failures" -eq 0 ] && echo "start.sh agrees with the README"
exit $((failures > 0))
