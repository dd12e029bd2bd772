#pragma once
// Watches for the first complete paint of the window named "MainForm" and reports on standard
// output: the monotonic clock at that moment and the resident memory; then, after an idle
// span, the CPU time and the number of events the process used while nothing happened.
//   shown <monotonic ns> <resident KiB>
//   idle <cpu µs> <events>
// The idle span begins a second after the first frame, when start-up work has settled.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <string>

class StartupShownProbe : public QObject {
public:
    explicit StartupShownProbe(int idleMilliseconds) : idleMs_(idleMilliseconds)
    {
        qApp->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (idleStart_ >= 0)
            ++idleEvents_;
        // The window itself may be covered by opaque children: any paint in it counts.
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->window()->objectName() == QLatin1String("MainForm")) {
            seen_ = true;
            // Reported once this paint, its children's and the flush are through.
            QTimer::singleShot(0, this, [this] { shown(); });
        }
        return false;
    }

private:
    static long long nanoseconds(clockid_t clock)
    {
        timespec now{};
        clock_gettime(clock, &now);
        return now.tv_sec * 1000000000LL + now.tv_nsec;
    }

    static long residentKib()
    {
        std::ifstream status("/proc/self/status");
        std::string key;
        long value = 0;
        while (status >> key) {
            if (key == "VmRSS:") {
                status >> value;
                return value;
            }
            status.ignore(1 << 12, '\n');
        }
        return -1;
    }

    void shown()
    {
        std::printf("shown %lld %ld\n", nanoseconds(CLOCK_MONOTONIC), residentKib());
        std::fflush(stdout);
        if (idleMs_ <= 0) {
            QCoreApplication::exit(0);
            return;
        }
        QTimer::singleShot(1000, this, [this] { beginIdle(); });
    }

    void beginIdle()
    {
        idleStart_ = nanoseconds(CLOCK_PROCESS_CPUTIME_ID);
        idleEvents_ = 0;
        QTimer::singleShot(idleMs_, this, [this] {
            const long long cpu = nanoseconds(CLOCK_PROCESS_CPUTIME_ID) - idleStart_;
            // The one timer event that ends the idle span is ours.
            std::printf("idle %lld %ld\n", cpu / 1000, idleEvents_ - 1);
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    }

    int idleMs_;
    bool seen_ = false;
    long long idleStart_ = -1;
    long idleEvents_ = 0;
};
