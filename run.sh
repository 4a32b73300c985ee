#!/usr/bin/env bash
# Builds the suite's programs in Release, and only those (no tests), then runs
# its main job: on a desktop (DISPLAY or WAYLAND_DISPLAY set) the
# DrivewatchMini window, elsewhere the drivewatch command-line checker, on
# this machine's disks or, when none answers, on the simulated sample machine.
set -euo pipefail
cd "$(dirname "$0")"
tools/ensure-packages.sh $(cat tools/run-packages.txt)
export BUILD_DIR=build-run
cmake -S . -B "$BUILD_DIR" -DCMAKE_BUILD_TYPE=Release -DVORN_TESTS=OFF >/dev/null
targets=(drivewatch vorn_templates)
desktop=
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    desktop=yes
    targets+=(DrivewatchMini)
fi
cmake --build "$BUILD_DIR" -j "$(nproc)" --target "${targets[@]}"
if [ -n "$desktop" ] && [ -x "$BUILD_DIR/bin/DrivewatchMini" ]; then
    exec tools/run-drivewatchmini.sh "$@"
fi
exec tools/run-drivewatch.sh "$@"
