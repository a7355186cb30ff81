#include "platform/programstart.h"

#include "platform/posix/paths.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
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

// Starts the program detached, and carries exec's own error number back.
std::optional<Failure> spawn(const std::string &folder, const std::string &file, std::vector<std::string> words)
{
    std::vector<char *> argv;
    for (std::string &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return Failure{errno, Cause::None, folder};
    const pid_t middle = fork();
    if (middle < 0) {
        const int number = errno;
        close(report[0]);
        close(report[1]);
        return Failure{number, Cause::None, folder};
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
            execv(file.c_str(), argv.data());
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
        return Failure{execError, Cause::None, folder};
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
        const std::string wine = findAlongPath("wine", false);
        if (wine.empty())
            return failure(ENOEXEC, Cause::NeedsWine);
        return spawn(folder, wine, {wine, path.find('/') == std::string::npos ? "./" + path : path});
    }
    if (access(path.c_str(), X_OK) != 0)
        return failure(EACCES, Cause::NotExecutable);
    return spawn(folder, path, {wholePath(path)});
}
