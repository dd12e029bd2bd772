#include "media/WavCheck.h"

#include "media/MediaFile.h"
#include "platform/BlitzfangError.h"

#include <algorithm>

namespace {

namespace encoding {
constexpr int pcm = 0x0001;
constexpr int msAdpcm = 0x0002;
constexpr int ieeeFloat = 0x0003;
constexpr int alaw = 0x0006;
constexpr int mulaw = 0x0007;
constexpr int imaAdpcm = 0x0011;
constexpr int extensible = 0xFFFE;
} // namespace encoding

constexpr int kFewestChannels = 1;
constexpr int kMostChannels = 8;
constexpr int kLowestRate = 1000;
constexpr int kHighestRate = 384000;

// The fmt chunk's fields that are read: up to the sub-format's tag of an extensible file.
constexpr std::size_t kFormatBytesRead = 26;

std::uint32_t littleEndian(std::string_view bytes, std::size_t at, int width)
{
    std::uint32_t value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
    return value;
}

bool bitsFitEncoding(int tag, int bits)
{
    switch (tag) {
    case encoding::pcm:
        return bits == 8 || bits == 16 || bits == 24 || bits == 32;
    case encoding::ieeeFloat:
        return bits == 32;
    case encoding::alaw:
    case encoding::mulaw:
        return bits == 8;
    case encoding::msAdpcm:
    case encoding::imaAdpcm:
        return bits == 4;
    default:
        return false;
    }
}

bool isAdpcm(int tag)
{
    return tag == encoding::msAdpcm || tag == encoding::imaAdpcm;
}

// Reads the fmt chunk's body (its first kFormatBytesRead bytes) into `format`; false when it is
// too short to hold one.
bool readFormat(std::string_view body, std::uint64_t chunkSize, WavFormat& format)
{
    if (chunkSize < 16 || body.size() < 16)
        return false;
    format.encoding = static_cast<int>(littleEndian(body, 0, 2));
    format.channels = static_cast<int>(littleEndian(body, 2, 2));
    format.sampleRate = static_cast<int>(std::min<std::uint32_t>(littleEndian(body, 4, 4), 0x7fffffff));
    format.bitsPerSample = static_cast<int>(littleEndian(body, 14, 2));
    if (format.encoding == encoding::extensible) {
        // The sub-format GUID starts with the plain format tag.
        if (chunkSize < kFormatBytesRead || body.size() < kFormatBytesRead)
            return false;
        format.encoding = static_cast<int>(littleEndian(body, 24, 2));
    }
    return true;
}

class BytesInMemory : public WavBytes {
public:
    explicit BytesInMemory(std::string_view bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::string_view at(std::uint64_t offset, std::size_t count) override
    {
        return offset >= bytes_.size() ? std::string_view() : bytes_.substr(static_cast<std::size_t>(offset), count);
    }

private:
    std::string_view bytes_;
};

// The check reads chunk headers only, in pieces of the file.
class FileBytes : public WavBytes {
public:
    explicit FileBytes(const MediaFile& file) : file_(file) {}
    std::uint64_t size() const override { return file_.size(); }
    std::string_view at(std::uint64_t offset, std::size_t count) override
    {
        if (offset < windowStart_ || offset + count > windowStart_ + window_.size()) {
            windowStart_ = offset;
            window_ = file_.readAt(offset, std::max(count, kWindow));
        }
        return std::string_view(window_).substr(static_cast<std::size_t>(offset - windowStart_), count);
    }

private:
    static constexpr std::size_t kWindow = 64 * 1024;
    const MediaFile& file_;
    std::uint64_t windowStart_ = 0;
    std::string window_;
};

} // namespace

WavFormat checkWavFile(const MediaFile& file, const DeviceFormatSource& device)
{
    FileBytes bytes(file);
    return checkWavHeader(bytes, file.path(), device);
}

WavFormat checkWavHeader(WavBytes& bytes, const std::string& path, const DeviceFormatSource& device)
{
    const auto invalid = [&] { return BlitzfangError(fehlertext::keineGueltigeWavDatei(path)); };
    const std::uint64_t fileSize = bytes.size();
    const std::string_view riff = bytes.at(0, 12);
    if (riff.size() < 12 || riff.substr(0, 4) != "RIFF" || riff.substr(8, 4) != "WAVE")
        throw invalid();

    WavFormat format;
    bool haveFormat = false;
    std::uint64_t at = 12;
    while (true) {
        const std::string_view header = bytes.at(at, 8);
        if (header.size() < 8)
            throw invalid();
        const std::string_view id = header.substr(0, 4);
        const std::uint64_t size = littleEndian(header, 4, 4);
        at += 8;
        if (id == "fmt ") {
            // Only data may be cut off by the file's end.
            if (size > fileSize - at || !readFormat(bytes.at(at, kFormatBytesRead), size, format))
                throw invalid();
            format.formatOffset = at;
            format.formatBytes = size;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                throw invalid();
            format.dataOffset = at;
            format.dataBytes = std::min(size, fileSize - at);
            break;
        }
        // Chunks are padded to an even size.
        const std::uint64_t next = at + size + (size & 1);
        if (next >= fileSize)
            throw invalid();
        at = next;
    }

    if (format.channels < kFewestChannels || format.channels > kMostChannels || format.sampleRate < kLowestRate ||
        format.sampleRate > kHighestRate || !bitsFitEncoding(format.encoding, format.bitsPerSample))
        throw BlitzfangError(fehlertext::wavFormatNichtAbspielbar(path));
    format.streamable = !isAdpcm(format.encoding);
    // Held whole, the sound must fit as file data and once converted.
    if (!format.streamable &&
        (format.dataBytes > kLargestHeldSound || decodedSize(format, device()) > kLargestHeldSound))
        throw BlitzfangError(fehlertext::klangZuLang(path));
    return format;
}

WavFormat checkWavBytes(std::string_view bytes, const std::string& path, const DeviceFormatSource& device)
{
    BytesInMemory inMemory(bytes);
    return checkWavHeader(inMemory, path, device);
}

std::uint64_t decodedSize(const WavFormat& format, const SoundDeviceFormat& device)
{
    const auto frameBits = static_cast<std::uint64_t>(format.channels) * static_cast<std::uint64_t>(format.bitsPerSample);
    const std::uint64_t frames = format.dataBytes * 8 / frameBits;
    const std::uint64_t deviceFrames =
        frames * static_cast<std::uint64_t>(device.sampleRate) / static_cast<std::uint64_t>(format.sampleRate) + 1;
    return deviceFrames * static_cast<std::uint64_t>(device.channels) * static_cast<std::uint64_t>(device.bytesPerSample);
}

std::int64_t streamedMilliseconds(const WavFormat& format)
{
    const auto frameBytes = static_cast<std::uint64_t>(format.channels) * static_cast<std::uint64_t>(format.bitsPerSample / 8);
    return static_cast<std::int64_t>(format.dataBytes / frameBytes * 1000 / static_cast<std::uint64_t>(format.sampleRate));
}

bool playedFromFile(const WavFormat& format, const SoundDeviceFormat& device)
{
    return format.streamable && (format.dataBytes > kLargestHeldSound || decodedSize(format, device) > kLargestHeldSound);
}

void checkSoundBytes(std::string_view bytes, const std::string& path, const DeviceFormatSource& device)
{
    if (bytes.size() > kLargestSoundFile)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    checkWavBytes(bytes, path, device);
}
