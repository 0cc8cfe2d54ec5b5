// The click storm: thousands of games played at random must keep every
// invariant of the board and the scores; and the referee must see a broken
// invariant, whether a planted fault in a view breaks it during a storm or a
// tampered snapshot is handed to it, so that a quiet storm means something.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/board.h"
#include "game/moves.h"
#include "tests/support/test_host.h"
#include "tests/storm/click_storm.h"
#include "tests/storm/storm_checker.h"
#include "view/quadrilexd_view.h"

namespace {

using storm::RunClickStorm;
using storm::StormChecker;
using storm::StormOptions;
using storm::StormReport;
using storm::StormSnapshot;
using storm::TakeSnapshot;

bool Mentions(const std::vector<std::string>& violations, const std::string& words) {
  return std::any_of(violations.begin(), violations.end(),
                     [&](const std::string& v) { return v.find(words) != std::string::npos; });
}

std::string List(const std::vector<std::string>& violations) {
  std::string all;
  for (const std::string& v : violations) all += "\n  " + v;
  return all.empty() ? " (none)" : all;
}

// ---- the storm ----

TEST(ClickStorm, TwoThousandGamesKeepEveryInvariant) {
  StormOptions options;
  options.games = 2000;
  options.seed = 20240611;
  const StormReport report = RunClickStorm(options);
  EXPECT_GE(report.games, options.games);
  EXPECT_EQ(report.violations, 0) << report.Summary();

  // Every road through a game and every fault was taken, so that the quiet
  // above covers them.
  const StormChecker::Tally& seen = report.outcomes;
  EXPECT_GT(seen.endedByTick, 0);
  EXPECT_GT(seen.endedByClickDone, 0);
  EXPECT_GT(seen.endedWithBonus, 0);
  EXPECT_GT(seen.endedWithLoss, 0);
  EXPECT_GT(seen.endedByClickTimeOut, 0);
  EXPECT_GT(seen.endedByPaint, 0);
  EXPECT_GT(seen.matches, 0);
  EXPECT_GT(seen.collisions, 0);
  EXPECT_GT(seen.offArrowLosses, 0);
  EXPECT_GT(seen.ignoredClicks, 0);
  EXPECT_GT(seen.recaps, 0);
  EXPECT_GT(seen.newSets, 0);
  EXPECT_GT(seen.newSetsBeforeRecap, 0);
  EXPECT_GT(seen.strayRestTicks, 0);
  EXPECT_GT(seen.disturbedEvents, 0);
  EXPECT_GT(report.timerAborts, 0);
  EXPECT_GT(report.sizeAborts, 0);
  EXPECT_GT(report.resizes, report.sizeAborts);
  EXPECT_GT(report.soundNotices, 0);
  EXPECT_GT(report.paints, 0);
}

TEST(ClickStorm, ASeedPlaysTheSameStormAgain) {
  StormOptions options;
  options.games = 12;
  options.seed = 7;
  const StormReport first = RunClickStorm(options);
  const StormReport second = RunClickStorm(options);
  EXPECT_EQ(first.Summary(), second.Summary());
  options.seed = 8;
  EXPECT_NE(RunClickStorm(options).Summary(), first.Summary());
}

// ---- planted faults: views that break one rule each ----

// Handles every click twice.
class DoubleClickView : public CQuadrilexdView {
 public:
  using CQuadrilexdView::CQuadrilexdView;
  void OnLButtonDown(UINT flags, CPoint point) override {
    CQuadrilexdView::OnLButtonDown(flags, point);
    if (!Resting()) CQuadrilexdView::OnLButtonDown(flags, point);
  }
};

// Deals a fresh board at every tick.
class RedealingView : public CQuadrilexdView {
 public:
  using CQuadrilexdView::CQuadrilexdView;
  void OnTimer(UINT id) override {
    CQuadrilexdView::OnTimer(id);
    if (!Resting()) DealBoard();
  }
};

// Loses the rest timer when a tick ends the game.
class ForgetfulRestView : public CQuadrilexdView {
 public:
  using CQuadrilexdView::CQuadrilexdView;
  void OnTimer(UINT id) override {
    const bool wasResting = Resting();
    CQuadrilexdView::OnTimer(id);
    if (!wasResting && Resting()) KillTimer(2);
  }
};

// Counts a click on the master.
class MasterCountingView : public CQuadrilexdView {
 public:
  using CQuadrilexdView::CQuadrilexdView;
  void OnLButtonDown(UINT flags, CPoint point) override {
    CQuadrilexdView::OnLButtonDown(flags, point);
    RECT blocks[quadrilex::kBlockCount];
    std::copy_n(BlockRects(), quadrilex::kBlockCount, blocks);
    if (!Resting() && quadrilex::HitBlock(blocks, point) == quadrilex::kMasterBlock)
      PaintMovedBlock(0, 0, Arrangements()[quadrilex::kMasterBlock]);
  }
};

// Draws the panel again without the Bonus when a click ends the game.
class BonusDroppingView : public CQuadrilexdView {
 public:
  using CQuadrilexdView::CQuadrilexdView;
  void OnLButtonDown(UINT flags, CPoint point) override {
    const bool wasResting = Resting();
    CQuadrilexdView::OnLButtonDown(flags, point);
    if (!wasResting && Resting()) DrawScorePanel(false);
  }
};

// Greys out the bottom of the client area right after the recap is drawn.
class RecapErasingView : public CQuadrilexdView {
 public:
  using CQuadrilexdView::CQuadrilexdView;
  void OnTimer(UINT id) override {
    const bool finalRest = Resting() && Game() == 4;
    CQuadrilexdView::OnTimer(id);
    if (!finalRest) return;
    RECT client;
    GetClientRect(&client);
    client.top = client.bottom - 3 * CharSize().cy;
    CBrush grey;
    grey.CreateSolidBrush(RGB(128, 128, 128));
    CClientDC dc(this);
    dc.FillRect(&client, &grey);
  }
};

template <typename View>
StormOptions PlantedFault() {
  StormOptions options;
  options.games = 200;
  options.seed = 3;
  options.stopAfterViolations = 1;
  options.makeView = [](CViewHost& host) -> std::unique_ptr<CQuadrilexdView> { return std::make_unique<View>(host); };
  return options;
}

template <typename View>
StormReport StormOn() {
  return RunClickStorm(PlantedFault<View>());
}

// The storm on a view with a planted fault finds it, and says so in words.
template <typename View>
void ExpectStormCatches(const char* violation) {
  const StormReport report = StormOn<View>();
  EXPECT_GT(report.violations, 0);
  EXPECT_TRUE(Mentions(report.firstViolations, violation)) << List(report.firstViolations);
}

TEST(ClickStormCatches, AClickHandledTwice) {
  ExpectStormCatches<DoubleClickView>("leaves block");
}

TEST(ClickStormCatches, ABoardDealtAgainDuringTheGame) {
  ExpectStormCatches<RedealingView>("the master's arrangement changed");
}

TEST(ClickStormCatches, ARestWithoutItsTimer) {
  ExpectStormCatches<ForgetfulRestView>("with no rest timer");
}

TEST(ClickStormCatches, AClickCountedOnTheMaster) {
  ExpectStormCatches<MasterCountingView>("the master counts 1 clicks");
}

TEST(ClickStormCatches, ABonusLostFromTheRecordedScore) {
  ExpectStormCatches<BonusDroppingView>("records the net score");
}

TEST(ClickStormCatches, ARecapThatTheScreenDoesNotShow) {
  ExpectStormCatches<RecapErasingView>("the recap on the screen does not show");
}

TEST(ClickStormCatches, AndNamesTheSessionThatReplaysTheFault) {
  const StormReport report = StormOn<DoubleClickView>();
  ASSERT_FALSE(report.firstViolations.empty());
  const std::string& first = report.firstViolations.front();
  ASSERT_EQ(first.rfind("session 0x", 0), 0u) << first;
  StormOptions replay = PlantedFault<DoubleClickView>();
  replay.replaySession = true;
  replay.sessionSeed = std::stoull(first.substr(8, 18), nullptr, 16);
  const StormReport again = RunClickStorm(replay);
  ASSERT_FALSE(again.firstViolations.empty());
  EXPECT_EQ(again.firstViolations.front(), first);
}

// ---- what the storm found ----
//
// The notice that sound cannot be played is a modal box, and timers keep
// firing while it is open. Opened in the middle of a click or a tick, it lets
// the rest timer end the rest and deal the next game before the handler that
// opened it has finished; the handler then goes on with the old game's work
// on the new board. These cases replay what the storm found, step by step.

class NoticeLeftOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    host.SetTime(1000000000);
    host.SetRandomSequence({0});  // block b holds arrangement b; the master "cxst"
    host.Attach(&view);
    view.Paint();
  }

  // The first notice stays open while `whileOpen` runs; later ones are
  // answered at once.
  void LeaveFirstNoticeOpen(std::function<void()> whileOpen) {
    host.SetSoundDevice(false);
    host.WhileMessageBoxOpen([this, whileOpen](const CTestHost::MessageBoxCall&) {
      if (opened) return;
      opened = true;
      whileOpen();
    });
  }

  CPoint ZoneCentre(int block, int zone) const {
    const RECT& b = view.BlockRects()[block];
    const RECT& z = view.ArrowZones()[zone];
    return CPoint(b.left + (z.left + z.right) / 2, b.top + (z.top + z.bottom) / 2);
  }

  CTestHost host{1016, 660};
  CQuadrilexdView view{host};
  bool opened = false;
};

