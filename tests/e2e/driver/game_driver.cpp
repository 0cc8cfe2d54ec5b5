#include "tests/e2e/driver/game_driver.h"

#include <X11/keysym.h>

#include <algorithm>
#include <iostream>
#include <set>
#include <thread>
#include <utility>

namespace e2e {

bool WaitFor(Millis timeout, const std::function<bool()>& condition, Millis poll) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(poll);
  }
}

GameDriver::GameDriver(XSession& x, std::string program, unsigned seed, std::string logPath)
    : x_(x), program_(std::move(program)), seed_(seed), logPath_(std::move(logPath)) {}

bool GameDriver::start() {
  process_ = std::make_unique<GameProcess>(program_, std::vector<std::string>{"--seed", std::to_string(seed_)}, logPath_);
  return process_->started();
}

bool GameDriver::waitForWindow(Millis timeout) {
  const long pid = process_ ? static_cast<long>(process_->pid()) : -1;
  return WaitFor(timeout, [&] {
    if (process_ && !process_->running()) return false;
    const auto w = x_.findWindow([&](const WindowInfo& info) {
      return info.pid == pid && info.viewable && !info.overrideRedirect && info.transientFor == 0 &&
             info.title.find(kGameName) != std::string::npos;
    });
    if (!w) return false;
    window_ = *w;
    areaSince_ = std::chrono::steady_clock::now();
    return true;
  });
}

std::optional<WindowInfo> GameDriver::refreshWindow() {
  auto w = x_.describe(window_.id);
  if (w) {
    if (w->area != window_.area) areaSince_ = std::chrono::steady_clock::now();
    window_ = *w;
  }
  return w;
}

std::vector<WindowInfo> GameDriver::otherWindows() {
  std::vector<WindowInfo> out;
  const long pid = process_ ? static_cast<long>(process_->pid()) : -1;
  for (const WindowInfo& w : x_.windows())
    if (w.pid == pid && w.viewable && w.id != window_.id && w.area.w > 1 && w.area.h > 1) out.push_back(w);
  return out;
}

bool GameDriver::locateView(Millis timeout) {
  return WaitFor(timeout, [&] {
    refreshWindow();
    // A manager frames a new window in steps (openbox first shows it at the
    // size it asked for, then fits it and its caption to the screen), and the
    // game lays itself out only once its frame has settled: so does the
    // reading of where its view is.
    if (std::chrono::steady_clock::now() - areaSince_ < kWindowSettles) return false;
    const Image shot = x_.capture(window_.area);
    const auto view = FindView(shot, window_.area);
    if (!view) return false;
    view_ = *view;
    return true;
  });
}

bool GameDriver::waitForOpeningLines(Millis timeout, std::vector<LineScore>* last) {
  return WaitFor(
      timeout,
      [&] {
        const auto scores = ScoreOpeningLines(shotView(), view_);
        if (last) *last = scores;
        return OpeningLinesShown(scores);
      },
      Millis(50));
}

bool GameDriver::waitForBoard(Millis timeout, const std::vector<Code>& unlike) {
  return waitFor(
      timeout,
      [&] {
        if (process_ && !process_->running()) return false;
        const Image shot = x_.capture(window_.area);
        const auto board = FindBoard(shot);
        if (!board) return false;
        const std::vector<Code> codes = ReadBoard(shot, *board);
        if (!unlike.empty() && codes == unlike) return false;
        std::set<Code> distinct;
        for (const Code& c : codes) {
          if (!IsArrangement(c)) return false;
          distinct.insert(c);
        }
        if (distinct.size() != kBlockCount) return false;
        for (int k = 1; k < kBlockCount; ++k)
          if (ReadFrame(shot, *board, k) != Frame::none) return false;
        board_ = *board;
        codes_ = codes;
        frames_.assign(kBlockCount, Frame::none);
        frames_[0] = Frame::red;
        return true;
      },
      Millis(40));
}

