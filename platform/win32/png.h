#pragma once

#include <windows.h>

// A PNG stored in the program's resources (RCDATA), as a 24-bit bitmap; null
// when it is missing or cannot be read.
HBITMAP loadPng(HINSTANCE instance, const wchar_t *name);
