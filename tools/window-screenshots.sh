#!/usr/bin/env bash
# Takes the README's pictures of DrivewatchMini on the simulated machine under
# a virtual display: the main window, the failing disk chosen by keyboard, the
# tray menu, the detail dialog and the window at a scale of 2; the dark
# palette comes from the offscreen test that checks it; and the strip at
# scale 2 with its menu in a dark palette; and the self-test dialog. The
# window's pictures are taken in Japanese and again in English (VORN_LANG=en,
# files named *-en.png).
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
# The programs keep their readings here, not in the account's own store.
export VORN_HISTORY="$work/history.sqlite"

trayer --edge top --align right --widthtype request --height 28 --transparent false &
sleep 0.5
# The window's pictures in one language: shoot <VORN_LANG> <file suffix>
# <detail dialog's title> <self-test dialog's title, as a pattern>.
shoot() {
    local lang=$1 suffix=$2 detailTitle=$3 selfTestTitle=$4 main="" detail="" selftest=""
    cd "$work"
    VORN_LANG=$lang VORN_SIM="$root/data/sample-machine" "$bin/DrivewatchMini" 2>/dev/null &
    program=$!
    cd - >/dev/null
    for _ in $(seq 50); do
        main=$(xdotool search --name '^Drivewatch Vuda$' 2>/dev/null | head -1) && [ -n "$main" ] && break
        sleep 0.2
    done
    sleep 1.5
    [ -n "$main" ] || { echo "no main window ($lang)" >&2; return 1; }
    import -window "$main" "$out/drivewatchmini-main$suffix.png"

    # By keyboard alone: Tab past the six commands to the shown disk, Right
    # twice to the failing one, Enter to show it.
    xdotool windowactivate --sync "$main" 2>/dev/null || xdotool windowfocus "$main"
    xdotool key --delay 120 Tab Tab Tab Tab Tab Tab Right Right Return
    sleep 0.8
    import -window "$main" "$out/drivewatchmini-failing$suffix.png"
    xdotool key --delay 120 Home Return
    sleep 0.5

    # The tray icon sits in trayer's strip at the top right; its menu opens
    # below it.
    eval "$(xdotool search --class trayer | tail -1 | xargs xdotool getwindowgeometry --shell)"
    echo "tray strip: $WIDTH x $HEIGHT at $X,$Y" >&2
    xdotool mousemove $((X + WIDTH / 2)) $((Y + HEIGHT / 2)) click 3
    sleep 0.8
    import -window root -crop 360x200+664+0 +repage "$out/drivewatchmini-tray$suffix.png"
    xdotool key Escape
    sleep 0.3

    # A double click on the row of attribute 05 opens its detail dialog.
    xdotool mousemove --window "$main" 100 242 click --repeat 2 --delay 80 1
    for _ in $(seq 25); do
        detail=$(xdotool search --name "$detailTitle" 2>/dev/null | head -1) && [ -n "$detail" ] && break
        sleep 0.2
    done
    sleep 0.5
    [ -n "$detail" ] || { echo "no detail dialog ($lang)" >&2; return 1; }
    import -window "$detail" "$out/drivewatchmini-detail$suffix.png"
    xdotool key Escape
    sleep 0.3
    # The self-test button follows the four standard ones and the separator;
    # the history button comes after it.
    xdotool mousemove --window "$main" $((12 + 4 * 39 + 8 + 19)) 23 click 1
    for _ in $(seq 25); do
        selftest=$(xdotool search --name "$selfTestTitle" 2>/dev/null | head -1) && [ -n "$selftest" ] && break
        sleep 0.2
    done
    sleep 0.8
    [ -n "$selftest" ] || { echo "no self-test dialog ($lang)" >&2; return 1; }
    import -window "$selftest" "$out/drivewatchmini-selftest$suffix.png"
    xdotool key Escape
    sleep 0.3
    # One copy at a time: a second would only bring the first forward.
    kill "$program" 2>/dev/null || true
    wait "$program" 2>/dev/null || true

    # The same window at a scale of 2 on a 1366 by 768 screen: it must stand
    # wholly on the screen, title bar included, with sharp pictures.
    xvfb-run -a -s "-screen 0 1366x768x24" bash -c '
        cd "$0"; VORN_LANG="$4" QT_SCALE_FACTOR=2 VORN_SIM="$1" "$2" 2>/dev/null &
        program=$!
        for _ in $(seq 50); do
            w=$(xdotool search --name "^Drivewatch Vuda$" 2>/dev/null | head -1) && [ -n "$w" ] && break
            sleep 0.2
        done
        sleep 2
        import -window root "$3"
        kill "$program" || true' "$work" "$root/data/sample-machine" "$bin/DrivewatchMini" \
        "$out/drivewatchmini-scale2$suffix.png" "$lang"
}

shoot ja "" 'SMART属性の詳細情報' '^セルフテスト - '
shoot en -en '^SMART Attribute Details$' '^Self-test - '

# The dark palette, as the offscreen test renders and checks it.
VORN_SHOT_DIR="$out" QT_QPA_PLATFORM=offscreen "$bin/DrivewatchWindowTests" \
    --gtest_filter='*ReadableInADarkPalette' >/dev/null
echo "wrote $out/drivewatchmini-{main,failing,tray,detail,selftest,scale2,dark}{,-en}.png"

# The strip as a screen at scale 2 shows it, and its menu in a dark palette.
VORN_STRIP_IMAGES="$out" QT_QPA_PLATFORM=offscreen "$bin/HeatgaugeWindowTests" \
    --gtest_filter='StripWindowTest.TheMenuReadsInADarkPalette*:BothLanguages/StripTextsTest.*English*' \
    >/dev/null
echo "wrote $out/heatgauge-{strip-scale2,menu-dark,menu-en}.png"
