// The load window with many scenarios, through its own handlers (offscreen): "&Suchen" and
// "&Hinzufügen" with 20000 listed and 20000 unlisted scenario files. Goal: each within a second
// (before: 35.0 s and 29.4 s). The program start that reads the 20000 entries is timed too.
//
//   build/bench/scenario_list_bench

#include "dialogs/LadenUnit2.h"
#include "game/WindowSet.h"
#include "platform/Dialogs.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The search's and the add's messages are counted, never shown.
class CountingDialogs : public Dialogs {
public:
    int shown = 0;
    void notice(const std::string&) override { ++shown; }
    bool askWarning(const std::string&, DefaultAnswer) override { return false; }
    void error(const std::string&) override { ++shown; }
    std::optional<std::string> openFile(const std::string&, const std::string&, bool, bool) override
    {
        return std::nullopt;
    }
    std::optional<std::string> saveFile(const std::string&, const std::string&, const std::string&,
                                        const std::string&) override
    {
        return std::nullopt;
    }
    std::optional<std::uint32_t> chooseColor(std::uint32_t) override { return std::nullopt; }
    void openLink(const std::string&) override {}
};

std::string scenarioName(int n)
{
    const int scrambled = (n * 7919) % 100000; // every n its own number, out of the list's order
    return (scrambled % 2 ? "szenario " : "Szenario ") + std::to_string(scrambled);
}

fs::path programFolder()
{
    static const fs::path folder = [] {
        const fs::path path = fs::temp_directory_path() / ("blitzfang-list-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        std::string setup = "Spielstart: Standard\r\nSpeicherstand: Standard\r\n";
        for (int n = 0; n < 40000; ++n) {
            std::ofstream(path / (scenarioName(n) + ".cfg"), std::ios::binary)
                << "Titel: T\r\nZiel: z\r\nAbschuss: a\r\nZielort: o\r\nSpielername: n\r\nTextfarbe: 1\r\n"
                   "Sounddateianzahl: 1\r\nSounds: s\r\n";
            if (n % 2 == 0)
                setup += "Speicherstand: " + scenarioName(n) + "\r\n";
        }
        std::ofstream(path / "setup.cfg", std::ios::binary) << setup;
        return path;
    }();
    return folder;
}

struct OpenLoadWindow {
    CountingDialogs boxes;
    std::unique_ptr<WindowSet> windows;
    double startMs = 0;

    OpenLoadWindow()
    {
        setDialogs(&boxes);
        const fs::path folder = programFolder(); // made once, before the clock runs
        QElapsedTimer clock;
        clock.start();
        windows = std::make_unique<WindowSet>(folder);
        startMs = double(clock.nsecsElapsed()) / 1e6;
        windows->LadenForm->show();
    }
    ~OpenLoadWindow()
    {
        windows.reset();
        setDialogs(nullptr);
    }
};

void BM_ProgramStartWith20000Listed(benchmark::State& state)
{
    for (auto _ : state) {
        OpenLoadWindow open;
        state.SetIterationTime(open.startMs / 1000);
        state.counters["listed"] = double(open.windows->store.setup.speicherstaende.size());
    }
}
BENCHMARK(BM_ProgramStartWith20000Listed)->Iterations(3)->UseManualTime()->Unit(benchmark::kMillisecond);

void BM_SuchenWith20000ListedAnd20000Unlisted(benchmark::State& state)
{
    OpenLoadWindow open;
    TLadenForm& form = *open.windows->LadenForm;
    for (auto _ : state)
        form.suchenButtonClick();
    state.counters["found"] = double(form.suchenComboBox->count());
}
BENCHMARK(BM_SuchenWith20000ListedAnd20000Unlisted)->Iterations(5)->Unit(benchmark::kMillisecond);

void BM_HinzufuegenWith20000ListedAnd20000Unlisted(benchmark::State& state)
{
    OpenLoadWindow open;
    TLadenForm& form = *open.windows->LadenForm;
    form.suchenButtonClick();
    // Each add writes setup.cfg and searches again, as the button does.
    for (auto _ : state)
        form.hinzufuegenButtonClick();
    state.counters["listed"] = double(open.windows->store.setup.speicherstaende.size());
}
BENCHMARK(BM_HinzufuegenWith20000ListedAnd20000Unlisted)->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(programFolder(), ignored);
    return 0;
}
