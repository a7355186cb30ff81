// A check box. The description gives it no text, so a screen reader is told
// its name; it raises no event, since an action reads its value when it runs.
#include "platform/win32/window.h"

namespace {

void annotate(const Win32Control &box, Annotations &annotations)
{
    if (!box.control.accessibleName.empty())
        annotations.name(box.handle, box.control.accessibleName);
}

} // namespace

const ControlKind checkBox
    = {.windowClass = L"BUTTON", .style = BS_AUTOCHECKBOX | WS_TABSTOP, .layOut = placeAt, .annotate = annotate};

int checkBoxValue(HWND box)
{
    return int(SendMessageW(box, BM_GETCHECK, 0, 0));
}
