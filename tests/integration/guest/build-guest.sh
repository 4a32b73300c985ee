#!/usr/bin/env bash
# Builds the test guest once and prints the folder that holds it:
#   vmlinux        the uncompressed kernel, booted with -kernel (PVH entry)
#   base.cpio      initramfs: busybox, disk drivers, hdparm and smartctl, and
#                  run-command, which the init hands over to
#   kernel-release, modules.load, inputs   what it was built from
#
# The guest is cached outside the repository (see common.sh) under a key made
# from every input: the kernel package and its version, the busybox, hdparm and
# smartmontools versions, and this script, the guest init and run-command.
# Nothing is rebuilt while they stay the same. Without network a cached guest
# is reused; without one the caller is told to skip (exit 77).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/common.sh"

cache=$(vg_cache_dir)
mkdir -p "$cache/downloads"
exec 9>"$cache/.lock"
flock 9

# Modules the disks need, in the order they are loaded. Their dependencies from
# modules.dep are inserted ahead of each. ahci goes before ata_piix so that
# AHCI port p becomes SCSI host p and the PIIX channels follow.
WANTED_MODULES="crct10dif_generic crc64_rocksoft_generic crc32c_generic
scsi_mod sd_mod sg libata libahci ahci ata_piix
virtio_pci virtio_blk nvme ext4
xhci_pci usb_storage uas"
# Loaded when present: the CRC back-ends only add faster implementations.
OPTIONAL_MODULES="crct10dif_generic crc64_rocksoft_generic crc32c_generic"

TOOL_PACKAGES="hdparm smartmontools"

kernel_package() {
    if [ -n "${VORN_GUEST_KERNEL_PACKAGE:-}" ]; then
        echo "$VORN_GUEST_KERNEL_PACKAGE"
        return
    fi
    # The metapackage names the current 6.1 ABI; fall back to the newest one
    # apt knows when the metapackage is missing.
    apt-cache depends linux-image-amd64 2>/dev/null |
        awk '/Depends: linux-image-6\.1\.0-[0-9]+-amd64$/ {print $2; exit}' |
        grep . ||
        apt-cache pkgnames linux-image-6.1.0- 2>/dev/null | grep -E '^linux-image-6\.1\.0-[0-9]+-amd64$' |
        sort -V | tail -n 1
}

# Sets kpkg and kver; fails when apt knows no kernel package.
choose_kernel() {
    kpkg=$(kernel_package || true)
    if [ -z "$kpkg" ] && [ "$(id -u)" -eq 0 ]; then
        apt-get update -qq >/dev/null 2>&1 || true
        kpkg=$(kernel_package || true)
    fi
    [ -n "$kpkg" ] || return 1
    kver=$(vg_apt_candidate "$kpkg")
    [ -n "$kver" ]
}

resolve_inputs() {
    local inputs="kernel=$kpkg $kver"
    local p
    for p in $TOOL_PACKAGES; do
        inputs+=$'\n'"$p=$(vg_apt_candidate "$p")"
    done
    inputs+=$'\n'"busybox=$(vg_sha256 /bin/busybox)"
    inputs+=$'\n'"builder=$(vg_sha256 "$here/build-guest.sh")"
    inputs+=$'\n'"init=$(vg_sha256 "$here/init" "$here/run-command" | tr '\n' ' ')"
    echo "$inputs"
}

