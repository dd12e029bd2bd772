// The sound player as the game and the editor use it: open, play, stop, close, length and
// position, with SDL's silent dummy driver (which plays in real time).

#include "media/SoundPlayer.h"
#include "platform/BlitzfangError.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

using fixtures::errorOf;

// Polls until the condition holds or `wait` passes.
bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds wait = 2s)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (std::chrono::steady_clock::now() < deadline) {
        if (condition())
            return true;
        std::this_thread::sleep_for(2ms);
    }
    return condition();
}

class SoundPlayerTest : public ::testing::Test {
protected:
    std::string wav(const std::string& name, int milliseconds, int rate = 22050, int channels = 1, int bits = 16)
    {
        fixtures::writeWav(folder / name, milliseconds, rate, channels, bits);
        return (folder / name).string();
    }

    void openFile(SoundPlayer& player, const std::string& path)
    {
        player.setFileName(path);
        player.open();
    }

    TempFolder folder;
};

} // namespace

// --- Failures ----------------------------------------------------------------------------

TEST_F(SoundPlayerTest, withoutAnOpenFilePlayStopAndLengthReportNoDevice)
{
    SoundPlayer player;
    player.setFileName(wav("a.wav", 100));
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(errorOf([&] { player.play(); }), "Kein MCI-Gerät geöffnet");
    EXPECT_EQ(errorOf([&] { player.stop(); }), "Kein MCI-Gerät geöffnet");
    EXPECT_EQ(errorOf([&] { player.length(); }), "Kein MCI-Gerät geöffnet");
    EXPECT_EQ(player.position(), 0);

    player.open();
    player.close();
    EXPECT_NO_THROW(player.close());
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(errorOf([&] { player.play(); }), "Kein MCI-Gerät geöffnet");
}

TEST_F(SoundPlayerTest, missingFileReportsTheLibrarysReasonWithThePathAndStaysClosed)
{
    SoundPlayer player;
    const std::string missing = (folder / "fehlt.wav").string();
    player.setFileName(missing);
    const std::string message = errorOf([&] { player.open(); });
    EXPECT_NE(message.find(missing), std::string::npos) << message;
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(errorOf([&] { player.play(); }), "Kein MCI-Gerät geöffnet");
}

TEST_F(SoundPlayerTest, unplayableFilesAndEmptyNameFailWithAReason)
{
    fixtures::writeBytes(folder / "text.wav", "Das ist kein Klang, nur Text.\r\n");
    fixtures::writeBytes(folder / "leer.wav", "");
    for (const std::string& path : {(folder / "text.wav").string(), (folder / "leer.wav").string(),
                                   folder.path().string(), std::string()}) {
        SCOPED_TRACE(path);
        SoundPlayer player;
        player.setFileName(path);
        const std::string message = errorOf([&] { player.open(); });
        EXPECT_NE(message, "(no error)");
        EXPECT_FALSE(message.empty());
        EXPECT_FALSE(player.isOpen());
    }
}

TEST_F(SoundPlayerTest, hostileFilesAreRefusedAtOnceWithinBoundedMemory)
{
    if (!fixtures::addressSpaceCanBeLimited())
        GTEST_SKIP() << "an address-space limit does not work with a sanitizer";
    fixtures::makeFifo(folder / "fifo.wav");
    fixtures::writeSparse(folder / "riesig.wav", fixtures::wavHeader(2, 44100, 16, 0x7fffffff), 2048ull << 20);
    // 3,000 bytes claiming 1 Hz grew to about 1 GB at the device's rate.
    fixtures::writeBytes(folder / "einhertz.wav", fixtures::wavHeader(1, 1, 8, 3000) + std::string(3000, '\x80'));

    const auto cannotOpen = [](const std::string& path) { return "Datei " + path + " kann nicht geöffnet werden"; };
    const std::string fifo = (folder / "fifo.wav").string();
    const std::string huge = (folder / "riesig.wav").string();
    const std::string oneHertz = (folder / "einhertz.wav").string();
    const std::pair<std::string, std::string> cases[] = {
        {fifo, cannotOpen(fifo)},
        {"/dev/zero", cannotOpen("/dev/zero")},
        {huge, cannotOpen(huge)},
        {oneHertz, "Die Datei " + oneHertz + " hat ein WAV-Format, das nicht abgespielt werden kann."},
    };
    for (const auto& [path, expected] : cases) {
        SCOPED_TRACE(path);
        const auto open = [&] {
            SoundPlayer player;
            openFile(player, path);
        };
        EXPECT_EQ(fixtures::errorWithinMemory(open, 384u << 20), expected);
    }
}

TEST_F(SoundPlayerTest, failedReopenClosesTheFileThatWasOpen)
{
    SoundPlayer player;
    openFile(player, wav("a.wav", 1500));
    player.play();
    player.setFileName((folder / "fehlt.wav").string());
    EXPECT_THROW(player.open(), BlitzfangError);
    EXPECT_FALSE(player.isOpen());
    EXPECT_EQ(player.position(), 0);
    EXPECT_EQ(errorOf([&] { player.stop(); }), "Kein MCI-Gerät geöffnet");
}

