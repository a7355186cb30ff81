#include "platform/safefile.h"

#include "platform/posix/paths.h"

#include <acl/libacl.h>
#include <attr/libattr.h>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace {

Failure failure(const Reached &file, int number, Cause cause = Cause::None)
{
    return Failure{number, cause, shownFolder(file.where)};
}

// Whether the user could write the file, or make one in the folder, by its
// mode: as its owner, or as anyone. Another user's groups and ACL entries are
// not counted, which errs on the side of refusing. Root, and we ourselves,
// are left to the system's own check.
bool couldWrite(uid_t user, const struct stat &status)
{
    return user == 0 || user == geteuid() || (status.st_uid == user && status.st_mode & S_IWUSR) || status.st_mode & S_IWOTH;
}

// Whoever made a link on the way, or could have made a second name in the
// file's folder, could write what it leads to themselves.
bool allowed(const Reached &file, const struct stat &status)
{
    for (const uid_t linker : file.linkers)
        if (!couldWrite(linker, status))
            return false;
    return !S_ISREG(status.st_mode) || status.st_nlink < 2 || couldWrite(file.folderStatus.st_uid, status);
}

// A new name of our own beside the file, made from its name, the process and a
// count. The kernel applies the user's umask to 0666, as for any new file; the
// process's umask is never changed, as it is shared with Qt's threads.
int createBeside(const Reached &file, std::string &temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = "." + file.name + "-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        const int fd = openat(file.folder, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
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
bool carryOver(const Reached &file, int old, const struct stat &status, const std::string &temporary, int fd)
{
    struct stat created{};
    if (fstat(fd, &created) != 0)
        return false;
    if ((created.st_uid != status.st_uid || created.st_gid != status.st_gid) && fchown(fd, status.st_uid, status.st_gid) != 0)
        return false;
    // Only now: a change of owner clears the set-ID bits.
    return fchmod(fd, status.st_mode & 07777) == 0
           && perm_copy_fd(file.name.c_str(), old, temporary.c_str(), fd, nullptr) == 0
           && attr_copy_fd(file.name.c_str(), old, temporary.c_str(), fd, nullptr, nullptr) == 0;
}

// The file itself written over, from its first byte, and cut to length. Nothing
// changes before that byte; a failure after it may leave the old file's tail.
std::optional<Failure> writeInPlace(const Reached &file, int fd, const std::string &bytes)
{
    size_t done = 0;
    const bool written = writeAll(fd, bytes, done) && ftruncate(fd, off_t(bytes.size())) == 0 && fsync(fd) == 0;
    const int number = errno;
    if (close(fd) == 0 && written)
        return std::nullopt;
    return failure(file, written ? errno : number, done ? Cause::PartlyWritten : Cause::None);
}

// Opens the existing file to be written, without changing it, and decides from
// what was opened whether it may be; or says why not.
std::optional<Failure> openToWrite(const Reached &file, int &fd, struct stat &status)
{
    if (S_ISDIR(status.st_mode))
        return failure(file, EISDIR);
    if (!S_ISREG(status.st_mode))
        return failure(file, EPERM, kindOf(status.st_mode));
    fd = openat(file.folder, file.name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    int number = fd < 0 || fstat(fd, &status) != 0 ? errno : 0;
    Cause cause = Cause::None;
    // Root passes the system's check, so the owner's write bit is looked at as well.
    if (!number && !S_ISREG(status.st_mode))
        number = EPERM, cause = kindOf(status.st_mode);
    else if (!number && !(status.st_mode & S_IWUSR))
        number = EACCES;
    else if (!number && !allowed(file, status))
        number = EACCES, cause = Cause::OthersLink;
    if (!number)
        return std::nullopt;
    if (fd >= 0)
        close(fd);
    if (number == EACCES && cause == Cause::None)
        cause = !(status.st_mode & S_IWUSR) ? Cause::ReadOnly : status.st_uid != geteuid() ? Cause::OtherOwner : Cause::None;
    return failure(file, number, cause);
}

// A complete new file beside the old one takes its place; where none can be
// made, or it cannot carry everything the old one had, the old one is written over.
std::optional<Failure> replace(const Reached &file, int old, const struct stat &status, const std::string &bytes)
{
    std::string temporary;
    const int fd = createBeside(file, temporary);
    if (fd < 0) {
        const int number = errno;
        if (old >= 0 && (number == EACCES || number == EPERM))
            return writeInPlace(file, old, bytes);
        const bool gone = number == ENOENT && file.folderStatus.st_nlink == 0;
        const bool locked = number == EACCES && faccessat(file.folder, ".", W_OK, AT_EACCESS) != 0;
        if (old >= 0)
            close(old);
        return failure(file, number, gone ? Cause::FolderGone : locked ? Cause::FolderLocked : Cause::None);
    }
    if (old >= 0 && !carryOver(file, old, status, temporary, fd)) {
        close(fd);
        unlinkat(file.folder, temporary.c_str(), 0);
        return writeInPlace(file, old, bytes);
    }
    if (old >= 0)
        close(old);

    const auto fail = [&](int number) {
        unlinkat(file.folder, temporary.c_str(), 0);
        return failure(file, number);
    };
    size_t done = 0;
    if (!writeAll(fd, bytes, done) || fsync(fd) != 0) {
        const int number = errno;
        close(fd);
        return fail(number);
    }
    if (close(fd) != 0 || renameat(file.folder, temporary.c_str(), file.folder, file.name.c_str()) != 0)
        return fail(errno);

    // The new name must reach the disk too, or a power cut could bring the old file back.
    const int folder = openat(file.folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0 || (fsync(folder) != 0 && errno != EINVAL)) {
        const int number = errno;
        if (folder >= 0)
            close(folder);
        return failure(file, number, Cause::MaybeNotOnDisk);
    }
    close(folder);
    return std::nullopt;
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    Reached file;
    if (const int number = reach(name, file))
        return failure(file, number);
    if (!file.exists)
        return allowed(file, file.folderStatus) ? replace(file, -1, file.status, bytes) : failure(file, EACCES, Cause::OthersLink);

    int old = -1; // opened to be written, and to read its ACL and attributes from
    struct stat status = file.status;
    if (auto refused = openToWrite(file, old, status))
        return refused;
    // Every name must see the new settings, and only root can give a file to another user.
    if (status.st_nlink > 1 || (geteuid() != 0 && status.st_uid != geteuid()))
        return writeInPlace(file, old, bytes);
    return replace(file, old, status, bytes);
}
