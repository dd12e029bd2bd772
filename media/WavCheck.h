#pragma once
// The check a sound file passes before the audio library sees its bytes. The library reads a
// whole file and converts it to the device's format in memory, so a file that claims a tiny
// sample rate or a huge data size would cost memory and time without end. Plain C++ on bytes
// in memory: no Qt, no SDL.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The largest sound file read, and the largest sound after conversion to the device's format
// (16 MiB are about 95 s of 44.1 kHz 16-bit stereo). With the library's own copy and its
// conversion buffer a sound stays well under 64 MiB.
inline constexpr std::size_t kLargestSoundFile = 16 * 1024 * 1024;
inline constexpr std::uint64_t kLargestDecodedSound = 16 * 1024 * 1024;

// The format the mixer converts every sound to.
struct SoundDeviceFormat {
    int sampleRate = 44100;
    int channels = 2;
    int bytesPerSample = 2;
};

// What the header of an accepted WAV says.
struct WavFormat {
    int encoding = 0; // the fmt chunk's format tag (the sub-format's for an extensible file)
    int channels = 0;
    int sampleRate = 0;
    int bitsPerSample = 0;
    std::uint64_t dataBytes = 0; // as far as present in the bytes
    std::uint64_t decodedBytes = 0; // after conversion to the device's format
};

// Checks the bytes of a WAV file: RIFF/WAVE, a fmt chunk before the data chunk, an encoding the
// mixer decodes (PCM 8/16/24/32 bits, float 32, A-law, µ-law, ADPCM 4 bits), 1 to 8 channels,
// 1000 to 384000 Hz, and at most kLargestDecodedSound after conversion to `device`. Throws
// BlitzfangError with a German text naming `path` otherwise.
WavFormat checkWavBytes(std::string_view bytes, const std::string& path, const SoundDeviceFormat& device = {});

// Throws BlitzfangError with a German text when `path` is not a WAV file that the sound player accepts.
void checkSoundFile(const std::string& path);
// The same for the bytes of the file `path`, read already (more than kLargestSoundFile bytes
// cannot be opened).
void checkSoundBytes(std::string_view bytes, const std::string& path);
