// The referee of the click storm. After every event it reads what the view
// shows of its state and checks it two ways: the board and the scores must be
// sound in themselves (pairwise different blocks, scores that follow from the
// board, timers that fit the phase), and every event must have done what the
// game's rules say it does from the state before it. The referee keeps its own
// account of the game (the master's arrangement, when the clock started, what
// the panel last drew, each game's final net score) and never takes it from
// the view, except to find its feet again after an event it could not follow.
#pragma once

#include <array>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/scoring.h"
#include "game/win_types.h"
#include "tests/support/rules_model.h"

class CQuadrilexdView;
class CTestHost;

namespace storm {

// What the view and its host show of the game at one moment.
struct StormSnapshot {
  int arrangement[quadrilex::kBlockCount] = {};
  int blockState[quadrilex::kBlockCount] = {};
  int clickCount[quadrilex::kBlockCount] = {};
  int gameScore[5] = {};
  int clickCost = 0;
  int matchPoints = 0;
  int matchCount = 0;
  int bonusIndex = 0;
  int game = 0;
  bool boardDone = false;
  bool resting = false;
  bool timeUp = false;
  bool clockRunning = false;
  bool firstPaintDone = false;
  long secondsLeft = 0;
  std::time_t startTime = 0;
  std::string timeLeftText;
  RECT blockRect[quadrilex::kBlockCount];
  RECT newSetBox;
  bool tickTimerRunning = false;
  bool restTimerRunning = false;
  std::time_t now = 0;  // the host's clock
  int clientWidth = 0;
  int clientHeight = 0;
};

StormSnapshot TakeSnapshot(const CQuadrilexdView& view, const CTestHost& host);

// The deal that a fixed generator sequence gives: draw k takes value k modulo
// the 24 - k entries left in the pool; the first 12 draws go to the blocks.
std::array<int, quadrilex::kBlockCount> DealFromSequence(const std::vector<int>& sequence);

class StormChecker {
 public:
  // Answers whether the screen shows the recap with these five scores (game 1
  // first) and this average.
  using RecapProbe = std::function<bool(const int (&scores)[5], int average)>;

  StormChecker();

  void SetRecapProbe(RecapProbe probe) { m_recapProbe = std::move(probe); }
  // The board the next deal must give; without one the deal is not compared.
  void ExpectNextDeal(const std::array<int, quadrilex::kBlockCount>& arrangement);
  void ForgetNextDeal() { m_hasExpectedDeal = false; }

  // ---- events, each given the state before and after it ----
  // The first paint of a new view.
  void AfterFirstPaint(const StormSnapshot& after);
  void AfterClick(const StormSnapshot& before, CPoint point, const StormSnapshot& after);
  void AfterTimer(UINT id, const StormSnapshot& before, const StormSnapshot& after);
  void AfterPaint(const StormSnapshot& before, const StormSnapshot& after);
  // An event during which timers fired inside it (a message box left open):
  // only what holds after any event is checked, then the account is taken up
  // again from what the view shows.
  void AfterDisturbedEvent(const StormSnapshot& before, const StormSnapshot& after);

  // The checks that hold after any event; the event checks call it themselves.
  void CheckSteadyState(const StormSnapshot& s);
  // The board alone: states, counters, arrangements.
  void CheckBoard(const StormSnapshot& s);

  // ---- what the referee saw ----
  const std::vector<std::string>& Violations() const { return m_violations; }
  void ClearViolations() { m_violations.clear(); }
  // How the games it has seen ended, and other things worth counting.
  struct Tally {
    long gamesEnded = 0;
    long endedByTick = 0;
    long endedByClickDone = 0;
    long endedByClickTimeOut = 0;
    long endedByPaint = 0;
    long endedWithBonus = 0;
    long endedWithLoss = 0;
    long recaps = 0;
    long newSets = 0;
    long newSetsBeforeRecap = 0;
    long strayRestTicks = 0;
    long collisions = 0;
    long offArrowLosses = 0;
    long matches = 0;
    long ignoredClicks = 0;
    long disturbedEvents = 0;
  };
  const Tally& Counts() const { return m_tally; }

 private:
  enum class Panel { kNoBonus, kWithBonus, kUnknown };
  enum class End { kTick, kClickDone, kClickTimeOut, kPaint };

  void Violation(const std::string& what);
  void CheckFreshDeal(const StormSnapshot& s, const char* event);
  void StartGame(const StormSnapshot& after, int game, const char* event);
  // Records the end of the current game; `end` holds the board as the game
  // left it, and secondsLeft the clock frozen at the end (0 on a time-out).
  void EndGame(const StormSnapshot& end, End how, long secondsLeft);
  void CheckRecap(const StormSnapshot& s);
  void CheckUnchanged(const StormSnapshot& before, const StormSnapshot& after, const char* event);
  void CheckLayout(const StormSnapshot& s);
  rules_model::Tally TallyOf(const StormSnapshot& s) const;
  // The net score the panel recorded when it last drew, worked out from the board.
  int ExpectedNet(const StormSnapshot& s) const;
  // What the timer handler does while resting: the next game, or the recap.
  void RestingBranch(int game, const StormSnapshot& after, const char* event);
  void SetPanel(long secondsLeft);

  RecapProbe m_recapProbe;
  bool m_hasExpectedDeal = false;
  std::array<int, quadrilex::kBlockCount> m_expectedDeal{};

  // The account of the game.
  bool m_dealt = false;
  int m_game = 0;
  int m_master = -1;
  std::time_t m_start = 0;
  bool m_resting = false;
  bool m_timeUp = false;
  bool m_clicked = false;         // an accepted click this game: the tally is shown
  bool m_strayRestTimer = false;  // a new set started before the recap leaves the rest timer running
  bool m_recapDrawn = false;
  long m_frozenLeft = 0;            // seconds left when the game ended
  Panel m_panel = Panel::kNoBonus;  // how the panel last drew
  long m_panelSecondsLeft = 0;
  int m_final[5] = {};
  bool m_finalKnown[5] = {};

  Tally m_tally;
  std::vector<std::string> m_violations;
};

}  // namespace storm
