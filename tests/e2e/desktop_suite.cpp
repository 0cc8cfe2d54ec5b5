// The real quadrilex executable under the window manager of a common desktop,
// or under none: it fills the screen from its first frame, whatever the manager
// does to it afterwards it goes back to filling the screen with its game
// unchanged, and Alt+F4 ends it. Run through run_e2e.sh, with
// QUADRILEX_E2E_WM naming the manager (mutter, kwin, xfwm4, openbox, none);
// the Wayland case runs with weston, whose output is a window of the X display.

#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/driver/game_driver.h"
#include "tests/e2e/driver/game_process.h"
#include "tests/e2e/driver/image.h"
#include "tests/e2e/driver/screen_reader.h"
#include "tests/e2e/driver/solver.h"
#include "tests/e2e/driver/x_session.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

std::string Env(const char* name, const std::string& fallback = "") {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

std::string Join(const std::vector<Code>& codes) {
  std::string s;
  for (const Code& c : codes) s += (s.empty() ? "" : " ") + c;
  return s;
}

class Desktop : public ::testing::Test {
 protected:
  void SetUp() override {
    program_ = Env("QUADRILEX_E2E_GAME");
    ASSERT_FALSE(program_.empty()) << "QUADRILEX_E2E_GAME is not set: run the suite through run_e2e.sh";
    x_ = XSession::Open();
    ASSERT_TRUE(x_) << "no X display: run the suite through run_e2e.sh";
    ASSERT_TRUE(x_->hasXTest()) << "the X server has no XTEST extension";
    logDir_ = Env("QUADRILEX_E2E_OUTPUT_DIR", ".") + "/e2e-logs";
    mkdir(logDir_.c_str(), 0755);
    const std::string seed = Env("QUADRILEX_E2E_SEED");
    seed_ = seed.empty() ? static_cast<unsigned>(std::time(nullptr)) % 1000000u
                         : static_cast<unsigned>(std::strtoul(seed.c_str(), nullptr, 10));
    std::cout << "[  desktop ] " << Env("QUADRILEX_E2E_WM", "openbox") << ", seed " << seed_ << std::endl;
  }

  void TearDown() override {
    if (HasFailure() && x_) {
      const std::string path = Env("QUADRILEX_E2E_OUTPUT_DIR", ".") + "/e2e-failure-" +
                               Env("QUADRILEX_E2E_WM", "openbox") + "-" + TestName() + ".png";
      if (WritePng(x_->captureScreen(), path)) std::cout << "[  screen  ] " << path << std::endl;
    }
    if (game_) game_->process().stop();
  }

  void StartGame(int run = 0) {
    if (game_) game_->process().stop();
    const std::string log = logDir_ + "/" + Env("QUADRILEX_E2E_WM", "openbox") + "-" + TestName() + "-" +
                            std::to_string(run) + ".log";
    game_ = std::make_unique<GameDriver>(*x_, program_, seed_ + static_cast<unsigned>(run), log);
    ASSERT_TRUE(game_->start()) << "could not start " << program_;
    const std::string pidFile = Env("QUADRILEX_E2E_PIDFILE");
    if (!pidFile.empty()) std::ofstream(pidFile, std::ios::app) << game_->process().pid() << "\n";
    ASSERT_TRUE(game_->waitForWindow(20s)) << "no window of the game's process with a title naming " << kGameName;
  }

  // Starts the game and waits for its first board, on a frame that fills the screen.
  void StartToBoard() {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ASSERT_TRUE(WaitFor(5s, [&] { return FillsTheScreen(); })) << Where();
    ASSERT_TRUE(game_->locateView(10s)) << Where();
    ASSERT_TRUE(game_->waitForBoard(30s)) << "no board in " << ToString(game_->view());
  }

  // The frame the manager put round the game's window, or the window itself
  // where there is none, covers the screen exactly, and the window is shown.
  bool FillsTheScreen() { return Fills(x_->screen()); }
  bool Fills(const Rect& area) {
    const auto window = game_->refreshWindow();
    return window && window->viewable && x_->frameOf(window->id) == area;
  }

  std::string Where() {
    const auto window = game_->refreshWindow();
    if (!window) return "the window is gone";
    return "window " + ToString(window->area) + " in frame " + ToString(x_->frameOf(window->id)) + " on screen " +
           ToString(x_->screen());
  }

  // Message boxes and other windows of the game's, besides the main window.
  bool OnlyTheMainWindow() { return game_->otherWindows().empty(); }

  std::string program_;
  std::string logDir_;
  unsigned seed_ = 0;
  std::unique_ptr<XSession> x_;
  std::unique_ptr<GameDriver> game_;
};

TEST_F(Desktop, EveryStartFillsTheScreenFromItsFirstPaint) {
  constexpr int kStarts = 20;
  for (int run = 0; run < kStarts; ++run) {
    SCOPED_TRACE("start " + std::to_string(run + 1) + " of " + std::to_string(kStarts));
    ASSERT_NO_FATAL_FAILURE(StartGame(run));
    ASSERT_TRUE(WaitFor(5s, [&] { return FillsTheScreen(); })) << Where();
    ASSERT_TRUE(game_->locateView(10s)) << "no grey view under the menu bar: " << Where();
    // The first paint has run (it gives the window the game's title) and got
    // past the size check: no "Program Abort" box comes up, which it would
    // at once.
    ASSERT_TRUE(WaitFor(10s, [&] {
      const auto window = game_->refreshWindow();
      return window && window->title.find(kVersionLabel) != std::string::npos;
    })) << "the first paint did not run: the title is still '" << game_->window().title << "'";
    EXPECT_FALSE(WaitFor(1s, [&] { return !OnlyTheMainWindow(); }))
        << "a window besides the game's main window is shown";
    EXPECT_TRUE(game_->process().running());
    // (The opening sound holds the game for four seconds; a manager that
    // moves the frame meanwhile is answered after it.)
    EXPECT_TRUE(WaitFor(8s, [&] { return FillsTheScreen(); })) << Where();
    game_->process().stop();
  }
}

TEST_F(Desktop, WhatTheManagerDoesToTheFrameIsUndoneAndTheGameGoesOn) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> dealt = game_->codes();
  const WindowId window = game_->window().id;
  const Rect screen = x_->screen();

  // After each change: back to filling the screen within two seconds, with
  // the same board on it, and no message box. (A manager takes its time to
  // carry out a request, or refuses it: the change is waited for a moment
  // first, so that the frame is not judged before the manager has moved it.)
  auto expectRestored = [&](const std::string& what) {
    const bool changed = WaitFor(1s, [&] { return !FillsTheScreen(); }, Millis(5));
    std::cout << "[  desktop ] " << what << (changed ? ": the frame changed" : ": no change seen") << std::endl;
    EXPECT_TRUE(WaitFor(2s, [&] { return FillsTheScreen(); })) << "after " << what << ": " << Where();
    std::vector<Code> seen;
    EXPECT_TRUE(WaitFor(2s, [&] { return (seen = game_->readBoard()) == dealt; }))
        << "after " << what << " the board changed or is not whole on the screen: dealt " << Join(dealt) << ", seen "
        << Join(seen) << " at " << ToString(game_->board().area());
    EXPECT_TRUE(OnlyTheMainWindow()) << "after " << what << " a window besides the main window is shown";
    EXPECT_TRUE(game_->process().running()) << "after " << what;
  };

  x_->requestState(window, false, "_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ");
  expectRestored("a request to remove the maximized states");

  if (x_->hasWindowManager()) {
    // What the manager offers: no resize, no maximize; close, for Alt+F4.
    const std::vector<std::string> actions = x_->allowedActions(window);
    std::string offered;
    for (const std::string& a : actions) offered += " " + a;
    std::cout << "[  desktop ] allowed actions:" << offered << std::endl;
    const auto allows = [&](const char* action) {
      return std::find(actions.begin(), actions.end(), action) != actions.end();
    };
    EXPECT_TRUE(allows("_NET_WM_ACTION_CLOSE")) << offered;
    EXPECT_FALSE(allows("_NET_WM_ACTION_RESIZE")) << offered;
    EXPECT_FALSE(allows("_NET_WM_ACTION_MAXIMIZE_HORZ") || allows("_NET_WM_ACTION_MAXIMIZE_VERT")) << offered;

    const Rect frame = x_->frameOf(window);
    const Point caption{frame.x + frame.w / 3, frame.y + (game_->window().area.y - frame.y) / 2};
    x_->doubleClick(caption.x, caption.y);
    expectRestored("a double click on the caption");
    x_->drag(caption, Point{caption.x + 200, caption.y + 150});
    expectRestored("a drag of the caption");
    x_->requestIconic(window);
    expectRestored("a request to minimize it");
    // Back from the minimize, the keyboard is the game's again with no click
    // (KWin gives it to nobody).
    x_->tapKey(XK_F1);
    EXPECT_TRUE(WaitFor(3s, [&] { return !OnlyTheMainWindow(); })) << "after the minimize, F1 showed nothing";
    x_->tapKey(XK_Return);
    EXPECT_TRUE(WaitFor(3s, [&] { return OnlyTheMainWindow(); })) << "Return did not close the instructions";
    x_->requestMoveResize(window, Rect{100, 80, 900, 600});
  } else {
    // With no manager, only another client moves a window.
    x_->moveResize(window, Rect{100, 80, 900, 600});
  }
  expectRestored("a move and resize to 900 by 600");
  EXPECT_TRUE(FillsTheScreen()) << Where() << " (screen " << ToString(screen) << ")";
}

