#!/usr/bin/env bash
# Builds the systemd flavour of the test guest once and prints its folder:
#   vmlinux        the busybox guest's kernel
#   base.cpio      initramfs: a Debian 12 minbase root (debootstrap) with
#                  systemd as the first process, dbus, the busybox guest's disk
#                  drivers, and vorn-guest.service, which runs run-command
#                  once the system is up
#   inputs         what it was built from
#
# For what only a real service manager shows: units, their sandboxing, bus
# activation through SystemdService=. Cached beside the busybox guest under a
# key of that guest, the systemd and dbus versions and this script; without
# network a cached one is reused, without one the caller is told to skip (77).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

PACKAGES="systemd,systemd-sysv,dbus,kmod"

base=$("$here/build-guest.sh") || {
    status=$?
    echo "$base"
    exit "$status"
}
cache=$(vg_cache_dir)
exec 8>"$cache/.systemd-lock"
flock 8

resolve_inputs() {
    echo "base=$(basename "$base")"
    local p
    for p in systemd dbus; do
        echo "$p=$(vg_apt_candidate "$p")"
    done
    echo "builder=$(vg_sha256 "$here/build-systemd-guest.sh")"
}

# Units a test boot never needs; masking them saves seconds of emulated time.
MASKED="getty@.service serial-getty@.service console-getty.service
apt-daily.timer apt-daily-upgrade.timer dpkg-db-backup.timer e2scrub_all.timer
e2scrub_reap.service fstrim.timer systemd-tmpfiles-clean.timer
systemd-pstore.service systemd-journal-flush.service remote-fs.target"

build() {
    local out=$1 work=$2 root=$2/root
    command -v debootstrap >/dev/null || "$(vg_repo_root)/tools/ensure-packages.sh" debootstrap >&2 ||
        return 1
    vg_note "debootstrap: Debian 12 minbase with $PACKAGES"
    debootstrap --variant=minbase --include="$PACKAGES" bookworm "$root" \
        http://deb.debian.org/debian >"$work/debootstrap.log" 2>&1 || {
        tail -n 5 "$work/debootstrap.log" >&2
        return 1
    }
    rm -rf "$root"/usr/share/{doc,man,info,locale} "$root"/var/cache/apt/* "$root"/var/lib/apt/lists/*

    # The busybox guest's drivers and their load order, and busybox itself for
    # the few applets run-command uses that Debian has no program for (usleep).
    (cd "$root" && cpio -idm --quiet 'lib/modules/*' 'etc/vorn/modules.load' 'etc/vorn/run-command' \
        <"$base/base.cpio")
    install -D -m 0755 /bin/busybox "$root/opt/vorn/busybox/busybox"
    "$root/opt/vorn/busybox/busybox" --install -s "$root/opt/vorn/busybox"
    # --install -s links to this machine's path of the root; the guest needs
    # them relative.
    find "$root/opt/vorn/busybox" -type l -exec ln -sfn busybox {} \;

    local unit
    for unit in $MASKED; do
        ln -sfn /dev/null "$root/etc/systemd/system/$unit"
    done
    echo 0123456789abcdef0123456789abcdef >"$root/etc/machine-id"
    echo vorn-guest >"$root/etc/hostname"

    cat >"$root/etc/systemd/system/vorn-guest.service" <<'EOF'
[Unit]
Description=The test's command
After=multi-user.target dbus.socket
Wants=dbus.socket

[Service]
Type=simple
Environment=PATH=/opt/vorn/bin:/usr/sbin:/usr/bin:/sbin:/bin:/opt/vorn/busybox
Environment=HOME=/root LANG=C.UTF-8 LC_ALL=C.UTF-8 TERM=dumb
ExecStart=/bin/sh /etc/vorn/run-command
TimeoutStartSec=infinity

[Install]
WantedBy=multi-user.target
EOF
    mkdir -p "$root/etc/systemd/system/multi-user.target.wants"
    ln -sfn ../vorn-guest.service "$root/etc/systemd/system/multi-user.target.wants/vorn-guest.service"

    (cd "$root" && find . | LC_ALL=C sort | cpio -o -H newc --quiet >"$out/base.cpio")
    cp "$base/vmlinux" "$out/vmlinux"
}

inputs=$(resolve_inputs)
key=$(echo "$inputs" | sha256sum | cut -c1-16)
dir="$cache/systemd-$key"
if [ ! -f "$dir/base.cpio" ]; then
    vg_note "building the systemd guest $key in $cache"
    tmp=$(mktemp -d "$cache/.build-systemd.XXXXXX")
    trap 'rm -rf "$tmp"' EXIT
    mkdir -p "$tmp/out" "$tmp/work"
    if build "$tmp/out" "$tmp/work"; then
        echo "$inputs" >"$tmp/out/inputs"
        rm -rf "$dir"
        mv "$tmp/out" "$dir"
        ln -sfn "systemd-$key" "$cache/systemd-current"
        find "$cache" -maxdepth 1 -name 'systemd-*' ! -name "systemd-$key" ! -name systemd-current \
            -exec rm -rf {} +
    elif [ -f "$cache/systemd-current/base.cpio" ]; then
        vg_note "debootstrap failed; reusing the cached systemd guest"
        dir=$(readlink -f "$cache/systemd-current")
    else
        vg_skip "cannot build the systemd guest (debootstrap of Debian 12 failed)"
    fi
fi
echo "$dir"
