// The set of five games: the recap after the fifth, the new-set box and its
// click, and the notice shown when sounds cannot be played.
#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"

using namespace view_test;

namespace {
const char* const kNoSound = "Cannot play sound.\nThis game works much better with a sound card.";
}  // namespace

class SetTest : public ViewTest {
 protected:
  // Plays game `game` with `clicks` harmless arrow clicks on as many different
  // blocks (each costs 10), then lets its time run out.
  void PlayGame(int clicks) {
    for (int b = 1; b <= clicks; ++b) ClickZone(b, HarmlessZone(b));
    EndGameByTimeOut();
  }
  // A whole set up to the end of the fifth game; the final rest is still running.
  void PlaySetToFinalRest(const std::vector<int>& clicksPerGame) {
    FirstPaint();
    for (std::size_t g = 0; g < clicksPerGame.size(); ++g) {
      ASSERT_EQ(view->Game(), static_cast<int>(g));
      PlayGame(clicksPerGame[g]);
      if (g + 1 < clicksPerGame.size()) EndRest();
    }
    ASSERT_TRUE(view->Resting());
    ASSERT_EQ(view->Game(), 4);
  }
  void PlaySet(const std::vector<int>& clicksPerGame) {
    PlaySetToFinalRest(clicksPerGame);
    EndRest();
  }

