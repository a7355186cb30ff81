// The replace and the game's start on Linux: each choice on the real mechanism,
// and under each in turn every call of theirs failed.
#include "tests/fixtures.h"

#include "platform/posix/wineprefix.h"
#include "platform/programstart.h"
#include "platform/safefile.h"

#include <acl/libacl.h>
#include <csignal>
#include <cstdarg>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace {

// Calls of ours, and of the children we start, are wrapped at link time. With
// faultIn = N the Nth of them fails once, with an error it could give; a child
// counts on from where it was forked. bumps = 2 makes the next write short, and
// the one after it interrupted; taken = 1 makes the next new name one that is taken.
int faultIn = 0, bumps = 0, taken = 0;
bool &faultHit = *static_cast<bool *>(mmap(nullptr, 1, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0));

bool due(int error)
{
    if (faultIn == 0 || --faultIn > 0)
        return false;
    faultHit = true;
    errno = error;
    return true;
}

// Runs the action for N = 1, 2, ... until a run hits no fault; after each run,
// the check is told the outcome and whether a fault was hit.
template <class Action, class Check>
void eachFault(Action action, Check check)
{
    for (int n = 1;; ++n) {
        CAPTURE(n);
        faultIn = n;
        faultHit = false;
        const auto outcome = action();
        faultIn = 0;
        check(outcome, faultHit);
        if (!faultHit)
            return;
    }
}

// Each fsync: "file in FOLDER", or "folder FOLDER with WHAT locale.ini HOLDS" then,
// and " failed" where it was made to fail.
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

// Every name below the current folder with its owner, mode, link and
// attributes (ACLs among them), and each file that holds other bytes than
// these, where any are given.
std::string state(const std::string &bytes)
{
    const fs::path compared = fs::temp_directory_path() / ("korvane-bytes-" + std::to_string(testProcess));
    put(compared, bytes);
    const std::string other = "find . -type f ! -exec cmp -s {} '" + compared.string() + "' ';' -printf '%p holds other bytes\\n' | sort";
    FILE *listing = popen(("find . -printf '%p %U:%G %m %l\\n' | sort; find . -print0 | sort -z | xargs -0 getfattr -hd -m - 2>&1; "
                           + (bytes.empty() ? "" : other)).c_str(), "r");
    std::string all(1 << 16, '\0');
    all.resize(fread(all.data(), 1, all.size(), listing));
    pclose(listing);
    fs::remove(compared);
    return all;
}

// Runs the action as nobody, a user with none of root's rights.
template <class Action>
auto asNobody(Action action)
{
    REQUIRE((setegid(65534) == 0 && seteuid(65534) == 0));
    const auto result = action();
    REQUIRE((seteuid(0) == 0 && setegid(0) == 0));
    return result;
}

// The current folder given that ACL, and locale.ini made a link to the file.
void shared(const char *text)
{
    const acl_t acl = acl_from_text(text);
    REQUIRE((acl_set_file(".", ACL_TYPE_ACCESS, acl) | acl_free(acl)) == 0);
    fs::rename("locale.ini", "real.ini"), fs::create_symlink("real.ini", "locale.ini");
}

} // namespace

