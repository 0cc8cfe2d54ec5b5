#include "res/sounds.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

#include "res/synthesis.h"

namespace quadrilex::res {

namespace {

const SoundLayout kLayouts[] = {
    {154, {1, 8, 22050, true}, 93541, 93600, false, false, "Opening jingle", ""},
    {155, {1, 16, 22050, false}, 28658, 59412, true, false, "Thrown away",
     "A sheet of paper crumpled into a ball, tossed, and landing in a bin. "
     "Played when a block is lost."},
    {156, {1, 8, 22050, false}, 27565, 29546, true, true, "Bell ding",
     "A bright hand bell struck once. Played when a block matches the master."},
    {157, {1, 8, 22050, false}, 27565, 29532, true, true, "Boing",
     "A cartoon spring that wobbles to rest. Played when two blocks collide."},
    {158, {2, 16, 22050, false}, 27512, 112006, true, true, "Boxing bell",
     "A ring bell struck three times to end the round. Played when a game ends."},
    {159, {1, 8, 22050, true}, 8820, 8878, false, false, "Ready cue", ""},
};

// 154: a bright four-bar tune over a walking bass: up the C major chord, up the
// D minor chord, a run up through G, and a long C to land on while the board
// appears.
std::vector<double> OpeningJingle(int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames), 0.0);
  const double eighth = 0.16;
  const std::vector<Partial> mallet = {{1, 1.0, 0.55}, {2, 0.42, 0.30}, {3, 0.20, 0.18},
                                       {4, 0.10, 0.12}, {5, 0.06, 0.09}, {6, 0.03, 0.07}};
  const std::vector<Partial> bass = {{1, 1.0, 0.6}, {2, 0.30, 0.35}, {3, 0.08, 0.2}};
  const std::vector<Partial> pad = {{1, 1.0, 1.2}, {2, 0.15, 0.8}, {3, 0.05, 0.6}};
  struct Note {
    int at, length, midi;
  };
  const Note melody[] = {{0, 1, 67},  {1, 1, 72},  {2, 1, 76},  {3, 2, 79},  {5, 1, 76},  {6, 2, 79},
                         {8, 1, 69},  {9, 1, 74},  {10, 1, 77}, {11, 2, 81}, {13, 1, 77}, {14, 2, 81},
                         {16, 1, 79}, {17, 1, 81}, {18, 1, 83}, {19, 1, 86}};
  for (const Note& n : melody)
    AddNote(out, n.at * eighth, n.length * eighth - 0.02, MidiHz(n.midi), 0.55, mallet, 0.004, 0.06);
  // The last note rings on to the end.
  AddNote(out, 20 * eighth, 1.0, MidiHz(84), 0.6,
          {{1, 1.0, 0.9}, {2, 0.42, 0.5}, {3, 0.2, 0.3}, {4, 0.1, 0.2}, {5, 0.05, 0.15}}, 0.004, 0.1);
  const Note bassLine[] = {{0, 4, 48}, {4, 4, 43}, {8, 4, 50}, {12, 4, 45}, {16, 4, 43}};
  for (const Note& n : bassLine)
    AddNote(out, n.at * eighth, n.length * eighth - 0.03, MidiHz(n.midi), 0.45, bass, 0.008, 0.08);
  for (int midi : {36, 48, 55, 60, 64, 67})  // the closing C major chord under it
    AddNote(out, 20 * eighth, 1.0, MidiHz(midi), midi < 50 ? 0.3 : 0.16, pad, 0.03, 0.1);
  // A soft shaker on the eighths keeps the tune moving.
  Noise noise(154);
  Biquad shaker;
  shaker.HighPass(6000, 0.7);
  for (int beat = 0; beat < 20; ++beat)
    AddNoiseBurst(out, noise, shaker, beat * eighth, beat % 2 == 0 ? 0.12 : 0.07, 0.002, 0.012);
  FadeEdges(out, 1, 0.004, 0.3);
  Normalize(out, 0.85);
  return out;
}