// Gives the virtual screen another size, as a player does with xrandr, and
// waits until the screen has kept that size for a second. A manager that keeps
// a configuration of the outputs of its own (mutter) may answer a change of
// them with a mode of its own choice, or change the screen while xrandr does:
// the size is then asked for again.
bool SetScreenSize(XSession& x, int width, int height) {
  const std::string mode = std::to_string(width) + "x" + std::to_string(height);
  const std::string add = "{ xrandr --newmode " + mode + " 0 " + std::to_string(width) + " 0 0 0 " +
                          std::to_string(height) + " 0 0 0; xrandr --addmode screen " + mode + "; } >/dev/null 2>&1";
  const std::string set = "xrandr --output screen --mode " + mode + " >/dev/null 2>&1";
  if (std::system(add.c_str()) == -1) return false;
  const Rect wanted{0, 0, width, height};
  using Clock = std::chrono::steady_clock;
  std::optional<Clock::time_point> heldSince;
  std::optional<Clock::time_point> askedAt;
  return WaitFor(
      15s,
      [&] {
        const auto now = Clock::now();
        if (x.screen() == wanted) {
          if (!heldSince) heldSince = now;
          return now - *heldSince >= 1s;
        }
        heldSince.reset();
        if (!askedAt || now - *askedAt >= 1s) {
          // A refusal (the manager changed the screen meanwhile) is asked again.
          [[maybe_unused]] const int status = std::system(set.c_str());
          askedAt = now;
        }
        return false;
      },
      Millis(50));
}

