#!/usr/bin/env bash
# Boots a guest with QEMU's two USB disks, a bulk-only usb-storage one and a
# usb-uas one, and checks that drivewatch lists both with their bridge's USB
# id, says why it reads no S.M.A.R.T. exactly where smartctl in the same
# guest gets no ATA answer either, and never raises its exit status for them.
#   usb.sh OUT_DIR BIN_DIR
# Prints one FAIL line per broken expectation; exit 0 pass, 1 fail, 77 skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../guest/common.sh"

out=${1:?usage: usb.sh OUT_DIR BIN_DIR}
bin=${2:?usage: usb.sh OUT_DIR BIN_DIR}
[ -z "${VORN_SKIP_INTEGRATION:-}" ] || vg_skip "VORN_SKIP_INTEGRATION is set"
[ -x "$bin/drivewatch" ] || vg_skip "drivewatch not built"
vg_ensure_host_tools >/dev/null || vg_skip "the host tools cannot be installed"
rm -rf "$out"
mkdir -p "$out"

STORAGE=VNUSB0001
UAS=VNUSB0003
vg_boot_scenario "$out" --script "$here/usb-guest.sh" \
    --disk "usb-storage,file=$out/storage.img,size=64M,serial=$STORAGE" \
    --disk "usb-uas,file=$out/uas.img,size=64M,serial=$UAS" \
    --program "$bin/drivewatch" --tree "$bin/Template:/opt/vorn/bin/Template"
files=$out/run/files

. "$here/expect.sh"

expect "USB disks seen by the kernel" "$(wc -l <"$files/usb-disks" 2>/dev/null || echo 0)" 2
jq -e '.disks | type == "array"' "$files/dw.json" >/dev/null || fail "drivewatch printed no JSON"
# No USB disk raises the exit status, whatever its bridge passes.
expect "drivewatch exit status" "$(cat "$files/dw.status")" 0
expect "disks drivewatch lists" "$(jq '.disks | length' "$files/dw.json")" 2

vpd_note=""
while read -r name driver id serial; do
    case $serial in
    "$STORAGE") want_id=46f4:0001 want_driver=usb-storage ;;
    "$UAS") want_id=46f4:0003 want_driver=uas ;;
    *) fail "a USB disk of serial '$serial'"; continue ;;
    esac
    expect "$name driver" "$driver" "$want_driver"
    expect "$name USB id in sysfs" "$id" "$want_id"
    disk=$(jq -c --arg id "$id" '.disks[] | select(.usb_bridge == $id)' "$files/dw.json")
    [ -n "$disk" ] || { fail "drivewatch lists no disk behind $id"; continue; }
    expect "$name interface" "$(jq -r .interface <<<"$disk")" USB
    # smartctl's exit bit 1: no IDENTIFY DEVICE came back.
    sat=$(cat "$files/sat-$name.status")
    sat12=$(cat "$files/sat12-$name.status")
    if (((sat & 2) && (sat12 & 2))); then
        expect "$name smart_available (smartctl reads nothing)" "$(jq -r .smart_available <<<"$disk")" false
        reason=$(jq -r .smart_unavailable_reason <<<"$disk")
        case $reason in
        *"$id"*) ;;
        *) fail "$name reason '$reason' does not name $id" ;;
        esac
    else
        expect "$name smart_available (smartctl reads it)" "$(jq -r .smart_available <<<"$disk")" true
    fi
    # The page the kernel kept, if any, names the disk.
    if [ -s "$files/vpd80-$name" ]; then
        page_serial=$(tail -c +5 "$files/vpd80-$name" | tr -d '\0' | sed 's/^ *//; s/ *$//')
        expect "$name serial from VPD 80h" "$(jq -r .serial <<<"$disk")" "$page_serial"
        vpd_note="$vpd_note $driver:vpd80"
    fi
done <"$files/usb-disks"

grep -q 'インターフェイス：USB' "$files/dw.txt" || fail "no USB interface in the text output"
[ "$failures" = 0 ] || exit 1
echo "usb: both QEMU USB disks listed with their bridge and why nothing passes," \
    "as smartctl finds (drivewatch took $(cat "$files/dw.ms") ms;${vpd_note:- no VPD page kept})"
