// The building blocks the resource generator makes its sounds from: a noise
// source that gives the same samples everywhere, a retunable filter, fades,
// struck notes and bursts of noise, all at the sounds' one sample rate.
#pragma once

#include <cmath>
#include <cstdint>
#include <vector>

namespace quadrilex::res {

constexpr double kRate = 22050.0;
constexpr double kPi = 3.14159265358979323846;
constexpr double kTwoPi = 2 * kPi;
// Partials above this would fold back below half the sample rate as harsh noise.
constexpr double kHighestPartial = 10000.0;

// A small generator of our own so that the noise is the same with every
// compiler and library.
class Noise {
 public:
  explicit Noise(std::uint64_t seed) : state_(seed) {}
  // Uniform in [0, 1).
  double Uniform() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    const std::uint64_t v = state_ * 0x2545F4914F6CDD1DULL;
    return static_cast<double>(v >> 11) * (1.0 / 9007199254740992.0);
  }
  // Uniform in [-1, 1).
  double Bipolar() { return 2.0 * Uniform() - 1.0; }
  double Between(double low, double high) { return low + (high - low) * Uniform(); }

 private:
  std::uint64_t state_;
};

// A second-order filter section (the usual audio cookbook forms), retunable
// from sample to sample for sweeps.
class Biquad {
 public:
  void BandPass(double hz, double q) {  // 0 dB at the centre
    const double w = kTwoPi * hz / kRate, alpha = std::sin(w) / (2 * q), a0 = 1 + alpha;
    Set(alpha / a0, 0, -alpha / a0, -2 * std::cos(w) / a0, (1 - alpha) / a0);
  }
  void LowPass(double hz, double q) {
    const double w = kTwoPi * hz / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
    Set((1 - c) / 2 / a0, (1 - c) / a0, (1 - c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
  }
  void HighPass(double hz, double q) {
    const double w = kTwoPi * hz / kRate, alpha = std::sin(w) / (2 * q), c = std::cos(w), a0 = 1 + alpha;
    Set((1 + c) / 2 / a0, -(1 + c) / a0, (1 + c) / 2 / a0, -2 * c / a0, (1 - alpha) / a0);
  }
  double Process(double x) {
    const double y = b0_ * x + z1_;
    z1_ = b1_ * x - a1_ * y + z2_;
    z2_ = b2_ * x - a2_ * y;
    return y;
  }

 private:
  void Set(double b0, double b1, double b2, double a1, double a2) {
    b0_ = b0;
    b1_ = b1;
    b2_ = b2;
    a1_ = a1;
    a2_ = a2;
  }
  double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0, z1_ = 0, z2_ = 0;
};

// One partial of a struck or plucked tone: frequency ratio to the fundamental,
// level, and the time in which it falls to 1/e.
struct Partial {
  double ratio, level, decay;
};

// 0 at x <= 0, 1 at x >= 1, an S-curve between: fades without a corner.
double Smooth(double x);

// The frequency of a MIDI note number (69 is the A at 440 Hz).
double MidiHz(int note);

// The sample a time falls on.
int Sample(double seconds);

// Fades every channel in over the first fadeIn seconds and out over the last
// fadeOut seconds, so that the sound starts and ends at rest.
void FadeEdges(std::vector<double>& s, int channels, double fadeIn, double fadeOut);

// Scales the samples so that the loudest reaches peak.
void Normalize(std::vector<double>& s, double peak);

// Adds a note: partials that start together after a short attack, each dying
// away at its own rate, and a release that closes the note at start + length.
void AddNote(std::vector<double>& out, double start, double length, double hz, double level,
             const std::vector<Partial>& partials, double attack, double release);

// Adds a burst of noise at start: a click after attack seconds that dies away in
// decay seconds, shaped by a filter the caller has tuned.
void AddNoiseBurst(std::vector<double>& out, Noise& noise, Biquad filter, double start, double level,
                   double attack, double decay);

}  // namespace quadrilex::res
