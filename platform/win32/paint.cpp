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
    const ButtonFace layout = buttonFace(description().buttonLook, face.right - face.left, face.bottom - face.top,
                                         size.bmWidth, size.bmHeight, pressed, m_dpi);
    drawPicture(item.hDC, picture, face.left + layout.pictureLeft, face.top + layout.pictureTop);
    if (item.itemState & ODS_FOCUS) {
        const Gdi<HPEN> pen(CreatePen(PS_DOT, 1, colour(description().buttonLook.focusFrame)));
        HGDIOBJ previousPen = SelectObject(item.hDC, pen.get());
        HGDIOBJ previousBrush = SelectObject(item.hDC, GetStockObject(NULL_BRUSH));
        SetBkMode(item.hDC, TRANSPARENT);
        const Pixels frame = layout.focusFrame;
        Rectangle(item.hDC, face.left + frame.left, face.top + frame.top, face.left + frame.left + frame.width,
                  face.top + frame.top + frame.height);
        SelectObject(item.hDC, previousBrush);
        SelectObject(item.hDC, previousPen);
    }
}

// A control with a colour of its own gets a brush of it; others none.
HBRUSH Win32Form::controlBrush(HDC dc, HWND handle)
{
    const auto control = controlOf(handle);
    if (!control || !description().controls[*control].background)
        return nullptr;
    SetBkColor(dc, colour(*description().controls[*control].background));
    return m_brushes[*control].get();
}
