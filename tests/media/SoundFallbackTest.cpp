// A computer whose named audio driver does not work still gets sound players that behave
// the same, silently. Its own executable: the device opens once per process.

#include "media/SoundPlayer.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

TEST(SoundWithoutDevice, unusableDriverFallsBackToSilentPlayback)
{
    setenv("SDL_AUDIODRIVER", "kein-treiber", 1);
    TempFolder folder;
    fixtures::writeWav(folder / "a.wav", 200);

    SoundPlayer player;
    player.setFileName((folder / "a.wav").string());
    ASSERT_NO_THROW(player.open());
    EXPECT_STREQ(SDL_GetCurrentAudioDriver(), "dummy");
    EXPECT_NEAR(player.length(), 200, 3);
    player.play();
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (player.position() < player.length() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(player.position(), player.length());
}
