#!/usr/bin/env bash
# Runs drivewatch on this machine's disks. When no disk answers (no root, or
# no ATA disk, as on a virtual machine) it says so in one line and shows the
# simulated sample machine instead, labelled as such (on standard error,
# so that --json output stays one document).
# Usage: tools/run-drivewatch.sh [drivewatch options...]   (BUILD_DIR=build)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/${BUILD_DIR:-build}/bin/drivewatch"
if [ ! -x "$bin" ]; then
    echo "run-drivewatch: $bin is not built" >&2
    exit 1
fi

status=0
output=$(mktemp)
errors=$(mktemp)
trap 'rm -f "$output" "$errors"' EXIT
env -u VORN_SIM "$bin" "$@" >"$output" 2>"$errors" || status=$?
if [ "$status" -ne 2 ]; then
    cat "$output"
    cat "$errors" >&2
    exit "$status"
fi

if [ "$(id -u)" -ne 0 ]; then
    why="not running as root"
else
    why="no ATA disk answered"
fi
echo "drivewatch: no disk of this machine could be read ($why); showing the simulated sample machine instead." >&2
echo "=== SIMULATED sample machine (data/sample-machine), not this computer's disks ===" >&2
status=0
VORN_SIM="$root/data/sample-machine" "$bin" "$@" || status=$?
echo "=== end of the SIMULATED sample machine (exit status $status) ===" >&2
exit "$status"
