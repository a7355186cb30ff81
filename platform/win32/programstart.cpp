#include "platform/programstart.h"

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

std::wstring programFolder()
{
    std::wstring path(MAX_PATH, L'\0');
    path.resize(GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())));
    return containingFolder(path);
}

bool isFolder(const std::wstring &path)
{
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
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
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINIMIZED;
    PROCESS_INFORMATION process{};
    if (!createProcess(commandLine, startup, process)) {
        const DWORD error = GetLastError();
        // Named by the folder it was found in, or else the working folder.
        std::wstring found(MAX_PATH, L'\0');
        found.resize(SearchPathW(nullptr, toWide(name).c_str(), nullptr, DWORD(found.size()), found.data(), nullptr));
        const std::string where = found.empty() || found.size() >= MAX_PATH ? currentFolder() : toUtf8(containingFolder(found));
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_ACCESS_DENIED;
        const bool folder = missing && (isFolder(toWide(name)) || isFolder(programFolder() + L"\\" + toWide(name)));
        return Failure{int(error), folder ? Cause::Folder : Cause::None, where};
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return std::nullopt;
}
