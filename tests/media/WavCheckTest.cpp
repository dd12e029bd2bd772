// Which WAV files the sound player accepts, checked before the audio library sees them: a
// hostile header or file costs neither memory nor time.

#include "media/MediaFile.h"
#include "media/WavCheck.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using namespace std::string_literals;
using fixtures::errorOf;
using fixtures::wavHeader;

constexpr const char* path = "klang.wav";
const std::string invalid = "Die Datei klang.wav ist keine gültige WAV-Datei.";
const std::string unplayable = "Die Datei klang.wav hat ein WAV-Format, das nicht abgespielt werden kann.";
const std::string tooLong = "Die Datei klang.wav ist zu lang für einen Klang.";
const std::string accepted = "(no error)";

const SoundDeviceFormat usualDevice{44100, 2, 2};
const DeviceFormatSource usual = [] { return usualDevice; };

std::string withData(std::string header, std::size_t bytes)
{
    return header + std::string(bytes, '\x40');
}

// A fmt chunk of `size` bytes with the given tag; an extensible one names `subFormat`.
std::string formatChunk(int tag, int channels, int rate, int bits, int size = 16, int subFormat = 0)
{
    std::string body(static_cast<std::size_t>(size), '\0');
    const auto put = [&](std::size_t at, std::uint32_t value, int width) {
        for (int i = 0; i < width; ++i)
            body[at + static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xff);
    };
    put(0, static_cast<std::uint32_t>(tag), 2);
    put(2, static_cast<std::uint32_t>(channels), 2);
    put(4, static_cast<std::uint32_t>(rate), 4);
    put(14, static_cast<std::uint32_t>(bits), 2);
    if (size >= 26)
        put(24, static_cast<std::uint32_t>(subFormat), 2);
    std::string chunk = "fmt ";
    chunk += std::string{static_cast<char>(size), 0, 0, 0};
    return chunk + body;
}

std::string riff(const std::string& chunks)
{
    return "RIFF\x24\x00\x00\x00WAVE"s + chunks;
}

const std::string dataChunk = "data\x08\x00\x00\x00" "12345678"s;

} // namespace

TEST(WavCheck, acceptsWhatTheMixerPlaysAndRefusesTheRestByItsHeader)
{
    struct Case {
        const char* what;
        std::string bytes;
        std::string expected;
    };
    const Case cases[] = {
        {"PCM 16 bit mono", withData(wavHeader(1, 22050, 16, 44100), 44100), accepted},
        {"PCM 8 bit stereo", withData(wavHeader(2, 8000, 8, 1600), 1600), accepted},
        {"float 32 bit", withData(wavHeader(2, 48000, 32, 800, 3), 800), accepted},
        {"extensible PCM", riff(formatChunk(0xFFFE, 2, 44100, 24, 40, 1) + dataChunk), accepted},
        {"other chunks, odd sized, before the data", riff(formatChunk(1, 1, 11025, 16) + "LIST\x03\x00\x00\x00" "abc\x00"s + dataChunk), accepted},
        {"data cut short", withData(wavHeader(1, 22050, 16, 100000), 10), accepted},
        {"empty", "", invalid},
        {"text", "Das ist kein Klang, nur Text.\r\n", invalid},
        {"RIFF without WAVE", "RIFF\x24\x00\x00\x00" "AVI fmt "s, invalid},
        {"no data chunk", riff(formatChunk(1, 1, 22050, 16)), invalid},
        {"data before fmt", riff(dataChunk + formatChunk(1, 1, 22050, 16)), invalid},
        {"fmt too short", riff(formatChunk(1, 1, 22050, 16, 12) + dataChunk), invalid},
        {"chunk beyond the end", riff("LIST\xff\xff\xff\x7f"s + dataChunk), invalid},
        // 3,000 bytes at 1 Hz became about 1 GB at the device's 44.1 kHz.
        {"one hertz", withData(wavHeader(1, 1, 8, 3000), 3000), unplayable},
        {"no channels", withData(wavHeader(0, 22050, 16, 8), 8), unplayable},
        {"nine channels", withData(wavHeader(9, 22050, 16, 18), 18), unplayable},
        {"rate above 384 kHz", withData(wavHeader(1, 400000, 16, 8), 8), unplayable},
        {"12 bit PCM", withData(wavHeader(1, 22050, 12, 8), 8), unplayable},
        {"16 bit float", withData(wavHeader(1, 22050, 16, 8, 3), 8), unplayable},
        {"MPEG layer 3", withData(wavHeader(1, 22050, 16, 8, 0x55), 8), unplayable},
        // Long sounds are played from their files: length costs no memory.
        {"ten minutes at 8 kHz, 8 bit", withData(wavHeader(1, 8000, 8, 4800000), 4800000), accepted},
        {"95 s of 44.1 kHz stereo", withData(wavHeader(2, 44100, 16, 17000000), 17000000), accepted},
        // ADPCM is held whole: 400 kB at 8 kHz mono grow to 17.6 MB at 44.1 kHz stereo.
        {"ADPCM too long once converted", withData(wavHeader(1, 8000, 4, 400000, 0x11), 400000), tooLong},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(errorOf([&] { checkWavBytes(c.bytes, path, usual); }), c.expected);
    }
}

