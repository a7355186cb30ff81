#include "platform/safefile.h"

#include "platform/failure.h"
#include "platform/win32/systemfunction.h"
#include "platform/win32/text.h"
#include "platform/win32/walk.h"
#include "platform/writerule.h"

#include <windows.h>

// Reach, decide, then replace or write in place: the file is walked to one
// name at a time, whether it may be written is decided on what was opened,
// and what is written is checked to be what was decided on.
namespace {

std::wstring nameOf(const std::wstring &path)
{
    return path.substr(folderPart(path).size());
}

// The folder a report names: where a link led, or else the working folder.
std::string shownFolder(const std::wstring &path)
{
    std::wstring folder = folderPart(path);
    if (folder.empty())
        return currentFolder();
    if (folder.starts_with(L"\\\\?\\UNC\\"))
        folder = L"\\\\" + folder.substr(8);
    else if (folder.starts_with(L"\\\\?\\"))
        folder = folder.substr(4);
    return toUtf8(folder.size() > 3 ? folder.substr(0, folder.size() - 1) : folder);
}

Failure failure(const std::wstring &path, DWORD number, Cause cause = Cause::None)
{
    return Failure{int(number), cause, shownFolder(path)};
}

bool sameFile(const BY_HANDLE_FILE_INFORMATION &a, const BY_HANDLE_FILE_INFORMATION &b)
{
    return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh
           && a.nFileIndexLow == b.nFileIndexLow;
}

// Where an open file really is: the end of any links (Unix symbolic links
// under Wine too, which it does not show as such), and under Program Files
// perhaps the user's VirtualStore. Empty where this Windows cannot tell;
// Windows XP has neither links to files nor a VirtualStore.
std::wstring whereIs(HANDLE file)
{
    static const auto getFinalPathName
        = systemFunction<DWORD(WINAPI *)(HANDLE, wchar_t *, DWORD, DWORD)>(L"kernel32.dll", "GetFinalPathNameByHandleW");
    std::wstring path(getFinalPathName ? MAX_PATH * 4 : 0, L'\0');
    const DWORD length = getFinalPathName ? getFinalPathName(file, path.data(), DWORD(path.size()), FILE_NAME_NORMALIZED) : 0;
    path.resize(length && length < path.size() ? length : 0);
    return path.starts_with(L"\\\\?\\") && !path.starts_with(L"\\\\?\\UNC\\") ? path.substr(4) : path;
}

// Whether the file lies elsewhere than its name says, through a link the walk
// could not see (a Unix one under Wine) or in a VirtualStore.
bool elsewhere(const Reached &file)
{
    const std::wstring final = whereIs(file.file.get());
    std::wstring whole(MAX_PATH * 4, L'\0');
    whole.resize(GetFullPathNameW(file.path.c_str(), DWORD(whole.size()), whole.data(), nullptr));
    return !final.empty() && CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, final.c_str(), -1, whole.c_str(), -1) != CSTR_EQUAL;
}

// The number of the user we run as: the user's own account, never the
// Administrators that own what we make when run as administrator.
unsigned us(Reached &file)
{
    const Handle token = [] {
        HANDLE opened = nullptr;
        return Handle(OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened) ? opened : nullptr);
    }();
    alignas(8) BYTE user[256];
    DWORD size = 0;
    if (!token || !GetTokenInformation(token.get(), TokenUser, user, sizeof user, &size))
        return ~0u - 1; // no owner's
    return ownerNumber(file, reinterpret_cast<TOKEN_USER *>(user)->User.Sid);
}

Cause causeOf(DWORD error, Cause denied)
{
    if (error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION)
        return Cause::InUse;
    return error == ERROR_ACCESS_DENIED ? denied : Cause::None;
}

