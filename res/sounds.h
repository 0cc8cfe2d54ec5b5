// The game's six sound effects, made by synthesis when the program is built:
// 154 the opening jingle, 155 a block crumpled and thrown away, 156 a bell ding
// for a match, 157 a cartoon boing for a collision, 158 a boxing bell at the end
// of a game, 159 the short cue that ends a rest.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "res/wave.h"

namespace quadrilex::res {

constexpr int kFirstSound = 154;
constexpr int kLastSound = 159;

// How one sound is stored: its PCM format, its length, and what its file holds
// besides the samples. The sizes are part of the game's resource list.
struct SoundLayout {
  int id;
  WaveFormat format;
  int frames;               // sample frames of the "data" chunk
  std::size_t fileSize;     // the whole file
  bool described;           // text chunks after the data
  bool listBeforeDisp;      // "LIST" then "DISP"; otherwise two "DISP" then "LIST"
  const char* title;        // shown by players and file managers
  const char* comment;
};

// The layout of sound id (kFirstSound to kLastSound).
const SoundLayout& SoundLayoutOf(int id);

// The samples of sound id, channels interleaved, in [-1, 1]. The same on every
// run: any noise comes from a fixed seed.
std::vector<double> SynthesizeSound(int id);

// The complete WAVE file of sound id.
std::vector<std::uint8_t> SoundFile(int id);

}  // namespace quadrilex::res
