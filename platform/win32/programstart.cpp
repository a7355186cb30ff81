#include "platform/programstart.h"

#include "platform/win32/text.h"

#include <windows.h>

std::optional<Failure> startProgram(const std::string &name)
{
    // No application name: with the bare name as the command line, Windows
    // searches the program's folder, the current one, its own and then PATH.
    std::wstring commandLine = toWide(name); // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return systemFailure(int(GetLastError()), "cannot start \"" + name + "\"");
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::nullopt;
}
