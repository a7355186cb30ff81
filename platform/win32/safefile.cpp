#include "platform/safefile.h"

#include "platform/win32/systemfunction.h"
#include "platform/win32/text.h"

#include <aclapi.h>
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

// The folder a report names: where a link led, or else the working folder.
std::string folderShown(const std::wstring &path)
{
    std::wstring folder = besideOf(path);
    if (folder.empty())
        return currentFolder();
    if (folder.starts_with(L"\\\\?\\UNC\\"))
        folder = L"\\\\" + folder.substr(8);
    else if (folder.starts_with(L"\\\\?\\"))
        folder = folder.substr(4);
    return toUtf8(folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder);
}

// The owner of what a handle holds; null where it cannot be told (opened without READ_CONTROL).
struct Owner
{
    PSID sid = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;

    explicit Owner(HANDLE handle)
    {
        if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &sid, nullptr, nullptr, nullptr, &descriptor))
            sid = nullptr;
    }
    ~Owner() { LocalFree(descriptor); }
};

// Our user, or the owner that what we make is given (Administrators, elevated).
bool isUs(PSID sid)
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    alignas(8) char buffer[256];
    DWORD size = 0;
    const bool user = GetTokenInformation(token, TokenUser, buffer, sizeof buffer, &size)
                      && EqualSid(sid, reinterpret_cast<TOKEN_USER *>(buffer)->User.Sid);
    const bool owner = user || (GetTokenInformation(token, TokenOwner, buffer, sizeof buffer, &size)
                                && EqualSid(sid, reinterpret_cast<TOKEN_OWNER *>(buffer)->Owner));
    CloseHandle(token);
    return owner;
}

// A file reached through a link, or with a second name, is written only where
// whoever made the way to it could write it: the link's owner, or else the
// owner of the folder that holds the name, is us, or owns the file (and so may
// give themselves the right to write it). Checked on the handle that is used.
bool allowed(HANDLE file, const std::wstring &name)
{
    BY_HANDLE_FILE_INFORMATION information{};
    const DWORD attributes = GetFileAttributesW(name.c_str());
    const bool linked = attributes != INVALID_FILE_ATTRIBUTES && attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if (!linked && GetFileInformationByHandle(file, &information) && information.nNumberOfLinks < 2)
        return true;
    const HANDLE way = CreateFileW(linked ? name.c_str() : (besideOf(name) + L".").c_str(), READ_CONTROL,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                   FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (way == INVALID_HANDLE_VALUE)
        return false;
    const Owner maker(way), owner(file);
    CloseHandle(way);
    return maker.sid && owner.sid && (isUs(maker.sid) || EqualSid(maker.sid, owner.sid));
}

// Opened to read its owner too, where the file lets us: allowed() needs it
// only for a link or a second name.
HANDLE openFile(const std::wstring &path, DWORD access, DWORD flags)
{
    const DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    const HANDLE file = CreateFileW(path.c_str(), access | READ_CONTROL, sharing, nullptr, OPEN_EXISTING, flags, nullptr);
    return file != INVALID_HANDLE_VALUE ? file : CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING, flags, nullptr);
}

// Where an open file really is: the end of any links (reparse points on
// Windows, Unix symbolic links under Wine, which does not show them as such),
// and under Program Files perhaps the user's VirtualStore. Empty where this
// Windows cannot tell; Windows XP has neither links to files nor a VirtualStore.
std::wstring whereIs(HANDLE file)
{
    static const auto getFinalPathName
        = systemFunction<DWORD(WINAPI *)(HANDLE, wchar_t *, DWORD, DWORD)>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    std::wstring path(getFinalPathName ? MAX_PATH * 4 : 0, L'\0');
    const DWORD length = getFinalPathName ? getFinalPathName(file, path.data(), DWORD(path.size()), FILE_NAME_NORMALIZED) : 0;
    return length && length < path.size() ? path.substr(0, length) : std::wstring();
}

struct Found
{
    std::wstring path;
    DWORD names = 1;
    bool allowed = true;
};

// The file that the name finally leads to, so that a link keeps pointing where
// it did and its target is replaced, how many names (hard links) it has, and
// whether it may be written.
Found finalPath(const std::wstring &path)
{
    const HANDLE file = openFile(path, FILE_READ_ATTRIBUTES, FILE_FLAG_BACKUP_SEMANTICS);
    if (file == INVALID_HANDLE_VALUE)
        return {path};
    BY_HANDLE_FILE_INFORMATION information{};
    const DWORD names = GetFileInformationByHandle(file, &information) ? information.nNumberOfLinks : 1;
    const std::wstring target = whereIs(file);
    const bool may = allowed(file, path);
    CloseHandle(file);
    return {target.empty() ? path : target, names, may};
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

Cause causeOf(DWORD error, Cause denied)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return Cause::InUse;
    return error == ERROR_ACCESS_DENIED ? denied : Cause::None;
}

