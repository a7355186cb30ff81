#include "platform/programstart.h"

#include <QFile>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

// QProcess::startDetached() starts well but keeps only a message when exec
// fails, not the system's error number; this keeps both.
std::optional<Failure> startProgram(const QString &program, const QStringList &arguments)
{
    const QString action = QStringLiteral("cannot start \"%1\"").arg(program);
    const auto failure = [&](int number) { return systemFailure(number, action); };

    // All the children need is made before fork(); after it, only async-signal-safe calls.
    std::vector<QByteArray> words{QFile::encodeName(program)};
    for (const QString &argument : arguments)
        words.push_back(QFile::encodeName(argument));
    std::vector<char *> argv;
    for (QByteArray &word : words)
        argv.push_back(word.data());
    argv.push_back(nullptr);

    // Carries exec's error number back; closes unread when exec succeeds.
    int report[2];
    if (pipe2(report, O_CLOEXEC) != 0)
        return failure(errno);

    const pid_t middle = fork();
    if (middle < 0) {
        const int number = errno;
        close(report[0]);
        close(report[1]);
        return failure(number);
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
            execv(argv[0], argv.data());
        }
        // Only a failed fork or exec gets here.
        const int number = errno;
        [[maybe_unused]] const ssize_t written = write(report[1], &number, sizeof number);
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
        return failure(execError);
    return std::nullopt;
}
