#include "tests/e2e/driver/audio_recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>

namespace e2e {

Loudness Measure(const std::vector<std::int16_t>& samples, int windowSamples, int threshold) {
  Loudness l;
  if (windowSamples <= 0) return l;
  const std::size_t w = static_cast<std::size_t>(windowSamples);
  for (std::size_t start = 0; start < samples.size(); start += w) {
    const std::size_t end = std::min(samples.size(), start + w);
    int peak = 0;
    for (std::size_t i = start; i < end; ++i) peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    if (peak > threshold) {
      if (l.firstLoud < 0) l.firstLoud = l.windows;
      l.lastLoud = l.windows;
      ++l.loudWindows;
    }
    l.peak = std::max(l.peak, peak);
    ++l.windows;
  }
  return l;
}

bool AudioRecording::available() const {
  struct stat st;
  return !path_.empty() && stat(path_.c_str(), &st) == 0;
}

long AudioRecording::mark() const {
  struct stat st;
  if (path_.empty() || stat(path_.c_str(), &st) != 0) return 0;
  return static_cast<long>(st.st_size / 2);
}

std::vector<std::int16_t> AudioRecording::since(long from) const {
  const long to = mark();
  if (to <= from) return {};
  return before(to, to - from);
}

std::vector<std::int16_t> AudioRecording::before(long to, long count) const {
  const long from = std::max(0L, to - count);
  std::vector<std::int16_t> samples;
  std::ifstream file(path_, std::ios::binary);
  if (!file || to <= from) return samples;
  file.seekg(from * 2);
  std::vector<unsigned char> bytes(static_cast<std::size_t>((to - from) * 2));
  file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  const std::size_t got = static_cast<std::size_t>(file.gcount()) / 2;
  samples.resize(got);
  for (std::size_t i = 0; i < got; ++i)
    samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(bytes[2 * i] | (bytes[2 * i + 1] << 8)));
  return samples;
}

}  // namespace e2e
