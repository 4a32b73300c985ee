#!/usr/bin/env bash
# Validates the desktop entries (as the install writes them) and the AppStream
# metainfo files.
# Usage: check-desktop-files.sh SOURCE_DIR
set -euo pipefail
desktop=$1/data/desktop
for tool in desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || { echo "check-desktop-files: $tool is missing; skipped"; exit 77; }
done
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
for entry in "$desktop"/*.desktop.in; do
    name=$(basename "$entry" .in)
    sed 's|@VORN_LAUNCHER@|/usr/lib/vorn/vorn-start|' "$entry" >"$scratch/$name"
    desktop-file-validate "$scratch/$name"
done
appstreamcli validate --no-net "$desktop"/*.metainfo.xml >/dev/null
echo "check-desktop-files: ok"
