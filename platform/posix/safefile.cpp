#include "platform/safefile.h"

#include "platform/posix/paths.h"

#include <acl/libacl.h>
#include <attr/libattr.h>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <random>
#include <unistd.h>

namespace {

Failure failure(int number, Cause cause = Cause::None)
{
    return Failure{number, cause, currentFolder()};
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

// Counts what was written, so that a caller can tell whether anything changed.
bool writeAll(int fd, const std::string &bytes, size_t &done)
{
    for (done = 0; done < bytes.size();) {
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

// Gives the new file all the old one had: owner and group (root gives them
// back, a user only a group of theirs), mode, ACL and extended attributes.
bool carryOver(const std::string &oldPath, int old, const struct stat &status, const std::string &path, int fd)
{
    struct stat made{};
    if (fstat(fd, &made) != 0)
        return false;
    if ((made.st_uid != status.st_uid || made.st_gid != status.st_gid) && fchown(fd, status.st_uid, status.st_gid) != 0)
        return false;
    // Only now: a change of owner clears the set-ID bits.
    return fchmod(fd, status.st_mode & 07777) == 0
           && perm_copy_fd(oldPath.c_str(), old, path.c_str(), fd, nullptr) == 0
           && attr_copy_fd(oldPath.c_str(), old, path.c_str(), fd, nullptr, nullptr) == 0;
}

// The file itself written over, from its first byte, and cut to length. Nothing
// changes before that byte; a failure after it may leave the old file's tail.
std::optional<Failure> writeInPlace(int fd, const std::string &bytes)
{
    size_t done = 0;
    const bool written = writeAll(fd, bytes, done) && ftruncate(fd, off_t(bytes.size())) == 0 && fsync(fd) == 0;
    const int number = errno;
    if (close(fd) == 0 && written)
        return std::nullopt;
    return failure(written ? errno : number, done ? Cause::PartlyWritten : Cause::None);
}

// Opens an existing file to be written, without changing it; or says why it cannot be.
std::optional<Failure> openToWrite(const std::string &path, const struct stat &status, int &fd)
{
    fd = open(path.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    // The system's answer names the real cause (a read-only file system, say);
    // root passes that check, so the owner's write bit is looked at as well.
    const int number = fd < 0 ? errno : status.st_mode & S_IWUSR ? 0 : EACCES;
    if (!number)
        return std::nullopt;
    if (fd >= 0)
        close(fd);
    if (number != EACCES)
        return failure(number);
    return failure(number, !(status.st_mode & S_IWUSR) ? Cause::ReadOnly
                           : status.st_uid != geteuid() ? Cause::OtherOwner
                                                        : Cause::None);
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    std::string path = name;
    struct stat status{};
    bool exists = false;
    if (const int number = followLinks(path, status, exists))
        return failure(number);

    int old = -1; // the existing file, opened to be written, and to read its ACL and attributes from
    if (exists) {
        if (S_ISDIR(status.st_mode))
            return failure(EISDIR);
        if (!S_ISREG(status.st_mode))
            return failure(EPERM, kindOf(status.st_mode));
        if (auto refused = openToWrite(path, status, old))
            return refused;
        // Every name must see the new settings, and only root can give a file to another user.
        if (status.st_nlink > 1 || (geteuid() != 0 && status.st_uid != geteuid()))
            return writeInPlace(old, bytes);
    }

    const std::string folder = folderOf(path);
    std::string temporary;
    const int fd = createBeside(folder, temporary);
    if (fd < 0) {
        const int number = errno;
        if (old >= 0 && (number == EACCES || number == EPERM))
            return writeInPlace(old, bytes);
        struct stat here{};
        const bool gone = number == ENOENT && stat(folder.c_str(), &here) == 0 && here.st_nlink == 0;
        const bool locked = number == EACCES && faccessat(AT_FDCWD, folder.c_str(), W_OK, AT_EACCESS) != 0;
        if (old >= 0)
            close(old);
        return failure(number, gone ? Cause::FolderGone : locked ? Cause::FolderLocked : Cause::None);
    }
    // Where the new file cannot carry everything the old one had, the old one is written over.
    if (old >= 0 && !carryOver(path, old, status, temporary, fd)) {
        close(fd);
        unlink(temporary.c_str());
        return writeInPlace(old, bytes);
    }
    if (old >= 0)
        close(old);

    const auto fail = [&](int number) {
        unlink(temporary.c_str());
        return failure(number);
    };
    size_t done = 0;
    if (!writeAll(fd, bytes, done) || fsync(fd) != 0) {
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
