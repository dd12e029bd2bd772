#pragma once
// Small picture and sound files written by the tests themselves.

#include <QImage>

#include <filesystem>
#include <functional>
#include <string>

namespace fixtures {

// The German text of the error the action throws, or "(no error)".
std::string errorOf(const std::function<void()>& action);

// A PCM WAV of a quiet tone: `milliseconds` long, 8 or 16 bits per sample.
void writeWav(const std::filesystem::path& path, int milliseconds, int sampleRate = 22050, int channels = 1,
              int bitsPerSample = 16);

enum class JpegColours { Rgb, Grey, Cmyk };

// A baseline (or progressive) JPEG of the image, written through libjpeg.
void writeJpeg(const std::filesystem::path& path, const QImage& image, JpegColours colours = JpegColours::Rgb,
               bool progressive = false, int quality = 95);

// A 32-bit BMP (BITMAPV5 header with an alpha mask), which Qt itself does not write.
void writeBmp32(const std::filesystem::path& path, const QImage& image);

// Saves through Qt's own writer ("BMP" gives 1-, 4-, 8- or 24-bit files by the image's format).
void saveWithQt(const std::filesystem::path& path, const QImage& image, const char* format);

std::string readBytes(const std::filesystem::path& path);
void writeBytes(const std::filesystem::path& path, const std::string& bytes);

// A picture of four coloured quarters: top-left red, top-right green, bottom-left blue,
// bottom-right yellow.
QImage quarters(int width, int height);

} // namespace fixtures
