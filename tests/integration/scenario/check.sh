#!/usr/bin/env bash
# Asserts one aspect of the main guest boot that boot-main.sh recorded.
#   check.sh CASE OUT_DIR [BIN_DIR]
# CASE: stack | identity | smart | power | paths | switching | drive-names | non-ata |
#       no-writes | helper | simulation (needs BIN_DIR, the build's bin folder)
# Prints one FAIL line per broken expectation; exit 0 pass, 1 fail, 77 skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../guest/common.sh"
. "$here/disks.sh"

case=${1:?usage: check.sh CASE OUT_DIR [BIN_DIR]}
out=${2:?usage: check.sh CASE OUT_DIR [BIN_DIR]}
bin=${3:-}
files=$out/run/files

[ -z "${VORN_SKIP_INTEGRATION:-}" ] || vg_skip "VORN_SKIP_INTEGRATION is set"
[ ! -f "$out/skipped" ] || vg_skip "$(cat "$out/skipped")"
[ -f "$files/disks" ] || vg_die "no record of the guest boot in $out (run the boot test first)"

. "$here/expect.sh"

# QEMU's default firmware revision when ide-hd is given no ver=.
QEMU_DEFAULT_FIRMWARE="2.5+"

# What the kernel recorded for a serial: name, SCSI address, sectors.
kernel_field() { awk -v s="$1" -v f="$2" '$5 == s {print $f}' "$files/disks"; }

# The disk numbering the device layer uses: whole disks by name length, then name.
physical_index() {
    awk '{print length($1), $1}' "$files/disks" | sort -k1,1n -k2,2 |
        awk -v n="$1" '$2 == n {print NR - 1}'
}

need_drivewatch() {
    [ ! -f "$files/no-drivewatch" ] || vg_skip "drivewatch not built"
    local run
    for run in "$@"; do
        [ -f "$files/dw-$run.json" ] || vg_die "drivewatch run '$run' left no output"
        if ! jq -e '.disks | type == "array"' "$files/dw-$run.json" >/dev/null 2>&1; then
            fail "run '$run' (status $(cat "$files/dw-$run.status")) printed no JSON document with disks; stderr:"
            head -n 20 "$files/dw-$run.err"
        fi
    done
    [ "$failures" = 0 ] || exit 1
}

# The disk number the kernel's view gives the disk with this serial.
serial_index() { physical_index "$(kernel_field "$1" 1)"; }

# One key of the disk with this serial, found by its disk number so that a
# stray entry carrying the same identity (checked by paths and non-ata) does
# not hide what the disk itself shows.
dw_field() { # run serial key
    jq -r --argjson i "$(serial_index "$2")" --arg k "$3" \
        '.disks[] | select(.index == $i) | .[$k] | tostring' "$files/dw-$1.json"
}

for_each_disk() { # callback: bus model serial size ver
    local row
    for row in "${MAIN_DISKS[@]}"; do
        IFS='|' read -r bus model serial size ver <<<"$row"
        "$@" "$bus" "$model" "$serial" "$size" "$ver"
    done
}

# --- the guest's disk stack, seen by independent tools -----------------------
check_stack() {
    stack_disk() {
        local bus=$1 model=$2 serial=$3 size=$4 ver=$5 smart=$files/smart-$3.txt
        expect "$serial SCSI address" "$(kernel_field "$serial" 2)" "$(main_scsi_address "$bus")"
        expect "$serial sectors" "$(kernel_field "$serial" 3)" $(($(main_size_bytes "$size") / 512))
        # The kernel keeps only the 16 characters of the SCSI product field.
        expect "$serial sysfs model" "$(kernel_field "$serial" 4)" "$(echo "${model:0:16}" | sed 's/ *$//; s/ /_/g')"
        grep -q "^Device Model: *$model\$" "$smart" || fail "$serial: smartctl reads no model '$model'"
        grep -q "^Firmware Version: *${ver:-$QEMU_DEFAULT_FIRMWARE}\$" "$smart" ||
            fail "$serial: smartctl reads no firmware '${ver:-$QEMU_DEFAULT_FIRMWARE}'"
        grep -q '^SMART support is: *Enabled' "$smart" || fail "$serial: S.M.A.R.T. not enabled at boot"
        grep -q 'self-assessment test result: PASSED' "$smart" || fail "$serial: RETURN STATUS not good"
        expect "$serial attribute IDs (READ DATA)" \
            "$(awk '/^ID#/ {on = 1; next} on && /^ *[0-9]+ / {printf "%s ", $1}' "$smart")" \
            "1 3 4 5 9 12 190 "
        expect "$serial IDENTIFY words" \
            "$(grep -E '^[0-9a-f]{4}( |$)' "$files/identify-$serial.words" | wc -w)" 256
    }
    for_each_disk stack_disk
    expect "virtio disk" "$(awk '$1 ~ /^vd/ {print $2}' "$files/disks")" "-"
    expect "mount of the file system" "$(cat "$files/mount.status")" 0
}