TEST_F(NoticeLeftOpen, OverTheEndOfTheGameLeavesTheNextBoardSound) {
  // Block 6 holds "xcst"; zone 3 swaps its top pair and matches it. The
  // notice of the match sound stays open until the time has run out and the
  // rest is over.
  LeaveFirstNoticeOpen([this] {
    host.AdvanceTime(105);
    host.FireTimer(1);
    host.AdvanceTime(4);
    host.FireTimer(2);
  });
  view.OnLButtonDown(0, ZoneCentre(6, 2));
  ASSERT_TRUE(opened);
  // The rest waits for the notice: the next game is dealt only once the click
  // has finished its work on the old board.
  EXPECT_EQ(view.Game(), 0) << "the next game was dealt under the box";
  EXPECT_TRUE(view.Resting());
  StormChecker checker;
  checker.CheckBoard(TakeSnapshot(view, host));
  EXPECT_TRUE(checker.Violations().empty()) << List(checker.Violations());

  ASSERT_TRUE(host.FireTimer(2));
  EXPECT_EQ(view.Game(), 1);
  checker.CheckBoard(TakeSnapshot(view, host));
  EXPECT_TRUE(checker.Violations().empty()) << List(checker.Violations());
}

TEST_F(NoticeLeftOpen, OverTheEndOfAGameOfAnEarlyNewSetLeavesTheTimersSound) {
  // A whole set, each game left to run out, then a new set started from the
  // final rest: the rest timer goes on firing as a tick.
  for (int game = 0; game < 5; ++game) {
    host.AdvanceTime(105);
    host.FireTimer(1);
    if (game < 4) host.FireTimer(2);
  }
  ASSERT_TRUE(view.Resting());
  const RECT& box = view.NewSetBox();
  view.OnLButtonDown(0, CPoint(box.left + 1, box.top + 1));
  ASSERT_FALSE(view.Resting());
  ASSERT_TRUE(host.TimerRunning(2));

  // The time of game 1 runs out; its notice stays open for two periods of
  // the rest timer.
  LeaveFirstNoticeOpen([this] {
    host.AdvanceTime(4);
    host.FireTimer(2);
    host.AdvanceTime(4);
    host.FireTimer(2);
  });
  host.AdvanceTime(105);
  host.FireTimer(1);
  ASSERT_TRUE(opened);

  if (view.Resting()) {
    EXPECT_FALSE(host.TimerRunning(1)) << "resting in game " << view.Game() + 1 << " with the tick timer running";
    EXPECT_FALSE(view.ClockRunning());
  } else {
    EXPECT_TRUE(host.TimerRunning(1));
    EXPECT_FALSE(host.TimerRunning(2));
  }
}

