// Shows either the real window ("form") or a bare window of the same size
// ("bare"), and prints how long after its start the first paint was done.
// The runner passes its own clock reading taken just before starting us.
#include "app/form1.h"

#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <ctime>
#include <memory>

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1'000'000'000LL + now.tv_nsec;
}

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(long long start) : m_start(start) {}

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            // Children paint in the same pass; the next turn of the loop comes after the flush.
            QTimer::singleShot(0, [this] {
                std::printf("%lld\n", monotonicNanoseconds() - m_start);
                QCoreApplication::quit();
            });
        }
        return false;
    }

private:
    long long m_start;
    bool m_seen = false;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc != 3)
        return 2;
    const bool bare = std::string_view(argv[1]) == "bare";
    FirstPaint firstPaint(std::atoll(argv[2]));
    QApplication app(argc, argv);
    std::unique_ptr<QWidget> window;
    if (bare) {
        window = std::make_unique<QWidget>();
        window->setFixedSize(269, 274);
    } else {
        window = std::make_unique<Form1>();
    }
    window->installEventFilter(&firstPaint);
    window->show();
    return app.exec();
}
