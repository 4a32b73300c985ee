#!/usr/bin/env bash
# Boots the test guest under QEMU (machine pc, software emulation) with the
# disks asked for, runs one command in it and returns the command's stdout,
# stderr and exit status as if it had run here.
#
#   run-guest.sh [options] --script FILE
#   run-guest.sh [options] -- COMMAND [ARGS...]
#
#   --disk BUS,key=value,...  attach a disk. BUS is one of
#         sata0 .. sata5        port of an AHCI controller added to the machine
#         pri-master pri-slave sec-master sec-slave   the built-in PIIX IDE
#         virtio                a virtio-blk disk (no ATA behind it)
#         nvme                  an NVMe controller of its own with one namespace
#         usb-storage           a USB mass-storage (bulk-only) disk on an xHCI controller
#         usb-uas               a USB attached SCSI disk (usb-uas with a scsi-hd) on it
#       keys: file= raw image (created sparse with size= when missing; default
#       a fresh image in the work folder), size= (default 64M), model=,
#       serial=, ver=, wwn= (passed to QEMU's ide-hd); an nvme disk takes
#       serial= (required) and warning= (its smart_critical_warning bits); a
#       USB disk takes serial= only (the USB device's serial string)
#   --program PATH     put a program and the libraries ldd lists into the
#                      guest's /opt/vorn/bin (on PATH); repeatable
#   --tree SRC:DEST    copy a host folder into the guest; repeatable
#   --out-dir DIR      keep stdout, stderr, status, console.log, timing and
#                      files/ (whatever the command left in /vorn/out)
#   --timeout SEC      limit for the whole boot (default 240)
#   --memory MB        guest memory (default 512, 1024 with --systemd)
#   --systemd          boot the systemd guest (guest/build-systemd-guest.sh):
#                      the command runs from a service once the system is up
#
# In the guest the command runs as root in /vorn/work after the disk drivers
# are loaded and every attached disk has its block device. Exit status: the
# command's; 77 when the guest cannot be built (no qemu or kernel); 125 when
# the guest gave no result (time limit, panic): the console tail is printed.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/guest/common.sh"

usage() {
    sed -n '2,/^set -euo/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
    exit 2
}

disks=()
programs=()
trees=()
script=""
out_dir=""
timeout=240
memory=""
systemd=0
command=()
while [ $# -gt 0 ]; do
    case $1 in
    --disk) disks+=("$2"); shift 2 ;;
    --program) programs+=("$2"); shift 2 ;;
    --tree) trees+=("$2"); shift 2 ;;
    --script) script=$2; shift 2 ;;
    --out-dir) out_dir=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --memory) memory=$2; shift 2 ;;
    --systemd) systemd=1; shift ;;
    --) shift; command=("$@"); break ;;
    -h | --help) usage ;;
    *) echo "run-guest: unknown option $1" >&2; usage ;;
    esac
