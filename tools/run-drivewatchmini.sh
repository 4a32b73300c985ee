#!/usr/bin/env bash
# Starts the DrivewatchMini window on this machine's disks. When no disk
# answers (no root, or no ATA disk, as on a virtual machine) it says so and
# shows the simulated sample machine instead; the window's tray tip says so
# too. The window keeps its data files (Template/, the manual, the baseline
# files, the run log) in the folder it starts in: the build's bin folder.
# Usage: tools/run-drivewatchmini.sh [switches...]   (BUILD_DIR=build)
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/${BUILD_DIR:-build}/bin"
if [ ! -x "$bin/DrivewatchMini" ]; then
    echo "run-drivewatchmini: $bin/DrivewatchMini is not built" >&2
    exit 1
fi
cd "$bin"
status=0
env -u VORN_SIM ./drivewatch >/dev/null 2>&1 || status=$?
if [ "$status" -eq 2 ]; then
    if [ "$(id -u)" -ne 0 ]; then why="not running as root"; else why="no ATA disk answered"; fi
    echo "DrivewatchMini: no disk of this machine could be read ($why); showing the SIMULATED sample machine (data/sample-machine) instead." >&2
    export VORN_SIM="$root/data/sample-machine"
else
    unset VORN_SIM
fi
exec ./DrivewatchMini "$@"
