#!/usr/bin/env bash
# Boots a guest with one AHCI and one PIIX IDE disk, has drivewatch run the
# short self-test on both and wait for it, start the extended one, and checks
# that what drivewatch --json --logs then reads agrees with smartctl in the
# same guest: the self-test log's entries (type, status, hours), the
# execution status, the error count and the Device Statistics.
#   selftest.sh OUT_DIR BIN_DIR
# Prints one FAIL line per broken expectation; exit 0 pass, 1 fail, 77 skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../guest/common.sh"

out=${1:?usage: selftest.sh OUT_DIR BIN_DIR}
bin=${2:?usage: selftest.sh OUT_DIR BIN_DIR}
[ -z "${VORN_SKIP_INTEGRATION:-}" ] || vg_skip "VORN_SKIP_INTEGRATION is set"
[ -x "$bin/drivewatch" ] || vg_skip "drivewatch not built"
vg_ensure_host_tools >/dev/null || vg_skip "the host tools cannot be installed"
rm -rf "$out"
mkdir -p "$out"

SATA=VNSELF0001
PATA=VNSELF0002
vg_boot_scenario "$out" --script "$here/selftest-guest.sh" \
    --disk "sata0,file=$out/sata.img,size=32M,serial=$SATA" \
    --disk "pri-master,file=$out/pata.img,size=32M,serial=$PATA" \
    --program "$bin/drivewatch"
files=$out/run/files

. "$here/expect.sh"

expect "disks seen by the kernel" "$(wc -l <"$files/disks" 2>/dev/null || echo 0)" 2
expect "short --wait exit status" "$(cat "$files/short.status")" 0
expect "lines of the short start" "$(grep -c 'short self-test started' "$files/short.out")" 2
expect "extended exit status" "$(cat "$files/extended.status")" 0
expect "lines of the extended start" "$(grep -c 'extended self-test started' "$files/extended.out")" 2
# QEMU offers no conveyance test: refused as a whole, and by name for one disk.
expect "conveyance exit status" "$(cat "$files/conveyance.status")" 2
grep -q 'no disk offers the conveyance self-test' "$files/conveyance.err" ||
    fail "conveyance: no refusal line: $(head -c 300 "$files/conveyance.err")"
expect "conveyance --disk 0 exit status" "$(cat "$files/conveyance-disk.status")" 2
[ -s "$files/conveyance-disk.err" ] || fail "conveyance --disk 0 gave no reason"
expect "--logs exit status" "$(cat "$files/logs.status")" 0
jq -e '.disks | length == 2' "$files/logs.json" >/dev/null || fail "drivewatch --logs printed no two disks"

# smartctl names the types by their code; drivewatch by word.
type_word() {
    case $1 in
    1) echo short ;;
    2) echo extended ;;
    3) echo conveyance ;;
    *) echo "$1" ;;
    esac
}
for serial in $SATA $PATA; do
    smart=$files/smart-$serial.json
    dw() { jq -r --arg s "$serial" ".disks[] | select(.serial == \$s) | $1" "$files/logs.json"; }
    sm() { jq -r "$1" "$smart"; }
    [ -n "$(dw .index)" ] || { fail "drivewatch lists no disk $serial"; continue; }
    grep -q "^ディスク $(dw .index): .*: " "$files/short.err" ||
        fail "$serial: --wait told no end of the test: $(head -c 300 "$files/short.err")"
    count=$(sm '.ata_smart_self_test_log.standard.table | length')
    expect "$serial self-test entries" "$(dw '.self_test.log | length')" "$count"
    expect "$serial self-test entries (both tests)" "$count" 2
    for ((k = 0; k < count; k++)); do
        expect "$serial entry $k type" "$(dw ".self_test.log[$k].type")" \
            "$(type_word "$(sm ".ata_smart_self_test_log.standard.table[$k].type.value")")"
        expect "$serial entry $k status" "$(dw ".self_test.log[$k].status_code")" \
            "$(sm ".ata_smart_self_test_log.standard.table[$k].status.value")"
        expect "$serial entry $k hours" "$(dw ".self_test.log[$k].power_on_hours")" \
            "$(sm ".ata_smart_self_test_log.standard.table[$k].lifetime_hours")"
    done
    expect "$serial execution status" "$(dw .self_test.status_code)" \
        "$(sm '.ata_smart_data.self_test.status.value')"
    expect "$serial error count" "$(dw .error_log.count)" "$(sm '.ata_smart_error_log.summary.count')"
    expect "$serial statistics" "$(dw '.statistics | length')" \
        "$(sm '[.ata_device_statistics.pages[]? | select(.number == 1 or .number == 5) | .table[]? | select(.flags.valid)] | length')"
done
grep -q 'デバイス統計' "$files/logs.txt" || fail "no statistics in the text output"
[ "$failures" = 0 ] || exit 1
echo "selftest: short and extended self-tests on AHCI and IDE agree with smartctl" \
    "(QEMU ends each at once: $(jq -r --arg s $SATA '.disks[] | select(.serial == $s) |
    [.self_test.log[] | "\(.type) status \(.status_code) at \(.power_on_hours) h"] | join(", ")' \
    "$files/logs.json"); errors $(jq -r '[.disks[].error_log.count] | join("/")' "$files/logs.json");" \
    "the waiting run took $(cat "$files/short.ms") ms)"
