// The tests' helper under Wine. Copied as korvane*.exe and started without
// arguments, it stands in for the game as game.sh does on Linux: appends how
// it was started to started.log in its working folder, "name|argument
// count|folder|show command" (- where none was passed). With "boxes", it
// prints the caption and texts of each open message box. With "dpi OLD NEW",
// it sends the program WM_DPICHANGED as on a move to a monitor of NEW dpi,
// suggesting the client area scaled, the frame as Wine keeps it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
        char folder[MAX_PATH] = {}, program[MAX_PATH] = {};
        GetCurrentDirectoryA(MAX_PATH, folder);
        GetModuleFileNameA(nullptr, program, MAX_PATH);
        const std::string shown = startup.dwFlags & STARTF_USESHOWWINDOW ? std::to_string(startup.wShowWindow) : "-";
        if (FILE *log = std::fopen("started.log", "ab")) {
            std::fprintf(log, "%s|%d|%s|%s\n", std::strrchr(program, '\\') + 1, argc - 1, folder, shown.c_str());
            std::fclose(log);
        }
        Sleep(10000); // outlasts the test, so a program that waited for it would fail
        return 0;
    }
    if (argc == 4) {
        HWND window = FindWindowW(L"KorvaneForm1", nullptr);
        const int from = std::atoi(argv[2]), to = std::atoi(argv[3]);
        RECT suggested{}, client{};
        GetWindowRect(window, &suggested), GetClientRect(window, &client);
        suggested.right += MulDiv(client.right, to, from) - client.right;
        suggested.bottom += MulDiv(client.bottom, to, from) - client.bottom;
        DWORD id = 0; // the rectangle is read where the program runs
        GetWindowThreadProcessId(window, &id);
        HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, id);
        void *there = VirtualAllocEx(process, nullptr, sizeof suggested, MEM_COMMIT, PAGE_READWRITE);
        WriteProcessMemory(process, there, &suggested, sizeof suggested, nullptr);
        SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(to, to), LPARAM(there));
        return 0;
    }
    EnumWindows(print, 0);
    return 0;
}
