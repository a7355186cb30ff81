#pragma once

// The window is laid out in twips (1/1440 inch): at 96 dpi 15 twips make a
// pixel, and a denser screen takes more. Every position and size goes through
// here, so the figures stay as designed at every density.
struct Twips
{
    int left, top, width, height;
};

struct Pixels
{
    int left, top, width, height;
};

constexpr int twipsToPixels(int twips, int dpi = 96)
{
    return (twips * dpi + 720) / 1440;
}

constexpr Pixels toPixels(Twips place, int dpi = 96)
{
    return {twipsToPixels(place.left, dpi), twipsToPixels(place.top, dpi), twipsToPixels(place.width, dpi),
            twipsToPixels(place.height, dpi)};
}

// Each picture is drawn for these densities (1 is 96 dpi), and shipped as
// "name", "name@1.25x", "name@1.5x" and "name@2x". A screen between two takes
// the next larger one, scaled down smoothly; a denser one takes the largest.
struct PictureScale
{
    double scale;
    const char *suffix;
};
inline constexpr PictureScale pictureScales[] = {{1.0, ""}, {1.25, "@1.25x"}, {1.5, "@1.5x"}, {2.0, "@2x"}};

constexpr PictureScale pictureScaleFor(double scale)
{
    for (const PictureScale &drawn : pictureScales) {
        if (drawn.scale >= scale - 0.01)
            return drawn;
    }
    return pictureScales[3];
}
