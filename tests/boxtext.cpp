// Prints the caption and the text of each message box open under Wine, the
// way Ctrl+C copies them on Windows, for a test to read from outside.
#include <windows.h>

#include <cstdio>

namespace {

BOOL CALLBACK printText(HWND control, LPARAM)
{
    wchar_t name[32] = {}, text[1024] = {};
    GetClassNameW(control, name, 32);
    if (lstrcmpiW(name, L"Static") == 0 && GetWindowTextW(control, text, 1024) > 0)
        std::printf("%ls\n", text);
    return TRUE;
}

BOOL CALLBACK printBox(HWND window, LPARAM)
{
    wchar_t name[32] = {}, caption[256] = {};
    GetClassNameW(window, name, 32);
    if (IsWindowVisible(window) && lstrcmpW(name, L"#32770") == 0) {
        GetWindowTextW(window, caption, 256);
        std::printf("%ls\n", caption);
        EnumChildWindows(window, printText, 0);
    }
    return TRUE;
}

} // namespace

int main()
{
    EnumWindows(printBox, 0);
}