// Held open by another program, without leave to delete it: asking for that
// leave now is refused with a sharing violation.
bool inUse(const std::wstring &path)
{
    const Handle file(CreateFileW(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return !file && GetLastError() == ERROR_SHARING_VIOLATION;
}

// Where no new file can take its place, or nothing may be resolved again, the
// bytes go into the file itself, through a handle checked to hold the file
// that was decided on: its other names and whoever holds it keep seeing it.
// Opened without truncating, so nothing changes before the first byte is
// written; a failure after it may leave the old file's tail.
std::optional<Failure> writeInPlace(const Reached &file, const std::string &bytes, Cause denied)
{
    const Handle written(CreateFileW(file.path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, 0, nullptr));
    if (!written) {
        const DWORD error = GetLastError();
        return failure(file.path, error, causeOf(error, denied));
    }
    BY_HANDLE_FILE_INFORMATION information{};
    if (!GetFileInformationByHandle(written.get(), &information) || !sameFile(information, file.information))
        return failure(file.path, ERROR_FILE_INVALID); // another file was put in its place meanwhile
    DWORD done = 0;
    const bool whole = WriteFile(written.get(), bytes.data(), DWORD(bytes.size()), &done, nullptr) && done == bytes.size()
                       && SetEndOfFile(written.get());
    const DWORD error = whole ? (FlushFileBuffers(written.get()) ? 0 : GetLastError())
                              : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    if (!error)
        return std::nullopt;
    const Cause cause = whole ? Cause::MaybeNotOnDisk : done ? Cause::PartlyWritten : causeOf(error, Cause::None);
    return failure(file.path, error, cause);
}

// The complete new file takes the old one's place. ReplaceFileW keeps what the
// old one had beyond its bytes (attributes, ACL, streams) and moves it to a
// backup name first, so that whichever step fails, the old file is under its
// own name or the backup's, and is put back.
DWORD putInPlace(const std::wstring &temporary, const std::wstring &path, bool existed)
{
    if (!existed)
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

// A new file of our own beside the old one, written whole, takes its place,
// while the folder is held so that the way to it stays as it was checked.
std::optional<Failure> replace(const Reached &file, const std::string &bytes)
{
    const bool existed = bool(file.file);
    // Hidden where the old one is, as ReplaceFileW would make it (Wine's does not).
    const DWORD kept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    std::wstring temporary, path = file.path;
    Handle created;
    for (unsigned attempt = 0; !created; ++attempt) {
        temporary = path + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(attempt) + L".new";
        created = Handle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     existed ? file.information.dwFileAttributes & kept : FILE_ATTRIBUTE_NORMAL, nullptr));
        const DWORD error = GetLastError();
        if (!created && (error != ERROR_FILE_EXISTS || attempt == 100)) {
            const WriteDecision decision = withoutNewFile(existed, error == ERROR_ACCESS_DENIED, false);
            return decision.how == Write::InPlace ? writeInPlace(file, bytes, decision.cause)
                                                  : failure(path, error, decision.cause);
        }
    }
    DWORD written = 0;
    BY_HANDLE_FILE_INFORMATION made{};
    const bool complete = WriteFile(created.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr)
                          && written == bytes.size() && FlushFileBuffers(created.get())
                          && GetFileInformationByHandle(created.get(), &made);
    DWORD error = complete ? 0 : (GetLastError() ? GetLastError() : ERROR_WRITE_FAULT);
    // Under Program Files, Windows may have made the new file in the user's
    // VirtualStore: it takes its place there, where the game reads it too.
    if (const std::wstring landed = whereIs(created.get()); !landed.empty() && folderPart(landed) != folderPart(temporary))
        temporary = landed, path = folderPart(landed) + nameOf(path);
    created = Handle();
    if (!error)
        error = putInPlace(temporary, path, existed);
    if (!error) {
        // The name must now lead to the new file, or something was put in the way meanwhile.
        const Handle now(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                     nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
        BY_HANDLE_FILE_INFORMATION there{};
        return now && GetFileInformationByHandle(now.get(), &there) && sameFile(there, made)
                   ? std::nullopt : std::optional(failure(path, ERROR_FILE_INVALID));
    }
    DeleteFileW(temporary.c_str());
    // The old file, still there, may not be moved: held by a program that does
    // not let others delete it, or not ours to delete. Where it may be written,
    // the bytes go in where it is.
    const bool stays = error == ERROR_SHARING_VIOLATION || error == ERROR_UNABLE_TO_REMOVE_REPLACED
                       || error == ERROR_ACCESS_DENIED;
    if (stays && existed && GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return writeInPlace(file, bytes, inUse(path) ? Cause::InUse : Cause::None);
    return failure(path, error, error == ERROR_LOCK_VIOLATION ? Cause::InUse : Cause::None);
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    Reached file;
    if (const DWORD error = walk(toWide(name), file))
        return failure(file.path.empty() ? toWide(name) : file.path, error);
    file.facts.us = us(file);
    file.facts.exists = bool(file.file);
    file.facts.target = rightsOf(file, (file.file ? file.file : file.folder).get());
    WriteFacts facts{.exists = bool(file.file)};
    if (file.file) {
        const DWORD attributes = file.information.dwFileAttributes;
        facts.kind = attributes & FILE_ATTRIBUTE_DIRECTORY ? Cause::Folder : Cause::None;
        // A move may replace a read-only file where the system lets it.
        facts.readOnly = attributes & FILE_ATTRIBUTE_READONLY;
        facts.oneName = file.information.nNumberOfLinks <= 1;
        if (!facts.oneName)
            file.facts.secondName = Way{file.facts.target.owner, rightsOf(file, file.folder.get())};
        // Where a link was followed, nothing is resolved again.
        facts.nameIsWhere = file.facts.links.empty() && !elsewhere(file);
    }
    facts.way = followable(file.facts);
    const WriteDecision decision = howToWrite(facts);
    switch (decision.how) {
    case Write::Refuse: return failure(file.path, ERROR_ACCESS_DENIED, decision.cause);
    case Write::InPlace: return writeInPlace(file, bytes, Cause::None);
    case Write::Replace: break;
    }
    return replace(file, bytes);
}
