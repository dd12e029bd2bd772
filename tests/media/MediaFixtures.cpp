#include "tests/media/MediaFixtures.h"

#include "platform/BlitzfangError.h"

#include <QBuffer>
#include <QColor>
#include <QImageWriter>

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <new>
#include <stdexcept>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

#include <jpeglib.h>

namespace fixtures {

std::string errorOf(const std::function<void()>& action)
{
    try {
        action();
    } catch (const BlitzfangError& error) {
        return error.what();
    }
    return "(no error)";
}

bool addressSpaceCanBeLimited()
{
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
    return false;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(memory_sanitizer) || __has_feature(thread_sanitizer)
    return false;
#else
    return true;
#endif
#else
    return true;
#endif
}

namespace {

std::size_t currentAddressSpace()
{
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    return pages * static_cast<std::size_t>(::sysconf(_SC_PAGESIZE));
}

} // namespace

std::string errorWithinMemory(const std::function<void()>& action, std::size_t headroom)
{
    int channel[2];
    if (::pipe(channel) != 0)
        throw std::runtime_error("pipe failed");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(channel[0]);
        const rlimit limit{currentAddressSpace() + headroom, currentAddressSpace() + headroom};
        ::setrlimit(RLIMIT_AS, &limit);
        ::alarm(20);
        std::string answer;
        try {
            answer = errorOf(action);
        } catch (const std::bad_alloc&) {
            answer = "(out of memory)";
        }
        (void)!::write(channel[1], answer.data(), answer.size());
        ::_exit(0);
    }
    ::close(channel[1]);
    std::string answer;
    char piece[512];
    for (ssize_t got; (got = ::read(channel[0], piece, sizeof piece)) != 0;) {
        if (got > 0)
            answer.append(piece, static_cast<std::size_t>(got));
        else if (errno != EINTR)
            break;
    }
    ::close(channel[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFSIGNALED(status))
        return "(child ended by signal " + std::to_string(WTERMSIG(status)) + ")";
    return answer;
}

namespace {

void putLe(std::string& out, std::uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
}

} // namespace

std::string wavHeader(int channels, int sampleRate, int bitsPerSample, std::uint32_t dataBytes, int encoding)
{
    const int blockAlign = channels * bitsPerSample / 8;
    std::string out = "RIFF";
    putLe(out, 36 + dataBytes, 4);
    out += "WAVEfmt ";
    putLe(out, 16, 4);
    putLe(out, static_cast<std::uint32_t>(encoding), 2);
    putLe(out, static_cast<std::uint32_t>(channels), 2);
    putLe(out, static_cast<std::uint32_t>(sampleRate), 4);
    putLe(out, static_cast<std::uint32_t>(sampleRate * blockAlign), 4);
    putLe(out, static_cast<std::uint32_t>(blockAlign), 2);
    putLe(out, static_cast<std::uint32_t>(bitsPerSample), 2);
    out += "data";
    putLe(out, dataBytes, 4);
    return out;
}

void writeWav(const std::filesystem::path& path, int milliseconds, int sampleRate, int channels, int bitsPerSample)
{
    const int frames = static_cast<int>(static_cast<long long>(sampleRate) * milliseconds / 1000);
    const int bytesPerSample = bitsPerSample / 8;
    const auto dataBytes = static_cast<std::uint32_t>(frames * channels * bytesPerSample);
    std::string out = wavHeader(channels, sampleRate, bitsPerSample, dataBytes);
    for (int frame = 0; frame < frames; ++frame) {
        const double wave = 0.2 * std::sin(2.0 * M_PI * 440.0 * frame / sampleRate);
        for (int c = 0; c < channels; ++c) {
            if (bitsPerSample == 8)
                putLe(out, static_cast<std::uint32_t>(128 + std::lround(wave * 127)), 1);
            else if (bitsPerSample == 32)
                putLe(out, static_cast<std::uint32_t>(static_cast<std::int32_t>(std::lround(wave * 2147483647.0))), 4);
            else
                putLe(out, static_cast<std::uint32_t>(static_cast<std::int16_t>(std::lround(wave * 32767))), 2);
        }
    }
    writeBytes(path, out);
}

void writeJpeg(const std::filesystem::path& path, const QImage& image, JpegColours colours, bool progressive,
               int quality)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot write " + path.string());
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    jpeg_stdio_dest(&cinfo, file);
    cinfo.image_width = static_cast<JDIMENSION>(image.width());
    cinfo.image_height = static_cast<JDIMENSION>(image.height());
    cinfo.input_components = colours == JpegColours::Grey ? 1 : colours == JpegColours::Cmyk ? 4 : 3;
    cinfo.in_color_space = colours == JpegColours::Grey ? JCS_GRAYSCALE
        : colours == JpegColours::Cmyk                  ? JCS_CMYK
                                                        : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (colours == JpegColours::RgbFull)
        cinfo.comp_info[0].h_samp_factor = cinfo.comp_info[0].v_samp_factor = 1;
    if (progressive)
        jpeg_simple_progression(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(static_cast<std::size_t>(image.width() * cinfo.input_components));
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            unsigned char* px = row.data() + x * cinfo.input_components;
            if (colours == JpegColours::Grey) {
                px[0] = static_cast<unsigned char>(qGray(colour.rgb()));
            } else if (colours == JpegColours::Cmyk) {
                px[0] = static_cast<unsigned char>(255 - colour.red());
                px[1] = static_cast<unsigned char>(255 - colour.green());
                px[2] = static_cast<unsigned char>(255 - colour.blue());
                px[3] = 0;
            } else {
                px[0] = static_cast<unsigned char>(colour.red());
                px[1] = static_cast<unsigned char>(colour.green());
                px[2] = static_cast<unsigned char>(colour.blue());
            }
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::fclose(file);
}

std::string withRepeatedLastScan(const std::string& jpeg, int times)
{
    // Entropy-coded data never holds FF DA or FF D9: a data byte FF is followed by 00.
    const std::size_t scan = jpeg.rfind("\xff\xda");
    const std::size_t end = jpeg.rfind("\xff\xd9");
    if (scan == std::string::npos || end == std::string::npos || end < scan)
        throw std::runtime_error("not a JPEG with a scan");
    const std::string lastScan = jpeg.substr(scan, end - scan);
    std::string bomb = jpeg.substr(0, end);
    bomb.reserve(bomb.size() + lastScan.size() * static_cast<std::size_t>(times) + 2);
    for (int i = 0; i < times; ++i)
        bomb += lastScan;
    return bomb + "\xff\xd9";
}

std::string greyProgressiveJpeg(int extraScans)
{
    QImage image(7680, 4320, QImage::Format_RGB32);
    image.fill(QColor(90, 100, 110));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "jpeg");
    writer.setProgressiveScanWrite(true);
    writer.write(image);
    return withRepeatedLastScan(bytes.toStdString(), extraScans);
}

