// A small PNG writer for the desktop icons: truecolour with alpha, 8 bits per
// channel, the image data in uncompressed deflate blocks. Its pieces serve the
// end-to-end driver's screenshots too.
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

// The pieces any PNG writer needs. The rows of a picture as the filter stage
// hands them on, each behind its filter type 0 (none):
std::vector<std::uint8_t> UnfilteredRows(const std::uint8_t* pixels, std::size_t rowBytes, int height);
// A whole file around a zlib stream of those rows: the signature, the header
// (8 bits a channel; colour type 2 is RGB, 6 is RGBA), the one data chunk and
// the end chunk.
std::vector<std::uint8_t> PngFile(int width, int height, std::uint8_t colourType,
                                  const std::vector<std::uint8_t>& zlib);

// The checksums the format asks for: CRC-32 over each chunk, Adler-32 over the
// zlib stream's content.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t count);
std::uint32_t Adler32(const std::uint8_t* bytes, std::size_t count);

}  // namespace quadrilex::res
