// Clicks on the board: the block and arrow hit test, what each arrow does to a
// block, the click counter, clicks that must change nothing, and the loss of a
// block clicked off its arrows.
#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"

using namespace view_test;

namespace {

struct BoardState {
  std::vector<int> arrangements, states, clicks, scores;
  int cost, match, matchCount;
  bool operator==(const BoardState& o) const {
    return arrangements == o.arrangements && states == o.states && clicks == o.clicks && scores == o.scores &&
           cost == o.cost && match == o.match && matchCount == o.matchCount;
  }
};

BoardState StateOf(const CQuadrilexdView& v) {
  return BoardState{std::vector<int>(v.Arrangements(), v.Arrangements() + 12),
                    std::vector<int>(v.BlockStates(), v.BlockStates() + 12),
                    std::vector<int>(v.ClickCounts(), v.ClickCounts() + 12),
                    std::vector<int>(v.GameScores(), v.GameScores() + 5),
                    v.ClickCost(),
                    v.MatchPoints(),
                    v.MatchCount()};
}

const int kScale[] = {10, 40, 100, 200, 350, 560, 840, 1200, 1650, 2200};

}  // namespace

class MovesTest : public ViewTest {
 protected:
  // Clicks at the point and expects nothing at all to happen.
  void ExpectIgnored(CPoint point, const char* what) {
    const BoardState before = StateOf(*view);
    const QImage image = Snapshot();
    host->ClearRecords();
    Click(point);
    EXPECT_TRUE(StateOf(*view) == before) << what;
    EXPECT_TRUE(Snapshot() == image) << what;
    EXPECT_TRUE(host->Log().empty()) << what << ": " << (host->Log().empty() ? "" : host->Log().front());
  }
};

TEST_F(MovesTest, BlockAnswersUpToItsRightAndBottomEdgesInclusive) {
  DealInOrder();
  FirstPaint();
  const RECT b4 = view->BlockRects()[4];
  ExpectIgnored(CPoint(b4.left + 161, b4.top + 80), "one past the right edge");
  ExpectIgnored(CPoint(b4.left + 80, b4.top + 161), "one past the bottom edge");
  ExpectIgnored(CPoint(b4.left - 1, b4.top + 80), "one before the left edge");

  // The edge itself is inside the block but off every arrow: the block is lost.
  Click(CPoint(b4.left + 160, b4.top + 80));
  EXPECT_EQ(view->BlockStates()[4], 1);
  const RECT b5 = view->BlockRects()[5];
  Click(CPoint(b5.left + 80, b5.top + 160));
  EXPECT_EQ(view->BlockStates()[5], 1);
  EXPECT_EQ(view->BlockStates()[3], 0);
}

TEST_F(MovesTest, EachArrowRearrangesTheBlockAndASecondClickPutsItBack) {
  // Master "cstx", block 1 "cxst"; no other block holds any arrangement that
  // the arrows can make of "cxst".
  DealArrangements({3, 0, 4, 8, 9, 10, 11, 12, 13, 15, 16, 17});
  FirstPaint();
  ASSERT_EQ(view->Arrangements()[1], 0);
  const std::vector<std::string> codes = AllCodes();
  // What zones 1 to 10 make of "cxst".
  const int expected[10] = {7, 23, 6, 1, 21, 2, 14, 5, 5, 14};
  int clicks = 0;
  for (int zone = 0; zone < 10; ++zone) {
    ClickZone(1, zone);
    ++clicks;
    EXPECT_EQ(view->Arrangements()[1], expected[zone]) << "zone " << zone + 1;
    EXPECT_EQ(ShapesOf(1), codes[expected[zone]]) << "zone " << zone + 1;
    EXPECT_TRUE(ShowsArrangement(1, expected[zone])) << "zone " << zone + 1;
    EXPECT_EQ(view->ClickCounts()[1], std::min(clicks, 10));
    EXPECT_EQ(view->ClickCost(), kScale[std::min(clicks, 10) - 1]);

    ClickZone(1, zone);
    ++clicks;
    EXPECT_EQ(view->Arrangements()[1], 0) << "zone " << zone + 1;
    EXPECT_TRUE(ShowsArrangement(1, 0)) << "zone " << zone + 1;
    EXPECT_EQ(view->BlockStates()[1], 0);
    EXPECT_EQ(view->ClickCounts()[1], std::min(clicks, 10));
    EXPECT_EQ(view->ClickCost(), kScale[std::min(clicks, 10) - 1]);
  }
  // Twenty clicks, and the counter stopped at ten.
  EXPECT_EQ(view->ClickCounts()[1], 10);
  EXPECT_EQ(view->ClickCost(), 2200);
  EXPECT_EQ(view->GameScores()[0], 10 - 2200);
  EXPECT_TRUE(host->Sounds().size() == 1u);  // only the opening sound
  for (int b = 2; b < 12; ++b) EXPECT_EQ(view->ClickCounts()[b], 0);
}