class ScreenSize : public Desktop {
 protected:
  void TearDown() override {
    Desktop::TearDown();
    if (x_) SetScreenSize(*x_, 1280, 1024);  // the next case meets the screen it expects
  }

  void ResizeScreen(int width, int height) {
    ASSERT_TRUE(SetScreenSize(*x_, width, height))
        << "the screen did not keep the size asked for: it is " << ToString(x_->screen());
  }
};

// A smaller screen while the game runs: the frame follows it and the game goes
// on with its board, laid out anew; a screen below the game's minimum ends it
// with the "Program Abort" message and status 1.
TEST_F(ScreenSize, TheFrameFollowsTheScreenAndASmallerThanMinimumScreenEndsTheGame) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> dealt = game_->codes();

  ASSERT_NO_FATAL_FAILURE(ResizeScreen(1180, 900));
  EXPECT_TRUE(WaitFor(3s, [&] { return Fills(Rect{0, 0, 1180, 900}); })) << Where();
  ASSERT_TRUE(game_->locateView(5s)) << Where();
  EXPECT_TRUE(game_->waitForBoard(5s)) << "no board in " << ToString(game_->view());
  EXPECT_EQ(Join(game_->codes()), Join(dealt));
  EXPECT_TRUE(OnlyTheMainWindow());

  ASSERT_NO_FATAL_FAILURE(ResizeScreen(1000, 700));
  std::optional<WindowInfo> box;
  ASSERT_TRUE(WaitFor(5s, [&] {
    for (const WindowInfo& w : game_->otherWindows())
      if (!w.overrideRedirect) box = w;
    return box.has_value();
  })) << "no message box on a screen of 1000 by 700: " << Where();

  // The message is held inside a paint. A paint asked for meanwhile (the
  // screen changes again, and the frame with it) waits for that paint to end
  // and costs nothing until then.
  ASSERT_NO_FATAL_FAILURE(ResizeScreen(1010, 700));
  std::this_thread::sleep_for(1s);
  const double cpuBefore = game_->process().cpuSeconds();
  std::this_thread::sleep_for(5s);
  const double cpuUsed = game_->process().cpuSeconds() - cpuBefore;
  std::cout << "[   cpu    ] " << cpuUsed << " s in 5 s behind the message box" << std::endl;
  // Behind the box the clock still redraws its box 20 times a second, as it
  // does in play (a twentieth of a core and more in a sanitizer build); a
  // paint posted again on every pass of the box's event loop takes the core.
  EXPECT_LT(cpuUsed, 1.0) << "behind its message box the game used " << cpuUsed << " s of a core in 5 s";

  x_->click(box->area.x + 6, box->area.bottom() - 6);
  WaitFor(3s, [&] { return x_->isWithin(x_->inputFocus(), box->id); });
  x_->tapKey(XK_Return);
  const auto status = game_->process().waitExit(10s);
  ASSERT_TRUE(status) << "the game is still running after the message on a screen too small";
  EXPECT_TRUE(status->exited && status->code == 1) << ToString(*status);
}

TEST_F(Desktop, AltF4EndsTheGameWithStatusZero) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  ASSERT_TRUE(game_->focusGame()) << "the main window does not take the keyboard focus";
  x_->tapKey(XK_F4, {XK_Alt_L});
  const auto status = game_->process().waitExit(10s);
  ASSERT_TRUE(status) << "the game is still running after Alt+F4";
  EXPECT_TRUE(status->exited && status->code == 0) << ToString(*status);
}

