// The import of a scenario package with 10000 hit sounds, each a copy of one of the standard
// sounds, as the program's export writes it. Goal: at most 2 s with bounded memory. Prints the
// package's size and entries, the export's time, and for each of a few imports into a fresh
// program folder its time (check, unpacking with the syncs of its files, adding to the list)
// and the peak memory of the process that imports.
//
//   build/bench/package_bench [SOUNDS] [deflated]      (deflated: the sounds compressed, as
//                                                      another archive tool might write them)

#include "game/ScenarioPackages.h"
#include "media/PackageChecks.h"
#include "package/CheckedPackage.h"
#include "package/PackageExport.h"
#include "package/PackageImport.h"
#include "package/ZipArchive.h"
#include "platform/Dialogs.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <QGuiApplication>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

class PrintingNotifier : public Notifier {
public:
    void notice(const std::string& text) override { std::printf("message: %.300s\n", text.c_str()); }
};

double secondsSince(Clock::time_point start)
{
    return std::chrono::duration<double>(Clock::now() - start).count();
}

fs::path programFolder(const fs::path& root, const std::string& name)
{
    const fs::path folder = root / name;
    fs::create_directories(folder);
    fs::copy(BLITZFANG_SOURCE_DIR "/data/Standard", folder / "Standard", fs::copy_options::recursive);
    return folder;
}

// "Tausend": the standard scenario's settings with `sounds` hit sounds of its own.
void writeScenario(const fs::path& folder, int sounds)
{
    fs::create_directories(folder / "Tausend" / "sound");
    fs::create_directories(folder / "Tausend" / "bilder");
    ScenarioSettings settings = standardSettings(folder);
    settings.sounds.clear();
    for (int n = 0; n < sounds; ++n) {
        char name[32];
        std::snprintf(name, sizeof name, "s%05d.wav", n);
        const fs::path copy = folder / "Tausend" / "sound" / name;
        fs::copy_file(folder / "Standard" / "sound" / ("au" + std::to_string(n % 10 + 1) + ".wav"), copy);
        settings.sounds.push_back(copy.string());
    }
    buildPreparedLines(settings, true);
    std::ofstream(folder / "Tausend.cfg", std::ios::binary) << scenarioFileText(settings);
}

// The same package with its sounds deflated.
void deflated(const fs::path& from, const fs::path& to)
{
    const int in = ::open(from.c_str(), O_RDONLY);
    const int out = ::open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ZipReader reader(in, 64 << 20);
    ZipWriter writer(out);
    ZipReader::Entry entry;
    while (reader.next(entry)) {
        if (entry.kind == EntryKind::folder) {
            writer.addFolder(entry.name.substr(0, entry.name.size() - 1));
            continue;
        }
        std::string bytes;
        for (std::string_view piece = reader.read(); !piece.empty(); piece = reader.read())
            bytes += piece;
        writer.beginFile(entry.name, bytes.size(), true);
        writer.write(bytes);
    }
    writer.finish();
    ::close(in);
    ::close(out);
}

void importOnce(const fs::path& root, int round, const fs::path& package)
{
    const fs::path folder = programFolder(root, "import-" + std::to_string(round));
    ::sync(); // the copies of the standard media are no part of the import
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        PrintingNotifier notifier;
        ScenarioStore store(folder, notifier);
        store.programmstartVorbereiten();
        store.dateiexlesen("standard");
        const auto start = Clock::now();
        const CheckedPackage checked = checkPackage(store.folder(), package.string(), packageMediaChecks());
        const double checkedAfter = secondsSince(start);
        unpackPackage(store.folder(), checked, store.scenarioFile(checked.name), store.scenarioFolder(checked.name));
        const double unpackedAfter = secondsSince(start);
        store.neudateieintrag(checked.name);
        store.setup.spielstart = checked.name;
        store.dateischreibensetup();
        store.dateiexlesen(checked.name);
        std::printf("import %d: %.3f s (check %.3f s, unpack and sync %.3f s, list and load %.3f s), %zu sounds\n",
                    round, secondsSince(start), checkedAfter, unpackedAfter - checkedAfter,
                    secondsSince(start) - unpackedAfter, store.settings.sounds.size());
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    std::printf("import %d: peak resident memory of the importing process %ld MiB\n", round, usage.ru_maxrss / 1024);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int sounds = argc > 1 ? std::atoi(argv[1]) : 10000;
    const bool deflate = argc > 2 && std::string(argv[2]) == "deflated";
    const fs::path root = fs::temp_directory_path() / ("blitzfang-package-bench-" + std::to_string(::getpid()));
    const fs::path author = programFolder(root, "author");
    writeScenario(author, sounds);

    PrintingNotifier notifier;
    const ScenarioStore store(author, notifier);
    fs::path package = root / "Tausend.blitzfang";
    const auto start = Clock::now();
    writePackage(store.folder(), planPackage(store.folder(), "Tausend"), package.string(), packageMediaChecks());
    std::printf("export of %d sounds: %.3f s\n", sounds, secondsSince(start));
    if (deflate) {
        deflated(package, root / "Tausend-deflated.blitzfang");
        package = root / "Tausend-deflated.blitzfang";
    }
    std::printf("package: %.1f MB, %d entries%s\n", double(fs::file_size(package)) / 1e6, sounds + 7,
                deflate ? ", sounds deflated" : ", sounds stored");
    for (int round = 1; round <= 3; ++round)
        importOnce(root, round, package);
    fs::remove_all(root);
    return 0;
}
