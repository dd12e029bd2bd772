#include "media/AudioLibrary.h"

#include "platform/SystemLibrary.h"

#include <string>

namespace {

std::string failureOf(const char* libraryName)
{
    return "Die Tonausgabe (" + std::string(libraryName) + ") kann nicht geladen werden: ";
}

} // namespace

AudioLibrary loadAudioLibrary(const char* sdlFile, const char* mixerFile)
{
    AudioLibrary audio{};
    // The entry's name is the symbol's: one spelling, checked by the compiler against the header.
#define BLITZFANG_RESOLVE(function) resolveSystemFunction(library, #function, failureOf(libraryName), audio.function)

    const char* libraryName = "libSDL2";
    void* library = openSystemLibrary(sdlFile, failureOf(libraryName));
    BLITZFANG_RESOLVE(SDL_ClearError);
    BLITZFANG_RESOLVE(SDL_GetError);
    BLITZFANG_RESOLVE(SDL_SetError);
    BLITZFANG_RESOLVE(SDL_SetHint);
    BLITZFANG_RESOLVE(SDL_SetHintWithPriority);
    BLITZFANG_RESOLVE(SDL_SetMainReady);
    BLITZFANG_RESOLVE(SDL_InitSubSystem);
    BLITZFANG_RESOLVE(SDL_QuitSubSystem);
    BLITZFANG_RESOLVE(SDL_RWFromConstMem);
    BLITZFANG_RESOLVE(SDL_AllocRW);
    BLITZFANG_RESOLVE(SDL_FreeRW);

    libraryName = "libSDL2_mixer";
    library = openSystemLibrary(mixerFile, failureOf(libraryName));
    BLITZFANG_RESOLVE(Mix_OpenAudio);
    BLITZFANG_RESOLVE(Mix_QuerySpec);
    BLITZFANG_RESOLVE(Mix_AllocateChannels);
    BLITZFANG_RESOLVE(Mix_CloseAudio);
    BLITZFANG_RESOLVE(Mix_Quit);
    BLITZFANG_RESOLVE(Mix_LoadWAV_RW);
    BLITZFANG_RESOLVE(Mix_FreeChunk);
    BLITZFANG_RESOLVE(Mix_PlayChannelTimed);
    BLITZFANG_RESOLVE(Mix_Playing);
    BLITZFANG_RESOLVE(Mix_Pause);
    BLITZFANG_RESOLVE(Mix_Resume);
    BLITZFANG_RESOLVE(Mix_HaltChannel);
    BLITZFANG_RESOLVE(Mix_RegisterEffect);
    BLITZFANG_RESOLVE(Mix_UnregisterAllEffects);
    BLITZFANG_RESOLVE(Mix_LoadMUS_RW);
    BLITZFANG_RESOLVE(Mix_FreeMusic);
    BLITZFANG_RESOLVE(Mix_PlayMusic);
    BLITZFANG_RESOLVE(Mix_HaltMusic);
    BLITZFANG_RESOLVE(Mix_PauseMusic);
    BLITZFANG_RESOLVE(Mix_ResumeMusic);
    BLITZFANG_RESOLVE(Mix_PlayingMusic);

#undef BLITZFANG_RESOLVE
    return audio;
}

const AudioLibrary& audioLibrary()
{
    return loadedOnce<AudioLibrary>([] { return loadAudioLibrary(audiolibrary::sdlFile, audiolibrary::mixerFile); });
}