# --- identity from IDENTIFY ------------------------------------------------
check_identity() {
    need_drivewatch default
    identity_disk() {
        local bus=$1 model=$2 serial=$3 size=$4 ver=$5
        expect "disk $(serial_index "$serial") serial" "$(dw_field default "$serial" serial)" "$serial"
        expect "$serial model" "$(dw_field default "$serial" model)" "$model"
        expect "$serial manufacturer" "$(dw_field default "$serial" manufacturer)" "${model%% *}"
        expect "$serial firmware" "$(dw_field default "$serial" firmware)" "${ver:-$QEMU_DEFAULT_FIRMWARE}"
        expect "$serial capacity" "$(dw_field default "$serial" capacity_bytes)" "$(main_size_bytes "$size")"
        expect "$serial ATA standard" "$(dw_field default "$serial" ata_standard)" "ATA/ATAPI-7"
        # QEMU's AHCI disk sets only the NCQ bit of word 76 (no speed bits) and
        # runs Ultra DMA 5; libata leaves the PIIX disks in multiword DMA 2.
        case $bus in
        sata*)
            expect "$serial interface" "$(dw_field default "$serial" interface)" "Serial ATA"
            expect "$serial best mode" "$(dw_field default "$serial" transfer_mode_supported)" "-"
            expect "$serial mode in use" "$(dw_field default "$serial" transfer_mode_active)" "Ultra DMA/100 (100MB/s)"
            ;;
        *)
            expect "$serial interface" "$(dw_field default "$serial" interface)" "Parallel ATA"
            expect "$serial best mode" "$(dw_field default "$serial" transfer_mode_supported)" "Ultra DMA/100 (100MB/s)"
            expect "$serial mode in use" "$(dw_field default "$serial" transfer_mode_active)" "-"
            ;;
        esac
    }
    for_each_disk identity_disk
}

# --- S.M.A.R.T. as QEMU reports it -----------------------------------------
check_smart() {
    need_drivewatch default
    # id|name|importance|current|worst|threshold|raw; QEMU's only temperature
    # is 190 (airflow), 31 degrees in its low raw byte.
    local want
    want=$(printf '%s\n' \
        '1|読込エラー率|2|100|100|6|0' \
        '3|スピンアップ時間|1|100|100|0|16' \
        '4|スタート／ストップ数|0|100|100|20|100' \
        '5|再配置セクタ数|2|100|100|36|0' \
        '9|パワーオン時間|0|100|100|0|1' \
        '12|電源投入回数|0|100|100|0|0' \
        '190|エアフロー温度|0|69|69|50|522125343')
    smart_disk() {
        local serial=$3
        expect "$serial S.M.A.R.T. supported" "$(dw_field default "$serial" smart_supported)" true
        expect "$serial S.M.A.R.T. enabled" "$(dw_field default "$serial" smart_enabled)" true
        expect "$serial verdict" "$(dw_field default "$serial" status)" 0
        expect "$serial temperature" "$(dw_field default "$serial" temperature)" 31
        expect "$serial power-on raw" "$(dw_field default "$serial" power_on_raw)" 1
        expect "$serial power cycles" "$(dw_field default "$serial" power_cycles)" 0
        expect "$serial attribute records" "$(jq -r --argjson i "$(serial_index "$serial")" '.disks[] | select(.index == $i) |
            .attributes[] | [.id, .name, .importance, .current, .worst, .threshold, .raw] | join("|")' \
            "$files/dw-default.json")" "$want"
    }
    for_each_disk smart_disk
    expect "exit status (all good)" "$(cat "$files/dw-default.status")" 0
}

