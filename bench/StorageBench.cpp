// Time per call of dateiexlesen (setup.cfg and "standard.cfg", found without regard to case)
// and of dateischreiben (scenario file and setup.cfg, each synced and renamed) on the standard
// scenario in a temporary program folder. Goals: load within 0.5 ms, save within 2 ms.
// BLITZFANG_BENCH_DIR chooses the folder the temporary program folder is made in.

#include "platform/Dialogs.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

class CountingNotifier : public Notifier {
public:
    void notice(const std::string&) override { ++count; }
    int count = 0;
};

class BenchFolder {
public:
    BenchFolder()
    {
        const char* base = std::getenv("BLITZFANG_BENCH_DIR");
        std::string pattern = ((base && *base) ? fs::path(base) : fs::temp_directory_path()) / "blitzfang-bench-XXXXXX";
        if (!mkdtemp(pattern.data()))
            throw std::runtime_error("mkdtemp failed");
        path = pattern;
    }
    ~BenchFolder() { fs::remove_all(path); }
    fs::path path;
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

} // namespace

BENCHMARK(dateiexlesenStandard)->Unit(benchmark::kMicrosecond);
BENCHMARK(dateischreibenStandard)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
