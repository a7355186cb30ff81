#include "platform/qt/sessionend.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

int wakeUp[2] = {-1, -1};

// All a handler may safely do: the event loop reads the byte when it is free.
void onSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = write(wakeUp[1], &byte, 1);
}

} // namespace

void closeOnSessionEnd(QWidget *window)
{
    if (pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    auto *notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        window->close();
        QCoreApplication::exit(0); // leaves an open box's loop too
    });
    struct sigaction action{};
    action.sa_handler = onSignal;
    action.sa_flags = SA_RESTART; // a write under way carries on
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGHUP, SIGINT})
        sigaction(signal, &action, nullptr);
}