// 155: paper crumpled in a few squeezes, a whoosh as it falls, and the soft thud
// of the ball landing in the bin.
std::vector<double> ThrownAway(int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames), 0.0);
  Noise noise(155);

  // Crackles: short clicks of noise, each with its own brightness, thickest in
  // the middle of each squeeze of the hand.
  std::vector<double> crackle(out.size(), 0.0);
  auto addCrackles = [&](double start, double end, double strength, double perSecond) {
    const int count = static_cast<int>((end - start) * perSecond);
    for (int n = 0; n < count; ++n) {
      const double u = noise.Uniform();
      const double at = start + u * (end - start);
      const double level = strength * std::pow(std::sin(kPi * u), 0.7) * (0.15 + 0.85 * std::pow(noise.Uniform(), 2.0));
      const double decay = noise.Between(0.0004, 0.0025);
      const double dull = noise.Between(0.0, 0.85);  // one-pole low-pass: 0 bright, near 1 dull
      const int first = Sample(at);
      double held = 0;
      for (int i = first; i < first + Sample(6 * decay) && i < frames; ++i) {
        held = dull * held + (1 - dull) * noise.Bipolar();
        crackle[static_cast<std::size_t>(i)] += level * held * std::exp(-(i - first) / kRate / decay);
      }
    }
  };
  const double squeezes[][3] = {{0.00, 0.20, 0.8}, {0.16, 0.35, 1.0}, {0.31, 0.50, 0.9}, {0.46, 0.66, 0.7}};
  for (const auto& s : squeezes) addCrackles(s[0], s[1], s[2], 260);
  addCrackles(1.07, 1.24, 0.35, 45);  // the ball settling in the bin
  Biquad lowCut, highCut;
  lowCut.HighPass(700, 0.7);
  highCut.LowPass(9000, 0.7);
  for (std::size_t i = 0; i < out.size(); ++i) out[i] += highCut.Process(lowCut.Process(crackle[i]));

  // A rustle under the crackles while the hand squeezes.
  Biquad rustle;
  rustle.BandPass(2500, 0.8);
  for (int i = 0; i < Sample(0.68) && i < frames; ++i) {
    const double t = i / kRate;
    double env = 0;
    for (const auto& s : squeezes) {
      const double u = (t - s[0]) / (s[1] - s[0]);
      if (u > 0 && u < 1) env += s[2] * std::sin(kPi * u);
    }
    out[static_cast<std::size_t>(i)] += 0.25 * env * rustle.Process(noise.Bipolar());
  }

  // The fall: a whoosh whose pitch sinks, with a faint whistle sliding down.
  Biquad whoosh;
  const double fallStart = 0.55, fallLength = 0.5;
  double whistlePhase = 0;
  for (int i = Sample(fallStart); i < Sample(fallStart + fallLength) && i < frames; ++i) {
    const double u = (i / kRate - fallStart) / fallLength;
    whoosh.BandPass(2400 * std::pow(350.0 / 2400.0, u), 3.0);
    const double swell = std::pow(std::sin(kPi * u), 1.5);
    whistlePhase += kTwoPi * 1500 * std::pow(600.0 / 1500.0, u) / kRate;
    out[static_cast<std::size_t>(i)] +=
        0.9 * swell * whoosh.Process(noise.Bipolar()) + 0.06 * swell * swell * std::sin(whistlePhase);
  }

  // The landing: a low knock and a dull puff of paper.
  const double land = 1.05;
  double knockPhase = 0;
  for (int i = Sample(land); i < Sample(land + 0.3) && i < frames; ++i) {
    const double t = i / kRate - land;
    knockPhase += kTwoPi * (55 + 65 * std::exp(-t / 0.03)) / kRate;
    out[static_cast<std::size_t>(i)] += 0.3 * Smooth(t / 0.002) * std::exp(-t / 0.07) * std::sin(knockPhase);
  }
  Biquad puff;
  puff.LowPass(1200, 0.7);
  AddNoiseBurst(out, noise, puff, land, 0.5, 0.002, 0.03);

  FadeEdges(out, 1, 0.004, 0.06);
  Normalize(out, 0.8);
  return out;
}

