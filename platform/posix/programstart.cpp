#include "platform/programstart.h"

#include "platform/posix/paths.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// A bare name is looked up in the current directory first, then along PATH.
// Paths stay relative where they were found, so a folder name that is not
// valid text, or a parent that cannot be searched, does not stand in the way.
namespace {

// Where it was found, as a whole path when the working folder can be told.
std::string wholePath(const std::string &path)
{
    const std::string current = currentFolder();
    return path.front() == '/' || current.empty() ? path : current + "/" + path;
}

// The folder that holds it, as the path names it.
std::string folderOf(const std::string &path)
{
    const auto slash = path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

// The folder it was found in, for the report.
std::string foundIn(const std::string &path)
{
    const std::string whole = wholePath(path);
    const auto slash = whole.rfind('/');
    return slash == std::string::npos ? "" : whole.substr(0, slash ? slash : 1);
}

// Never blocks: a named pipe is opened without waiting and then refused.
bool isWindowsProgram(const std::string &path)
{
    const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat status{};
    char magic[2] = {};
    const bool windows = fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && read(fd, magic, 2) == 2
                         && magic[0] == 'M' && magic[1] == 'Z';
    close(fd);
    return windows;
}

bool isRegular(const std::string &path)
{
    struct stat status{};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// Along PATH only what could be started counts; an empty entry is the current folder.
std::string findAlongPath(const std::string &name, bool windowsToo)
{
    const char *variable = std::getenv("PATH");
    std::string folders = variable ? variable : "";
    for (size_t start = 0; start <= folders.size();) {
        size_t end = folders.find(':', start);
        if (end == std::string::npos)
            end = folders.size();
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = folder.empty() ? name : folder + "/" + name;
        if (isRegular(candidate)
            && (access(candidate.c_str(), X_OK) == 0 || (windowsToo && isWindowsProgram(candidate))))
            return candidate;
        start = end + 1;
    }
    return {};
}

// The Wine prefix a folder lies in: the nearest folder above it, links
// resolved, with drive_c on the way down and a registry beside it (an unpacked
// archive may hold a drive_c alone). None where that cannot be told.
std::string winePrefixOf(const std::string &folder)
{
    char *resolved = realpath(folder.c_str(), nullptr);
    std::string below = resolved ? resolved : "/";
    std::free(resolved);
    while (below != "/") {
        const std::string above = folderOf(below);
        if (below.ends_with("/drive_c") && isRegular(above + "/system.reg"))
            return above;
        below = above;
    }
    return {};
}

// Starts the program detached, with our environment and the setting given,
// and carries exec's own error number back as the failure given.
std::optional<Failure> spawn(Failure failure, const std::string &file, std::vector<std::string> words,
                             std::string setting = {})
{
    std::vector<char *> argv, environment;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    for (char **entry = environ; *entry; ++entry)
        environment.push_back(*entry);
    if (!setting.empty())
        environment.push_back(setting.data());
    environment.push_back(nullptr);
    const auto failed = [&](int number) { return failure.number = number, failure; };

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return failed(errno);
    const pid_t middle = fork();
    if (middle < 0) {
        const int number = errno;
        close(report[0]);
        close(report[1]);
        return failed(number);
    }
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
        while (write(report[1], &number, sizeof number) < 0 && errno == EINTR) {
        }
        _exit(127);
    }
    close(report[1]);
    while (waitpid(middle, nullptr, 0) < 0 && errno == EINTR) {
    }
    int execError = 0;
    ssize_t got;
    while ((got = read(report[0], &execError, sizeof execError)) < 0 && errno == EINTR) {
    }
    close(report[0]);
    if (got == sizeof execError)
        return failed(execError);
    return std::nullopt;
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
    const std::string folder = foundIn(path);
    const auto failure = [&](int number, Cause cause = Cause::None) { return Failure{number, cause, folder}; };
    if (stat(path.c_str(), &status) != 0)
        return failure(errno);
    if (S_ISDIR(status.st_mode))
        return failure(EISDIR);
    if (!S_ISREG(status.st_mode))
        return failure(EACCES, kindOf(status.st_mode));

    if (isWindowsProgram(path)) {
        // The Wine that WINE names, as the shell finds a command, or else wine from PATH.
        const char *named = std::getenv("WINE");
        const bool chosen = named && *named;
        const std::string wine = !chosen ? findAlongPath("wine", false)
                                 : std::strchr(named, '/') ? named : findAlongPath(named, false);
        if (wine.empty())
            return chosen ? Failure{ENOENT, Cause::WineNamed, named} : failure(ENOEXEC, Cause::NeedsWine);
        // A game installed in a Wine prefix runs in it, unless the user chose one.
        const std::string prefix = std::getenv("WINEPREFIX") ? "" : winePrefixOf(folderOf(path));
        return spawn(chosen ? Failure{0, Cause::WineNamed, wine} : failure(0), wine,
                     {wine, path.find('/') == std::string::npos ? "./" + path : path},
                     prefix.empty() ? "" : "WINEPREFIX=" + prefix);
    }
    if (access(path.c_str(), X_OK) != 0)
        return failure(EACCES, Cause::NotExecutable);
    return spawn(failure(0), path, {wholePath(path)});
}
