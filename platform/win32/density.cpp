#include "platform/win32/density.h"

#include "app/twips.h"
#include "platform/win32/newer.h"
#include "platform/win32/png.h"
#include "platform/win32/text.h"

namespace {

// A picture drawn for a denser screen, scaled down smoothly to this one.
HBITMAP scaled(HBITMAP picture, double by)
{
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    const int width = int(size.bmWidth * by + 0.5), height = int(size.bmHeight * by + 0.5);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
    HBITMAP result = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previousFrom = SelectObject(from, picture), previousTo = SelectObject(to, result);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, width, height, from, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(from, previousFrom), SelectObject(to, previousTo);
    DeleteDC(from), DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(picture);
    return result;
}

// "windowed@1.5x" is stored as WINDOWED_1_5X, a name a resource script takes.
std::wstring resourceName(const std::string &picture)
{
    std::wstring name = toWide(picture);
    for (wchar_t &letter : name)
        letter = letter == L'@' || letter == L'.' ? L'_' : letter;
    return name;
}

} // namespace

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

HBITMAP loadPicture(HINSTANCE instance, const std::string &name, int dpi)
{
    const double scale = dpi / 96.0;
    const PictureScale drawn = pictureScaleFor(scale);
    HBITMAP picture = drawn.scale == 1.0
                          ? HBITMAP(LoadImageW(instance, toWide(name).c_str(), IMAGE_BITMAP, 0, 0, 0))
                          : loadPng(instance, resourceName(name + drawn.suffix).c_str());
    if (picture && (scale - drawn.scale > 0.01 || drawn.scale - scale > 0.01))
        picture = scaled(picture, scale / drawn.scale);
    return picture;
}
