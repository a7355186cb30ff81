// The pictures for denser screens are PNGs, decoded here by stb_image, which
// is compiled in: no DLL has to be loaded for them (one named bare could come
// from the game's folder), Windows XP draws them too, and opening them costs
// less than starting GDI+.
#include "platform/win32/png.h"

#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_PNG
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_NO_THREAD_LOCALS // one thread, and no TLS runtime needed on XP
#define STBI_NO_FAILURE_STRINGS
#define STBI_ASSERT(x) ((void)0)
#include <stb/stb_image.h>

HBITMAP loadPng(HINSTANCE instance, const wchar_t *name, const wchar_t *type)
{
    HRSRC found = FindResourceW(instance, name, type);
    const DWORD size = found ? SizeofResource(instance, found) : 0;
    const auto *bytes = size ? static_cast<const stbi_uc *>(LockResource(LoadResource(instance, found))) : nullptr;
    int width = 0, height = 0, channels = 0;
    stbi_uc *rgb = bytes ? stbi_load_from_memory(bytes, int(size), &width, &height, &channels, 3) : nullptr;
    if (!rgb)
        return nullptr;

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
            const stbi_uc *from = rgb + size_t(y) * size_t(width) * 3;
            auto *to = static_cast<unsigned char *>(pixels) + size_t(y) * stride;
            for (int x = 0; x < width; ++x, from += 3, to += 3) // RGB to the BGR a bitmap holds
                to[0] = from[2], to[1] = from[1], to[2] = from[0];
        }
    }
    stbi_image_free(rgb);
    return bitmap;
}
