// The score panel and the game clock: what the panel shows at the start of each
// game, the countdown, what a tick redraws, the four ways a game ends, and the
// step from one game to the next.
#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"

using namespace view_test;

class ClockTest : public ViewTest {
 protected:
  // The panel as a game starts: scores 10, 0, 10, no Bonus, the game's number.
  void ExpectFreshPanel(int gameNumber) {
    const quadrilex::PanelLayout panel = Panel();
    EXPECT_TRUE(ShowsNumberBox(panel.matchBox, Format4(10), kBlue)) << "game " << gameNumber;
    EXPECT_TRUE(ShowsNumberBox(panel.costBox, Format4(0), kBlue)) << "game " << gameNumber;
    EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(10), kBlue)) << "game " << gameNumber;
    EXPECT_TRUE(ShowsNumberBox(panel.gameBox, std::to_string(gameNumber), kBlue)) << "game " << gameNumber;
    EXPECT_TRUE(ShowsLabel(panel.matchLabel, "Match Score"));
    EXPECT_TRUE(ShowsLabel(panel.costLabel, "Click Cost"));
    EXPECT_TRUE(ShowsLabel(panel.netLabel, "Net Score"));
    EXPECT_TRUE(ShowsLabel(panel.gameLabel, "Game#"));
    EXPECT_TRUE(ShowsLabel(panel.timeLabel, "Time Left"));
    EXPECT_TRUE(AllPixels(panel.bonusBox, kGrey)) << "game " << gameNumber;
    EXPECT_TRUE(AllPixels(panel.bonusLabel, kGrey)) << "game " << gameNumber;
    // Each box is outlined in blue and filled with grey.
    for (const RECT& box : {panel.timeBox, panel.matchBox, panel.costBox, panel.netBox, panel.gameBox}) {
      EXPECT_EQ(host->Pixel(box.left, box.top), kBlue);
      EXPECT_EQ(host->Pixel(box.right - 1, box.bottom - 1), kBlue);
      EXPECT_EQ(host->Pixel(box.left + 1, box.top + 1), kGrey);
      EXPECT_EQ(host->Pixel(box.right, box.top), kGrey);  // the ground just outside
    }
    EXPECT_EQ(view->GameScores()[gameNumber - 1], 10);
    EXPECT_EQ(view->MatchPoints(), 10);
    EXPECT_EQ(view->ClickCost(), 0);
  }
};

TEST_F(ClockTest, PanelStartsEveryGameOfTheSetAfresh) {
  DealInOrder();
  FirstPaint();
  const quadrilex::PanelLayout panel = Panel();
  // The panel row: labels and boxes left to right along the top.
  EXPECT_EQ(panel.timeLabel.left, view->CharSize().cx);
  EXPECT_EQ(panel.timeBox.top, 2);
  EXPECT_LT(panel.gameBox.right, 1016);
  EXPECT_EQ(view->TimeLeftText(), "01:45");
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "01:45", kBlue));
  for (int game = 1; game <= 5; ++game) {
    EXPECT_EQ(view->Game(), game - 1);
    if (game > 1) {
      // The clock box still shows the end of the last game until the first tick.
      EXPECT_EQ(view->TimeLeftText(), "00:00");
      host->FireTimer(1);
      EXPECT_EQ(view->TimeLeftText(), "01:45");
      EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "01:45", kBlue));
    }
    ExpectFreshPanel(game);
    // Score something so that the next game has a panel to reset.
    ClickZone(6, 2);
    ClickOffArrow(1);
    EXPECT_NE(view->MatchPoints(), 10);
    EndGameByTimeOut();
    EndRest();
  }
  EXPECT_FALSE(host->TimerRunning(2));
}

TEST_F(ClockTest, ClockCountsDownFromOneFortyFiveToZero) {
  FirstPaint();
  const quadrilex::PanelLayout panel = Panel();
  EXPECT_EQ(view->TimeLeftText(), "01:45");
  host->FireTimer(1);
  EXPECT_EQ(view->TimeLeftText(), "01:45");
  host->AdvanceTime(1);
  host->FireTimer(1);
  EXPECT_EQ(view->TimeLeftText(), "01:44");
  host->AdvanceTime(45);
  host->FireTimer(1);
  EXPECT_EQ(view->TimeLeftText(), "00:59");
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "00:59", kBlue));
  host->AdvanceTime(58);
  host->FireTimer(1);
  EXPECT_EQ(view->TimeLeftText(), "00:01");
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "00:01", kBlue));
  EXPECT_FALSE(view->Resting());
  EXPECT_TRUE(view->ClockRunning());
  host->AdvanceTime(1);
  host->FireTimer(1);
  EXPECT_EQ(view->TimeLeftText(), "00:00");
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "00:00", kBlue));
  EXPECT_TRUE(view->Resting());
}

