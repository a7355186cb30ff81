#include "platform/programstart.h"

#include "platform/failure.h"
#include "platform/win32/systemfunction.h"
#include "platform/win32/text.h"

#include <windows.h>

namespace {

// The folder a program's path names it in, without its last separator; empty for a bare name.
std::wstring containingFolder(const std::wstring &path)
{
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Where Windows lacks SetDefaultDllDirectories, runForm took the current folder
// out of the DLL search with SetDllDirectoryW, which a new process inherits:
// the game is started with Windows' usual search, and ours is taken up again.
bool createProcess(std::wstring &commandLine, STARTUPINFOW &startup, PROCESS_INFORMATION &process)
{
    static const bool inherited = !systemFunction<BOOL(WINAPI *)(DWORD)>(L"kernel32.dll", "SetDefaultDllDirectories");
    if (inherited)
        SetDllDirectoryW(nullptr);
    const BOOL started
        = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process);
    const DWORD error = GetLastError();
    if (inherited)
        SetDllDirectoryW(L"");
    SetLastError(error);
    return started;
}

} // namespace

std::optional<Failure> startProgram(const std::string &name)
{
    // No application name: with the bare name as the command line, Windows
    // searches the program's folder, the current one, its own and then PATH.
    std::wstring commandLine = toWide(name); // CreateProcessW may write to it
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    // Minimised on purpose: the game takes the whole screen and switches its
    // mode as it starts.
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!createProcess(commandLine, startup, process)) {
        const DWORD error = GetLastError();
        // Named by the folder it was found in, or else the working folder.
        std::wstring found(MAX_PATH, L'\0');
        found.resize(SearchPathW(nullptr, toWide(name).c_str(), nullptr, DWORD(found.size()), found.data(), nullptr));
        const std::string where = found.empty() || found.size() >= MAX_PATH ? currentFolder() : toUtf8(containingFolder(found));
        return Failure{int(error), Cause::None, where};
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::nullopt;
}
