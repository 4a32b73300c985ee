# Guest side of integration.systemd (dash, in the systemd guest): installs the
# disk helper's unit, bus service and bus policy as a package would, lets the
# system bus start the helper through systemd for nobody's drivewatch, and
# records what the running helper was given.
# Into /vorn/out:
#   <run>.json / .err / .status   drivewatch as root and as nobody
#   unit                          systemctl show of vorn-diskhelper.service
#   bus-owner                     the pid that owns the helper's bus name
#   helper-status, helper-mounts  /proc/<pid>/status and mountinfo of the unit's main process
#   helper-netns, init-netns      their network namespaces
#   journal                       the helper's journal, authority.log polkit's questions
out=/vorn/out
files=/etc/vorn-systemd
exec_path=$(sed -n 's/^ExecStart=//p' $files/vorn-diskhelper.service)
# A link: the helper finds our libraries beside its real path (\$ORIGIN).
mkdir -p "$(dirname "$exec_path")"
ln -sfn /opt/vorn/bin/vorn-diskhelper "$exec_path"
cp $files/vorn-diskhelper.service /etc/systemd/system/
cp $files/org.vorn.DiskHelper1.service $files/org.freedesktop.PolicyKit1.service \
    /usr/share/dbus-1/system-services/
cp $files/org.vorn.DiskHelper1.conf $files/polkit-stand-in.conf /etc/dbus-1/system.d/
systemctl daemon-reload
dbus-send --system --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.ReloadConfig \
    >/dev/null 2>$out/reload.err
echo probe >/root/vorn-home-probe

run() { # name, then the command; each in a folder of its own
    name=$1
    shift
    mkdir -p /tmp/$name
    chmod 777 /tmp/$name
    (cd /tmp/$name && timeout 120 "$@") >$out/$name.json 2>$out/$name.err
    echo $? >$out/$name.status
}
nobody="setpriv --reuid=65534 --regid=65534 --clear-groups --inh-caps=-all --"
run root drivewatch --no-history --json
run nobody $nobody drivewatch --no-history --json

systemctl show vorn-diskhelper.service -p ActiveState -p MainPID -p ControlGroup >$out/unit
pid=$(systemctl show -p MainPID --value vorn-diskhelper.service)
dbus-send --system --print-reply --dest=org.freedesktop.DBus / \
    org.freedesktop.DBus.GetConnectionUnixProcessID string:org.vorn.DiskHelper1 2>&1 |
    awk '/uint32/ {print $2}' >$out/bus-owner
if [ -n "$pid" ] && [ "$pid" != 0 ]; then
    cat /proc/$pid/status >$out/helper-status
    cat /proc/$pid/mountinfo >$out/helper-mounts
    readlink /proc/$pid/ns/net >$out/helper-netns
fi
readlink /proc/1/ns/net >$out/init-netns
journalctl -b --no-pager -o cat -u vorn-diskhelper.service -u dbus.service >$out/journal 2>&1
exit 0