// What the game draws before it holds its thread, the opening lines while the
// opening sound plays above all, is on the screen while it holds it, under a
// compositing manager as under any other; and the first click on an arrow,
// made as soon as the board shows, moves its block. Ten starts, under the
// managers that composite (mutter, KWin) and one that does not (openbox).
TEST_F(Desktop, TheOpeningLinesShowWhileTheSoundPlaysAndTheFirstClickMovesItsBlock) {
  const std::string wm = Env("QUADRILEX_E2E_WM", "openbox");
  if (wm != "mutter" && wm != "kwin" && wm != "openbox") GTEST_SKIP() << "run under mutter, KWin and openbox";
  constexpr int kStarts = 10;
  for (int run = 0; run < kStarts; ++run) {
    SCOPED_TRACE("start " + std::to_string(run + 1) + " of " + std::to_string(kStarts));
    ASSERT_NO_FATAL_FAILURE(StartGame(run));
    ASSERT_TRUE(game_->locateView(10s)) << Where();
    std::vector<LineScore> lines;
    ASSERT_TRUE(game_->waitForOpeningLines(10s, &lines)) << "the opening lines never reached the screen";
    ASSERT_TRUE(game_->waitForBoard(15s)) << "no board in " << ToString(game_->view());
    const std::vector<Code> dealt = game_->codes();
    // An arrow of block 1 whose move neither matches the master nor meets
    // another block: the block just shows its new arrangement.
    int zone = 0;
    for (int z = 1; z <= kArrowZoneCount && zone == 0; ++z) {
      if (std::find(dealt.begin(), dealt.end(), ApplyZone(dealt[1], z)) == dealt.end()) zone = z;
    }
    ASSERT_NE(zone, 0) << Join(dealt);
    game_->clickZone(1, zone);
    const Code expected = ApplyZone(dealt[1], zone);
    Code seen;
    EXPECT_TRUE(WaitFor(1500ms, [&] { return (seen = game_->readBoard()[1]) == expected; }))
        << "zone " << zone << " of block 1 (" << dealt[1] << ") should give " << expected << "; the block shows "
        << seen;
  }
}

// The keyboard works from the first frame, with no click first: where no
// manager gives the game the keyboard, the game takes it, at its start and
// again when its F1 box has closed.
TEST_F(Desktop, TheKeysWorkWithoutAClickFirst) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  x_->tapKey(XK_F4, {XK_Alt_L});
  const auto status = game_->process().waitExit(10s);
  ASSERT_TRUE(status) << "the game is still running after Alt+F4, its first input";
  EXPECT_TRUE(status->exited && status->code == 0) << ToString(*status);

  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const auto hasKeyboard = [&](WindowId window) { return x_->isWithin(x_->inputFocus(), window); };
  x_->tapKey(XK_F1);
  WindowId box = 0;
  ASSERT_TRUE(WaitFor(5s, [&] {
    for (const WindowInfo& w : game_->otherWindows()) {
      if (!w.overrideRedirect) box = w.id;
    }
    return box != 0;
  })) << "F1 showed no instructions";
  EXPECT_TRUE(WaitFor(2s, [&] { return hasKeyboard(box); })) << "the instructions did not get the keyboard";
  x_->tapKey(XK_Return);
  ASSERT_TRUE(WaitFor(5s, [&] { return OnlyTheMainWindow(); })) << "Return did not close the instructions";
  EXPECT_TRUE(WaitFor(2s, [&] { return hasKeyboard(game_->window().id); }))
      << "the keyboard did not come back to the game when the instructions closed";
  x_->tapKey(XK_p, {XK_Control_L});
  const auto printDialog = [&] {
    for (const WindowInfo& w : game_->otherWindows()) {
      if (w.title == "Print") return true;
    }
    return false;
  };
  EXPECT_TRUE(WaitFor(5s, printDialog)) << "Ctrl+P after the instructions opened no Print dialog";
  x_->tapKey(XK_Escape);
  EXPECT_TRUE(WaitFor(5s, [&] { return OnlyTheMainWindow(); })) << "Escape did not close the Print dialog";
}

// A window of another program that holds the keyboard keeps it: the game takes
// the keyboard only where nobody has it.
TEST_F(Desktop, TheGameLeavesTheKeyboardWithAnotherProgramsWindow) {
  if (x_->hasWindowManager()) GTEST_SKIP() << "with a manager, the manager gives the keyboard";
  const WindowId other = x_->showWindowWithKeyboard();
  ASSERT_NE(other, 0u) << "no window of our own could be shown";
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  EXPECT_FALSE(WaitFor(1s, [&] { return x_->inputFocus() != other; }))
      << "the game took the keyboard from another program's window";
}

