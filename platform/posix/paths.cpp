#include "platform/posix/paths.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <unistd.h>

Reached::~Reached()
{
    if (folder >= 0)
        close(folder);
}

namespace {

// The folder the walk goes on from, in place of the one it was in.
int enter(Reached &reached, int folder)
{
    if (folder < 0)
        return errno;
    if (reached.folder >= 0)
        close(reached.folder);
    reached.folder = folder;
    return 0;
}

} // namespace

int reach(std::string path, Reached &reached)
{
    if (const int number = enter(reached, open(".", O_PATH | O_DIRECTORY | O_CLOEXEC)))
        return number;
    for (int links = 0;;) {
        if (path.starts_with('/')) {
            if (const int number = enter(reached, open("/", O_PATH | O_DIRECTORY | O_CLOEXEC)))
                return number;
            // A char, not "/": GCC 12 at -O3 warns falsely that the literal's copy overlaps (-Wrestrict).
            reached.where = '/';
            path.erase(0, path.find_first_not_of('/'));
        }
        const auto slash = path.find('/'), next = path.find_first_not_of('/', slash);
        reached.name = path.substr(0, slash);
        path = next == std::string::npos ? "" : path.substr(next);
        if (reached.name == "." && !path.empty())
            continue;
        const int fd = openat(reached.folder, reached.name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0 && (errno != ENOENT || !path.empty()))
            return errno;
        if (fd < 0)
            break;
        char target[PATH_MAX];
        ssize_t length = 0;
        if (fstat(fd, &reached.status) != 0
            || (S_ISLNK(reached.status.st_mode)
                && (length = ++links > 40 ? (errno = ELOOP, -1) : readlinkat(fd, "", target, sizeof target)) < 0)) {
            const int number = errno;
            close(fd);
            return number;
        }
        if (S_ISLNK(reached.status.st_mode)) {
            close(fd);
            reached.linkers.push_back(reached.status.st_uid);
            path = std::string(target, size_t(length)) + (path.empty() ? "" : "/" + path);
        } else if (path.empty()) {
            close(fd);
            reached.exists = true;
            break;
        } else if (!S_ISDIR(reached.status.st_mode)) {
            close(fd);
            return ENOTDIR;
        } else {
            enter(reached, fd);
            reached.where += (reached.where.empty() || reached.where == "/" ? "" : "/") + reached.name;
        }
    }
    return fstat(reached.folder, &reached.folderStatus) == 0 ? 0 : errno;
}

std::string shownFolder(const std::string &where)
{
    const std::string current = currentFolder();
    return where.empty() ? current : where.front() == '/' || current.empty() ? where : current + "/" + where;
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