  CPoint NewSetBoxCentre() const {
    const RECT& box = view->NewSetBox();
    return CPoint((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  }

  void ExpectIgnored(CPoint point, const char* what) {
    const QImage image = Snapshot();
    const int game = view->Game();
    const std::vector<int> deal(view->Arrangements(), view->Arrangements() + 12);
    host->ClearRecords();
    Click(point);
    EXPECT_TRUE(host->Log().empty()) << what;
    EXPECT_TRUE(Snapshot() == image) << what;
    EXPECT_EQ(view->Game(), game) << what;
    EXPECT_TRUE(view->Resting()) << what;
    EXPECT_EQ(std::vector<int>(view->Arrangements(), view->Arrangements() + 12), deal) << what;
  }

  // What a new set looks like right after its first paint.
  void ExpectNewSetStarted(const std::vector<int>& oldDeal) {
    EXPECT_EQ(CountSounds(154), 1);
    EXPECT_TRUE(host->Sounds()[0].wait);
    EXPECT_EQ(view->Game(), 0);
    EXPECT_TRUE(view->FirstPaintDone());
    EXPECT_FALSE(view->Resting());
    EXPECT_FALSE(view->TimeUp());
    EXPECT_TRUE(view->ClockRunning());
    EXPECT_TRUE(host->TimerRunning(1));
    EXPECT_EQ(view->StartTime().GetTime(), host->CurrentTime());
    EXPECT_EQ(view->TimeLeftText(), "01:45");
    EXPECT_EQ(view->MatchPoints(), 10);
    EXPECT_EQ(view->ClickCost(), 0);
    const std::vector<int> deal(view->Arrangements(), view->Arrangements() + 12);
    EXPECT_NE(deal, oldDeal);
    for (int b = 0; b < 12; ++b) {
      EXPECT_EQ(view->BlockStates()[b], b == 0 ? 2 : 0);
      EXPECT_EQ(view->ClickCounts()[b], 0);
      EXPECT_TRUE(ShowsArrangement(b, deal[b])) << b;
    }
    const quadrilex::PanelLayout panel = Panel();
    EXPECT_TRUE(ShowsNumberBox(panel.gameBox, "1", kBlue));
    EXPECT_TRUE(ShowsNumberBox(panel.netBox, Format7(10), kBlue));
    // The recap row and the new-set box are gone.
    const quadrilex::RecapLayout recap = Recap();
    EXPECT_TRUE(AllPixels(recap.averageBox, kGrey));
    EXPECT_TRUE(AllPixels(view->NewSetBox(), kGrey));
  }
};

class RecapTest : public SetTest,
                  public ::testing::WithParamInterface<std::pair<std::vector<int>, int>> {};

TEST_P(RecapTest, RecapShowsTheFiveScoresAndTheirAverage) {
  DealInOrder();
  const std::vector<int>& clicks = GetParam().first;
  PlaySetToFinalRest(clicks);
  std::vector<int> scores;
  for (int c : clicks) scores.push_back(10 - 10 * c);
  EXPECT_EQ(std::vector<int>(view->GameScores(), view->GameScores() + 5), scores);
  const RECT recapArea = MakeRect(0, 660 - 2 - view->CharSize().cy, 1016, 660);
  EXPECT_TRUE(AllPixels(recapArea, kGrey));  // not before the final rest ends

  EndRest();
  EXPECT_FALSE(host->TimerRunning(2));
  EXPECT_FALSE(host->TimerRunning(1));
  EXPECT_TRUE(view->Resting());
  EXPECT_EQ(view->Game(), 4);

  const quadrilex::RecapLayout recap = Recap();
  EXPECT_EQ(recap.averageBox.bottom, 658);
  int sum = 0;
  for (int s : scores) sum += s;
  const int average = GetParam().second;
  EXPECT_EQ(average, (sum + 4) / 5);
  EXPECT_TRUE(ShowsNumberBox(recap.averageBox, Format7(average), kRed));
  EXPECT_TRUE(ShowsLabel(recap.averageLabel, "Average"));
  for (int k = 1; k <= 5; ++k) {
    // Left to right: Game 5 down to Game 1.
    EXPECT_TRUE(ShowsNumberBox(recap.recapBox[k - 1], Format7(scores[5 - k]), kRed)) << "box " << k;
    EXPECT_TRUE(ShowsLabel(recap.recapLabel[k - 1], "Game " + std::to_string(6 - k))) << "label " << k;
  }
  EXPECT_EQ(host->Pixel(recap.recapBox[0].left, recap.recapBox[0].top), kRed);
  EXPECT_EQ(host->Pixel(recap.averageBox.right - 1, recap.averageBox.bottom - 1), kRed);

  // A paint in the set-over state draws the recap again over the board.
  view->Paint();
  EXPECT_TRUE(ShowsNumberBox(recap.averageBox, Format7(average), kRed));
  EXPECT_TRUE(ShowsNumberBox(recap.recapBox[4], Format7(scores[0]), kRed));
  EXPECT_EQ(view->Game(), 4);
  EXPECT_TRUE(view->Resting());
}

INSTANTIATE_TEST_SUITE_P(
    Scores, RecapTest,
    ::testing::Values(std::make_pair(std::vector<int>{0, 0, 0, 0, 0}, 10),   // all 10
                      std::make_pair(std::vector<int>{0, 0, 0, 0, 1}, 8),    // 40 in all: rounded up
                      std::make_pair(std::vector<int>{1, 1, 1, 1, 1}, 0),    // 0 in all
                      std::make_pair(std::vector<int>{0, 1, 2, 0, 4}, -3)));  // -20: toward zero

TEST_F(SetTest, NewSetBoxIsYellowWithOneLetterALine) {
  DealInOrder();
  PlaySet({0, 0, 0, 0, 0});
  const RECT box = view->NewSetBox();
  const int cw = view->CharSize().cx;
  const int h = view->CharSize().cy;
  EXPECT_EQ(box.left, cw);
  EXPECT_EQ(box.right, 3 * cw);
  EXPECT_EQ(box.top, 330 - 31 * h / 2);
  EXPECT_EQ(box.bottom, box.top + 31 * h);
  for (int x = box.left; x < box.right; ++x) {
    EXPECT_EQ(host->Pixel(x, box.top), kYellow);
    EXPECT_EQ(host->Pixel(x, box.bottom - 1), kYellow);
  }
  for (int y = box.top; y < box.bottom; ++y) {
    EXPECT_EQ(host->Pixel(box.left, y), kYellow);
    EXPECT_EQ(host->Pixel(box.right - 1, y), kYellow);
  }

  const std::string words = "CLICK HERE TO PLAY ANOTHER SET";
  ASSERT_EQ(words.size(), 30u);
  for (int m = 0; m < 30; ++m) {
    const RECT line = MakeRect(box.left, box.top + h / 2 + m * h, box.right, box.top + h / 2 + (m + 1) * h);
    const RECT inner = MakeRect(line.left + 1, line.top, line.right - 1, line.bottom);
    if (words[m] == ' ') {
      EXPECT_FALSE(HasDarkPixel(inner)) << "blank line " << m;
    } else {
      EXPECT_TRUE(HasDarkPixel(inner)) << "line " << m;
      EXPECT_TRUE(Shows(line, std::string(1, words[m]), DT_SINGLELINE | DT_VCENTER | DT_CENTER, nullptr, &inner))
          << "line " << m << " should show " << words[m];
    }
  }
  // Half a line is left free above the first letter and below the last.
  EXPECT_FALSE(HasDarkPixel(MakeRect(box.left + 1, box.top + 1, box.right - 1, box.top + h / 2)));
  EXPECT_FALSE(HasDarkPixel(MakeRect(box.left + 1, box.top + h / 2 + 30 * h, box.right - 1, box.bottom - 1)));
}

class NewSetClickTest : public SetTest, public ::testing::WithParamInterface<int> {};

TEST_P(NewSetClickTest, ClickOnTheNewSetBoxIncludingItsEdgesStartsANewSet) {
  PlaySet({0, 1, 0, 2, 0});
  const RECT box = view->NewSetBox();
  const CPoint corners[4] = {{box.right, box.bottom}, {box.left, box.top}, {box.right, box.top},
                             {box.left, box.bottom}};
  const CPoint corner = corners[GetParam()];
  // One pixel further out is nothing.
  ExpectIgnored(CPoint(corner.x + (corner.x == box.right ? 1 : -1), corner.y), "beside the box");
  ExpectIgnored(CPoint(corner.x, corner.y + (corner.y == box.bottom ? 1 : -1)), "above or below the box");

  const std::vector<int> oldDeal(view->Arrangements(), view->Arrangements() + 12);
  const std::vector<int> oldScores(view->GameScores(), view->GameScores() + 5);
  host->AdvanceTime(60);
  host->ClearRecords();
  Click(corner);
  ExpectNewSetStarted(oldDeal);
  // Until they are played again the old games keep their scores.
  EXPECT_EQ(view->GameScores()[0], 10);
  for (int g = 1; g < 5; ++g) EXPECT_EQ(view->GameScores()[g], oldScores[g]);

  // The new set is played like the first.
  EndGameByTimeOut();
  EndRest();
  EXPECT_EQ(view->Game(), 1);
}

INSTANTIATE_TEST_SUITE_P(Corners, NewSetClickTest, ::testing::Values(0, 1, 2, 3));

TEST_F(SetTest, NewSetBoxIsNotThereBeforeTheFifthGameEnds) {
  FirstPaint();
  const RECT box = view->NewSetBox();
  for (int game = 0; game < 4; ++game) {
    EndGameByTimeOut();
    ExpectIgnored(NewSetBoxCentre(), "the box's place during an early rest");
    ExpectIgnored(CPoint(box.right, box.bottom), "the box's corner during an early rest");
    EndRest();
  }
  EXPECT_EQ(view->Game(), 4);
}

TEST_F(SetTest, OtherClicksAfterTheRecapChangeNothing) {
  DealInOrder();
  PlaySet({0, 0, 0, 0, 0});
  ExpectIgnored(ZoneCentre(1, 0), "an arrow");
  ExpectIgnored(CPoint(view->BlockRects()[5].left + 40, view->BlockRects()[5].top + 40), "a block");
  ExpectIgnored(CPoint(500, 650), "the recap row");
  ExpectIgnored(CPoint(5, 5), "the corner");
}

TEST_F(SetTest, NewSetClickDuringTheFinalRestStartsTheSetBeforeTheRecap) {
  PlaySetToFinalRest({0, 0, 1, 0, 0});
  const std::vector<int> oldDeal(view->Arrangements(), view->Arrangements() + 12);
  host->ClearRecords();
  Click(NewSetBoxCentre());
  ExpectNewSetStarted(oldDeal);
  // The rest timer was not stopped: each of its events is one more tick.
  EXPECT_TRUE(host->TimerRunning(2));
  host->AdvanceTime(2);
  EXPECT_TRUE(host->FireTimer(2));
  EXPECT_EQ(view->TimeLeftText(), "01:43");
  EXPECT_FALSE(view->Resting());
  EXPECT_EQ(view->Game(), 0);
  EXPECT_TRUE(AllPixels(Recap().averageBox, kGrey));
}

TEST_F(SetTest, WithoutASoundDeviceTheNoticeIsShownOnce) {
  host->SetSoundDevice(false);
  DealInOrder();
  FirstPaint();
  // The opening sound is waited for and fails in silence.
  ASSERT_EQ(host->Sounds().size(), 1u);
  EXPECT_FALSE(host->Sounds()[0].played);
  EXPECT_TRUE(host->MessageBoxes().empty());
  EXPECT_TRUE(view->ClockRunning());

  ClickZone(6, 2);  // the match bell
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].text, kNoSound);
  EXPECT_EQ(host->MessageBoxes()[0].caption, "Quadrilex");
  EXPECT_EQ(view->BlockStates()[6], 2);  // the game goes on

