// Starts the real window and the bare one in turn, many times, and reports the
// median time to first paint and peak memory of each; then times Apply.
#include "settings/localeini.h"

#include <QDir>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

struct Run
{
    double milliseconds;
    double peakMiB;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

Run startOnce(const char *program, const char *which)
{
    int out[2];
    if (pipe(out) != 0)
        std::exit(1);
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    const std::string start = std::to_string(now.tv_sec * 1'000'000'000LL + now.tv_nsec);
    const pid_t child = fork();
    if (child == 0) {
        dup2(out[1], STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDERR_FILENO);
        execl(program, program, which, start.c_str(), nullptr);
        _exit(127);
    }
    close(out[1]);
    char buffer[64] = {};
    const ssize_t got = read(out[0], buffer, sizeof buffer - 1);
    close(out[0]);
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    if (got <= 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        std::fprintf(stderr, "%s %s did not paint\n", program, which);
        std::exit(1);
    }
    return {std::atoll(buffer) / 1e6, usage.ru_maxrss / 1024.0};
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2)
        return 2;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 30;
    std::vector<double> formTime, bareTime, formMemory, bareMemory;
    startOnce(argv[1], "form"); // warm the caches for both
    startOnce(argv[1], "bare");
    for (int i = 0; i < rounds; ++i) {
        const Run form = startOnce(argv[1], "form");
        const Run bare = startOnce(argv[1], "bare");
        formTime.push_back(form.milliseconds);
        bareTime.push_back(bare.milliseconds);
        formMemory.push_back(form.peakMiB);
        bareMemory.push_back(bare.peakMiB);
    }

    // Apply on the disk under the current directory, not in a memory-backed /tmp.
    QTemporaryDir dir(QDir::current().filePath("apply-bench-XXXXXX"));
    QDir::setCurrent(dir.path());
    std::vector<double> applyTime;
    for (int i = 0; i < 200; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (writeLocaleIni({true, QStringLiteral("1024x768x32")}))
            return 1;
        applyTime.push_back(clock.nsecsElapsed() / 1e6);
    }

    std::printf("start-up to first paint (median of %d, alternating):\n", rounds);
    std::printf("  window      %7.1f ms   peak memory %6.1f MiB\n", median(formTime), median(formMemory));
    std::printf("  bare window %7.1f ms   peak memory %6.1f MiB\n", median(bareTime), median(bareMemory));
    std::printf("  ratio       %7.2f      difference  %6.1f MiB\n", median(formTime) / median(bareTime),
                median(formMemory) - median(bareMemory));
    std::printf("Apply, replacing locale.ini (median of 200): %.2f ms\n", median(applyTime));
    return 0;
}
