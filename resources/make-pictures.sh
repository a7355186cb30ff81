#!/bin/sh
# Renders the window's pictures from the SVG sources in art/.
# The PNGs are committed, so building the program does not need this;
# run it after changing a picture (needs librsvg2-bin and fonts-dejavu-core).
set -eu
cd "$(dirname "$0")"
for svg in art/*.svg; do
    name=$(basename "$svg" .svg)
    rsvg-convert --format=png "$svg" --output "$name.png"
done
# The icon is opaque 24-bit colour: flatten it onto the window's dark brown.
convert icon.png -background '#1a0d05' -flatten -type TrueColor PNG24:icon.png
