// Media figures: loading an 800x600 JPEG (goal: within 10 ms) and a 100x100 bitmap, preparing
// a transparent drawing, and how fast a sound starts: the mixer buffer in frames (goal: at most
// 512) and the time from play() to the first mixed piece of the sound. Then the limits: an 8K
// background as the game holds it on a 1920x1080 screen and whole, a 4K JPEG whose scan repeats
// 30,000 times (refused; 406 s before the scan limit) and an 8K one with the most scans admitted.
// Peak memory of the largest media: media_memory_probe.
//
//   build/bench/media_bench            (uses data/Standard/bilder/hbild.jpg when it exists)

#include "media/PictureBox.h"
#include "media/PictureLoader.h"
#include "media/SoundPlayer.h"
#include "platform/BlitzfangError.h"
#include "tests/media/MediaFixtures.h"

#include <QApplication>
#include <QImage>
#include <QWidget>

#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <thread>

#include <unistd.h>

namespace fs = std::filesystem;

namespace {

fs::path scratchFolder()
{
    static const fs::path folder = [] {
        fs::path path = fs::temp_directory_path() / ("blitzfang-bench-" + std::to_string(::getpid()));
        fs::create_directories(path);
        return path;
    }();
    return folder;
}

// A photo-like picture: smooth gradients with grain, so the JPEG has real work to do.
QImage photoLike(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> grain(-12, 12);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int r = 128 + static_cast<int>(100 * std::sin(x / 37.0)) + grain(random);
            const int g = 128 + static_cast<int>(100 * std::cos(y / 23.0)) + grain(random);
            const int b = (x + y) % 256;
            image.setPixel(x, y, qRgb(std::clamp(r, 0, 255), std::clamp(g, 0, 255), b));
        }
    return image;
}

std::string generatedJpeg()
{
    const fs::path generated = scratchFolder() / "foto.jpg";
    if (!fs::exists(generated))
        photoLike(800, 600).save(QString::fromStdString(generated.string()), "JPEG", 90);
    return generated.string();
}

std::string jpegUnderTest()
{
    const fs::path shipped = fs::path(BLITZFANG_SOURCE_DIR) / "data" / "Standard" / "bilder" / "hbild.jpg";
    return fs::exists(shipped) ? shipped.string() : generatedJpeg();
}

std::string bitmapUnderTest()
{
    const fs::path generated = scratchFolder() / "figur.bmp";
    if (!fs::exists(generated))
        photoLike(100, 100).save(QString::fromStdString(generated.string()), "BMP");
    return generated.string();
}

void loadJpeg(benchmark::State& state, const std::string& path)
{
    QImage image;
    for (auto _ : state) {
        image = loadPictureFile(path).image;
        benchmark::DoNotOptimize(image.constBits());
    }
    state.SetLabel(fs::path(path).filename().string() + " " + std::to_string(image.width()) + "x"
                   + std::to_string(image.height()));
}
void BM_LoadJpeg(benchmark::State& state) { loadJpeg(state, jpegUnderTest()); }
BENCHMARK(BM_LoadJpeg)->Unit(benchmark::kMillisecond);

// A grainy photo-like 800x600 at quality 90: harder than a drawn picture.
void BM_LoadJpegPhoto(benchmark::State& state) { loadJpeg(state, generatedJpeg()); }
BENCHMARK(BM_LoadJpegPhoto)->Unit(benchmark::kMillisecond);

