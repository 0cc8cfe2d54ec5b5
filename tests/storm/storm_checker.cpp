#include "tests/storm/storm_checker.h"

#include <algorithm>
#include <cstdint>
#include <sstream>

#include "tests/support/clock_text.h"
#include "tests/support/rules_model.h"
#include "tests/support/test_host.h"
#include "view/quadrilexd_view.h"

// The referee judges the game by the tests' own model of its rules; from the
// game it takes only the shape of the board (its counts and block states).
using namespace quadrilex;
namespace rules = rules_model;

namespace storm {

namespace {

constexpr int kLastGame = 4;
constexpr long kGameLength = 105;
constexpr int kBlockSide = 160;
constexpr int kBlockStep = 180;

// 105 whole seconds or more since the clock started.
bool TimeIsUp(std::time_t now, std::time_t start) { return now - start >= kGameLength; }

template <typename... Parts>
std::string Say(const Parts&... parts) {
  std::ostringstream out;
  (out << ... << parts);
  return out.str();
}

const char* StateName(int state) {
  switch (state) {
    case kStateNormal:
      return "normal";
    case kStateLost:
      return "lost";
    case kStateMatched:
      return "matched";
    default:
      return "invalid";
  }
}

}  // namespace

StormSnapshot TakeSnapshot(const CQuadrilexdView& view, const CTestHost& host) {
  StormSnapshot s;
  std::copy_n(view.Arrangements(), kBlockCount, s.arrangement);
  std::copy_n(view.BlockStates(), kBlockCount, s.blockState);
  std::copy_n(view.ClickCounts(), kBlockCount, s.clickCount);
  std::copy_n(view.GameScores(), 5, s.gameScore);
  std::copy_n(view.BlockRects(), kBlockCount, s.blockRect);
  s.newSetBox = view.NewSetBox();
  s.clickCost = view.ClickCost();
  s.matchPoints = view.MatchPoints();
  s.matchCount = view.MatchCount();
  s.bonusIndex = view.BonusIndex();
  s.game = view.Game();
  s.boardDone = view.BoardDone();
  s.resting = view.Resting();
  s.timeUp = view.TimeUp();
  s.clockRunning = view.ClockRunning();
  s.firstPaintDone = view.FirstPaintDone();
  s.secondsLeft = view.SecondsLeft();
  s.startTime = view.StartTime().GetTime();
  s.timeLeftText = view.TimeLeftText();
  s.tickTimerRunning = host.TimerRunning(1);
  s.restTimerRunning = host.TimerRunning(2);
  s.now = const_cast<CTestHost&>(host).CurrentTime();
  const RECT client = host.ClientRect();
  s.clientWidth = client.right;
  s.clientHeight = client.bottom;
  return s;
}

std::array<int, kBlockCount> DealFromSequence(const std::vector<int>& sequence) {
  std::vector<int> pool;
  for (int i = 0; i < kArrangementCount; ++i) pool.push_back(i);
  std::array<int, kBlockCount> deal{};
  for (int k = 0; k < kBlockCount; ++k) {
    const int value = sequence.empty() ? 0 : sequence[k % sequence.size()];
    const int r = value % (kArrangementCount - k);
    deal[k] = pool[r];
    pool.erase(pool.begin() + r);
  }
  return deal;
}

StormChecker::StormChecker() = default;

void StormChecker::ExpectNextDeal(const std::array<int, kBlockCount>& arrangement) {
  m_expectedDeal = arrangement;
  m_hasExpectedDeal = true;
}

void StormChecker::Violation(const std::string& what) { m_violations.push_back(what); }

rules_model::Tally StormChecker::TallyOf(const StormSnapshot& s) const {
  return rules::TallyOf(s.blockState, s.clickCount);
}

int StormChecker::ExpectedNet(const StormSnapshot& s) const {
  const rules::Tally t = TallyOf(s);
  const int matchCount = m_clicked ? t.matchCount : 0;
  const bool withBonus = m_panel == Panel::kWithBonus && m_panelSecondsLeft > 0;
  const int bonus = rules::Bonus(withBonus, matchCount, static_cast<int>(m_panelSecondsLeft - 1));
  return rules::NetScore(t.matchPoints, t.clickCost, bonus);
}

void StormChecker::SetPanel(long secondsLeft) {
  m_panel = secondsLeft > 0 ? Panel::kWithBonus : Panel::kNoBonus;
  m_panelSecondsLeft = secondsLeft;
}

// ---- checks that hold after any event ----

void StormChecker::CheckBoard(const StormSnapshot& s) {
  if (s.blockState[kMasterBlock] != kStateMatched)
    Violation(Say("the master is ", StateName(s.blockState[kMasterBlock]), ", not matched"));
  if (s.clickCount[kMasterBlock] != 0) Violation(Say("the master counts ", s.clickCount[kMasterBlock], " clicks"));
  for (int b = 0; b < kBlockCount; ++b) {
    if (s.blockState[b] < kStateNormal || s.blockState[b] > kStateMatched)
      Violation(Say("block ", b, " has the state code ", s.blockState[b]));
    if (s.arrangement[b] < 0 || s.arrangement[b] >= kArrangementCount)
      Violation(Say("block ", b, " holds arrangement index ", s.arrangement[b]));
    if (s.clickCount[b] < 0 || s.clickCount[b] > kMaxClickCount)
      Violation(Say("block ", b, " counts ", s.clickCount[b], " clicks"));
  }
  const int master = s.arrangement[kMasterBlock];
  for (int b = 1; b < kBlockCount; ++b) {
    if (s.blockState[b] == kStateMatched && s.arrangement[b] != master)
      Violation(Say("matched block ", b, " holds arrangement ", s.arrangement[b], ", the master ", master));
    if (s.blockState[b] != kStateNormal) continue;
    if (s.arrangement[b] == master) Violation(Say("normal block ", b, " holds the master's arrangement ", master));
    for (int c = b + 1; c < kBlockCount; ++c) {
      if (s.blockState[c] == kStateNormal && s.arrangement[c] == s.arrangement[b])
        Violation(Say("normal blocks ", b, " and ", c, " both hold arrangement ", s.arrangement[b]));
    }
  }
}

void StormChecker::CheckSteadyState(const StormSnapshot& s) {
  CheckBoard(s);
  if (!s.firstPaintDone) Violation("the first paint of the set is not marked done");
  if (m_dealt && s.arrangement[kMasterBlock] != m_master)
    Violation(Say("the master's arrangement changed from ", m_master, " to ", s.arrangement[kMasterBlock],
                  " during game ", m_game + 1));

  // The scores follow from the board.
  const rules::Tally t = TallyOf(s);
  if (s.clickCost != t.clickCost)
    Violation(Say("Click Cost is ", s.clickCost, "; the board's click counters make ", t.clickCost));
  if (s.matchPoints != t.matchPoints)
    Violation(Say("Match Score is ", s.matchPoints, "; the board's matched blocks make ", t.matchPoints));
  const int expectedCount = m_clicked ? t.matchCount : 0;
  if (s.matchCount != expectedCount) Violation(Say("the match count is ", s.matchCount, ", expected ", expectedCount));
  const bool expectedDone = m_clicked && t.boardDone;
  if (s.boardDone != expectedDone)
    Violation(
        Say("the board is ", s.boardDone ? "" : "not ", "marked done, expected ", expectedDone ? "" : "not ", "done"));

  // The net score recorded for the current game is the one the panel drew.
  if (s.game >= 0 && s.game <= kLastGame) {
    if (m_panel == Panel::kUnknown) {
      const int plain = rules::NetScore(s.matchPoints, s.clickCost, 0);
      const int withBonus = rules::NetScore(s.matchPoints, s.clickCost, rules::Bonus(true, s.matchCount, s.bonusIndex));
      if (s.gameScore[s.game] != plain && s.gameScore[s.game] != withBonus)
        Violation(Say("game ", s.game + 1, " records the net score ", s.gameScore[s.game], ", not ", plain, " or ",
                      withBonus));
    } else {
      const int expected = ExpectedNet(s);
      if (s.gameScore[s.game] != expected)
        Violation(
            Say("game ", s.game + 1, " records the net score ", s.gameScore[s.game], "; the panel drew ", expected));
      if (m_panel == Panel::kWithBonus && s.bonusIndex != m_panelSecondsLeft - 1)
        Violation(Say("the bonus index is ", s.bonusIndex, " with ", m_panelSecondsLeft, " seconds left"));
    }
  } else {
    Violation(Say("the game index is ", s.game));
  }

  // The phase.
  if (m_dealt) {
    if (s.game != m_game) Violation(Say("the view is at game ", s.game + 1, ", expected game ", m_game + 1));
    if (s.resting != m_resting)
      Violation(
          Say("the view is ", s.resting ? "resting" : "playing", "; expected it ", m_resting ? "resting" : "playing"));
    if (s.timeUp != m_timeUp) Violation(Say("the time-up flag is ", s.timeUp, ", expected ", m_timeUp));
    if (s.startTime != m_start)
      Violation(Say("the clock of game ", m_game + 1, " started at ", s.startTime, ", expected ", m_start));
  }
  if (s.resting) {
    if (s.tickTimerRunning) Violation("timer 1 runs while resting");
    if (s.clockRunning) Violation("the clock is marked running while resting");
    if (!s.restTimerRunning && !(s.game == kLastGame && m_recapDrawn))
      Violation(Say("resting after game ", s.game + 1, " with no rest timer"));
    if (s.restTimerRunning && m_recapDrawn) Violation("the rest timer runs after the recap");
  } else {
    if (!s.tickTimerRunning) Violation("timer 1 is stopped during play");
    if (!s.clockRunning) Violation("the clock is marked stopped during play");
    if (s.restTimerRunning && !m_strayRestTimer) Violation("timer 2 runs during play");
    if (!s.restTimerRunning && m_strayRestTimer)
      Violation("the rest timer left running by an early new set has stopped during play");
  }
}

void StormChecker::CheckLayout(const StormSnapshot& s) {
  // The 700 by 520 board centred across, one pixel below the middle.
  const int left = (s.clientWidth - 3 * kBlockStep - kBlockSide) / 2;
  const int top = (s.clientHeight - 2 * kBlockStep - kBlockSide) / 2 + 1;
  for (int b = 0; b < kBlockCount; ++b) {
    const RECT expected =
        MakeRect(left + kBlockStep * BlockColumn(b), top + kBlockStep * BlockRow(b),
                 left + kBlockStep * BlockColumn(b) + kBlockSide, top + kBlockStep * BlockRow(b) + kBlockSide);
    if (s.blockRect[b] != expected) {
      Violation(Say("block ", b, " is laid out at (", s.blockRect[b].left, ", ", s.blockRect[b].top, ") in a ",
                    s.clientWidth, " by ", s.clientHeight, " client area, expected (", expected.left, ", ",
                    expected.top, ")"));
      return;
    }
  }
}

void StormChecker::CheckUnchanged(const StormSnapshot& before, const StormSnapshot& after, const char* event) {
  for (int b = 0; b < kBlockCount; ++b) {
    if (before.arrangement[b] != after.arrangement[b] || before.blockState[b] != after.blockState[b] ||
        before.clickCount[b] != after.clickCount[b]) {
      Violation(Say(event, " changed block ", b));
      return;
    }
  }
  for (int g = 0; g < 5; ++g) {
    if (before.gameScore[g] != after.gameScore[g]) Violation(Say(event, " changed the score of game ", g + 1));
  }
  if (before.clickCost != after.clickCost || before.matchPoints != after.matchPoints ||
      before.matchCount != after.matchCount || before.boardDone != after.boardDone)
    Violation(Say(event, " changed the scores"));
}

// ---- the start and the end of a game ----

void StormChecker::CheckFreshDeal(const StormSnapshot& s, const char* event) {
  for (int b = 0; b < kBlockCount; ++b) {
    const int state = b == kMasterBlock ? kStateMatched : kStateNormal;
    if (s.blockState[b] != state || s.clickCount[b] != 0) {
      Violation(Say("after the deal of ", event, " block ", b, " is ", StateName(s.blockState[b]), " with ",
                    s.clickCount[b], " clicks"));
      break;
    }
  }
  for (int b = 0; b < kBlockCount; ++b)
    for (int c = b + 1; c < kBlockCount; ++c)
      if (s.arrangement[b] == s.arrangement[c])
        Violation(Say("the deal of ", event, " gives blocks ", b, " and ", c, " arrangement ", s.arrangement[b]));
  if (m_hasExpectedDeal) {
    for (int b = 0; b < kBlockCount; ++b) {
      if (s.arrangement[b] != m_expectedDeal[b]) {
        Violation(Say("the deal of ", event, " gives block ", b, " arrangement ", s.arrangement[b],
                      "; its generator values give ", m_expectedDeal[b]));
        break;
      }
    }
    m_hasExpectedDeal = false;
  }
}

void StormChecker::StartGame(const StormSnapshot& after, int game, const char* event) {
  CheckFreshDeal(after, event);
  m_dealt = true;
  m_game = game;
  m_master = after.arrangement[kMasterBlock];
  // Any sounds of the start have played by the time the clock starts, and
  // nothing moves the clock after it within the event.
  m_start = after.now;
  m_resting = false;
  m_timeUp = false;
  m_clicked = false;
  m_recapDrawn = false;
  m_strayRestTimer = false;
  m_frozenLeft = 0;
}

void StormChecker::EndGame(const StormSnapshot& end, End how, long secondsLeft) {
  const rules::Tally t = TallyOf(end);
  switch (how) {
    case End::kClickDone:
      SetPanel(secondsLeft);
      ++m_tally.endedByClickDone;
      break;
    case End::kClickTimeOut:
      SetPanel(0);
      ++m_tally.endedByClickTimeOut;
      break;
    case End::kPaint:
      SetPanel(0);
      ++m_tally.endedByPaint;
      break;
    case End::kTick:
      // The tick leaves the panel as it was.
      ++m_tally.endedByTick;
      break;
  }
  m_final[m_game] = ExpectedNet(end);
  m_finalKnown[m_game] = true;
  if (m_clicked && t.matchCount == kBlockCount && m_panel == Panel::kWithBonus) ++m_tally.endedWithBonus;
  for (int b = 1; b < kBlockCount; ++b) {
    if (end.blockState[b] == kStateLost) {
      ++m_tally.endedWithLoss;
      break;
    }
  }
  m_resting = true;
  m_timeUp = secondsLeft <= 0;
  m_frozenLeft = secondsLeft;
  m_strayRestTimer = false;  // the end of a game starts the rest timer afresh
  ++m_tally.gamesEnded;
}

void StormChecker::RestingBranch(int game, const StormSnapshot& after, const char* event) {
  if (game < kLastGame) {
    StartGame(after, game + 1, event);
    SetPanel(0);
    if (after.bonusIndex != 0) Violation(Say("game ", game + 2, " starts with the bonus index ", after.bonusIndex));
    return;
  }
  m_recapDrawn = true;
  ++m_tally.recaps;
  CheckRecap(after);
}

void StormChecker::CheckRecap(const StormSnapshot& s) {
  bool allKnown = true;
  for (int g = 0; g < 5; ++g) {
    if (!m_finalKnown[g]) {
      allKnown = false;
      continue;
    }
    if (s.gameScore[g] != m_final[g])
      Violation(Say("the recap reads ", s.gameScore[g], " for game ", g + 1, ", which ended with ", m_final[g]));
  }
  if (!m_recapProbe) return;
  const int(&scores)[5] = allKnown ? m_final : s.gameScore;
  const int average = rules::Average(scores);
  if (!m_recapProbe(scores, average)) {
    Violation(Say("the recap on the screen does not show ", scores[0], ", ", scores[1], ", ", scores[2], ", ",
                  scores[3], ", ", scores[4], " and the average ", average));
  }
}

// ---- events ----

void StormChecker::AfterFirstPaint(const StormSnapshot& after) {
  StartGame(after, 0, "the first paint");
  for (bool& known : m_finalKnown) known = false;
  // The paint's clock step shows the full 105 seconds and draws the panel
  // with the Bonus allowed.
  SetPanel(kGameLength);
  if (after.timeLeftText != "01:45") Violation(Say("the clock shows ", after.timeLeftText, " after the first paint"));
  CheckLayout(after);
  CheckSteadyState(after);
}

void StormChecker::AfterClick(const StormSnapshot& before, CPoint point, const StormSnapshot& after) {
  const std::string where = Say("a click at (", point.x, ", ", point.y, ")");
  if (m_resting) {
    const RECT& box = before.newSetBox;
    const bool inBox = box.left <= point.x && point.x <= box.right && box.top <= point.y && point.y <= box.bottom;
    if (inBox && m_game == kLastGame) {
      const bool early = !m_recapDrawn;
      StartGame(after, 0, "a new set");
      for (bool& known : m_finalKnown) known = false;
      SetPanel(kGameLength);
      // The rest timer is not killed by the new set: it goes on firing as a tick.
      m_strayRestTimer = early;
      ++m_tally.newSets;
      if (early) ++m_tally.newSetsBeforeRecap;
      if (after.timeLeftText != "01:45")
        Violation(Say("the clock shows ", after.timeLeftText, " at the start of a new set"));
      CheckLayout(after);
    } else {
      ++m_tally.ignoredClicks;
      CheckUnchanged(before, after, (where + " while resting").c_str());
    }
    CheckSteadyState(after);
    return;
  }

  int block = -1;
  for (int b = 0; b < kBlockCount && block < 0; ++b) {
    const RECT& r = before.blockRect[b];
    if (rules::InBlock(r.left, r.top, r.right, r.bottom, point.x, point.y)) block = b;
  }
  if (block < 0 || block == kMasterBlock || before.blockState[block] == kStateLost) {
    ++m_tally.ignoredClicks;
    CheckUnchanged(before, after, (where + " off the live blocks").c_str());
    if (after.timeLeftText != before.timeLeftText) Violation(where + " off the live blocks redrew the clock");
    CheckSteadyState(after);
    return;
  }

  // What the click must do to the board.
  int arrangement[kBlockCount];
  int state[kBlockCount];
  int count[kBlockCount];
  std::copy_n(before.arrangement, kBlockCount, arrangement);
  std::copy_n(before.blockState, kBlockCount, state);
  std::copy_n(before.clickCount, kBlockCount, count);
  const int zone = rules::ZoneAt(point.x - before.blockRect[block].left, point.y - before.blockRect[block].top);
  if (zone > 0) {
    arrangement[block] = rules::ApplyZone(before.arrangement[block], zone);
    count[block] = std::min(count[block] + 1, rules::kMostClicksCounted);
    if (arrangement[block] == arrangement[kMasterBlock]) {
      state[block] = kStateMatched;
      ++m_tally.matches;
    } else {
      state[block] = kStateNormal;
      for (int other = 1; other < kBlockCount; ++other) {
        if (other == block || state[other] == kStateLost || arrangement[other] != arrangement[block]) continue;
        state[block] = kStateLost;
        state[other] = kStateLost;
        ++m_tally.collisions;
        break;
      }
    }
  } else {
    state[block] = kStateLost;
    ++m_tally.offArrowLosses;
  }
  const std::string what = zone > 0 ? Say(where, " on arrow zone ", zone, " of block ", block)
                                     : Say(where, " off the arrows of block ", block);
  for (int b = 0; b < kBlockCount; ++b) {
    if (after.arrangement[b] != arrangement[b] || after.blockState[b] != state[b] || after.clickCount[b] != count[b]) {
      Violation(Say(what, " leaves block ", b, " ", StateName(after.blockState[b]), " with arrangement ",
                    after.arrangement[b], " and ", after.clickCount[b], " clicks; expected ", StateName(state[b]),
                    " with arrangement ", arrangement[b], " and ", count[b], " clicks"));
      break;
    }
  }

  m_clicked = true;
  StormSnapshot end = after;
  std::copy_n(state, kBlockCount, end.blockState);
  std::copy_n(count, kBlockCount, end.clickCount);
  const rules::Tally t = TallyOf(end);
  if (t.boardDone) {
    const bool up = TimeIsUp(after.now, m_start);
    const long left = up ? 0 : m_start + kGameLength - after.now;
    EndGame(end, End::kClickDone, left);
    if (after.secondsLeft != left || after.timeLeftText != test_support::FormatClock(left))
      Violation(Say(what, " finished the board with ", left, " seconds left; the clock shows ", after.timeLeftText));
  } else if (TimeIsUp(after.now, m_start)) {
    EndGame(end, End::kClickTimeOut, 0);
    if (after.timeLeftText != "00:00")
      Violation(Say(what, " came after the time ran out; the clock shows ", after.timeLeftText));
  } else {
    SetPanel(0);
    if (after.timeLeftText != before.timeLeftText) Violation(what + " redrew the clock");
  }
  CheckSteadyState(after);
}

void StormChecker::AfterTimer(UINT id, const StormSnapshot& before, const StormSnapshot& after) {
  const std::string event = Say("timer ", id);
  if (m_resting) {
    if (id != 2) Violation(Say("timer ", id, " fired while resting"));
    if (after.timeLeftText != before.timeLeftText)
      Violation(Say(event, " at the end of a rest changed the clock text to ", after.timeLeftText));
    if (m_game == kLastGame) CheckUnchanged(before, after, event.c_str());
    RestingBranch(m_game, after, event.c_str());
    CheckSteadyState(after);
    return;
  }

  // A tick: the rest timer left running by an early new set acts as one too.
  if (id == 2) ++m_tally.strayRestTicks;
  CheckUnchanged(before, after, event.c_str());
  if (TimeIsUp(after.now, m_start)) {
    EndGame(after, End::kTick, 0);
    if (after.secondsLeft != 0 || after.timeLeftText != "00:00")
      Violation(Say(event, " found the time up; the clock shows ", after.timeLeftText));
  } else {
    const long left = m_start + kGameLength - after.now;
    if (after.secondsLeft != left || after.timeLeftText != test_support::FormatClock(left))
      Violation(Say(event, " with ", left, " seconds left shows ", after.timeLeftText));
  }
  CheckSteadyState(after);
}

void StormChecker::AfterPaint(const StormSnapshot& before, const StormSnapshot& after) {
  CheckLayout(after);
  const int game = m_game;
  long left = 0;
  if (!m_resting) {
    if (TimeIsUp(after.now, m_start)) {
      // Noticed by the paint: the game ends without a sound, and since the
      // view now rests, the same paint goes on to the next game or the recap.
      EndGame(before, End::kPaint, 0);
      left = 0;
    } else {
      left = m_start + kGameLength - after.now;
      SetPanel(left);
      CheckUnchanged(before, after, "a paint during play");
      if (after.secondsLeft != left || after.timeLeftText != test_support::FormatClock(left))
        Violation(Say("a paint with ", left, " seconds left shows ", after.timeLeftText));
      CheckSteadyState(after);
      return;
    }
  } else {
    // The clock stays frozen at the end of the game, and the panel draws the
    // game's final score once more.
    left = m_timeUp ? 0 : m_frozenLeft;
    SetPanel(left);
  }
  if (m_finalKnown[game] && after.gameScore[game] != m_final[game])
    Violation(Say("a paint after game ", game + 1, " records ", after.gameScore[game], "; the game ended with ",
                  m_final[game]));
  if (after.timeLeftText != test_support::FormatClock(left))
    Violation(Say("a paint after game ", game + 1, " shows the clock ", after.timeLeftText, ", expected ",
                  test_support::FormatClock(left)));
  RestingBranch(game, after, "a paint");
  CheckSteadyState(after);
}

void StormChecker::AfterDisturbedEvent(const StormSnapshot& before, const StormSnapshot& after) {
  ++m_tally.disturbedEvents;
  // Games that ended inside the event. Counting the positions playing game g
  // as 2g and resting after it as 2g + 1, a game ends at every odd position
  // passed.
  const int from = before.game * 2 + (before.resting ? 1 : 0);
  const int to = after.game * 2 + (after.resting ? 1 : 0);
  if (to > from) m_tally.gamesEnded += (to + 1) / 2 - (from + 1) / 2;
  if (after.game < before.game) {
    for (bool& known : m_finalKnown) known = false;
  } else {
    for (int g = before.game; g <= after.game; ++g) m_finalKnown[g] = false;
  }
  m_hasExpectedDeal = false;
  m_dealt = true;
  m_game = after.game;
  m_master = after.arrangement[kMasterBlock];
  m_start = after.startTime;
  m_resting = after.resting;
  m_timeUp = after.timeUp;
  m_clicked = after.matchCount != 0;
  m_strayRestTimer = !after.resting && after.restTimerRunning;
  m_recapDrawn = after.resting && !after.restTimerRunning;
  m_frozenLeft = after.secondsLeft;
  m_panel = Panel::kUnknown;
  CheckSteadyState(after);
}

}  // namespace storm
