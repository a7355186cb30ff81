// Reads the program under Wine from outside, for a test: with no argument,
// the caption and texts of each open message box; with "load NAME", loads
// that DLL by its bare name, as a careless program would.
#include <windows.h>

#include <cstdio>
#include <cstring>

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

int main(int argc, char *argv[])
{
    if (argc == 3 && std::strcmp(argv[1], "load") == 0)
        return LoadLibraryA(argv[2]) ? 0 : 1;
    EnumWindows(print, 0);
    return 0;
}