TEST_F(ClockTest, TickRedrawsTheClockAndNothingElse) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);
  const quadrilex::PanelLayout panel = Panel();
  const RECT clock = UnionRect(panel.timeLabel, panel.timeBox);
  const QImage before = Snapshot();
  host->ClearRecords();
  host->AdvanceTime(1);
  host->FireTimer(1);
  // The label and the box are drawn again and presented together; no other
  // part of the window is.
  ASSERT_EQ(host->Presents().size(), 1u);
  EXPECT_TRUE(ContainsRect(clock, host->Presents()[0]));
  EXPECT_TRUE(ContainsRect(host->Presents()[0], panel.timeBox));
  const QImage after = Snapshot();
  for (int y = 0; y < 660; ++y) {
    for (int x = 0; x < 1016; ++x) {
      const bool inClock = x >= clock.left && x < clock.right && y >= clock.top && y < clock.bottom;
      if (!inClock && before.pixel(x, y) != after.pixel(x, y)) {
        ADD_FAILURE() << "pixel " << x << "," << y << " changed";
        return;
      }
    }
  }
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "01:44", kBlue));
  EXPECT_TRUE(host->Sounds().empty());
}

TEST_F(ClockTest, TimeOutSeenByATickRingsAndRestsLeavingThePanel) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);
  const quadrilex::PanelLayout panel = Panel();
  const RECT clock = UnionRect(panel.timeLabel, panel.timeBox);
  host->ClearRecords();
  host->AdvanceTime(104);
  host->FireTimer(1);
  EXPECT_FALSE(view->Resting());
  host->AdvanceTime(1);
  host->FireTimer(1);

  EXPECT_TRUE(view->Resting());
  EXPECT_TRUE(view->TimeUp());
  EXPECT_FALSE(view->ClockRunning());
  EXPECT_EQ(view->TimeLeftText(), "00:00");
  EXPECT_FALSE(host->TimerRunning(1));
  EXPECT_TRUE(host->TimerRunning(2));
  EXPECT_EQ(host->TimerPeriod(2), 4000u);
  ASSERT_EQ(host->Sounds().size(), 1u);
  EXPECT_EQ(host->Sounds()[0].id, 158u);
  EXPECT_FALSE(host->Sounds()[0].wait);
  EXPECT_LT(LogIndex("timer stop 1"), LogIndex("sound async 158"));
  EXPECT_LT(LogIndex("sound async 158"), LogIndex("timer start 2 4000"));
  // Only the clock was drawn.
  for (const RECT& r : host->Presents()) EXPECT_TRUE(ContainsRect(clock, r));
  EXPECT_EQ(view->GameScores()[0], 30);
  // Further ticks do not arrive: the tick timer is stopped.
  EXPECT_FALSE(host->FireTimer(1));
}

TEST_F(ClockTest, TimeOutSeenByAPaintGoesStraightToTheNextGame) {
  DealInOrder();
  FirstPaint();
  host->AdvanceTime(105);
  host->ClearRecords();
  view->Paint();

  EXPECT_EQ(CountSounds(158), 0);
  const int restStart = LogIndex("timer start 2 4000");
  const int restStop = LogIndex("timer stop 2");
  const int chime = LogIndex("sound sync 159");
  const int opening = LogIndex("sound sync 154");
  const int tick = LogIndex("timer start 1 50");
  ASSERT_GE(restStart, 0);
  EXPECT_LT(LogIndex("timer stop 1"), restStart);
  EXPECT_GT(restStop, restStart);
  EXPECT_GT(chime, restStop);
  EXPECT_GT(opening, chime);
  EXPECT_GT(tick, opening);
  EXPECT_EQ(view->Game(), 1);
  EXPECT_FALSE(view->Resting());
  EXPECT_FALSE(view->TimeUp());
  EXPECT_TRUE(view->ClockRunning());
  EXPECT_TRUE(host->TimerRunning(1));
  EXPECT_FALSE(host->TimerRunning(2));
  EXPECT_EQ(view->GameScores()[0], 10);
  EXPECT_TRUE(FrameIs(0, kRed));
}

