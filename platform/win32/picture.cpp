// The pictures are QOI files, decoded by Debian's qoi.h, which is compiled
// in: no DLL has to be loaded for them (one named bare could come from the
// game's folder), Windows XP draws them too, and they decode many times
// faster than PNGs.
#include "platform/win32/picture.h"

#include "form/rules.h"
#include "platform/win32/gdi.h"
#include "platform/win32/text.h"

#include <cstdlib>

#define QOI_IMPLEMENTATION
#define QOI_NO_STDIO
#include <qoi.h>

namespace {

// A QOI stored in the program's resources, of that name and type, as a 24-bit
// bitmap; null when it is missing or cannot be read.
HBITMAP loadQoi(HINSTANCE instance, const wchar_t *name, const wchar_t *type)
{
    HRSRC found = FindResourceW(instance, name, type);
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    const void *bytes = size ? LockResource(LoadResource(instance, found)) : nullptr;
    qoi_desc picture{};
    auto *rgb = bytes ? static_cast<unsigned char *>(qoi_decode(bytes, int(size), &picture, 3)) : nullptr;
    if (!rgb)
        return nullptr;

    const int width = int(picture.width), height = int(picture.height);
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height; // top row first, as decoded
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 24;
    format.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    HBITMAP bitmap = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    if (bitmap) {
        const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
        for (int y = 0; y < height; ++y) {
            const unsigned char *from = rgb + size_t(y) * size_t(width) * 3;
            auto *to = static_cast<unsigned char *>(pixels) + size_t(y) * stride;
            for (int x = 0; x < width; ++x, from += 3, to += 3) // RGB to the BGR a bitmap holds
                to[0] = from[2], to[1] = from[1], to[2] = from[0];
        }
    }
    std::free(rgb);
    return bitmap;
}

// Scaled smoothly into a bitmap of its own.
HBITMAP scaled(HBITMAP picture, double by)
{
    const Gdi<HBITMAP> from(picture);
    BITMAP size{};
    GetObjectW(picture, sizeof size, &size);
    const int width = int(size.bmWidth * by + 0.5), height = int(size.bmHeight * by + 0.5);
    HDC screen = GetDC(nullptr);
    HDC source = CreateCompatibleDC(screen), target = CreateCompatibleDC(screen);
    HBITMAP result = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previousSource = SelectObject(source, picture), previousTarget = SelectObject(target, result);
    SetStretchBltMode(target, HALFTONE);
    SetBrushOrgEx(target, 0, 0, nullptr);
    StretchBlt(target, 0, 0, width, height, source, 0, 0, size.bmWidth, size.bmHeight, SRCCOPY);
    SelectObject(source, previousSource), SelectObject(target, previousTarget);
    DeleteDC(source), DeleteDC(target);
    ReleaseDC(nullptr, screen);
    return result;
}

// "windowed@1.5x" is stored as WINDOWED of the type QOI_1_5X, a name that a
// resource script takes, and "windowed" as WINDOWED of the type QOI: one type
// for each density, so its pictures lie together (resources/pictures.cmake).
std::wstring qoiType(const std::string &density)
{
    std::wstring type = density.empty() ? L"QOI" : L"QOI_" + toWide(density);
    for (wchar_t &letter : type)
        letter = letter == L'.' ? L'_' : letter == L'x' ? L'X' : letter;
    return type;
}

} // namespace

HBITMAP loadPicture(HINSTANCE instance, const std::string &name, int dpi)
{
    const PictureChoice choice = pictureFor(dpi / 96.0);
    HBITMAP picture = loadQoi(instance, toWide(name).c_str(), qoiType(choice.density).c_str());
    return picture && choice.shrink != 1.0 ? scaled(picture, choice.shrink) : picture;
}

void drawPicture(HDC dc, HBITMAP picture, int left, int top)
{
    BITMAP size{};
    if (!picture || !GetObjectW(picture, sizeof size, &size))
        return;
    HDC source = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(source, picture);
    BitBlt(dc, left, top, size.bmWidth, size.bmHeight, source, 0, 0, SRCCOPY);
    SelectObject(source, previous);
    DeleteDC(source);
}
