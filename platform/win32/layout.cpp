// The window laid out for a density: its size at start, the message font,
// every control's place and the pictures drawn for it, at start and again
// whenever it moves to a monitor of another density.
#include "platform/win32/form.h"

#include "platform/win32/density.h"
#include "platform/win32/picture.h"

void Win32Form::setDensity(int dpi)
{
    m_dpi = dpi;
    const Gdi<HFONT> previousFont = std::exchange(m_font, Gdi(messageFont(dpi))); // freed once no control uses it
    m_background = Gdi(loadPicture(GetModuleHandleW(nullptr), description().background, dpi));
    // Sized for the density before it shows. Once shown, it keeps the rectangle
    // Windows gave it for the new density: another size could take it back
    // across the monitor's edge, and it would bounce between the two.
    if (!IsWindowVisible(m_window)) {
        const RECT frame = frameAround(pixels(description().clientArea, dpi), formStyle, formExtendedStyle, dpi);
        SetWindowPos(m_window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    for (std::size_t i = 0; i < description().controls.size(); ++i) {
        if (HWND handle = madeWidget(i))
            place(i, handle);
    }
    InvalidateRect(m_window, nullptr, TRUE);
}

void Win32Form::place(std::size_t index, HWND handle)
{
    const Control &control = description().controls[index];
    const RECT place = pixels(control.place, m_dpi);
    const int height = place.bottom - place.top;
    // A combo box's window holds its list too, with room for all of it.
    const int whole = control.kind == Kind::ComboBox ? height * (1 + int(control.items.size())) : height;
    SetWindowPos(handle, nullptr, place.left, place.top, place.right - place.left, whole, SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(handle, WM_SETFONT, WPARAM(m_font.get()), FALSE);
    if (!control.picture.empty()) {
        // The one drawn for the density before is freed once the label shows the new one.
        const Gdi<HBITMAP> previous
            = std::exchange(m_pictures[index], Gdi(loadPicture(GetModuleHandleW(nullptr), control.picture, m_dpi)));
        if (control.kind == Kind::PictureLabel) {
            // It hands back what it showed: ours, or the copy it makes of a picture with alpha.
            const auto shown = HBITMAP(SendMessageW(handle, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(m_pictures[index].get())));
            const Gdi<HBITMAP> copy(shown != previous.get() ? shown : nullptr);
        }
    }
    if (control.kind == Kind::ComboBox) {
        // The edit field as high as laid out: its item height is the field less its borders.
        const LRESULT field = SendMessageW(handle, CB_GETITEMHEIGHT, WPARAM(-1), 0);
        RECT now{};
        GetWindowRect(handle, &now);
        SendMessageW(handle, CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(field + height - (now.bottom - now.top)));
    }
    InvalidateRect(handle, nullptr, TRUE);
}
