#include "res/wave.h"

#include "res/little_endian.h"

#include <cmath>
#include <stdexcept>

namespace quadrilex::res {

namespace {

void PutId(std::vector<std::uint8_t>& out, const std::string& id) {
  if (id.size() != 4) throw std::invalid_argument("a chunk id has four characters: " + id);
  out.insert(out.end(), id.begin(), id.end());
}

void PutChunk(std::vector<std::uint8_t>& out, const RiffChunk& chunk) {
  PutId(out, chunk.id);
  Put32(out, static_cast<std::uint32_t>(chunk.bytes.size()));
  out.insert(out.end(), chunk.bytes.begin(), chunk.bytes.end());
  if (chunk.bytes.size() & 1) out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> QuantizePcm(const std::vector<double>& samples, int bitsPerSample) {
  std::vector<std::uint8_t> out;
  if (bitsPerSample == 8) {
    out.reserve(samples.size());
    for (double s : samples) {
      const double v = std::lround(std::fmax(-1.0, std::fmin(1.0, s)) * 127.0);
      out.push_back(static_cast<std::uint8_t>(128 + static_cast<int>(v)));
    }
  } else if (bitsPerSample == 16) {
    out.reserve(samples.size() * 2);
    for (double s : samples) {
      const long v = std::lround(std::fmax(-1.0, std::fmin(1.0, s)) * 32767.0);
      Put16(out, static_cast<std::uint16_t>(static_cast<std::int16_t>(v)));
    }
  } else {
    throw std::invalid_argument("sample width must be 8 or 16 bits");
  }
  return out;
}

std::vector<std::uint8_t> BuildWave(const WaveFormat& format, const std::vector<std::uint8_t>& data,
                                    const std::vector<RiffChunk>& extraChunks) {
  const int blockAlign = format.BlockAlign();
  if (blockAlign <= 0 || data.size() % static_cast<std::size_t>(blockAlign) != 0)
    throw std::invalid_argument("PCM data is not a whole number of sample frames");

  RiffChunk fmt{"fmt ", {}};
  Put16(fmt.bytes, 1);  // PCM
  Put16(fmt.bytes, static_cast<std::uint32_t>(format.channels));
  Put32(fmt.bytes, static_cast<std::uint32_t>(format.sampleRate));
  Put32(fmt.bytes, static_cast<std::uint32_t>(format.sampleRate * blockAlign));
  Put16(fmt.bytes, static_cast<std::uint32_t>(blockAlign));
  Put16(fmt.bytes, static_cast<std::uint32_t>(format.bitsPerSample));
  if (format.extendedHeader) Put16(fmt.bytes, 0);  // no extra format bytes follow

  RiffChunk fact{"fact", {}};
  Put32(fact.bytes, static_cast<std::uint32_t>(data.size() / static_cast<std::size_t>(blockAlign)));

  std::size_t riffSize = 4 + fmt.StoredSize() + fact.StoredSize() + 8 + data.size() + (data.size() & 1);
  for (const RiffChunk& chunk : extraChunks) riffSize += chunk.StoredSize();

  std::vector<std::uint8_t> out;
  out.reserve(8 + riffSize);
  PutId(out, "RIFF");
  Put32(out, static_cast<std::uint32_t>(riffSize));
  PutId(out, "WAVE");
  PutChunk(out, fmt);
  PutChunk(out, fact);
  PutId(out, "data");
  Put32(out, static_cast<std::uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
  if (data.size() & 1) out.push_back(0);
  for (const RiffChunk& chunk : extraChunks) PutChunk(out, chunk);
  return out;
}

RiffChunk InfoList(const std::vector<InfoItem>& items) {
  RiffChunk list{"LIST", {}};
  PutId(list.bytes, "INFO");
  for (const InfoItem& item : items) {
    RiffChunk sub{item.id, std::vector<std::uint8_t>(item.text.begin(), item.text.end())};
    sub.bytes.push_back(0);
    PutChunk(list.bytes, sub);
  }
  return list;
}

RiffChunk DispText(const std::string& text) {
  RiffChunk disp{"DISP", {}};
  Put32(disp.bytes, 1);  // CF_TEXT
  disp.bytes.insert(disp.bytes.end(), text.begin(), text.end());
  disp.bytes.push_back(0);
  return disp;
}

}  // namespace quadrilex::res
