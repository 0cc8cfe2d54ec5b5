// Judging a moved block (match, collision), the scores after every click, and
// the end of a game by a click: the board done, with or without the Bonus, and
// a click after the time has run out.
#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"

using namespace view_test;

namespace {

bool Intersects(const RECT& a, const RECT& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

}  // namespace

class ScoringTest : public ViewTest {
 protected:
  // Matches every non-master block except those listed, in block order.
  void MatchAllBut(std::vector<int> except) {
    for (int b = 1; b < 12; ++b) {
      if (std::find(except.begin(), except.end(), b) != except.end()) continue;
      MatchBlock(b);
      ASSERT_EQ(view->BlockStates()[b], 2) << "block " << b;
    }
  }
  int ExpectedCost() const {
    const int scale[] = {10, 40, 100, 200, 350, 560, 840, 1200, 1650, 2200};
    int cost = 0;
    for (int b = 1; b < 12; ++b)
      if (view->ClickCounts()[b] > 0) cost += scale[view->ClickCounts()[b] - 1];
    return cost;
  }
  void ExpectNoBonusShown() {
    const quadrilex::PanelLayout panel = Panel();
    EXPECT_TRUE(AllPixels(panel.bonusBox, kGrey));
    EXPECT_TRUE(AllPixels(panel.bonusLabel, kGrey));
  }
  void ExpectRestAfterGame() {
    EXPECT_TRUE(view->Resting());
    EXPECT_FALSE(view->ClockRunning());
    EXPECT_FALSE(host->TimerRunning(1));
    EXPECT_TRUE(host->TimerRunning(2));
    EXPECT_EQ(host->TimerPeriod(2), 4000u);
    ASSERT_FALSE(host->Sounds().empty());
    EXPECT_EQ(host->Sounds().back().id, 158u);
    EXPECT_FALSE(host->Sounds().back().wait);
    const int stop = LogIndex("timer stop 1");
    const int bell = LogIndex("sound async 158");
    const int rest = LogIndex("timer start 2 4000");
    EXPECT_GE(stop, 0);
    EXPECT_GT(bell, stop);
    EXPECT_GT(rest, bell);
  }
};

TEST_F(ScoringTest, MatchRingsFramesGreenAndRaisesTheMatchScore) {
  DealInOrder();
  FirstPaint();
  bool greenAtBell = true;
  host->OnSound([&](UINT id, bool) {
    if (id == 156) greenAtBell = FrameIs(6, kGreen);
  });
  host->ClearRecords();
  ClickZone(6, 2);  // "xcst" to the master's "cxst"

  ASSERT_EQ(host->Sounds().size(), 1u);
  EXPECT_EQ(host->Sounds()[0].id, 156u);
  EXPECT_FALSE(host->Sounds()[0].wait);
  EXPECT_FALSE(greenAtBell);  // the bell first, then the frame
  EXPECT_EQ(view->BlockStates()[6], 2);
  EXPECT_TRUE(FrameIs(6, kGreen));
  EXPECT_TRUE(ShowsArrangement(6, 0));
  EXPECT_EQ(view->MatchCount(), 2);
  EXPECT_EQ(view->MatchPoints(), 40);
  EXPECT_EQ(view->ClickCost(), 10);
  EXPECT_EQ(view->GameScores()[0], 30);
  EXPECT_FALSE(view->Resting());

  // The click redrew the score boxes, not the clock.
  const quadrilex::PanelLayout panel = Panel();
  EXPECT_TRUE(ShowsNumberBox(panel.matchBox, Format4(40), kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.costBox, Format4(10), kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(30), kBlue));
  ExpectNoBonusShown();
  for (const RECT& r : host->Presents()) EXPECT_FALSE(Intersects(r, panel.timeBox));

  // A second match.
  ClickZone(7, 0);  // "xcts": swapping the halves gives "cxst"
  EXPECT_EQ(view->MatchPoints(), 100);
  EXPECT_EQ(view->ClickCost(), 20);
  EXPECT_EQ(view->GameScores()[0], 80);
}

TEST_F(ScoringTest, CollisionShowsBlackFramesPlaysBoingThenDissolvesBoth) {
  DealInOrder();
  FirstPaint();
  const RECT r1 = view->BlockRects()[1];
  const RECT r7 = view->BlockRects()[7];
  QImage atBoing;
  RECT presentedAtBoing;
  long pausedAtBoing = -1;
  host->OnSound([&](UINT id, bool) {
    if (id != 157) return;
    atBoing = Snapshot();
    for (const RECT& r : host->Presents()) presentedAtBoing = UnionRect(presentedAtBoing, r);
    pausedAtBoing = host->PausedMilliseconds();
  });
  host->ClearRecords();
  ClickZone(1, 2);  // "cxts" becomes "xcts", which block 7 holds

  ASSERT_FALSE(atBoing.isNull());
  EXPECT_EQ(pausedAtBoing, 0);  // the dissolve comes after the boing
  for (int x = r1.left; x < r1.right; ++x) {
    EXPECT_EQ(Pixel(atBoing, x, r1.top), kBlack);
    EXPECT_EQ(Pixel(atBoing, x, r1.bottom - 1), kBlack);
    EXPECT_EQ(Pixel(atBoing, x - r1.left + r7.left, r7.top), kBlack);
    EXPECT_EQ(Pixel(atBoing, x - r1.left + r7.left, r7.bottom - 1), kBlack);
  }
  for (int y = r1.top; y < r1.bottom; ++y) {
    EXPECT_EQ(Pixel(atBoing, r1.left, y), kBlack);
    EXPECT_EQ(Pixel(atBoing, r1.right - 1, y), kBlack);
    EXPECT_EQ(Pixel(atBoing, r7.left, y - r1.top + r7.top), kBlack);
    EXPECT_EQ(Pixel(atBoing, r7.right - 1, y - r1.top + r7.top), kBlack);
  }
  EXPECT_TRUE(ShowsArrangement(atBoing, 1, 7));
  EXPECT_TRUE(ShowsArrangement(atBoing, 7, 7));
  EXPECT_TRUE(ContainsRect(presentedAtBoing, r1));
  EXPECT_TRUE(ContainsRect(presentedAtBoing, r7));

  // The boing to its end, then the dissolve with its own sound.
  ASSERT_EQ(host->Sounds().size(), 2u);
  EXPECT_EQ(host->Sounds()[0].id, 157u);
  EXPECT_TRUE(host->Sounds()[0].wait);
  EXPECT_EQ(host->Sounds()[1].id, 155u);
  EXPECT_FALSE(host->Sounds()[1].wait);
  EXPECT_LT(LogIndex("sound sync 157"), LogIndex("sound async 155"));
  EXPECT_EQ(host->PausedMilliseconds(), 1000);

  EXPECT_EQ(view->BlockStates()[1], 1);
  EXPECT_EQ(view->BlockStates()[7], 1);
  EXPECT_EQ(view->ClickCounts()[1], 1);
  EXPECT_EQ(view->ClickCounts()[7], 0);
  EXPECT_EQ(view->ClickCost(), 10);
  EXPECT_EQ(view->MatchPoints(), 10);
  EXPECT_EQ(view->GameScores()[0], 0);
  EXPECT_TRUE(AllPixels(r1, kGrey));
  EXPECT_TRUE(AllPixels(r7, kGrey));

  // Both stay grey through later paints, and clicks on them do nothing.
  view->Paint();
  EXPECT_TRUE(AllPixels(r1, kGrey));
  EXPECT_TRUE(AllPixels(r7, kGrey));
  ClickZone(1, 2);
  ClickZone(7, 0);
  EXPECT_EQ(view->Arrangements()[1], 7);
  EXPECT_EQ(view->Arrangements()[7], 7);
  EXPECT_EQ(view->ClickCounts()[1], 1);
  EXPECT_TRUE(AllPixels(r7, kGrey));
}

TEST_F(ScoringTest, MovingAMatchedBlockOntoANormalOneLosesBoth) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);
  ASSERT_EQ(view->MatchPoints(), 40);
  host->ClearRecords();
  ClickZone(6, 3);  // "cxst" becomes "cxts", which block 1 holds
  EXPECT_EQ(view->BlockStates()[6], 1);
  EXPECT_EQ(view->BlockStates()[1], 1);
  EXPECT_EQ(view->MatchPoints(), 10);
  EXPECT_EQ(view->MatchCount(), 1);
  EXPECT_EQ(view->ClickCost(), 40);
  ASSERT_EQ(host->Sounds().size(), 2u);
  EXPECT_EQ(host->Sounds()[0].id, 157u);
  EXPECT_EQ(host->Sounds()[1].id, 155u);
  EXPECT_TRUE(AllPixels(view->BlockRects()[6], kGrey));
  EXPECT_TRUE(AllPixels(view->BlockRects()[1], kGrey));
}

