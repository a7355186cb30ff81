// The replace and the game lookup on Linux, through their real failure mechanisms.
#include "tests/testfolder.h"

#include "platform/programstart.h"
#include "platform/safefile.h"

#include <csignal>
#include <grp.h>
#include <cstdlib>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

const std::string old = "WINDOWED =1\r\nRESOLUTION =640x480x16\r\nGAMMA =1.2\r\n";
const std::string applied = "WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n";

std::string replaced() // "" when it worked, else the report
{
    const auto failure = replaceFile("locale.ini", applied);
    return failure ? "Error " + std::to_string(failure->number) + ": " + failure->description : "";
}

// The same, from a child running as the unprivileged user "nobody".
std::string replacedAsNobody()
{
    int out[2];
    REQUIRE(pipe(out) == 0);
    if (fork() == 0) {
        const bool nobody = setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0
                            && setresuid(65534, 65534, 65534) == 0;
        const std::string report = nobody ? replaced() : "<still root>";
        _exit(write(out[1], report.data(), report.size()) < 0);
    }
    close(out[1]);
    char buffer[512] = {};
    const ssize_t got = read(out[0], buffer, sizeof buffer - 1);
    close(out[0]), wait(nullptr);
    return got >= 0 ? buffer : "<no report>";
}

void script(const std::string &path, const std::string &body, mode_t mode = 0755)
{
    put(path, body), chmod(path.c_str(), mode);
}

// Stands in for the game: logs its name, arguments and folder.
const std::string game = "#!/bin/sh\nprintf '%s|%s|%s\\n' \"$(basename \"$0\")\" \"$*\" \"$(pwd)\" >> started.log\n";

