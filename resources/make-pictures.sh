#!/bin/sh
# Renders the window's pictures, at each density that pictures.txt names, from
# the SVG sources in art/, as QOI files: lossless, and decoded many times
# faster than PNG. What it writes is committed, so building the program does
# not need this; run it after changing a picture or the list (needs
# librsvg2-bin, imagemagick, bc, python3, g++, libqoi-dev and fonts-dejavu-core).
set -eu
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Raw 8-bit RGB on stdin to a QOI file, by Debian's qoi.h.
printf '%s\n' '#define QOI_IMPLEMENTATION' '#include <qoi.h>' '#include <cstdio>' '#include <cstdlib>' '#include <vector>' \
    'int main(int, char *argv[]) {' \
    '    const qoi_desc size{unsigned(std::atoi(argv[1])), unsigned(std::atoi(argv[2])), 3, QOI_SRGB};' \
    '    std::vector<unsigned char> rgb(size_t(size.width) * size.height * 3);' \
    '    if (std::fread(rgb.data(), 1, rgb.size(), stdin) != rgb.size()) return 1;' \
    '    return qoi_write(argv[3], rgb.data(), &size) ? 0 : 1; }' | g++ -x c++ -O2 -o "$work/toqoi" -
toqoi() { # PICTURE OUT
    size=$(identify -format '%w %h' "$1")
    convert "$1" -depth 8 rgb:- | "$work/toqoi" $size "$2"
}
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
    # Each picture drawn for the density, shown unscaled: "apply@1.5x.qoi", "apply.qoi" at 1x.
    suffix="@${scale}x"
    [ "$scale" = 1 ] && suffix=""
    for name in $pictures; do
        if [ "$scale" = 1 ]; then
            rsvg-convert --format=png "art/$name.svg" --output "$work/$name.png"
        else
            rsvg-convert --zoom="$scale" "art/$name.svg" | convert - -strip "PNG24:$work/$name.png"
        fi
    done
    # The picture labels are drawn opaque, so they carry the piece of the
    # title picture that lies beneath them, as the window places them.
    [ -z "$labels" ] || echo "$labels" | while read -r name left top; do
        size=$(identify -format %wx%h "$work/$name.png")
        # (at 1x through a BMP, as these pictures were first drawn)
        format=PNG24 && [ "$scale" = 1 ] && format=BMP3
        convert "$work/background.png" -crop "$size+$(px "$left")+$(px "$top")" +repage "$work/$name.png" \
            -composite -type TrueColor "$format:$work/$name.png"
    done
    for name in $pictures; do
        toqoi "$work/$name.png" "$name$suffix.qoi"
    done
done
