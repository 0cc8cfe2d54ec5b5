// The sound device, opened when the game first plays a sound (at start-up,
// right after the opening animation is on the screen, so that finding a sound
// server does not hold back the first frame) and opened again when it has
// been lost.
//
// Opening runs on a thread of its own: a sound server that hangs can keep it
// waiting for a minute, and the game must not wait with it. A play waits for
// the opening at most kOpenWait and otherwise fails as if there were no
// device; the device is taken up by the first play after it has opened. When
// there is no device, or the one there was has been lost (its server went
// away), it is tried again at a play no sooner than kRetryInterval later, so
// that sound comes back with the server. Each fall into silence is told on
// standard error in one line.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "platform/sound/sdl_sound_output.h"

class CDeferredSoundOutput : public CSoundOutput {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kOpenWait{1000};
  static constexpr std::chrono::seconds kRetryInterval{5};

  // now gives the time the retries are counted in; tests move it themselves.
  explicit CDeferredSoundOutput(std::function<Clock::time_point()> now = Clock::now);
  ~CDeferredSoundOutput() override;
  CDeferredSoundOutput(const CDeferredSoundOutput&) = delete;
  CDeferredSoundOutput& operator=(const CDeferredSoundOutput&) = delete;

  // False when there is no device now: every play then fails.
  bool Play(const QByteArray& wave, bool wait) override;

  // What the thread that opens the device hands over.
  struct Opening;

 private:

  // True when there is an open device to play on, trying for one if it is time.
  bool Usable();
  void StartOpening();
  // Takes the result of the opening under way, waiting for it at most wait.
  bool TakeOpening(std::chrono::milliseconds wait);
  void LoseDevice();
  void ReportSilence(const std::string& why);

  std::function<Clock::time_point()> m_now;
  std::unique_ptr<CSdlSoundOutput> m_output;  // an open device, or null
  std::shared_ptr<Opening> m_opening;         // shared with the thread that opens
  bool m_bTriedToOpen = false;
  Clock::time_point m_nextTry;
  bool m_bSilenceReported = false;
};
