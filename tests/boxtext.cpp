// Prints the caption and the texts of each message box open under Wine, for
// a test to read from outside.
#include <windows.h>

#include <cstdio>

static BOOL CALLBACK print(HWND window, LPARAM box)
{
    wchar_t kind[32] = {}, text[1024] = {};
    GetClassNameW(window, kind, 32);
    const bool wanted = box ? lstrcmpiW(kind, L"Static") == 0 : IsWindowVisible(window) && !lstrcmpW(kind, L"#32770");
    if (wanted && GetWindowTextW(window, text, 1024) > 0)
        std::printf("%ls\n", text);
    if (wanted && !box)
        EnumChildWindows(window, print, 1);
    return TRUE;
}

int main()
{
    EnumWindows(print, 0);
}
