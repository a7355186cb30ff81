#include "platform/safefile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

// Every path here stays relative to the current directory, as the caller gave
// it: a folder's absolute name need be neither valid text nor searchable.
namespace {

std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links from the name as open() would, one step at a time, so
// that the file that is replaced is the one the link points to. Returns 0 and
// whether something is there, or the error number.
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

// A new name of our own beside the file. The kernel applies the user's umask
// to 0666, as for any new file; the process's umask is never changed, as it
// is shared with Qt's threads.
int createBeside(const std::string &folder, std::string &temporary)
{
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%08x", unsigned(random()));
        temporary = (folder == "." ? "" : folder + "/") + ".locale.ini-" + suffix;
        const int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

bool writeAll(int fd, const std::string &bytes)
{
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        done += size_t(written);
    }
    return true;
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    const auto failure = [](int number, Cause cause = Cause::None) { return Failure{number, cause, currentFolder()}; };
    std::string path = name;
    struct stat status{};
    bool exists = false;
    if (const int number = followLinks(path, status, exists))
        return failure(number);

    std::optional<mode_t> mode; // an existing file's, kept
    if (exists) {
        if (S_ISDIR(status.st_mode))
            return failure(EISDIR);
        if (!S_ISREG(status.st_mode))
            return failure(EPERM, kindOf(status.st_mode));
        // The system's answer names the real cause (a read-only file system, say);
        // root passes that check, so the owner's write bit is looked at as well.
        if (faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0) {
            const int number = errno;
            return failure(number, number == EACCES ? Cause::ReadOnly : Cause::None);
        }
        if (!(status.st_mode & S_IWUSR))
            return failure(EACCES, Cause::ReadOnly);
        mode = status.st_mode & 07777;
    }

    const std::string folder = folderOf(path);
    std::string temporary;
    const int fd = createBeside(folder, temporary);
    if (fd < 0) {
        const int number = errno;
        struct stat here{};
        const bool gone = number == ENOENT && stat(folder.c_str(), &here) == 0 && here.st_nlink == 0;
        const bool locked = number == EACCES && faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0;
        return failure(number, gone ? Cause::FolderGone : locked ? Cause::FolderLocked : Cause::None);
    }
    const auto fail = [&](int number) {
        unlink(temporary.c_str());
        return failure(number);
    };
    if ((mode && fchmod(fd, *mode) != 0) || !writeAll(fd, bytes) || fsync(fd) != 0) {
        const int number = errno;
        close(fd);
        return fail(number);
    }
    if (close(fd) != 0 || rename(temporary.c_str(), path.c_str()) != 0)
        return fail(errno);

    // The new name must reach the disk too, or a power cut could bring the old file back.
    const int directory = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (directory < 0 || (fsync(directory) != 0 && errno != EINVAL)) {
        const int number = errno;
        if (directory >= 0)
            close(directory);
        return failure(number, Cause::MaybeNotOnDisk);
    }
    close(directory);
    return std::nullopt;
}
