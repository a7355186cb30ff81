#include "platform/win32/walk.h"

#include <aclapi.h>
#include <winioctl.h>

namespace {

// A symbolic link's or junction's data, as FSCTL_GET_REPARSE_POINT gives it.
struct LinkData
{
    DWORD tag;
    WORD length, reserved;
    WORD substituteOffset, substituteLength, printOffset, printLength;
    ULONG flags; // symbolic links only; a relative target has no root, and is taken from the link's folder
};

bool isSeparator(wchar_t c)
{
    return c == L'\\' || c == L'/';
}

// How much of a path names where it starts: "C:\", "\\server\share\",
// "\\?\C:\", "\\?\UNC\server\share\", "\\?\Volume{...}\"; 0 for a relative one.
std::size_t rootLength(const std::wstring &path)
{
    const auto afterParts = [&](std::size_t from, int parts) {
        for (std::size_t at = from; at < path.size(); ++at) {
            if (isSeparator(path[at]) && --parts == 0)
                return at + 1;
        }
        return path.size();
    };
    if (path.starts_with(L"\\\\?\\UNC\\"))
        return afterParts(8, 2);
    if (path.starts_with(L"\\\\?\\"))
        return path.size() > 6 && path[5] == L':' ? 7 : afterParts(4, 1);
    if (path.starts_with(L"\\\\"))
        return afterParts(2, 2);
    if (path.size() > 1 && path[1] == L':')
        return path.size() > 2 && isSeparator(path[2]) ? 3 : 2;
    return !path.empty() && isSeparator(path[0]) ? 1 : 0;
}

Handle openAsItself(const std::wstring &path, DWORD sharing = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE)
{
    return Handle(CreateFileW(path.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES, sharing, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
}

// Where a symbolic link or junction leads, as a path, relative ones to the
// link's folder; empty for any other reparse point (a file in the cloud, say),
// which is opened as the file it is.
std::wstring linkTarget(HANDLE link, DWORD &error)
{
    alignas(8) BYTE buffer[MAXIMUM_REPARSE_DATA_BUFFER_SIZE];
    DWORD size = 0;
    error = 0;
    if (!DeviceIoControl(link, FSCTL_GET_REPARSE_POINT, nullptr, 0, buffer, sizeof buffer, &size, nullptr)) {
        error = GetLastError();
        return {};
    }
    const auto *data = reinterpret_cast<const LinkData *>(buffer);
    const bool symbolic = data->tag == IO_REPARSE_TAG_SYMLINK;
    if (!symbolic && data->tag != IO_REPARSE_TAG_MOUNT_POINT)
        return {};
    // A junction's names follow the first four words; a symbolic link's its flags too.
    const BYTE *names = buffer + offsetof(LinkData, flags) + (symbolic ? sizeof(ULONG) : 0);
    std::wstring target(reinterpret_cast<const wchar_t *>(names + data->substituteOffset), data->substituteLength / sizeof(wchar_t));
    if (target.starts_with(L"\\??\\"))
        target[1] = L'\\';
    if (target.empty())
        error = ERROR_CANT_RESOLVE_FILENAME;
    return target;
}

} // namespace

std::wstring folderPart(const std::wstring &path)
{
    std::size_t end = path.size();
    while (end > rootLength(path) && !isSeparator(path[end - 1]))
        --end;
    return path.substr(0, end);
}

unsigned ownerNumber(Reached &reached, PSID sid)
{
    const auto *bytes = static_cast<const BYTE *>(sid);
    const std::vector<BYTE> owner(bytes, bytes + GetLengthSid(sid));
    const unsigned group = IsWellKnownSid(sid, WinBuiltinAdministratorsSid) ? 1 : 0;
    for (unsigned i = 0; i < reached.owners.size(); ++i) {
        if (reached.owners[i] == owner)
            return i * 2 + group;
    }
    reached.owners.push_back(owner);
    return unsigned(reached.owners.size() - 1) * 2 + group;
}

unsigned ownerOf(Reached &reached, HANDLE handle)
{
    PSID sid = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(handle, SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &sid, nullptr, nullptr, nullptr, &descriptor)
        != ERROR_SUCCESS)
        return ~0u;
    const unsigned number = ownerNumber(reached, sid);
    LocalFree(descriptor);
    return number;
}

Rights rightsOf(Reached &reached, HANDLE handle)
{
    const unsigned owner = ownerOf(reached, handle);
    return {owner, ~0u, owner != ~0u && owner % 2 == 0};
}

DWORD walk(const std::wstring &name, Reached &reached)
{
    std::wstring done, rest = name; // the folder reached so far ("" for the current one), and the rest of the way
    for (int links = 0;;) {
        if (const std::size_t root = rootLength(rest)) {
            done = rest.substr(0, root);
            rest.erase(0, root);
        }
        std::size_t end = 0;
        while (end < rest.size() && !isSeparator(rest[end]))
            ++end;
        const std::wstring part = rest.substr(0, end);
        while (end < rest.size() && isSeparator(rest[end]))
            ++end;
        rest.erase(0, end);
        if (part == L"." && !rest.empty())
            continue;
        const std::wstring path = done.empty() || isSeparator(done.back()) ? done + part : done + L"\\" + part;
        Handle file = openAsItself(path);
        if (!file) {
            const DWORD error = GetLastError();
            if ((error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND) || !rest.empty())
                return error;
            reached.path = path;
            break;
        }
        if (!GetFileInformationByHandle(file.get(), &reached.information))
            return GetLastError();
        DWORD error = 0;
        const std::wstring target = reached.information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT
                                        ? linkTarget(file.get(), error) : std::wstring();
        if (error)
            return error;
        if (!target.empty()) {
            if (++links > 31)
                return ERROR_CANT_RESOLVE_FILENAME;
            const Handle folder = openAsItself(done.empty() ? L"." : done);
            if (!folder)
                return GetLastError();
            reached.facts.links.push_back({ownerOf(reached, file.get()), rightsOf(reached, folder.get())});
            rest = target + (rest.empty() ? L"" : L"\\" + rest);
        } else if (rest.empty()) {
            reached.path = path;
            reached.file = std::move(file);
            break;
        } else if (!(reached.information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            return ERROR_DIRECTORY;
        } else {
            done = path;
        }
    }
    // Others may still read and write in it, but not move or remove it.
    std::wstring folder = folderPart(reached.path);
    if (folder.size() > rootLength(folder))
        folder.pop_back();
    reached.folder = openAsItself(folder.empty() ? L"." : folder, FILE_SHARE_READ | FILE_SHARE_WRITE);
    return reached.folder ? 0 : GetLastError();
}
