#!/usr/bin/env bash
# Brings data/translations/<room>.en.ts in step with the texts of the code:
# new Cm_Tr and QT_TRANSLATE_NOOP texts come in unfinished, texts no longer in
# the code go. Fill in the English of the new ones (Qt Linguist, or by hand)
# and commit; tests/translations fails while any text lacks its English.
#   tools/update-translations.sh [output-folder]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-data/translations}
lupdate=${LUPDATE:-/usr/lib/qt6/bin/lupdate}

# One catalogue per room, so two rooms' texts never meet in one file.
declare -A rooms=(
    [common]="common"
    [common_widgets]="common/widgets"
    [hdd]="hdd"
    [diskpass]="diskpass"
    [checker_core]="checker/core"
    [drivewatch]="checker/drivewatch"
    [checker_window]="checker/window checker/views"
    [tempmon]="tempmon/core tempmon/window"
)

for room in "${!rooms[@]}"; do
    # common's own files only: its widget layer has a catalogue of its own.
    sources=()
    for dir in ${rooms[$room]}; do
        if [ "$room" = common ]; then
            sources+=("$dir"/*.h "$dir"/*.cpp)
        else
            sources+=("$dir")
        fi
    done
    "$lupdate" -silent -source-language ja -target-language en -locations none -no-obsolete \
        -tr-function-alias translate+=Cm_Tr -extensions h,cpp "${sources[@]}" \
        -ts "$out/$room.en.ts"
done