TEST_F(MovesTest, ArrowTestToleratesTwoPixelsAroundEachZone) {
  DealArrangements({3, 0, 4, 8, 9, 10, 11, 12, 13, 15, 16, 17});
  FirstPaint();
  const RECT b1 = view->BlockRects()[1];
  Click(CPoint(b1.left + 64, b1.top + 2));  // zone 1 widened to the left
  EXPECT_EQ(view->Arrangements()[1], 7);
  Click(CPoint(b1.left + 96, b1.top + 15));  // and to the right and below
  EXPECT_EQ(view->Arrangements()[1], 0);
  Click(CPoint(b1.left + 90, b1.top + 80));  // in zone 8's rectangle, taken by zone 10
  EXPECT_EQ(view->Arrangements()[1], 14);
  Click(CPoint(b1.left + 90, b1.top + 80));
  Click(CPoint(b1.left + 90, b1.top + 78));  // zone 8
  EXPECT_EQ(view->Arrangements()[1], 5);
  Click(CPoint(b1.left + 90, b1.top + 78));
  EXPECT_EQ(view->Arrangements()[1], 0);
  EXPECT_EQ(view->BlockStates()[1], 0);
  Click(CPoint(b1.left + 97, b1.top + 15));  // just beyond zone 1: the block is lost
  EXPECT_EQ(view->BlockStates()[1], 1);
  EXPECT_EQ(view->Arrangements()[1], 0);
}

TEST_F(MovesTest, ClicksOnMasterLostBlockOrGroundChangeNothing) {
  DealInOrder();
  FirstPaint();
  ClickOffArrow(4);
  ASSERT_EQ(view->BlockStates()[4], 1);
  ClickZone(2, HarmlessZone(2));

  ExpectIgnored(ZoneCentre(0, 0), "an arrow of the master");
  ExpectIgnored(CPoint(view->BlockRects()[0].left + 40, view->BlockRects()[0].top + 40), "the master off its arrows");
  ExpectIgnored(ZoneCentre(4, 0), "an arrow of a lost block");
  ExpectIgnored(CPoint(view->BlockRects()[4].left + 40, view->BlockRects()[4].top + 40), "a lost block");
  ExpectIgnored(CPoint(view->BlockRects()[0].right + 10, view->BlockRects()[0].top + 80), "the gap between columns");
  ExpectIgnored(CPoint(view->BlockRects()[0].left + 80, view->BlockRects()[0].bottom + 10), "the gap between rows");
  ExpectIgnored(CPoint(5, 300), "the ground left of the board");
}

TEST_F(MovesTest, ClicksWhileRestingChangeNothing) {
  DealInOrder();
  FirstPaint();
  ClickZone(2, HarmlessZone(2));
  EndGameByTimeOut();
  ASSERT_TRUE(view->Resting());
  ExpectIgnored(ZoneCentre(1, 0), "an arrow during the rest");
  ExpectIgnored(CPoint(view->BlockRects()[3].left + 40, view->BlockRects()[3].top + 40), "off the arrows");
  ExpectIgnored(ZoneCentre(2, 0), "a clicked block");
}

TEST_F(MovesTest, OffArrowClickLosesTheBlockButItsClicksStillCost) {
  DealInOrder();
  FirstPaint();
  const int zone = HarmlessZone(2);
  ClickZone(2, zone);
  ClickZone(2, zone);
  ASSERT_EQ(view->ClickCounts()[2], 2);
  ASSERT_EQ(view->ClickCost(), 40);
  host->ClearRecords();

  ClickOffArrow(2);
  EXPECT_EQ(view->BlockStates()[2], 1);
  EXPECT_EQ(view->ClickCounts()[2], 2);
  EXPECT_EQ(view->ClickCost(), 40);
  EXPECT_EQ(view->MatchPoints(), 10);
  EXPECT_EQ(view->GameScores()[0], -30);
  ASSERT_EQ(host->Sounds().size(), 1u);
  EXPECT_EQ(host->Sounds()[0].id, 155u);
  EXPECT_FALSE(host->Sounds()[0].wait);
  // The dissolve is paced: fifty steps of 20 ms.
  EXPECT_EQ(host->PausedMilliseconds(), 1000);
  EXPECT_TRUE(AllPixels(view->BlockRects()[2], kGrey));
  // Its neighbours are untouched.
  EXPECT_TRUE(ShowsArrangement(1, 1));
  EXPECT_TRUE(ShowsArrangement(5, 5));
  EXPECT_FALSE(view->Resting());

  const quadrilex::PanelLayout panel = Panel();
  EXPECT_TRUE(ShowsNumberBox(panel.costBox, Format4(40), kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(-30), kBlue));
}

TEST_F(MovesTest, MatchedBlockCanBeMovedAwayOrLost) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);  // "xcst" to the master's "cxst"
  ASSERT_EQ(view->BlockStates()[6], 2);
  // Swapping the halves gives "tsxc", held by no block: normal again, and the
  // match is taken back.
  ClickZone(6, 1);
  EXPECT_EQ(view->Arrangements()[6], 23);
  EXPECT_EQ(view->BlockStates()[6], 0);
  EXPECT_EQ(view->MatchPoints(), 10);
  EXPECT_EQ(view->MatchCount(), 1);
  EXPECT_EQ(view->ClickCounts()[6], 2);
  EXPECT_TRUE(FrameIs(6, kGrey));
  ClickZone(6, 1);
  ASSERT_EQ(view->BlockStates()[6], 2);
  EXPECT_EQ(view->MatchPoints(), 40);
  // An off-arrow click loses a matched block as well.
  ClickOffArrow(6);
  EXPECT_EQ(view->BlockStates()[6], 1);
  EXPECT_EQ(view->MatchPoints(), 10);
  EXPECT_EQ(view->ClickCost(), 100);
  EXPECT_TRUE(AllPixels(view->BlockRects()[6], kGrey));
}