void writeBmp32(const std::filesystem::path& path, const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    const std::uint32_t pixelBytes = static_cast<std::uint32_t>(argb.width() * argb.height() * 4);
    const std::uint32_t headerBytes = 14 + 124;
    std::string out = "BM";
    putLe(out, headerBytes + pixelBytes, 4);
    putLe(out, 0, 4);
    putLe(out, headerBytes, 4);
    putLe(out, 124, 4); // BITMAPV5HEADER
    putLe(out, static_cast<std::uint32_t>(argb.width()), 4);
    putLe(out, static_cast<std::uint32_t>(argb.height()), 4); // bottom-up
    putLe(out, 1, 2);
    putLe(out, 32, 2);
    putLe(out, 3, 4); // BI_BITFIELDS
    putLe(out, pixelBytes, 4);
    putLe(out, 2835, 4);
    putLe(out, 2835, 4);
    putLe(out, 0, 4);
    putLe(out, 0, 4);
    putLe(out, 0x00ff0000, 4); // red mask
    putLe(out, 0x0000ff00, 4);
    putLe(out, 0x000000ff, 4);
    putLe(out, 0xff000000, 4); // alpha mask
    putLe(out, 0x73524742, 4); // 'sRGB'
    out.append(36 + 12, '\0'); // endpoints, gamma
    putLe(out, 4, 4);          // intent
    out.append(12, '\0');      // profile data, size, reserved
    for (int y = argb.height() - 1; y >= 0; --y)
        for (int x = 0; x < argb.width(); ++x)
            putLe(out, argb.pixel(x, y), 4);
    writeBytes(path, out);
}

void saveWithQt(const std::filesystem::path& path, const QImage& image, const char* format)
{
    if (!image.save(QString::fromStdString(path.string()), format))
        throw std::runtime_error("cannot save " + path.string());
}

void makeFifo(const std::filesystem::path& path)
{
    if (::mkfifo(path.c_str(), 0600) != 0)
        throw std::runtime_error("cannot make FIFO " + path.string());
}

void writeSparse(const std::filesystem::path& path, const std::string& head, std::uintmax_t size)
{
    writeBytes(path, head);
    std::filesystem::resize_file(path, size);
}

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    if (!out)
        throw std::runtime_error("cannot write " + path.string());
}

QImage quarters(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const bool right = x >= width / 2;
            const bool bottom = y >= height / 2;
            image.setPixel(x, y, bottom ? (right ? qRgb(255, 255, 0) : qRgb(0, 0, 255))
                                        : (right ? qRgb(0, 255, 0) : qRgb(255, 0, 0)));
        }
    return image;
}

} // namespace fixtures
