#include "media/WavCheck.h"

#include "platform/BlitzfangError.h"
#include "storage/SafeFile.h"

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

// Reads the fmt chunk's body into `format`; false when it is too short to hold one.
bool readFormat(std::string_view body, WavFormat& format)
{
    if (body.size() < 16)
        return false;
    format.encoding = static_cast<int>(littleEndian(body, 0, 2));
    format.channels = static_cast<int>(littleEndian(body, 2, 2));
    format.sampleRate = static_cast<int>(std::min<std::uint32_t>(littleEndian(body, 4, 4), 0x7fffffff));
    format.bitsPerSample = static_cast<int>(littleEndian(body, 14, 2));
    if (format.encoding == encoding::extensible) {
        // The sub-format GUID starts with the plain format tag.
        if (body.size() < 26)
            return false;
        format.encoding = static_cast<int>(littleEndian(body, 24, 2));
    }
    return true;
}

// An upper bound of the bytes the library holds once the data is converted to `device`.
std::uint64_t decodedSize(const WavFormat& format, const SoundDeviceFormat& device)
{
    const auto frameBits = static_cast<std::uint64_t>(format.channels) * static_cast<std::uint64_t>(format.bitsPerSample);
    const std::uint64_t frames = format.dataBytes * 8 / frameBits;
    const std::uint64_t deviceFrames =
        frames * static_cast<std::uint64_t>(device.sampleRate) / static_cast<std::uint64_t>(format.sampleRate) + 1;
    return deviceFrames * static_cast<std::uint64_t>(device.channels) * static_cast<std::uint64_t>(device.bytesPerSample);
}

} // namespace

WavFormat checkWavBytes(std::string_view bytes, const std::string& path, const SoundDeviceFormat& device)
{
    const auto invalid = [&] { return BlitzfangError(fehlertext::keineGueltigeWavDatei(path)); };
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE")
        throw invalid();

    WavFormat format;
    bool haveFormat = false;
    std::size_t at = 12;
    while (true) {
        if (bytes.size() - at < 8)
            throw invalid();
        const std::string_view id = bytes.substr(at, 4);
        const std::uint64_t size = littleEndian(bytes, at + 4, 4);
        at += 8;
        // A chunk cut off by the file's end holds what is there; only data may be cut.
        const std::string_view body = bytes.substr(at, static_cast<std::size_t>(std::min<std::uint64_t>(size, bytes.size() - at)));
        if (id == "fmt ") {
            if (body.size() < size || !readFormat(body, format))
                throw invalid();
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                throw invalid();
            format.dataBytes = body.size();
            break;
        }
        // Chunks are padded to an even size.
        const std::uint64_t next = at + size + (size & 1);
        if (next >= bytes.size())
            throw invalid();
        at = static_cast<std::size_t>(next);
    }

    if (format.channels < kFewestChannels || format.channels > kMostChannels || format.sampleRate < kLowestRate ||
        format.sampleRate > kHighestRate || !bitsFitEncoding(format.encoding, format.bitsPerSample))
        throw BlitzfangError(fehlertext::wavFormatNichtAbspielbar(path));
    format.decodedBytes = decodedSize(format, device);
    if (format.decodedBytes > kLargestDecodedSound)
        throw BlitzfangError(fehlertext::klangZuLang(path));
    return format;
}

void checkSoundFile(const std::string& path)
{
    checkSoundBytes(readWholeFile(path, kLargestSoundFile), path);
}

void checkSoundBytes(std::string_view bytes, const std::string& path)
{
    if (bytes.size() > kLargestSoundFile)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path));
    checkWavBytes(bytes, path);
}
