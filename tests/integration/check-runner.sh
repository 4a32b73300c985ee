#!/usr/bin/env bash
# The runner's contract, in one boot: the command's stdout, stderr, exit
# status and left files come back whole and apart from the kernel's console,
# including bytes a terminal would mangle and output larger than one pipe
# buffer.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/guest/common.sh"
[ -z "${VORN_SKIP_INTEGRATION:-}" ] || vg_skip "VORN_SKIP_INTEGRATION is set"

work=$(mktemp -d "${TMPDIR:-/tmp}/vorn-runner-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
cat >"$work/cmd.sh" <<'GUEST'
printf 'line one\r\nno newline at the end'
printf 'to stderr\n' >&2
i=0
while [ $i -lt 4000 ]; do echo "file line $i"; i=$((i + 1)); done >/vorn/out/big.txt
printf '\000\001\377\n' >/vorn/out/binary
echo "kernel noise" >/dev/kmsg
exit 3
GUEST

status=0
"$here/run-guest.sh" --out-dir "$work/out" --disk sata0 --script "$work/cmd.sh" \
    >"$work/stdout" 2>"$work/stderr" || status=$?
[ "$status" != 77 ] || vg_skip "$(sed -n 's/^skipped: //p' "$work/stdout" | head -n 1)"

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
[ "$status" = 3 ] || fail "exit status $status, want 3"
[ "$(od -An -c "$work/stdout" | tr -s ' ')" = "$(printf 'line one\r\nno newline at the end' | od -An -c | tr -s ' ')" ] ||
    fail "stdout not returned byte for byte: $(od -c "$work/stdout" | head -n 3)"
grep -qx 'to stderr' "$work/stderr" || fail "stderr lost"
grep -q 'kernel noise' "$work/stdout" "$work/stderr" && fail "kernel messages mixed into the output"
[ "$(wc -l <"$work/out/files/big.txt")" = 4000 ] || fail "big.txt came back with $(wc -l <"$work/out/files/big.txt") lines"
[ "$(od -An -tx1 "$work/out/files/binary" | tr -d ' ')" = 0001ff0a ] || fail "binary file altered"
grep -q 'wall .* s, guest uptime at command start' "$work/out/timing" || fail "no timing record"
[ "$failures" = 0 ] || exit 1
echo "passed: runner ($(cat "$work/out/timing"))"