# --- power modes: CHECK POWER MODE through the kernel's pass-through -------
check_power() {
    need_drivewatch default nowake
    power_disk() {
        local serial=$3
        expect "$serial power mode" "$(dw_field default "$serial" power_mode)" active
        # An awake disk is read in full even when asked not to wake any.
        expect "$serial power mode (--no-wake)" "$(dw_field nowake "$serial" power_mode)" active
        expect "$serial model (--no-wake)" "$(dw_field nowake "$serial" model)" \
            "$(dw_field default "$serial" model)"
    }
    for_each_disk power_disk
}

# --- both access paths -----------------------------------------------------
check_paths() {
    need_drivewatch default ata scsi
    local all run vindex
    all=$(for_each_disk sh -c 'echo "$3"' _ | sort | tr '\n' ' ')
    vindex=$(physical_index "$(awk '$1 ~ /^vd/ {print $1}' "$files/disks")")
    for run in default ata scsi; do
        expect "$run: exit status" "$(cat "$files/dw-$run.status")" 0
        expect "$run: serials reached" \
            "$(jq -r '.disks[].serial | select(. != "")' "$files/dw-$run.json" | sort | tr '\n' ' ')" "$all"
    done
    # A forced path keeps a disk that merely opens (the virtio disk), without
    # identity; it must not borrow another disk's.
    for run in ata scsi; do
        expect "$run: identity shown for the virtio disk (disk $vindex)" "$(jq -r --argjson i "$vindex" \
            '[.disks[] | select(.index == $i and .serial != "") | .serial] | join(",")' "$files/dw-$run.json")" ""
        expect "$run: other disks without identity" "$(jq -r --argjson i "$vindex" \
            '[.disks[] | select(.index != $i and .serial == "") | .index] | join(",")' "$files/dw-$run.json")" ""
    done
    paths_disk() {
        local bus=$1 model=$2 serial=$3 host
        host=$(kernel_field "$serial" 2 | cut -d: -f1)
        expect "-Ata $serial device" "$(dw_field ata "$serial" device)" "\\\\.\\PhysicalDrive$(serial_index "$serial")"
        expect "-Ata $serial scsi" "$(dw_field ata "$serial" scsi)" false
        expect "-Ata $serial serial" "$(dw_field ata "$serial" serial)" "$serial"
        # The PIIX slave shares its host with the master: only the target in
        # the request tells them apart.
        expect "-Scsi $serial device" "$(dw_field scsi "$serial" device)" "\\\\.\\Scsi$host:"
        expect "-Scsi $serial scsi" "$(dw_field scsi "$serial" scsi)" true
        expect "-Scsi $serial serial" "$(dw_field scsi "$serial" serial)" "$serial"
        expect "-Scsi $serial model" "$(dw_field scsi "$serial" model)" "$model"
    }
    for_each_disk paths_disk
}