// Sets an environment variable for the games started while it lives, and puts
// back what was there before.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    if (value) {
      setenv(name, value, 1);
    } else {
      unsetenv(name);
    }
  }
  ~ScopedEnv() {
    if (old_) {
      setenv(name_.c_str(), old_->c_str(), 1);
    } else {
      unsetenv(name_.c_str());
    }
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> old_;
};

// The game on a screen that Qt scales, by QT_SCALE_FACTOR or by the Xft.dpi
// that a desktop sets at 150 % and 200 %. The X screen starts at 2560 by 2048
// (QUADRILEX_E2E_SCREEN) and xrandr makes it smaller.
class ScaledScreen : public Desktop {
 protected:
  void SetUp() override {
    ASSERT_NO_FATAL_FAILURE(Desktop::SetUp());
    // xrandr makes a virtual screen smaller than it started, never larger.
    if (Env("QUADRILEX_E2E_SCREEN") != "2560x2048") {
      GTEST_SKIP() << "needs a screen of 2560 by 2048: QUADRILEX_E2E_SCREEN=2560x2048";
    }
  }
  void TearDown() override {
    Desktop::TearDown();
    if (x_) x_->setResources("");
  }

  void UseScreen(int width, int height) {
    ASSERT_TRUE(SetScreenSize(*x_, width, height))
        << "the screen did not keep the size asked for: it is " << ToString(x_->screen());
  }

  // Starts the game, waits until its frame covers the screen and a dealt
  // board is on it, drawn at some scale: twelve different arrangements, the
  // master framed in red. (Read at a scale that is not whole, the outline
  // gives the scale only to a pixel in 160: the other blocks' outermost
  // rings, read off by as much, are not judged.)
  void StartToScaledBoard(ScaledBoard& board) {
    ASSERT_NO_FATAL_FAILURE(StartGame());
    ASSERT_TRUE(WaitFor(5s, [&] { return FillsTheScreen(); })) << Where();
    std::vector<Code> codes;
    ASSERT_TRUE(WaitFor(
        30s,
        [&] {
          const auto found = FindScaledBoard(game_->shotWindow());
          if (!found) return false;
          codes = ReadBoard(found->picture, Board{0, 0});
          std::set<Code> distinct(codes.begin(), codes.end());
          if (distinct.size() != kBlockCount) return false;
          for (const Code& c : codes)
            if (!IsArrangement(c)) return false;
          board = *found;
          return true;
        },
        Millis(100)))
        << "no whole board on the screen; last read " << Join(codes) << "; " << Where();
    std::cout << "[  scaled  ] board at " << ToString(board.area) << ", " << board.scale
              << " screen pixels to the game's pixel" << std::endl;
  }

  // The window's own area, inside the manager's frame, reaches the screen's
  // bottom and right edges but for a border no thicker than the frame's side,
  // and its last row is the game's grey: no strip of black below or beside it.
  void ExpectNoStrip() {
    const auto window = game_->refreshWindow();
    ASSERT_TRUE(window);
    const Rect area = window->area;
    const Rect frame = x_->frameOf(window->id);
    const Rect screen = x_->screen();
    const int side = area.x - frame.x;
    EXPECT_LE(screen.bottom() - area.bottom(), side) << "below the window " << Where();
    EXPECT_LE(screen.right() - area.right(), side) << "beside the window " << Where();
    const Image shot = x_->capture(area);
    EXPECT_TRUE(AllOf(shot, Rect{area.x, area.bottom() - 1, area.w, 1}, kGrey))
        << "the window's last row is not the game's ground: " << Where();
    EXPECT_TRUE(AllOf(shot, Rect{area.right() - 1, area.bottom() - area.h / 2, 1, area.h / 2}, kGrey))
        << "the lower half of the window's last column is not the game's ground: " << Where();
  }

  // Once the board is on the screen, nothing changes by itself: the frame and
  // the window stay where they are, nothing is written to the window (no
  // property, not even as it was, and no geometry asked for again), and the
  // game uses under a twentieth of a core (the clock's box redrawn twenty
  // times a second).
  void ExpectSettled(std::chrono::seconds span) {
    const WindowId window = game_->window().id;
    const Rect frame = x_->frameOf(window);
    const Rect area = game_->window().area;
    const std::string properties = x_->properties(window);
    x_->watchWrites(window);
    const double cpuBefore = game_->process().cpuSeconds();
    const auto end = std::chrono::steady_clock::now() + span;
    bool still = true;
    while (still && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(250ms);
      const auto now = game_->refreshWindow();
      still = now && now->area == area && x_->frameOf(window) == frame;
    }
    const double cpuUsed = game_->process().cpuSeconds() - cpuBefore;
    EXPECT_TRUE(still) << "the window moved from " << ToString(area) << " in frame " << ToString(frame) << ": "
                       << Where();
    EXPECT_EQ(x_->properties(window), properties) << "a property of the window changed";
    EXPECT_EQ(x_->writesSeen(), 0) << "the window's properties or geometry were written";
    const double seconds = std::chrono::duration<double>(span).count();
    std::cout << "[   cpu    ] " << cpuUsed << " s in " << seconds << " s after the board" << std::endl;
    EXPECT_LT(cpuUsed, 0.05 * seconds) << "the game used " << cpuUsed << " s of a core in " << seconds << " s";
  }

