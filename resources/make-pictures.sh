#!/bin/sh
# Renders the window's pictures, at each density that pictures.txt names, from
# the SVG sources in art/. What it writes is committed, so building the
# program does not need this; run it after changing a picture or the list
# (needs librsvg2-bin, imagemagick, bc, python3 and fonts-dejavu-core).
set -eu
cd "$(dirname "$0")"
# A picture label's line also gives where the window places it, in twips:
# "picture windowed 600 1080". A pixel is (twips x dpi + 720) / 1440, as in
# form/twips.h; this script runs without building anything, so it says it again.
pictures=$(sed -n 's/^picture \([a-z0-9_]*\).*/\1/p' pictures.txt)
labels=$(sed -n 's/^picture \([a-z0-9_]*\) \([0-9]*\) \([0-9]*\)$/\1 \2 \3/p' pictures.txt)
scales=$(sed -n 's/^densities //p' pictures.txt)

rsvg-convert --format=png art/icon.svg --output icon.png
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

for scale in $scales; do
    dpi=$(echo "96 * $scale / 1" | bc)
    px() { echo $((($1 * dpi + 720) / 1440)); }
    # At 1x 24-bit BMPs; denser screens get every picture again, as PNGs drawn unscaled.
    suffix="@${scale}x"
    [ "$scale" = 1 ] && suffix=""
    for name in $pictures; do
        if [ "$scale" = 1 ]; then
            rsvg-convert --format=png "art/$name.svg" --output "$name.png"
        else
            rsvg-convert --zoom="$scale" "art/$name.svg" | convert - -strip "PNG24:$name$suffix.png"
        fi
    done
    # The picture labels are drawn opaque, so they carry the piece of the
    # title picture that lies beneath them, as the window places them.
    [ -z "$labels" ] || echo "$labels" | while read -r name left top; do
        size=$(identify -format %wx%h "$name$suffix.png")
        if [ "$scale" = 1 ]; then
            convert background.png -crop "$size+$(px "$left")+$(px "$top")" +repage "$name.png" -composite \
                -type TrueColor "BMP3:$name.bmp"
        else
            convert "background$suffix.png" -crop "$size+$(px "$left")+$(px "$top")" +repage "$name$suffix.png" \
                -composite -strip "PNG24:$name$suffix.png"
        fi
    done
    if [ "$scale" = 1 ]; then
        for name in $pictures; do
            echo "$labels" | grep -q "^$name " || convert "$name.png" -type TrueColor "BMP3:$name.bmp"
        done
    fi
done
