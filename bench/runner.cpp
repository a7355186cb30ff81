// Starts programs in turn and times each from exec to its window's first
// paint as the X server sees it (the window's first DAMAGE event), then reads
// its peak memory once it has settled. Then times Apply on the local disk.
//   bench_runner ROUNDS LABEL=COMMAND...   (COMMAND split at spaces)
#include "platform/safefile.h"
#include "settings/localeini.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <xcb/damage.h>
#include <xcb/xcb.h>

namespace {

using Clock = std::chrono::steady_clock;

struct Subject
{
    std::string label;
    std::vector<std::string> command;
    std::vector<double> milliseconds, peakMiB;
};

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double peakMiB(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stod(line.substr(6)) / 1024.0;
    }
    return 0;
}

// The form's size on this screen: 269 x 274 at 96 dpi, BENCH_SIZE ("538x548") on a denser one.
struct Size
{
    int width = 269, height = 274;
};

Size formSize()
{
    Size size;
    if (const char *given = std::getenv("BENCH_SIZE"))
        std::sscanf(given, "%dx%d", &size.width, &size.height);
    return size;
}

// One start: the window of the form's size that is mapped and first damaged.
void startOnce(xcb_connection_t *x, uint8_t damageEvent, Subject &subject)
{
    static const Size size = formSize();
    std::vector<char *> argv;
    for (std::string &word : subject.command)
        argv.push_back(word.data());
    argv.push_back(nullptr);
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[0], argv.data());
        _exit(127);
    }
    if (child < 0) { // no window would come, and kill(-1) would reach every process of ours
        std::perror("fork");
        std::exit(1);
    }
    struct Window
    {
        int width = 0, height = 0;
        bool mapped = false;
    };
    std::map<xcb_window_t, Window> windows;
    std::vector<xcb_damage_damage_t> damages;
    double painted = -1;
    while (painted < 0) {
        xcb_generic_event_t *event = xcb_wait_for_event(x);
        if (!event) {
            std::fprintf(stderr, "lost the X server\n");
            std::exit(1);
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *created = reinterpret_cast<xcb_create_notify_event_t *>(event);
            windows[created->window] = {created->width, created->height, false};
            damages.push_back(xcb_generate_id(x));
            xcb_damage_create(x, damages.back(), created->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            xcb_flush(x);
        } else if (type == XCB_CONFIGURE_NOTIFY) {
            const auto *configured = reinterpret_cast<xcb_configure_notify_event_t *>(event);
            windows[configured->window].width = configured->width;
            windows[configured->window].height = configured->height;
        } else if (type == XCB_MAP_NOTIFY) {
            windows[reinterpret_cast<xcb_map_notify_event_t *>(event)->window].mapped = true;
        } else if (type == damageEvent) {
            const Window &window = windows[reinterpret_cast<xcb_damage_notify_event_t *>(event)->drawable];
            if (window.mapped && window.width == size.width && window.height == size.height)
                painted = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
        }
        std::free(event);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500)); // settled
    subject.milliseconds.push_back(painted);
    subject.peakMiB.push_back(peakMiB(child));
    kill(child, SIGTERM);
    waitpid(child, nullptr, 0);
    for (xcb_damage_damage_t damage : damages)
        xcb_damage_destroy(x, damage);
    xcb_flush(x);
    // Drop what the closing windows still report.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    while (xcb_generic_event_t *late = xcb_poll_for_event(x))
        std::free(late);
}

double applyMilliseconds()
{
    // On the disk under the current directory, not in a memory-backed /tmp.
    const auto folder = std::filesystem::current_path() / "apply-bench";
    std::filesystem::create_directory(folder);
    std::filesystem::current_path(folder);
    std::vector<double> times;
    for (int i = 0; i < 200; ++i) {
        const auto start = Clock::now();
        if (replaceFile("locale.ini", formatLocaleIni({true, "1024x768x32"})))
            std::exit(1);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    std::filesystem::current_path(folder.parent_path());
    std::filesystem::remove_all(folder);
    return median(times);
}

} // namespace

int main(int argc, char *argv[])
{
    const int rounds = argc < 3 ? 0 : std::atoi(argv[1]);
    if (rounds < 1) // a median needs at least one round
        return std::fprintf(stderr, "usage: bench_runner ROUNDS LABEL=COMMAND...\n"), 2;
    std::vector<Subject> subjects;
    for (int i = 2; i < argc; ++i) {
        const std::string argument = argv[i];
        Subject subject{argument.substr(0, argument.find('=')), {}, {}, {}};
        std::istringstream words(argument.substr(argument.find('=') + 1));
        for (std::string word; words >> word;)
            subject.command.push_back(word);
        subjects.push_back(subject);
    }

    xcb_connection_t *x = xcb_connect(nullptr, nullptr);
    const xcb_query_extension_reply_t *damage = xcb_get_extension_data(x, &xcb_damage_id);
    if (xcb_connection_has_error(x) || !damage || !damage->present)
        return std::fprintf(stderr, "no X server with DAMAGE\n"), 1;
    std::free(xcb_damage_query_version_reply(x, xcb_damage_query_version(x, 1, 1), nullptr));
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, xcb_setup_roots_iterator(xcb_get_setup(x)).data->root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    for (int round = -1; round < rounds; ++round) { // the first round only warms the caches
        for (Subject &subject : subjects) {
            startOnce(x, uint8_t(damage->first_event + XCB_DAMAGE_NOTIFY), subject);
            if (round < 0)
                subject.milliseconds.clear(), subject.peakMiB.clear();
        }
    }
    // "ratio" is the ratio of the two medians, as the time columns show them;
    // "per round" is the median of each round's ratio, whose starts met the
    // machine in the same state, with its quartiles as the spread.
    const Subject &floor = subjects.back();
    std::printf("%-14s %12s %12s %7s %10s %18s\n", "", "first paint", "peak memory", "ratio", "memory",
                "per round (q1-q3)");
    for (const Subject &subject : subjects) {
        std::vector<double> ratios;
        for (size_t i = 0; i < subject.milliseconds.size(); ++i)
            ratios.push_back(subject.milliseconds[i] / floor.milliseconds[i]);
        std::sort(ratios.begin(), ratios.end());
        std::printf("%-14s %9.1f ms %8.1f MiB %7.2f %+6.1f MiB %6.2f (%.2f-%.2f)\n", subject.label.c_str(),
                    median(subject.milliseconds), median(subject.peakMiB),
                    median(subject.milliseconds) / median(floor.milliseconds),
                    median(subject.peakMiB) - median(floor.peakMiB), median(ratios), ratios[ratios.size() / 4],
                    ratios[ratios.size() * 3 / 4]);
    }
    std::printf("(medians of %d interleaved starts; ratio and memory against %s)\n", rounds, floor.label.c_str());
    if (const char *apply = std::getenv("BENCH_APPLY"); apply && *apply)
        std::printf("Apply, replacing locale.ini (median of 200): %.2f ms\n", applyMilliseconds());
    xcb_disconnect(x);
}
