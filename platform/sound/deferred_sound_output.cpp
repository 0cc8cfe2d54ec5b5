#include "platform/sound/deferred_sound_output.h"

#include <SDL.h>

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <utility>

#include "platform/sound/sdl_audio_library.h"

// What the opening thread hands over. The thread keeps its own share, so that
// one still held by a hung server outlives the game's output without harm.
struct CDeferredSoundOutput::Opening {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::unique_ptr<CSdlSoundOutput> output;  // set when it opened
  std::string why;                          // why it did not
};

CDeferredSoundOutput::CDeferredSoundOutput(std::function<Clock::time_point()> now) : m_now(std::move(now)) {}

// What the closing thread is handed. The thread keeps its own share, so that a
// close that a hung server holds up outlives the game's output without harm.
struct CDeferredSoundOutput::Closing {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  std::unique_ptr<CSdlSoundOutput> output;
};

CDeferredSoundOutput::~CDeferredSoundOutput() {
  if (m_output) CloseWithin(std::move(m_output), kCloseWait);
}

bool CDeferredSoundOutput::Play(const QByteArray& wave, bool wait) {
  if (!Usable()) return false;
  m_output->SetWhileWaiting(m_whileWaiting);
  if (m_output->Play(wave, wait)) return true;
  if (m_output->Lost()) LoseDevice();
  return false;
}

bool CDeferredSoundOutput::Usable() {
  if (m_output) {
    if (!m_output->Lost()) return true;
    LoseDevice();
  }
  if (m_opening) return TakeOpening(std::chrono::milliseconds(0));
  if (m_bTriedToOpen && m_now() < m_nextTry) return false;
  StartOpening();
  if (TakeOpening(kOpenWait)) return true;
  // Still opening: the server has taken the connection and does not answer.
  if (m_opening) ReportSilence("the sound server does not answer");
  return false;
}

namespace {

// The opening thread's body. It is one of SDL's own threads, so that SDL
// frees what it keeps for the thread (its error text) when the thread ends.
int OpenOnThread(void* data) {
  const std::unique_ptr<std::shared_ptr<CDeferredSoundOutput::Opening>> shared(
      static_cast<std::shared_ptr<CDeferredSoundOutput::Opening>*>(data));
  CDeferredSoundOutput::Opening& opening = **shared;
  auto output = std::make_unique<CSdlSoundOutput>();
  std::string why;
  const bool opened = output->Open(&why);
  const std::lock_guard<std::mutex> lock(opening.mutex);
  if (opened) opening.output = std::move(output);
  opening.why = std::move(why);
  opening.finished = true;
  opening.done.notify_all();
  return 0;
}

// The closing thread's body, one of SDL's own threads for the same reason.
int CloseOnThread(void* data) {
  const std::unique_ptr<std::shared_ptr<CDeferredSoundOutput::Closing>> shared(
      static_cast<std::shared_ptr<CDeferredSoundOutput::Closing>*>(data));
  CDeferredSoundOutput::Closing& closing = **shared;
  std::unique_ptr<CSdlSoundOutput> output;
  {
    const std::lock_guard<std::mutex> lock(closing.mutex);
    output = std::move(closing.output);
  }
  output.reset();
  const std::lock_guard<std::mutex> lock(closing.mutex);
  closing.finished = true;
  closing.done.notify_all();
  return 0;
}

}  // namespace

void CDeferredSoundOutput::CloseWithin(std::unique_ptr<CSdlSoundOutput> output, std::chrono::milliseconds wait) {
  // SDL is loaded, since the device was opened through it.
  const SdlAudio* sdl = LoadSdlAudio(nullptr);
  auto closing = std::make_shared<Closing>();
  closing->output = std::move(output);
  auto* share = new std::shared_ptr<Closing>(closing);
  SDL_Thread* thread = sdl != nullptr ? sdl->SDL_CreateThread(CloseOnThread, "quadrilex close", share) : nullptr;
  if (thread == nullptr) {
    // No thread to leave it to: closed here, for as long as that takes.
    delete share;
    closing->output.reset();
    return;
  }
  sdl->SDL_DetachThread(thread);
  std::unique_lock<std::mutex> lock(closing->mutex);
  closing->done.wait_for(lock, wait, [&closing] { return closing->finished; });
}

void CDeferredSoundOutput::StartOpening() {
  m_bTriedToOpen = true;
  m_nextTry = m_now() + kRetryInterval;
  m_opening = std::make_shared<Opening>();
  std::string why;
  const SdlAudio* sdl = LoadSdlAudio(&why);
  if (sdl == nullptr) {
    m_opening->why = why;
    m_opening->finished = true;
    return;
  }
  auto* share = new std::shared_ptr<Opening>(m_opening);
  SDL_Thread* thread = sdl->SDL_CreateThread(OpenOnThread, "quadrilex sound", share);
  if (thread == nullptr) {
    delete share;
    m_opening->why = std::string("cannot start the thread that opens the sound device: ") + sdl->SDL_GetError();
    m_opening->finished = true;
    return;
  }
  sdl->SDL_DetachThread(thread);
}

bool CDeferredSoundOutput::TakeOpening(std::chrono::milliseconds wait) {
  std::unique_lock<std::mutex> lock(m_opening->mutex);
  if (!m_opening->done.wait_for(lock, wait, [this] { return m_opening->finished; })) return false;
  m_output = std::move(m_opening->output);
  const std::string why = std::move(m_opening->why);
  lock.unlock();
  m_opening.reset();
  if (!m_output) {
    // The next try counts from the failure: an opening that hung for a minute
    // is not tried again at once.
    m_nextTry = m_now() + kRetryInterval;
    ReportSilence(why);
    return false;
  }
  m_bSilenceReported = false;
  return true;
}

void CDeferredSoundOutput::LoseDevice() {
  m_output.reset();
  m_nextTry = m_now() + kRetryInterval;
  ReportSilence("the sound server went away");
}

void CDeferredSoundOutput::ReportSilence(const std::string& why) {
  if (m_bSilenceReported) return;
  m_bSilenceReported = true;
  std::fprintf(stderr, "quadrilex: no sound: %s\n", why.c_str());
}
