// A combo box whose text can be typed as well as picked from its list; only
// typing raises its Change event.
#include "platform/win32/window.h"

#include "platform/win32/text.h"

namespace {

void fill(const Win32Control &combo)
{
    for (const std::string &item : combo.control.items)
        SendMessageW(combo.handle, CB_ADDSTRING, 0, LPARAM(toWide(item).c_str()));
    SetWindowTextW(combo.handle, toWide(combo.form.comboText).c_str());
}

void layOut(const Win32Control &combo)
{
    // Its window holds its list too, with room for all of it.
    const int height = toPixels(combo.control.place, combo.dpi).height;
    placeAt(combo, height * (1 + int(combo.control.items.size())));
    // The edit field as high as laid out: its item height is the field less its borders.
    const LRESULT field = SendMessageW(combo.handle, CB_GETITEMHEIGHT, WPARAM(-1), 0);
    RECT now{};
    GetWindowRect(combo.handle, &now);
    SendMessageW(combo.handle, CB_SETITEMHEIGHT, WPARAM(-1), LPARAM(field + height - (now.bottom - now.top)));
}

std::optional<Event> event(int notification)
{
    return notification == CBN_EDITCHANGE ? std::optional(Event::Change) : std::nullopt;
}

// Its text selected, as a dialog does.
void tabbedTo(const Win32Control &combo)
{
    SendMessageW(combo.handle, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
}

// On itself and on its edit field, where the focus goes.
void annotate(const Win32Control &combo, Annotations &annotations)
{
    if (combo.control.accessibleName.empty())
        return;
    annotations.name(combo.handle, combo.control.accessibleName);
    annotations.name(GetWindow(combo.handle, GW_CHILD), combo.control.accessibleName);
}

} // namespace

const ControlKind comboBox = {.windowClass = L"COMBOBOX", .style = CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP,
                              .fill = fill, .layOut = layOut, .event = event, .tabbedTo = tabbedTo, .annotate = annotate};

std::string comboBoxText(HWND combo)
{
    std::wstring text(std::size_t(GetWindowTextLengthW(combo)) + 1, L'\0');
    text.resize(std::size_t(GetWindowTextW(combo, text.data(), int(text.size()))));
    return toUtf8(text);
}
