#!/usr/bin/env bash
# The cost of one drivewatch read pass, as ratios against peers measured in the
# same run (a benchmark, not a test: nothing here passes or fails).
#
#  1. start-up: `drivewatch --version` against a bare QCoreApplication program;
#  2. simulated machines of 1, 8, 32 and 64 disks: time per run, the fixed cost
#     and the cost per disk, and the peak memory;
#  3. the QEMU guest of tests/integration with four ATA disks (two AHCI, two
#     PATA): `drivewatch --json` and `smartctl -a` over the same disks, in
#     interleaved rounds; the median and the minimum of the per-round ratios.
#
# Usage: bench/run.sh [--rounds N] [--skip-guest]
# Record what it prints in docs/performance.md with the date and machine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=15
guest=1
while [ $# -gt 0 ]; do
    case $1 in
    --rounds) rounds=$2; shift 2 ;;
    --skip-guest) guest=0; shift ;;
    *) echo "usage: bench/run.sh [--rounds N] [--skip-guest]" >&2; exit 1 ;;
    esac
done

build=$root/build-bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cpu=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n1)
echo "== $(date -u '+%Y-%m-%d %H:%M UTC'), $(uname -sr), $(nproc) x $cpu, load $(cut -d' ' -f1-3 /proc/loadavg) =="
echo "== Building (release) =="
# Linked with the installed programs' library search path: the build tree's
# own path is padded with empty entries for the installer to rewrite, and each
# empty entry costs a dozen failed lookups per system library at start, which
# no installed copy pays. The libraries still load from beside the program.
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DCMAKE_BUILD_WITH_INSTALL_RPATH=ON >/dev/null
cmake --build "$build" -j "$(nproc)" --target drivewatch >/dev/null
cc -O2 -o "$work/spawn-time" "$root/bench/spawn-time.c"
c++ -O2 -fPIC -o "$work/bare-qt" "$root/bench/bare-qt.cpp" $(pkg-config --cflags --libs Qt6Core)
dw=$build/bin/drivewatch
time_runs() { "$work/spawn-time" "$@"; }

stats=$root/bench/stats.py

echo
echo "== Start-up: drivewatch --version against a bare QCoreApplication program =="
: >"$work/startup"
for _ in $(seq "$rounds"); do
    a=$(time_runs 1 "$dw" --version | cut -d' ' -f1)
    b=$(time_runs 1 "$work/bare-qt" | cut -d' ' -f1)
    echo "$a $b" >>"$work/startup"
done
python3 "$stats" ratio "drivewatch --version / bare Qt program" <"$work/startup"

echo
echo "== Simulated machines =="
make_machine() { # make_machine DIR DISKS
    local dir=$1 count=$2 i disk
    mkdir -p "$dir"
    for i in $(seq 0 $((count - 1))); do
        disk=$(printf '%s/%02d-disk' "$dir" "$i")
        cp -r "$root/data/sample-machine/0-sata-healthy" "$disk"
        sed -i -e "s/PHYSICALDRIVE0/PHYSICALDRIVE$i/g" -e "s/^Index=0/Index=$i/" \
            -e "s/^SCSIPort=0/SCSIPort=$i/" -e '/^\[Volumes\]/,/^$/d' "$disk/disk.ini"
    done
}
: >"$work/sim"
for disks in 1 8 32 64; do
    make_machine "$work/m$disks" "$disks"
done
# Interleaved like the other parts: the machine is shared, and a load that
# comes and goes must not fall on one size only.
for _ in $(seq "$rounds"); do
    for disks in 1 8 32 64; do
        VORN_SIM="$work/m$disks" time_runs 1 "$dw" --json | sed "s/^/$disks /" >>"$work/sim"
    done
done
python3 "$stats" machines <"$work/sim"

if [ "$guest" -eq 0 ]; then
    exit 0
fi

echo
echo "== QEMU guest: four ATA disks, drivewatch --json against smartctl -a =="
cat >"$work/guest.sh" <<GUEST
disks=\$(ls /sys/block | grep '^sd')
for round in \$(seq $rounds); do
    echo "dw \$(spawn-time 1 drivewatch --json)"
    for d in \$disks; do
        echo "sc \$(spawn-time 1 smartctl -a /dev/\$d)"
    done
    echo end
done
GUEST
"$root/tests/integration/run-guest.sh" \
    --disk "sata0,model=WDC WD5000AAKS-00V1A0,serial=WD-WCAWF1234567" \
    --disk "sata1,model=ST3500418AS,serial=9VM1ABCD" \
    --disk "pri-master,model=Maxtor 6Y080P0,serial=Y2ABCDEF" \
    --disk "pri-slave,model=ST380011A,serial=5JV12345" \
    --program "$dw" --program "$work/spawn-time" --timeout 900 \
    --script "$work/guest.sh" >"$work/guest.out"
python3 "$stats" guest <"$work/guest.out"
