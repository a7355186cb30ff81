#pragma once

// The window is laid out in twips (1/1440 inch); at 96 dpi 15 twips make a pixel.
// Every position and size goes through here, so the figures stay as designed.
struct Twips
{
    int left, top, width, height;
};

struct Pixels
{
    int left, top, width, height;
};

constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

constexpr Pixels toPixels(Twips place)
{
    return {twipsToPixels(place.left), twipsToPixels(place.top), twipsToPixels(place.width),
            twipsToPixels(place.height)};
}
