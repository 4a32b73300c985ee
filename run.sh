#!/usr/bin/env bash
# Builds the suite and runs its main job: on a desktop (DISPLAY or
# WAYLAND_DISPLAY set) the DrivewatchMini window, elsewhere the drivewatch
# command-line checker, on this machine's disks or, when none answers, on the
# simulated sample machine.
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-packages.sh $(cat tools/build-packages.txt)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build -j "$(nproc)"
if [ ! -x build/bin/drivewatch ]; then
    echo "run.sh: the drivewatch command-line tool is not built yet; the libraries built and nothing else runs."
    exit 0
fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -x build/bin/DrivewatchMini ]; then
    exec tools/run-drivewatchmini.sh "$@"
fi
exec tools/run-drivewatch.sh "$@"
