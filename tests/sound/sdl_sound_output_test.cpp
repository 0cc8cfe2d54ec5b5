// The SDL sound output against a real sound server: a private PulseAudio
// server whose only sink is a null sink, recorded from the sink's monitor.
// with_pulse_null_sink.sh starts the server and names the monitor in
// QUADRILEX_PULSE_MONITOR.
#include "platform/resources.h"
#include "platform/sound/deferred_sound_output.h"
#include "platform/sound/sdl_sound_output.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

// SDL's PulseAudio driver asks the server about every device that changes (the
// monitor does when a recorder attaches to it) and never releases those
// requests: a few hundred bytes held inside libpulse, out of this code's reach.
// Read by the leak checker of the sanitizer build.
extern "C" const char* __lsan_default_suppressions() { return "leak:libpulse.so\n"; }

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// ---- WAVE images made for the tests ----

void PutU16(QByteArray& out, unsigned value) {
  out.append(static_cast<char>(value & 0xff));
  out.append(static_cast<char>((value >> 8) & 0xff));
}

void PutU32(QByteArray& out, std::uint32_t value) {
  PutU16(out, value & 0xffff);
  PutU16(out, value >> 16);
}

void PutChunk(QByteArray& out, const char* id, const QByteArray& body) {
  out.append(id, 4);
  PutU32(out, static_cast<std::uint32_t>(body.size()));
  out.append(body);
  if (body.size() % 2 != 0) out.append('\0');
}

struct WaveShape {
  int rate = 22050;
  int bits = 8;
  std::vector<double> toneHz{440.0};  // one tone per channel
  double seconds = 1.0;
  // Laid out like the game's own sounds: a format chunk of 18 bytes with a
  // "fact" chunk, or a "LIST" chunk after the samples.
  bool longFormatAndFact = false;
  bool trailingList = false;
};

QByteArray MakeWave(const WaveShape& shape) {
  const int channels = static_cast<int>(shape.toneHz.size());
  const int frames = static_cast<int>(std::lround(shape.seconds * shape.rate));
  const int blockAlign = channels * shape.bits / 8;
  QByteArray samples;
  for (int i = 0; i < frames; ++i) {
    for (double hz : shape.toneHz) {
      const double value = 0.5 * std::sin(2.0 * M_PI * hz * i / shape.rate);
      if (shape.bits == 8) {
        samples.append(static_cast<char>(128 + std::lround(127 * value)));
      } else {
        PutU16(samples, static_cast<unsigned>(static_cast<std::uint16_t>(std::lround(32767 * value))));
      }
    }
  }
  QByteArray format;
  PutU16(format, 1);  // PCM
  PutU16(format, static_cast<unsigned>(channels));
  PutU32(format, static_cast<std::uint32_t>(shape.rate));
  PutU32(format, static_cast<std::uint32_t>(shape.rate * blockAlign));
  PutU16(format, static_cast<unsigned>(blockAlign));
  PutU16(format, static_cast<unsigned>(shape.bits));
  if (shape.longFormatAndFact) PutU16(format, 0);

  QByteArray body("WAVE");
  PutChunk(body, "fmt ", format);
  if (shape.longFormatAndFact) {
    QByteArray fact;
    PutU32(fact, static_cast<std::uint32_t>(frames));
    PutChunk(body, "fact", fact);
  }
  PutChunk(body, "data", samples);
  if (shape.trailingList) {
    QByteArray comment("ICMT");
    PutU32(comment, 10);
    comment.append("test tone", 10);
    PutChunk(body, "LIST", QByteArray("INFO") + comment);
  }
  QByteArray wave("RIFF");
  PutU32(wave, static_cast<std::uint32_t>(body.size()));
  return wave + body;
}

QByteArray Tone(double hz, double seconds) {
  WaveShape shape;
  shape.toneHz = {hz};
  shape.seconds = seconds;
  return MakeWave(shape);
}

// ---- What the sink's monitor heard ----

