#pragma once

#include <string>
#include <windows.h>

// The picture drawn for that density, to be drawn unscaled: at 96 dpi the
// stored bitmap itself, on a denser screen the PNG drawn for it, between two
// densities the larger scaled down smoothly. Only that size is loaded.
HBITMAP loadPicture(HINSTANCE instance, const std::string &name, int dpi);

// Draws it unscaled; the device context clips it.
void drawPicture(HDC dc, HBITMAP picture, int left, int top);
