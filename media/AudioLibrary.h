#pragma once
// SDL and SDL_mixer, loaded with dlopen (SystemLibrary.h) at the first sound instead of being linked: linked,
// they and the ~45 libraries behind them (synthesizers, decoders) load before main() and delay
// the menu screen. The SDL headers give the types and constants; every call goes through this
// table, whose entries carry the libraries' own names.

#include <SDL.h>
#include <SDL_mixer.h>

struct AudioLibrary {
    decltype(&::SDL_ClearError) SDL_ClearError;
    decltype(&::SDL_GetError) SDL_GetError;
    decltype(&::SDL_SetError) SDL_SetError;
    decltype(&::SDL_SetHint) SDL_SetHint;
    decltype(&::SDL_SetHintWithPriority) SDL_SetHintWithPriority;
    decltype(&::SDL_SetMainReady) SDL_SetMainReady;
    decltype(&::SDL_InitSubSystem) SDL_InitSubSystem;
    decltype(&::SDL_QuitSubSystem) SDL_QuitSubSystem;
    decltype(&::SDL_RWFromConstMem) SDL_RWFromConstMem;
    decltype(&::SDL_AllocRW) SDL_AllocRW;
    decltype(&::SDL_FreeRW) SDL_FreeRW;

    decltype(&::Mix_OpenAudio) Mix_OpenAudio;
    decltype(&::Mix_QuerySpec) Mix_QuerySpec;
    decltype(&::Mix_AllocateChannels) Mix_AllocateChannels;
    decltype(&::Mix_CloseAudio) Mix_CloseAudio;
    decltype(&::Mix_Quit) Mix_Quit;
    decltype(&::Mix_LoadWAV_RW) Mix_LoadWAV_RW;
    decltype(&::Mix_FreeChunk) Mix_FreeChunk;
    decltype(&::Mix_PlayChannelTimed) Mix_PlayChannelTimed;
    decltype(&::Mix_Playing) Mix_Playing;
    decltype(&::Mix_Pause) Mix_Pause;
    decltype(&::Mix_Resume) Mix_Resume;
    decltype(&::Mix_HaltChannel) Mix_HaltChannel;
    decltype(&::Mix_RegisterEffect) Mix_RegisterEffect;
    decltype(&::Mix_UnregisterAllEffects) Mix_UnregisterAllEffects;
    decltype(&::Mix_LoadMUS_RW) Mix_LoadMUS_RW;
    decltype(&::Mix_FreeMusic) Mix_FreeMusic;
    decltype(&::Mix_PlayMusic) Mix_PlayMusic;
    decltype(&::Mix_HaltMusic) Mix_HaltMusic;
    decltype(&::Mix_PauseMusic) Mix_PauseMusic;
    decltype(&::Mix_ResumeMusic) Mix_ResumeMusic;
    decltype(&::Mix_PlayingMusic) Mix_PlayingMusic;
};

namespace audiolibrary {
inline constexpr const char* sdlFile = "libSDL2-2.0.so.0";
inline constexpr const char* mixerFile = "libSDL2_mixer-2.0.so.0";
} // namespace audiolibrary

// Opens SDL, then the mixer (which needs it), and resolves every entry. Throws BlitzfangError
// "Die Tonausgabe (libSDL2) kann nicht geladen werden: <reason>" (libSDL2_mixer for the second)
// when a file is missing or lacks a function. What was opened stays loaded for the process:
// unloading libraries that may have started threads or exit handlers is not safe.
AudioLibrary loadAudioLibrary(const char* sdlFile, const char* mixerFile);

// The system's libraries, loaded at the first call. A failure is kept: later calls throw the
// same error without searching again, so a computer without them costs each sound nothing.
const AudioLibrary& audioLibrary();
