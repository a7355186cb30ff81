// The keyboard: Tab and Shift+Tab follow the description's list rather than
// the stacking order, and Enter clicks a focused button and nothing else.
#include "platform/win32/form.h"

bool Win32Form::tab(const MSG &message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || (GetKeyState(VK_CONTROL) & 0x8000)
        || (GetKeyState(VK_MENU) & 0x8000) || (message.hwnd != m_window && !IsChild(m_window, message.hwnd)))
        return false;
    const std::size_t next = nextStop(GetFocus(), GetKeyState(VK_SHIFT) & 0x8000);
    HWND handle = widget(next);
    SetFocus(handle);
    if (description().controls[next].kind == Kind::ComboBox) // its text selected, as a dialog does
        SendMessageW(handle, CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return true;
}

// Enter comes as IDOK, and Esc as IDCANCEL, which does nothing.
void Win32Form::pressEnter()
{
    HWND focus = GetFocus();
    if (const auto control = controlOf(focus); control && description().controls[*control].kind == Kind::PictureButton)
        SendMessageW(focus, BM_CLICK, 0, 0);
}
