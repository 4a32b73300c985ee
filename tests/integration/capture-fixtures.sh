#!/usr/bin/env bash
# Captures what QEMU's emulated ATA disks answer, as seen through the real
# kernel, and stores it under tests/fixtures/qemu/ as a simulated machine
# folder (VORN_SIM can load it): per disk the IDENTIFY, SMART READ DATA and
# SMART READ THRESHOLDS sectors as hex, a disk.ini, and ORIGIN.md for the lot.
#
# The sectors come from smartctl's ioctl trace (-r ataioctl,2), an independent
# tool, so they show what the device sends and not what our code decodes.
#   capture-fixtures.sh [DEST]     (default: tests/fixtures/qemu)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/guest/common.sh"
dest=${1:-$(vg_repo_root)/tests/fixtures/qemu}

# Two disks, one per path: a SATA disk on AHCI port 0 and a PATA disk as the
# slave of the PIIX primary channel.
names=(sata-wdc pata-st3)
buses=(sata0 pri-slave)
models=("WDC WD5000AAKS-00V1A0" "ST380011A")
serials=("WD-WCAWF1234567" "5JV12345")
sizes=(64M 32M)

work=$(mktemp -d "${TMPDIR:-/tmp}/vorn-capture.XXXXXX")
trap 'rm -rf "$work"' EXIT
cat >"$work/capture.sh" <<'EOF'
for dev in /sys/block/sd*; do
    name=${dev##*/}
    address=$(basename "$(readlink -f "$dev/device")")
    serial=$(hdparm -I "/dev/$name" 2>/dev/null | awk '/Serial Number:/ {print $3}')
    system_model=$(echo $(cat "$dev/device/vendor") $(cat "$dev/device/model") | tr ' ' _)
    echo "$name $address $(cat "$dev/size") $serial $system_model" >>/vorn/out/disks
    smartctl -r ataioctl,2 -i -A -H "/dev/$name" >"/vorn/out/$serial.trace" 2>&1 || true
done
cat /proc/version >/vorn/out/kernel
EOF
args=()
for i in "${!names[@]}"; do
    args+=(--disk "${buses[$i]},model=${models[$i]},serial=${serials[$i]},size=${sizes[$i]}")
done
"$here/run-guest.sh" --out-dir "$work/out" "${args[@]}" --script "$work/capture.sh"

# Prints one 512-byte sector of a smartctl trace as 32 lines of 16 hex pairs.
sector_hex() {
    local trace=$1 title=$2
    awk -v title="$title" '
        index($0, "===== [" title "] DATA START") { on = 1; next }
        on && /DATA END/ { exit }
        on { line = $0; sub(/^[0-9]+-[0-9]+: /, "", line); sub(/ *\|.*$/, "", line)
             printf "%s  # %s\n", line, substr($1, 1, 3) }' "$trace"
}

qemu_version=$(qemu-system-x86_64 --version | head -n 1)
smartctl_version=$(grep -m1 '^smartctl ' "$work/out/files/${serials[0]}.trace")
index=0
while read -r kname address sectors serial system_model; do
    for i in "${!names[@]}"; do
        [ "${serials[$i]}" = "$serial" ] || continue
        folder=$dest/disk$index-${names[$i]}
        mkdir -p "$folder"
        trace=$work/out/files/$serial.trace
        for pair in "identify:IDENTIFY DEVICE" "smart-data:SMART READ ATTRIBUTE VALUES" \
            "smart-thresholds:SMART READ ATTRIBUTE THRESHOLDS"; do
            {
                echo "# ${pair#*:} of QEMU ide-hd model=\"${models[$i]}\" serial=\"$serial\""
                echo "# $qemu_version; bytes in device order, offset after '#'"
                sector_hex "$trace" "${pair#*:}"
            } >"$folder/${pair%%:*}.hex"
            [ "$(grep -c '#  *[0-9]' "$folder/${pair%%:*}.hex")" = 32 ] ||
                vg_die "$trace holds no complete ${pair#*:} sector"
        done
        IFS=: read -r host channel target lun <<<"$address"
        # The drive record as the Linux system query builds it from sysfs: an
        # ATA disk behind either controller is "IDE", and its model is the
        # SCSI vendor and product fields ("ATA", 16 characters of the model).
        cat >"$folder/disk.ini" <<EOF
; ${buses[$i]} of the capture guest: kernel name $kname, SCSI address $address.
[Drive]
Index=$index
Model=${system_model//_/ }
InterfaceType=IDE
PNPDeviceID=IDE\DISK$system_model
MediaType=Fixed hard disk media
SCSIPort=$host
SCSITargetId=$target
SCSILogicalUnit=$lun
Size=$((sectors * 512))
[Device]
Direct=yes
Scsi=yes
Status=good
EOF
        index=$((index + 1))
    done
done < <(sort "$work/out/files/disks")

{
    cat <<EOF
# Where these sectors come from

Captured by \`tests/integration/capture-fixtures.sh\` from QEMU's emulated ATA
disks, read through a real Linux kernel in the integration test guest.

- Emulator: $qemu_version, machine \`pc\`, software emulation (TCG).
- Kernel: $(cat "$work/out/files/kernel")
- Tool in the guest: $smartctl_version, \`smartctl -r ataioctl,2 -i -A -H /dev/sdX\`
  (the ioctl trace prints each 512-byte sector exactly as the device sent it;
  ATA strings are therefore byte-swapped within each word).
- Disks (\`-drive if=none,format=raw\` on sparse images):
EOF
    for i in "${!names[@]}"; do
        case ${buses[$i]} in
        sata*) where="\`-device ahci,id=ahci\` + \`-device ide-hd,bus=ahci.${buses[$i]#sata}\`" ;;
        pri-slave) where="\`-device ide-hd,bus=ide.0,unit=1\` (built-in PIIX, primary slave)" ;;
        esac
        echo "  - \`${names[$i]}\`: $where, model=\"${models[$i]}\", serial=\"${serials[$i]}\", ${sizes[$i]}"
    done
    cat <<EOF
- Full QEMU command line of the capture:

\`\`\`
$(sed -e "s|$work|<work>|g" -e "s|$(vg_cache_dir)/[^/]*|<guest cache>|g" \
    -e "s|${TMPDIR:-/tmp}/vorn-guest\.[A-Za-z0-9]*|<run>|g" "$work/out/qemu-command")
\`\`\`

Each \`diskN-*\` folder is a disk of a simulated machine (\`VORN_SIM=tests/fixtures/qemu\`).
The sector files are the capture; \`disk.ini\` records the kernel's view (SCSI
host and target) and the image size. QEMU keeps S.M.A.R.T. state only in
memory, so every boot starts with S.M.A.R.T. enabled and these same values.
EOF
} >"$dest/ORIGIN.md"
echo "fixtures written to $dest"
