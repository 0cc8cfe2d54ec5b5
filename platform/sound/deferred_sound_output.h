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
//
// Closing waits for SDL's audio thread, which a sound server that has stopped
// answering holds for as long as it hangs. The game closes its device when it
// quits, and must not hang with it: the device is closed on a thread of its
// own, waited for at most kCloseWait, and otherwise left to that thread, which
// the end of the process takes with it.
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
  static constexpr std::chrono::milliseconds kCloseWait{300};

  // now gives the time the retries are counted in; tests move it themselves.
  explicit CDeferredSoundOutput(std::function<Clock::time_point()> now = Clock::now);
  ~CDeferredSoundOutput() override;
  CDeferredSoundOutput(const CDeferredSoundOutput&) = delete;
  CDeferredSoundOutput& operator=(const CDeferredSoundOutput&) = delete;

  // False when there is no device now: every play then fails.
  bool Play(const QByteArray& wave, bool wait) override;

  // What the thread that opens the device hands over, and what the thread
  // that closes it is handed.
  struct Opening;
  struct Closing;

 private:

  // True when there is an open device to play on, trying for one if it is time.
  bool Usable();
  void StartOpening();
  // Takes the result of the opening under way, waiting for it at most wait.
  bool TakeOpening(std::chrono::milliseconds wait);
  void LoseDevice();
  // Closes the device on a thread of its own, waiting for it at most wait.
  static void CloseWithin(std::unique_ptr<CSdlSoundOutput> output, std::chrono::milliseconds wait);
  void ReportSilence(const std::string& why);

  std::function<Clock::time_point()> m_now;
  std::unique_ptr<CSdlSoundOutput> m_output;  // an open device, or null
  std::shared_ptr<Opening> m_opening;         // shared with the thread that opens
  bool m_bTriedToOpen = false;
  Clock::time_point m_nextTry;
  bool m_bSilenceReported = false;
};
