// Plays Quadrilex from outside: starts the executable, finds its window, its
// view and its board on the screen, and clicks arrows like a player, checking
// each effect on the screen before the next click.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "tests/e2e/driver/game_process.h"
#include "tests/e2e/driver/screen_reader.h"
#include "tests/e2e/driver/solver.h"
#include "tests/e2e/driver/x_session.h"

namespace e2e {

using Millis = std::chrono::milliseconds;

// Polls `condition` until it holds or `timeout` has passed; true when it held.
bool WaitFor(Millis timeout, const std::function<bool()>& condition, Millis poll = Millis(25));

// Every title the main window may carry holds these.
constexpr const char* kGameName = "Quadrilex";
constexpr const char* kVersionLabel = " -- Version J614 ";

class GameDriver {
 public:
  GameDriver(XSession& x, std::string program, unsigned seed, std::string logPath);

  XSession& x() { return x_; }
  GameProcess& process() { return *process_; }
  unsigned seed() const { return seed_; }

  // Starts the game with --seed; false when the process could not be made.
  bool start();

  // The main window: the window of the game's process whose title names the game.
  bool waitForWindow(Millis timeout);
  const WindowInfo& window() const { return window_; }
  // Reads the game inside another window instead: the output window of a
  // Wayland compositor running on the X display, whose client the game is.
  void useWindow(const WindowInfo& window) {
    window_ = window;
    areaSince_ = std::chrono::steady_clock::now();
  }
  // Reads the window again (its title changes at every paint).
  std::optional<WindowInfo> refreshWindow();
  // Any other window of the game's process that is shown now (dialogs, message boxes, menus).
  std::vector<WindowInfo> otherWindows();

  // The view under the menu bar, once the window has kept its place and size
  // for kWindowSettles.
  static constexpr Millis kWindowSettles{500};
  bool locateView(Millis timeout);
  const Rect& view() const { return view_; }

  // Waits until the 18 opening lines are on the screen; `last` gets the last scores seen.
  bool waitForOpeningLines(Millis timeout, std::vector<LineScore>* last = nullptr);

  // Waits for a board: the master's red frame, 12 different arrangements, no
  // other frame. `board()` then gives its place and `codes()` what was read.
  bool waitForBoard(Millis timeout, const std::vector<Code>& unlike = {});
  const Board& board() const { return board_; }
  const std::vector<Code>& codes() const { return codes_; }

  Image shotWindow() { return x_.capture(window_.area); }
  Image shotView() { return x_.capture(view_); }
  Image shotBoard() { return x_.capture(board_.area()); }
  std::vector<Code> readBoard();

  void clickBlock(int k, int dx, int dy);
  void clickZone(int k, int zone);

  // Clicks zone `zone` of block k and waits until the block shows `expected`
  // (with a green frame when that is the master's arrangement).
  bool move(int k, int zone, Millis timeout = Millis(5000));

  // Brings every block still in play to the master's arrangement; false (with
  // `why`) when a click did not have its effect or no plan exists.
  bool matchAll(std::string* why);

  // Blocks in play as last read: not the master, not lost, not matched.
  std::vector<bool> inPlay() const;

  // Gives the main window the keyboard focus the way a player would, with a
  // click that changes nothing in the game (on the master block, off its
  // arrows), clicking again until the focus is there.
  bool focusGame(Millis timeout = Millis(5000));

  // Message boxes of the game that a test did not ask for (the notice that
  // sound cannot be played is the one the game shows by itself): each is
  // clicked into and closed with Return. Returns how many were closed now;
  // `noticesClosed()` counts them all.
  int closeNotices();
  int noticesClosed() const { return noticesClosed_; }

  // WaitFor that also closes unasked-for message boxes, which would otherwise
  // hold the game (they are modal) and hide part of the board.
  bool waitFor(Millis timeout, const std::function<bool()>& condition, Millis poll = Millis(25));

 private:
  XSession& x_;
  std::string program_;
  unsigned seed_;
  std::string logPath_;
  std::unique_ptr<GameProcess> process_;
  WindowInfo window_;
  std::chrono::steady_clock::time_point areaSince_;  // when window_.area last changed
  Rect view_;
  Board board_;
  std::vector<Code> codes_;
  std::vector<Frame> frames_;
  int noticesClosed_ = 0;
};

}  // namespace e2e
