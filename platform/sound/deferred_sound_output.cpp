#include "platform/sound/deferred_sound_output.h"

#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>

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

CDeferredSoundOutput::~CDeferredSoundOutput() = default;

bool CDeferredSoundOutput::Play(const QByteArray& wave, bool wait) {
  if (!Usable()) return false;
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

void CDeferredSoundOutput::StartOpening() {
  m_bTriedToOpen = true;
  m_nextTry = m_now() + kRetryInterval;
  m_opening = std::make_shared<Opening>();
  try {
    std::thread([opening = m_opening] {
      auto output = std::make_unique<CSdlSoundOutput>();
      std::string why;
      const bool opened = output->Open(&why);
      const std::lock_guard<std::mutex> lock(opening->mutex);
      if (opened) opening->output = std::move(output);
      opening->why = std::move(why);
      opening->finished = true;
      opening->done.notify_all();
    }).detach();
  } catch (const std::system_error& error) {
    m_opening->why = std::string("cannot start the thread that opens the sound device: ") + error.what();
    m_opening->finished = true;
  }
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
