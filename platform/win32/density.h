#pragma once

#include <windows.h>

// The screen's density on Windows, for a window laid out in twips. Windows 10
// knows each monitor's; older Windows one for the whole system, which serves.
int systemDpi();
int dpiOf(HWND window);

// The frame around a client area at that density.
RECT frameAround(RECT client, DWORD style, DWORD extendedStyle, int dpi);

// The size of NONCLIENTMETRICSW that a Windows of that major version takes:
// XP and Server 2003 (5) refuse Vista's, which adds iPaddedBorderWidth.
UINT metricsSize(DWORD majorVersion);

// The system's message font at that density.
HFONT messageFont(int dpi);
