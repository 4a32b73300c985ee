#!/bin/sh
# The real HeatgaugeMini on a virtual X display with a tray host, on the
# simulated sample machine: the strip's size, the colour of two balls, one
# tray icon per disk, SIGTERM ending without writing the settings, a drag
# snapping to the edge, the menu's exit writing the place, and the cells as
# a screen reader reads them (strip-atspi.py), in Japanese and in English.
# With a third argument the strip, a tray icon and the open menu are saved
# there as pictures.
#
#   strip-under-xvfb.sh <HeatgaugeMini> <sample machine folder> [picture folder]
#
# Exit 77 (skipped) when a tool is missing.
set -eu

if [ "${1:-}" != --inside ]; then
    for tool in xvfb-run trayer import convert xwininfo xdotool; do
        if ! command -v "$tool" >/dev/null 2>&1; then
            echo "skipped: $tool is not installed"
            exit 77
        fi
    done
    exec xvfb-run -a -s "-screen 0 800x600x24" "$0" --inside "$@"
fi
shift
here=$(cd "$(dirname "$0")" && pwd)
program=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
machine=$(cd "$2" && pwd)
pictures=${3:-}
[ -z "$pictures" ] || pictures=$(mkdir -p "$pictures" && cd "$pictures" && pwd)

work=$(mktemp -d)
trayer_pid=
program_pid=
cleanup() {
    [ -z "$program_pid" ] || kill "$program_pid" 2>/dev/null || true
    [ -z "$trayer_pid" ] || kill "$trayer_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
cd "$work"
export XDG_RUNTIME_DIR="$work"
# The program keeps its readings here, not in the account's own store.
export VORN_HISTORY="$work/history.sqlite"

fail() {
    echo "FAIL: $*"
    exit 1
}

trayer --edge top --align right --widthtype pixel --width 200 --height 24 \
    --transparent false --tint 0xffffff >/dev/null 2>&1 &
trayer_pid=$!
# The strip's icons embed only in a tray that is already there: wait until
# the tray host's panel is on the display before the program starts.
tries=0
until xwininfo -root -tree 2>/dev/null | grep -q '"panel": ("panel" "trayer")'; do
    [ $tries -lt 200 ] || fail "the tray host did not start"
    sleep 0.1
    tries=$((tries + 1))
done

# Polls (at most 40 s: a loaded machine and a sanitizer build start slowly)
# until the strip and n tray icons are on the display.
strip_line=
wait_for_strip() {
    tries=0
    while [ $tries -lt 400 ]; do
        tree=$(xwininfo -root -tree 2>/dev/null || true)
        # One row of cells is 24 high; a balloon telling the failing disk
        # is not the strip.
        strip_line=$(echo "$tree" | grep '"HeatgaugeMini": ("HeatgaugeMini"' | grep -v ' 22x22+' |
            grep -E ' [0-9]+x24\+' | head -n 1 || true)
        icons=$(echo "$tree" | grep -c '"HeatgaugeMini": ("HeatgaugeMini".* 22x22+' || true)
        [ -n "$strip_line" ] && [ "$icons" -eq "$1" ] && return 0
        sleep 0.1
        tries=$((tries + 1))
    done
    fail "no strip with $1 tray icons: $strip_line, $icons icons"
}

start_program() {
    VORN_SIM="$machine" "$program" &
    program_pid=$!
    wait_for_strip 6
}

# Polls (at most 20 s) until the program has ended, with exit status 0.
wait_for_end() {
    tries=0
    while kill -0 "$program_pid" 2>/dev/null && [ $tries -lt 200 ]; do
        sleep 0.1
        tries=$((tries + 1))
    done
    kill -0 "$program_pid" 2>/dev/null && fail "$1 did not end the program"
    status=0
    wait "$program_pid" || status=$?
    program_pid=
    [ "$status" -eq 0 ] || fail "$1: exit status $status"
}

# The colour of one screen pixel as "r g b".
pixel() {
    convert screen.png -format '%[fx:int(255*p{'"$1"','"$2"'}.r)] %[fx:int(255*p{'"$1"','"$2"'}.g)] %[fx:int(255*p{'"$1"','"$2"'}.b)]' info:
}

start_program
geometry=$(echo "$strip_line" | sed -E 's/.* ([0-9]+x[0-9]+)\+([0-9]+)\+([0-9]+) .*/\1 \2 \3/')
set -- $geometry
[ "$1" = 161x24 ] || fail "strip is $1, not 161x24"
left=$2
top=$3
# The second disk (43 degrees) is the hottest: red over blue. The fourth has
# no temperature: grey. Polled, since the strip is mapped before it is drawn.
tries=0
while :; do
    import -window root screen.png
    set -- $(pixel $((left + 27 + 1)) $((top + 12)))
    [ "$1" -gt $(($3 + 40)) ] && break
    [ $tries -lt 100 ] || fail "the 43 degree ball is $*"
    sleep 0.1
    tries=$((tries + 1))
done
set -- $(pixel $((left + 81 + 1)) $((top + 12)))
[ "$1" -eq "$2" ] && [ "$2" -eq "$3" ] || fail "the unknown ball is $*"

if [ -n "$pictures" ]; then
    convert screen.png -crop "161x24+$left+$top" +repage "$pictures/heatgauge-strip.png"
    icon=$(xwininfo -root -tree | grep '"HeatgaugeMini": ("HeatgaugeMini".* 22x22+' | tail -n 1 |
        sed -E 's/.* \+([0-9]+)\+([0-9]+)$/\1 \2/')
    set -- $icon
    convert screen.png -crop "22x22+$1+$2" +repage -scale 400% "$pictures/heatgauge-tray-icon.png"
fi

kill -TERM "$program_pid"
wait_for_end SIGTERM
[ ! -e HeatgaugeMini.ini ] || fail "SIGTERM wrote the settings"

# A drag that ends 3 pixels from the left edge snaps onto it; then the menu
# from the strip, and "x" for its exit item.
start_program
xdotool mousemove $((left + 40)) $((top + 10)) mousedown 1 mousemove 200 300 \
    mousemove $((3 + 40)) 300 mouseup 1
tries=0
while [ $tries -lt 100 ]; do
    wait_for_strip 6
    case "$strip_line" in *" 161x24+0+290 "*) break ;; esac
    sleep 0.1
    tries=$((tries + 1))