constexpr int kMonitorRate = 44100;
constexpr int kMonitorChannels = 2;
constexpr int kWindowFrames = kMonitorRate / 100;  // 10 ms
// A tone at half of full scale has an RMS of about 11600; the null sink's
// silence is 0.
constexpr double kSoundingRms = 1000.0;

struct Heard {
  double seconds = 0;  // time in which the channel was sounding
  double hz = 0;       // its pitch, from the zero crossings in that time
};

Heard Analyse(const std::vector<std::int16_t>& interleaved, int channel) {
  const std::size_t frames = interleaved.size() / kMonitorChannels;
  int soundingWindows = 0;
  long crossings = 0;
  for (std::size_t start = 0; start + kWindowFrames <= frames; start += kWindowFrames) {
    double sum = 0;
    for (std::size_t f = start; f < start + kWindowFrames; ++f) {
      const double s = interleaved[f * kMonitorChannels + static_cast<std::size_t>(channel)];
      sum += s * s;
    }
    if (std::sqrt(sum / kWindowFrames) < kSoundingRms) continue;
    ++soundingWindows;
    for (std::size_t f = start + 1; f < start + kWindowFrames; ++f) {
      const auto before = interleaved[(f - 1) * kMonitorChannels + static_cast<std::size_t>(channel)];
      const auto now = interleaved[f * kMonitorChannels + static_cast<std::size_t>(channel)];
      if (before < 0 && now >= 0) ++crossings;
    }
  }
  Heard heard;
  heard.seconds = soundingWindows * 0.01;
  heard.hz = heard.seconds > 0 ? crossings / heard.seconds : 0;
  return heard;
}

// Records the monitor with parec into a file, so that the recorder never
// waits for the test while the test is held by a waiting play.
class CMonitorRecorder {
 public:
  explicit CMonitorRecorder(std::string monitor) : m_monitor(std::move(monitor)) {}
  ~CMonitorRecorder() { Finish(); }

  // True once the recorder is taking samples.
  bool Start() {
    m_path = (m_dir.path() + QStringLiteral("/monitor.raw")).toStdString();
    const std::string device = "--device=" + m_monitor;
    const std::string rate = "--rate=" + std::to_string(kMonitorRate);
    const std::string channels = "--channels=" + std::to_string(kMonitorChannels);
    std::vector<std::string> args = {"parec", device, "--raw", "--format=s16le", rate, channels,
                                     "--latency-msec=20", m_path};
    std::vector<char*> argv;
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    if (posix_spawnp(&m_pid, "parec", nullptr, nullptr, argv.data(), environ) != 0) {
      m_pid = 0;
      return false;
    }
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    while (Clock::now() < giveUp) {
      if (QFile(QString::fromStdString(m_path)).size() >= kWindowFrames * kMonitorChannels * 2) return true;
      std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
  }

  // Waits until the recorder has taken `seconds` more of the sink's sound
  // (silence counts: the monitor streams without pause), so that what was
  // played before the call and that long after has reached the recording.
  bool RecordFor(double seconds) {
    const qint64 bytesPerSecond = static_cast<qint64>(kMonitorRate) * kMonitorChannels * 2;
    const qint64 wanted = QFile(QString::fromStdString(m_path)).size() + static_cast<qint64>(seconds * bytesPerSecond);
    const auto giveUp = Clock::now() + milliseconds(static_cast<int>(seconds * 1000)) + std::chrono::seconds(10);
    while (Clock::now() < giveUp) {
      if (QFile(QString::fromStdString(m_path)).size() >= wanted) return true;
      std::this_thread::sleep_for(milliseconds(10));
    }
    return false;
  }

  // Stops the recorder and gives the interleaved samples it took.
  std::vector<std::int16_t> Stop() {
    Finish();
    QFile file(QString::fromStdString(m_path));
    std::vector<std::int16_t> samples;
    if (!file.open(QIODevice::ReadOnly)) return samples;
    const QByteArray bytes = file.readAll();
    samples.resize(static_cast<std::size_t>(bytes.size()) / 2);
    for (std::size_t i = 0; i < samples.size(); ++i) {
      const auto lo = static_cast<unsigned char>(bytes[static_cast<qsizetype>(2 * i)]);
      const auto hi = static_cast<unsigned char>(bytes[static_cast<qsizetype>(2 * i + 1)]);
      samples[i] = static_cast<std::int16_t>(static_cast<std::uint16_t>(lo | (hi << 8)));
    }
    return samples;
  }

 private:
  void Finish() {
    if (m_pid == 0) return;
    kill(m_pid, SIGTERM);
    int status = 0;
    waitpid(m_pid, &status, 0);
    m_pid = 0;
  }

  std::string m_monitor;
  QTemporaryDir m_dir;
  std::string m_path;
  pid_t m_pid = 0;
};

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// ---- On the private sound server ----

class SoundOnServer : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* monitor = std::getenv("QUADRILEX_PULSE_MONITOR");
    if (monitor == nullptr || *monitor == '\0') GTEST_SKIP() << "run through tests/sound/with_pulse_null_sink.sh";
    m_monitor = monitor;
    ASSERT_TRUE(m_output.Open());
    ASSERT_GT(m_output.SampleRate(), 0);
    ASSERT_GT(m_output.BytesPerFrame(), 0);
  }

  std::uint32_t DeviceBytes(double seconds) const {
    return static_cast<std::uint32_t>(seconds * m_output.SampleRate()) *
           static_cast<std::uint32_t>(m_output.BytesPerFrame());
  }

  std::string m_monitor;
  CSdlSoundOutput m_output;
};

