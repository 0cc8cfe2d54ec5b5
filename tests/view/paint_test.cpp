// The paint procedure: the first paint of a set (title, size check, opening
// animation and sound, the board), repaints during play, and paints after the
// client area has changed size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "tests/view/view_fixture.h"

using namespace view_test;

namespace {

const char* const kTooSmall =
    "Program Abort: This game will not run unless the screen is at least 1024 wide and 720 high.";

std::string LocalDate(std::time_t t) {
  std::tm local{};
  localtime_r(&t, &local);
  char text[128];
  const std::size_t n = std::strftime(text, sizeof text, "%c", &local);
  return std::string(text, n);
}

struct Segment {
  COLORREF colour;
  double x0, y0, x1, y1;
};

// The 18 lines of the opening animation for a client area of w by h: each
// starts where the previous one ended unless it moves first.
std::vector<Segment> AnimationSegments(int w, int h) {
  struct Row {
    COLORREF colour;
    bool move;
    int mx, my, x, y;
  };
  const Row rows[] = {
      {kRed, true, 0, 0, w, h / 2},           {kGreen, false, 0, 0, 0, h},
      {kBlue, false, 0, 0, w / 2, 0},         {kYellow, false, 0, 0, w, h},
      {kRed, false, 0, 0, 0, h / 2},          {kBlue, false, 0, 0, w, 0},
      {kGreen, false, 0, 0, 3 * w / 4, h},    {kBlack, false, 0, 0, w / 4, 0},
      {kMagenta, false, 0, 0, w, h / 4},      {kRed, false, 0, 0, 0, 3 * h / 4},
      {kYellow, true, 0, 0, w / 4, h},        {kGreen, false, 0, 0, 3 * w / 4, 0},
      {kRed, true, 0, h, w / 4, 0},           {kBlue, false, 0, 0, 0, h / 4},
      {kGreen, false, 0, 0, w / 2, h},        {kYellow, false, 0, 0, w, 0},
      {kBlack, true, 3 * w / 4, 0, w, 3 * h / 4}, {kYellow, false, 0, 0, 0, 3 * h / 4},
  };
  std::vector<Segment> segments;
  double x = 0, y = 0;
  for (const Row& r : rows) {
    if (r.move) {
      x = r.mx;
      y = r.my;
    }
    segments.push_back({r.colour, x, y, double(r.x), double(r.y)});
    x = r.x;
    y = r.y;
  }
  return segments;
}

double DistanceToSegment(const Segment& s, double px, double py) {
  const double dx = s.x1 - s.x0, dy = s.y1 - s.y0;
  double t = ((px - s.x0) * dx + (py - s.y0) * dy) / (dx * dx + dy * dy);
  t = std::max(0.0, std::min(1.0, t));
  return std::hypot(px - (s.x0 + t * dx), py - (s.y0 + t * dy));
}

}  // namespace

