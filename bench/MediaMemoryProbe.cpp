// Peak memory of the largest media the limits admit, each in a process of its own:
//
//   build/bench/media_memory_probe make FOLDER        writes the largest pictures and sounds
//   build/bench/media_memory_probe WHAT FILE          one step, then "peak N MiB" (ru_maxrss)
//
// WHAT: game (a background as the game holds it on a 1920x1080 screen), editor (the editor's
// measuring element on that screen), whole (a picture loaded whole, as an object picture is),
// copy-picture and copy-sound (a save's copy into a scenario folder beside the file: a picture
// read once, checked and written; a sound checked by its header and streamed), play (a
// sound opened and played for two seconds). Without a step the process itself (Qt loaded)
// takes the figure printed as "idle".

#include "editor/ScenarioFolderCopy.h"
#include "editor/Unit1.h"
#include "media/MediaFile.h"
#include "media/PictureBox.h"
#include "media/PictureLoader.h"
#include "media/SoundPlayer.h"
#include "media/WavCheck.h"
#include "tests/media/MediaFixtures.h"

#include <QApplication>

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>

namespace fs = std::filesystem;

namespace {

long peakMiB()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Grain everywhere, so the JPEGs carry real data in every block.
QImage grainy(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(11);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x)
            row[x] = qRgb((x / 7 + random() % 40) & 0xff, (y / 5 + random() % 40) & 0xff, (x + y + random() % 40) & 0xff);
    }
    return image;
}

// The largest sound file: 256 MiB of 48 kHz 24-bit stereo (15.5 minutes), a quiet noise.
void writeLargestSound(const fs::path& path)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(kLargestSoundFile - 44);
    std::ofstream out(path, std::ios::binary);
    out << fixtures::wavHeader(2, 48000, 24, dataBytes - dataBytes % 6);
    std::string block(6 * 48000, '\0');
    std::mt19937 random(3);
    for (char& byte : block)
        byte = static_cast<char>(random() % 8);
    for (std::uint32_t written = 0; written + block.size() <= dataBytes; written += static_cast<std::uint32_t>(block.size()))
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

void make(const fs::path& folder)
{
    fs::create_directories(folder);
    const QImage picture = grainy(7680, 4320);
    fixtures::writeJpeg(folder / "8k.jpg", picture, fixtures::JpegColours::Rgb, false, 90);
    fixtures::writeJpeg(folder / "8k-progressiv.jpg", picture, fixtures::JpegColours::RgbFull, true, 90);
    fixtures::writeBmp32(folder / "8k.bmp", picture);
    writeLargestSound(folder / "lang.wav");
    fixtures::writeWav(folder / "cd-10min.wav", 10 * 60 * 1000, 44100, 2, 16);
}

const QSize kScreen(1920, 1080);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 3 && std::strcmp(argv[1], "make") == 0) {
        make(argv[2]);
        return 0;
    }
    std::printf("idle %ld MiB\n", peakMiB());
    if (argc != 3)
        return 2;
    const std::string what = argv[1];
    const std::string path = argv[2];
    const auto started = std::chrono::steady_clock::now();
    if (what == "game" || what == "editor") {
        PictureBox element;
        element.setShownArea(kScreen);
        element.loadPicture(path);
        if (what == "game")
            element.grab();
    } else if (what == "whole") {
        PictureBox element;
        element.loadPicture(path);
        element.grab();
    } else if (what == "copy-picture" || what == "copy-sound") {
        // As a save copies it into a scenario folder beside the file: checked, then written.
        const std::string ordnername = what == "copy-sound" ? "sound" : "bilder";
        const fs::path programFolder = fs::path(path).parent_path() / "probe-program-folder";
        fs::create_directories(programFolder);
        const ConfinedFolder folder(programFolder);
        StagedFiles save(folder);
        copyToTarget(save, "Mond", path, "Mond/" + ordnername + "/" + fs::path(path).filename().string(),
                     TEditorForm::mediaCheck(ordnername));
        save.commit();
        fs::remove_all(programFolder);
    } else if (what == "play") {
        SoundPlayer player;
        player.setFileName(path);
        player.open();
        player.play();
        std::this_thread::sleep_for(std::chrono::seconds(2));
        std::printf("length %d ms, from its file: %s\n", player.length(), player.playsFromFile() ? "yes" : "no");
    } else {
        return 2;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("%s %s: peak %ld MiB, %.2f s\n", what.c_str(), fs::path(path).filename().c_str(), peakMiB(), seconds);
    return 0;
}
