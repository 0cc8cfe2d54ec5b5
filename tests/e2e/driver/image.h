// A picture of part of the screen as the player sees it: 8-bit RGB pixels and
// the place of its top-left pixel on the root window, so that every lookup can
// use screen coordinates.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "res/png.h"

namespace e2e {

struct Rgb {
  std::uint8_t r = 0;
  std::uint8_t g = 0;
  std::uint8_t b = 0;
};

inline bool operator==(Rgb a, Rgb b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
inline bool operator!=(Rgb a, Rgb b) { return !(a == b); }

std::string ToString(Rgb c);

// The game's colours.
constexpr Rgb kGrey{128, 128, 128};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};
constexpr Rgb kYellow{255, 255, 0};
constexpr Rgb kMagenta{255, 0, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};

struct Point {
  int x = 0;
  int y = 0;
};

// Right and bottom are one past the last pixel.
struct Rect {
  int x = 0;
  int y = 0;
  int w = 0;
  int h = 0;

  int right() const { return x + w; }
  int bottom() const { return y + h; }
  bool empty() const { return w <= 0 || h <= 0; }
  bool contains(int px, int py) const { return px >= x && px < right() && py >= y && py < bottom(); }
  Point centre() const { return {x + w / 2, y + h / 2}; }
};

inline bool operator==(const Rect& a, const Rect& b) { return a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h; }
inline bool operator!=(const Rect& a, const Rect& b) { return !(a == b); }
Rect Intersect(const Rect& a, const Rect& b);
std::string ToString(const Rect& r);

class Image {
 public:
  Image() = default;
  // A picture of `area` (screen coordinates) filled with `fill`.
  explicit Image(const Rect& area, Rgb fill = kBlack);

  const Rect& area() const { return area_; }
  int width() const { return area_.w; }
  int height() const { return area_.h; }
  bool empty() const { return area_.empty(); }
  bool contains(int x, int y) const { return area_.contains(x, y); }

  // The pixel at screen coordinates (x, y); black outside the picture.
  Rgb at(int x, int y) const;
  void set(int x, int y, Rgb c);
  void fill(const Rect& r, Rgb c);

  // The part of the picture inside `r` (screen coordinates), clipped to it.
  Image crop(const Rect& r) const;

  // Rows top to bottom, three bytes per pixel.
  const std::vector<std::uint8_t>& rgb() const { return rgb_; }
  std::vector<std::uint8_t>& rgb() { return rgb_; }

 private:
  Rect area_;
  std::vector<std::uint8_t> rgb_;
};

// Pixels that differ between two pictures of the same area; -1 when the areas differ.
long CountDifferences(const Image& a, const Image& b);

// A PNG file of the picture (8-bit RGB, deflate-compressed).
std::vector<std::uint8_t> EncodePng(const Image& image);
bool WritePng(const Image& image, const std::string& path);

// The checksums the PNG and zlib formats use: the resource generator's.
using quadrilex::res::Adler32;
using quadrilex::res::Crc32;

}  // namespace e2e