# --- forced switching ------------------------------------------------------
check_switching() {
    need_drivewatch disable disabled enable enabled
    switching_disk() {
        local serial=$3
        expect "-Disable $serial shown enabled" "$(dw_field disable "$serial" smart_enabled)" false
        grep -q 'Read SMART Data failed' "$files/smart-after-disable-$serial.txt" ||
            fail "$serial: the device still accepts READ DATA after -Disable"
        # The device now rejects READ DATA and RETURN STATUS.
        expect "after -Disable $serial attributes" \
            "$(dw_field disabled "$serial" attributes | jq length)" 0
        expect "after -Disable $serial verdict" "$(dw_field disabled "$serial" status)" -1
        expect "-Enable $serial shown enabled" "$(dw_field enable "$serial" smart_enabled)" true
        grep -q '^ID#' "$files/smart-after-enable-$serial.txt" ||
            fail "$serial: the device rejects READ DATA after -Enable"
        expect "after -Enable $serial attributes" \
            "$(dw_field enabled "$serial" attributes | jq length)" 7
        expect "after -Enable $serial verdict" "$(dw_field enabled "$serial" status)" 0
    }
    for_each_disk switching_disk
    expect "-Disable log: disable requests" "$(grep -c 'CHddSmart::DisableSmart' "$files/dw-disable.log" || true)" "${#MAIN_DISKS[@]}"
    expect "-Enable log: enable requests" "$(grep -c 'CHddSmart::EnableSmart' "$files/dw-enable.log" || true)" "${#MAIN_DISKS[@]}"
}

# --- drive names from the mount table ----------------------------------------
check_drive_names() {
    need_drivewatch default
    expect "mount of the file system" "$(cat "$files/mount.status")" 0
    names_disk() {
        local serial=$3 names
        names=$(dw_field default "$serial" drive_letters)
        if [ "$serial" = "$MAIN_MOUNT_SERIAL" ]; then
            case " $names " in
            *" $MAIN_MOUNT_POINT "*) ;;
            *) fail "$serial drive names '$names' lack $MAIN_MOUNT_POINT" ;;
            esac
        else
            case $names in
            *"$MAIN_MOUNT_POINT"*) fail "$serial drive names '$names' claim $MAIN_MOUNT_POINT" ;;
            esac
        fi
    }
    for_each_disk names_disk
}

# --- a disk without ATA ----------------------------------------------------
check_non_ata() {
    need_drivewatch default
    local vname vindex
    vname=$(awk '$1 ~ /^vd/ {print $1}' "$files/disks")
    vindex=$(physical_index "$vname")
    expect "disks listed" "$(jq '.disks | length' "$files/dw-default.json")" "${#MAIN_DISKS[@]}"
    expect "virtio disk ($vname, disk $vindex) listed" \
        "$(jq --argjson i "$vindex" '[.disks[] | select(.index == $i)] | length' "$files/dw-default.json")" 0
    grep -q "PhysicalDrive$vindex" "$files/dw-default.log" ||
        fail "the run log never mentions the virtio disk (PhysicalDrive$vindex)"
    # The identify request on it must have failed with a logged error line.
    awk -v d="PhysicalDrive$vindex" 'index($0, d) {seen = 1} seen && index($0, "GetHddInfo") {try = 1}
        try && !index($0, "CH") {err = 1} END {exit !err}' "$files/dw-default.log" ||
        fail "no error line after the identify request to the virtio disk"
}

# --- nothing written to any medium -------------------------------------------
check_no_writes() {
    need_drivewatch default
    diff "$out/checksums.before" "$out/checksums.after" >/dev/null ||
        fail "disk images changed: $(diff "$out/checksums.before" "$out/checksums.after" | grep '^>' | tr '\n' ' ')"
}

# --- the simulated machine of the captured sectors against the real kernel -----
check_simulation() {
    need_drivewatch default
    [ -x "$bin/drivewatch" ] || vg_die "no drivewatch in '$bin'"
    local fixtures work serial
    fixtures=$(vg_repo_root)/tests/fixtures/qemu
    work=$(mktemp -d "${TMPDIR:-/tmp}/vorn-sim-check.XXXXXX")
    # Run where no baseline file lies, as in the guest.
    (cd "$work" && VORN_SIM=$fixtures "$bin/drivewatch" --no-history --json >"$work/sim.json") ||
        fail "drivewatch on the captured sectors exited with $?"
    # The captured disks sit in the main guest too, same model, serial and
    # size; everything read from the device must come out the same. Only how
    # the disk was reached and its drive names may differ.
    for serial in $(sed -n 's/.*serial="\([^"]*\)".*/\1/p' "$fixtures/ORIGIN.md"); do
        local unreached='del(.index, .device, .scsi, .drive_letters)'
        jq -S --arg s "$serial" ".disks[] | select(.serial == \$s) | $unreached" "$work/sim.json" \
            >"$work/sim-$serial"
        jq -S --argjson i "$(serial_index "$serial")" ".disks[] | select(.index == \$i) | $unreached" \
            "$files/dw-default.json" >"$work/real-$serial"
        [ -s "$work/sim-$serial" ] || fail "$serial missing from the simulated machine"
        diff -u "$work/sim-$serial" "$work/real-$serial" >"$work/diff" ||
            fail "$serial simulated (-) and real (+) differ:"$'\n'"$(tail -n +3 "$work/diff")"
    done
    rm -rf "$work"
}

