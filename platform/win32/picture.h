#pragma once

#include <string>
#include <windows.h>

// The picture drawn for that density, to be drawn unscaled: the one drawn for
// it, or between two densities the larger scaled down smoothly. Only that
// size is loaded.
HBITMAP loadPicture(HINSTANCE instance, const std::string &name, int dpi);

// Draws it unscaled; the device context clips it.
void drawPicture(HDC dc, HBITMAP picture, int left, int top);
