#!/usr/bin/env bash
# Renders the 48 and 256 px PNG icons from the SVGs of desktop/icons/ (run after
# changing an SVG; the PNGs are kept in the repository).
set -euo pipefail
cd "$(dirname "$0")/../desktop/icons"
command -v rsvg-convert >/dev/null || { apt-get update -qq && apt-get install -y -qq librsvg2-bin; }
for svg in *.svg; do
  for size in 48 256; do
    rsvg-convert -w "$size" -h "$size" "$svg" -o "${svg%.svg}-$size.png"
  done
done