# --- an unprivileged user through the disk helper -------------------------------
check_helper() {
    need_drivewatch
    [ -f "$files/hp-root.json" ] && [ ! -f "$files/no-helper" ] ||
        vg_skip "the disk helper, its polkit stand-in, dbus-daemon or setpriv is missing"
    local run
    for run in root nobody nobody-disable; do
        jq -e '.disks | length > 0' "$files/hp-$run.json" >/dev/null 2>&1 ||
            fail "helper run '$run' (status $(cat "$files/hp-$run.status")) read no disk: $(head -c 400 "$files/hp-$run.err")"
    done
    # The helper hands back the disks' own bytes, so nothing may differ.
    expect "nobody's exit status" "$(cat "$files/hp-nobody.status")" "$(cat "$files/hp-root.status")"
    diff -u "$files/hp-root.json" "$files/hp-nobody.json" >"$out/helper.diff" ||
        fail "root (-) and nobody through the helper (+) differ:"$'\n'"$(tail -n +3 "$out/helper.diff" | head -n 40)"
    cmp -s "$files/hp-root.err" "$files/hp-nobody.err" ||
        fail "nobody's error output differs from root's: $(head -c 400 "$files/hp-nobody.err")"

    # polkit was asked about the caller's bus name, and only the two actions.
    local log=$files/authority.log
    [ -s "$log" ] || fail "the helper never asked polkit"
    local odd
    odd=$(grep -v -E '^system-bus-name :[0-9]+\.[0-9]+ org\.vorn\.diskhelper\.(read flags=1 yes|configure flags=1 no)$' "$log" || true)
    [ -z "$odd" ] || fail "unexpected polkit questions: $odd"
    grep -q ' org\.vorn\.diskhelper\.configure ' "$log" || fail "-Disable never asked for the configure action"

    # The refused switch left every disk reading S.M.A.R.T. data.
    check_after_refusal() {
        local serial=$3 name
        name=$(kernel_field "$serial" 1)
        expect "$serial smartctl -A after the refused -Disable" \
            "$(cat "$files/hp-after-disable-$name.status" 2>/dev/null)" 0
        expect "$serial S.M.A.R.T. state after the refused -Disable" \
            "$(jq -r --arg s "$serial" '.disks[] | select(.serial == $s) | .smart_enabled' \
                "$files/hp-nobody-disable.json")" true
    }
    for_each_disk check_after_refusal
    grep -A1 'CHddSmart::DisableSmart' "$files/hp-nobody-disable.log" | grep -q '\[Error:13\]' ||
        fail "the refused -Disable left no permission error in the run log"

    # Without the bus the kernel refuses nobody, and drivewatch says why.
    expect "nobody without a bus: exit status" "$(cat "$files/hp-nobody-nobus.status")" 2
    expect "nobody without a bus: message" "$(cat "$files/hp-nobody-nobus.err")" \
        "drivewatch: no permission to read the disks; install the disk helper (vorn-diskhelper) or run as root"
}

case $case in
stack) check_stack ;;
helper) check_helper ;;
simulation) check_simulation ;;
identity) check_identity ;;
smart) check_smart ;;
power) check_power ;;
paths) check_paths ;;
switching) check_switching ;;
drive-names) check_drive_names ;;
non-ata) check_non_ata ;;
no-writes) check_no_writes ;;
*) vg_die "unknown case $case" ;;
esac
[ "$failures" = 0 ] || exit 1
echo "passed: $case"
