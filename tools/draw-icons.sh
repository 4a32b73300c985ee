#!/usr/bin/env bash
# Renders the hand-drawn scalable icons into the fixed sizes that menus and
# tray hosts ask for. Run after changing an SVG; the PNGs are committed.
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
command -v rsvg-convert >/dev/null || { echo "draw-icons: needs rsvg-convert (librsvg2-bin)" >&2; exit 1; }
for svg in scalable/apps/*.svg; do
    name=$(basename "$svg" .svg)
    for size in 16 22 24 32 48 64 128 256; do
        mkdir -p "${size}x${size}/apps"
        rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/apps/$name.png"
    done
done