TEST_F(ScoringTest, BoardDoneWithLostAndMatchedBlocksEndsAtOnceWithoutBonus) {
  DealInOrder();
  FirstPaint();
  MatchAllBut({1, 10, 11});
  ClickOffArrow(1);
  ClickOffArrow(10);
  host->AdvanceTime(5);
  ASSERT_FALSE(view->Resting());
  host->ClearRecords();
  ClickOffArrow(11);

  ExpectRestAfterGame();
  EXPECT_TRUE(view->BoardDone());
  EXPECT_FALSE(view->TimeUp());
  EXPECT_EQ(view->TimeLeftText(), "01:40");
  EXPECT_EQ(view->MatchCount(), 9);
  EXPECT_EQ(view->MatchPoints(), 1650);
  EXPECT_EQ(view->ClickCost(), ExpectedCost());
  EXPECT_EQ(view->GameScores()[0], 1650 - ExpectedCost());
  const quadrilex::PanelLayout panel = Panel();
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "01:40", kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.matchBox, Format4(1650), kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(1650 - ExpectedCost()), kBlue));
  ExpectNoBonusShown();

  // The clock stays frozen through the rest.
  host->AdvanceTime(2);
  EXPECT_FALSE(host->FireTimer(1));
  EXPECT_EQ(view->TimeLeftText(), "01:40");
}