TEST_F(ViewTest, OpeningAnimationIsOnScreenWhileTheOpeningSoundPlays) {
  QImage atSound;
  bool tickRunningAtSound = true;
  host->OnSound([&](UINT id, bool) {
    if (id == 154 && atSound.isNull()) {
      atSound = Snapshot();
      tickRunningAtSound = host->TimerRunning(1);
    }
  });
  FirstPaint();
  ASSERT_FALSE(atSound.isNull());
  EXPECT_FALSE(tickRunningAtSound);

  // Each line shows in its own colour along its length (a few points may lie
  // where a later line crosses it).
  const std::vector<Segment> lines = AnimationSegments(1016, 660);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Segment& s = lines[i];
    int seen = 0;
    for (int k = 1; k < 20; ++k) {
      const int x = static_cast<int>(std::lround(s.x0 + (s.x1 - s.x0) * k / 20));
      const int y = static_cast<int>(std::lround(s.y0 + (s.y1 - s.y0) * k / 20));
      bool found = false;
      for (int ny = y - 1; ny <= y + 1 && !found; ++ny)
        for (int nx = x - 1; nx <= x + 1 && !found; ++nx)
          if (nx >= 0 && ny >= 0 && nx < 1016 && ny < 660 && Pixel(atSound, nx, ny) == s.colour) found = true;
      if (found) ++seen;
    }
    EXPECT_GE(seen, 16) << "line " << i + 1;
  }
  // The last line runs across the whole client area at three quarters of its height.
  for (int x = 1; x < 1016; ++x) {
    ASSERT_EQ(Pixel(atSound, x, 495), kYellow) << x;
  }

  // Away from the lines there is only the grey ground: no blocks, no panel yet.
  for (int y = 0; y < 660; y += 7) {
    for (int x = 0; x < 1016; x += 7) {
      bool nearLine = false;
      for (const Segment& s : lines) nearLine = nearLine || DistanceToSegment(s, x, y) < 3.0;
      if (!nearLine) {
        ASSERT_EQ(Pixel(atSound, x, y), kGrey) << x << "," << y;
      }
    }
  }

  // The opening sound is waited for, and only then does the clock start.
  ASSERT_FALSE(host->Sounds().empty());
  EXPECT_EQ(host->Sounds()[0].id, 154u);
  EXPECT_TRUE(host->Sounds()[0].wait);
  const int sound = LogIndex("sound sync 154");
  const int timer = LogIndex("timer start 1 50");
  ASSERT_GE(sound, 0);
  EXPECT_GT(timer, sound);
  EXPECT_TRUE(view->ClockRunning());
  EXPECT_TRUE(view->FirstPaintDone());
  // The lines are gone once the board is painted.
  EXPECT_EQ(host->Pixel(600, 495), kGrey);
}

TEST_F(ViewTest, TitleCarriesTheDateOfTheLatestPaint) {
  FirstPaint();
  const std::string date = LocalDate(kStartOfTest);
  const std::string version = " -- Version J614 ";
  const std::string title = host->Title();
  EXPECT_EQ(title, view->Title());
  ASSERT_EQ(title.rfind("Quadrilex  ", 0), 0u) << title;
  ASSERT_GE(title.size(), date.size() + version.size());
  EXPECT_EQ(title.substr(title.size() - version.size()), version);
  EXPECT_EQ(title.substr(title.size() - version.size() - date.size(), date.size()), date);
  const std::string prefix = title.substr(0, title.size() - version.size() - date.size());
  EXPECT_EQ(prefix.substr(prefix.size() - 4), " -- ");
  EXPECT_NE(prefix.find("Copyright"), std::string::npos) << prefix;

  host->AdvanceTime(3 * 3600 + 7);
  view->Paint();
  EXPECT_EQ(host->Title(), prefix + LocalDate(kStartOfTest + 3 * 3600 + 7) + version);
}

TEST_F(ViewTest, FirstPaintShowsTheDealtPicturesInTheirPlaces) {
  FirstPaint();
  const RECT* blocks = view->BlockRects();
  EXPECT_EQ(blocks[0], MakeRect(158, 71, 318, 231));
  EXPECT_EQ(blocks[1], MakeRect(158, 251, 318, 411));
  EXPECT_EQ(blocks[2], MakeRect(158, 431, 318, 591));
  EXPECT_EQ(blocks[3], MakeRect(338, 71, 498, 231));
  EXPECT_EQ(blocks[11], MakeRect(698, 431, 858, 591));
  EXPECT_EQ(view->FontHeight(), 16);

  const std::vector<std::string> codes = AllCodes();
  std::vector<int> seen;
  for (int b = 0; b < quadrilex::kBlockCount; ++b) {
    const int a = view->Arrangements()[b];
    ASSERT_GE(a, 0);
    ASSERT_LT(a, 24);
    seen.push_back(a);
    EXPECT_TRUE(ShowsArrangement(b, a)) << "block " << b;
    EXPECT_EQ(ShapesOf(b), codes[a]) << "block " << b;
    EXPECT_EQ(view->BlockStates()[b], b == 0 ? 2 : 0);
    // Only the master is framed; the others show the picture's grey edge.
    EXPECT_TRUE(FrameIs(b, b == 0 ? kRed : kGrey)) << "block " << b;
  }
  std::sort(seen.begin(), seen.end());
  EXPECT_EQ(std::unique(seen.begin(), seen.end()), seen.end());

  // The ground between and around the blocks is grey.
  EXPECT_TRUE(AllPixels(MakeRect(318, 71, 338, 591), kGrey));
  EXPECT_TRUE(AllPixels(MakeRect(158, 591, 858, 620), kGrey));
  EXPECT_TRUE(AllPixels(MakeRect(860, 40, 1016, 630), kGrey));
}

