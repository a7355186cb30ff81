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
# Where the window places each picture label, in twips, as its description
# gives it: "windowed 600 1080". A pixel is (twips x dpi + 720) / 1440, as in
# form/twips.h; this script runs without building anything, so it says it again.
labels=$(sed -n 's/.*pictureLabel("[^"]*", {\([0-9]*\), \([0-9]*\),.*}, "\([a-z]*\)".*/\3 \1 \2/p' ../app/form1.cpp)
[ "$(echo "$labels" | wc -l)" = 2 ] || { echo "cannot read the labels' places from app/form1.cpp" >&2; exit 1; }
for scale in 1 1.25 1.5 1.75 2 2.5 3; do
    dpi=$(echo "96 * $scale / 1" | bc)
    px() { echo $((($1 * dpi + 720) / 1440)); }
    # Denser screens: every picture again, stored as PNGs and drawn unscaled.
    suffix="@${scale}x"
    if [ "$scale" = 1 ]; then
        suffix=""
    else
        for name in background apply rungame demo windowed resolution; do
            rsvg-convert --zoom="$scale" "art/$name.svg" | convert - -strip "PNG24:$name$suffix.png"
        done
    fi
    # The labels carry the title picture beneath them, as the window places them.
    echo "$labels" | while read -r name left top; do
        size=$(identify -format %wx%h "$name$suffix.png")
        if [ "$scale" = 1 ]; then
            convert background.png -crop "$size+$(px "$left")+$(px "$top")" +repage "$name.png" -composite \
                -type TrueColor "BMP3:$name.bmp"
        else
            convert "background$suffix.png" -crop "$size+$(px "$left")+$(px "$top")" +repage "$name$suffix.png" \
                -composite -strip "PNG24:$name$suffix.png"
        fi
    done
done