TEST_F(ClockTest, NextGameStartsOnlyAfterTheChimeAndTheOpeningSound) {
  host->SetSoundSeconds(159, 1);
  host->SetSoundSeconds(154, 4);
  FirstPaint();
  const std::vector<int> firstDeal(view->Arrangements(), view->Arrangements() + 12);
  EndGameByTimeOut();
  const QImage restingImage = Snapshot();
  const std::time_t restEnds = host->CurrentTime();

  std::vector<int> dealAtOpening;
  QImage imageAtOpening;
  bool tickAtOpening = true;
  host->OnSound([&](UINT id, bool) {
    if (id != 154) return;
    dealAtOpening.assign(view->Arrangements(), view->Arrangements() + 12);
    imageAtOpening = Snapshot();
    tickAtOpening = host->TimerRunning(1);
  });
  host->ClearRecords();
  EndRest();

  ASSERT_EQ(host->Sounds().size(), 2u);
  EXPECT_EQ(host->Sounds()[0].id, 159u);
  EXPECT_TRUE(host->Sounds()[0].wait);
  EXPECT_EQ(host->Sounds()[1].id, 154u);
  EXPECT_TRUE(host->Sounds()[1].wait);
  // While the sounds play the old board stays, and no clock runs.
  EXPECT_EQ(dealAtOpening, firstDeal);
  EXPECT_TRUE(imageAtOpening == restingImage);
  EXPECT_FALSE(tickAtOpening);
  EXPECT_LT(LogIndex("timer stop 2"), LogIndex("sound sync 159"));
  EXPECT_LT(LogIndex("sound sync 154"), LogIndex("timer start 1 50"));
  EXPECT_EQ(view->StartTime().GetTime(), restEnds + 5);

  const std::vector<int> secondDeal(view->Arrangements(), view->Arrangements() + 12);
  ASSERT_NE(secondDeal, firstDeal);
  for (int b = 0; b < 12; ++b) {
    EXPECT_TRUE(ShowsArrangement(b, secondDeal[b])) << b;
    EXPECT_EQ(view->BlockStates()[b], b == 0 ? 2 : 0);
    EXPECT_EQ(view->ClickCounts()[b], 0);
  }
  EXPECT_TRUE(FrameIs(0, kRed));
  EXPECT_EQ(view->Game(), 1);
  EXPECT_FALSE(host->TimerRunning(2));
  host->FireTimer(1);
  EXPECT_EQ(view->TimeLeftText(), "01:45");
}

TEST_F(ClockTest, PaintDuringTheRestStartsTheNextGameAtOnce) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);
  ClickOffArrow(1);
  EndGameByTimeOut();
  ASSERT_TRUE(view->Resting());
  host->ClearRecords();
  view->Paint();
  EXPECT_EQ(view->Game(), 1);
  EXPECT_FALSE(view->Resting());
  EXPECT_FALSE(host->TimerRunning(2));
  EXPECT_TRUE(host->TimerRunning(1));
  EXPECT_EQ(CountSounds(159), 1);
  EXPECT_EQ(CountSounds(154), 1);
  EXPECT_EQ(CountSounds(158), 0);
  // The ended game keeps its score; the new board is whole again.
  EXPECT_EQ(view->GameScores()[0], 40 - 10);
  for (int b = 1; b < 12; ++b) EXPECT_EQ(view->BlockStates()[b], 0);
  EXPECT_TRUE(ShowsArrangement(1, 1));
  EXPECT_TRUE(FrameIs(6, kGrey));
}

TEST_F(ClockTest, PaintDuringTheRestAfterAnEarlyFinishShowsTheFrozenClockAndBonus) {
  DealInOrder();
  FirstPaint();
  host->AdvanceTime(3);
  for (int b = 1; b < 12; ++b) MatchBlock(b);
  ASSERT_TRUE(view->Resting());
  const int score = view->GameScores()[0];
  host->AdvanceTime(30);
  const quadrilex::PanelLayout panel = Panel();
  bool frozenAtChime = false;
  bool bonusAtChime = false;
  host->OnSound([&](UINT id, bool) {
    if (id != 159) return;
    frozenAtChime = ShowsNumberBox(panel.timeBox, "01:42", kBlue);
    bonusAtChime = ShowsNumberBox(panel.bonusBox, Format7(1255800), kBlue);
  });
  view->Paint();
  EXPECT_TRUE(frozenAtChime);
  EXPECT_TRUE(bonusAtChime);
  EXPECT_EQ(view->GameScores()[0], score);
  EXPECT_EQ(view->Game(), 1);
}

TEST_F(ClockTest, FailingTimerAtTheFirstPaintEndsTheProgram) {
  host->FailTimerStarts(1);
  EXPECT_EQ(view_test::ExitStatusOf([&] { FirstPaint(); }), 1);
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].text, "Program Abort: No timer available");
  EXPECT_EQ(host->MessageBoxes()[0].caption, "SDI:QUADRILEX");
  EXPECT_EQ(host->MessageBoxes()[0].style, 0x30u);
  EXPECT_LT(LogIndex("timer fail 1"), LogIndex("exit 1"));
}

TEST_F(ClockTest, FailingRestTimerAtTheEndOfAGameEndsTheProgram) {
  FirstPaint();
  host->FailTimerStarts(1);
  host->AdvanceTime(105);
  EXPECT_EQ(view_test::ExitStatusOf([&] { host->FireTimer(1); }), 1);
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].text, "Program Abort: No timer available");
  EXPECT_EQ(host->MessageBoxes()[0].caption, "SDI:QUADRILEX");
  EXPECT_EQ(host->MessageBoxes()[0].style, 0x30u);
  EXPECT_GE(LogIndex("timer fail 2"), 0);
}

TEST_F(ClockTest, FailingTickTimerAtTheNextGameEndsTheProgram) {
  FirstPaint();
  EndGameByTimeOut();
  host->FailTimerStarts(1);
  EXPECT_EQ(view_test::ExitStatusOf([&] { host->FireTimer(2); }), 1);
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].caption, "SDI:QUADRILEX");
  EXPECT_GE(LogIndex("timer fail 1"), 0);
}
