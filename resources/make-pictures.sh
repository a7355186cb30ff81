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

# The Windows icon: one 48 x 48 image in 24-bit colour, as a BMP-style ICO entry.
convert icon.png -depth 8 rgb:- | python3 -c '
import struct, sys
size, rgb = 48, sys.stdin.buffer.read()
rows = [rgb[y * size * 3:(y + 1) * size * 3] for y in range(size)]
xor = b"".join(bytes(b for x in range(size) for b in row[x * 3:x * 3 + 3][::-1]) for row in reversed(rows))
mask = bytes(size * 8)  # 48 bits a row, padded to 64: all opaque
image = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 24, 0, len(xor) + len(mask), 0, 0, 0, 0) + xor + mask
sys.stdout.buffer.write(struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), 22) + image)
' > icon.ico

# The window icon on Linux, read as fast as the pictures.
convert icon.png -type TrueColor BMP3:icon.bmp

# The Windows pictures: 24-bit BMPs. The picture labels are drawn opaque
# there, so they carry the piece of the title picture that lies beneath them.
for name in background apply rungame demo; do
    convert "$name.png" -type TrueColor BMP3:"$name.bmp"
done
convert background.png -crop 101x25+40+72 +repage windowed.png -composite -type TrueColor BMP3:windowed.bmp
convert background.png -crop 101x25+8+112 +repage resolution.png -composite -type TrueColor BMP3:resolution.bmp

# Denser screens: every picture again at 1.25, 1.5 and 2 times, stored as PNGs
# and drawn unscaled; the labels carry the title picture beneath them, placed
# as the window places them (twips at that density).
for scale in 1.25 1.5 2; do
    dpi=$(echo "96 * $scale / 1" | bc)
    px() { echo $((($1 * dpi + 720) / 1440)); }
    for name in background apply rungame demo windowed resolution; do
        rsvg-convert --zoom="$scale" "art/$name.svg" | convert - -strip "PNG24:$name@${scale}x.png"
    done
    for label in "windowed 600 1080" "resolution 120 1680"; do
        set -- $label
        size=$(identify -format %wx%h "$1@${scale}x.png")
        convert "background@${scale}x.png" -crop "$size+$(px $2)+$(px $3)" +repage "$1@${scale}x.png" -composite \
            -strip "PNG24:$1@${scale}x.png"
    done
done
