// Time per call of dateiexlesen (setup.cfg and "standard.cfg", found without regard to case)
// and of dateischreiben (scenario file and setup.cfg, each synced and renamed) on the standard
// scenario in a temporary program folder. Goals: load within 0.5 ms, save within 2 ms.
// Many scenarios and many moved paths, each within a second:
//  - loading with a setup.cfg of 20000 entries in mixed order;
//  - the load window's search with 20000 listed and 20000 unlisted scenario files;
//  - a load that relocates 10000 missing sound paths in a folder of 10000 files, and one
//    deleted file named by all 10000 hit sounds in a folder of 1000 files.
// BLITZFANG_BENCH_DIR chooses the folder the temporary program folder is made in.

#include "platform/Dialogs.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include "BenchFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

class CountingNotifier : public Notifier {
public:
    void notice(const std::string&) override { ++count; }
    int count = 0;
};

// A program folder with the standard files, loaded the way the program starts.
struct StartedStore {
    BenchFolder folder;
    CountingNotifier notifier;
    ScenarioStore store{folder.path, notifier};

    StartedStore()
    {
        store.programmstartVorbereiten();
        store.dateiexlesen("standard");
    }
};

void dateiexlesenStandard(benchmark::State& state)
{
    StartedStore started;
    for (auto _ : state) {
        started.store.dateiexlesen(started.store.setup.spielstart);
        benchmark::DoNotOptimize(started.store.settings.titel.data());
    }
    if (started.notifier.count != 0)
        state.SkipWithError("the standard scenario was reported as damaged");
}

void dateischreibenStandard(benchmark::State& state)
{
    StartedStore started;
    buildPreparedLines(started.store.settings, true);
    for (auto _ : state)
        started.store.dateischreiben(started.store.setup.spielstart);
    state.SetLabel(started.folder.path.parent_path().string());
}

void writeFile(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}

// "Szenario 00017" and the like, in an order that is not the list's.
std::string scenarioName(int n)
{
    const int scrambled = (n * 7919) % 100000;
    return (scrambled % 2 ? "szenario " : "Szenario ") + std::to_string(scrambled);
}

// A program folder with 20000 listed and 20000 unlisted scenario files.
struct ManyScenarios {
    BenchFolder folder;
    CountingNotifier notifier;

    ManyScenarios()
    {
        const std::string file = "Titel: T\r\nZiel: z\r\nAbschuss: a\r\nZielort: o\r\nSpielername: n\r\n"
                                 "Textfarbe: 1\r\nSounddateianzahl: 1\r\nSounds: s\r\n";
        std::string setup = "Spielstart: Standard\r\nSpeicherstand: Standard\r\n";
        for (int n = 0; n < 40000; ++n) {
            writeFile(folder.path / (scenarioName(n) + ".cfg"), file);
            if (n % 2 == 0)
                setup += "Speicherstand: " + scenarioName(n) + "\r\n";
        }
        writeFile(folder.path / "setup.cfg", setup);
    }
};

void loadWith20000ListedScenarios(benchmark::State& state)
{
    ManyScenarios many;
    ScenarioStore store(many.folder.path, many.notifier);
    store.programmstartVorbereiten();
    for (auto _ : state) {
        store.setup.spielstartAusSetup = true;
        store.dateiexlesen("standard");
    }
    state.counters["entries"] = double(store.setup.speicherstaende.size());
}

void searchWith20000ListedAnd20000Unlisted(benchmark::State& state)
{
    ManyScenarios many;
    ScenarioStore store(many.folder.path, many.notifier);
    store.programmstartVorbereiten();
    store.dateiexlesen("standard");
    std::size_t found = 0;
    for (auto _ : state)
        found = store.neueSzenarios().size();
    state.counters["found"] = double(found);
}

// Hit sounds whose program folder moved: each names a file of the current one's sound folder.
void relocate(benchmark::State& state, int files, bool allTheSameFile)
{
    BenchFolder folder;
    CountingNotifier notifier;
    fs::create_directories(folder.path / "Eigen" / "sound");
    for (int n = 0; n < files; ++n)
        writeFile(folder.path / "Eigen" / "sound" / ("au" + std::to_string(n) + ".wav"), "RIFF");
    std::string text = "Titel: T\r\nZiel: z\r\nAbschuss: a\r\nZielort: o\r\nSpielername: n\r\nTextfarbe: 1\r\n"
                       "Sounddateianzahl: 10000\r\n";
    for (int n = 0; n < 10000; ++n) {
        const std::string file = allTheSameFile ? std::string("weg.wav") : "AU" + std::to_string(n) + ".wav";
        text += "Sounds: /alt/prog/Eigen/sound/" + file + "\r\n";
    }
    writeFile(folder.path / "Eigen.cfg", text);
    ScenarioStore store(folder.path, notifier);
    store.setup.spielstart = "Eigen";
    for (auto _ : state)
        store.dateiexlesen("Eigen");
    if (notifier.count != 0 || (!allTheSameFile && store.settings.sounds.back().find("/alt/") != std::string::npos))
        state.SkipWithError("the moved paths were not found");
}

void relocate10000MissingIn10000Files(benchmark::State& state) { relocate(state, 10000, false); }
void relocateOneDeletedFile10000TimesIn1000Files(benchmark::State& state) { relocate(state, 1000, true); }

} // namespace

BENCHMARK(dateiexlesenStandard)->Unit(benchmark::kMicrosecond);
BENCHMARK(dateischreibenStandard)->Unit(benchmark::kMicrosecond);
BENCHMARK(loadWith20000ListedScenarios)->Unit(benchmark::kMillisecond);
BENCHMARK(searchWith20000ListedAnd20000Unlisted)->Unit(benchmark::kMillisecond);
BENCHMARK(relocate10000MissingIn10000Files)->Unit(benchmark::kMillisecond);
BENCHMARK(relocateOneDeletedFile10000TimesIn1000Files)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
