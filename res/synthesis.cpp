#include "res/synthesis.h"

#include <algorithm>
#include <cmath>

namespace quadrilex::res {

// 0 at x <= 0, 1 at x >= 1, an S-curve between: fades without a corner.
double Smooth(double x) {
  if (x <= 0) return 0;
  if (x >= 1) return 1;
  const double s = std::sin(0.5 * kPi * x);
  return s * s;
}

double MidiHz(int note) { return 440.0 * std::pow(2.0, (note - 69) / 12.0); }

int Sample(double seconds) { return static_cast<int>(std::lround(seconds * kRate)); }

// Fades every channel in over the first fadeIn seconds and out over the last
// fadeOut seconds, so that the sound starts and ends at rest.
void FadeEdges(std::vector<double>& s, int channels, double fadeIn, double fadeOut) {
  const int frames = static_cast<int>(s.size()) / channels;
  for (int i = 0; i < frames; ++i) {
    const double t = i / kRate, left = (frames - 1 - i) / kRate;
    const double g = Smooth(t / fadeIn) * Smooth(left / fadeOut);
    for (int c = 0; c < channels; ++c) s[static_cast<std::size_t>(i) * channels + c] *= g;
  }
}

void Normalize(std::vector<double>& s, double peak) {
  double most = 0;
  for (double v : s) most = std::max(most, std::fabs(v));
  if (most > 0)
    for (double& v : s) v *= peak / most;
}

// Adds a note: partials that start together after a short attack, each dying
// away at its own rate, and a release that closes the note at start + length.
void AddNote(std::vector<double>& out, double start, double length, double hz, double level,
             const std::vector<Partial>& partials, double attack, double release) {
  const int first = Sample(start);
  const int last = std::min(static_cast<int>(out.size()), Sample(start + length + release));
  for (std::size_t k = 0; k < partials.size(); ++k) {
    const Partial& p = partials[k];
    const double f = hz * p.ratio;
    if (f >= kHighestPartial) continue;
    for (int i = std::max(first, 0); i < last; ++i) {
      const double t = (i - first) / kRate;
      const double env = Smooth(t / attack) * std::exp(-t / p.decay) * (1.0 - Smooth((t - length) / release));
      out[static_cast<std::size_t>(i)] += level * p.level * env * std::sin(kTwoPi * f * t + 0.7 * k);
    }
  }
}

// Adds a burst of noise at start: a click after attack seconds that dies away in
// decay seconds, shaped by a filter the caller has tuned.
void AddNoiseBurst(std::vector<double>& out, Noise& noise, Biquad filter, double start, double level,
                   double attack, double decay) {
  const int first = Sample(start);
  const int last = std::min(static_cast<int>(out.size()), first + Sample(attack + 8 * decay));
  for (int i = std::max(first, 0); i < last; ++i) {
    const double t = (i - first) / kRate;
    out[static_cast<std::size_t>(i)] +=
        level * filter.Process(noise.Bipolar()) * Smooth(t / attack) * std::exp(-t / decay);
  }
}

}  // namespace quadrilex::res