extern "C" {
#define WRAP(result, call, error, parameters, arguments)                                                       \
    result __real_##call parameters;                                                                           \
    result __wrap_##call parameters { return due(error) ? result(-1) : __real_##call arguments; }
WRAP(ssize_t, read, EINTR, (int fd, void *data, size_t size), (fd, data, size))
WRAP(int, renameat, EIO, (int at, const char *from, int to, const char *name), (at, from, to, name))
WRAP(int, unlinkat, EIO, (int at, const char *path, int flags), (at, path, flags))
WRAP(int, fchmod, EPERM, (int fd, mode_t mode), (fd, mode))
WRAP(int, fchown, EPERM, (int fd, uid_t user, gid_t group), (fd, user, group))
WRAP(int, ftruncate, EIO, (int fd, off_t length), (fd, length))
WRAP(int, stat, EIO, (const char *path, struct stat *status), (path, status))
WRAP(int, lstat, EIO, (const char *path, struct stat *status), (path, status))
WRAP(int, fstat, EIO, (int fd, struct stat *status), (fd, status))
WRAP(ssize_t, readlinkat, EIO, (int at, const char *path, char *to, size_t size), (at, path, to, size))
WRAP(int, access, EIO, (const char *path, int mode), (path, mode))
WRAP(int, faccessat, EIO, (int at, const char *path, int mode, int flags), (at, path, mode, flags))
WRAP(pid_t, fork, EAGAIN, (), ())
WRAP(pid_t, waitpid, EINTR, (pid_t child, int *status, int options), (child, status, options))
WRAP(int, pipe2, EMFILE, (int fds[2], int flags), (fds, flags))
WRAP(int, execve, E2BIG, (const char *file, char *const words[], char *const settings[]), (file, words, settings))
WRAP(int, perm_copy_fd, ENOTSUP, (const char *a, int b, const char *c, int d, error_context *e), (a, b, c, d, e))
WRAP(int, attr_copy_fd, ENOTSUP,
     (const char *a, int b, const char *c, int d, int (*e)(const char *, error_context *), error_context *f),
     (a, b, c, d, e, f))
char *__real_realpath(const char *path, char *resolved);
char *__wrap_realpath(const char *path, char *resolved) { return due(EACCES) ? nullptr : __real_realpath(path, resolved); }
int __real_openat(int at, const char *path, int flags, ...);
int __real_close(int fd);
int __real_fsync(int fd);
ssize_t __real_write(int fd, const void *data, size_t size);

int __wrap_openat(int at, const char *path, int flags, ...)
{
    va_list more;
    va_start(more, flags);
    const mode_t mode = flags & O_CREAT ? va_arg(more, mode_t) : 0;
    va_end(more);
    if (flags & O_EXCL && taken > 0 && taken--)
        return errno = EEXIST, -1;
    return due(EMFILE) ? -1 : __real_openat(at, path, flags, mode);
}
int __wrap_open(const char *path, int flags, mode_t mode) // what open() passes on, read or not
{
    return __wrap_openat(AT_FDCWD, path, flags, mode);
}
int __wrap_close(int fd) // the descriptor is let go even then
{
    const int closed = __real_close(fd);
    return due(EIO) ? -1 : closed;
}
int __real_syncfs(int fd);
// A folder's sync, or its file system's through a file in it, logged alike.
int synced(int fd, int (*sync)(int), bool whole)
{
    struct stat status{};
    const fs::path path = fs::read_symlink("/proc/self/fd/" + std::to_string(fd));
    const bool failed = due(EIO), folder = __real_fstat(fd, &status) == 0 && S_ISDIR(status.st_mode);
    syncs.push_back((folder || whole ? "folder " + (folder ? path : path.parent_path()).string() + " with " + contents("locale.ini")
                                     : "file in " + path.parent_path().string())
                    + (failed ? " failed" : ""));
    return failed ? -1 : sync(fd);
}
int __wrap_fsync(int fd) { return synced(fd, __real_fsync, false); }
int __wrap_syncfs(int fd) { return synced(fd, __real_syncfs, true); }
ssize_t __wrap_write(int fd, const void *data, size_t size)
{
    if (bumps > 0)
        return --bumps ? __real_write(fd, data, 1) : (errno = EINTR, -1);
    struct stat status{};
    const bool pipe = __real_fstat(fd, &status) == 0 && S_ISFIFO(status.st_mode); // never full, but interrupted
    return due(pipe ? EINTR : ENOSPC) ? -1 : __real_write(fd, data, size);
}
}

