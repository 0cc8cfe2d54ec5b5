// Writing RIFF WAVE files of uncompressed PCM, the form in which the game keeps
// its sounds, with the descriptive chunks that sound editors put beside the data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quadrilex::res {

struct WaveFormat {
  int channels = 1;
  int bitsPerSample = 8;       // 8 (unsigned, silence at 128) or 16 (signed little-endian)
  int sampleRate = 22050;
  bool extendedHeader = false; // an 18-byte format chunk ending in cbSize = 0 instead of 16 bytes

  int BlockAlign() const { return channels * bitsPerSample / 8; }
};

// One chunk: a four-character id and its payload. The writer adds the pad byte
// that keeps the next chunk on an even offset.
struct RiffChunk {
  std::string id;  // four characters
  std::vector<std::uint8_t> bytes;

  // Bytes the chunk takes in the file: header, payload and pad byte.
  std::size_t StoredSize() const { return 8 + bytes.size() + (bytes.size() & 1); }
};

// Interleaved samples in [-1, 1] as PCM bytes of the given width; values past
// full scale are held at full scale.
std::vector<std::uint8_t> QuantizePcm(const std::vector<double>& samples, int bitsPerSample);

// "RIFF", "WAVE", the format chunk, a "fact" chunk with the frame count, the
// "data" chunk, then the extra chunks in the order given.
std::vector<std::uint8_t> BuildWave(const WaveFormat& format, const std::vector<std::uint8_t>& data,
                                    const std::vector<RiffChunk>& extraChunks);

// An "INFO" list of text items ("INAM", "ICMT", ...), each a NUL-terminated string.
struct InfoItem {
  std::string id;
  std::string text;
};
RiffChunk InfoList(const std::vector<InfoItem>& items);

// A "DISP" chunk holding text for the clipboard: the type CF_TEXT (1), then the
// NUL-terminated text.
RiffChunk DispText(const std::string& text);

}  // namespace quadrilex::res