// 156: a bright hand bell struck once. Its partials are not whole multiples of
// the fundamental, which is what makes a bell sound like metal; the two close
// fundamentals beat slowly, and the upper partials die away first.
std::vector<double> BellDing(int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames), 0.0);
  const std::vector<Partial> bell = {{0.5, 0.12, 0.9},  {1.0, 1.0, 0.6},   {1.0015, 0.5, 0.6},
                                     {2.0, 0.25, 0.4},  {2.76, 0.45, 0.3}, {4.07, 0.28, 0.2},
                                     {5.40, 0.2, 0.13}, {6.8, 0.1, 0.09},  {8.93, 0.08, 0.06}};
  AddNote(out, 0, 2.0, MidiHz(84), 1.0, bell, 0.002, 0.1);
  Noise noise(156);
  Biquad strike;
  strike.BandPass(5000, 1.0);
  AddNoiseBurst(out, noise, strike, 0, 0.6, 0.001, 0.004);
  FadeEdges(out, 1, 0.004, 0.35);
  Normalize(out, 0.9);
  return out;
}

// 157: a spring that boings: the pitch scoops up, then wobbles ever less, and a
// resonance that swings wider than the pitch gives the cartoon "wah".
std::vector<double> Boing(int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames), 0.0);
  double phase = 0;
  for (int i = 0; i < frames; ++i) {
    const double t = i / kRate;
    const double wobble = 0.28 * std::exp(-t / 0.45) * std::sin(kTwoPi * 10 * t);  // in octaves
    const double scoop = -0.7 * std::exp(-t / 0.03);
    const double hz = 180 * std::pow(2.0, scoop + wobble);
    phase += kTwoPi * hz / kRate;
    const double resonance = 700 * std::pow(2.0, 2.5 * wobble + scoop);
    const double bright = 0.35 + 0.45 * std::exp(-t / 0.25);
    double s = 0;
    for (int k = 1; k <= 16 && k * hz < 9000; ++k) {
      const double away = std::log2(k * hz / resonance) / 0.35;
      s += std::pow(bright, k - 1) / k * (1 + 2 * std::exp(-0.5 * away * away)) * std::sin(k * phase);
    }
    out[static_cast<std::size_t>(i)] = s * Smooth(t / 0.004) * std::exp(-t / 0.5);
  }
  FadeEdges(out, 1, 0.004, 0.3);
  Normalize(out, 0.85);
  return out;
}

// 158: a ring bell struck three times, ding-ding-ding. Each strike adds to the
// ringing of the last; the partials sit at slightly different places between
// the two channels and beat slowly, which gives the ring its width.
std::vector<double> BoxingBell(int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames) * 2, 0.0);
  const std::vector<Partial> modes = {{0.5, 0.25, 1.5},  {1.0, 0.6, 1.0},  {1.2, 0.5, 0.8},  {1.5, 0.3, 0.7},
                                      {2.0, 1.0, 0.7},   {2.5, 0.35, 0.45}, {2.67, 0.3, 0.4}, {3.0, 0.2, 0.3},
                                      {4.2, 0.25, 0.22}, {5.4, 0.15, 0.15}, {6.8, 0.1, 0.1}};
  const double strikes[][2] = {{0.0, 1.0}, {0.2, 0.85}, {0.4, 0.95}};
  const double hz = 620;
  Noise noise(158);
  for (std::size_t m = 0; m < modes.size(); ++m) {
    const double pan = 0.5 + 0.3 * std::sin(2.1 * static_cast<double>(m));
    const double gain[2] = {std::cos(0.5 * kPi * pan), std::sin(0.5 * kPi * pan)};
    const double spread[2] = {1 - 0.0004, 1 + 0.0004};
    for (const auto& strike : strikes) {
      const double phase = kTwoPi * noise.Uniform();
      const int first = Sample(strike[0]);
      for (int i = first; i < frames; ++i) {
        const double t = (i - first) / kRate;
        const double env = strike[1] * modes[m].level * Smooth(t / 0.0015) * std::exp(-t / modes[m].decay);
        for (int c = 0; c < 2; ++c)
          out[2 * static_cast<std::size_t>(i) + c] +=
              gain[c] * env * std::sin(kTwoPi * hz * modes[m].ratio * spread[c] * t + phase);
      }
    }
  }
  // The clapper's clank at each strike, in the middle.
  std::vector<double> clank(static_cast<std::size_t>(frames), 0.0);
  Biquad metal;
  metal.BandPass(3500, 1.0);
  for (const auto& strike : strikes) AddNoiseBurst(clank, noise, metal, strike[0], 0.8 * strike[1], 0.001, 0.006);
  for (int i = 0; i < frames; ++i)
    for (int c = 0; c < 2; ++c) out[2 * static_cast<std::size_t>(i) + c] += 0.7 * clank[static_cast<std::size_t>(i)];
  FadeEdges(out, 2, 0.004, 0.35);
  Normalize(out, 0.85);
  return out;
}

