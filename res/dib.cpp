#include "res/dib.h"

#include "res/little_endian.h"

namespace quadrilex::res {

std::vector<std::uint8_t> EncodeDib8(const IndexedPicture& picture) {
  const std::uint32_t stride = (static_cast<std::uint32_t>(picture.width) + 3) / 4 * 4;
  const std::uint32_t imageSize = stride * static_cast<std::uint32_t>(picture.height);
  std::vector<std::uint8_t> out;
  out.reserve(40 + 1024 + imageSize);
  Put32(out, 40);                                      // header size
  Put32(out, static_cast<std::uint32_t>(picture.width));
  Put32(out, static_cast<std::uint32_t>(picture.height));  // positive: rows bottom-up
  Put16(out, 1);                                       // planes
  Put16(out, 8);                                       // bits per pixel
  Put32(out, 0);                                       // no compression
  Put32(out, imageSize);
  Put32(out, 2835);                                    // 72 dots per inch, in dots per metre
  Put32(out, 2835);
  Put32(out, 256);                                     // colours used
  Put32(out, 0);                                       // all of them important
  for (int i = 0; i < 256; ++i) {
    const Rgb c = i < static_cast<int>(picture.palette.size()) ? picture.palette[i] : Rgb{0, 0, 0};
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    for (int x = 0; x < picture.width; ++x) out.push_back(picture.pixels[static_cast<std::size_t>(y) * picture.width + x]);
    for (std::uint32_t pad = picture.width; pad < stride; ++pad) out.push_back(0);
  }
  return out;
}

}  // namespace quadrilex::res