// --- Length and position -----------------------------------------------------------------

TEST_F(SoundPlayerTest, lengthIsTheFilesDurationWhateverItsFormat)
{
    struct Format {
        int rate, channels, bits;
    };
    for (const Format format : {Format{22050, 1, 16}, Format{44100, 2, 16}, Format{8000, 1, 8}, Format{48000, 2, 16}}) {
        SCOPED_TRACE(format.rate);
        SoundPlayer player;
        openFile(player, wav("klang.wav", 500, format.rate, format.channels, format.bits));
        EXPECT_NEAR(player.length(), 500, 3);
        EXPECT_EQ(player.position(), 0);
    }
}

TEST_F(SoundPlayerTest, positionClimbsToTheLengthAndStaysThere)
{
    SoundPlayer player;
    openFile(player, wav("a.wav", 250));
    const int length = player.length();
    player.play();
    int last = 0;
    bool sawMiddle = false;
    const bool ended = eventually([&] {
        const int now = player.position();
        EXPECT_GE(now, last);
        EXPECT_LE(now, length);
        sawMiddle = sawMiddle || (now > 0 && now < length);
        last = now;
        return now == length;
    });
    EXPECT_TRUE(ended);
    EXPECT_TRUE(sawMiddle);
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(player.position(), length);
    // Ended, the file is still open: stop is no error (the editor's stop button after the end).
    EXPECT_NO_THROW(player.stop());
    EXPECT_TRUE(player.isOpen());
}

TEST_F(SoundPlayerTest, stopHoldsThePositionAndPlayGoesOnFromThere)
{
    SoundPlayer player;
    openFile(player, wav("a.wav", 400));
    player.play();
    ASSERT_TRUE(eventually([&] { return player.position() >= 100; }));
    player.stop();
    std::this_thread::sleep_for(30ms);
    const int stoppedAt = player.position();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(player.position(), stoppedAt);
    EXPECT_LT(stoppedAt, player.length());
    EXPECT_TRUE(player.isOpen());

    player.play();
    EXPECT_TRUE(eventually([&] { return player.position() > stoppedAt; }));
    EXPECT_TRUE(eventually([&] { return player.position() == player.length(); }));
}

TEST_F(SoundPlayerTest, playAfterTheEndStartsAgainAndPlayWhilePlayingGoesOn)
{
    SoundPlayer player;
    openFile(player, wav("a.wav", 150));
    player.play();
    ASSERT_TRUE(eventually([&] { return player.position() == player.length(); }));

    player.play();
    EXPECT_TRUE(eventually([&] { return player.position() < player.length(); }));
    ASSERT_TRUE(eventually([&] { return player.position() >= 50; }));
    const int before = player.position();
    player.play();
    EXPECT_GE(player.position(), before);
    EXPECT_TRUE(eventually([&] { return player.position() == player.length(); }));
}

// --- Several players ---------------------------------------------------------------------

TEST_F(SoundPlayerTest, twoPlayersSoundAtTheSameTimeAndStopIndependently)
{
    SoundPlayer hits;
    SoundPlayer events;
    openFile(hits, wav("treffer.wav", 600));
    openFile(events, wav("sieg.wav", 300, 44100, 2));
    hits.play();
    events.play();
    EXPECT_TRUE(eventually([&] { return hits.position() > 0 && events.position() > 0; }));

    hits.stop();
    EXPECT_TRUE(eventually([&] { return events.position() == events.length(); }));
    EXPECT_LT(hits.position(), hits.length());
}

TEST_F(SoundPlayerTest, reopeningCutsOffTheOldSoundAndStartsTheNewOneAtZero)
{
    SoundPlayer player;
    const std::string longSound = wav("lang.wav", 1500);
    openFile(player, longSound);
    player.play();
    ASSERT_TRUE(eventually([&] { return player.position() >= 50; }));

    openFile(player, wav("kurz.wav", 200));
    EXPECT_EQ(player.position(), 0);
    EXPECT_NEAR(player.length(), 200, 3);
    std::this_thread::sleep_for(40ms);
    EXPECT_EQ(player.position(), 0);
    player.play();
    EXPECT_TRUE(eventually([&] { return player.position() == player.length(); }));

    // The same file again, while it plays: it starts over.
    openFile(player, longSound);
    player.play();
    ASSERT_TRUE(eventually([&] { return player.position() >= 100; }));
    openFile(player, longSound);
    EXPECT_EQ(player.position(), 0);

    // A stopped sound does not hold back the next file.
    player.play();
    ASSERT_TRUE(eventually([&] { return player.position() >= 50; }));
    player.stop();
    openFile(player, longSound);
    player.play();
    EXPECT_TRUE(eventually([&] { return player.position() >= 50; }));
}

