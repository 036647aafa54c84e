#!/usr/bin/env bash
# Renders the hicolor PNGs from the scalable icon (Debian package librsvg2-bin).
# The 16 px picture is drawn without antialiasing, as the program itself draws its
# 16 px tray pictures: the 1-unit outlines then stay crisp instead of blurring.
set -euo pipefail
cd "$(dirname "$0")/icons/hicolor"
svg=scalable/apps/trellisk.svg
crisp=$(mktemp --suffix=.css)
trap 'rm -f "$crisp"' EXIT
echo 'path { shape-rendering: crispEdges; }' >"$crisp"
for size in 16 32 48 64 128 256; do
    options=()
    if [[ $size -eq 16 ]]; then
        options=(--stylesheet "$crisp")
    fi
    mkdir -p "${size}x${size}/apps"
    rsvg-convert "${options[@]}" -w "$size" -h "$size" -o "${size}x${size}/apps/trellisk.png" "$svg"
done
