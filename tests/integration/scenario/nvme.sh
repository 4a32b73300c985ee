#!/usr/bin/env bash
# Boots a guest with two emulated NVMe controllers, one of them raising a
# critical warning, and checks what drivewatch reads of them against what
# smartctl reads of the same controllers, then what nobody reads of them
# through the disk helper against what root reads directly.
#   nvme.sh OUT_DIR BIN_DIR [AUTHORITY]
# Prints one FAIL line per broken expectation; exit 0 pass, 1 fail, 77 skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../guest/common.sh"

out=${1:?usage: nvme.sh OUT_DIR BIN_DIR}
bin=${2:?usage: nvme.sh OUT_DIR BIN_DIR}
authority=${3:-}
[ -z "${VORN_SKIP_INTEGRATION:-}" ] || vg_skip "VORN_SKIP_INTEGRATION is set"
[ -x "$bin/drivewatch" ] || vg_skip "drivewatch not built"
vg_ensure_host_tools >/dev/null || vg_skip "the host tools cannot be installed"
rm -rf "$out"
mkdir -p "$out"

GOOD=VNQEMU0001
WARNED=VNQEMU0002
vg_helper_guest_args "$out" "$bin/vorn-diskhelper" "$authority"
cat "$here/helper-guest.sh" "$here/nvme-guest.sh" >"$out/guest-command.sh"
vg_boot_scenario "$out" --script "$out/guest-command.sh" "${VG_HELPER_ARGS[@]}" \
    --disk "nvme,file=$out/good.img,size=96M,serial=$GOOD" \
    --disk "nvme,file=$out/warned.img,size=48M,serial=$WARNED,warning=4" \
    --program "$bin/drivewatch" --tree "$bin/Template:/opt/vorn/bin/Template"
files=$out/run/files

. "$here/expect.sh"

expect "namespaces seen by the kernel" "$(wc -l <"$files/nvme-disks")" 2
jq -e '.disks | type == "array"' "$files/dw.json" >/dev/null || fail "drivewatch printed no JSON"
# A set critical-warning bit counts as a threshold exceeded.
expect "drivewatch exit status" "$(cat "$files/dw.status")" 3

for serial in $GOOD $WARNED; do
    smart=$files/smart-$serial.json
    dw() { jq -r --arg s "$serial" ".disks[] | select(.serial == \$s) | $1" "$files/dw.json"; }
    sm() { jq -r "$1" "$smart"; }
    expect "$serial protocol" "$(dw .protocol)" NVMe
    expect "$serial model" "$(dw .model)" "$(sm .model_name)"
    expect "$serial firmware" "$(dw .firmware)" "$(sm .firmware_version)"
    expect "$serial capacity" "$(dw .capacity_bytes)" "$(sm .user_capacity.bytes)"
    expect "$serial temperature" "$(dw .temperature)" "$(sm .temperature.current)"
    expect "$serial power-on hours" "$(dw .power_on_raw)" "$(sm .power_on_time.hours)"
    expect "$serial power cycles" "$(dw .power_cycles)" "$(sm .power_cycle_count)"
    expect "$serial critical warning" "$(dw .nvme_health.critical_warning)" \
        "$(sm .nvme_smart_health_information_log.critical_warning)"
    expect "$serial spare" "$(dw .nvme_health.available_spare)" \
        "$(sm .nvme_smart_health_information_log.available_spare)"
    expect "$serial data units read" "$(dw .nvme_health.data_units_read)" \
        "$(sm .nvme_smart_health_information_log.data_units_read)"
done
expect "verdict of $GOOD" "$(jq -r --arg s $GOOD '.disks[] | select(.serial == $s) | .status' "$files/dw.json")" 0
expect "verdict of $WARNED" "$(jq -r --arg s $WARNED '.disks[] | select(.serial == $s) | .status' "$files/dw.json")" 1
# The panel of the warned disk, as the window shows it.
panel=$(awk -v s="$WARNED" '/^ディスク/ {block = ""} {block = block $0 "\n"} index($0, s) {found = 1}
    found && /HDD状態/ {printf "%s", $0; exit}' "$files/dw.txt")
case $panel in
*異常*) ;;
*) fail "panel of $WARNED: '$panel', want HDD状態：異常" ;;
esac
grep -q 'インターフェイス：NVM Express' "$files/dw.txt" || fail "no NVM Express interface in the text output"

# The helper passes NVMe admin commands on unchanged, so nobody reads what
# root reads.
if [ -f "$files/hp-root.json" ]; then
    jq -e '.disks | length == 2' "$files/hp-nobody.json" >/dev/null 2>&1 ||
        fail "nobody read no NVMe disk through the helper: $(head -c 400 "$files/hp-nobody.err")"
    expect "nobody's exit status" "$(cat "$files/hp-nobody.status")" "$(cat "$files/hp-root.status")"
    diff -u "$files/hp-root.json" "$files/hp-nobody.json" >"$out/helper.diff" ||
        fail "root (-) and nobody through the helper (+) differ:"$'\n'"$(tail -n +3 "$out/helper.diff" | head -n 40)"
    odd=$(grep -v -E '^system-bus-name :[0-9]+\.[0-9]+ org\.vorn\.diskhelper\.read flags=1 yes$' \
        "$files/authority.log" || true)
    [ -s "$files/authority.log" ] && [ -z "$odd" ] || fail "polkit questions: '$odd'"
    expect "nobody without a bus: exit status" "$(cat "$files/hp-nobody-nobus.status")" 2
    helper_note=", and nobody reads them through the helper"
else
    echo "note: the disk helper, its polkit stand-in, dbus-daemon or setpriv is missing; helper runs skipped"
    helper_note=""
fi

[ "$failures" = 0 ] || exit 1
echo "nvme: drivewatch and smartctl agree on both controllers$helper_note"
