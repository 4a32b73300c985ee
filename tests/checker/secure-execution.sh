#!/usr/bin/env bash
# A copy of drivewatch given a file capability runs in secure execution: the
# environment must not be able to point it at another machine's files or
# make it write a trace. The same copy without the capability, run by the
# same user with the same environment, does both, so the check can fail.
#   secure-execution.sh DRIVEWATCH SAMPLE_MACHINE
# Exits 77 (skipped) when it cannot give a file capability: not root, or no
# setcap, setpriv or patchelf.
set -euo pipefail
program=$1
machine=$2
if [ "$(id -u)" != 0 ] || ! command -v setcap >/dev/null || ! command -v setpriv >/dev/null ||
    ! command -v patchelf >/dev/null; then
    echo "skipped: needs root, setcap, setpriv and patchelf"
    exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 0755 "$work"
mkdir -m 1777 "$work/shared"
cp "$program" "$work/drivewatch"
# The loader ignores $ORIGIN in secure execution; an absolute search path
# to the build's libraries stands in for an installed system location.
patchelf --set-rpath "$(dirname "$(readlink -f "$program")")" "$work/drivewatch"

run_as_nobody() {
    VORN_SIM="$machine" VORN_SIM_TRACE="$work/shared/trace" \
        setpriv --reuid=65534 --regid=65534 --clear-groups "$work/drivewatch" --json --no-history \
        >"$work/out.json" 2>"$work/err.txt" || true
}

# The control: an ordinary run reads the simulated machine and traces it.
run_as_nobody
grep -q '"model"' "$work/out.json" || { echo "control run read no simulated disk"; cat "$work/err.txt"; exit 1; }
[ -s "$work/shared/trace" ] || { echo "control run wrote no trace"; exit 1; }
rm -f "$work/shared/trace"

if ! setcap cap_sys_rawio+ep "$work/drivewatch" 2>"$work/setcap.txt"; then
    echo "skipped: this file system keeps no file capability: $(cat "$work/setcap.txt")"
    exit 77
fi
run_as_nobody
if grep -q '"model"' "$work/out.json"; then
    echo "FAILED: a capability run read the machine VORN_SIM named"
    exit 1
fi
if [ -e "$work/shared/trace" ]; then
    echo "FAILED: a capability run wrote the trace VORN_SIM_TRACE named"
    exit 1
fi
echo "ok: VORN_SIM and VORN_SIM_TRACE are ignored under secure execution"
