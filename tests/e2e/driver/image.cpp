#include "tests/e2e/driver/image.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace e2e {

std::string ToString(Rgb c) {
  char text[32];
  std::snprintf(text, sizeof text, "(%d, %d, %d)", c.r, c.g, c.b);
  return text;
}

Rect Intersect(const Rect& a, const Rect& b) {
  const int left = std::max(a.x, b.x);
  const int top = std::max(a.y, b.y);
  const int right = std::min(a.right(), b.right());
  const int bottom = std::min(a.bottom(), b.bottom());
  if (right <= left || bottom <= top) return Rect{left, top, 0, 0};
  return Rect{left, top, right - left, bottom - top};
}

std::string ToString(const Rect& r) {
  char text[80];
  std::snprintf(text, sizeof text, "%dx%d at (%d, %d)", r.w, r.h, r.x, r.y);
  return text;
}

Image::Image(const Rect& area, Rgb fill) : area_(area) {
  if (area_.empty()) {
    area_.w = area_.h = 0;
    return;
  }
  rgb_.resize(static_cast<std::size_t>(area_.w) * static_cast<std::size_t>(area_.h) * 3);
  for (std::size_t i = 0; i < rgb_.size(); i += 3) {
    rgb_[i] = fill.r;
    rgb_[i + 1] = fill.g;
    rgb_[i + 2] = fill.b;
  }
}

Rgb Image::at(int x, int y) const {
  if (!area_.contains(x, y)) return kBlack;
  const std::size_t i =
      (static_cast<std::size_t>(y - area_.y) * static_cast<std::size_t>(area_.w) + static_cast<std::size_t>(x - area_.x)) * 3;
  return Rgb{rgb_[i], rgb_[i + 1], rgb_[i + 2]};
}

void Image::set(int x, int y, Rgb c) {
  if (!area_.contains(x, y)) return;
  const std::size_t i =
      (static_cast<std::size_t>(y - area_.y) * static_cast<std::size_t>(area_.w) + static_cast<std::size_t>(x - area_.x)) * 3;
  rgb_[i] = c.r;
  rgb_[i + 1] = c.g;
  rgb_[i + 2] = c.b;
}

void Image::fill(const Rect& r, Rgb c) {
  const Rect clip = Intersect(r, area_);
  for (int y = clip.y; y < clip.bottom(); ++y)
    for (int x = clip.x; x < clip.right(); ++x) set(x, y, c);
}

Image Image::crop(const Rect& r) const {
  const Rect clip = Intersect(r, area_);
  Image out(clip);
  for (int y = clip.y; y < clip.bottom(); ++y)
    for (int x = clip.x; x < clip.right(); ++x) out.set(x, y, at(x, y));
  return out;
}

long CountDifferences(const Image& a, const Image& b) {
  const Rect& ra = a.area();
  const Rect& rb = b.area();
  if (ra.x != rb.x || ra.y != rb.y || ra.w != rb.w || ra.h != rb.h) return -1;
  long count = 0;
  for (std::size_t i = 0; i < a.rgb().size(); i += 3) {
    if (a.rgb()[i] != b.rgb()[i] || a.rgb()[i + 1] != b.rgb()[i + 1] || a.rgb()[i + 2] != b.rgb()[i + 2]) ++count;
  }
  return count;
}

// ---------------------------------------------------------------------------
// PNG. The pictures are mostly flat grey with a few shapes and lines, so a
// plain LZ77 with the fixed Huffman codes of deflate keeps the files small
// without a compression library.

namespace {

class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}

  // Extra bits and block headers go least significant bit first.
  void bits(std::uint32_t value, int count) {
    for (int i = 0; i < count; ++i) bit((value >> i) & 1);
  }
  // Huffman codes go most significant bit first.
  void code(std::uint32_t value, int count) {
    for (int i = count - 1; i >= 0; --i) bit((value >> i) & 1);
  }
  void flush() {
    if (used_ > 0) out_.push_back(current_);
    current_ = 0;
    used_ = 0;
  }

 private:
  void bit(std::uint32_t b) {
    current_ = static_cast<std::uint8_t>(current_ | (b << used_));
    if (++used_ == 8) flush();
  }

  std::vector<std::uint8_t>& out_;
  std::uint8_t current_ = 0;
  int used_ = 0;
};