done
case "$strip_line" in
*" 161x24+0+290 "*) ;;
*) fail "the dragged strip is at $strip_line" ;;
esac
left=0
top=290
xdotool mousemove $((left + 40)) $((top + 10)) click 3
menu=
tries=0
while [ -z "$menu" ] && [ $tries -lt 200 ]; do
    sleep 0.1
    tries=$((tries + 1))
    menu=$(xwininfo -root -tree | grep '"HeatgaugeMini": ("HeatgaugeMini"' |
        grep -v -E ' (22x22|161x24|1x1|3x3)\+' | head -n 1 |
        sed -E 's/.* ([0-9]+)x([0-9]+)\+(-?[0-9]+)\+(-?[0-9]+) .*/\1x\2+\3+\4/' || true)
done
[ -n "$menu" ] || fail "no menu opened"
if [ -n "$pictures" ]; then
    sleep 0.2 # drawn
    import -window root menu-screen.png
    convert menu-screen.png -crop "$menu" +repage "$pictures/heatgauge-menu.png"
fi
xdotool key x
wait_for_end "the menu's exit"
grep -q '^WndwPos=0 290 161 314' HeatgaugeMini.ini || fail "the menu's exit wrote no place"

# A screen reader's view, on an accessibility bus of its own; left out with
# a word where the bus or the Python bindings are missing.
python=/usr/bin/python3
[ -x "$python" ] || python=python3
if command -v dbus-run-session >/dev/null 2>&1 && [ -x /usr/libexec/at-spi-bus-launcher ] &&
    "$python" -c 'import pyatspi' 2>/dev/null; then
    for lang in ja en; do
        rm -f HeatgaugeMini.ini
        VORN_LANG=$lang QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_ACCESSIBILITY=1 NO_AT_BRIDGE=0 \
            VORN_SIM="$machine" timeout 90 dbus-run-session -- "$python" "$here/strip-atspi.py" \
            "$program" "$work" || fail "the strip as a screen reader reads it (VORN_LANG=$lang)"
    done
else
    echo "note: no AT-SPI bus or python3-pyatspi; the screen reader's view was not read"
fi
echo "HeatgaugeMini under Xvfb: strip, balls, tray icons, SIGTERM, drag, menu exit and screen reader as expected"
