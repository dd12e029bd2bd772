// The audio libraries are loaded at the first sound, not with the program (they would delay
// the menu screen), and a computer without them gets a German message naming the missing one.

#include "media/AudioLibrary.h"
#include "media/SoundPlayer.h"
#include "platform/BlitzfangError.h"
#include "tests/media/MediaFixtures.h"
#include "tests/support/TempFolder.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>

#include <cstdlib>
#include <functional>
#include <string>

namespace {

using fixtures::errorOf;

bool isLoaded(const char* file)
{
    void* handle = dlopen(file, RTLD_NOW | RTLD_NOLOAD);
    if (handle)
        dlclose(handle);
    return handle != nullptr;
}

bool audioLoaded()
{
    return isLoaded(audiolibrary::sdlFile) || isLoaded(audiolibrary::mixerFile);
}

} // namespace

TEST(AudioLibrary, loadedAtTheFirstOpenNotWithTheProgram)
{
    // A fresh process: other tests of this executable have loaded the libraries already.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempFolder folder;
    fixtures::writeWav(folder / "a.wav", 100);
    EXPECT_EXIT(
        {
            SoundPlayer player;
            player.setFileName((folder / "a.wav").string());
            const bool loadedBeforeOpen = audioLoaded();
            player.open();
            const bool loadedAfterOpen = isLoaded(audiolibrary::sdlFile) && isLoaded(audiolibrary::mixerFile);
            const bool passed = !loadedBeforeOpen && loadedAfterOpen && player.isOpen();
            // The child made its own folder (a thread-safe death test runs the test anew) and
            // ends without the destructor that would remove it.
            std::filesystem::remove_all(folder.path());
            std::exit(passed ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(AudioLibrary, aMissingLibraryOrFunctionIsNamedInAGermanMessage)
{
    const std::string missingSdl =
        errorOf([] { loadAudioLibrary("libblitzfang-fehlt.so.0", audiolibrary::mixerFile); });
    EXPECT_EQ(missingSdl.rfind("Die Tonausgabe (libSDL2) kann nicht geladen werden: ", 0), 0u) << missingSdl;
    EXPECT_NE(missingSdl.find("libblitzfang-fehlt.so.0"), std::string::npos) << missingSdl;

    const std::string missingMixer =
        errorOf([] { loadAudioLibrary(audiolibrary::sdlFile, "libblitzfang-fehlt.so.0"); });
    EXPECT_EQ(missingMixer.rfind("Die Tonausgabe (libSDL2_mixer) kann nicht geladen werden: ", 0), 0u)
        << missingMixer;

    // A library that is there but is not the mixer: the first function it lacks is named.
    const std::string wrongMixer = errorOf([] { loadAudioLibrary(audiolibrary::sdlFile, audiolibrary::sdlFile); });
    EXPECT_EQ(wrongMixer.rfind("Die Tonausgabe (libSDL2_mixer) kann nicht geladen werden: ", 0), 0u) << wrongMixer;
    EXPECT_NE(wrongMixer.find("Mix_OpenAudio"), std::string::npos) << wrongMixer;

    EXPECT_EQ(errorOf([] { loadAudioLibrary(audiolibrary::sdlFile, audiolibrary::mixerFile); }), "(no error)");
}
