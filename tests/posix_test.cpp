// The replace and the game lookup on Linux, through real failures and ones made on demand.
#include "tests/testfolder.h"

#include "platform/programstart.h"
#include "platform/safefile.h"

#include <csignal>
#include <cstdarg>
#include <cstdlib>
#include <fcntl.h>
#include <map>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Calls of ours to open, fsync, write, fork, waitpid and read are wrapped at link
// time, and each fails on demand: faults[call] = {N, error} makes the Nth from
// now give -1 with that error (a write: 0 for error 0, or only its first byte
// for "short write").
struct Fault
{
    int countdown = 0, error = 0;
};
std::map<std::string, Fault> faults;

bool due(const std::string &call)
{
    Fault &fault = faults[call];
    return fault.countdown && --fault.countdown == 0 && ((errno = fault.error), true);
}

// Faults not yet due are dropped after each action.
std::optional<Failure> replaced()
{
    const auto failure = replaceFile("locale.ini", applied);
    faults.clear();
    return failure;
}

// Each fsync: "file in FOLDER", or "folder FOLDER with WHAT locale.ini HOLDS" then.
std::vector<std::string> syncs;

const pid_t testProcess = getpid();

// Started without standard input, as a launcher may start the program: 0 is
// then the first descriptor free, and a good one.
[[maybe_unused]] const int noInput = close(0);

// What this process holds: its descriptors, and whether any child is left to reap.
std::string held()
{
    std::string all = waitpid(-1, nullptr, WNOHANG) == -1 ? "no child;" : "a child;";
    for (const std::string &name : entries("/proc/self/fd"))
        all += " " + name;
    return all;
}

} // namespace

extern "C" {
int __real_open(const char *path, int flags, ...);
int __real_fsync(int fd);
ssize_t __real_write(int fd, const void *data, size_t size);
pid_t __real_fork();
pid_t __real_waitpid(pid_t child, int *status, int options);
ssize_t __real_read(int fd, void *data, size_t size);

int __wrap_open(const char *path, int flags, ...)
{
    va_list more;
    va_start(more, flags);
    const mode_t mode = flags & O_CREAT ? va_arg(more, mode_t) : 0;
    va_end(more);
    return due("open") ? -1 : __real_open(path, flags, mode);
}
int __wrap_fsync(int fd)
{
    struct stat status{};
    char path[4096] = {};
    fstat(fd, &status);
    const ssize_t length = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path, sizeof path - 1);
    const fs::path file(std::string(path, size_t(std::max<ssize_t>(length, 0))));
    syncs.push_back(S_ISDIR(status.st_mode) ? "folder " + file.string() + " with " + contents("locale.ini")
                                            : "file in " + file.parent_path().string());
    return due("fsync") ? -1 : __real_fsync(fd);
}
ssize_t __wrap_write(int fd, const void *data, size_t size)
{
    if (due("short write"))
        return __real_write(fd, data, 1);
    return due("write") ? (errno ? -1 : 0) : __real_write(fd, data, size);
}
pid_t __wrap_fork() { return due("fork") ? -1 : __real_fork(); }
pid_t __wrap_waitpid(pid_t child, int *status, int options)
{
    return due("waitpid") ? -1 : __real_waitpid(child, status, options);
}
ssize_t __wrap_read(int fd, void *data, size_t size) { return due("read") ? -1 : __real_read(fd, data, size); }
}

