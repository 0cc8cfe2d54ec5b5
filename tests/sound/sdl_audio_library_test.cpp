// Loading SDL2's audio functions from the shared library on first use.
#include "platform/sound/sdl_audio_library.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(SdlAudioLibrary, LoadsOnceWithEveryFunction) {
  std::string why;
  const SdlAudio* first = LoadSdlAudio(&why);
  ASSERT_NE(first, nullptr) << why;
#define QUADRILEX_EXPECT_LOADED(name) EXPECT_NE(first->name, nullptr) << #name;
  QUADRILEX_SDL_AUDIO_FUNCTIONS(QUADRILEX_EXPECT_LOADED)
#undef QUADRILEX_EXPECT_LOADED
  EXPECT_EQ(LoadSdlAudio(nullptr), first);
  // The library answers: its error text is a string, not a dangling pointer.
  EXPECT_NE(first->SDL_GetError(), nullptr);
}

TEST(SdlAudioLibrary, SaysWhenTheLibraryIsMissing) {
  SdlAudio functions;
  std::string why;
  EXPECT_FALSE(LoadSdlAudioFrom("libquadrilex-no-such-library.so.0", &functions, &why));
  EXPECT_NE(why.find("libquadrilex-no-such-library.so.0"), std::string::npos) << why;
}

TEST(SdlAudioLibrary, SaysWhichFunctionALibraryLacks) {
  SdlAudio functions;
  std::string why;
  EXPECT_FALSE(LoadSdlAudioFrom("libm.so.6", &functions, &why));
  EXPECT_EQ(why, "libm.so.6 has no SDL_GetError");
}

}  // namespace
