// Writing 8-bit device-independent bitmaps as a bitmap resource stores them.
#pragma once

#include <cstdint>
#include <vector>

namespace quadrilex::res {

struct Rgb {
  std::uint8_t r, g, b;
};

// A picture of palette indices, row 0 at the top.
struct IndexedPicture {
  int width = 0;
  int height = 0;
  std::vector<Rgb> palette;             // at most 256 entries
  std::vector<std::uint8_t> pixels;     // width * height, top row first

  std::uint8_t& At(int x, int y) { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

// A 40-byte header, a 256-entry colour table, then the rows bottom-up, each
// padded to four bytes, no compression.
std::vector<std::uint8_t> EncodeDib8(const IndexedPicture& picture);

}  // namespace quadrilex::res
