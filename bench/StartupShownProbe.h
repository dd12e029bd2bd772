#pragma once
// Watches the window named "MainForm" and reports on standard output, each line with the
// monotonic clock:
//   paint <ns>                 its first paint begins
//   shown <ns> <resident KiB>  that paint, its children's and the flush are through: the menu
//                              screen can be seen
//   idle <cpu µs> <events>     after an idle span: the CPU time and the events the process used
//                              while nothing happened (the span begins a second after the
//                              first frame, when start-up work has settled)
//   game <n> <click ns> <paint ns> <shown ns>
//                              with `games`: game n's click on the Start button (given a moment
//                              after the menu is seen, as a quick player would), the first paint
//                              of the game field and its flush; then back to the menu, and the
//                              next game

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>

class StartupShownProbe : public QObject {
public:
    // `idleMilliseconds` > 0 measures an idle span; `games` > 0 plays that many game starts.
    explicit StartupShownProbe(int idleMilliseconds, int games = 0) : idleMs_(idleMilliseconds), games_(games)
    {
        qApp->installEventFilter(this);
    }

    static long long nanoseconds(clockid_t clock)
    {
        timespec now{};
        clock_gettime(clock, &now);
        return now.tv_sec * 1000000000LL + now.tv_nsec;
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (idleStart_ >= 0)
            ++idleEvents_;
        // The window itself may be covered by opaque children: any paint in it counts.
        if (event->type() == QEvent::Paint && watched->isWidgetType() && waitingForPaint_ &&
            static_cast<QWidget*>(watched)->window()->objectName() == QLatin1String("MainForm")) {
            waitingForPaint_ = false;
            const long long painted = nanoseconds(CLOCK_MONOTONIC);
            // Reported once this paint, its children's and the flush are through.
            QTimer::singleShot(0, this, [this, painted] { painted_(painted); });
        }
        return false;
    }

private:
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

    static QWidget* mainWindow()
    {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->objectName() == QLatin1String("MainForm"))
                return window;
        return nullptr;
    }

    void menuShown(long long painted)
    {
        std::printf("paint %lld\nshown %lld %ld\n", painted, nanoseconds(CLOCK_MONOTONIC), residentKib());
        std::fflush(stdout);
        if (games_ > 0) {
            QTimer::singleShot(kPlayerMs, this, [this] { startGame(); });
            return;
        }
        if (idleMs_ <= 0) {
            QCoreApplication::exit(0);
            return;
        }
        QTimer::singleShot(1000, this, [this] { beginIdle(); });
    }

    void startGame()
    {
        QWidget* window = mainWindow();
        auto* start = window ? window->findChild<QAbstractButton*>(QStringLiteral("StartSpeedButton1")) : nullptr;
        if (!start) {
            QCoreApplication::exit(1);
            return;
        }
        painted_ = [this](long long painted) { fieldShown(painted); };
        waitingForPaint_ = true;
        clicked_ = nanoseconds(CLOCK_MONOTONIC);
        start->click();
    }

    void fieldShown(long long painted)
    {
        ++played_;
        std::printf("game %d %lld %lld %lld\n", played_, clicked_, painted, nanoseconds(CLOCK_MONOTONIC));
        std::fflush(stdout);
        if (played_ >= games_) {
            QCoreApplication::exit(0);
            return;
        }
        // Back to the menu, as the context menu's "Menü" does, and after a moment the next game.
        QTimer::singleShot(kPlayerMs, this, [this] {
            QWidget* window = mainWindow();
            if (auto* menu = window ? window->findChild<QAction*>(QStringLiteral("Menue")) : nullptr)
                menu->trigger();
            QTimer::singleShot(kPlayerMs, this, [this] { startGame(); });
        });
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

    // How long a quick player takes to move from what he sees to the next click.
    static constexpr int kPlayerMs = 400;

    int idleMs_;
    int games_;
    int played_ = 0;
    bool waitingForPaint_ = true;
    std::function<void(long long)> painted_ = [this](long long painted) { menuShown(painted); };
    long long clicked_ = 0;
    long long idleStart_ = -1;
    long idleEvents_ = 0;
};
