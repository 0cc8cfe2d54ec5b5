// What reached the sound sink: the run's recorder writes the sink's monitor as
// raw signed 16-bit little-endian mono samples to a file that grows while the
// tests run. A mark is the number of samples recorded so far, so a test can
// look at what was heard after a given moment.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace e2e {

struct Loudness {
  int windows = 0;         // windows looked at
  int loudWindows = 0;     // windows holding a sample beyond the threshold
  int firstLoud = -1;      // index of the first and last loud window, -1 if none
  int lastLoud = -1;
  int peak = 0;            // largest magnitude seen
};

// Cuts `samples` into windows of `windowSamples` and finds those that hold a
// sample whose magnitude exceeds `threshold`. A null sink's monitor is exactly
// zero when nothing plays, so a small threshold separates sound from silence.
Loudness Measure(const std::vector<std::int16_t>& samples, int windowSamples, int threshold);

class AudioRecording {
 public:
  AudioRecording(std::string path, int sampleRate) : path_(std::move(path)), rate_(sampleRate) {}

  const std::string& path() const { return path_; }
  int rate() const { return rate_; }
  bool available() const;
  // Samples recorded so far.
  long mark() const;
  // Samples from `from` up to the end of what has been recorded.
  std::vector<std::int16_t> since(long from) const;
  // The `count` samples before `to`.
  std::vector<std::int16_t> before(long to, long count) const;

 private:
  std::string path_;
  int rate_;
};

}  // namespace e2e