void BM_LoadBitmap100x100(benchmark::State& state)
{
    const std::string path = bitmapUnderTest();
    for (auto _ : state) {
        QImage image = loadPictureFile(path).image;
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_LoadBitmap100x100)->Unit(benchmark::kMicrosecond);

void BM_TransparentDrawing100x100(benchmark::State& state)
{
    const QImage picture = loadPictureFile(bitmapUnderTest()).image;
    for (auto _ : state) {
        QImage drawn = drawnImage(picture, PictureKind::Bitmap, true);
        benchmark::DoNotOptimize(drawn.constBits());
    }
}
BENCHMARK(BM_TransparentDrawing100x100)->Unit(benchmark::kMicrosecond);

// Four transparent 25x25 figures step across an 800x600 background picture, each step painted
// (the game moves them every 2 ms at its fastest).
void BM_MoveFourFigures(benchmark::State& state)
{
    QWidget field;
    field.setFixedSize(800, 600);
    auto* background = new PictureBox(&field);
    background->loadPicture(jpegUnderTest());
    const fs::path figurePath = scratchFolder() / "figur25.bmp";
    photoLike(25, 25).save(QString::fromStdString(figurePath.string()), "BMP");
    PictureBox* figures[4];
    for (PictureBox*& figure : figures) {
        figure = new PictureBox(&field);
        figure->setTransparent(true);
        figure->loadPicture(figurePath.string());
    }
    field.show();
    QApplication::processEvents();
    int step = 0;
    for (auto _ : state) {
        ++step;
        for (int i = 0; i < 4; ++i)
            figures[i]->move((step * 5 + i * 150) % 760, (step * 5 + i * 90) % 560);
        QApplication::processEvents();
    }
}
BENCHMARK(BM_MoveFourFigures)->Unit(benchmark::kMicrosecond);

// --- Limits --------------------------------------------------------------------------------

std::string generated8kJpeg()
{
    const fs::path path = scratchFolder() / "8k.jpg";
    if (!fs::exists(path))
        photoLike(7680, 4320).save(QString::fromStdString(path.string()), "JPEG", 90);
    return path.string();
}

void BM_Load8kBackgroundAsTheGame(benchmark::State& state)
{
    const std::string path = generated8kJpeg();
    for (auto _ : state) {
        QImage part = loadPictureFile(path, QSize(1920, 1080)).image;
        benchmark::DoNotOptimize(part.constBits());
    }
}
BENCHMARK(BM_Load8kBackgroundAsTheGame)->Unit(benchmark::kMillisecond);

void BM_Load8kWhole(benchmark::State& state)
{
    const std::string path = generated8kJpeg();
    for (auto _ : state) {
        QImage whole = loadPictureFile(path).image;
        benchmark::DoNotOptimize(whole.constBits());
    }
}
BENCHMARK(BM_Load8kWhole)->Unit(benchmark::kMillisecond);

// A flat progressive picture whose last scan (a refinement of every block) repeats.
std::string repeatedScans(int width, int height, int repeats)
{
    const fs::path path = scratchFolder() / ("durchlauf-" + std::to_string(width) + "-" + std::to_string(repeats) + ".jpg");
    if (!fs::exists(path)) {
        QImage flat(width, height, QImage::Format_RGB32);
        flat.fill(qRgb(90, 120, 200));
        fixtures::writeJpeg(path, flat, fixtures::JpegColours::Rgb, true, 90);
        fixtures::writeBytes(path, fixtures::withRepeatedLastScan(fixtures::readBytes(path), repeats));
    }
    return path.string();
}

void loadRepeatedScans(benchmark::State& state, const std::string& path)
{
    std::string outcome;
    for (auto _ : state) {
        try {
            outcome = std::to_string(loadPictureFile(path).image.width()) + " wide";
        } catch (const BlitzfangError& error) {
            outcome = error.what();
        }
    }
    state.SetLabel(std::to_string(fs::file_size(path) / 1024) + " KiB: " + outcome.substr(outcome.rfind(':') + 1));
}

void BM_RepeatedScans4k30000(benchmark::State& state) { loadRepeatedScans(state, repeatedScans(3840, 2160, 30000)); }
BENCHMARK(BM_RepeatedScans4k30000)->Unit(benchmark::kMillisecond)->Iterations(3);

// 10 scans of its own and 90 repeated: the most a picture may have.
void BM_RepeatedScans8kAdmitted(benchmark::State& state) { loadRepeatedScans(state, repeatedScans(7680, 4320, 90)); }
BENCHMARK(BM_RepeatedScans8kAdmitted)->Unit(benchmark::kMillisecond)->Iterations(3);

// --- Sound ---------------------------------------------------------------------------------

std::atomic<int> mixedFramesPerPiece{0};

void recordPieceSize(void*, Uint8*, int length)
{
    int frequency = 0;
    int channels = 0;
    Uint16 format = 0;
    // Runs on the audio thread; Mix_QuerySpec only reads the stored device format.
    Mix_QuerySpec(&frequency, &format, &channels);
    const int frameBytes = channels * (SDL_AUDIO_BITSIZE(format) / 8);
    if (frameBytes > 0)
        mixedFramesPerPiece.store(length / frameBytes);
}

std::string soundUnderTest()
{
    const fs::path path = scratchFolder() / "treffer.wav";
    if (fs::exists(path))
        return path.string();
    const int rate = 44100;
    const int frames = rate / 5;
    std::ofstream out(path, std::ios::binary);
    auto put = [&](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.put(static_cast<char>((value >> (8 * i)) & 0xff));
    };
    out << "RIFF";
    put(36 + frames * 2, 4);
    out << "WAVEfmt ";
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    out << "data";
    put(frames * 2, 4);
    for (int i = 0; i < frames; ++i)
        put(static_cast<std::uint16_t>(static_cast<std::int16_t>(8000 * std::sin(i / 10.0))), 2);
    return path.string();
}

// Time from play() to the first piece of the sound being mixed, i.e. handed to the device.
void BM_SoundStartLatency(benchmark::State& state)
{
    SoundPlayer player;
    player.setFileName(soundUnderTest());
    player.open();
    Mix_SetPostMix(recordPieceSize, nullptr);
    for (auto _ : state) {
        player.open();
        const auto start = std::chrono::steady_clock::now();
        player.play();
        while (player.position() == 0)
            std::this_thread::yield();
        const auto mixed = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(mixed - start).count());
        // Let the playback run a while, so the next start falls anywhere in a mixer period.
        std::this_thread::sleep_for(std::chrono::microseconds(3000 + 977 * (state.iterations() % 11)));
    }
    Mix_SetPostMix(nullptr, nullptr);
    state.counters["mixer_frames"] = mixedFramesPerPiece.load();
    state.SetLabel(std::string("driver ") + (SDL_GetCurrentAudioDriver() ? SDL_GetCurrentAudioDriver() : "?"));
}
BENCHMARK(BM_SoundStartLatency)->UseManualTime()->Iterations(200)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ignored;
    fs::remove_all(scratchFolder(), ignored);
    return 0;
}