TEST_F(ViewTest, RepaintShowsMatchedBlocksGreenAndLostBlocksGrey) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);  // "xcst": swapping the top pair gives the master's "cxst"
  ASSERT_EQ(view->BlockStates()[6], 2);
  ClickOffArrow(1);
  ASSERT_EQ(view->BlockStates()[1], 1);

  view->Paint();
  EXPECT_TRUE(FrameIs(6, kGreen));
  EXPECT_TRUE(ShowsArrangement(6, 0));
  EXPECT_TRUE(AllPixels(view->BlockRects()[1], kGrey));
  EXPECT_TRUE(FrameIs(0, kRed));  // the master is matched too, but framed red
  for (int b = 2; b < 12; ++b) {
    if (b == 6) continue;
    EXPECT_TRUE(FrameIs(b, kGrey)) << b;
    EXPECT_TRUE(ShowsArrangement(b, b)) << b;
  }
}

class TooSmallTest : public ViewTest, public ::testing::WithParamInterface<std::pair<int, int>> {};

TEST_P(TooSmallTest, ClientAreaBelowTheMinimumEndsTheProgramAfterTheMessage) {
  MakeView(GetParam().first, GetParam().second);
  EXPECT_EQ(view_test::ExitStatusOf([&] { FirstPaint(); }), 1);
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].text, kTooSmall);
  EXPECT_EQ(host->MessageBoxes()[0].caption, "Quadrilex");
  EXPECT_FALSE(host->Title().empty());
  EXPECT_TRUE(host->Sounds().empty());
  EXPECT_EQ(host->TimerStartCount(), 0);
  // Nothing was drawn: the surface is as the window gave it.
  const QImage& image = host->Image();
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      ASSERT_EQ(Pixel(image, x, y), RGB(255, 255, 255)) << x << "," << y;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Sizes, TooSmallTest,
                         ::testing::Values(std::make_pair(1015, 660), std::make_pair(1016, 659)));

TEST_F(ViewTest, SmallestAcceptedClientAreaStartsTheGame) {
  FirstPaint();
  EXPECT_TRUE(host->MessageBoxes().empty());
  EXPECT_TRUE(view->ClockRunning());
}

TEST_F(ViewTest, RepaintDuringPlayChangesNeitherBoardNorScores) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);                 // a match
  ClickZone(2, HarmlessZone(2));   // a plain move
  ClickOffArrow(4);                // a loss
  host->AdvanceTime(3);
  host->FireTimer(1);

  const std::vector<int> arrangements(view->Arrangements(), view->Arrangements() + 12);
  const std::vector<int> states(view->BlockStates(), view->BlockStates() + 12);
  const std::vector<int> clicks(view->ClickCounts(), view->ClickCounts() + 12);
  const std::vector<int> scores(view->GameScores(), view->GameScores() + 5);
  const int cost = view->ClickCost(), match = view->MatchPoints();
  const QImage before = Snapshot();
  const std::string title = host->Title();
  const int timerStarts = host->TimerStartCount();
  host->ClearRecords();

  view->Paint();
  EXPECT_EQ(std::vector<int>(view->Arrangements(), view->Arrangements() + 12), arrangements);
  EXPECT_EQ(std::vector<int>(view->BlockStates(), view->BlockStates() + 12), states);
  EXPECT_EQ(std::vector<int>(view->ClickCounts(), view->ClickCounts() + 12), clicks);
  EXPECT_EQ(std::vector<int>(view->GameScores(), view->GameScores() + 5), scores);
  EXPECT_EQ(view->ClickCost(), cost);
  EXPECT_EQ(view->MatchPoints(), match);
  EXPECT_TRUE(Snapshot() == before);
  EXPECT_TRUE(host->Sounds().empty());
  EXPECT_EQ(host->TimerStartCount(), timerStarts);

  // A later paint shows a later time in the title, and the same board.
  host->AdvanceTime(5);
  view->Paint();
  EXPECT_NE(host->Title(), title);
  EXPECT_EQ(std::vector<int>(view->Arrangements(), view->Arrangements() + 12), arrangements);
  EXPECT_EQ(std::vector<int>(view->BlockStates(), view->BlockStates() + 12), states);
}