# Finds the compressed kernel inside a bzImage by its format's magic bytes and
# decompresses the first candidate that yields an ELF image.
extract_vmlinux() {
    local image=$1 out=$2 magic tool offset
    for pair in 'FD377A585A00:xz -dc' '1F8B0800:gzip -dc' '28B52FFD:zstd -dc' '5D000000:xz -dc --format=lzma'; do
        magic=${pair%%:*}
        tool=${pair#*:}
        command -v "${tool%% *}" >/dev/null || continue
        local pattern
        pattern=$(echo "$magic" | sed 's/../\\x&/g')
        for offset in $(LC_ALL=C grep -obUaP "$pattern" "$image" | cut -d: -f1 | head -n 8); do
            tail -c +"$((offset + 1))" "$image" | $tool >"$out" 2>/dev/null || true
            if [ "$(head -c 4 "$out" | od -An -tx1 | tr -d ' ')" = 7f454c46 ]; then
                return 0
            fi
        done
    done
    return 1
}

# Prints module files (relative to the release folder) in load order:
# dependencies first, each file once.
module_load_order() {
    local moddir=$1
    declare -A path_of deps_of seen
    local line key name
    while IFS= read -r line; do
        key=${line%%:*}
        name=$(basename "$key" .ko)
        name=${name//-/_}
        path_of[$name]=$key
        deps_of[$key]=${line#*:}
    done <"$moddir/modules.dep"

    visit() {
        local file=$1 i
        [ -n "${seen[$file]:-}" ] && return
        seen[$file]=1
        local deps=(${deps_of[$file]})
        # modules.dep lists the deepest dependency last.
        for ((i = ${#deps[@]} - 1; i >= 0; i--)); do
            visit "${deps[$i]}"
        done
        echo "$file"
    }
    local m
    for m in $WANTED_MODULES; do
        if [ -z "${path_of[$m]:-}" ]; then
            case " $OPTIONAL_MODULES " in
            *" $m "*) continue ;;
            esac
            echo "missing module $m" >&2
            return 1
        fi
        visit "${path_of[$m]}"
    done
}

# Prints the cached .deb of a package at a version, downloading it when missing.
fetch_deb() {
    local pkg=$1 version=${2#*:} file
    file=$(ls "$cache/downloads/${pkg}_${version}_"*.deb 2>/dev/null | head -n 1)
    if [ -z "$file" ]; then
        vg_note "downloading $pkg $version"
        vg_apt_download "$cache/downloads" "$pkg" || return 1
        file=$(ls "$cache/downloads/${pkg}_${version}_"*.deb 2>/dev/null | head -n 1)
    fi
    [ -n "$file" ] && echo "$file"
}

fetch_all() {
    fetch_deb "$kpkg" "$kver" >"$1/kernel.deb.path" || return 1
    local p
    for p in $TOOL_PACKAGES; do
        fetch_deb "$p" "$(vg_apt_candidate "$p")" >>"$1/tools.deb.path" || return 1
    done
}

build() {
    local out=$1 work=$2 deb
    deb=$(cat "$work/kernel.deb.path")
    dpkg-deb -x "$deb" "$work/kernel"
    while read -r deb; do
        dpkg-deb -x "$deb" "$work/tools"
    done <"$work/tools.deb.path"

    local release
    release=$(ls "$work/kernel/lib/modules" | head -n 1)
    vg_note "kernel $release: extracting vmlinux"
    extract_vmlinux "$work/kernel/boot/vmlinuz-$release" "$out/vmlinux" ||
        vg_die "no compressed ELF kernel found in vmlinuz-$release"

    # The package ships no modules.dep (the installer makes it); busybox makes it.
    busybox depmod -b "$work/kernel" "$release"
    local moddir="$work/kernel/lib/modules/$release"
    module_load_order "$moddir" >"$out/modules.load"

    local root="$work/root"
    mkdir -p "$root"/{bin,sbin,etc/vorn,proc,sys,dev,tmp,mnt,root,vorn/out,vorn/work,opt/vorn/bin}
    install -m 0755 /bin/busybox "$root/bin/busybox"
    install -m 0755 "$here/init" "$root/init"
    install -m 0644 "$here/run-command" "$root/etc/vorn/run-command"
    cp "$out/modules.load" "$root/etc/vorn/modules.load"
    local module
    while read -r module; do
        install -D -m 0644 "$moddir/$module" "$root/lib/modules/$release/$module"
    done <"$out/modules.load"
    vg_install_with_libraries "$root" "$work/tools/sbin/hdparm" /usr/sbin/hdparm
    vg_install_with_libraries "$root" "$work/tools/usr/sbin/smartctl" /usr/sbin/smartctl
    echo "root:x:0:0:root:/root:/bin/sh" >"$root/etc/passwd"

    (cd "$root" && find . | LC_ALL=C sort | cpio -o -H newc --quiet >"$out/base.cpio")
    echo "$release" >"$out/kernel-release"
    echo "$kpkg $kver" >"$out/kernel-package"
}

if choose_kernel && inputs=$(resolve_inputs); then
    key=$(echo "$inputs" | sha256sum | cut -c1-16)
    dir="$cache/guest-$key"
    if [ ! -f "$dir/base.cpio" ]; then
        vg_note "building guest $key in $cache"
        tmp=$(mktemp -d "$cache/.build.XXXXXX")
        trap 'rm -rf "$tmp"' EXIT
        mkdir -p "$tmp/out" "$tmp/work"
        fetch_all "$tmp/work" ||
            vg_skip "cannot install qemu or kernel (download of $kpkg or $TOOL_PACKAGES failed)"
        build "$tmp/out" "$tmp/work"
        echo "$inputs" >"$tmp/out/inputs"
        rm -rf "$dir"
        mv "$tmp/out" "$dir"
        ln -sfn "guest-$key" "$cache/current"
        # Older guests are never used again once their inputs changed.
        find "$cache" -maxdepth 1 -name 'guest-*' ! -name "guest-$key" -exec rm -rf {} +
        for deb in "$cache"/downloads/*.deb; do
            grep -qxF "$deb" "$tmp/work/kernel.deb.path" "$tmp/work/tools.deb.path" || rm -f "$deb"
        done
    fi
    echo "$dir"
elif [ -f "$cache/current/base.cpio" ]; then
    vg_note "apt knows no kernel package; reusing the cached guest"
    readlink -f "$cache/current"
else
    vg_skip "cannot install qemu or kernel (apt knows no linux-image-6.1.0-*-amd64)"
fi