done
[ -n "$script" ] || [ ${#command[@]} -gt 0 ] || usage

vg_ensure_host_tools
guest_status=0
builder=$here/guest/build-guest.sh
append="console=ttyS0 panic=-1 quiet loglevel=4"
if [ "$systemd" = 1 ]; then
    builder=$here/guest/build-systemd-guest.sh
    append+=" rdinit=/lib/systemd/systemd systemd.show_status=false"
    [ -n "$memory" ] || memory=1024
fi
[ -n "$memory" ] || memory=512
guest=$("$builder") || guest_status=$?
if [ "$guest_status" != 0 ]; then
    echo "$guest" # the skip line, when it is one
    exit "$guest_status"
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/vorn-guest.XXXXXX")
trap 'rm -rf "$work"' EXIT
[ -n "$out_dir" ] || out_dir=$work/out
mkdir -p "$out_dir"
rm -rf "$out_dir/files"
mkdir -p "$out_dir/files"

# QEMU's option parser takes a doubled comma as a literal one.
qemu_escape() { printf '%s' "${1//,/,,}"; }

qemu_disk_args=()
have_ahci=0
have_xhci=0
disk_count=0
for diskarg in "${disks[@]}"; do
    bus=${diskarg%%,*}
    [ "$bus" = "$diskarg" ] && opts="" || opts=${diskarg#*,}
    file="" size=64M model="" serial="" ver="" wwn="" warning=""
    IFS=, read -ra pairs <<<"$opts"
    for pair in "${pairs[@]}"; do
        case $pair in
        file=*) file=${pair#file=} ;;
        size=*) size=${pair#size=} ;;
        model=*) model=${pair#model=} ;;
        serial=*) serial=${pair#serial=} ;;
        ver=*) ver=${pair#ver=} ;;
        wwn=*) wwn=${pair#wwn=} ;;
        warning=*) warning=${pair#warning=} ;;
        *) vg_die "unknown disk option '$pair' in '$diskarg'" ;;
        esac
    done
    id=disk$disk_count
    [ -n "$file" ] || file=$work/$id.img
    [ -e "$file" ] || truncate -s "$size" "$file"
    qemu_disk_args+=(-drive "if=none,id=$id,format=raw,file=$(qemu_escape "$file")")
    props=""
    [ -n "$model" ] && props+=",model=$(qemu_escape "$model")"
    [ -n "$serial" ] && props+=",serial=$(qemu_escape "$serial")"
    [ -n "$ver" ] && props+=",ver=$(qemu_escape "$ver")"
    [ -n "$wwn" ] && props+=",wwn=$wwn"
    case $bus in
    sata[0-5])
        have_ahci=1
        qemu_disk_args+=(-device "ide-hd,bus=ahci.${bus#sata},drive=$id$props") ;;
    pri-master) qemu_disk_args+=(-device "ide-hd,bus=ide.0,unit=0,drive=$id$props") ;;
    pri-slave) qemu_disk_args+=(-device "ide-hd,bus=ide.0,unit=1,drive=$id$props") ;;
    sec-master) qemu_disk_args+=(-device "ide-hd,bus=ide.1,unit=0,drive=$id$props") ;;
    sec-slave) qemu_disk_args+=(-device "ide-hd,bus=ide.1,unit=1,drive=$id$props") ;;
    virtio)
        [ -z "$props" ] || vg_die "virtio disks take no model, serial, ver or wwn"
        qemu_disk_args+=(-device "virtio-blk-pci,drive=$id") ;;
    usb-storage | usb-uas)
        [ -z "$model$ver$wwn" ] || vg_die "a USB disk takes serial= only"
        have_xhci=1
        usb_serial=""
        [ -n "$serial" ] && usb_serial=",serial=$(qemu_escape "$serial")"
        if [ "$bus" = usb-storage ]; then
            qemu_disk_args+=(-device "usb-storage,bus=xhci.0,drive=$id$usb_serial")
        else
            qemu_disk_args+=(-device "usb-uas,bus=xhci.0,id=uas$disk_count$usb_serial"
                -device "scsi-hd,bus=uas$disk_count.0,scsi-id=0,lun=0,drive=$id$usb_serial")
        fi ;;
    nvme)
        [ -n "$serial" ] && [ -z "$model$ver$wwn" ] || vg_die "an nvme disk takes serial= and warning= only"
        nvme_props=",serial=$(qemu_escape "$serial")"
        [ -n "$warning" ] && nvme_props+=",smart_critical_warning=$warning"
        qemu_disk_args+=(-device "nvme,drive=$id$nvme_props") ;;
    *) vg_die "unknown disk bus '$bus'" ;;
    esac
    [ -z "$warning" ] || [ "$bus" = nvme ] || vg_die "only an nvme disk takes warning="
    disk_count=$((disk_count + 1))
done
ahci_args=()
[ "$have_ahci" = 1 ] && ahci_args=(-device ahci,id=ahci)
[ "$have_xhci" = 1 ] && ahci_args+=(-device qemu-xhci,id=xhci)

