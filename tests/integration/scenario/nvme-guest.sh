# Runs inside the NVMe test guest (busybox sh): smartctl's view of each
# controller, then drivewatch's, into /vorn/out.
#   nvme-disks         kernel name and controller serial of each namespace
#   smart-<serial>.*   smartctl -j -a on the namespace
#   raw-<serial>.txt   smartctl's hex dump of the Identify and log replies
#   dw.json / dw.txt   drivewatch --json and its text output, with .status
#   hp-*, authority.log  the disk helper's runs (helper-guest.sh)
out=/vorn/out
for dev in /sys/block/nvme*; do
    name=${dev##*/}
    serial=$(sed 's/ *$//' "$dev/device/serial")
    echo "$name $serial" >>$out/nvme-disks
    # On the namespace node smartctl also reports the namespace's size.
    smartctl -j -a "/dev/$name" >"$out/smart-$serial.json" 2>"$out/smart-$serial.err"
    echo $? >"$out/smart-$serial.status"
    # The controller's replies byte by byte, for capture-nvme-fixtures.sh.
    smartctl -r ioctl,2 -i -A "/dev/$name" >"$out/raw-$serial.txt" 2>&1
done
if command -v drivewatch >/dev/null; then
    drivewatch --no-history --json >$out/dw.json 2>$out/dw.err
    echo $? >$out/dw.status
    drivewatch --no-history >$out/dw.txt 2>>$out/dw.err
    echo $? >$out/dw-text.status
else
    : >$out/no-drivewatch
fi
helper_runs
