# Runs inside the USB test guest (busybox sh): the kernel's view of each USB
# disk, smartctl's, then drivewatch's, into /vorn/out.
#   usb-disks          kernel name, bound driver, idVendor:idProduct, USB serial
#   vpd80-<name>       the VPD page 80h the kernel kept, where it kept one
#   sat-<name>.*       smartctl -d sat -i (ATA PASS-THROUGH (16)), with .status
#   sat12-<name>.*     smartctl -d sat,12 -i, with .status
#   dw.json / dw.txt   drivewatch --json and its text output, with .status
#   dw.ms              how long the JSON run took, in milliseconds
out=/vorn/out
for dev in /sys/block/sd*; do
    name=${dev##*/}
    dir=$(readlink -f "$dev/device")
    driver="" usbdev=""
    while [ -n "$dir" ] && [ "$dir" != /sys ]; do
        d=$(basename "$(readlink -f "$dir/driver" 2>/dev/null)" 2>/dev/null)
        if [ "$d" = usb-storage ] || [ "$d" = uas ]; then
            driver=$d
            usbdev=${dir%/*}
            break
        fi
        dir=${dir%/*}
    done
    [ -n "$usbdev" ] || continue
    echo "$name $driver $(cat "$usbdev/idVendor"):$(cat "$usbdev/idProduct") $(cat "$usbdev/serial" 2>/dev/null)" >>$out/usb-disks
    [ -e "$dev/device/vpd_pg80" ] && cat "$dev/device/vpd_pg80" >"$out/vpd80-$name"
    smartctl -d sat -i "/dev/$name" >"$out/sat-$name.txt" 2>&1
    echo $? >"$out/sat-$name.status"
    smartctl -d sat,12 -i "/dev/$name" >"$out/sat12-$name.txt" 2>&1
    echo $? >"$out/sat12-$name.status"
done
if command -v drivewatch >/dev/null; then
    # The guest's clock in hundredths of a second, from /proc/uptime.
    ticks() {
        read -r up _ </proc/uptime
        # "1" before the hundredths keeps a leading 0 from reading as octal.
        echo $((${up%.*} * 100 + 1${up#*.} - 100))
    }
    start=$(ticks)
    drivewatch --no-history --json >$out/dw.json 2>$out/dw.err
    echo $? >$out/dw.status
    end=$(ticks)
    echo $(((end - start) * 10)) >$out/dw.ms
    drivewatch --no-history >$out/dw.txt 2>>$out/dw.err
    echo $? >$out/dw-text.status
else
    : >$out/no-drivewatch
fi