class BonusTest : public ScoringTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(BonusTest, AllElevenMatchedWithTimeLeftEarnTheBonus) {
  const int secondsLeft = GetParam().first;
  const int bonus = GetParam().second;
  DealInOrder();
  FirstPaint();
  MatchAllBut({6});  // block 6 is one move from the master
  host->SetTime(view->StartTime().GetTime() + 105 - secondsLeft);
  host->ClearRecords();
  ClickZone(6, 2);

  ExpectRestAfterGame();
  EXPECT_FALSE(view->TimeUp());
  EXPECT_EQ(view->MatchCount(), 12);
  EXPECT_EQ(view->MatchPoints(), 3640);
  EXPECT_EQ(view->BonusIndex(), secondsLeft - 1);
  EXPECT_EQ(view->SecondsLeft(), secondsLeft);
  const int net = 3640 + bonus - ExpectedCost();
  EXPECT_EQ(view->GameScores()[0], net);

  const quadrilex::PanelLayout panel = Panel();
  EXPECT_TRUE(ShowsNumberBox(panel.bonusBox, Format7(bonus), kBlue));
  EXPECT_TRUE(ShowsLabel(panel.bonusLabel, "Bonus"));
  EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(net), kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.matchBox, Format4(3640), kBlue));

  // The next game's panel shows no Bonus, and the won game keeps its score.
  EndRest();
  EXPECT_EQ(view->Game(), 1);
  EXPECT_TRUE(AllPixels(panel.bonusBox, kGrey));
  EXPECT_TRUE(AllPixels(panel.bonusLabel, kGrey));
  EXPECT_EQ(view->GameScores()[0], net);
  EXPECT_EQ(view->GameScores()[1], 10);
}

INSTANTIATE_TEST_SUITE_P(SecondsLeft, BonusTest,
                         ::testing::Values(std::make_pair(7, 840), std::make_pair(1, 10), std::make_pair(2, 40),
                                           std::make_pair(90, 1255800), std::make_pair(91, 1255800),
                                           std::make_pair(100, 1255800)));

TEST_F(ScoringTest, ClickAfterTheTimeRanOutStillMovesThenEndsTheGame) {
  DealInOrder();
  FirstPaint();
  const int zone = HarmlessZone(2);
  const int target = quadrilex::MovedArrangement(2, zone);
  host->AdvanceTime(105);  // no tick has noticed yet
  host->ClearRecords();
  ClickZone(2, zone);

  EXPECT_EQ(view->Arrangements()[2], target);
  EXPECT_TRUE(ShowsArrangement(2, target));
  EXPECT_EQ(view->ClickCounts()[2], 1);
  ExpectRestAfterGame();
  EXPECT_TRUE(view->TimeUp());
  EXPECT_EQ(view->TimeLeftText(), "00:00");
  EXPECT_EQ(view->ClickCost(), 10);
  EXPECT_EQ(view->GameScores()[0], 0);
  const quadrilex::PanelLayout panel = Panel();
  EXPECT_TRUE(ShowsNumberBox(panel.timeBox, "00:00", kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(0), kBlue));
}

TEST_F(ScoringTest, CompletingTheBoardAfterTheTimeRanOutEarnsNoBonus) {
  DealInOrder();
  FirstPaint();
  MatchAllBut({6});
  host->AdvanceTime(200);
  ClickZone(6, 2);

  ExpectRestAfterGame();
  EXPECT_TRUE(view->TimeUp());
  EXPECT_EQ(view->TimeLeftText(), "00:00");
  EXPECT_EQ(view->MatchCount(), 12);
  EXPECT_EQ(view->MatchPoints(), 3640);
  EXPECT_EQ(view->GameScores()[0], 3640 - ExpectedCost());
  ExpectNoBonusShown();
}