TEST_F(SoundPlayerTest, manyPlayersEachGetAChannelOfTheirOwn)
{
    const std::string path = wav("a.wav", 200);
    std::vector<std::unique_ptr<SoundPlayer>> players;
    for (int i = 0; i < 20; ++i) {
        players.push_back(std::make_unique<SoundPlayer>());
        openFile(*players.back(), path);
        players.back()->play();
    }
    for (const auto& player : players)
        EXPECT_TRUE(eventually([&] { return player->position() == player->length(); }));

    // Channels of destroyed players are used again.
    players.clear();
    SoundPlayer late;
    openFile(late, path);
    late.play();
    EXPECT_TRUE(eventually([&] { return late.position() > 0; }));
}

// --- Long sounds, played from their files ----------------------------------------------------

TEST_F(SoundPlayerTest, aTenMinuteSoundPlaysFromItsFileAndStopsAndGoesOnLikeAShortOne)
{
    SoundPlayer player;
    openFile(player, wav("lang.wav", 10 * 60 * 1000, 8000, 1, 8));
    EXPECT_TRUE(player.playsFromFile());
    EXPECT_EQ(player.length(), 600000);
    EXPECT_EQ(player.position(), 0);
    player.play();
    ASSERT_TRUE(eventually([&] { return player.position() >= 100; }));
    player.stop();
    std::this_thread::sleep_for(30ms);
    const int stoppedAt = player.position();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(player.position(), stoppedAt);
    player.play();
    EXPECT_TRUE(eventually([&] { return player.position() > stoppedAt; }));
    player.close();
    EXPECT_EQ(player.position(), 0);
}

TEST_F(SoundPlayerTest, theLaterLongSoundTakesTheStreamAndTheEarlierOneReportsItsEnd)
{
    SoundPlayer first;
    SoundPlayer second;
    SoundPlayer hits;
    openFile(first, wav("eins.wav", 300000, 8000, 1, 8));
    openFile(second, wav("zwei.wav", 300000, 8000, 1, 8));
    openFile(hits, wav("treffer.wav", 300));
    ASSERT_TRUE(first.playsFromFile() && second.playsFromFile());
    first.play();
    ASSERT_TRUE(eventually([&] { return first.position() >= 50; }));
    second.play();
    hits.play();
    EXPECT_EQ(first.position(), first.length());
    EXPECT_TRUE(eventually([&] { return second.position() >= 50; }));
    // A short sound has a channel of its own beside the stream.
    EXPECT_TRUE(eventually([&] { return hits.position() == hits.length(); }));
    EXPECT_LT(second.position(), second.length());

    // The earlier one starts again from the beginning and takes the stream back.
    first.play();
    EXPECT_EQ(second.position(), second.length());
    EXPECT_TRUE(eventually([&] { return first.position() > 0 && first.position() < 10000; }));
}

TEST_F(SoundPlayerTest, aLongSoundPlaysOnceToItsEndWhateverChunksItsFileCarries)
{
    // 1.4 s at 384 kHz, 8 channels, 32 bits: 17 MB, too large to be held whole.
    const std::string path = wav("schleife.wav", 1400, 384000, 8, 32);
    std::string bytes = fixtures::readBytes(path);
    // A loop without end, and a loop list far longer than its chunk: the library's own reading
    // of them would loop for ever or read beyond its memory.
    const auto samplerChunk = [](std::uint32_t loops, bool withLoop) {
        std::string chunk(36 + (withLoop ? 24 : 0), '\0');
        chunk[28] = static_cast<char>(loops & 0xff);
        chunk[31] = static_cast<char>(loops >> 24);
        if (withLoop)
            chunk[36 + 12] = 100; // end frame; type 0 (forward) and play count 0 (for ever)
        return "smpl" + std::string{static_cast<char>(chunk.size()), 0, 0, 0} + chunk;
    };
    bytes.insert(36, samplerChunk(1, true) + samplerChunk(0x10000000, false));
    fixtures::writeBytes(path, bytes);

    SoundPlayer player;
    openFile(player, path);
    ASSERT_TRUE(player.playsFromFile());
    EXPECT_NEAR(player.length(), 1400, 1);
    player.play();
    EXPECT_TRUE(eventually([&] { return player.position() == player.length(); }, 5s));
}

// --- Program end ---------------------------------------------------------------------------

TEST_F(SoundPlayerTest, programEndsCleanlyWhileStaticPlayersStillPlay)
{
    // A fresh process: the audio device and its thread must not be inherited from other tests.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const std::string path = wav("a.wav", 1000);
    EXPECT_EXIT(
        {
            static SoundPlayer madeBeforeTheDevice;
            madeBeforeTheDevice.setFileName(path);
            madeBeforeTheDevice.open();
            madeBeforeTheDevice.play();
            static SoundPlayer madeAfterTheDevice;
            madeAfterTheDevice.setFileName(path);
            madeAfterTheDevice.open();
            madeAfterTheDevice.play();
            std::this_thread::sleep_for(30ms);
            // The child's own folder: the exit skips the destructor that would remove it.
            std::filesystem::remove_all(folder.path());
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
