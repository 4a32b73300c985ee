#!/usr/bin/env bash
# Boots the main test guest once and leaves everything the checks need in
# OUT_DIR; each check (check.sh) then asserts on one aspect of it.
#   boot-main.sh OUT_DIR [BIN_DIR [AUTHORITY]]
# BIN_DIR is the build's bin folder; its drivewatch and Template folder go into
# the guest when drivewatch is built, and its disk helper with AUTHORITY (the
# polkit stand-in) when both are built. OUT_DIR/skipped holds the reason when
# the boot was skipped, and the checks skip with it.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../guest/common.sh"
. "$here/disks.sh"

out=${1:?usage: boot-main.sh OUT_DIR [BIN_DIR]}
bin=${2:-}
authority=${3:-}
rm -rf "$out"
mkdir -p "$out/images"

skip() {
    echo "$*" >"$out/skipped"
    vg_skip "$*"
}
[ -z "${VORN_SKIP_INTEGRATION:-}" ] || skip "VORN_SKIP_INTEGRATION is set"
tools=$(vg_ensure_host_tools) || skip "${tools#skipped: }"

# An MBR with one Linux partition from 1 MiB to the end, holding an ext2 file
# system made here, so the guest only mounts it (read-only: the medium stays
# as it is and the checksums below hold for every disk).
make_partitioned_image() {
    local image=$1 size=$2 start=2048
    local sectors=$(($(main_size_bytes "$size") / 512))
    local count=$((sectors - start))
    truncate -s "$size" "$image"
    le32() { printf '\\x%02x\\x%02x\\x%02x\\x%02x' $(($1 & 255)) $((($1 >> 8) & 255)) \
        $((($1 >> 16) & 255)) $((($1 >> 24) & 255)); }
    printf "\\x00\\xfe\\xff\\xff\\x83\\xfe\\xff\\xff$(le32 $start)$(le32 $count)" |
        dd of="$image" bs=1 seek=446 conv=notrunc status=none
    printf '\x55\xaa' | dd of="$image" bs=1 seek=510 conv=notrunc status=none
    truncate -s $((count * 512)) "$out/images/fs.tmp"
    busybox mke2fs -F -L vorn-data "$out/images/fs.tmp" >/dev/null
    dd if="$out/images/fs.tmp" of="$image" bs=1M seek=1 conv=notrunc status=none
    rm -f "$out/images/fs.tmp"
}

args=()
for row in "${MAIN_DISKS[@]}"; do
    IFS='|' read -r bus model serial size ver <<<"$row"
    image=$out/images/$serial.img
    if [ "$serial" = "$MAIN_MOUNT_SERIAL" ]; then
        make_partitioned_image "$image" "$size"
    else
        truncate -s "$size" "$image"
    fi
    diskarg="$bus,file=$image,model=$model,serial=$serial"
    [ -n "$ver" ] && diskarg+=",ver=$ver"
    args+=(--disk "$diskarg")
done
truncate -s "$MAIN_VIRTIO_SIZE" "$out/images/virtio.img"
args+=(--disk "virtio,file=$out/images/virtio.img")

if [ -n "$bin" ] && [ -x "$bin/drivewatch" ]; then
    args+=(--program "$bin/drivewatch")
    [ -d "$bin/Template" ] && args+=(--tree "$bin/Template:/opt/vorn/bin/Template")
    vg_helper_guest_args "$out" "$bin/vorn-diskhelper" "$authority"
    args+=("${VG_HELPER_ARGS[@]}")
fi

(cd "$out/images" && md5sum *.img) >"$out/checksums.before"
{
    printf 'set -- %q %q\n' "$MAIN_MOUNT_SERIAL" "$MAIN_MOUNT_POINT"
    cat "$here/helper-guest.sh" "$here/main-guest.sh"
} >"$out/guest-command.sh"

status=0
"$here/../run-guest.sh" --out-dir "$out/run" --script "$out/guest-command.sh" "${args[@]}" \
    >"$out/run-guest.out" 2>"$out/run-guest.err" || status=$?
(cd "$out/images" && md5sum *.img) >"$out/checksums.after"
cat "$out/run-guest.err" >&2
case $status in
0) ;;
77) skip "$(sed -n 's/^skipped: //p' "$out/run-guest.out" | head -n 1)" ;;
*) vg_die "the guest failed (status $status); see $out/run/console.log" ;;
esac
cat "$out/run/timing"
