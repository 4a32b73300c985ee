# Runs inside the self-test guest (busybox sh): drivewatch starts and follows
# the drives' self-tests, then smartctl reads the same logs, into /vorn/out.
#   disks                   kernel name and serial of each disk
#   short.* / extended.*    drivewatch --selftest short --wait, --selftest extended
#   conveyance.*            drivewatch --selftest conveyance (QEMU offers none)
#   conveyance-disk.*       the same for one disk named by --disk
#   logs.json               drivewatch --json --logs after both tests
#   logs.txt                its text form
#   smart-<serial>.json     smartctl -j -c -l selftest -l error -l devstat
#   short.ms                how long the waiting run took, in milliseconds
# Each run keeps .out, .err and .status.
out=/vorn/out
ticks() {
    read -r up _ </proc/uptime
    echo $((${up%.*} * 100 + 1${up#*.} - 100))
}
for dev in /sys/block/sd*; do
    name=${dev##*/}
    serial=$(smartctl -i "/dev/$name" | sed -n 's/^Serial Number: *//p')
    echo "$name $serial" >>$out/disks
done
run() { # what, drivewatch arguments...
    what=$1
    shift
    drivewatch --no-history "$@" >$out/$what.out 2>$out/$what.err
    echo $? >$out/$what.status
}
start=$(ticks)
run short --selftest short --wait
end=$(ticks)
echo $(((end - start) * 10)) >$out/short.ms
run extended --selftest extended
run conveyance --selftest conveyance
run conveyance-disk --selftest conveyance --disk 0
run logs --json --logs
cp $out/logs.out $out/logs.json
drivewatch --no-history --logs >$out/logs.txt 2>>$out/logs.err
while read -r name serial; do
    smartctl -j -c -l selftest -l error -l devstat "/dev/$name" >"$out/smart-$serial.json" 2>&1
done <$out/disks
# smartctl sets bits for what it reads, not for a failed run: the checks judge.
exit 0