// ---- the referee on its own, with snapshots of a real view ----

class Referee : public ::testing::Test {
 protected:
  void SetUp() override {
    host.SetTime(1000000000);
    host.SetRandomSequence(sequence);
    view = std::make_unique<CQuadrilexdView>(host);
    host.Attach(view.get());
    checker.ExpectNextDeal(storm::DealFromSequence(sequence));
    view->Paint();
    dealt = TakeSnapshot(*view, host);
    checker.AfterFirstPaint(dealt);
    ASSERT_TRUE(checker.Violations().empty()) << List(checker.Violations());
  }

  std::vector<std::string> SteadyStateOf(const StormSnapshot& s) {
    checker.ClearViolations();
    checker.CheckSteadyState(s);
    return checker.Violations();
  }

  // Plays a whole set on the real view by letting every game run out of time,
  // showing each event to the referee; stops before the event that draws the
  // recap and returns the state before it.
  StormSnapshot PlayToFinalRest() {
    for (int game = 0; game < 5; ++game) {
      host.AdvanceTime(105);
      StormSnapshot before = TakeSnapshot(*view, host);
      host.FireTimer(1);
      checker.AfterTimer(1, before, TakeSnapshot(*view, host));
      if (game == 4) break;
      before = TakeSnapshot(*view, host);
      host.FireTimer(2);
      checker.AfterTimer(2, before, TakeSnapshot(*view, host));
    }
    return TakeSnapshot(*view, host);
  }