  void ExpectAltF4EndsWithStatusZero() {
    // With no manager nobody gives the window the keyboard: a click on the
    // game's ground (the lower right corner, where nothing is drawn) does.
    if (!WaitFor(1s, [&] { return x_->isWithin(x_->inputFocus(), game_->window().id); })) {
      const Rect& area = game_->window().area;
      x_->click(area.right() - 20, area.bottom() - 20);
      ASSERT_TRUE(WaitFor(5s, [&] { return x_->isWithin(x_->inputFocus(), game_->window().id); }))
          << "the main window does not take the keyboard focus";
    }
    x_->tapKey(XK_F4, {XK_Alt_L});
    const auto status = game_->process().waitExit(10s);
    ASSERT_TRUE(status) << "the game is still running after Alt+F4";
    EXPECT_TRUE(status->exited && status->code == 0) << ToString(*status);
  }
};

// Qt's pixels twice and one and a half times the screen's: the game is drawn
// at that scale, its frame fills the screen to the pixel and then stays put.
TEST_F(ScaledScreen, AtAScaleFactorTheFrameFillsTheScreenSettlesAndClosesWithAltF4) {
  struct Case {
    int width, height;
    const char* factor;
    double scale;
  };
  for (const Case& c : {Case{2560, 2048, "2", 2.0}, Case{1920, 1536, "1.5", 1.5}}) {
    SCOPED_TRACE(std::string("QT_SCALE_FACTOR=") + c.factor + " on " + std::to_string(c.width) + "x" +
                 std::to_string(c.height));
    ASSERT_NO_FATAL_FAILURE(UseScreen(c.width, c.height));
    const ScopedEnv factor("QT_SCALE_FACTOR", c.factor);
    ScaledBoard board;
    ASSERT_NO_FATAL_FAILURE(StartToScaledBoard(board));
    EXPECT_NEAR(board.scale, c.scale, 0.02);
    ExpectNoStrip();
    ExpectSettled(5s);
    ASSERT_NO_FATAL_FAILURE(ExpectAltF4EndsWithStatusZero());
  }
}

// GNOME on X11 scales by the X resource Xft.dpi: 192 at 200 %, 144 at 150 %.
// On a 1920 by 1080 screen the board fits at 150 %; at 200 % it does not, and
// the game draws at the largest scale at which it fits.
TEST_F(ScaledScreen, UnderXftDpiTheGameStartsFullAndSettles) {
  ASSERT_NO_FATAL_FAILURE(UseScreen(1920, 1080));
  const ScopedEnv scaling("QT_ENABLE_HIGHDPI_SCALING", "1");
  const ScopedEnv factor("QT_SCALE_FACTOR", nullptr);
  for (const int dpi : {192, 144}) {
    SCOPED_TRACE("Xft.dpi " + std::to_string(dpi));
    x_->setResources("Xft.dpi:\t" + std::to_string(dpi) + "\n");
    ScaledBoard board;
    ASSERT_NO_FATAL_FAILURE(StartToScaledBoard(board));
    EXPECT_TRUE(game_->locateView(5s)) << Where();
    const double viewHeight = game_->view().h / board.scale;
    if (dpi == 144) {
      EXPECT_NEAR(board.scale, 1.5, 0.02);
    } else {
      EXPECT_GT(board.scale, 1.4);
      EXPECT_LT(board.scale, 2.0);
      // The view's height is what holds the board back: the game's 660 rows
      // fill it.
      EXPECT_NEAR(viewHeight, 660, 2) << "view " << ToString(game_->view());
    }
    EXPECT_TRUE(OnlyTheMainWindow()) << "a message box is shown";
    ExpectNoStrip();
    ExpectSettled(3s);
    if (dpi == 192) {
      // At a scale that is neither Qt's nor one, a click still lands on the
      // game's pixel under the pointer: an arrow moves its block.
      const std::vector<Code> dealt = ReadBoard(board.picture, Board{0, 0});
      int zone = 0;
      for (int z = 1; z <= 8 && zone == 0; ++z) {
        if (std::find(dealt.begin(), dealt.end(), ApplyZone(dealt[1], z)) == dealt.end()) zone = z;
      }
      ASSERT_NE(zone, 0);
      const Point at = Board{0, 0}.point(1, ZoneClickPoint(zone).x, ZoneClickPoint(zone).y);
      x_->click(board.area.x + static_cast<int>((at.x + 0.5) * board.scale),
                board.area.y + static_cast<int>((at.y + 0.5) * board.scale));
      const Code expected = ApplyZone(dealt[1], zone);
      Code seen;
      EXPECT_TRUE(WaitFor(3s, [&] {
        const auto now = FindScaledBoard(game_->shotWindow());
        return now && (seen = ReadBlock(now->picture, Board{0, 0}, 1)) == expected;
      })) << "zone " << zone << " of block 1 (" << dealt[1] << ") should give " << expected << ", the block shows "
          << seen;
    }
    game_->process().stop();
  }
}

