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
