// Writing the little-endian fields of the Windows file formats the generator
// makes (bitmaps, icons, WAVE files).
#pragma once

#include <cstdint>
#include <vector>

namespace quadrilex::res {

inline void Put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v & 0xFF));
  out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}

inline void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

}  // namespace quadrilex::res