// The manager rolls the frame up into its caption, as the wheel on the caption
// does under openbox: it is rolled down again at once, with its board.
TEST_F(Desktop, AShadedFrameIsUnshadedWithItsBoard) {
  if (!x_->hasWindowManager()) GTEST_SKIP() << "only a window manager shades a window";
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> dealt = game_->codes();
  const WindowId window = game_->window().id;
  const auto shaded = [&] {
    const auto states = x_->states(window);
    return std::find(states.begin(), states.end(), "_NET_WM_STATE_SHADED") != states.end();
  };
  x_->requestState(window, true, "_NET_WM_STATE_SHADED");
  const bool seen = WaitFor(1s, [&] { return shaded() || !FillsTheScreen(); }, Millis(5));
  std::cout << "[  desktop ] " << (seen ? "the frame was rolled up" : "no roll-up seen") << std::endl;
  EXPECT_TRUE(WaitFor(2s, [&] { return !shaded() && FillsTheScreen(); })) << Where();
  std::vector<Code> board;
  EXPECT_TRUE(WaitFor(2s, [&] { return (board = game_->readBoard()) == dealt; }))
      << "dealt " << Join(dealt) << ", seen " << Join(board);
}

// A kiosk's start: the manager and the game started at the same moment, in
// either order. Whichever comes first, the game's frame is the manager's and
// fills the screen within five seconds, every time.
using Kiosk = Desktop;

TEST_F(Kiosk, StartedTogetherWithItsManagerTheGameShowsFull) {
  if (x_->hasWindowManager()) GTEST_SKIP() << "starts a manager of its own: run with QUADRILEX_E2E_WM=none";
  constexpr int kStarts = 20;
  for (const bool managerFirst : {true, false}) {
    for (int run = 0; run < kStarts; ++run) {
      SCOPED_TRACE(std::string(managerFirst ? "openbox first" : "the game first") + ", start " +
                   std::to_string(run + 1));
      const std::string log = logDir_ + "/together-" + std::to_string(managerFirst) + "-" + std::to_string(run);
      std::unique_ptr<GameProcess> manager;
      std::unique_ptr<GameProcess> game;
      const auto startManager = [&] {
        manager = std::make_unique<GameProcess>("/usr/bin/openbox", std::vector<std::string>{"--sm-disable"},
                                                log + "-openbox.log");
      };
      const auto startGame = [&] {
        game = std::make_unique<GameProcess>(program_, std::vector<std::string>{"--seed", std::to_string(seed_)},
                                             log + "-game.log");
      };
      if (managerFirst) {
        startManager();
        startGame();
      } else {
        startGame();
        startManager();
      }
      ASSERT_TRUE(manager->started() && game->started());
      const std::string pidFile = Env("QUADRILEX_E2E_PIDFILE");
      if (!pidFile.empty()) std::ofstream(pidFile, std::ios::app) << game->pid() << "\n";
      const long pid = game->pid();
      std::string seen = "no window";
      const bool full = WaitFor(5s, [&] {
        const auto window = x_->findWindow([&](const WindowInfo& w) {
          return w.pid == pid && !w.overrideRedirect && w.transientFor == 0 &&
                 w.title.find(kGameName) != std::string::npos;
        });
        if (!window) return false;
        const Rect frame = x_->frameOf(window->id);
        seen = "window " + ToString(window->area) + (window->viewable ? " shown" : " not shown") + " in frame " +
               ToString(frame);
        // Framed by the manager (its frame is a window of its own round the
        // game's), shown, and covering the screen.
        return window->viewable && frame != window->area && frame == x_->screen();
      });
      EXPECT_TRUE(full) << seen;
      game->stop();
      // The next start meets a screen with no manager.
      manager->stop();
      if (!full) break;
    }
  }
}

// The game as a Wayland client of weston: full in weston's output from the
// start, a move played, Qt's own title bar's restore and minimize buttons
// undone with the game unchanged, and its close button ending the game with
// status 0.
class Wayland : public Desktop {
 protected:
  // weston's desktop shell runs without its panel (run_e2e.sh).
  static constexpr int kPanelHeight = 0;
  // Qt's title bar on Wayland: 30 pixels high above a 3-pixel border, its
  // buttons 18 pixels wide, 5 apart, the last 8 from the right edge.
  static constexpr int kTitleHeight = 30;
  static constexpr int kButtonWidth = 18;
  static constexpr int kButtonSpacing = 5;
  static constexpr int kButtonsRightMargin = 8;

