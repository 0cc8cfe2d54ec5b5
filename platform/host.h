// What the view needs from the window it lives in and from the machine: its
// surface and client size, presenting to the screen, the title of the main
// window, timers, message boxes, the clock, the random generator, sound output,
// pauses and the end of the process. The real host is the game's window on Qt;
// the test host lets a test drive all of it.
#pragma once

#include <ctime>
#include <string>

#include "game/win_types.h"

class CSurface;

// When what has been drawn reaches the screen: once the game's thread is free
// again, or before the call returns, for the game is about to hold its thread.
enum class Presenting { kWhenFree, kBeforeHolding };

// How a sound is played: started, the call returning at once; or heard to its
// end before the call returns.
enum class Playing { kStart, kToItsEnd };

class CViewHost {
 public:
  virtual ~CViewHost() = default;

  virtual CSurface& Surface() = 0;
  // The view's client rectangle; left and top are 0.
  virtual RECT ClientRect() const = 0;
  // Shows what has been drawn on the surface since the last time.
  virtual void Present(Presenting when) = 0;
  virtual void SetMainWindowTitle(const std::string& title) = 0;

  // Starting a timer that runs restarts it. False when it cannot be started.
  virtual bool StartTimer(UINT id, UINT milliseconds) = 0;
  virtual void StopTimer(UINT id) = 0;

  // A modal message box; timers keep firing while it is open.
  virtual int ShowMessageBox(const std::string& text, const std::string& caption, UINT style) = 0;

  // Calendar time in whole seconds.
  virtual std::time_t CurrentTime() = 0;

  // The deal's generator: seeded once, then drawn from.
  virtual void SeedRandom() = 0;
  virtual int NextRandom() = 0;

  // Plays the game's sound resource id. A new sound cuts off the one still
  // playing. False when it cannot be played (no such sound, no device).
  virtual bool PlaySound(UINT id, Playing how) = 0;

  // Holds the thread for the given time; nothing is handled meanwhile.
  virtual void Pause(int milliseconds) = 0;

  // Ends the process with the given status.
  virtual void ExitProcess(int status) = 0;
};
