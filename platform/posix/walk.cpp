#include "platform/posix/walk.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>

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
            const ssize_t length = ++links > 40 ? (errno = ELOOP, -1) : readlinkat(file.get(), "", target, sizeof target);
            if (length < 0 || fstat(reached.folder.get(), &folder) != 0)
                return errno;
            reached.links.push_back({unsigned(reached.status.st_uid), rightsOf(folder)});
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
    return fstat(reached.folder.get(), &reached.folderStatus) == 0 ? 0 : errno;
}

Rights rightsOf(const struct stat &status)
{
    return {unsigned(status.st_uid), unsigned(status.st_gid), bool(status.st_mode & S_IWUSR),
            bool(status.st_mode & S_IWGRP), bool(status.st_mode & S_IWOTH), bool(status.st_mode & S_ISVTX)};
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

Cause kindOf(mode_t mode)
{
    if (S_ISFIFO(mode))
        return Cause::NamedPipe;
    if (S_ISSOCK(mode))
        return Cause::Socket;
    if (S_ISCHR(mode) || S_ISBLK(mode))
        return Cause::Device;
    return Cause::NotRegular;
}