TEST(WavCheck, theDeviceFormatDecidesWhatIsHeldWholeAndHowLongAnAdpcmSoundMayBe)
{
    // The 120 s victory sound of 2.6 MB: 21 MB once converted to 44.1 kHz stereo.
    const WavFormat victory = checkWavBytes(withData(wavHeader(1, 22050, 8, 2646000), 2646000), path, usual);
    EXPECT_EQ(streamedMilliseconds(victory), 120000);
    EXPECT_TRUE(playedFromFile(victory, usualDevice));
    EXPECT_FALSE(playedFromFile(victory, SoundDeviceFormat{22050, 1, 1}));
    EXPECT_EQ(decodedSize(victory, SoundDeviceFormat{48000, 6, 4}), (2646000ull * 48000 / 22050 + 1) * 24);

    // Only a sound the mixer cannot stream asks for the device, which then decides.
    const std::string adpcm = withData(wavHeader(1, 8000, 4, 100000, 0x11), 100000);
    EXPECT_EQ(errorOf([&] { checkWavBytes(adpcm, path, usual); }), accepted);
    EXPECT_EQ(errorOf([&] { checkWavBytes(adpcm, path, [] { return SoundDeviceFormat{48000, 6, 4}; }); }), tooLong);
    int asked = 0;
    checkWavBytes(withData(wavHeader(1, 22050, 16, 8), 8), path, [&] { return ++asked, usualDevice; });
    EXPECT_EQ(asked, 0);
}

TEST(WavCheck, soundFileIsOpenedWithoutWaitingAndWithinItsCeiling)
{
    TempFolder folder;
    fixtures::writeBytes(folder / "gut.wav", withData(wavHeader(1, 22050, 16, 2000), 2000));
    fixtures::makeFifo(folder / "fifo.wav");
    fixtures::writeSparse(folder / "riesig.wav", wavHeader(2, 44100, 16, 0x7fffffff), 2048ull * 1024 * 1024);
    fixtures::writeBytes(folder / "einhertz.wav", withData(wavHeader(1, 1, 8, 3000), 3000));

    const auto cannotOpen = [](const std::string& path) { return "Datei " + path + " kann nicht geöffnet werden"; };
    struct Case {
        std::string path;
        std::string expected;
    };
    const Case cases[] = {
        {(folder / "gut.wav").string(), accepted},
        {(folder / "fifo.wav").string(), cannotOpen((folder / "fifo.wav").string())},
        {"/dev/zero", cannotOpen("/dev/zero")},
        {(folder / "riesig.wav").string(), cannotOpen((folder / "riesig.wav").string())},
        {folder.path().string(), cannotOpen(folder.path().string())},
        {(folder / "fehlt.wav").string(), cannotOpen((folder / "fehlt.wav").string())},
        {(folder / "einhertz.wav").string(),
         "Die Datei " + (folder / "einhertz.wav").string() + " hat ein WAV-Format, das nicht abgespielt werden kann."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(errorOf([&] {
                      const MediaFile file(c.path, kLargestSoundFile);
                      checkSoundBytes(file.readAll(), c.path, usual);
                  }),
                  c.expected);
    }
}