TEST_CASE("Apply hands back the file as the user had it: replaced, written over in place, or refused for the real cause")
{
    TestFolder folder;
    enum Outcome { Replaced, InPlace, Refused };
    const uid_t root = 0, nobody = 65534;
    struct Row
    {
        const char *what;
        mode_t folderMode, fileMode; // no file for 0
        uid_t owner, by;             // the folder's and the file's; who applies
        void (*also)();
        Outcome outcome;
        Cause cause = Cause::None;
    };
    const Row rows[] = {
        {"the player's own", 0755, 0640, nobody, nobody, {}, Replaced},
        {"the player's, set-ID, by root (sudo)", 0755, 06755, nobody, root, {}, Replaced},
        {"with an ACL for another user and an attribute", 0755, 0644, root, root, [] {
             const acl_t acl = acl_from_text("u::rw-,u:nobody:rw-,g::r--,m::rw-,o::r--");
             REQUIRE((acl_set_file("locale.ini", ACL_TYPE_ACCESS, acl) | setxattr("locale.ini", "user.note", "kept", 4, 0)) == 0);
             acl_free(acl);
         }, Replaced},
        {"through links, from each link's own folder or from the root", 0755, 0640, root, root, [] {
             fs::create_directory("game"), fs::rename("locale.ini", "game/real.ini"), chown("game/real.ini", 0, 65534);
             fs::create_symlink(fs::current_path() / "game/real.ini", "game/whole.ini");
             fs::create_symlink("whole.ini", "game/link.ini"), fs::create_symlink("game/link.ini", "locale.ini");
         }, Replaced},
        {"root's link, placed in the player's folder by the player", 0755, 0600, nobody, root, [] {
             fs::rename("locale.ini", "root.ini"), chown("root.ini", 0, 0), fs::create_symlink("root.ini", "locale.ini");
         }, Refused, Cause::OthersLink},
        {"the player's link to root's link to root's file", 0755, 0600, nobody, root, [] {
             fs::create_directory("r"), fs::rename("locale.ini", "r/x.ini"), chown("r/x.ini", 0, 0), fs::create_symlink("x.ini", "r/l.ini");
             fs::create_symlink("r/l.ini", "locale.ini");
         }, Refused, Cause::OthersLink},
        {"a link in a folder whose ACL lets another user write", 0755, 0644, root, root, [] { shared("u::rwx,u:nobody:rwx,g::r-x,m::rwx,o::r-x"); }, Refused, Cause::OthersLink},
        {"the same, where the ACL's mask lets them not", 0755, 0644, root, root, [] { shared("u::rwx,u:nobody:rwx,g::r-x,m::r-x,o::r-x"); }, Replaced},
        {"to no file in root's folder, from the player's", 0755, 0644, nobody, root, [] {
             fs::create_directory("r"), fs::remove("locale.ini"), fs::create_symlink("r/new.ini", "locale.ini");
         }, Refused, Cause::OthersDanglingLink},
        {"with a second name", 0755, 0644, root, root, [] { fs::create_hard_link("locale.ini", "other.ini"); }, InPlace},
        {"the user's own, in a folder they cannot write", 0755, 0644, root, nobody, [] { chown("locale.ini", 65534, 65534); }, InPlace},
        {"another user's, in a sticky folder", 01777, 0666, root, nobody, {}, InPlace},
        {"another user's, in a sticky folder, not for others to write", 01777, 0644, root, nobody, {}, Refused, Cause::OtherOwner},
        {"read-only, even to root", 0755, 0444, root, root, {}, Refused, Cause::ReadOnly},
        {"the user's own, read-only", 0755, 0444, nobody, nobody, {}, Refused, Cause::ReadOnly},
        {"none, in a folder the user cannot write", 0755, 0, root, nobody, {}, Refused, Cause::FolderLocked},
        {"the player's own, in a folder they may write but not list", 0300, 0644, nobody, nobody, {}, Replaced},
    };
    // Under a folder named in Latin-1 that only its owner may search.
    fs::create_directory("caf\xe9");
    chmod("caf\xe9", 0700);
    const std::string descriptors = held();
    std::string notRun;
    for (const Row &row : rows) {
        const std::string what = row.what, where = (folder.path / "caf\xe9" / what).string();
        CAPTURE(what);
        // Two users need root; any user stands in for one.
        if (geteuid() != 0 && row.owner != row.by) {
            notRun += "\n  " + what;
            continue;
        }
        fs::create_directory(where);
        fs::current_path(where);
        chown(".", row.owner, row.owner);
        chmod(".", row.folderMode);
        if (row.fileMode) {
            put("locale.ini", old);
            chown("locale.ini", row.owner, row.owner);
            chmod("locale.ini", row.fileMode);
            if (row.also)
                row.also();
        }
        const auto before = state(old);
        // The folder that holds the file the name leads to, whether or not the file is there.
        fs::path end = "locale.ini";
        for (int hop = 0; fs::is_symlink(end) && hop < 9; ++hop)
            end = end.parent_path() / fs::read_symlink(end);
        const std::string in = fs::weakly_canonical(fs::absolute(end).parent_path()).string();
        const std::vector<std::string> synced[] = {{"file in " + in, "folder " + in + " with " + applied}, {"file in " + in}, {}};
        struct stat was{}, is{};
        stat("locale.ini", &was);
        eachFault(
            [&] {
                syncs.clear();
                bumps = 2, taken = 1;
                const auto report = row.by == root || geteuid() != 0 ? replaced() : asNobody(replaced);
                bumps = taken = 0;
                return report;
            },
            [&](const std::optional<Failure> &report, bool faulted) {
                stat("locale.ini", &is);
                if (!faulted) {
                    CHECK(report == (row.outcome == Refused ? std::optional(Failure{EACCES, row.cause, in}) : std::nullopt));
                    CHECK((is.st_ino == was.st_ino) == (row.outcome != Replaced));
                    CHECK(syncs == synced[row.outcome]);
                }
                CHECK(state(heldAfter(report, old).value_or("")) == before);
                CHECK(held() == descriptors);
                CHECK((report || std::none_of(syncs.begin(), syncs.end(), [](auto &sync) { return sync.ends_with(" failed"); })));
                for (const auto &entry : fs::recursive_directory_iterator("."))
                    if (!entry.is_symlink() && entry.is_regular_file())
                        put(entry.path(), old);
                stat("locale.ini", &was);
            });
    }
    if (!notRun.empty())
        MESSAGE((std::string("NOT RUN: these rows need root, to act as other users:") + notRun));
}