  const std::vector<int> sequence{5, 17, 3, 9, 0, 11, 2, 8, 4, 1, 7, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  CTestHost host{1016, 660};
  std::unique_ptr<CQuadrilexdView> view;
  StormChecker checker;
  StormSnapshot dealt;
};

TEST_F(Referee, AcceptsTheDealtBoardAsItIs) { EXPECT_TRUE(SteadyStateOf(dealt).empty()) << List(checker.Violations()); }

TEST_F(Referee, SeesBrokenBoardInvariants) {
  StormSnapshot s = dealt;
  s.arrangement[7] = s.arrangement[5];
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "normal blocks 5 and 7 both hold")) << List(checker.Violations());

  s = dealt;
  s.arrangement[4] = s.arrangement[quadrilex::kMasterBlock];
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "normal block 4 holds the master's arrangement"))
      << List(checker.Violations());

  s = dealt;
  s.blockState[quadrilex::kMasterBlock] = quadrilex::kStateNormal;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "the master is normal")) << List(checker.Violations());

  s = dealt;
  s.blockState[9] = quadrilex::kStateMatched;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "matched block 9 holds arrangement")) << List(checker.Violations());

  s = dealt;
  s.clickCount[3] = 11;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "block 3 counts 11 clicks")) << List(checker.Violations());

  s = dealt;
  std::swap(s.arrangement[0], s.arrangement[1]);
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "the master's arrangement changed")) << List(checker.Violations());
}

TEST_F(Referee, SeesScoresThatDoNotFollowFromTheBoard) {
  StormSnapshot s = dealt;
  s.clickCost = 10;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "Click Cost is 10; the board's click counters make 0"))
      << List(checker.Violations());

  s = dealt;
  s.clickCount[2] = 3;  // three clicks on a block cost 100, which the view does not show
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "the board's click counters make 100")) << List(checker.Violations());

  s = dealt;
  s.matchPoints = 40;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "Match Score is 40")) << List(checker.Violations());

  s = dealt;
  s.gameScore[0] = 11;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "game 1 records the net score 11; the panel drew 10"))
      << List(checker.Violations());
}

