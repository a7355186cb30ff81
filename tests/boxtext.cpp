// The tests' helper under Wine. Copied as korvane*.exe and started without
// arguments, it stands in for the game: appends how it was started to
// started.log in its working folder, "name|arguments|folder|show command" (-1
// where none was passed), and loads gdiplus.dll by its bare name, as a
// careless program would. With "boxes", it prints the caption and texts of
// each open message box.
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

int main(int argc, char *argv[])
{
    if (argc == 1) {
        STARTUPINFOW startup{};
        GetStartupInfoW(&startup);
        char folder[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, folder);
        LoadLibraryA("gdiplus.dll");
        if (FILE *log = std::fopen("started.log", "ab")) {
            const int showCommand = startup.dwFlags & STARTF_USESHOWWINDOW ? startup.wShowWindow : -1;
            std::fprintf(log, "%s|%d|%s|%d\n", argv[0], argc - 1, folder, showCommand);
            std::fclose(log);
        }
        Sleep(10000); // outlasts the test, so a program that waited for it would fail
        return 0;
    }
    EnumWindows(print, 0);
    return 0;
}
