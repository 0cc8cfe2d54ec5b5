// A small PNG writer for the desktop icons: truecolour with alpha, 8 bits per
// channel, the image data in uncompressed deflate blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quadrilex::res {

// Red, green, blue and alpha per pixel (alpha not premultiplied), top row first.
struct RgbaPicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> rgba;  // 4 * width * height
};

std::vector<std::uint8_t> EncodePng(const RgbaPicture& picture);

// The checksums the format asks for: CRC-32 over each chunk, Adler-32 over the
// zlib stream's content.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count);
std::uint32_t Adler32(const std::uint8_t* bytes, std::size_t count);

}  // namespace quadrilex::res
