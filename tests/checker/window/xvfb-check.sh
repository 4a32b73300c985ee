#!/usr/bin/env bash
# Starts the real DrivewatchMini on the simulated machine under a virtual
# display, with a tray host and the accessibility bus, and reads it the way
# a screen reader does (atspi-check.py): once in Japanese, once in English
# (VORN_LANG=en). Exit 77 (skipped) when Xvfb, the
# bus or the Python bindings are not there.
# Usage: xvfb-check.sh <DrivewatchMini> <sample machine> [screenshot folder]
set -uo pipefail
program=$(realpath "$1")
machine=$(realpath "$2")
shots=${3:-}
here="$(cd "$(dirname "$0")" && pwd)"

for tool in xvfb-run dbus-run-session import; do
    command -v "$tool" >/dev/null || { echo "skip: $tool is missing"; exit 77; }
done
# The bindings come with the system's Python, not with another one on PATH.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
"$python" -c 'import pyatspi' 2>/dev/null || { echo "skip: python3-pyatspi is missing"; exit 77; }
[ -x /usr/libexec/at-spi-bus-launcher ] || { echo "skip: at-spi2-core is missing"; exit 77; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/runtime" "$work/start"
# The program reads its data files from where it starts.
cp -r "$(dirname "$program")/Template" "$work/start/" 2>/dev/null
cp "$(dirname "$program")/DrivewatchMini.html" "$work/start/" 2>/dev/null

export XDG_RUNTIME_DIR="$work/runtime"
# The programs keep their readings here, not in the account's own store.
export VORN_HISTORY="$work/history.sqlite"
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0
export VORN_SIM="$machine"
export DRIVEWATCH_MINI="$program" START_DIR="$work/start" SHOT_DIR="$shots"
status=0
for lang in ja en; do
    echo "--- VORN_LANG=$lang"
    VORN_LANG=$lang timeout 150 dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" \
        "$python" "$here/atspi-check.py"
    status=$?
    [ "$status" -eq 124 ] && echo "FAIL: the check took too long"
    [ "$status" -ne 0 ] && break
done
exit "$status"
