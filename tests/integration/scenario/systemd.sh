#!/usr/bin/env bash
# Boots the systemd guest with one AHCI disk and one NVMe namespace, installs
# the disk helper's unit and bus files there as built, and checks that the
# helper runs as the unit promises when the system bus starts it for nobody:
# started by systemd (its unit's main process owns the bus name), with only
# CAP_SYS_RAWIO and CAP_SYS_ADMIN, no new privileges, a system call filter, a
# network namespace of its own and a read-only system, and that nobody still
# reads both disks through it exactly as root reads them.
#   systemd.sh OUT_DIR BIN_DIR AUTHORITY HELPER_BUILD_DIR
# Prints one FAIL line per broken expectation; exit 0 pass, 1 fail, 77 skip.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
. "$here/../guest/common.sh"

usage="usage: systemd.sh OUT_DIR BIN_DIR AUTHORITY HELPER_BUILD_DIR"
out=${1:?$usage}
bin=${2:?$usage}
authority=${3:-}
helper_build=${4:?$usage}
[ -z "${VORN_SKIP_INTEGRATION:-}" ] || vg_skip "VORN_SKIP_INTEGRATION is set"
[ -x "$bin/drivewatch" ] && [ -x "$bin/vorn-diskhelper" ] || vg_skip "drivewatch or the disk helper not built"
[ -n "$authority" ] && [ -x "$authority" ] || vg_skip "the polkit stand-in is not built"
vg_ensure_host_tools >/dev/null || vg_skip "the host tools cannot be installed"
rm -rf "$out"
mkdir -p "$out/files"

root=$(vg_repo_root)
cp "$helper_build/vorn-diskhelper.service" "$helper_build/org.vorn.DiskHelper1.service" \
    "$root/helper/data/org.vorn.DiskHelper1.conf" \
    "$root/tests/integration/helper-bus/services/org.freedesktop.PolicyKit1.service" \
    "$root/tests/integration/systemd-bus/polkit-stand-in.conf" "$out/files/"

SATA=VNSYSD0001
NVME=VNSYSD0002
vg_boot_scenario "$out" --systemd --script "$here/systemd-guest.sh" \
    --disk "sata0,file=$out/sata.img,size=32M,serial=$SATA" \
    --disk "nvme,file=$out/nvme.img,size=32M,serial=$NVME" \
    --program "$bin/drivewatch" --program "$bin/vorn-diskhelper" --program "$authority" \
    --tree "$out/files:/etc/vorn-systemd"
files=$out/run/files

. "$here/expect.sh"

# Nobody reaches both families of the unit's device list through the helper.
expect "root's exit status" "$(cat "$files/root.status")" 0
jq -e --arg s "$SATA" --arg n "$NVME" '[.disks[] | select(.smart_available) | .serial] | sort == ([$s, $n] | sort)' \
    "$files/root.json" >/dev/null || fail "root did not read both disks: $(head -c 300 "$files/root.err")"
expect "nobody's exit status" "$(cat "$files/nobody.status")" 0
diff -u "$files/root.json" "$files/nobody.json" >"$out/nobody.diff" ||
    fail "root (-) and nobody through the helper (+) differ:"$'\n'"$(tail -n +3 "$out/nobody.diff" | head -n 40)"
odd=$(grep -v -E '^system-bus-name :[0-9]+\.[0-9]+ org\.vorn\.diskhelper\.read flags=1 yes$' \
    "$files/authority.log" 2>/dev/null || true)
[ -s "$files/authority.log" ] && [ -z "$odd" ] || fail "polkit questions: '$odd'"

# Started by systemd: the unit is active and its main process owns the name.
grep -qx 'ActiveState=active' "$files/unit" || fail "the unit is not active: $(tr '\n' ' ' <"$files/unit")"
pid=$(sed -n 's/^MainPID=//p' "$files/unit")
expect "owner of org.vorn.DiskHelper1 is the unit's main process" "$(cat "$files/bus-owner")" "$pid"

# What the unit gives the running helper. CAP_SYS_RAWIO is bit 17 and
# CAP_SYS_ADMIN bit 21; Seccomp 2 is a filter.
field() { sed -n "s/^$1:[[:space:]]*//p" "$files/helper-status" 2>/dev/null; }
expect "effective capabilities" "$(field CapEff)" 0000000000220000
expect "bounding set" "$(field CapBnd)" 0000000000220000
expect "ambient capabilities" "$(field CapAmb)" 0000000000000000
expect "no new privileges" "$(field NoNewPrivs)" 1
expect "seccomp mode" "$(field Seccomp)" 2
[ -s "$files/helper-netns" ] && ! cmp -s "$files/helper-netns" "$files/init-netns" ||
    fail "the helper shares the system's network namespace ($(cat "$files/helper-netns" 2>/dev/null))"
# mountinfo: field 5 is the mount point, field 6 its options.
mount_options() { awk -v m="$1" '$5 == m {o = $6} END {print o}' "$files/helper-mounts" 2>/dev/null; }
case $(mount_options /) in ro,* | ro) ;; *) fail "the helper's / is not read-only: '$(mount_options /)'" ;; esac
for dir in /home /root /tmp; do
    [ -n "$(mount_options "$dir")" ] || fail "the helper's $dir is not a mount of its own"
done

[ "$failures" = 0 ] || {
    echo "the helper's journal:"
    tail -n 20 "$files/journal"
    exit 1
}
cat "$out/run/timing"
echo "passed: systemd"
