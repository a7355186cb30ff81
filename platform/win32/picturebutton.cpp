// A push button whose face is a picture, drawn by the window: the same in
// every state, centred and clipped to the button. Enter clicks it while it
// has the focus.
#include "platform/win32/window.h"

#include "platform/win32/picture.h"
#include "platform/win32/text.h"

namespace {

// Read by screen readers, never drawn.
void fill(const Win32Control &button)
{
    SetWindowTextW(button.handle, toWide(button.control.accessibleName).c_str());
}

void layOut(const Win32Control &button)
{
    placeAt(button);
    button.picture = Gdi(loadPicture(GetModuleHandleW(nullptr), button.control.picture, button.dpi));
}

void draw(const Win32Control &button, const DRAWITEMSTRUCT &item)
{
    RECT face = item.rcItem;
    const bool pressed = item.itemState & ODS_SELECTED;
    DrawFrameControl(item.hDC, &face, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));
    HBITMAP picture = button.picture.get();
    BITMAP size{};
    if (!picture || !GetObjectW(picture, sizeof size, &size))
        return;
    const PictureButtonLook &look = button.form.buttonLook;
    const ButtonFace layout = buttonFace(look, face.right - face.left, face.bottom - face.top, size.bmWidth,
                                         size.bmHeight, pressed, button.dpi);
    drawPicture(item.hDC, picture, face.left + layout.pictureLeft, face.top + layout.pictureTop);
    if (item.itemState & ODS_FOCUS) {
        const Gdi<HPEN> pen(CreatePen(PS_DOT, 1, colour(look.focusFrame)));
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

std::optional<Event> event(int notification)
{
    return notification == BN_CLICKED ? std::optional(Event::Click) : std::nullopt;
}

void enter(const Win32Control &button)
{
    SendMessageW(button.handle, BM_CLICK, 0, 0);
}

} // namespace

// Its name is its window text, which Windows reads out: no annotation.
const ControlKind pictureButton = {.windowClass = L"BUTTON", .style = BS_OWNERDRAW | WS_TABSTOP, .fill = fill,
                                   .layOut = layOut, .draw = draw, .event = event, .enter = enter};
