#include "platform/sound/sdl_audio_library.h"

#include <dlfcn.h>

namespace {

// libasound's error handler: file, line, function, error number, then a
// printf format and its arguments.
using AlsaErrorHandler = void (*)(const char*, int, const char*, int, const char*, ...);
using AlsaSetErrorHandler = int (*)(AlsaErrorHandler);

void IgnoreAlsaMessage(const char*, int, const char*, int, const char*, ...) {}

// The name SDL2 is installed under for every 2.x release.
constexpr const char* kSdlLibrary = "libSDL2-2.0.so.0";

struct LoadResult {
  SdlAudio functions;
  bool loaded = false;
  std::string why;
};

}  // namespace

bool LoadSdlAudioFrom(const char* library, SdlAudio* functions, std::string* why) {
  // Never closed: the functions stay in use until the process ends.
  void* handle = dlopen(library, RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* error = dlerror();
    *why = error != nullptr ? error : std::string("cannot load ") + library;
    return false;
  }
  // The pointers are converted from dlsym's void*, which POSIX allows.
#define QUADRILEX_SDL_RESOLVE(name)                                                  \
  functions->name = reinterpret_cast<decltype(&::name)>(dlsym(handle, #name));       \
  if (functions->name == nullptr) {                                                  \
    *why = std::string(library) + " has no " #name;                                  \
    return false;                                                                    \
  }
  QUADRILEX_SDL_AUDIO_FUNCTIONS(QUADRILEX_SDL_RESOLVE)
#undef QUADRILEX_SDL_RESOLVE
  return true;
}

const SdlAudio* LoadSdlAudio(std::string* why) {
  // Never destroyed: a sound device still closing on a thread of its own when
  // the process ends (its server hangs) calls these functions after main.
  static const LoadResult* const result = [] {
    auto* loading = new LoadResult;
    loading->loaded = LoadSdlAudioFrom(kSdlLibrary, &loading->functions, &loading->why);
    return loading;
  }();
  if (!result->loaded && why != nullptr) *why = result->why;
  return result->loaded ? &result->functions : nullptr;
}

void SilenceAlsaMessages() {
  // Never closed: the handler must stay in place for as long as SDL may load
  // the same library and use it.
  void* handle = dlopen("libasound.so.2", RTLD_NOW | RTLD_LOCAL);
  if (handle == nullptr) return;
  auto setHandler = reinterpret_cast<AlsaSetErrorHandler>(dlsym(handle, "snd_lib_error_set_handler"));
  if (setHandler != nullptr) setHandler(IgnoreAlsaMessage);
}
