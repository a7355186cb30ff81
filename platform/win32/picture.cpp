#include "platform/win32/picture.h"

#include "form/rules.h"
#include "platform/win32/gdi.h"
#include "platform/win32/png.h"
#include "platform/win32/text.h"

namespace {

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

// "windowed@1.5x" is stored as WINDOWED of the type PNG_1_5X, a name that a
// resource script takes: one type for each density, so its pictures lie together.
std::wstring pngType(const std::string &density)
{
    std::wstring type = L"PNG_" + toWide(density);
    for (wchar_t &letter : type)
        letter = letter == L'.' ? L'_' : letter;
    return type;
}

} // namespace

HBITMAP loadPicture(HINSTANCE instance, const std::string &name, int dpi)
{
    const PictureChoice choice = pictureFor(dpi / 96.0);
    HBITMAP picture = choice.density.empty()
        ? HBITMAP(LoadImageW(instance, toWide(name).c_str(), IMAGE_BITMAP, 0, 0, 0))
        : loadPng(instance, toWide(name).c_str(), pngType(choice.density).c_str());
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