# The per-run part of the initramfs: the command, what the init must know, and
# the programs. The kernel unpacks concatenated archives over each other.
extra=$work/extra
mkdir -p "$extra/vorn"
if [ -n "$script" ]; then
    install -m 0755 "$script" "$extra/vorn/cmd.sh"
else
    printf '%q ' "${command[@]}" >"$extra/vorn/cmd.sh"
    echo >>"$extra/vorn/cmd.sh"
fi
echo "VORN_EXPECT_DISKS=$disk_count" >"$extra/vorn/env"
for program in "${programs[@]}"; do
    [ -x "$program" ] || vg_die "no program at $program"
    vg_install_with_libraries "$extra" "$program" "/opt/vorn/bin/$(basename "$program")"
done
for tree in "${trees[@]}"; do
    mkdir -p "$extra/${tree#*:}"
    cp -a "${tree%%:*}/." "$extra/${tree#*:}/"
done
# The systemd guest's root has merged /usr: /lib, /lib64, /bin and /sbin are
# links there, which an archive holding those folders would replace.
if [ "$systemd" = 1 ]; then
    for top in lib lib64 bin sbin; do
        [ -d "$extra/$top" ] || continue
        mkdir -p "$extra/usr/$top"
        cp -a "$extra/$top/." "$extra/usr/$top/"
        rm -rf "${extra:?}/$top"
    done
fi
(cd "$extra" && find . | LC_ALL=C sort | cpio -o -H newc --quiet >"$work/extra.cpio")
cat "$guest/base.cpio" "$work/extra.cpio" >"$work/initrd.cpio"

console=$out_dir/console.log
result=$work/result.bin
: >"$console"
: >"$result"
qemu=(qemu-system-x86_64 -machine pc,accel=tcg -cpu max -smp 1 -m "$memory"
    -nodefaults -nographic -no-reboot
    -kernel "$guest/vmlinux" -initrd "$work/initrd.cpio"
    -append "$append"
    -serial "file:$console" -serial "file:$result"
    "${ahci_args[@]}" "${qemu_disk_args[@]}")
# A readable copy of the command line for the record.
for arg in "${qemu[@]}"; do
    if [[ $arg =~ [[:space:]] ]]; then printf '"%s" ' "$arg"; else printf '%s ' "$arg"; fi
done | sed 's/ $//' >"$out_dir/qemu-command"
echo >>"$out_dir/qemu-command"

start=$(date +%s.%N)
qemu_status=0
timeout -k 5 "$timeout" "${qemu[@]}" </dev/null >"$out_dir/qemu.log" 2>&1 || qemu_status=$?
end=$(date +%s.%N)

header=$(head -n 1 "$result" 2>/dev/null || true)
read -r tag status out_len err_len tar_len uptime <<<"$header" || true
if [ "${tag:-}" != VORN-RESULT ] || [ "$(tail -c 9 "$result")" != VORN-END ]; then
    echo "run-guest: the guest gave no result (qemu exit $qemu_status, limit ${timeout}s); console tail:" >&2
    tail -n 30 "$console" >&2
    cat "$out_dir/qemu.log" >&2
    exit 125
fi
# Byte ranges of the frame, without pipes that a reader could cut short.
part() { dd if="$result" iflag=skip_bytes,count_bytes skip="$1" count="$2" bs=64K status=none; }
body=$((${#header} + 1))
part "$body" "$out_len" >"$out_dir/stdout"
part $((body + out_len)) "$err_len" >"$out_dir/stderr"
part $((body + out_len + err_len)) "$tar_len" >"$work/files.tar"
tar -xf "$work/files.tar" -C "$out_dir/files"
echo "$status" >"$out_dir/status"
awk -v s="$start" -v e="$end" -v u="$uptime" \
    'BEGIN { printf "wall %.2f s, guest uptime at command start %.2f s\n", e - s, u }' >"$out_dir/timing"
vg_note "$(cat "$out_dir/timing")"

cat "$out_dir/stdout"
cat "$out_dir/stderr" >&2
exit "$status"