struct SyncCase {
  const char* name;
  WaveShape shape;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const SyncCase& c, std::ostream* os) { *os << c.name; }

class SyncPlay : public SoundOnServer, public ::testing::WithParamInterface<SyncCase> {};

TEST_P(SyncPlay, HoldsTheCallerUntilTheSoundHasBeenHeardToItsEnd) {
  const WaveShape& shape = GetParam().shape;
  CMonitorRecorder recorder(m_monitor);
  ASSERT_TRUE(recorder.Start());

  const auto start = Clock::now();
  ASSERT_TRUE(m_output.Play(MakeWave(shape), true));
  const double held = SecondsSince(start);
  EXPECT_EQ(m_output.QueuedBytes(), 0u);
  ASSERT_TRUE(recorder.RecordFor(0.3));  // the tail reaches the recording
  const auto samples = recorder.Stop();

  EXPECT_GE(held, shape.seconds - 0.1);
  EXPECT_LT(held, shape.seconds + 3.0);
  for (int channel = 0; channel < kMonitorChannels; ++channel) {
    SCOPED_TRACE("channel " + std::to_string(channel));
    // A mono sound is heard on both sides.
    const double hz = shape.toneHz[static_cast<std::size_t>(channel) % shape.toneHz.size()];
    const Heard heard = Analyse(samples, channel);
    EXPECT_NEAR(heard.seconds, shape.seconds, 0.1);
    EXPECT_NEAR(heard.hz, hz, hz * 0.05);
  }
}

SyncCase MonoEightBit() {
  SyncCase c{"Mono8Bit", {}};
  c.shape.bits = 8;
  c.shape.toneHz = {440.0};
  c.shape.longFormatAndFact = true;
  return c;
}

SyncCase StereoSixteenBit() {
  SyncCase c{"Stereo16Bit", {}};
  c.shape.bits = 16;
  c.shape.toneHz = {440.0, 660.0};
  c.shape.trailingList = true;
  return c;
}

INSTANTIATE_TEST_SUITE_P(Formats, SyncPlay, ::testing::Values(MonoEightBit(), StereoSixteenBit()),
                         [](const ::testing::TestParamInfo<SyncCase>& p) { return p.param.name; });

