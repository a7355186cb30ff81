// What the window draws itself: the title picture, the picture buttons, and
// the check box's orange.
#include "platform/win32/form.h"

#include "platform/win32/picture.h"

void Win32Form::eraseBackground(HDC dc)
{
    RECT client{};
    GetClientRect(m_window, &client);
    FillRect(dc, &client, m_backgroundBrush.get());
    drawPicture(dc, m_background.get(), 0, 0);
    if (BOOL reader = FALSE; !m_annotationAsked && SystemParametersInfoW(SPI_GETSCREENREADER, 0, &reader, 0) && reader)
        askForNames();
}

// The picture centred on the face and clipped to it, the same in every state.
void Win32Form::drawButton(const DRAWITEMSTRUCT &item)
{
    const auto control = controlOf(item.hwndItem);
    if (!control)
        return;
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    HBITMAP picture = m_pictures[*control].get();
    BITMAP size{};
    if (!picture || !GetObjectW(picture, sizeof size, &size))
        return;
    const PictureButtonLook &look = m_form.buttonLook;
    const int offset = pressed ? MulDiv(look.pressedOffset, m_dpi, 96) : 0;
    drawPicture(item.hDC, picture, (face.right - size.bmWidth) / 2 + offset, (face.bottom - size.bmHeight) / 2 + offset);
    if (item.itemState & ODS_FOCUS) {
        const Gdi<HPEN> pen(CreatePen(PS_DOT, 1, colour(look.focusFrame)));
        HGDIOBJ previousPen = SelectObject(item.hDC, pen.get());
        HGDIOBJ previousBrush = SelectObject(item.hDC, GetStockObject(NULL_BRUSH));
        SetBkMode(item.hDC, TRANSPARENT);
        const int inset = MulDiv(look.focusInset, m_dpi, 96);
        Rectangle(item.hDC, face.left + inset, face.top + inset, face.right - inset, face.bottom - inset);
        SelectObject(item.hDC, previousBrush);
        SelectObject(item.hDC, previousPen);
    }
}

// A control with a colour of its own gets a brush of it; others none.
HBRUSH Win32Form::shade(HDC dc, HWND handle)
{
    const auto control = controlOf(handle);
    if (!control || !m_form.controls[*control].background)
        return nullptr;
    SetBkColor(dc, colour(*m_form.controls[*control].background));
    return m_shades[*control].get();
}