TEST_F(Referee, SeesTimersThatDoNotFitThePhase) {
  StormSnapshot s = dealt;
  s.restTimerRunning = true;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "timer 2 runs during play")) << List(checker.Violations());

  s = dealt;
  s.tickTimerRunning = false;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "timer 1 is stopped during play")) << List(checker.Violations());

  s = dealt;
  s.resting = true;
  EXPECT_TRUE(Mentions(SteadyStateOf(s), "timer 1 runs while resting")) << List(checker.Violations());
}

TEST_F(Referee, SeesAGameThatOutlivesItsTime) {
  StormSnapshot after = dealt;
  after.now = dealt.startTime + 105;
  after.timeLeftText = "00:00";
  checker.ClearViolations();
  checker.AfterTimer(1, dealt, after);
  EXPECT_TRUE(Mentions(checker.Violations(), "the view is playing; expected it resting")) << List(checker.Violations());
}

TEST_F(Referee, SeesAClickOffTheBoardThatChangesSomething) {
  const RECT& master = dealt.blockRect[quadrilex::kMasterBlock];
  StormSnapshot after = dealt;
  after.clickCount[2] = 1;
  checker.ClearViolations();
  checker.AfterClick(dealt, CPoint(master.left + 80, master.top + 80), after);
  EXPECT_TRUE(Mentions(checker.Violations(), "changed block 2")) << List(checker.Violations());
}

TEST_F(Referee, SeesAMoveThatRearrangesWrongly) {
  // Zone 1 swaps the halves of block 4; the tampered view claims zone 3's effect.
  const RECT& b = dealt.blockRect[4];
  const CPoint onZone1(b.left + 80, b.top + 8);
  StormSnapshot after = dealt;
  after.arrangement[4] = quadrilex::MovedArrangement(dealt.arrangement[4], 2);
  after.clickCount[4] = 1;
  checker.ClearViolations();
  checker.AfterClick(dealt, onZone1, after);
  EXPECT_TRUE(Mentions(checker.Violations(), "on arrow zone 1 of block 4 leaves block 4"))
      << List(checker.Violations());
}

TEST_F(Referee, SeesADealOtherThanItsGeneratorGives) {
  StormChecker fresh;
  std::array<int, 12> other = storm::DealFromSequence(sequence);
  std::swap(other[3], other[4]);
  fresh.ExpectNextDeal(other);
  fresh.AfterFirstPaint(dealt);
  EXPECT_TRUE(Mentions(fresh.Violations(), "the deal of the first paint gives block 3")) << List(fresh.Violations());
}

TEST(DealFromSequence, AGeneratorOfZerosDealsTheTableInOrder) {
  const std::array<int, 12> deal = storm::DealFromSequence({0});
  for (int b = 0; b < 12; ++b) EXPECT_EQ(deal[b], b);
}

TEST_F(Referee, FollowsAWholeSetAndSeesAWrongRecap) {
  checker.SetRecapProbe([](const int(&)[5], int) { return true; });
  const StormSnapshot finalRest = PlayToFinalRest();
  EXPECT_TRUE(checker.Violations().empty()) << List(checker.Violations());
  ASSERT_TRUE(finalRest.resting);
  ASSERT_EQ(finalRest.game, 4);

  host.FireTimer(2);
  StormSnapshot recap = TakeSnapshot(*view, host);
  recap.gameScore[2] += 5;
  checker.AfterTimer(2, finalRest, recap);
  EXPECT_TRUE(Mentions(checker.Violations(), "the recap reads 15 for game 3, which ended with 10"))
      << List(checker.Violations());
}

TEST_F(Referee, AsksTheScreenForTheRecap) {
  int askedAverage = -1;
  checker.SetRecapProbe([&](const int(&)[5], int average) {
    askedAverage = average;
    return false;  // the screen shows something else
  });
  const StormSnapshot finalRest = PlayToFinalRest();
  host.FireTimer(2);
  checker.AfterTimer(2, finalRest, TakeSnapshot(*view, host));
  // Five games untouched score 10 each; the average of the five is 10.
  EXPECT_EQ(askedAverage, 10);
  EXPECT_TRUE(Mentions(checker.Violations(), "the recap on the screen does not show 10, 10, 10, 10, 10"))
      << List(checker.Violations());
}

}  // namespace
