#include "platform/posix/paths.h"

#include <cerrno>
#include <unistd.h>
#include <vector>

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

int followLinks(std::string &path, struct stat &status, bool &exists)
{
    for (int hops = 0; hops <= 40; ++hops) {
        if (lstat(path.c_str(), &status) != 0) {
            exists = false;
            return errno == ENOENT ? 0 : errno;
        }
        if (!S_ISLNK(status.st_mode)) {
            exists = true;
            return 0;
        }
        std::vector<char> target(size_t(status.st_size > 0 ? status.st_size : 255) + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), target.size());
        if (length < 0)
            return errno;
        const std::string to(target.data(), size_t(length));
        const std::string folder = folderOf(path);
        path = to.front() == '/' || folder == "." ? to : folder + "/" + to;
    }
    return ELOOP;
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