std::string startedLog()
{
    for (int i = 0; i < 50 && !fs::exists("started.log"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    return fs::exists("started.log") ? contents("started.log") : "";
}

// Linked in place of fsync(): when a folder is synced, is the new file already in it?
std::vector<std::string> folderSyncsSaw;

} // namespace

extern "C" int __real_fsync(int fd);
extern "C" int __wrap_fsync(int fd)
{
    struct stat status{};
    if (fstat(fd, &status) == 0 && S_ISDIR(status.st_mode))
        folderSyncsSaw.push_back(contents("locale.ini"));
    return __real_fsync(fd);
}

TEST_CASE("the replace refuses what it must not touch, with the real cause, and keeps the old file")
{
    TestFolder folder;
    const auto refused = [&](const std::string &report) {
        CHECK(replaced() == report);
        return entries(".");
    };

    SUBCASE("a write that fails half-way")
    {
        put("locale.ini", old);
        rlimit saved{};
        getrlimit(RLIMIT_FSIZE, &saved);
        const rlimit tiny{12, saved.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN); // as the program does
        setrlimit(RLIMIT_FSIZE, &tiny);
        const std::string report = replaced();
        setrlimit(RLIMIT_FSIZE, &saved), std::signal(SIGXFSZ, handler);
        CHECK(report == "Error 27: cannot write \"locale.ini\": File too large");
        CHECK(contents("locale.ini") == old);
        CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
    }
    SUBCASE("links: followed to the game's file, whose folder is synced after; a loop refused")
    {
        fs::create_directory("game");
        put("game/real.ini", old);
        chmod("game/real.ini", 0640);
        fs::create_symlink("game/real.ini", "locale.ini");
        folderSyncsSaw.clear();
        CHECK(replaced().empty());
        CHECK(folderSyncsSaw == std::vector<std::string>{applied});
        CHECK(contents("game/real.ini") == applied);
        CHECK(fs::read_symlink("locale.ini") == "game/real.ini");
        CHECK((fs::status("game/real.ini").permissions() & fs::perms::all) == fs::perms(0640));
        CHECK(entries("game") == std::vector<std::string>{"real.ini"});

        fs::remove("locale.ini");
        fs::create_symlink("other.ini", "locale.ini");
        fs::create_symlink("locale.ini", "other.ini");
        CHECK(refused("Error 40: cannot write \"locale.ini\": Too many levels of symbolic links")
              == std::vector<std::string>{"game", "locale.ini", "other.ini"});
        CHECK(fs::read_symlink("locale.ini") == "other.ini");
    }
    SUBCASE("a named pipe, without waiting on it")
    {
        REQUIRE(mkfifo("locale.ini", 0644) == 0);
        refused("Error 1: cannot write \"locale.ini\": Operation not permitted (it is a named pipe, not a regular file)");
        CHECK(fs::is_fifo("locale.ini"));
    }
    SUBCASE("a file system mounted read-only")
    {
        fs::create_directory("mount");
        if (mount("tmpfs", "mount", "tmpfs", 0, nullptr) != 0) {
            MESSAGE("cannot mount here; not checked");
            return;
        }
        put("mount/locale.ini", old);
        REQUIRE(mount("tmpfs", "mount", "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) == 0);
        fs::current_path("mount");
        const std::string report = replaced();
        fs::current_path("..");
        CHECK(contents("mount/locale.ini") == old);
        umount("mount");
        CHECK(report == "Error 30: cannot write \"locale.ini\": Read-only file system");
    }
    SUBCASE("a working folder that was deleted")
    {
        fs::create_directory("gone");
        fs::current_path("gone");
        fs::remove(folder.path / "gone");
        CHECK(replaced() == "Error 2: cannot write \"locale.ini\": No such file or directory (the folder no longer exists)");
    }
}

TEST_CASE("another user: a folder named in Latin-1 under one they cannot search, and one they cannot write")
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

    fs::current_path("caf\xe9/game");
    CHECK(replacedAsNobody().empty());
    CHECK(contents("locale.ini") == applied);
    fs::current_path(folder.path / "locked");
    CHECK(replacedAsNobody() == "Error 13: cannot write \"locale.ini\": Permission denied");
    CHECK(contents("locale.ini") == old);
    CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
}

TEST_CASE("the game is looked up in the current folder, then along PATH, and a bad file is reported")
{
    TestFolder folder;
    const std::string here = fs::current_path().string();
    fs::create_directory("bin");
    script("bin/korvane.exe", game);
    script("bin/wine", "#!/bin/sh\nprintf 'wine|%s\\n' \"$*\" >> started.log\n");
    setenv("PATH", "bin:/usr/bin:/bin", 1); // a relative entry, as the shell takes it
    const auto started = [](const std::string &name) {
        const auto failure = startProgram(name);
        return failure ? "Error " + std::to_string(failure->number) + ": " + failure->description : startedLog();
    };

    SUBCASE("found and started")
    {
        CHECK(started("korvane.exe") == "korvane.exe||" + here + "\n");
        fs::remove("started.log");
        put("korvane.exe", "MZ\x90");
        CHECK(started("korvane.exe") == "wine|./korvane.exe\n");
        fs::create_directory("caf\xe9");
        script("caf\xe9/korvane.exe", game);
        fs::current_path("caf\xe9");
        CHECK(started("korvane.exe") == "korvane.exe||" + here + "/caf\xe9\n");
    }
    SUBCASE("reported, never blocking")
    {
        const std::string cannot = "cannot start \"" + here + "/korvane.exe\": ";
        const auto reported = [&](const std::string &report) {
            CHECK(started("korvane.exe") == report);
            fs::remove_all("korvane.exe");
        };
        REQUIRE(mkfifo("korvane.exe", 0755) == 0);
        reported("Error 13: " + cannot + "Permission denied (it is not a regular file)");
        script("korvane.exe", game, 0644);
        reported("Error 13: " + cannot + "Permission denied (the file is not marked executable)");
        script("korvane.exe", "#!/nowhere/sh\n");
        reported("Error 2: " + cannot + "No such file or directory");
        put("korvane.exe", "MZ");
        setenv("PATH", "/nowhere", 1);
        reported("Error 8: " + cannot + "it is a Windows program, and wine is needed to start it (no wine was found on PATH)");
        CHECK(started("korvane.exe") == "Error 2: cannot start \"korvane.exe\": No such file or directory (looked in the current folder and along PATH)");
        CHECK_FALSE(fs::exists("started.log"));
    }
}
