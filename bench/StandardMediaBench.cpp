// What the start of an installed program pays for the player's copy of the standard media
// (copyShippedStandard), with the real media of data/Standard and the build's manifest:
//  - upToDate: every copy recorded as holding the current version: nothing is read;
//  - firstStart: the player's folder is empty: every file is copied;
//  - judgedWithoutRecord: every copy equals its shipped file, but the record is missing (copies
//    of a release before it): each is read and hashed once, then recorded;
//  - newRelease: every copy is an earlier release's file, without a record: each is read,
//    hashed, found in the manifest's history and replaced.
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

std::string sameBytes(const fs::path& file)
{
    std::ifstream in(file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// An installation with the shipped media and a manifest that lists them and an earlier release
// holding, for every file, the same bytes with the first byte changed; and a player's folder beside it.
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
                const std::string file = entry.path().lexically_relative(shipped).string();
                const std::string now = sameBytes(entry.path()), old = earlier(entry.path());
                manifest += "current " + std::to_string(now.size()) + " " + sha256Text(now) + " " + file + "\r\n";
                manifest += "earlier " + std::to_string(old.size()) + " " + sha256Text(old) + " " + file + "\r\n";
            }
        std::ofstream(shipped.parent_path() / kStandardManifestName, std::ios::binary) << manifest;
        prepareProgramFolder(choice);
    }

    static std::string earlier(const fs::path& file)
    {
        std::string bytes = sameBytes(file);
        bytes[0] = static_cast<char>(bytes[0] ^ 1);
        return bytes;
    }

    // Every copy set to what `content` makes of its shipped file, without a record.
    void copiesOf(std::string (*content)(const fs::path&))
    {
        fs::remove(player / "Standard" / kStandardRecordName);
        for (const auto& entry : fs::recursive_directory_iterator(shipped))
            if (entry.is_regular_file()) {
                const fs::path copy = player / "Standard" / entry.path().lexically_relative(shipped);
                std::ofstream(copy, std::ios::binary | std::ios::trunc) << content(entry.path());
            }
    }
};

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

void judgedWithoutRecord(benchmark::State& state)
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
BENCHMARK(judgedWithoutRecord)->Unit(benchmark::kMicrosecond);
BENCHMARK(newRelease)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
