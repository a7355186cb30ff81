#include "platform/safefile.h"

#include "platform/win32/newer.h"
#include "platform/win32/text.h"

#include <windows.h>

namespace {

std::wstring nameOf(const std::wstring &path)
{
    const auto slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? path : path.substr(slash + 1);
}

// What a name beside that file starts with: its folder and the separator.
std::wstring besideOf(const std::wstring &path)
{
    return path.substr(0, path.size() - nameOf(path).size());
}

// Where an open file really is: the end of any links (reparse points on
// Windows, Unix symbolic links under Wine, which does not show them as such),
// and under Program Files perhaps the user's VirtualStore. Empty where this
// Windows cannot tell; Windows XP has neither links to files nor a VirtualStore.
std::wstring whereIs(HANDLE file)
{
    static const auto getFinalPathName
        = newer<DWORD(WINAPI *)(HANDLE, wchar_t *, DWORD, DWORD)>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    std::wstring path(getFinalPathName ? MAX_PATH * 4 : 0, L'\0');
    const DWORD length = getFinalPathName ? getFinalPathName(file, path.data(), DWORD(path.size()), FILE_NAME_NORMALIZED) : 0;
    return length && length < path.size() ? path.substr(0, length) : std::wstring();
}

// The file that the name finally leads to, so that a link keeps pointing where
// it did and its target is replaced.
std::wstring finalPath(const std::wstring &path)
{
    const HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return path;
    const std::wstring target = whereIs(file);
    CloseHandle(file);
    return target.empty() ? path : target;
}

// Held open by another program, without leave to delete it: asking for that
// leave now is refused with a sharing violation.
bool inUse(const std::wstring &path)
{
    const HANDLE file = CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        CloseHandle(file);
    return file == INVALID_HANDLE_VALUE && GetLastError() == ERROR_SHARING_VIOLATION;
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    const auto failure = [](DWORD number, Cause cause = Cause::None) { return Failure{int(number), cause, currentFolder()}; };
    std::wstring path = toWide(name);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        const std::wstring target = finalPath(path);
        if (const DWORD followed = GetFileAttributesW(target.c_str()); followed != INVALID_FILE_ATTRIBUTES)
            path = target, attributes = followed;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return failure(ERROR_ACCESS_DENIED, Cause::Folder);
        // Checked here, because a move may replace a read-only file where the system lets it.
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return failure(ERROR_ACCESS_DENIED, Cause::ReadOnly);
    }

    // A name of our own beside the file, made new, so nothing else is touched.
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = besideOf(path) + L"locale.ini." + std::to_wstring(GetCurrentProcessId()) + L"-"
                    + std::to_wstring(attempt) + L".new";
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (file == INVALID_HANDLE_VALUE && (error != ERROR_FILE_EXISTS || attempt == 100))
            return failure(error, error == ERROR_ACCESS_DENIED ? Cause::FolderLocked : Cause::None);
    }
    DWORD written = 0;
    const bool complete = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr)
                          && written == bytes.size() && FlushFileBuffers(file);
    DWORD error = complete ? 0 : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    // Under Program Files, Windows may have made the new file in the user's
    // VirtualStore: it takes its place there, where the game reads it too.
    if (const std::wstring landed = whereIs(file); !landed.empty())
        temporary = landed, path = besideOf(landed) + nameOf(path);
    CloseHandle(file);
    if (!error && !MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        error = GetLastError();
    if (error) {
        DeleteFileW(temporary.c_str());
        // The folder took the new file, and the file is not read-only: if
        // the move was refused, see whether another program holds the file.
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION
                          || (error == ERROR_ACCESS_DENIED && inUse(path));
        return failure(error, held ? Cause::InUse : Cause::None);
    }
    return std::nullopt;
}
