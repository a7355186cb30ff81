#pragma once

#include <QRect>

// The window is laid out in twips (1/1440 inch); at 96 dpi 15 twips make a pixel.
// Every position and size goes through here, so the figures stay as designed.
constexpr int twipsToPixels(int twips)
{
    return (twips + 7) / 15;
}

constexpr QRect twips(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top),
                 twipsToPixels(width), twipsToPixels(height));
}
