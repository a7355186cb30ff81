// The program's start and its message loop, which drives the window the way
// a dialog is driven: IsDialogMessage for Enter, Esc and the arrow keys, and
// the window's own Tab walk.
#include "platform/win32/window.h"

#include "platform/failure.h"
#include "platform/win32/systemfunction.h"
#include "platform/window.h"

#include <commctrl.h>

// Tab and Shift+Tab follow the description's list rather than the stacking order.
bool Win32Window::tab(const MSG &message)
{
    if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || (GetKeyState(VK_CONTROL) & 0x8000)
        || (GetKeyState(VK_MENU) & 0x8000) || (message.hwnd != m_window && !IsChild(m_window, message.hwnd)))
        return false;
    const std::size_t next = nextStop(GetFocus(), GetKeyState(VK_SHIFT) & 0x8000);
    HWND handle = widget(next);
    SetFocus(handle);
    if (const ControlKind &kind = controlKind(next); kind.tabbedTo)
        kind.tabbedTo(at(next, handle));
    return true;
}

int runForm(int, char *[], const ProgramIdentity &program, const FormDescription &form)
{
    // The game's folder is often open to mods and downloads: no DLL is looked
    // for there or in the current folder, only where Windows keeps its own.
    // Older Windows can only take the current folder out, in a way that the
    // game would inherit (startProgram undoes it for the game).
    constexpr DWORD systemFolderOnly = 0x800; // LOAD_LIBRARY_SEARCH_SYSTEM32, Windows 8 and 7 with KB2533623
    if (const auto limit = systemFunction<BOOL(WINAPI *)(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories"))
        limit(systemFolderOnly);
    else
        SetDllDirectoryW(L"");
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    Win32Window window(form);
    if (!window.create(GetModuleHandleW(nullptr), program)) {
        window.showError(reportText("open the window", "", {int(GetLastError()), Cause::None, ""}));
        return 1;
    }
    ShowWindow(window.window(), SW_SHOWDEFAULT);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!window.tab(message) && !IsDialogMessageW(window.window(), &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return int(message.wParam);
}
