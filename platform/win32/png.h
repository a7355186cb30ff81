#pragma once

#include <windows.h>

// A PNG stored in the program's resources, of that name and type, as a 24-bit
// bitmap; null when it is missing or cannot be read.
HBITMAP loadPng(HINSTANCE instance, const wchar_t *name, const wchar_t *type);
