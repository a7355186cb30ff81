// Stands in for the game under Wine: appends how it was started to
// started.log in its working folder, "name|arguments|folder|show command".
#include <windows.h>

#include <cstdio>

int main(int argc, char *argv[])
{
    STARTUPINFOW startup{};
    GetStartupInfoW(&startup);
    char folder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, folder);
    if (FILE *log = std::fopen("started.log", "ab")) {
        std::fprintf(log, "%s|%d|%s|%d\n", argv[0], argc - 1, folder, startup.wShowWindow);
        std::fclose(log);
    }
    Sleep(10000); // outlasts the test, so a program that waited for it would fail
}