// Where no new file can take its place, the bytes go into the file itself: its
// other names and whoever holds it keep seeing it. Opened without truncating,
// so nothing changes before the first byte is written; a failure after it may
// leave the old file's tail. The file at PATH was reached from NAME.
std::optional<Failure> writeInPlace(const std::wstring &name, const std::wstring &path, const std::string &bytes, Cause denied)
{
    const HANDLE file = openFile(path, GENERIC_WRITE, 0);
    if (file == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        return Failure{int(error), causeOf(error, denied), folderShown(path)};
    }
    if (!allowed(file, name)) {
        CloseHandle(file);
        return Failure{ERROR_ACCESS_DENIED, Cause::OthersLink, folderShown(path)};
    }
    DWORD written = 0;
    const bool whole = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) && written == bytes.size()
                       && SetEndOfFile(file);
    const DWORD error = whole ? (FlushFileBuffers(file) ? 0 : GetLastError())
                              : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    CloseHandle(file);
    if (!error)
        return std::nullopt;
    const Cause cause = whole ? Cause::MaybeNotOnDisk : written ? Cause::PartlyWritten : causeOf(error, Cause::None);
    return Failure{int(error), cause, folderShown(path)};
}

// The complete new file takes the old one's place. ReplaceFileW keeps what the
// old one had beyond its bytes (attributes, ACL, streams) and moves it to a
// backup name first, so that whichever step fails, the old file is under its
// own name or the backup's, and is put back.
DWORD putInPlace(const std::wstring &temporary, const std::wstring &path)
{
    if (GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES)
        return MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) ? 0 : GetLastError();
    // Asked to write through, ReplaceFileW fails: the new file was flushed before.
    const std::wstring backup = temporary.substr(0, temporary.size() - 3) + L"old";
    DWORD error = ReplaceFileW(path.c_str(), temporary.c_str(), backup.c_str(), 0, nullptr, nullptr) ? 0 : GetLastError();
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        DeleteFileW(backup.c_str());
    else if (MoveFileExW(backup.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH) && error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
        error = ERROR_UNABLE_TO_MOVE_REPLACEMENT; // the system's words for the old file back under its name
    return error;
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    const std::wstring given = toWide(name);
    std::wstring path = given;
    const auto failure = [&](DWORD number, Cause cause = Cause::None) { return Failure{int(number), cause, folderShown(path)}; };
    DWORD attributes = GetFileAttributesW(path.c_str());
    const bool existed = attributes != INVALID_FILE_ATTRIBUTES;
    if (existed) {
        const Found target = finalPath(path);
        if (const DWORD followed = GetFileAttributesW(target.path.c_str()); followed != INVALID_FILE_ATTRIBUTES)
            path = target.path, attributes = followed;
        if (attributes & FILE_ATTRIBUTE_DIRECTORY)
            return failure(ERROR_ACCESS_DENIED, Cause::Folder);
        // Checked here, because a move may replace a read-only file where the system lets it.
        if (attributes & FILE_ATTRIBUTE_READONLY)
            return failure(ERROR_ACCESS_DENIED, Cause::ReadOnly);
        if (!target.allowed)
            return failure(ERROR_ACCESS_DENIED, Cause::OthersLink);
        // A new file would take one name only, and part it from the others.
        if (target.names > 1)
            return writeInPlace(given, path, bytes, Cause::None);
    }

    // A name of our own beside the file, made new, so nothing else is touched;
    // hidden where the old one is, as ReplaceFileW would make it (Wine's does not).
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    std::wstring temporary;
    HANDLE file = INVALID_HANDLE_VALUE;
    for (unsigned attempt = 0; file == INVALID_HANDLE_VALUE; ++attempt) {
        temporary = besideOf(path) + nameOf(path) + L"." + std::to_wstring(GetCurrentProcessId()) + L"-"
                    + std::to_wstring(attempt) + L".new";
        file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           existed ? attributes & kept : FILE_ATTRIBUTE_NORMAL, nullptr);
        const DWORD error = GetLastError();
        if (file == INVALID_HANDLE_VALUE && error == ERROR_ACCESS_DENIED && existed)
            return writeInPlace(given, path, bytes, Cause::FolderLocked);
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
    if (!error)
        error = putInPlace(temporary, path);
    if (!error)
        return std::nullopt;
    DeleteFileW(temporary.c_str());
    // The old file, still there, may not be moved: held by a program that does
    // not let others delete it, or not ours to delete. Where it may be written,
    // the bytes go in where it is.
    const bool stays = error == ERROR_SHARING_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED
                       || error == ERROR_ACCESS_DENIED;
    if (stays && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return writeInPlace(given, path, bytes, inUse(path) ? Cause::InUse : Cause::None);
    return failure(error, error == ERROR_LOCK_VIOLATION ? Cause::InUse : Cause::None);
}