// From the first to the last 10 ms in which the left channel was sounding.
double SoundingSpan(const std::vector<std::int16_t>& interleaved) {
  const std::size_t frames = interleaved.size() / kMonitorChannels;
  long first = -1, last = -1, window = 0;
  for (std::size_t start = 0; start + kWindowFrames <= frames; start += kWindowFrames, ++window) {
    double sum = 0;
    for (std::size_t f = start; f < start + kWindowFrames; ++f) {
      const double sample = interleaved[f * kMonitorChannels];
      sum += sample * sample;
    }
    if (std::sqrt(sum / kWindowFrames) < kSoundingRms / 4) continue;
    if (first < 0) first = window;
    last = window;
  }
  return first < 0 ? 0.0 : (last - first + 1) * 0.01;
}

TEST_F(SoundOnServer, TheOpeningSoundIsHeardToItsEndBeforeTheSyncPlayReturns) {
  const QByteArray opening = FindResourceBytes(154, "sound");
  ASSERT_FALSE(opening.isNull());
  CMonitorRecorder recorder(m_monitor);
  ASSERT_TRUE(recorder.Start());
  const auto start = Clock::now();
  ASSERT_TRUE(m_output.Play(opening, true));
  const double held = SecondsSince(start);
  ASSERT_TRUE(recorder.RecordFor(0.3));
  const auto samples = recorder.Stop();
  // 93541 samples at 22050 a second.
  EXPECT_GE(held, 4.24 - 0.1);
  EXPECT_LT(held, 4.24 + 3.0);
  EXPECT_NEAR(SoundingSpan(samples), 4.24, 0.35);
}

TEST_F(SoundOnServer, AsyncPlayReturnsWhileTheSoundGoesOnToItsEnd) {
  CMonitorRecorder recorder(m_monitor);
  ASSERT_TRUE(recorder.Start());

  ASSERT_TRUE(m_output.Play(Tone(440.0, 1.0), false));
  // Back before the device has taken much of it.
  EXPECT_GT(m_output.QueuedBytes(), DeviceBytes(0.5));
  ASSERT_TRUE(recorder.RecordFor(1.6));
  const Heard heard = Analyse(recorder.Stop(), 0);

  EXPECT_NEAR(heard.seconds, 1.0, 0.1);
  EXPECT_NEAR(heard.hz, 440.0, 22.0);
}

class SecondPlay : public SoundOnServer, public ::testing::WithParamInterface<bool> {};

TEST_P(SecondPlay, CutsOffTheSoundStillPlaying) {
  const bool wait = GetParam();
  const QByteArray longSound = Tone(440.0, 2.0);
  const QByteArray shortSound = Tone(880.0, 0.3);
  CMonitorRecorder recorder(m_monitor);
  ASSERT_TRUE(recorder.Start());

  ASSERT_TRUE(m_output.Play(longSound, false));
  ASSERT_TRUE(m_output.Play(shortSound, wait));
  EXPECT_LE(m_output.QueuedBytes(), DeviceBytes(0.3) + static_cast<std::uint32_t>(m_output.BytesPerFrame()));
  // Long enough for the first sound to be heard to its end, were it not cut.
  ASSERT_TRUE(recorder.RecordFor(2.3));
  const Heard heard = Analyse(recorder.Stop(), 0);

  // The short sound, and at most a device buffer or two of the long one.
  EXPECT_GE(heard.seconds, 0.25);
  EXPECT_LE(heard.seconds, 0.5);
  EXPECT_NEAR(heard.hz, 880.0, 88.0);
}

INSTANTIATE_TEST_SUITE_P(AsyncOrSync, SecondPlay, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& p) {
                           return std::string(p.param ? "Sync" : "Async");
                         });