TEST_CASE("a new file gets what the umask leaves of 0666, alone, and is the folder owner's")
{
    TestFolder folder;
    const mode_t before = umask(021);
    const bool root = chown(".", 65534, 65534) == 0; // made by root, it is the folder owner's
    taken = 1; // its descriptor 0, the first free, after a taken name
    CHECK_FALSE(replaced());
    CHECK(umask(before) == 021);
    struct stat made{};
    CHECK((stat("locale.ini", &made) == 0 && made.st_mode == (S_IFREG | 0646) && made.st_uid == (root ? 65534 : geteuid())));
    CHECK(entries(".") == std::vector<std::string>{"locale.ini"});
}

TEST_CASE("the game is looked up in the current folder, then along PATH, and started, or reported with the folder")
{
    TestFolder folder;
    const std::string here = fs::current_path().string();
    const std::string game = contents(KORVANE_TEST_GAME);
    const auto script = [](const std::string &path, const std::string &body, mode_t mode = 0755) {
        put(path, body), chmod(path.c_str(), mode);
    };
    fs::create_directories("first/korvane.exe"); // passed over: not a program
    put("first/wine", "MZ"); // not a program to start one with
    fs::create_directory("bin");
    script("wine", "#!/bin/sh\nprintf 'wine|%s|%s\\n' \"$*\" \"${WINEPREFIX-unset}\" >> started.log\n");
    fs::create_directory("broken"), script("broken/wine", "#!/nowhere/sh\n");
    // Wine prefixes: one reached through its dosdevices/c:, and another user's.
    REQUIRE(system("mkdir -p pfx/dosdevices pfx/drive_c theirs/drive_c && ln -s ../drive_c pfx/dosdevices/c: "
                   "&& ln -s pfx/dosdevices/c: linked && touch pfx/system.reg theirs/system.reg") == 0);
    const bool root = chown("theirs", 65534, 65534) == 0;
    // Under a HOME of the test's own, four managers' prefixes and files, as each
    // writes them; the stand-in for what each starts logs its name, arguments
    // and the settings it was given. None of the other rows is in their prefixes.
    const std::string home = here + "/home", exe = "/drive_c/korvane.exe";
    const std::string lutris = "home/Games/korvane", old = "home/Games/old", heroic = "home/Games/Heroic/Prefixes/default/Korvane";
    const std::string bottle = "home/.var/app/com.usebottles.bottles/data/bottles/bottles/Korvane";
    const std::string steam = "home/.local/share/Steam", proton = steam + "/steamapps/compatdata/2000";
    const std::string lutrisWine = "/.local/share/lutris/runners/wine/lutris-GE-Proton8-26-x86_64/bin/wine";
    const std::string heroicWine = "/.config/heroic/tools/wine/Wine-GE-Proton8-26/bin/wine";
    for (const std::string &prefix : {lutris, old, heroic, bottle, proton + "/pfx"})
        fs::create_directories(prefix + "/drive_c"), put(prefix + "/system.reg", "");
    for (const char *made : {"home/.config/lutris/games", "home/.config/lutris/runners", "home/.config/heroic/GamesConfig", "home/bin",
                                    "home/.local/share/flatpak/app/com.usebottles.bottles", "home/.local/share/Steam/ubuntu12_32"})
        fs::create_directories(made);
    const std::string stand = "#!/bin/sh\nCURRENT_PREFIX_VERSION=\"8.0-104\"\nPATH=/usr/bin:/bin\n{ printf '%s|%s|' \"${0##*/}\" \"$*\"; env | grep -E "
                              "'^(WINE|STEAM_COMPAT|Steam|PROTON)' | LC_ALL=C sort | tr '\\n' ' '; echo; } >> started.log\n";
    for (const std::string &program : {"home" + lutrisWine, "home" + heroicWine, steam + "/steamapps/common/Proton 8.0/proton", std::string("home/bin/flatpak")})
        fs::create_directories(fs::path(program).parent_path()), script(program, stand);
    // PyYAML, as Lutris writes with it, escapes what is not ASCII.
    std::string escaped = home;
    for (const auto &[from, to] : {std::pair{"\u00e9", "\\xE9"}, {"\u2615", "\\u2615"}})
        for (auto at = escaped.find(from); at != std::string::npos; at = escaped.find(from))
            escaped.replace(at, std::string(from).size(), to);
    put("home/.config/lutris/games/korvane-1733781234.yml", "game:\n  exe: \"" + escaped + "/Games/korvane/drive_c/korvane.exe\"\n  prefix: \""
        + escaped + "/Games/korvane\"\nname: Korvane\nslug: korvane-1733781234\nsystem: {}\nwine:\n  version: lutris-GE-Proton8-26-x86_64\n");
    put("home/.config/lutris/games/old-1733781300.yml", "game:\n  prefix: \"" + escaped + "/Games/old\"\nwine:\n  version: lutris-7.2-2-x86_64\n");
    put("home/.config/lutris/runners/wine.yml", "wine:\n  fsync: false\n");
    put(bottle + "/bottle.yml", "Arch: win64\nCustom_Path: false\nDXVK: dxvk-2.3\nEnvironment: Gaming\nName: Korvane\nParameters:\n"
                                "    dxvk: true\n    sync: fsync\nPath: Korvane\nRunner: soda-9.0-1\nWindows: win10\n");
    put("home/.config/heroic/GamesConfig/Korvane.json", "{\n  \"Korvane\": {\n    \"autoInstallDxvk\": true,\n    \"enableEsync\": true,\n"
        "    \"enableFsync\": false,\n    \"winePrefix\": \"" + home + "/Games/Heroic/Prefixes/default/Korvane\",\n    \"wineVersion\": {\n"
        "      \"bin\": \"" + home + heroicWine + "\",\n      \"name\": \"Wine - Wine-GE-Proton8-26\",\n      \"type\": \"wine\"\n"
        "    }\n  },\n  \"version\": \"v0\",\n  \"explicit\": true\n}\n");
    put(proton + "/version", "8.0-104\n");
    const std::string ownHome = std::getenv("HOME") ? std::getenv("HOME") : "/";
    setenv("HOME", home.c_str(), 1), unsetenv("XDG_CONFIG_HOME"), unsetenv("XDG_DATA_HOME");
    unsetenv("WINEDLLOVERRIDES"), unsetenv("WINEDEBUG"); // as the tests under Wine set them
    // What the game logged, or the report, and what the game logged after it.
    const auto started = [] {
        const auto failure = startProgram("korvane.exe");
        REQUIRE(getpid() == testProcess); // no process of ours but the game's goes on
        for (int i = 0; i < (failure ? 1 : 100) && contents("started.log").find('\n') == std::string::npos; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        const std::string log = contents("started.log");
        fs::remove("started.log");
        return failure ? doctest::toString(failure).c_str() + (log == "<missing>" ? "" : "\nand started: " + log) : log;
    };
    const auto failed = [&](int number, Cause cause = Cause::None, const std::string &in = {}, const std::string &detail = {}) {
        return std::string(doctest::toString(Failure{number, cause, here + in, detail}).c_str());
    };
    // Neither a blocked signal nor one we ignore reaches the game, nor our session.
    const std::string signals = "#!/bin/sh\n{ grep -E '^Sig(Blk|Ign)' /proc/$$/status | tr -d '\\t'\ncut -d' ' -f6 /proc/$$/stat | grep -qx "
                                + std::to_string(getsid(0)) + " || echo 'a session of its own'; } > part.log && mv part.log started.log\n";
    const char *unset = nullptr;
    const struct
    {
        std::string file, body;
        mode_t mode;
        std::string path, outcome;
        const char *wine = nullptr, *prefix = nullptr; // WINE and WINEPREFIX, where set
    } rows[] = {
        {"bin/korvane.exe", game, 0755, "first:bin:/usr/bin:/bin", "korvane.exe|0|" + here + "|-\n"},
        {"korvane.exe", signals, 0755, "/usr/bin:/bin", "SigBlk:0000000000000000\nSigIgn:0000000000000000\na session of its own\n"},
        {"korvane.exe", "MZ\x90", 0644, "first:", "wine|./korvane.exe|unset\n", unset, ""}, // the empty entry is the current folder
        {"bin/korvane.exe", "MZ", 0644, "bin:", "wine|bin/korvane.exe|/own\n", unset, "/own"},
        {"pfx/drive_c/korvane.exe", "MZ", 0644, "pfx/drive_c:", "wine|pfx/drive_c/korvane.exe|" + here + "/pfx\n", unset, ""},
        {"pfx/drive_c/korvane.exe", "MZ", 0644, "linked:", "wine|linked/korvane.exe|" + here + "/pfx\n"},  // by way of dosdevices/c:
        {"pfx/drive_c/korvane.exe", "MZ", 0644, "pfx/drive_c", "wine|pfx/drive_c/korvane.exe|" + here + "/pfx\n", "./wine"},
        {"theirs/drive_c/korvane.exe", "MZ", 0644, "theirs/drive_c:", root ? failed(EPERM, Cause::PrefixNotOwned,
            "/theirs/drive_c", here + "/theirs belongs to nobody") : "wine|theirs/drive_c/korvane.exe|" + here + "/theirs\n"},
        {"bin/korvane.exe", "MZ", 0644, "broken:bin", failed(ENOENT, Cause::WineFailed, "/bin", "broken/wine")},
        {"korvane.exe", "MZ", 0644, "", failed(ENOENT, Cause::WineNamed, "", "/nowhere/wine"), "/nowhere/wine"},
        {lutris + exe, "MZ", 0644, lutris + "/drive_c:home/bin", "wine|" + here + "/" + lutris + exe + "|WINE=" + home + lutrisWine
            + " WINEDEBUG=-all WINEDLLOVERRIDES=d3d10core,d3d11,d3d9,dxgi=n WINEESYNC=1 WINEFSYNC=0 WINEPREFIX=" + here + "/" + lutris + " \n"},
        {old + exe, "MZ", 0644, old + "/drive_c:.", failed(ENOENT, Cause::ManagerMissing, "/" + old + "/drive_c", "Lutris, and its Wine "
            "lutris-7.2-2-x86_64 is not at " + home + "/.local/share/lutris/runners/wine/lutris-7.2-2-x86_64/bin/wine")},
        {bottle + exe, "MZ", 0644, bottle + "/drive_c:home/bin", "flatpak|run --command=bottles-cli com.usebottles.bottles run -b Korvane -e "
            + here + "/" + bottle + exe + "|\n"},
        {heroic + exe, "MZ", 0644, heroic + "/drive_c", "wine|" + here + "/" + heroic + exe + "|WINEESYNC=1 WINEPREFIX=" + here + "/" + heroic + " \n"},
        {proton + "/pfx" + exe, "MZ", 0644, proton + "/pfx/drive_c", "proton|run " + here + "/" + proton + "/pfx" + exe
            + "|STEAM_COMPAT_CLIENT_INSTALL_PATH=" + here + "/" + steam + " STEAM_COMPAT_DATA_PATH=" + here + "/" + proton + " SteamAppId=2000 SteamGameId=2000 \n"},
        {"korvane.exe", game, 0644, "", failed(EACCES, Cause::NotExecutable)},
        {"korvane.exe", "MZ", 0644, "/nowhere", failed(ENOEXEC, Cause::NeedsWine)},
        {"nothing", "", 0755, "/nowhere", failed(ENOENT, Cause::NotFound)},
    };
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
    sigset_t blocked;
    sigemptyset(&blocked);
    sigaddset(&blocked, SIGUSR1);
    sigprocmask(SIG_BLOCK, &blocked, nullptr);
    const std::string before = held();
    for (const auto &row : rows) {
        CAPTURE(row.outcome);
        script(row.file, row.body, row.mode);
        setenv("PATH", row.path.c_str(), 1);
        row.wine ? setenv("WINE", row.wine, 1) : unsetenv("WINE");
        row.prefix ? setenv("WINEPREFIX", row.prefix, 1) : unsetenv("WINEPREFIX");
        eachFault(started, [&](const std::string &outcome, bool faulted) {
            CHECK(outcome.find("\nand started: ") == std::string::npos);
            CHECK(outcome != "<missing>");
            CHECK(held() == before);
            // In a manager's prefix, a failed call is reported, or passed over: no other Wine is started.
            if (!faulted || row.file.starts_with("home/"))
                CHECK((outcome == row.outcome || (faulted && outcome.find("cannot do") != std::string::npos)));
        });
        fs::remove_all(row.file);
    }
    setenv("HOME", ownHome.c_str(), 1);
    sigprocmask(SIG_UNBLOCK, &blocked, nullptr);
    std::signal(SIGPIPE, SIG_DFL);
    std::signal(SIGXFSZ, SIG_DFL);
}

TEST_CASE("a Windows game's Wine prefix: the user's own choice, else the nearest found with a registry, never another user's")
{
    const unsigned us = 1000, other = 1001;
    const std::optional<PrefixFolder> none;
    const PrefixFolder pfx{"/g/pfx", true, us}, bare{"/g/zip", false, us}, theirs{"/g/theirs", true, other};
    const struct
    {
        const char *what;
        std::optional<PrefixFolder> chosen;
        std::vector<PrefixFolder> found;
        PrefixChoice choice;
        std::optional<PrefixFolder> standard = {};
    } rows[] = {
        {"none", none, {}, {}},
        {"Wine's default, the user's own, left to Wine", none, {}, {}, PrefixFolder{"/h/.wine", true, us}},
        {"Wine's default, another user's", none, {}, {"/h/.wine", false, Cause::PrefixNotOwned, other}, PrefixFolder{"/h/.wine", true, other}},
        {"found, whatever the default", none, {bare, pfx}, {"/g/pfx", true}, theirs},
        {"the user's choice, kept", PrefixFolder{"/own", false, us}, {pfx}, {"/own"}},
        {"a choice not made yet", PrefixFolder{"/new"}, {pfx}, {"/new"}},
        {"another user's, found", none, {theirs, pfx}, {"/g/theirs", true, Cause::PrefixNotOwned, other}},
        {"another user's, chosen", theirs, {pfx}, {"/g/theirs", false, Cause::PrefixNotOwned, other}},
        {"a relative choice", PrefixFolder{"own"}, {pfx}, {"own", false, Cause::PrefixRelative}},
    };
    for (const auto &row : rows) {
        CAPTURE(row.what);
        const PrefixChoice choice = choosePrefix({row.chosen, row.found, us, row.standard});
        CHECK((choice.path == row.choice.path && choice.ours == row.choice.ours && choice.refused == row.choice.refused
               && choice.owner == row.choice.owner));
    }
    // Nearest first; Wine's Desktop link leads out of the prefix, so the way as given counts too.
    CHECK(prefixCandidates("/g/pfx/drive_c/in/drive_c/Korvane") == std::vector<std::string>{"/g/pfx/drive_c/in", "/g/pfx"});
    CHECK(prefixCandidates("/h/.wine-k/drive_c/users/p/Desktop/Korvane") == std::vector<std::string>{"/h/.wine-k"});
    CHECK(prefixCandidates("/drive_c") == std::vector<std::string>{"/"});
    CHECK(prefixCandidates("/g/my_drive_c/x").empty());
}
