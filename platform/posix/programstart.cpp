#include "platform/programstart.h"

#include "platform/posix/managerfiles.h"
#include "platform/posix/walk.h"
#include "platform/posix/wineprefix.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A bare name is looked up in the current directory first, then along PATH.
// Paths stay relative where they were found, so a folder name that is not
// valid text, or a parent that cannot be searched, does not stand in the way.
namespace {

// The folder that holds it, as the path names it.
std::string folderPart(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "" : slash == 0 ? "/" : path.substr(0, slash);
}

// Never blocks: a named pipe is opened without waiting and then refused.
bool isWindowsProgram(const std::string &path)
{
    const Fd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    struct stat status{};
    char magic[2] = {};
    return fd && fstat(fd.get(), &status) == 0 && S_ISREG(status.st_mode) && read(fd.get(), magic, 2) == 2
           && magic[0] == 'M' && magic[1] == 'Z';
}

bool isRegular(const std::string &path)
{
    struct stat status{};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// Along PATH only what could be started counts; an empty entry is the current
// folder. Without PATH, the system's default, as execvp has it.
std::string findAlongPath(const std::string &name, bool windowsToo)
{
    const char *variable = std::getenv("PATH");
    std::string folders(variable ? 0 : confstr(_CS_PATH, nullptr, 0), '\0');
    if (variable)
        folders = variable;
    else if (!folders.empty())
        folders.resize(confstr(_CS_PATH, folders.data(), folders.size()) - 1);
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string candidate = joinPath(folders.substr(start, end - start), name);
        if (isRegular(candidate)
            && (access(candidate.c_str(), X_OK) == 0 || (windowsToo && isWindowsProgram(candidate))))
            return candidate;
        start = end + 1;
    }
    return {};
}

// The current folder as the shell named it, links and all, where PWD still
// names it; else as the system resolves it.
std::string givenFolder()
{
    const char *named = std::getenv("PWD");
    struct stat there{}, here{};
    if (named && named[0] == '/' && stat(named, &there) == 0 && stat(".", &here) == 0 && there.st_dev == here.st_dev
        && there.st_ino == here.st_ino)
        return named;
    return currentFolder();
}

std::optional<PrefixFolder> prefixFolder(const std::string &path)
{
    struct stat status{};
    if (stat(path.c_str(), &status) != 0)
        return PrefixFolder{path};
    return PrefixFolder{path, isRegular(path + "/system.reg"), unsigned(status.st_uid)};
}

// What the prefix is chosen from: WINEPREFIX, and the folders above each
// drive_c on the way to the game, as the path was given (where Wine's own
// links, Desktop or Documents, lead out of the prefix), then resolved (where
// the way went through dosdevices/c:).
PrefixFacts prefixFacts(const std::string &gameFolder)
{
    PrefixFacts facts{std::nullopt, {}, unsigned(getuid())};
    if (const char *chosen = std::getenv("WINEPREFIX"); chosen && *chosen)
        facts.chosen = prefixFolder(chosen);
    std::vector<std::string> ways = {gameFolder.starts_with('/') ? gameFolder : joinPath(givenFolder(), gameFolder)};
    if (char *resolved = realpath(gameFolder.empty() ? "." : gameFolder.c_str(), nullptr)) {
        ways.push_back(resolved);
        std::free(resolved);
    }
    for (const std::string &way : ways) {
        for (const std::string &candidate : prefixCandidates(way))
            facts.found.push_back(*prefixFolder(candidate));
    }
    // Where Wine looks for ~, as it does.
    const char *home = std::getenv("HOME");
    const passwd *entry = home ? nullptr : getpwuid(getuid());
    if (home || entry)
        facts.standard = prefixFolder(std::string(home ? home : entry->pw_dir) + "/.wine");
    return facts;
}

std::string userName(unsigned user)
{
    const passwd *entry = getpwuid(uid_t(user));
    return entry ? entry->pw_name : "user " + std::to_string(user);
}

// Starts the program detached, with our environment (WINEPREFIX in it replaced
// where one is given, left out where that is empty; each NAME=value setting in
// place of its NAME), and carries exec's own error number back as the failure given.
std::optional<Failure> spawn(Failure failure, const std::string &file, std::vector<std::string> words,
                             const std::string *winePrefix = nullptr, std::vector<std::string> settings = {})
{
    std::vector<char *> argv, environment;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    if (winePrefix)
        settings.push_back("WINEPREFIX=" + *winePrefix);
    for (char **entry = environ; *entry; ++entry) {
        const std::string_view name(*entry, std::strcspn(*entry, "=") + 1);
        if (std::none_of(settings.begin(), settings.end(), [&](auto &setting) { return setting.starts_with(name); }))
            environment.push_back(*entry);
    }
    for (std::string &setting : settings) {
        if (!setting.ends_with('='))
            environment.push_back(setting.data());
    }
    environment.push_back(nullptr);
    const auto failed = [&](int number) { return failure.number = number, failure; };

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return failed(errno);
    Fd reading(report[0]), writing(report[1]);
    const pid_t middle = fork();
    if (middle < 0)
        return failed(errno);
    if (middle == 0) {
        // The middle child leaves at once: the program is adopted by init, so
        // it outlives us and nothing of ours has to reap it.
        setsid();
        const pid_t game = fork();
        if (game > 0)
            _exit(0);
        if (game == 0) {
            // The game starts with no signal blocked or ignored that we chose for ourselves.
            sigset_t none;
            sigemptyset(&none);
            sigprocmask(SIG_SETMASK, &none, nullptr);
            signal(SIGPIPE, SIG_DFL);
            signal(SIGXFSZ, SIG_DFL);
            execve(file.c_str(), argv.data(), environment.data());
        }
        const int number = errno; // only a failed fork or exec gets here
        while (write(writing.get(), &number, sizeof number) < 0 && errno == EINTR) {
        }
        _exit(127);
    }
    writing = Fd();
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t got;
    while ((got = read(reading.get(), &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    if (got == sizeof execError)
        return failed(execError);
    return std::nullopt;
}

// Through Wine: as the game manager that owns the prefix the game is
// installed in would start it, or else the one that WINE names, as the shell
// finds a command, or else wine from PATH, in that prefix.
std::optional<Failure> startWindowsProgram(const std::string &path, const std::string &folder)
{
    const PrefixChoice prefix = choosePrefix(prefixFacts(folderPart(path)));
    if (prefix.refused == Cause::PrefixNotOwned)
        return Failure{EPERM, prefix.refused, folder, prefix.path + " belongs to " + userName(prefix.owner)};
    if (prefix.refused != Cause::None)
        return Failure{EINVAL, prefix.refused, folder};
    ManagerFacts managers;
    const auto find = [](const std::string &name) { return findAlongPath(name, false); };
    if (auto failure = gatherManagers(managers, prefix.path, find))
        return failure->folder = folder, failure;
    const ManagerStart manager = managerStart(managers, path.starts_with('/') ? path : joinPath(givenFolder(), path));
    if (manager.refused != Cause::None)
        return Failure{manager.refused == Cause::ManagerMissing ? ENOENT : EINVAL, manager.refused, folder, manager.detail};
    if (manager.manager != Manager::None) {
        const std::string what = managerName(manager.manager) + ", and " + manager.words[0] + " cannot be started";
        return spawn(Failure{0, Cause::ManagerMissing, folder, what}, manager.words[0], manager.words, nullptr,
                     manager.settings);
    }

    const char *named = std::getenv("WINE");
    const bool chosen = named && *named;
    const std::string wine = !chosen ? findAlongPath("wine", false)
                             : std::strchr(named, '/') ? named : findAlongPath(named, false);
    if (wine.empty())
        return chosen ? Failure{ENOENT, Cause::WineNamed, folder, named} : Failure{ENOEXEC, Cause::NeedsWine, folder};
    // An empty WINEPREFIX is taken as unset, as Wine would refuse it.
    const char *set = std::getenv("WINEPREFIX");
    return spawn(Failure{0, chosen ? Cause::WineNamed : Cause::WineFailed, folder, wine}, wine,
                 {wine, path.find('/') == std::string::npos ? "./" + path : path},
                 prefix.ours || (set && !*set) ? &prefix.path : nullptr);
}

} // namespace

std::optional<Failure> startProgram(const std::string &name)
{
    // What is in the game's folder is taken as it is, so that a bad file there
    // is reported rather than passed over.
    struct stat status{};
    std::string path = lstat(name.c_str(), &status) == 0 ? name : findAlongPath(name, true);
    if (path.empty())
        return Failure{ENOENT, Cause::NotFound, currentFolder()};
    const std::string folder = shownFolder(folderPart(path));
    const auto failure = [&](int number, Cause cause = Cause::None) { return Failure{number, cause, folder}; };
    if (stat(path.c_str(), &status) != 0)
        return failure(errno);
    if (S_ISDIR(status.st_mode))
        return failure(EISDIR);
    if (!S_ISREG(status.st_mode))
        return failure(EACCES, notFileCause(status.st_mode));
    if (isWindowsProgram(path))
        return startWindowsProgram(path, folder);
    if (access(path.c_str(), X_OK) != 0)
        return failure(EACCES, Cause::NotExecutable);
    return spawn(failure(0), path, {path.starts_with('/') ? path : joinPath(currentFolder(), path)});
}