std::vector<Code> GameDriver::readBoard() {
  const Image shot = shotBoard();
  codes_ = ReadBoard(shot, board_);
  frames_.clear();
  for (int k = 0; k < kBlockCount; ++k) frames_.push_back(ReadFrame(shot, board_, k));
  return codes_;
}

void GameDriver::clickBlock(int k, int dx, int dy) {
  const Point p = board_.point(k, dx, dy);
  x_.click(p.x, p.y);
}

void GameDriver::clickZone(int k, int zone) {
  const Point p = ZoneClickPoint(zone);
  clickBlock(k, p.x, p.y);
}

bool GameDriver::move(int k, int zone, Millis timeout) {
  const Code expected = ApplyZone(codes_[static_cast<std::size_t>(k)], zone);
  const bool matches = expected == codes_[0];
  clickZone(k, zone);
  const bool done = waitFor(timeout, [&] {
    const Image shot = shotBoard();
    if (ReadBlock(shot, board_, k) != expected) return false;
    return !matches || ReadFrame(shot, board_, k) == Frame::green;
  });
  readBoard();
  return done;
}

std::vector<bool> GameDriver::inPlay() const {
  std::vector<bool> play(kBlockCount, false);
  for (int k = 1; k < kBlockCount && k < static_cast<int>(codes_.size()); ++k) {
    const Code& c = codes_[static_cast<std::size_t>(k)];
    play[static_cast<std::size_t>(k)] = c != kLostCode && c != codes_[0];
  }
  return play;
}

bool GameDriver::matchAll(std::string* why) {
  const auto plan = PlanMatchAll(codes_, inPlay());
  if (!plan) {
    if (why) *why = "no collision-free way to match every block";
    return false;
  }
  for (const PlannedClick& click : *plan) {
    const Code before = codes_[static_cast<std::size_t>(click.block)];
    if (!move(click.block, click.zone)) {
      if (why) {
        *why = "zone " + std::to_string(click.zone) + " of block " + std::to_string(click.block) + " (" + before +
               ") should give " + ApplyZone(before, click.zone) + ", the block shows " +
               codes_[static_cast<std::size_t>(click.block)] + " framed " +
               ToString(frames_[static_cast<std::size_t>(click.block)]);
      }
      return false;
    }
  }
  return true;
}

bool GameDriver::focusGame(Millis timeout) {
  // A click the window manager has not yet passed on focuses nothing: the
  // player clicks again until the focus is there.
  const auto giveUp = std::chrono::steady_clock::now() + timeout;
  do {
    clickBlock(0, 30, 80);
    if (WaitFor(Millis(500), [&] { return x_.isWithin(x_.inputFocus(), window_.id); }, Millis(20))) return true;
  } while (std::chrono::steady_clock::now() < giveUp);
  return false;
}

int GameDriver::closeNotices() {
  int closed = 0;
  for (const WindowInfo& w : otherWindows()) {
    if (w.overrideRedirect || w.title != kGameName) continue;
    std::cout << "[  notice  ] closing a message box of the game at " << ToString(w.area) << std::endl;
    x_.click(w.area.x + 6, w.area.bottom() - 6);
    WaitFor(Millis(3000), [&] { return x_.isWithin(x_.inputFocus(), w.id); }, Millis(20));
    x_.tapKey(XK_Return);
    WaitFor(Millis(3000), [&] {
      const auto now = x_.describe(w.id);
      return !now || !now->viewable;
    });
    ++closed;
  }
  noticesClosed_ += closed;
  return closed;
}

bool GameDriver::waitFor(Millis timeout, const std::function<bool()>& condition, Millis poll) {
  auto nextLook = std::chrono::steady_clock::now() + Millis(250);
  return WaitFor(timeout, [&] {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= nextLook) {
      closeNotices();
      nextLook = std::chrono::steady_clock::now() + Millis(250);
    }
    return false;
  }, poll);
}

}  // namespace e2e
