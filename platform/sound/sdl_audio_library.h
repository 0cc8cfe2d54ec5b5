// SDL2's audio functions, taken from the shared library when the game first
// needs a sound rather than when it starts: SDL2 and the sound and display
// libraries it pulls in would otherwise all be mapped and linked before the
// game's window could show its first frame.
#pragma once

#include <SDL.h>

#include <string>

#define QUADRILEX_SDL_AUDIO_FUNCTIONS(X) \
  X(SDL_GetError)                        \
  X(SDL_CreateThread)                    \
  X(SDL_DetachThread)                    \
  X(SDL_SetHint)                         \
  X(SDL_InitSubSystem)                   \
  X(SDL_QuitSubSystem)                   \
  X(SDL_OpenAudioDevice)                 \
  X(SDL_CloseAudioDevice)                \
  X(SDL_PauseAudioDevice)                \
  X(SDL_GetAudioDeviceStatus)            \
  X(SDL_QueueAudio)                      \
  X(SDL_ClearQueuedAudio)                \
  X(SDL_GetQueuedAudioSize)              \
  X(SDL_RWFromConstMem)                  \
  X(SDL_LoadWAV_RW)                      \
  X(SDL_FreeWAV)                         \
  X(SDL_NewAudioStream)                  \
  X(SDL_AudioStreamPut)                  \
  X(SDL_AudioStreamFlush)                \
  X(SDL_AudioStreamAvailable)            \
  X(SDL_AudioStreamGet)                  \
  X(SDL_FreeAudioStream)

struct SdlAudio {
#define QUADRILEX_SDL_POINTER(name) decltype(&::name) name = nullptr;
  QUADRILEX_SDL_AUDIO_FUNCTIONS(QUADRILEX_SDL_POINTER)
#undef QUADRILEX_SDL_POINTER
};

// Loads SDL2 once, on the first call, and keeps it for the life of the
// process. Null when it cannot be loaded or lacks a function; *why then says
// what went wrong (on every call).
const SdlAudio* LoadSdlAudio(std::string* why);

// Loads the named library and takes every function from it. False, with the
// reason in *why, when the library or one of the functions is missing.
bool LoadSdlAudioFrom(const char* library, SdlAudio* functions, std::string* why);

// Turns off the messages libasound prints to standard error when it cannot
// reach a sound server or card. It is taken from the library the way SDL
// takes it, by name at run time; without the library there is nothing to
// silence.
void SilenceAlsaMessages();