TEST_F(SoundOnServer, ImagesThatCannotBeDecodedAreNotPlayed) {
  QByteArray compressed = Tone(440.0, 0.2);
  compressed[20] = 0x55;  // format tag of an MPEG layer 3 stream
  QByteArray noData("RIFF");
  PutU32(noData, 4 + 8 + 16);
  noData.append("WAVE");
  PutChunk(noData, "fmt ", Tone(440.0, 0.2).mid(20, 16));

  for (const QByteArray& image : {QByteArray(), QByteArray("not a sound at all"), noData, compressed}) {
    SCOPED_TRACE(image.left(24).toHex().toStdString());
    EXPECT_FALSE(m_output.Play(image, false));
    EXPECT_FALSE(m_output.Play(image, true));
  }
  EXPECT_EQ(m_output.ConvertedImages(), 0);
  EXPECT_TRUE(m_output.Play(Tone(440.0, 0.05), true));
}

TEST_F(SoundOnServer, EachImageIsConvertedOnce) {
  const QByteArray first = Tone(440.0, 0.05);
  const QByteArray sameBytes(first.constData(), first.size());
  ASSERT_TRUE(m_output.Play(first, false));
  ASSERT_TRUE(m_output.Play(sameBytes, false));
  EXPECT_EQ(m_output.ConvertedImages(), 1);
  ASSERT_TRUE(m_output.Play(Tone(660.0, 0.05), true));
  EXPECT_EQ(m_output.ConvertedImages(), 2);
}

// ---- Without any sound server ----

// Sets an environment variable for one test and puts the old value back.
class CScopedEnv {
 public:
  CScopedEnv(const char* name, const char* value) : m_name(name) {
    const char* old = std::getenv(name);
    m_bHadValue = old != nullptr;
    if (m_bHadValue) m_old = old;
    if (value != nullptr) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~CScopedEnv() {
    if (m_bHadValue) {
      setenv(m_name.c_str(), m_old.c_str(), 1);
    } else {
      unsetenv(m_name.c_str());
    }
  }
  CScopedEnv(const CScopedEnv&) = delete;
  CScopedEnv& operator=(const CScopedEnv&) = delete;

 private:
  std::string m_name;
  std::string m_old;
  bool m_bHadValue = false;
};

// The driver SDL is told to use: its own choice (null) or PulseAudio.
class NoSoundServer : public ::testing::TestWithParam<const char*> {};

TEST_P(NoSoundServer, OpenFailsAndEveryPlayFailsAtOnce) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string socket = "unix:" + (dir.path() + QStringLiteral("/no-server")).toStdString();
  // An empty sound-card configuration, so that no ALSA device of the machine
  // running the test can stand in for the missing server.
  const std::string noCards = (dir.path() + QStringLiteral("/asound.conf")).toStdString();
  QFile(QString::fromStdString(noCards)).open(QIODevice::WriteOnly);
  CScopedEnv server("PULSE_SERVER", socket.c_str());
  CScopedEnv alsa("ALSA_CONFIG_PATH", noCards.c_str());
  CScopedEnv driver("SDL_AUDIODRIVER", GetParam());

  CSdlSoundOutput output;
  EXPECT_FALSE(output.Open());
  EXPECT_FALSE(output.IsOpen());
  EXPECT_FALSE(output.Play(Tone(440.0, 1.0), false));
  EXPECT_FALSE(output.Play(Tone(440.0, 1.0), true));
}

INSTANTIATE_TEST_SUITE_P(Drivers, NoSoundServer, ::testing::Values(nullptr, "pulseaudio"),
                         [](const ::testing::TestParamInfo<const char*>& p) {
                           return std::string(p.param == nullptr ? "DefaultDriver" : "PulseAudio");
                         });

// ---- The deferred output when the server hangs, goes away or comes later ----

