// Scenario packages, each measured in a forked child (time and peak resident memory):
// 1. the import of a package with 10000 hit sounds, each a copy of one of the standard sounds, as
//    the program's export writes it (goal: at most 2 s): its check, its unpacking with the syncs
//    of its files, adding it to the list and loading it;
// 2. the check of the worst package the check accepts (goal: at most 10 s): five pictures of 8K,
//    each a progressive JPEG at the decoding bound, and deflated sounds that inflate slowly up to
//    the unpacked limit;
// 3. the check of a package of 40 unnamed 8K JPEGs with 100 scans each (3.9 s apiece to decode),
//    which is refused before any of them is decoded.
//
//   build/bench/package_bench [SOUNDS]

#include "bench/BenchFolder.h"
#include "media/PackageChecks.h"
#include "media/PictureLoader.h"
#include "package/CheckedPackage.h"
#include "package/PackageExport.h"
#include "package/PackageImport.h"
#include "package/ZipArchive.h"
#include "platform/BlitzfangError.h"
#include "platform/Dialogs.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"
#include "tests/media/MediaFixtures.h"

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
#include <functional>
#include <random>
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

// Runs `step` in a forked child and prints its peak resident memory and processor time after what
// it printed (the processor time tells the cost on a machine that other work slows down).
void measured(const char* what, const std::function<void()>& step)
{
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        step();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 0;
    rusage usage{};
    wait4(child, &status, 0, &usage);
    const double processor = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                             double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    std::printf("%s: peak resident memory %ld MiB, processor time %.3f s\n", what, usage.ru_maxrss / 1024, processor);
}

// Checks the package in a fresh program folder; prints the time and the result.
void timeCheck(const fs::path& root, const std::string& what, const fs::path& package)
{
    const fs::path folder = programFolder(root, "check");
    measured(what.c_str(), [&] {
        const ConfinedFolder confined(folder);
        const auto start = Clock::now();
        std::string result = "accepted";
        try {
            checkPackage(confined, package.string(), packageMediaChecks());
        } catch (const BlitzfangError& error) {
            result = std::string("refused: ") + error.what();
        }
        std::printf("%s: check %.3f s, %.200s\n", what.c_str(), secondsSince(start), result.c_str());
    });
    fs::remove_all(folder);
}

// --- 1: the 10000-sound package -----------------------------------------------------------

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

void importOnce(const fs::path& root, int round, const fs::path& package)
{
    const fs::path folder = programFolder(root, "import-" + std::to_string(round));
    ::sync(); // the copies of the standard media are no part of the import
    measured(("import " + std::to_string(round)).c_str(), [&] {
        PrintingNotifier notifier;
        ScenarioStore store(folder, notifier);
        store.programmstartVorbereiten();
        store.dateiexlesen("standard");
        const auto start = Clock::now();
        const CheckedPackage checked = checkPackage(store.folder(), package.string(), packageMediaChecks());
        const double checkedAfter = secondsSince(start);
        unpackPackage(store.folder(), checked,
                      {store.scenarioFile(checked.name), store.scenarioFolder(checked.name), false}, store.settings,
                      Trash());
        const double unpackedAfter = secondsSince(start);
        store.neudateieintrag(checked.name);
        store.setup.spielstart = checked.name;
        store.dateischreibensetup();
        store.dateiexlesen(checked.name);
        std::printf("import %d: %.3f s (check %.3f s, unpack and sync %.3f s, list and load %.3f s), %zu sounds\n",
                    round, secondsSince(start), checkedAfter, unpackedAfter - checkedAfter,
                    secondsSince(start) - unpackedAfter, store.settings.sounds.size());
    });
}

// --- 2 and 3: crafted packages -----------------------------------------------------------

// The most repetitions that keep the picture within the decoding bound.
std::string jpegAtTheBound()
{
    const JpegOutline plain = outlineJpeg(fixtures::greyProgressiveJpeg(0));
    const std::uint64_t perScan = outlineJpeg(fixtures::greyProgressiveJpeg(1)).work() - plain.work();
    return fixtures::greyProgressiveJpeg(int((kMostJpegWork - plain.work()) / perScan));
}

// "Ziel.cfg" naming `pictures` and `sounds` of its own, as a package holds it.
std::string scenarioNaming(const std::vector<std::string>& pictures, const std::vector<std::string>& sounds)
{
    std::string text = "Titel: Schwer\r\nZielort: Ziel\r\nSpielername: Ute\r\nTextfarbe: 255\r\n";
    const char* keys[] = {"Ziel: ", "Abschuss: ", "Abschuss2: ", "Schuss: ", "Hintergrundbild: "};
    for (std::size_t i = 0; i < pictures.size() && i < 5; ++i)
        text += std::string(keys[i]) + "Ziel/bilder/" + pictures[i] + "\r\n";
    text += "Sounddateianzahl: " + std::to_string(sounds.size()) + "\r\n";
    for (const std::string& sound : sounds)
        text += "Sounds: Ziel/sound/" + sound + "\r\n";
    return text + "Siegsound: Ziel/sound/" + sounds.front() + "\r\n";
}

