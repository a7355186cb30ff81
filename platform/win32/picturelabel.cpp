// A picture label: a picture drawn for the window's density, beneath the
// control it names. A screen reader hears that control's name instead.
#include "platform/win32/window.h"

#include "platform/win32/picture.h"

namespace {

void layOut(const Win32Control &label)
{
    placeAt(label);
    // The one drawn for the density before is freed once the label shows the new one.
    const Gdi<HBITMAP> previous
        = std::exchange(label.picture, Gdi(loadPicture(GetModuleHandleW(nullptr), label.control.picture, label.dpi)));
    // It hands back what it showed: ours, or the copy it makes of a picture with alpha.
    const auto shown = HBITMAP(SendMessageW(label.handle, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(label.picture.get())));
    const Gdi<HBITMAP> copy(shown != previous.get() ? shown : nullptr);
}

void annotate(const Win32Control &label, Annotations &annotations)
{
    annotations.hide(label.handle);
}

} // namespace

const ControlKind pictureLabel = {.windowClass = L"STATIC", .style = SS_BITMAP, .layOut = layOut, .annotate = annotate};
