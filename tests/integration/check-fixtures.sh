#!/usr/bin/env bash
# Guards the captured QEMU sectors against damage by hand edits: every sector
# file holds exactly 512 bytes, and the S.M.A.R.T. sectors still carry a valid
# checksum (all 512 bytes add up to 0 modulo 256).
#   check-fixtures.sh FIXTURE_DIR
set -euo pipefail
dir=${1:?usage: check-fixtures.sh FIXTURE_DIR}
failures=0
count=0
for file in "$dir"/*/*.hex; do
    count=$((count + 1))
    bytes=$(sed 's/#.*//' "$file" | tr -s ' \t\n' '\n\n\n' | grep -v '^$' || true)
    n=$(echo "$bytes" | grep -c . || true)
    if [ "$n" != 512 ] || echo "$bytes" | grep -qvE '^[0-9a-fA-F]{2}$'; then
        echo "FAIL: $file holds $n hex pairs (or other text), not 512 bytes"
        failures=$((failures + 1))
        continue
    fi
    case $(basename "$file") in
    smart-data.hex | smart-thresholds.hex)
        sum=0
        for b in $bytes; do sum=$(((sum + 16#$b) & 255)); done
        [ "$sum" = 0 ] || { echo "FAIL: $file checksum off by $sum"; failures=$((failures + 1)); } ;;
    esac
done
[ "$count" -gt 0 ] || { echo "FAIL: no sector files in $dir"; exit 1; }
[ "$failures" = 0 ] || exit 1
echo "passed: $count sector files"
