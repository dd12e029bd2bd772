#pragma once
// Small picture and sound files written by the tests themselves.

#include <QImage>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace fixtures {

// The German text of the error the action throws, or "(no error)".
std::string errorOf(const std::function<void()>& action);

// The 44-byte header of a WAV (format tag 1: PCM) whose data chunk claims `dataBytes`.
std::string wavHeader(int channels, int sampleRate, int bitsPerSample, std::uint32_t dataBytes, int encoding = 1);

// False when built with a sanitizer, whose shadow memory does not fit an address-space limit.
bool addressSpaceCanBeLimited();

// errorOf(action) run in a forked child whose address space may grow by `headroom` bytes at
// most and which is stopped after 20 s; how the child ended when it gave no answer.
std::string errorWithinMemory(const std::function<void()>& action, std::size_t headroom);

// A PCM WAV of a quiet tone: `milliseconds` long, 8, 16 or 32 bits per sample.
void writeWav(const std::filesystem::path& path, int milliseconds, int sampleRate = 22050, int channels = 1,
              int bitsPerSample = 16);

// RgbFull keeps the colour at full resolution (no chroma subsampling).
enum class JpegColours { Rgb, RgbFull, Grey, Cmyk };

// A baseline (or progressive) JPEG of the image, written through libjpeg.
void writeJpeg(const std::filesystem::path& path, const QImage& image, JpegColours colours = JpegColours::Rgb,
               bool progressive = false, int quality = 95);

// The JPEG with its last scan (from the last start-of-scan marker to the end of the image)
// repeated `times` times more: the decoder passes over the whole picture once for each.
std::string withRepeatedLastScan(const std::string& jpeg, int times);

// A grey progressive JPEG of 8K as Qt's writer makes it (libjpeg's ten scans, quickly even at this
// size), its last scan repeated `extraScans` times.
std::string greyProgressiveJpeg(int extraScans);

// A 32-bit BMP (BITMAPV5 header with an alpha mask), which Qt itself does not write.
void writeBmp32(const std::filesystem::path& path, const QImage& image);

// Saves through Qt's own writer ("BMP" gives 1-, 4-, 8- or 24-bit files by the image's format).
void saveWithQt(const std::filesystem::path& path, const QImage& image, const char* format);

// Hostile files: a FIFO (which blocks an opener that waits for a writer), and `head` followed by
// a hole up to `size` bytes (a huge file that costs no disk).
void makeFifo(const std::filesystem::path& path);
void writeSparse(const std::filesystem::path& path, const std::string& head, std::uintmax_t size);

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

// A picture of four coloured quarters: top-left red, top-right green, bottom-left blue,
// bottom-right yellow.
QImage quarters(int width, int height);

} // namespace fixtures
