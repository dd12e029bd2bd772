// What the start of an installed program pays for the player's copy of the standard media
// (copyShippedStandard), with the real media of data/Standard and the build's manifest:
//  - upToDate: every copy known equal (sizes and times match): nothing is read;
//  - firstStart: the player's folder is empty: every file is copied;
//  - comparedAfterRestore: every copy equals its shipped file but carries another time (a
//    backup brought back): each is read and compared once, then carries the shipped time;
//  - newRelease: every copy is an earlier release's file of the current size: each is compared,
//    hashed and replaced.
// Goal: upToDate far below a millisecond, beside the 40 ms of a bare Qt window's start.
// BLITZFANG_BENCH_DIR chooses the folder the temporary folders are made in.

#include "game/ProgramFolderChoice.h"
#include "game/ShippedStandard.h"

#include "BenchFolder.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace fs = std::filesystem;

namespace {

// An installation with the shipped media and a manifest whose earlier release holds, for every
// file, the same bytes with the first byte changed; and a player's folder beside it.
struct Installation {
    BenchFolder folder;
    fs::path shipped = folder.path / "share/Standard";
    fs::path player = folder.path / "player";
    ProgramFolderChoice choice{player, shipped};

    Installation()
    {
        fs::create_directories(shipped.parent_path());
        fs::copy(BLITZFANG_SOURCE_DIR "/data/Standard", shipped, fs::copy_options::recursive);
        std::string manifest;
        for (const auto& entry : fs::recursive_directory_iterator(shipped))
            if (entry.is_regular_file()) {
                const std::string old = earlier(entry.path());
                manifest += "earlier " + std::to_string(old.size()) + " " + sha256Text(old) + " " +
                            entry.path().lexically_relative(shipped).string() + "\r\n";
            }
        std::ofstream(shipped.parent_path() / kStandardManifestName, std::ios::binary) << manifest;
        prepareProgramFolder(choice);
    }

    static std::string earlier(const fs::path& file)
    {
        std::ifstream in(file, std::ios::binary);
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        bytes[0] = static_cast<char>(bytes[0] ^ 1);
        return bytes;
    }

    // Every copy set to what `content` makes of its shipped file, with a fresh time.
    void copiesOf(std::string (*content)(const fs::path&))
    {
        for (const auto& entry : fs::recursive_directory_iterator(shipped))
            if (entry.is_regular_file()) {
                const fs::path copy = player / "Standard" / entry.path().lexically_relative(shipped);
                std::ofstream(copy, std::ios::binary | std::ios::trunc) << content(entry.path());
            }
    }
};

std::string sameBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void upToDate(benchmark::State& state)
{
    Installation installed;
    copyShippedStandard(installed.choice);
    for (auto _ : state)
        copyShippedStandard(installed.choice);
}

void firstStart(benchmark::State& state)
{
    Installation installed;
    for (auto _ : state) {
        state.PauseTiming();
        fs::remove_all(installed.player / "Standard");
        state.ResumeTiming();
        copyShippedStandard(installed.choice);
    }
}

void comparedAfterRestore(benchmark::State& state)
{
    Installation installed;
    copyShippedStandard(installed.choice);
    for (auto _ : state) {
        state.PauseTiming();
        installed.copiesOf(sameBytes);
        state.ResumeTiming();
        copyShippedStandard(installed.choice);
    }
}

void newRelease(benchmark::State& state)
{
    Installation installed;
    copyShippedStandard(installed.choice);
    for (auto _ : state) {
        state.PauseTiming();
        installed.copiesOf(Installation::earlier);
        state.ResumeTiming();
        copyShippedStandard(installed.choice);
    }
}

} // namespace

BENCHMARK(upToDate)->Unit(benchmark::kMicrosecond);
BENCHMARK(firstStart)->Unit(benchmark::kMicrosecond);
BENCHMARK(comparedAfterRestore)->Unit(benchmark::kMicrosecond);
BENCHMARK(newRelease)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
