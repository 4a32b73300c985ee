#!/usr/bin/env bash
# Writes the expected `drivewatch --json` text of the shipped sample machine
# (and its `--json --logs`), of the captured guest disks and of the NVMe fixture machine again, after a deliberate change of the
# document (a new key, say). Review the diff before committing it.
#
# Usage: tests/checker/golden/update.sh [BUILD_DIR]   (default: build)
set -euo pipefail
root=$(cd "$(dirname "$0")/../../.." && pwd)
build=$(cd "${1:-$root/build}" && pwd) # before the cd below
dw=$build/bin/drivewatch
[ -x "$dw" ] || { echo "update.sh: build drivewatch first ($dw)" >&2; exit 1; }
here=$root/tests/checker/golden
cd "$(mktemp -d)" # no baseline file of the current directory may count
status=0
VORN_SIM=$root/data/sample-machine "$dw" --json >"$here/sample-machine.json" || status=$?
[ "$status" -eq 3 ] || { echo "update.sh: sample machine: exit status $status, expected 3" >&2; exit 1; }
VORN_SIM=$root/data/sample-machine "$dw" --json --logs >"$here/sample-machine-logs.json" || true
VORN_SIM=$root/tests/fixtures/qemu "$dw" --json >"$here/qemu-fixtures.json"
VORN_SIM=$root/tests/fixtures/nvme-machine "$dw" --json >"$here/nvme-machine.json" || true
git -C "$root" diff --stat -- "$here"
