#pragma once
// The check a sound file passes before the audio library sees its bytes. A file that claims a
// tiny sample rate, a huge size or a format the mixer cannot play is refused by its header, so it
// costs neither memory nor time. Plain C++: no Qt, no SDL.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The largest sound file: ten minutes of 48 kHz stereo with 24 bits (173 MB) fit. A file is
// never read whole to be played: beyond kLargestHeldSound it is streamed from the file.
inline constexpr std::uint64_t kLargestSoundFile = 256 * 1024 * 1024;
// The largest sound held whole in memory, both as file data and once converted to the device's
// format (about 95 s of 44.1 kHz 16-bit stereo). A longer one is played from its file while it
// sounds, which only the encodings that the mixer streams allow (not ADPCM): an ADPCM sound
// beyond it is too long.
inline constexpr std::uint64_t kLargestHeldSound = 16 * 1024 * 1024;

// The format the mixer converts every sound to.
struct SoundDeviceFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bytesPerSample = 2;
};

// The device format is only asked for when the check needs it (a sound the mixer cannot stream),
// so that checking a file does not open the audio device.
using DeviceFormatSource = std::function<SoundDeviceFormat()>;

// What the header of an accepted WAV says.
struct WavFormat {
    int encoding = 0; // the fmt chunk's format tag (the sub-format's for an extensible file)
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::uint64_t formatOffset = 0; // where the fmt chunk's body starts in the file
    std::uint64_t formatBytes = 0;
    std::uint64_t dataOffset = 0; // where the samples start in the file
    std::uint64_t dataBytes = 0; // as far as present in the file
    bool streamable = false; // the mixer can play it from its file
};

// The file's bytes as the check reads them; the file's bytes in memory, or read on demand.
class WavBytes {
public:
    virtual ~WavBytes() = default;
    virtual std::uint64_t size() const = 0;
    // `count` bytes from `offset`, fewer at the end.
    virtual std::string_view at(std::uint64_t offset, std::size_t count) = 0;
};

// Checks a WAV file: RIFF/WAVE, a fmt chunk before the data chunk, an encoding the mixer decodes
// (PCM 8/16/24/32 bits, float 32, A-law, µ-law, ADPCM 4 bits), 1 to 8 channels, 1000 to 384000
// Hz, and an ADPCM sound at most kLargestHeldSound as data and once converted to the device's
// format. Only the chunk headers and the fmt chunk are read. Throws BlitzfangError with a German
// text naming `path` otherwise.
WavFormat checkWavHeader(WavBytes& bytes, const std::string& path, const DeviceFormatSource& device);

// The same for a file opened once: only the headers are read, in pieces of the file.
class MediaFile;
WavFormat checkWavFile(const MediaFile& file, const DeviceFormatSource& device);

// The same for a file's bytes in memory.
WavFormat checkWavBytes(std::string_view bytes, const std::string& path, const DeviceFormatSource& device);

// The size of the sound once converted to `device` (an upper bound).
std::uint64_t decodedSize(const WavFormat& format, const SoundDeviceFormat& device);
// The sound's length in milliseconds, for an encoding the mixer streams.
std::int64_t streamedMilliseconds(const WavFormat& format);
// True when the player plays the sound from its file instead of holding it whole.
bool playedFromFile(const WavFormat& format, const SoundDeviceFormat& device);

// The check of a copy: the bytes of the file `path`, read already, must be a sound the player
// plays (more than kLargestSoundFile bytes cannot be opened).
void checkSoundBytes(std::string_view bytes, const std::string& path, const DeviceFormatSource& device);
