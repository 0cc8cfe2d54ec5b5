#include "res/png.h"

#include <algorithm>
#include <array>
#include <stdexcept>
#include <string>

namespace quadrilex::res {

namespace {

std::array<std::uint32_t, 256> MakeCrcTable() {
  std::array<std::uint32_t, 256> table{};
  for (std::uint32_t n = 0; n < 256; ++n) {
    std::uint32_t c = n;
    for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
    table[n] = c;
  }
  return table;
}

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>((v >> shift) & 0xFF));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  PutBig32(out, Crc32(out.data() + typeAt, 4 + data.size()));  // over type and data
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count) {
  static const std::array<std::uint32_t, 256> table = MakeCrcTable();
  std::uint32_t c = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < count; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t Adler32(const std::uint8_t* bytes, std::size_t count) {
  std::uint32_t a = 1, b = 0;
  for (std::size_t i = 0; i < count; ++i) {
    a = (a + bytes[i]) % 65521;
    b = (b + a) % 65521;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> UnfilteredRows(const std::uint8_t* pixels, std::size_t rowBytes, int height) {
  std::vector<std::uint8_t> raw;
  raw.reserve((rowBytes + 1) * static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    const std::uint8_t* row = pixels + rowBytes * static_cast<std::size_t>(y);
    raw.insert(raw.end(), row, row + rowBytes);
  }
  return raw;
}

std::vector<std::uint8_t> PngFile(int width, int height, std::uint8_t colourType,
                                  const std::vector<std::uint8_t>& zlib) {
  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(width));
  PutBig32(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, colourType, 0, 0, 0});  // 8 bits, deflate, adaptive filters, no interlace

  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", zlib);
  PutChunk(out, "IEND", {});
  return out;
}

std::vector<std::uint8_t> EncodePng(const RgbaPicture& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.rgba.size() != 4 * static_cast<std::size_t>(picture.width) * picture.height)
    throw std::invalid_argument("a PNG needs a non-empty picture with four bytes per pixel");

  const std::vector<std::uint8_t> raw =
      UnfilteredRows(picture.rgba.data(), 4 * static_cast<std::size_t>(picture.width), picture.height);

  // A zlib stream of stored deflate blocks of at most 65535 bytes each.
  std::vector<std::uint8_t> zlib = {0x78, 0x01};
  std::size_t at = 0;
  do {
    const std::size_t length = std::min<std::size_t>(65535, raw.size() - at);
    const bool last = at + length == raw.size();
    zlib.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00
    zlib.push_back(static_cast<std::uint8_t>(length & 0xFF));
    zlib.push_back(static_cast<std::uint8_t>(length >> 8));
    zlib.push_back(static_cast<std::uint8_t>(~length & 0xFF));
    zlib.push_back(static_cast<std::uint8_t>((~length >> 8) & 0xFF));
    zlib.insert(zlib.end(), raw.begin() + static_cast<std::ptrdiff_t>(at),
                raw.begin() + static_cast<std::ptrdiff_t>(at + length));
    at += length;
  } while (at < raw.size());
  PutBig32(zlib, Adler32(raw.data(), raw.size()));

  constexpr std::uint8_t kRgba = 6;
  return PngFile(picture.width, picture.height, kRgba, zlib);
}

}  // namespace quadrilex::res
