#include "platform/safefile.h"

#include "platform/posix/walk.h"
#include "platform/writerule.h"

#include <acl/libacl.h>
#include <attr/libattr.h>
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

// Reach, decide, then replace or write in place: the file is walked to one
// name at a time, whether it may be written is decided on what was opened,
// and what was decided on is what is written.
namespace {

Failure failure(const Reached &file, int number, Cause cause = Cause::None)
{
    return Failure{number, cause, shownFolder(file.where)};
}

// What the link rule asks about the way to the file, or to the folder a new
// one would go in. Root may write anything.
WayFacts wayFacts(const Reached &file, const struct stat &target, const Rights &rights)
{
    WayFacts facts{unsigned(geteuid()), 0u, file.links, std::nullopt, file.exists, rights};
    if (file.exists && target.st_nlink > 1)
        facts.secondName = Way{unsigned(target.st_uid), file.folderRights};
    return facts;
}

// A new name of our own beside the file, made from its name, the process and a
// count. The kernel applies the user's umask to 0666, as for any new file; the
// process's umask is never changed, as it is shared with Qt's threads.
Fd createBeside(const Reached &file, std::string &temporary)
{
    for (int attempt = 0; attempt < 100; ++attempt) {
        temporary = "." + file.name + "-" + std::to_string(getpid()) + "-" + std::to_string(attempt);
        Fd fd(openat(file.folder.get(), temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd || errno != EEXIST)
            return fd;
    }
    return Fd();
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

// Gives the new file that owner and group, where it has not got them already
// (as on a drive that shows the mount's).
bool giveTo(int fd, const struct stat &status)
{
    struct stat created{};
    return fstat(fd, &created) == 0
           && ((created.st_uid == status.st_uid && created.st_gid == status.st_gid) || fchown(fd, status.st_uid, status.st_gid) == 0);
}

// Gives the new file all the old one had: owner and group (root gives them
// back, a user only a group of theirs), mode, ACL and extended attributes.
bool carryOver(const Reached &file, int old, const struct stat &status, const std::string &temporary, int fd)
{
    if (!giveTo(fd, status))
        return false;
    // Only now: a change of owner clears the set-ID bits.
    return fchmod(fd, status.st_mode & 07777) == 0
           && perm_copy_fd(file.name.c_str(), old, temporary.c_str(), fd, nullptr) == 0
           && attr_copy_fd(file.name.c_str(), old, temporary.c_str(), fd, nullptr, nullptr) == 0;
}

// The file itself written over, from its first byte, and cut to length. Nothing
// changes before that byte; a failure after it may leave the old file's tail,
// and one after the whole was written only its sync.
std::optional<Failure> writeInPlace(const Reached &file, Fd fd, const std::string &bytes)
{
    size_t done = 0;
    if (!writeAll(fd.get(), bytes, done) || ftruncate(fd.get(), off_t(bytes.size())) != 0)
        return failure(file, errno, done ? Cause::PartlyWritten : Cause::None);
    if (fsync(fd.get()) != 0 || fd.close() != 0)
        return failure(file, errno, Cause::MaybeNotOnDisk);
    return std::nullopt;
}

// Opens the existing regular file to be written, without changing it, and
// gathers its status from what was opened; or says why it cannot be.
std::optional<Failure> openToWrite(const Reached &file, Fd &fd, struct stat &status)
{
    fd = Fd(openat(file.folder.get(), file.name.c_str(), O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    if (!fd || fstat(fd.get(), &status) != 0) {
        const int number = errno;
        const bool denied = number == EACCES;
        return failure(file, number, !denied ? Cause::None
                                     : !(status.st_mode & S_IWUSR) ? Cause::ReadOnly
                                     : status.st_uid != geteuid()  ? Cause::OtherOwner
                                                                   : Cause::None);
    }
    return std::nullopt;
}

// The new name must reach the disk too, or a power cut could bring the old
// file back. A folder that may be written but not read cannot be opened to be
// synced: its whole file system is, through the new file.
int syncFolder(const Reached &file, const Fd &written)
{
    const Fd folder(openat(file.folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!folder)
        return errno != EACCES ? errno : syncfs(written.get()) == 0 ? 0 : errno;
    return fsync(folder.get()) == 0 || errno == EINVAL ? 0 : errno;
}

// A complete new file beside the old one takes its place; where none can be
// made, or it cannot carry everything the old one had, the old one is written
// over. The status is the old file's, or where there is none its folder's.
std::optional<Failure> replace(const Reached &file, Fd old, const struct stat &status, const std::string &bytes)
{
    std::string temporary;
    Fd fd = createBeside(file, temporary);
    if (!fd) {
        const int number = errno;
        // Whether the folder may be written is asked only where it could change the outcome.
        const bool writable = !(number == EACCES && !old && faccessat(file.folder.get(), ".", W_OK, AT_EACCESS) != 0);
        const WriteDecision decision = withoutNewFile(bool(old), number == EACCES || number == EPERM, writable);
        return decision.how == Write::InPlace ? writeInPlace(file, std::move(old), bytes)
                                              : failure(file, number, decision.cause);
    }
    const auto fail = [&](int number) {
        unlinkat(file.folder.get(), temporary.c_str(), 0);
        return failure(file, number);
    };
    if (old && !carryOver(file, old.get(), status, temporary, fd.get())) {
        fd = Fd();
        fail(0);
        return writeInPlace(file, std::move(old), bytes);
    }
    // Root's first file in a player's folder is the player's, as theirs would be.
    if (!old && geteuid() == 0 && status.st_uid != 0 && !giveTo(fd.get(), status))
        return fail(errno);
    old = Fd();
    size_t done = 0;
    if (!writeAll(fd.get(), bytes, done) || fsync(fd.get()) != 0
        || renameat(file.folder.get(), temporary.c_str(), file.folder.get(), file.name.c_str()) != 0)
        return fail(errno);
    if (const int number = syncFolder(file, fd))
        return failure(file, number, Cause::MaybeNotOnDisk);
    if (fd.close() != 0)
        return failure(file, errno, Cause::MaybeNotOnDisk);
    return std::nullopt;
}

} // namespace

std::optional<Failure> replaceFile(const std::string &name, const std::string &bytes)
{
    Reached file;
    if (const int number = walk(name, file))
        return failure(file, number);
    Fd old; // opened to be written, and to read its ACL and attributes from
    struct stat status = file.exists ? file.status : file.folderStatus;
    Rights rights = file.folderRights; // what is not opened is refused for its kind first
    WriteFacts facts{.exists = file.exists};
    if (file.exists) {
        // A folder, pipe or device is never opened.
        if (S_ISREG(status.st_mode)) {
            if (auto refused = openToWrite(file, old, status))
                return refused;
            if (const int number = rightsOf(old.get(), status, rights))
                return failure(file, number);
        }
        facts.kind = S_ISDIR(status.st_mode) ? Cause::Folder : S_ISREG(status.st_mode) ? Cause::None : notFileCause(status.st_mode);
        // Root passes the system's check, so the owner's write bit is looked at as well.
        facts.readOnly = !(status.st_mode & S_IWUSR);
        facts.oneName = status.st_nlink <= 1;
        // Only root can give a file to another user.
        facts.canCarryOver = geteuid() == 0 || status.st_uid == geteuid();
    }
    facts.way = followable(wayFacts(file, status, rights));
    const WriteDecision decision = howToWrite(facts);
    switch (decision.how) {
    case Write::Refuse:
        if (decision.cause == Cause::Folder)
            return failure(file, EISDIR);
        return failure(file, facts.kind != Cause::None ? EPERM : EACCES, decision.cause);
    case Write::InPlace: return writeInPlace(file, std::move(old), bytes);
    case Write::Replace: break;
    }
    return replace(file, std::move(old), status, bytes);
}
