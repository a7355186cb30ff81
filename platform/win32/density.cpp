#include "platform/win32/density.h"

#include "platform/win32/systemfunction.h"

#include <cstddef>

int systemDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? dpi : 96;
}

int dpiOf(HWND window)
{
    static const auto getDpiForWindow = systemFunction<UINT(WINAPI *)(HWND)>(L"user32.dll", "GetDpiForWindow");
    const int dpi = getDpiForWindow ? int(getDpiForWindow(window)) : 0;
    return dpi > 0 ? dpi : systemDpi();
}

RECT frameAround(RECT client, DWORD style, DWORD extendedStyle, int dpi)
{
    static const auto adjustForDpi = systemFunction<BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT)>(
        L"user32.dll", "AdjustWindowRectExForDpi");
    if (!adjustForDpi || !adjustForDpi(&client, style, FALSE, extendedStyle, UINT(dpi)))
        AdjustWindowRectEx(&client, style, FALSE, extendedStyle);
    return client;
}

UINT metricsSize(DWORD majorVersion)
{
    return majorVersion >= 6 ? sizeof(NONCLIENTMETRICSW) : offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
}

namespace {

// The Windows that runs, whatever the manifest says, asked of ntdll (looked
// up, as it is no import of ours); XP's where it cannot be asked, since every
// Windows takes XP's size.
DWORD majorVersion()
{
    static const auto getVersion = systemFunction<LONG(WINAPI *)(OSVERSIONINFOW *)>(L"ntdll.dll", "RtlGetVersion");
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    return getVersion && getVersion(&version) == 0 ? version.dwMajorVersion : 5;
}

} // namespace

HFONT messageFont(int dpi)
{
    static const auto metricsForDpi = systemFunction<BOOL(WINAPI *)(UINT, UINT, void *, UINT, UINT)>(
        L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = metricsSize(majorVersion());
    LOGFONTW &font = metrics.lfMessageFont;
    if (!metricsForDpi || !metricsForDpi(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0, UINT(dpi))) {
        // Where the system's own cannot be had, the stock dialog font rather than a zeroed one.
        if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0))
            GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
        font.lfHeight = MulDiv(font.lfHeight, dpi, systemDpi());
    }
    return CreateFontIndirectW(&font);
}