// The worst package within the limits: five pictures at the bound, and sounds whose headers the
// check reads whole: each begins with almost 1 MiB of a chunk that inflates slowly (random values
// below 16), as many as the limit for sound beginnings allows, each with long data up to the
// unpacked limit.
void writeWorstPackage(const fs::path& path)
{
    const std::string jpeg = jpegAtTheBound();
    const JpegOutline outline = outlineJpeg(jpeg);
    std::printf("picture at the bound: %d scans, work %.1f million (bound %.1f million), %zu bytes\n", outline.scans,
                double(outline.work()) / 1e6, double(kMostJpegWork) / 1e6, jpeg.size());
    const std::vector<std::string> pictures = {"a.jpg", "b.jpg", "c.jpg", "d.jpg", "e.jpg"};
    const PackageLimits limits;
    std::vector<std::string> sounds;
    while ((sounds.size() + 1) * kSoundHeaderRoom < limits.mostSoundBeginnings)
        sounds.push_back("s" + std::to_string(sounds.size()) + ".wav");
    const std::uint64_t soundBytes = (limits.mostBytes - 5 * jpeg.size() - (1 << 20)) / sounds.size();
    std::minstd_rand random(1);
    std::string chunk(kSoundHeaderRoom - 64, '\0');
    for (char& byte : chunk)
        byte = char(random() & 15);
    std::string beginning = fixtures::wavHeader(1, 22050, 16, std::uint32_t(soundBytes - 44 - 8 - chunk.size()));
    beginning.insert(36, "LIST" + std::string{char(chunk.size()), char(chunk.size() >> 8), char(chunk.size() >> 16), 0} + chunk);
    const std::string silence(1 << 20, '\0');

    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    {
        ZipWriter zip(fd);
        const std::string text = scenarioNaming(pictures, sounds);
        zip.beginFile("Ziel.cfg", text.size(), true);
        zip.write(text);
        for (const std::string& picture : pictures) {
            zip.beginFile("Ziel/bilder/" + picture, jpeg.size(), true);
            zip.write(jpeg);
        }
        for (const std::string& sound : sounds) {
            zip.beginFile("Ziel/sound/" + sound, soundBytes, true);
            zip.write(beginning);
            for (std::uint64_t left = soundBytes - beginning.size(); left > 0; left -= std::min<std::uint64_t>(left, silence.size()))
                zip.write(std::string_view(silence).substr(0, std::min<std::uint64_t>(left, silence.size())));
        }
        zip.finish();
    }
    ::close(fd);
    std::printf("worst package: %.1f MB, 5 pictures and %zu sounds, %.0f MiB unpacked\n",
                double(fs::file_size(path)) / 1e6, sounds.size(),
                double(5 * jpeg.size() + sounds.size() * soundBytes) / (1 << 20));
}

// 40 JPEGs of 8K with 100 scans that the scenario file does not name.
void writeUnnamedPictures(const fs::path& path)
{
    const std::string jpeg = fixtures::greyProgressiveJpeg(90);
    std::vector<std::string> sound = {"s.wav"};
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    {
        ZipWriter zip(fd);
        const std::string text = scenarioNaming({"a.jpg", "a.jpg", "a.jpg", "a.jpg"}, sound);
        zip.beginFile("Ziel.cfg", text.size(), true);
        zip.write(text);
        const std::string wav = fixtures::wavHeader(1, 22050, 16, 2) + std::string(2, '\0');
        zip.beginFile("Ziel/sound/s.wav", wav.size(), true);
        zip.write(wav);
        for (int n = 0; n <= 40; ++n) {
            zip.beginFile("Ziel/bilder/" + (n == 0 ? std::string("a") : "x" + std::to_string(n)) + ".jpg", jpeg.size(), true);
            zip.write(jpeg);
        }
        zip.finish();
    }
    ::close(fd);
    std::printf("unnamed pictures: %.1f MB, 40 unnamed JPEGs of %d scans\n", double(fs::file_size(path)) / 1e6,
                outlineJpeg(jpeg).scans);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const int sounds = argc > 1 ? std::atoi(argv[1]) : 10000;
    const BenchFolder bench;
    const fs::path& root = bench.path;

    const fs::path author = programFolder(root, "author");
    writeScenario(author, sounds);
    PrintingNotifier notifier;
    const ScenarioStore store(author, notifier);
    const fs::path package = root / "Tausend.blitzfang";
    const auto start = Clock::now();
    writePackage(store.folder(), planPackage(store.folder(), "Tausend"), package.string(), packageMediaChecks());
    std::printf("export of %d sounds: %.3f s\n", sounds, secondsSince(start));
    std::printf("package: %.1f MB, %d entries\n", double(fs::file_size(package)) / 1e6, sounds + 7);
    for (int round = 1; round <= 3; ++round)
        importOnce(root, round, package);

    writeWorstPackage(root / "Schwer.blitzfang");
    timeCheck(root, "worst accepted package", root / "Schwer.blitzfang");
    fs::remove(root / "Schwer.blitzfang");
    writeUnnamedPictures(root / "Unbenannt.blitzfang");
    timeCheck(root, "40 unnamed 8K JPEGs of 100 scans", root / "Unbenannt.blitzfang");
    return 0;
}