TEST_CASE("the replace refuses what it must not touch, with the real cause, and keeps the old file")
{
    TestFolder folder;
    const std::string here = fs::current_path().string();

    SUBCASE("links: followed from each link's own folder, or from the root; the new file made, synced and named there")
    {
        fs::create_directory("game");
        put("game/real.ini", old);
        chmod("game/real.ini", 0640);
        fs::create_symlink(here + "/game/real.ini", "game/whole.ini");
        fs::create_symlink("whole.ini", "game/link.ini");
        fs::create_symlink("game/link.ini", "locale.ini");
        syncs.clear();
        const std::string before = held();
        // A name that is taken; then one byte written, an interruption, and the rest.
        faults = {{"open", {1, EEXIST}}, {"short write", {1, 0}}, {"write", {1, EINTR}}};
        CHECK_FALSE(replaced());
        CHECK(held() == before);
        CHECK(syncs == std::vector<std::string>{"file in " + here + "/game", "folder " + here + "/game with " + applied});
        CHECK(contents("game/real.ini") == applied);
        CHECK(fs::read_symlink("locale.ini") == "game/link.ini");
        CHECK((fs::status("game/real.ini").permissions() & fs::perms::all) == fs::perms(0640));
        CHECK(entries("game") == std::vector<std::string>{"link.ini", "real.ini", "whole.ini"});
        // As the kernel has it: 40 links in a chain are followed, 41 are too many, as a loop is.
        put("hop0.ini", old);
        for (int hop = 1; hop <= 41; ++hop)
            fs::create_symlink("hop" + std::to_string(hop - 1) + ".ini", "hop" + std::to_string(hop) + ".ini");
        CHECK_FALSE(replaceFile("hop40.ini", applied));
        CHECK(replaceFile("hop41.ini", applied) == Failure{ELOOP, Cause::None, here});
        CHECK(fs::is_symlink("hop41.ini"));
    }
    SUBCASE("a new file gets what the umask leaves of 0666, and keeps the umask; an existing one keeps its own")
    {
        const auto mode = [] { return int(fs::status("locale.ini").permissions() & fs::perms::all); };
        const mode_t before = umask(021);
        CHECK_FALSE(replaced());
        CHECK(umask(before) == 021);
        CHECK(mode() == 0646);
        chmod("locale.ini", 0604);
        CHECK_FALSE(replaced());
        CHECK(mode() == 0604);
    }
    SUBCASE("a write or a sync that fails: the old file kept and nothing left, or the new one in place and said so")
    {
        put("locale.ini", old);
        const std::string before = held();
        const Failure cannot{EIO, Cause::None, here};
        faults = {{"write", {1, 0}}}; // nothing written
        CHECK(replaced() == cannot);
        faults = {{"fsync", {1, EIO}}};
        CHECK(replaced() == cannot);
        CHECK(contents("locale.ini") == old);
        CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
        faults = {{"fsync", {2, EIO}}};
        CHECK(replaced() == Failure{EIO, Cause::MaybeNotOnDisk, here});
        CHECK(contents("locale.ini") == applied);
        CHECK(held() == before);
    }
    SUBCASE("a named pipe, without waiting on it, or a device")
    {
        REQUIRE(mkfifo("locale.ini", 0644) == 0);
        CHECK(replaced() == Failure{EPERM, Cause::NamedPipe, here});
        CHECK(fs::is_fifo("locale.ini"));
        fs::remove("locale.ini");
        if (mknod("locale.ini", S_IFCHR | 0666, makedev(1, 3)) != 0) { // /dev/null's, but never /dev/null itself
            MESSAGE("cannot make a device here; not checked");
            return;
        }
        CHECK(replaced() == Failure{EPERM, Cause::Device, here});
        CHECK(fs::is_character_file("locale.ini"));
    }
    SUBCASE("a file system mounted read-only, with the file or without")
    {
        fs::create_directory("mount");
        if (mount("tmpfs", "mount", "tmpfs", 0, nullptr) != 0) {
            MESSAGE("cannot mount here; not checked");
            return;
        }
        put("mount/locale.ini", old);
        fs::create_directory("mount/new");
        REQUIRE(mount("tmpfs", "mount", "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        fs::current_path("mount");
        const auto report = replaced();
        fs::current_path("new");
        const auto created = replaced();
        fs::current_path(here);
        CHECK(contents("mount/locale.ini") == old);
        umount("mount");
        CHECK(report == Failure{EROFS, Cause::None, here + "/mount"});
        CHECK(created == Failure{EROFS, Cause::None, here + "/mount/new"});
    }
    SUBCASE("a working folder that was deleted")
    {
        fs::create_directory("gone");
        fs::current_path("gone");
        fs::remove(folder.path / "gone");
        CHECK(replaced() == Failure{ENOENT, Cause::FolderGone, ""});
    }
}

TEST_CASE("another user: a folder named in Latin-1 under one they cannot search, one they cannot write, a file they cannot read")
{
    if (geteuid() != 0) {
        MESSAGE("needs root to act as another user; not checked");
        return;
    }
    TestFolder folder;
    fs::create_directories("caf\xe9/game");
    fs::create_directory("locked");
    put("locked/locale.ini", old);
    chmod("locked/locale.ini", 0666);
    chmod("caf\xe9/game", 0777);
    chmod("caf\xe9", 0700); // only root may search it
    chmod("locked", 0555);
    const auto asNobody = [](std::optional<Failure> (*action)()) {
        REQUIRE((setegid(65534) == 0 && seteuid(65534) == 0));
        const auto report = action();
        REQUIRE((seteuid(0) == 0 && setegid(0) == 0));
        return report;
    };

    fs::current_path("caf\xe9/game");
    CHECK_FALSE(asNobody(replaced));
    CHECK(contents("locale.ini") == applied);
    fs::current_path(folder.path / "locked");
    const std::string locked = (folder.path / "locked").string();
    CHECK(asNobody(replaced) == Failure{EACCES, Cause::FolderLocked, locked});
    CHECK(contents("locale.ini") == old);
    CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
    // A file the user cannot read is not taken for a Windows program.
    put("korvane.exe", "MZ");
    chmod("korvane.exe", 0600);
    setenv("PATH", "/nowhere", 1); // no wine to start, whatever it is taken for
    CHECK(asNobody([] { return startProgram("korvane.exe"); }) == Failure{EACCES, Cause::NotExecutable, locked});
}

TEST_CASE("the game is looked up in the current folder, then along PATH, and a bad file is reported")
{
    TestFolder folder;
    const std::string here = fs::current_path().string();
    const auto script = [](const std::string &path, const std::string &body, mode_t mode = 0755) {
        put(path, body), chmod(path.c_str(), mode);
    };
    // Stands in for the game: logs its name, arguments and folder.
    const std::string game = "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$(basename \"$0\")\" \"$*\" \"$(pwd)\" >> started.log\n";
    fs::create_directories("first/korvane.exe"); // passed over: not a program
    fs::create_directory("bin");
    script("bin/korvane.exe", game);
    script("wine", "#!/bin/sh\nprintf 'wine|%s\\n' \"$*\" >> started.log\n");
    setenv("PATH", "first:bin:/usr/bin:/bin", 1); // relative entries, as the shell takes them
    // What the game logged, or the failure's report.
    const auto started = [](const std::string &name) {
        const auto failure = startProgram(name);
        faults.clear();
        REQUIRE(getpid() == testProcess); // no process of ours but the game's goes on
        for (int i = 0; !failure && i < 50 && contents("started.log").find('\n') == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        return failure ? doctest::toString(failure).c_str() : contents("started.log");
    };

    SUBCASE("found and started, with nothing of ours inherited or kept")
    {
        const std::string before = held();
        CHECK(started("korvane.exe") == "korvane.exe||" + here + "\n");
        CHECK(held() == before);
        // Neither a blocked signal nor one we ignore reaches the game, nor our session.
        std::signal(SIGPIPE, SIG_IGN);
        std::signal(SIGXFSZ, SIG_IGN);
        sigset_t blocked;
        sigemptyset(&blocked);
        sigaddset(&blocked, SIGUSR1);
        sigprocmask(SIG_BLOCK, &blocked, nullptr);
        fs::remove("started.log");
        script("korvane.exe", "#!/bin/sh\n{ grep -E '^Sig(Blk|Ign)' /proc/$$/status | tr -d '\\t'\n"
                              "cut -d' ' -f6 /proc/$$/stat | grep -qx " + std::to_string(getsid(0))
                                  + " || echo 'a session of its own'; } > part.log && mv part.log started.log\n");
        CHECK(started("korvane.exe") == "SigBlk:0000000000000000\nSigIgn:0000000000000000\na session of its own\n");
        sigprocmask(SIG_UNBLOCK, &blocked, nullptr);
        std::signal(SIGPIPE, SIG_DFL);
        std::signal(SIGXFSZ, SIG_DFL);
        fs::remove("korvane.exe");
        fs::remove("started.log");
        put("korvane.exe", "MZ\x90");
        put("first/wine", "MZ"); // not a program to start it with
        setenv("PATH", "first:", 1); // the empty entry is the current folder
        CHECK(started("korvane.exe") == "wine|./korvane.exe\n");
        fs::remove("korvane.exe");
        fs::remove("started.log");
        script("bin/korvane.exe", "MZ", 0644); // a Windows program along PATH too
        setenv("PATH", "bin:", 1);
        CHECK(started("korvane.exe") == "wine|bin/korvane.exe\n");
    }
    SUBCASE("reported with the folder, never blocking")
    {
        const auto failed = [&](int number, Cause cause = Cause::None, const std::string &in = {}) {
            return std::string(doctest::toString(Failure{number, cause, here + in}).c_str());
        };
        const auto reports = [&](int number, Cause cause = Cause::None) {
            CHECK(started("korvane.exe") == failed(number, cause));
            fs::remove_all("korvane.exe");
        };
        const std::string before = held();
        REQUIRE(mkfifo("korvane.exe", 0755) == 0);
        reports(EACCES, Cause::NotRegular);
        script("korvane.exe", game, 0644);
        reports(EACCES, Cause::NotExecutable);
        script("korvane.exe", "#!/nowhere/sh\n");
        faults = {{"waitpid", {1, EINTR}}, {"read", {2, EINTR}}}; // the first read is of the file itself
        reports(ENOENT);
        for (const int fork : {1, 2}) { // ours, or the one that starts the game
            script("korvane.exe", game);
            faults = {{"fork", {fork, EAGAIN}}};
            reports(EAGAIN);
        }
        fs::create_directory("korvane.exe");
        reports(EISDIR);
        put("korvane.exe", "MZ");
        setenv("PATH", "/nowhere", 1);
        reports(ENOEXEC, Cause::NeedsWine);
        CHECK(started("korvane.exe") == failed(ENOENT, Cause::NotFound));
        script("bin/korvane.exe", "#!/nowhere/sh\n"); // found along a whole path, and named by it
        setenv("PATH", (here + "/bin").c_str(), 1);
        CHECK(started("korvane.exe") == failed(ENOENT, Cause::None, "/bin"));
        CHECK_FALSE(fs::exists("started.log"));
        CHECK(held() == before);
    }
}