TEST_F(ViewTest, PaintAfterAResizeLaysTheBoardOutAgainAndPlayGoesOn) {
  DealInOrder();
  FirstPaint();
  ClickZone(6, 2);
  ClickZone(2, HarmlessZone(2));
  ClickOffArrow(4);
  const std::vector<int> arrangements(view->Arrangements(), view->Arrangements() + 12);
  const std::vector<int> states(view->BlockStates(), view->BlockStates() + 12);
  const int cost = view->ClickCost(), match = view->MatchPoints();
  const CTime start = view->StartTime();
  const SIZE smallChar = view->CharSize();

  host->SetClientSize(1200, 800);
  host->AdvanceTime(2);
  view->Paint();

  EXPECT_TRUE(host->MessageBoxes().empty());
  EXPECT_EQ(view->BlockRects()[0], MakeRect(250, 141, 410, 301));
  EXPECT_EQ(view->BlockRects()[11], MakeRect(790, 501, 950, 661));
  EXPECT_EQ(view->FontHeight(), 20);
  EXPECT_GT(view->CharSize().cy, smallChar.cy);
  const RECT box = view->NewSetBox();
  EXPECT_EQ(box.top, 400 - 31 * view->CharSize().cy / 2);
  EXPECT_EQ(box.bottom - box.top, 31 * view->CharSize().cy);

  EXPECT_EQ(std::vector<int>(view->Arrangements(), view->Arrangements() + 12), arrangements);
  EXPECT_EQ(std::vector<int>(view->BlockStates(), view->BlockStates() + 12), states);
  EXPECT_EQ(view->ClickCost(), cost);
  EXPECT_EQ(view->MatchPoints(), match);
  EXPECT_EQ(view->StartTime().GetTime(), start.GetTime());
  EXPECT_TRUE(view->ClockRunning());
  EXPECT_TRUE(host->TimerRunning(1));
  EXPECT_EQ(view->TimeLeftText(), "01:43");
  EXPECT_EQ(CountSounds(154), 1);  // no new opening

  EXPECT_TRUE(FrameIs(0, kRed));
  EXPECT_TRUE(FrameIs(6, kGreen));
  EXPECT_TRUE(AllPixels(view->BlockRects()[4], kGrey));
  EXPECT_TRUE(ShowsArrangement(3, 3));
  const quadrilex::PanelLayout panel = Panel();
  EXPECT_TRUE(ShowsNumberBox(panel.matchBox, Format4(match), kBlue));
  EXPECT_TRUE(ShowsNumberBox(panel.costBox, Format4(cost), kBlue));

  // The arrows answer at the new place.
  const int before = view->Arrangements()[3];
  ClickZone(3, 0);
  EXPECT_NE(view->Arrangements()[3], before);
  EXPECT_EQ(view->ClickCounts()[3], 1);
}

TEST_F(ViewTest, ShrinkBelowTheMinimumDuringPlayEndsTheProgram) {
  FirstPaint();
  host->SetClientSize(1016, 659);
  EXPECT_EQ(view_test::ExitStatusOf([&] { view->Paint(); }), 1);
  ASSERT_EQ(host->MessageBoxes().size(), 1u);
  EXPECT_EQ(host->MessageBoxes()[0].text, kTooSmall);
  EXPECT_EQ(host->MessageBoxes()[0].caption, "Quadrilex");
}

TEST_F(ViewTest, LongOpeningSoundHoldsTheFirstPaintAndTheClockStartsAfterIt) {
  host->SetSoundSeconds(154, 4);
  FirstPaint();
  EXPECT_EQ(view->StartTime().GetTime(), kStartOfTest + 4);
  EXPECT_EQ(view->TimeLeftText(), "01:45");
  EXPECT_EQ(view->SecondsLeft(), 105);
}