// 159: two quick rising notes, a fifth apart, to say the next game is coming.
std::vector<double> ReadyCue(int frames) {
  std::vector<double> out(static_cast<std::size_t>(frames), 0.0);
  AddNote(out, 0.0, 0.1, MidiHz(79), 0.8, {{1, 1, 0.15}, {2, 0.25, 0.08}, {3, 0.08, 0.05}}, 0.004, 0.03);
  AddNote(out, 0.11, 0.4, MidiHz(84), 1.0, {{1, 1, 0.2}, {2, 0.3, 0.1}, {3, 0.1, 0.06}}, 0.004, 0.05);
  FadeEdges(out, 1, 0.004, 0.06);
  Normalize(out, 0.8);
  return out;
}

}  // namespace

const SoundLayout& SoundLayoutOf(int id) {
  for (const SoundLayout& layout : kLayouts)
    if (layout.id == id) return layout;
  throw std::out_of_range("no sound " + std::to_string(id));
}

std::vector<double> SynthesizeSound(int id) {
  const SoundLayout& layout = SoundLayoutOf(id);
  std::vector<double> samples;
  switch (id) {
    case 154: samples = OpeningJingle(layout.frames); break;
    case 155: samples = ThrownAway(layout.frames); break;
    case 156: samples = BellDing(layout.frames); break;
    case 157: samples = Boing(layout.frames); break;
    case 158: samples = BoxingBell(layout.frames); break;
    default: samples = ReadyCue(layout.frames); break;
  }
  if (samples.size() != static_cast<std::size_t>(layout.frames) * layout.format.channels)
    throw std::logic_error("sound " + std::to_string(id) + " has the wrong length");
  return samples;
}

std::vector<std::uint8_t> SoundFile(int id) {
  const SoundLayout& layout = SoundLayoutOf(id);
  const std::vector<std::uint8_t> data = QuantizePcm(SynthesizeSound(id), layout.format.bitsPerSample);
  // The description chunks take up the room the file has beyond its samples;
  // the comment is padded with NULs (a string ends at its first NUL) to fill it.
  auto describe = [&](std::size_t padding) -> std::vector<RiffChunk> {
    if (!layout.described) return {};
    const RiffChunk list = InfoList({{"INAM", layout.title},
                                     {"ICMT", std::string(layout.comment) + std::string(padding, '\0')},
                                     {"ISFT", "Quadrilex resource generator"}});
    const RiffChunk title = DispText(layout.title);
    if (layout.listBeforeDisp) return {list, title};
    return {title, DispText("Made from filtered noise by the Quadrilex resource generator"), list};
  };
  const std::size_t bare = BuildWave(layout.format, data, describe(0)).size();
  if (bare > layout.fileSize || (layout.fileSize - bare) % 2 != 0 || (!layout.described && bare != layout.fileSize))
    throw std::logic_error("sound " + std::to_string(id) + " cannot be laid out at its size");
  std::vector<std::uint8_t> file = BuildWave(layout.format, data, describe(layout.fileSize - bare));
  if (file.size() != layout.fileSize)
    throw std::logic_error("sound " + std::to_string(id) + " came out at the wrong size");
  return file;
}

}  // namespace quadrilex::res