  void StartInCompositor() {
    game_ = std::make_unique<GameDriver>(*x_, program_, seed_, logDir_ + "/weston-" + TestName() + ".log");
    ASSERT_TRUE(game_->start()) << "could not start " << program_;
    const std::string pidFile = Env("QUADRILEX_E2E_PIDFILE");
    if (!pidFile.empty()) std::ofstream(pidFile, std::ios::app) << game_->process().pid() << "\n";
    const auto output = x_->findWindow([](const WindowInfo& w) {
      return w.viewable && w.title.find("Weston") != std::string::npos && w.area.w > 200;
    });
    ASSERT_TRUE(output) << "no window of weston's output on the X display";
    output_ = output->area;
    game_->useWindow(*output);
    // The compositor takes the pointer when it enters its window (the X
    // screen is larger than weston's output), and learns where it is from its
    // motion. It rests in a corner of the game's ground, where the pointer the
    // compositor draws hides nothing that is read.
    x_->movePointer(x_->screen().right() - 5, x_->screen().bottom() - 5);
    x_->movePointer(output_.right() - 20, output_.bottom() - 20);
    x_->setPressDelay(40);
  }

  // The button `fromRight` places from the right of the title bar (0 close, 1
  // maximize or restore, 2 minimize).
  Point TitleButton(int fromRight) const {
    const int right = output_.right();
    return Point{right - kButtonsRightMargin - kButtonWidth * (fromRight + 1) - kButtonSpacing * fromRight +
                     kButtonWidth / 2,
                 output_.y + kPanelHeight + kTitleHeight / 2};
  }

  // The view fills the output across, but for Qt's borders, and reaches down
  // to its bottom, but for the lower border.
  bool ViewFillsTheOutput() const {
    const Rect& view = game_->view();
    return view.x - output_.x <= 4 && output_.right() - view.right() <= 4 && output_.bottom() - view.bottom() <= 4;
  }

  Rect output_;
};

TEST_F(Wayland, FillsTheOutputPlaysAMoveSurvivesItsTitleBarAndClosesWithStatusZero) {
  ASSERT_NO_FATAL_FAILURE(StartInCompositor());
  ASSERT_TRUE(game_->locateView(20s)) << "no grey view in weston's output at " << ToString(output_);
  ASSERT_TRUE(game_->waitForBoard(30s)) << "no board in " << ToString(game_->view()) << [&] {
    const Image shot = x_->capture(output_);
    const auto board = FindBoard(shot);
    if (!board) return std::string(": no master's frame");
    std::string frames;
    for (int k = 0; k < kBlockCount; ++k) frames += std::string(" ") + ToString(ReadFrame(shot, *board, k));
    return ": read " + Join(ReadBoard(shot, *board)) + " at " + ToString(board->area()) + ", frames" + frames;
  }();
  EXPECT_TRUE(ViewFillsTheOutput()) << "view " << ToString(game_->view()) << " in output " << ToString(output_);
  const Rect fullView = game_->view();

  // A move that neither matches nor collides.
  const std::vector<Code> dealt = game_->codes();
  int zone = 0;
  for (int z = 1; z <= 8 && zone == 0; ++z) {
    const Code next = ApplyZone(dealt[1], z);
    if (std::find(dealt.begin(), dealt.end(), next) == dealt.end()) zone = z;
  }
  ASSERT_NE(zone, 0);
  ASSERT_TRUE(game_->move(1, zone)) << "the move on block 1 did not show";
  const std::vector<Code> played = game_->readBoard();

  for (const int button : {1, 2}) {
    const std::string what = button == 1 ? "the restore button" : "the minimize button";
    const Point at = TitleButton(button);
    x_->click(at.x, at.y);
    // The window is shown anew, maximized, with the game as it was.
    EXPECT_TRUE(WaitFor(3s, [&] {
      return game_->locateView(Millis(0)) && game_->view().w == fullView.w && game_->view().h == fullView.h &&
             game_->readBoard() == played;
    })) << "after " << what << ": view " << ToString(game_->view()) << ", board " << Join(game_->readBoard());
    EXPECT_TRUE(game_->process().running()) << "after " << what;
  }

  const Point close = TitleButton(0);
  x_->click(close.x, close.y);
  const auto status = game_->process().waitExit(10s);
  ASSERT_TRUE(status) << "the game is still running after its close button";
  EXPECT_TRUE(status->exited && status->code == 0) << ToString(*status);
}

}  // namespace
}  // namespace e2e
