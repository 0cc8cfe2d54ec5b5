#include "platform/sound/sdl_sound_output.h"

#include <chrono>
#include <climits>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/sound/sdl_audio_library.h"

namespace {

// The game's sounds are short effects: a buffer of about 23 ms keeps a new
// sound's cut-off prompt without making the device starve.
constexpr int kWantedRate = 44100;
constexpr int kWantedChannels = 2;
constexpr int kWantedBufferFrames = 1024;

// A waiting play gives up this long after the sound should have ended, in case
// the device stopped taking samples (a sound server that went away).
constexpr std::chrono::seconds kWaitSlack(2);
constexpr std::chrono::milliseconds kWaitStep(5);

}  // namespace

CSdlSoundOutput::~CSdlSoundOutput() { Close(); }

bool CSdlSoundOutput::Open(std::string* why) {
  if (m_device != 0) return true;
  std::string reason;
  if (why == nullptr) why = &reason;
  m_sdl = LoadSdlAudio(why);
  if (m_sdl == nullptr) return false;
  // Left to itself SDL turns SIGINT and SIGTERM into quit events that nothing
  // here reads; they must still end the game.
  m_sdl->SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  m_bNoServer = false;
  if (!StartAudio(why)) return false;

  SDL_AudioSpec wanted{};
  wanted.freq = kWantedRate;
  wanted.format = AUDIO_S16SYS;
  wanted.channels = kWantedChannels;
  wanted.samples = kWantedBufferFrames;
  wanted.callback = nullptr;  // the samples are queued, not pulled
  SDL_AudioSpec obtained{};
  // Take the device's rate and channels as they come, each image being
  // converted to them once; keep 16-bit samples, which is all the images hold
  // (SDL converts for a device that wants another sample format).
  const SDL_AudioDeviceID device =
      m_sdl->SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained,
                                 SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE |
                                     SDL_AUDIO_ALLOW_SAMPLES_CHANGE);
  if (device == 0) {
    *why = m_bNoServer ? std::string("no sound server")
                       : std::string("cannot open the sound device: ") + m_sdl->SDL_GetError();
    Close();
    return false;
  }
  m_device = device;
  m_format = obtained.format;
  m_nRate = obtained.freq;
  m_nChannels = obtained.channels;
  m_nFrameBytes = static_cast<int>(SDL_AUDIO_BITSIZE(obtained.format) / 8) * obtained.channels;
  m_nBufferFrames = obtained.samples;
  m_sdl->SDL_PauseAudioDevice(m_device, 0);  // an empty queue plays silence
  return true;
}

bool CSdlSoundOutput::StartAudio(std::string* why) {
  const char* named = std::getenv(SDL_HINT_AUDIODRIVER);
  if (named != nullptr && *named != '\0') {
    // The player has named the output: that one, and its own reason.
    if (m_sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      *why = m_sdl->SDL_GetError();
      return false;
    }
  } else {
    // The desktop's sound server first. Only when it does not answer are the
    // other outputs tried (a sound card without a server, say), and then the
    // reason given is the missing server, not whichever output SDL tried last.
    m_sdl->SDL_SetHint(SDL_HINT_AUDIODRIVER, "pulseaudio");
    if (m_sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
      m_bNoServer = true;
      // The sound library's own complaints about the missing server and
      // cards would reach the console line by line; the one line given
      // instead says what is missing.
      SilenceAlsaMessages();
      m_sdl->SDL_SetHint(SDL_HINT_AUDIODRIVER, "");
      if (m_sdl->SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        *why = "no sound server";
        return false;
      }
    }
  }
  m_bAudioStarted = true;
  return true;
}

bool CSdlSoundOutput::Lost() const {
  return m_device != 0 && m_sdl->SDL_GetAudioDeviceStatus(m_device) == SDL_AUDIO_STOPPED;
}

void CSdlSoundOutput::Close() {
  if (m_device != 0) m_sdl->SDL_CloseAudioDevice(m_device);
  m_device = 0;
  if (m_bAudioStarted) m_sdl->SDL_QuitSubSystem(SDL_INIT_AUDIO);
  m_bAudioStarted = false;
  m_bNoServer = false;
  m_format = 0;
  m_nRate = m_nChannels = m_nFrameBytes = m_nBufferFrames = 0;
  m_converted.clear();
}

