#!/bin/sh
# The disk helper's systemd unit as systemd reads it: no error from
# `systemd-analyze verify`, and an exposure no worse than the one
# docs/reliability.md states. Usage: check-unit.sh UNIT HELPER
# Exit 77 without systemd-analyze.
set -eu
unit=$1
helper=$2
command -v systemd-analyze >/dev/null 2>&1 || { echo "skipped: no systemd-analyze"; exit 77; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
# verify wants the program it starts to exist: the built one stands in.
sed "s|^ExecStart=.*|ExecStart=$helper|" "$unit" >"$scratch/vorn-diskhelper.service"
systemd-analyze verify "$scratch/vorn-diskhelper.service"
if systemd-analyze security --help 2>/dev/null | grep -q -- '--offline'; then
    # Exposure on systemd's scale of 0 to 10, times ten.
    systemd-analyze security --offline=yes --threshold=20 --no-pager \
        "$scratch/vorn-diskhelper.service" | tail -n 1
fi
echo "check-unit: ok"
