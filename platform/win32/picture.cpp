// The pictures are QOI files, decoded by Debian's qoi.h, which is compiled
// in: no DLL has to be loaded for them (one named bare could come from the
// game's folder), Windows XP draws them too, and they decode many times
// faster than PNGs.
#include "platform/win32/picture.h"

#include "form/rules.h"
#include "platform/win32/gdi.h"
#include "platform/win32/text.h"

#include <utility>

namespace {
void *decodedPixels(size_t bytes);
}

// qoi.h asks for the pixels' memory once it has read the picture's size: it
// decodes straight into the bitmap that keeps them, so no second copy of a
// picture is held while it is read.
#define QOI_IMPLEMENTATION
#define QOI_NO_STDIO
#define QOI_MALLOC(bytes) decodedPixels(bytes)
#include <qoi.h>

namespace {

// The picture being decoded: its size, as qoi.h has read it, and the bitmap
// its pixels are decoded into. One at a time, on the one thread.
const qoi_desc *decodedSize = nullptr;
HBITMAP *decoded = nullptr;

// A 32-bit bitmap, top row first, as the window's own pixels are: drawn
// without a copy made to convert it. Its rows are as qoi.h writes them.
void *decodedPixels(size_t bytes)
{
    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = LONG(decodedSize->width);
    format.bmiHeader.biHeight = -LONG(decodedSize->height);
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    void *pixels = nullptr;
    *decoded = CreateDIBSection(nullptr, &format, DIB_RGB_COLORS, &pixels, nullptr, 0);
    return *decoded && bytes == size_t(decodedSize->width) * decodedSize->height * 4 ? pixels : nullptr;
}

// A QOI stored in the program's resources, of that name and type, as a 32-bit
// bitmap; null when it is missing or cannot be read.
HBITMAP loadQoi(HINSTANCE instance, const wchar_t *name, const wchar_t *type)
{
    HRSRC found = FindResourceW(instance, name, type);
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    const void *bytes = size ? LockResource(LoadResource(instance, found)) : nullptr;
    qoi_desc picture{};
    HBITMAP bitmap = nullptr;
    decodedSize = &picture, decoded = &bitmap;
    auto *pixels = bytes ? static_cast<unsigned char *>(qoi_decode(bytes, int(size), &picture, 4)) : nullptr;
    decodedSize = nullptr, decoded = nullptr;
    if (!pixels) {
        if (bitmap)
            DeleteObject(bitmap);
        return nullptr;
    }

    // RGBA to the BGR and unused byte a bitmap holds.
    const size_t length = size_t(picture.width) * picture.height * 4;
    for (size_t at = 0; at < length; at += 4)
        std::swap(pixels[at], pixels[at + 2]);
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
