// A host for tests: a surface of a chosen size, a clock the test moves, timers
// the test fires, message boxes answered at once, sounds recorded instead of
// played, and the end of the process turned into an exception. Every call the
// view makes is also written to an ordered log.
#pragma once

#include <ctime>
#include <functional>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/host.h"
#include "platform/surface.h"

class CView;

// Thrown where the real host would end the process.
struct TestProcessExit : std::runtime_error {
  explicit TestProcessExit(int code) : std::runtime_error("process exit"), status(code) {}
  int status;
};

class CTestHost : public CViewHost {
 public:
  struct MessageBoxCall {
    std::string text;
    std::string caption;
    UINT style;
  };
  struct SoundCall {
    UINT id;
    bool wait;
    bool played;
  };

  explicit CTestHost(int clientWidth = 1016, int clientHeight = 660);

  // The view whose OnTimer the test's timer events reach.
  void Attach(CView* view) { m_view = view; }

  // ---- CViewHost ----
  CSurface& Surface() override { return m_surface; }
  RECT ClientRect() const override;
  void Present(Presenting when) override;
  void SetMainWindowTitle(const std::string& title) override;
  bool StartTimer(UINT id, UINT milliseconds) override;
  void StopTimer(UINT id) override;
  int ShowMessageBox(const std::string& text, const std::string& caption, UINT style) override;
  std::time_t CurrentTime() override;
  void SeedRandom() override;
  int NextRandom() override;
  bool PlaySound(UINT id, Playing how) override;
  void Pause(int milliseconds) override;
  void ExitProcess(int status) override;

  // ---- what the test controls ----
  void SetClientSize(int width, int height);
  // Device pixels to each of the client area's, as on a scaled screen.
  void SetDevicePixelRatio(double ratio);
  void SetTime(std::time_t t) { m_now = t; }
  void AdvanceTime(long seconds) { m_now += seconds; }
  // A fixed sequence for the deal's generator, repeated from its start when used
  // up; empty means the C library's rand().
  void SetRandomSequence(std::vector<int> values);
  // The seed SeedRandom gives the C library.
  void SetSeed(unsigned seed) { m_seed = seed; }
  void SetSoundDevice(bool present) { m_soundDevice = present; }
  // How long a sound that is waited for lasts, in seconds of the test clock.
  void SetSoundSeconds(UINT id, long seconds) { m_soundSeconds[id] = seconds; }
  // Makes the next n timer starts fail.
  void FailTimerStarts(int n) { m_timerFailures = n; }
  // Runs while a message box is "open", before it is answered.
  void WhileMessageBoxOpen(std::function<void(const MessageBoxCall&)> action) { m_whileBoxOpen = std::move(action); }
  // Runs when a sound is asked for, before it is recorded as played.
  void OnSound(std::function<void(UINT id, bool wait)> action) { m_onSound = std::move(action); }

  // Fires a running timer as the window's timer event would; false if it does not run.
  bool FireTimer(UINT id);
  bool TimerRunning(UINT id) const;
  UINT TimerPeriod(UINT id) const;

  // ---- what the test reads ----
  const QImage& Image() const { return m_surface.Image(); }
  COLORREF Pixel(int x, int y) const;
  const std::string& Title() const { return m_title; }
  const std::vector<MessageBoxCall>& MessageBoxes() const { return m_boxes; }
  const std::vector<SoundCall>& Sounds() const { return m_sounds; }
  const std::vector<RECT>& Presents() const { return m_presents; }
  const std::vector<std::string>& Log() const { return m_log; }
  long PausedMilliseconds() const { return m_pausedMs; }
  int TimerStartCount() const { return m_timerStarts; }
  void ClearRecords();

 private:
  void Write(const std::string& entry) { m_log.push_back(entry); }

  CSurface m_surface;
  CView* m_view = nullptr;
  std::time_t m_now = 1000000000;
  std::string m_title;
  std::map<UINT, UINT> m_timers;  // running timers: id -> period
  int m_timerFailures = 0;
  int m_timerStarts = 0;
  std::vector<int> m_sequence;
  std::size_t m_sequenceAt = 0;
  unsigned m_seed = 1;
  bool m_soundDevice = true;
  std::map<UINT, long> m_soundSeconds;
  std::function<void(const MessageBoxCall&)> m_whileBoxOpen;
  std::function<void(UINT, bool)> m_onSound;
  std::vector<MessageBoxCall> m_boxes;
  std::vector<SoundCall> m_sounds;
  std::vector<RECT> m_presents;
  std::vector<std::string> m_log;
  long m_pausedMs = 0;
};
