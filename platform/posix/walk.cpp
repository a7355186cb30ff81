#include "platform/posix/walk.h"

#include <acl/libacl.h>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <linux/magic.h>
#include <sys/acl.h>
#include <sys/vfs.h>

namespace {

// The folder the walk goes on from, in place of the one it was in.
int enter(Reached &reached, int folder)
{
    if (folder < 0)
        return errno;
    reached.folder = Fd(folder);
    return 0;
}

} // namespace

int walk(std::string path, Reached &reached)
{
    if (const int number = enter(reached, open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)))
        return number;
    for (int links = 0;;) {
        if (path.starts_with('/')) {
            if (const int number = enter(reached, open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)))
                return number;
            reached.where.assign(1, '/');
            path.erase(0, path.find_first_not_of('/'));
        }
        const auto slash = path.find('/'), next = path.find_first_not_of('/', slash);
        reached.name = path.substr(0, slash);
        path.erase(0, next == std::string::npos ? path.size() : next);
        if (reached.name == "." && !path.empty())
            continue;
        Fd file(openat(reached.folder.get(), reached.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
        if (!file && (errno != ENOENT || !path.empty()))
            return errno;
        if (!file)
            break;
        if (fstat(file.get(), &reached.status) != 0)
            return errno;
        if (S_ISLNK(reached.status.st_mode)) {
            char target[PATH_MAX];
            struct stat folder{};
            Way way{unsigned(reached.status.st_uid), {}};
            const ssize_t length = ++links > 40 ? (errno = ELOOP, -1) : readlinkat(file.get(), "", target, sizeof target);
            if (length < 0 || fstat(reached.folder.get(), &folder) != 0)
                return errno;
            if (const int number = rightsOf(reached.folder.get(), folder, way.folder))
                return number;
            reached.links.push_back(way);
            path.insert(0, std::string(target, size_t(length)) + (path.empty() ? "" : "/"));
        } else if (path.empty()) {
            reached.exists = true;
            break;
        } else if (!S_ISDIR(reached.status.st_mode)) {
            return ENOTDIR;
        } else {
            reached.folder = std::move(file);
            reached.where = joinPath(reached.where, reached.name);
        }
    }
    if (fstat(reached.folder.get(), &reached.folderStatus) != 0)
        return errno;
    return rightsOf(reached.folder.get(), reached.folderStatus, reached.folderRights);
}

int rightsOf(int fd, const struct stat &status, Rights &rights)
{
    rights = {unsigned(status.st_uid), unsigned(status.st_gid), bool(status.st_mode & S_IWUSR),
              bool(status.st_mode & S_IWGRP), bool(status.st_mode & S_IWOTH)};
    // These show the mount's owners, or ones made elsewhere (FUSE: what its
    // program says). ntfs3 has no name in the kernel's headers.
    const long ownerless[] = {MSDOS_SUPER_MAGIC, EXFAT_SUPER_MAGIC, 0x5346544e, FUSE_SUPER_MAGIC, long(CIFS_SUPER_MAGIC),
                              long(SMB2_SUPER_MAGIC), SMB_SUPER_MAGIC, V9FS_MAGIC, ISOFS_SUPER_MAGIC, UDF_SUPER_MAGIC};
    struct statfs system{};
    if (fstatfs(fd, &system) != 0)
        return errno;
    rights.ownersKept = std::find(std::begin(ownerless), std::end(ownerless), long(system.f_type)) == std::end(ownerless);
    // An O_PATH descriptor cannot be read from, its name in /proc can.
    const acl_t acl = acl_get_file(("/proc/self/fd/" + std::to_string(fd)).c_str(), ACL_TYPE_ACCESS);
    if (!acl)
        return errno == ENOTSUP ? 0 : errno;
    bool mask = true;
    acl_entry_t entry;
    for (int which = ACL_FIRST_ENTRY; acl_get_entry(acl, which, &entry) == 1; which = ACL_NEXT_ENTRY) {
        acl_tag_t tag = ACL_UNDEFINED_TAG;
        acl_permset_t permissions;
        const bool writes = acl_get_tag_type(entry, &tag) == 0 && acl_get_permset(entry, &permissions) == 0
                            && acl_get_perm(permissions, ACL_WRITE) == 1;
        if (tag == ACL_MASK)
            mask = writes;
        else if (tag == ACL_GROUP_OBJ)
            rights.groupWrites = writes;
        else if ((tag == ACL_USER || tag == ACL_GROUP) && writes) {
            auto *id = static_cast<id_t *>(acl_get_qualifier(entry));
            (tag == ACL_USER ? rights.users : rights.groups).push_back(id ? unsigned(*id) : ~0u);
            acl_free(id);
        }
    }
    acl_free(acl);
    if (!mask)
        rights.groupWrites = false, rights.users.clear(), rights.groups.clear();
    return 0;
}

std::string joinPath(const std::string &folder, const std::string &name)
{
    if (folder.empty() || name.empty())
        return folder + name;
    return folder.ends_with('/') ? folder + name : folder + "/" + name;
}

std::string shownFolder(const std::string &where)
{
    return where.starts_with('/') ? where : joinPath(currentFolder(), where);
}

Cause notFileCause(mode_t mode)
{
    if (S_ISFIFO(mode))
        return Cause::NamedPipe;
    if (S_ISSOCK(mode))
        return Cause::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Cause::Device;
    return Cause::NotRegular;
}