std::uint32_t CSdlSoundOutput::QueuedBytes() const {
  return m_device != 0 ? m_sdl->SDL_GetQueuedAudioSize(m_device) : 0;
}

bool CSdlSoundOutput::Play(const QByteArray& wave, bool wait) {
  if (m_device == 0 || Lost()) return false;
  const QByteArray* samples = Converted(wave);
  if (samples == nullptr) return false;

  // A new sound cuts off the one still playing: what has not reached the
  // device yet is dropped.
  m_sdl->SDL_ClearQueuedAudio(m_device);
  if (m_sdl->SDL_QueueAudio(m_device, samples->constData(), static_cast<Uint32>(samples->size())) != 0) return false;
  if (wait) WaitUntilHeard(static_cast<std::uint32_t>(samples->size()));
  // A device lost while the sound was waiting to be heard took none of it.
  return !Lost();
}

const QByteArray* CSdlSoundOutput::Converted(const QByteArray& wave) {
  const auto found = m_converted.constFind(wave);
  if (found != m_converted.constEnd()) return &found.value();
  if (wave.isEmpty() || wave.size() > INT_MAX) return nullptr;

  SDL_RWops* source = m_sdl->SDL_RWFromConstMem(wave.constData(), static_cast<int>(wave.size()));
  if (source == nullptr) return nullptr;
  SDL_AudioSpec waveFormat{};
  Uint8* decoded = nullptr;
  Uint32 decodedBytes = 0;
  if (m_sdl->SDL_LoadWAV_RW(source, 1, &waveFormat, &decoded, &decodedBytes) == nullptr) return nullptr;

  QByteArray converted;
  bool ok = false;
  SDL_AudioStream* stream =
      m_sdl->SDL_NewAudioStream(waveFormat.format, waveFormat.channels, waveFormat.freq, m_format, static_cast<Uint8>(m_nChannels), m_nRate);
  if (stream != nullptr) {
    ok = m_sdl->SDL_AudioStreamPut(stream, decoded, static_cast<int>(decodedBytes)) == 0 &&
         m_sdl->SDL_AudioStreamFlush(stream) == 0;
    const int available = ok ? m_sdl->SDL_AudioStreamAvailable(stream) : 0;
    converted.resize(available - available % m_nFrameBytes);
    if (ok && !converted.isEmpty()) {
      ok = m_sdl->SDL_AudioStreamGet(stream, converted.data(), static_cast<int>(converted.size())) ==
           static_cast<int>(converted.size());
    }
    m_sdl->SDL_FreeAudioStream(stream);
  }
  m_sdl->SDL_FreeWAV(decoded);
  if (!ok) return nullptr;

  // The key is a copy of its own: the caller's array may only borrow its bytes.
  const QByteArray key(wave.constData(), wave.size());
  return &m_converted.insert(key, converted).value();
}

// Holds the caller's thread until the queue has drained and the last device
// buffer has been played too. Nothing else is handled meanwhile: the game
// means to stand still while its waiting sounds play.
void CSdlSoundOutput::WaitUntilHeard(std::uint32_t bytes) const {
  using Clock = std::chrono::steady_clock;
  const auto length =
      std::chrono::milliseconds(static_cast<std::int64_t>(bytes) / m_nFrameBytes * 1000 / m_nRate);
  const auto lastBuffer = std::chrono::milliseconds(static_cast<std::int64_t>(m_nBufferFrames) * 1000 / m_nRate + 1);
  const auto giveUp = Clock::now() + length + lastBuffer + kWaitSlack;
  while (m_sdl->SDL_GetQueuedAudioSize(m_device) > 0 && Clock::now() < giveUp && !Lost()) {
    std::this_thread::sleep_for(kWaitStep);
    if (m_whileWaiting) m_whileWaiting();
  }
  std::this_thread::sleep_for(lastBuffer);
}
