#include "platform/win32/density.h"

#include "platform/win32/newer.h"

int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int dpiOf(HWND window)
{
    static const auto getDpiForWindow = newer<UINT(WINAPI *)(HWND)>(L"user32.dll", "GetDpiForWindow");
    const int dpi = getDpiForWindow ? int(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

RECT frameAround(RECT client, DWORD style, DWORD extendedStyle, int dpi)
{
    static const auto adjustForDpi = newer<BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT)>(
        L"user32.dll", "AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, extendedStyle, UINT(dpi)))
        AdjustWindowRectEx(&client, style, FALSE, extendedStyle);
    return client;
}

HFONT messageFont(int dpi)
{
    static const auto metricsForDpi = newer<BOOL(WINAPI *)(UINT, UINT, void *, UINT, UINT)>(
        L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!metricsForDpi
        || !metricsForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, UINT(dpi))) {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi());
    }
    return CreateFontIndirectW(&metrics.lfMessageFont);
}