  ClickZone(7, 0);  // another bell
  ClickOffArrow(1);  // the dissolve's sound
  EndGameByTimeOut();  // the end-of-game bell
  EndRest();           // chime and opening sound, both waited for
  EXPECT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(view->Game(), 1);
}

TEST_F(SetTest, SecondFailureWhileTheNoticeIsOpenShowsASecondNotice) {
  host->SetSoundDevice(false);
  DealInOrder();
  FirstPaint();
  bool first = true;
  host->WhileMessageBoxOpen([&](const CTestHost::MessageBoxCall&) {
    if (!first) return;
    first = false;
    // The game's time runs out while the player reads the notice.
    host->AdvanceTime(105);
    host->FireTimer(1);
  });
  ClickZone(6, 2);
  ASSERT_EQ(host->MessageBoxes().size(), 2u);
  EXPECT_EQ(host->MessageBoxes()[0].text, kNoSound);
  EXPECT_EQ(host->MessageBoxes()[1].text, kNoSound);
  EXPECT_TRUE(view->Resting());

  // Once closed, it is not shown again.
  EndRest();
  ClickZone(6, 2);
  EXPECT_EQ(host->MessageBoxes().size(), 2u);
}

TEST_F(SetTest, ResizeAfterTheRecapMovesTheRecapAndTheNewSetBox) {
  DealInOrder();
  PlaySet({0, 1, 0, 0, 0});
  const RECT oldBox = view->NewSetBox();
  host->SetClientSize(1200, 800);
  view->Paint();
  EXPECT_TRUE(host->MessageBoxes().empty());
  EXPECT_TRUE(view->Resting());
  EXPECT_EQ(view->Game(), 4);
  EXPECT_EQ(view->FontHeight(), 20);

  const quadrilex::RecapLayout recap = Recap();
  EXPECT_EQ(recap.averageBox.bottom, 798);
  EXPECT_TRUE(ShowsNumberBox(recap.averageBox, Format7(8), kRed));
  EXPECT_TRUE(ShowsNumberBox(recap.recapBox[3], Format7(0), kRed));
  EXPECT_TRUE(ShowsLabel(recap.recapLabel[3], "Game 2"));
  const RECT box = view->NewSetBox();
  EXPECT_EQ(box.top, 400 - 31 * view->CharSize().cy / 2);
  EXPECT_EQ(host->Pixel(box.left, box.top), kYellow);
  EXPECT_EQ(host->Pixel(box.right - 1, box.bottom - 1), kYellow);
  ASSERT_NE(box.bottom, oldBox.bottom);

  // The box answers where it now stands.
  const std::vector<int> oldDeal(view->Arrangements(), view->Arrangements() + 12);
  host->SetRandomSequence({});
  host->ClearRecords();
  Click(CPoint(box.right, box.bottom));
  EXPECT_EQ(view->Game(), 0);
  EXPECT_FALSE(view->Resting());
  EXPECT_EQ(view->BlockRects()[0], MakeRect(250, 141, 410, 301));
  EXPECT_NE(std::vector<int>(view->Arrangements(), view->Arrangements() + 12), oldDeal);
}
