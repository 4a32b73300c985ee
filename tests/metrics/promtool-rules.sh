#!/usr/bin/env bash
# promtool checks the shipped rules and runs their unit tests, which name
# the rules file relative to this folder.
# Usage: promtool-rules.sh TESTS_METRICS_DIR
set -euo pipefail
command -v promtool >/dev/null || { echo "promtool-rules: promtool is missing; skipped"; exit 77; }
cd "$1"
promtool check rules ../../data/metrics/vorn-disks.rules.yml
promtool test rules vorn-disks.rules.test.yml