class DeferredOutput : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* monitor = std::getenv("QUADRILEX_PULSE_MONITOR");
    const char* pid = std::getenv("QUADRILEX_PULSE_PID");
    if (monitor == nullptr || pid == nullptr) GTEST_SKIP() << "run through tests/sound/with_pulse_null_sink.sh";
    m_monitor = monitor;
    m_server = static_cast<pid_t>(std::atol(pid));
  }
  void TearDown() override {
    if (m_server > 0) kill(m_server, SIGCONT);
  }

  // Plays until the play gives the wanted result, or gives up after a while.
  static bool PlaysUntil(CDeferredSoundOutput& output, bool wanted) {
    const auto giveUp = Clock::now() + std::chrono::seconds(40);
    while (Clock::now() < giveUp) {
      if (output.Play(Tone(440.0, 0.05), false) == wanted) return true;
      std::this_thread::sleep_for(milliseconds(20));
    }
    return false;
  }

  Clock::time_point m_now = Clock::now();
  std::string m_monitor;
  pid_t m_server = 0;
};

TEST_F(DeferredOutput, AServerThatHangsMakesThePlayFailAndTheDeviceIsTakenOnceItAnswers) {
  ASSERT_EQ(kill(m_server, SIGSTOP), 0);
  CDeferredSoundOutput output([this] { return m_now; });
  // Held no longer than the wait for the device, then silent as without one.
  testing::internal::CaptureStderr();
  EXPECT_FALSE(output.Play(Tone(440.0, 0.2), true));
  EXPECT_FALSE(output.Play(Tone(440.0, 0.2), false));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "quadrilex: no sound: the sound server does not answer\n");
  ASSERT_EQ(kill(m_server, SIGCONT), 0);
  EXPECT_TRUE(PlaysUntil(output, true));
}

TEST_F(DeferredOutput, AServerThatGoesAwayFailsTheNextPlayAndSaysSoOnce) {
  CDeferredSoundOutput output([this] { return m_now; });
  ASSERT_TRUE(output.Play(Tone(440.0, 0.05), true));
  testing::internal::CaptureStderr();
  ASSERT_EQ(kill(m_server, SIGKILL), 0);
  const bool failed = PlaysUntil(output, false);
  m_now += CDeferredSoundOutput::kRetryInterval;
  const bool failedAgain = !output.Play(Tone(440.0, 0.05), false);
  const std::string said = testing::internal::GetCapturedStderr();
  m_server = 0;
  EXPECT_TRUE(failed);
  EXPECT_TRUE(failedAgain);
  EXPECT_EQ(said, "quadrilex: no sound: the sound server went away\n");
}

TEST_F(DeferredOutput, AServerThatComesLaterIsTakenAtAPlayAfterTheRetryInterval) {
  const std::string server = std::getenv("PULSE_SERVER");
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const std::string noCards = (dir.path() + QStringLiteral("/asound.conf")).toStdString();
  QFile(QString::fromStdString(noCards)).open(QIODevice::WriteOnly);
  CScopedEnv alsa("ALSA_CONFIG_PATH", noCards.c_str());
  CDeferredSoundOutput output([this] { return m_now; });
  {
    const std::string nowhere = "unix:" + (dir.path() + QStringLiteral("/no-server")).toStdString();
    CScopedEnv absent("PULSE_SERVER", nowhere.c_str());
    testing::internal::CaptureStderr();
    EXPECT_FALSE(output.Play(Tone(440.0, 0.05), false));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "quadrilex: no sound: no sound server\n");
  }
  // The server is there now; the device is tried again only after the interval.
  m_now += CDeferredSoundOutput::kRetryInterval - std::chrono::seconds(1);
  EXPECT_FALSE(output.Play(Tone(440.0, 0.05), false));
  m_now += std::chrono::seconds(1);
  CMonitorRecorder recorder(m_monitor);
  ASSERT_TRUE(recorder.Start());
  EXPECT_TRUE(output.Play(Tone(440.0, 0.5), true));
  ASSERT_TRUE(recorder.RecordFor(0.3));  // the tail reaches the recording
  EXPECT_NEAR(Analyse(recorder.Stop(), 0).seconds, 0.5, 0.1);
}

}  // namespace
