# Runs inside the main test guest (busybox sh). Everything it learns goes to
# /vorn/out, which the runner brings back to the host for the checks:
#   disks            kernel name, SCSI address, sectors, sysfs model, serial
#   smart-<serial>.* smartctl's view before drivewatch ran
#   dw-<run>.json / .err / .status / .log   one file set per drivewatch run
#   smart-after-<run>-<serial>   smartctl -A after the switching runs
#   hp-*, authority.log          the disk helper's runs (helper-guest.sh)
out=/vorn/out
mount_serial=$1
mount_point=$2

# The kernel's view of each disk, gathered before anything else touches them.
for dev in /sys/block/*; do
    name=${dev##*/}
    address=-
    [ -e "$dev/device/scsi_device" ] && address=$(basename "$(readlink -f "$dev/device")")
    model=$(cat "$dev/device/model" 2>/dev/null | sed 's/ *$//; s/ /_/g')
    serial=-
    [ "$address" != - ] &&
        serial=$(hdparm -I "/dev/$name" 2>/dev/null | awk '/Serial Number:/ {print $3}')
    echo "$name $address $(cat "$dev/size") ${model:--} ${serial:--}" >>$out/disks
done

# Independent view: what smartctl sees through the same kernel.
while read -r name address sectors model serial; do
    [ "$serial" = - ] && continue
    smartctl -i -A -H "/dev/$name" >"$out/smart-$serial.txt" 2>&1
    echo $? >"$out/smart-$serial.status"
    hdparm --Istdout "/dev/$name" >"$out/identify-$serial.words" 2>/dev/null
done <$out/disks

while read -r name address sectors model serial; do
    if [ "$serial" = "$mount_serial" ]; then
        mkdir -p "$mount_point"
        mount -o ro -t ext4 "/dev/${name}1" "$mount_point" 2>"$out/mount.err"
        echo $? >"$out/mount.status"
    fi
done <$out/disks
cat /proc/mounts >$out/mounts

# QEMU keeps answering IDENTIFY with word 85 bit 0 set after DISABLE
# OPERATIONS, so whether S.M.A.R.T. is on shows only in whether READ DATA
# is accepted.
smart_state() {
    while read -r name address sectors model serial; do
        [ "$serial" = - ] && continue
        smartctl -A "/dev/$name" >"$out/smart-after-$1-$serial.txt" 2>&1
    done <$out/disks
}

# One drivewatch run: dw NAME SWITCHES... (stdout is the JSON document).
dw() {
    run=$1
    shift
    drivewatch --no-history "$@" >"$out/dw-$run.json" 2>"$out/dw-$run.err"
    echo $? >"$out/dw-$run.status"
}

if command -v drivewatch >/dev/null; then
    dw default --json --log "$out/dw-default.log"
    dw nowake --json --no-wake
    dw ata -Ata --json --log "$out/dw-ata.log"
    dw scsi -Scsi --json --log "$out/dw-scsi.log"
    # An unprivileged user through the disk helper, before the switching runs
    # change what the disks answer.
    helper_runs disable
    # S.M.A.R.T. state lives in QEMU's memory only, so the switching runs go
    # last and in this one boot.
    dw disable -Disable --json --log "$out/dw-disable.log"
    smart_state disable
    dw disabled --json --log "$out/dw-disabled.log"
    dw enable -Enable --json --log "$out/dw-enable.log"
    smart_state enable
    dw enabled --json
else
    echo "no drivewatch in the guest" >$out/no-drivewatch
fi
exit 0