void FixedLiteral(BitWriter& w, int symbol) {
  if (symbol < 144) w.code(0x30 + symbol, 8);
  else if (symbol < 256) w.code(0x190 + (symbol - 144), 9);
  else if (symbol < 280) w.code(symbol - 256, 7);
  else w.code(0xC0 + (symbol - 280), 8);
}

constexpr int kLengthBase[29] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                 31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr int kLengthExtra[29] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr int kDistanceBase[30] = {1,    2,    3,    4,    5,    7,     9,     13,    17,  25,
                                   33,   49,   65,   97,   129,  193,   257,   385,   513, 769,
                                   1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr int kDistanceExtra[30] = {0, 0, 0, 0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void WriteMatch(BitWriter& w, int length, int distance) {
  int l = 28;
  while (kLengthBase[l] > length) --l;
  FixedLiteral(w, 257 + l);
  w.bits(static_cast<std::uint32_t>(length - kLengthBase[l]), kLengthExtra[l]);
  int d = 29;
  while (kDistanceBase[d] > distance) --d;
  w.code(static_cast<std::uint32_t>(d), 5);
  w.bits(static_cast<std::uint32_t>(distance - kDistanceBase[d]), kDistanceExtra[d]);
}

// A zlib stream of `data`: one final deflate block with the fixed codes.
std::vector<std::uint8_t> ZlibCompress(const std::vector<std::uint8_t>& data) {
  constexpr int kWindow = 32768;
  constexpr int kMinMatch = 3;
  constexpr int kMaxMatch = 258;
  constexpr int kHashBits = 15;
  constexpr int kChainLimit = 32;

  std::vector<std::uint8_t> out{0x78, 0x01};
  BitWriter w(out);
  w.bits(1, 1);  // final block
  w.bits(1, 2);  // fixed Huffman codes

  const int n = static_cast<int>(data.size());
  std::vector<int> head(1 << kHashBits, -1);
  std::vector<int> prev(static_cast<std::size_t>(n), -1);
  auto hash = [&](int i) {
    const std::uint32_t v = (static_cast<std::uint32_t>(data[i]) << 16) | (static_cast<std::uint32_t>(data[i + 1]) << 8) |
                            data[i + 2];
    return static_cast<int>((v * 2654435761u) >> (32 - kHashBits));
  };
  auto insert = [&](int i) {
    if (i + kMinMatch > n) return;
    const int h = hash(i);
    prev[i] = head[h];
    head[h] = i;
  };

  int i = 0;
  while (i < n) {
    int bestLength = 0;
    int bestDistance = 0;
    if (i + kMinMatch <= n) {
      int candidate = head[hash(i)];
      const int limit = std::min(kMaxMatch, n - i);
      for (int steps = 0; candidate >= 0 && i - candidate <= kWindow && steps < kChainLimit; ++steps) {
        int length = 0;
        while (length < limit && data[candidate + length] == data[i + length]) ++length;
        if (length > bestLength) {
          bestLength = length;
          bestDistance = i - candidate;
          if (length == limit) break;
        }
        candidate = prev[candidate];
      }
    }
    if (bestLength >= kMinMatch) {
      WriteMatch(w, bestLength, bestDistance);
      for (int k = 0; k < bestLength; ++k) insert(i + k);
      i += bestLength;
    } else {
      FixedLiteral(w, data[i]);
      insert(i);
      ++i;
    }
  }
  FixedLiteral(w, 256);
  w.flush();

  const std::uint32_t adler = Adler32(data.data(), data.size());
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(adler >> shift));
  return out;
}

}  // namespace

std::vector<std::uint8_t> EncodePng(const Image& image) {
  const std::size_t stride = static_cast<std::size_t>(image.width()) * 3;
  constexpr std::uint8_t kRgb = 2;
  return quadrilex::res::PngFile(image.width(), image.height(), kRgb,
                                 ZlibCompress(quadrilex::res::UnfilteredRows(image.rgb().data(), stride, image.height())));
}

bool WritePng(const Image& image, const std::string& path) {
  const std::vector<std::uint8_t> bytes = EncodePng(image);
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  if (!file) return false;
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

}  // namespace e2e
