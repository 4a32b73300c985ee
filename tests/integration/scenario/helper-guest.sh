# Guest side of the disk helper check (busybox sh), joined to a boot's guest
# command. helper_runs [disable] reads the disks with drivewatch as root and
# then as nobody, who may only reach them through vorn-diskhelper on the
# guest's own system bus, with the polkit stand-in allowing reading only; with
# "disable", nobody also tries -Disable, which polkit must refuse.
# Into /vorn/out:
#   hp-<run>.json / .err / .status   root, nobody, nobody-disable, nobody-nobus
#   hp-nobody-disable.log            that run's log
#   hp-after-disable-<name>.*        smartctl -A after it
#   hp-bus.err, authority.log        the bus's complaints, polkit's questions
#   no-helper                        when the helper is not in the guest
helper_runs() {
    out=/vorn/out
    if ! command -v vorn-diskhelper >/dev/null || ! command -v dbus-daemon >/dev/null; then
        : >$out/no-helper
        return 0
    fi
    echo 'nobody:x:65534:65534:nobody:/nonexistent:/bin/false' >>/etc/passwd
    printf 'root:x:0:\nnogroup:x:65534:\n' >/etc/group
    echo 0123456789abcdef0123456789abcdef >/etc/machine-id
    mkdir -p /run/dbus
    dbus-daemon --config-file=/etc/vorn-bus/system.conf --nofork 2>$out/hp-bus.err &
    bus_pid=$!
    tries=0
    while [ ! -S /run/dbus/system_bus_socket ] && [ $tries -lt 500 ]; do
        usleep 10000
        tries=$((tries + 1))
    done

    hp() { # run, then the command; each run in a folder of its own
        run=$1
        shift
        mkdir -p /tmp/hp-$run
        chmod 777 /tmp/hp-$run
        (cd /tmp/hp-$run && timeout 120 "$@") >$out/hp-$run.json 2>$out/hp-$run.err
        echo $? >$out/hp-$run.status
    }
    # By its path: busybox would run its own setpriv, which cannot change users.
    nobody="/opt/vorn/bin/setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --"
    hp root drivewatch --no-history --json
    hp nobody $nobody drivewatch --no-history --json
    if [ "${1:-}" = disable ]; then
        # The helper asks polkit for the configure action, which the stand-in
        # refuses: the disks must stay as they are.
        hp nobody-disable $nobody drivewatch --no-history -Disable --json --log /tmp/hp-nobody-disable/run.log
        cp /tmp/hp-nobody-disable/run.log $out/hp-nobody-disable.log 2>/dev/null
        for dev in /sys/block/sd*; do
            [ -e "$dev" ] || continue
            name=${dev##*/}
            smartctl -A "/dev/$name" >$out/hp-after-disable-$name.txt 2>&1
            echo $? >$out/hp-after-disable-$name.status
        done
    fi
    # Without a bus, nobody meets the kernel's refusal and says so.
    hp nobody-nobus $nobody env DBUS_SYSTEM_BUS_ADDRESS=unix:path=/tmp/no-bus drivewatch --no-history --json
    kill $bus_pid 2>/dev/null
    wait $bus_pid 2>/dev/null
    return 0
}
