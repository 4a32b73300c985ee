#!/usr/bin/env bash
# Takes the README's pictures of DrivewatchMini on the simulated machine under
# a virtual display: the main window, the tray menu, the detail dialog and
# the self-test dialog.
# Usage: tools/window-screenshots.sh [build dir]   (writes docs/images/)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bin="$root/${1:-build}/bin"
out="$root/docs/images"
if [ "${INSIDE_XVFB:-}" != 1 ]; then
    export INSIDE_XVFB=1
    exec dbus-run-session -- xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

work=$(mktemp -d)
mkdir -m 700 "$work/runtime"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$work"' EXIT
cp -r "$bin/Template" "$bin/DrivewatchMini.html" "$work/"
export XDG_RUNTIME_DIR="$work/runtime"

trayer --edge top --align right --widthtype request --height 28 --transparent false &
sleep 0.5
(cd "$work" && VORN_SIM="$root/data/sample-machine" "$bin/DrivewatchMini" 2>/dev/null) &
for _ in $(seq 50); do
    main=$(xdotool search --name '^Drivewatch Vuda$' 2>/dev/null | head -1) && [ -n "$main" ] && break
    sleep 0.2
done
sleep 1.5
import -window "$main" "$out/drivewatchmini-main.png"

# The tray icon sits in trayer's strip at the top right; its menu opens
# below it.
eval "$(xdotool search --class trayer | tail -1 | xargs xdotool getwindowgeometry --shell)"
echo "tray strip: $WIDTH x $HEIGHT at $X,$Y" >&2
xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
sleep 0.8
import -window root -crop 360x200+664+0 +repage "$out/drivewatchmini-tray.png"
xdotool key Escape
sleep 0.3

# A double click on the row of attribute 05 opens its detail dialog.
xdotool mousemove --window "$main" 100 242 click --repeat 2 --delay 80 1
for _ in $(seq 25); do
    detail=$(xdotool search --name 'SMART属性の詳細情報' 2>/dev/null | head -1) && [ -n "$detail" ] && break
    sleep 0.2
done
sleep 0.5
import -window "$detail" "$out/drivewatchmini-detail.png"
xdotool key Escape
sleep 0.3

# The self-test button follows the four standard ones and the separator.
xdotool mousemove --window "$main" $((12 + 4 * 39 + 8 + 19)) 23 click 1
for _ in $(seq 25); do
    selftest=$(xdotool search --name '^セルフテスト - ' 2>/dev/null | head -1) && [ -n "$selftest" ] && break
    sleep 0.2
done
sleep 0.8
import -window "$selftest" "$out/drivewatchmini-selftest.png"
echo "wrote $out/drivewatchmini-{main,tray,detail,selftest}.png"
