// Where the board, the panel, the recap and the new-set box stand, and the
// lines of the opening animation.
#include "game/layout.h"

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>

// Rectangles read as (left, top, right, bottom) in failure messages.
static std::ostream& operator<<(std::ostream& os, const RECT& r) {
  return os << "(" << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ")";
}

namespace quadrilex {
namespace {

// A fixed-pitch stand-in for the game font: 7 pixels a letter, 16 high.
SIZE Measure(const char* text) {
  SIZE s;
  s.cx = 7 * static_cast<int>(std::strlen(text));
  s.cy = 16;
  return s;
}

SIZE CharSize(int cx, int cy) {
  SIZE s;
  s.cx = cx;
  s.cy = cy;
  return s;
}

TEST(ClientSize, SmallestAcceptedIs1016By660) {
  EXPECT_FALSE(ClientTooSmall(MakeRect(0, 0, 1016, 660)));
  EXPECT_TRUE(ClientTooSmall(MakeRect(0, 0, 1015, 660)));
  EXPECT_TRUE(ClientTooSmall(MakeRect(0, 0, 1016, 659)));
  EXPECT_FALSE(ClientTooSmall(MakeRect(0, 0, 1920, 1080)));
}

TEST(GameFont, FourPixelsPerHundredSixtyRows) {
  EXPECT_EQ(GameFontHeight(660), 16);
  EXPECT_EQ(GameFontHeight(799), 16);
  EXPECT_EQ(GameFontHeight(800), 20);
  EXPECT_EQ(GameFontHeight(959), 20);
  EXPECT_EQ(GameFontHeight(960), 24);
  EXPECT_EQ(GameFontHeight(1119), 24);
}

TEST(BoardLayout, SmallestClient) {
  const CPoint origin = BoardOrigin(1016, 660, 160, 180);
  EXPECT_EQ(origin.x, 158);
  EXPECT_EQ(origin.y, 71);
  RECT blocks[12];
  LayOutBlocks(origin, 160, 180, blocks);
  EXPECT_EQ(blocks[0], MakeRect(158, 71, 318, 231));
  EXPECT_EQ(blocks[1], MakeRect(158, 251, 318, 411));
  EXPECT_EQ(blocks[2], MakeRect(158, 431, 318, 591));
  EXPECT_EQ(blocks[3], MakeRect(338, 71, 498, 231));
  EXPECT_EQ(blocks[11], MakeRect(698, 431, 858, 591));
  for (int k = 0; k < 12; ++k) {
    EXPECT_EQ(blocks[k].left, 158 + 180 * (k / 3)) << "block " << k;
    EXPECT_EQ(blocks[k].top, 71 + 180 * (k % 3)) << "block " << k;
    EXPECT_EQ(blocks[k].Width(), 160);
    EXPECT_EQ(blocks[k].Height(), 160);
  }
}

TEST(BoardLayout, CentredAcrossAndOnePixelBelowTheMiddle) {
  CPoint origin = BoardOrigin(1280, 1024, 160, 180);
  EXPECT_EQ(origin.x, 290);  // (1280 - 700) / 2
  EXPECT_EQ(origin.y, 253);  // (1024 - 520) / 2 + 1
  origin = BoardOrigin(1017, 661, 160, 180);  // odd sizes truncate
  EXPECT_EQ(origin.x, 158);
  EXPECT_EQ(origin.y, 71);
}

TEST(PanelLayout, LabelsAndBoxesAlongTheTop) {
  // cw = 7: boxes start 3 pixels after their label, labels 14 after the box before.
  const PanelLayout p = LayOutPanel(CharSize(7, 16), Measure, kMinClientWidth);
  EXPECT_EQ(p.timeLabel, MakeRect(7, 2, 70, 18));     // "Time Left", 9 letters
  EXPECT_EQ(p.timeBox, MakeRect(73, 2, 122, 18));     // "00:::00", 7
  EXPECT_EQ(p.matchLabel, MakeRect(136, 2, 213, 18)); // "Match Score", 11
  EXPECT_EQ(p.matchBox, MakeRect(216, 2, 258, 18));   // "333333", 6
  EXPECT_EQ(p.costLabel, MakeRect(272, 2, 342, 18));  // "Click Cost", 10
  EXPECT_EQ(p.costBox, MakeRect(345, 2, 380, 18));    // "33333", 5
  EXPECT_EQ(p.bonusLabel, MakeRect(394, 2, 429, 18)); // "Bonus", 5
  EXPECT_EQ(p.bonusBox, MakeRect(432, 2, 488, 18));   // "33333333", 8
  EXPECT_EQ(p.netLabel, MakeRect(502, 2, 565, 18));   // "Net Score", 9
  EXPECT_EQ(p.netBox, MakeRect(568, 2, 624, 18));     // "33333333", 8
  EXPECT_EQ(p.gameLabel, MakeRect(638, 2, 673, 18));  // "Game#", 5
  EXPECT_EQ(p.gameBox, MakeRect(676, 2, 690, 18));    // "33", 2
}

TEST(PanelLayout, HeightIsThatOfTimeLeftAndSpacingFollowsTheLetterW) {
  // A letter 10 wide and 17 high, but text measured 16 high: the panel takes
  // its height from "Time Left", its spacing from "W".
  const PanelLayout p = LayOutPanel(CharSize(10, 17), Measure, kMinClientWidth);
  EXPECT_EQ(p.timeLabel, MakeRect(10, 2, 73, 18));
  EXPECT_EQ(p.timeBox, MakeRect(78, 2, 127, 18));
  EXPECT_EQ(p.matchLabel, MakeRect(147, 2, 224, 18));
}

TEST(NewSetBox, ThirtyOneLinesCentredAtTheLeftEdge) {
  EXPECT_EQ(LayOutNewSetBox(CharSize(7, 16), 660), MakeRect(7, 82, 21, 578));
  // 31 * 17 = 527, half of it truncated to 263; 661 / 2 = 330.
  EXPECT_EQ(LayOutNewSetBox(CharSize(9, 17), 661), MakeRect(9, 67, 27, 594));
}

TEST(RecapLayout, AverageThenFiveGamesAlongTheBottom) {
  const RecapLayout r = LayOutRecap(CharSize(7, 16), 660, Measure, kMinClientWidth);
  EXPECT_EQ(r.averageLabel, MakeRect(7, 642, 56, 658));  // "Average", 7 letters
  EXPECT_EQ(r.averageBox, MakeRect(59, 642, 115, 658));  // "33333333", 8
  const int labelLeft[5] = {129, 244, 359, 474, 589};
  for (int s = 0; s < 5; ++s) {
    const int left = labelLeft[s];
    EXPECT_EQ(r.recapLabel[s], MakeRect(left, 642, left + 42, 658)) << "slot " << s + 1;  // "Game 5"
    EXPECT_EQ(r.recapBox[s], MakeRect(left + 45, 642, left + 101, 658)) << "slot " << s + 1;
  }
}

TEST(RecapLayout, RowHeightIsThatOfTheLetterW) {
  const RecapLayout r = LayOutRecap(CharSize(7, 20), 800, Measure, kMinClientWidth);
  EXPECT_EQ(r.averageLabel, MakeRect(7, 778, 56, 798));
  EXPECT_EQ(r.recapBox[4].top, 778);
  EXPECT_EQ(r.recapBox[4].bottom, 798);
}

TEST(RecapLayout, RowTooWideNarrowsItsSpacesThenOwnsUpWhenEvenThatIsNotEnough) {
  // Texts of 595 pixels; with the spaces of a 7-pixel letter the row ends at 690.
  const RecapLayout asEver = LayOutRecap(CharSize(7, 16), 660, Measure, kMinClientWidth);
  const RecapLayout atTheEdge = LayOutRecap(CharSize(7, 16), 660, Measure, 690);
  EXPECT_EQ(atTheEdge.recapBox[4], asEver.recapBox[4]);
  EXPECT_EQ(atTheEdge.averageLabel, asEver.averageLabel);
  EXPECT_TRUE(RecapFits(atTheEdge, 690));

  // 680 leaves 85 pixels for spaces: half a letter of 2, 4 at either end, and
  // the 25 left over spread as 5 more between each box and the next label.
  const RecapLayout narrowed = LayOutRecap(CharSize(7, 16), 660, Measure, 680);
  EXPECT_EQ(narrowed.averageLabel, MakeRect(4, 642, 53, 658));
  EXPECT_EQ(narrowed.averageBox, MakeRect(55, 642, 111, 658));
  for (int s = 0; s < 5; ++s) {
    const int left = 124 + 113 * s;
    EXPECT_EQ(narrowed.recapLabel[s], MakeRect(left, 642, left + 42, 658)) << "slot " << s + 1;
    EXPECT_EQ(narrowed.recapBox[s], MakeRect(left + 44, 642, left + 100, 658)) << "slot " << s + 1;
  }
  EXPECT_TRUE(RecapFits(narrowed, 680));

  // 640 leaves 45: not even the narrowest spaces fit, and the row says so.
  const RecapLayout tooWide = LayOutRecap(CharSize(7, 16), 660, Measure, 640);
  EXPECT_EQ(tooWide.recapBox[4].right, 651);
  EXPECT_FALSE(RecapFits(tooWide, 640));
}

TEST(PanelLayout, RowTooWideKeepsItsOrderWithNarrowedSpaces) {
  // Texts of 595 pixels again, standard end 690; 670 leaves 75 for spaces.
  const PanelLayout p = LayOutPanel(CharSize(7, 16), Measure, 670);
  const RECT row[] = {p.timeLabel, p.timeBox, p.matchLabel, p.matchBox, p.costLabel, p.costBox,
                      p.bonusLabel, p.bonusBox, p.netLabel, p.netBox, p.gameLabel, p.gameBox};
  EXPECT_EQ(row[0].left, 4);
  for (int i = 1; i < 12; ++i) EXPECT_GE(row[i].left, row[i - 1].right + 2) << "rectangle " << i;
  EXPECT_TRUE(PanelFits(p, 670));
  EXPECT_EQ(p.gameBox.right, 670 - 4);
}

struct ExpectedLine {
  COLORREF colour;
  bool moveFirst;
  int moveX, moveY, x, y;
};

void CheckAnimation(int w, int h, const ExpectedLine (&expected)[18]) {
  AnimationLine lines[kAnimationLineCount];
  OpeningAnimation(w, h, lines);
  for (int i = 0; i < 18; ++i) {
    const ExpectedLine& e = expected[i];
    SCOPED_TRACE(testing::Message() << "line " << i + 1);
    EXPECT_EQ(lines[i].colour, e.colour);
    EXPECT_EQ(lines[i].moveFirst, e.moveFirst);
    if (e.moveFirst) {
      EXPECT_EQ(lines[i].moveTo.x, e.moveX);
      EXPECT_EQ(lines[i].moveTo.y, e.moveY);
    }
    EXPECT_EQ(lines[i].lineTo.x, e.x);
    EXPECT_EQ(lines[i].lineTo.y, e.y);
  }
}

constexpr COLORREF kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;
constexpr COLORREF kYellow = 0x00FFFF, kBlack = 0x000000, kMagenta = 0xFF00FF;

TEST(OpeningAnimation, EighteenLinesOnTheSmallestClient) {
  // W = 1016, H = 660: halves 508 and 330, quarters 254 and 165, three
  // quarters 762 and 495.
  const ExpectedLine expected[18] = {
      {kRed, true, 0, 0, 1016, 330},    {kGreen, false, 0, 0, 0, 660},   {kBlue, false, 0, 0, 508, 0},
      {kYellow, false, 0, 0, 1016, 660}, {kRed, false, 0, 0, 0, 330},     {kBlue, false, 0, 0, 1016, 0},
      {kGreen, false, 0, 0, 762, 660},  {kBlack, false, 0, 0, 254, 0},   {kMagenta, false, 0, 0, 1016, 165},
      {kRed, false, 0, 0, 0, 495},      {kYellow, true, 0, 0, 254, 660}, {kGreen, false, 0, 0, 762, 0},
      {kRed, true, 0, 660, 254, 0},     {kBlue, false, 0, 0, 0, 165},    {kGreen, false, 0, 0, 508, 660},
      {kYellow, false, 0, 0, 1016, 0},  {kBlack, true, 762, 0, 1016, 495}, {kYellow, false, 0, 0, 0, 495},
  };
  CheckAnimation(1016, 660, expected);
}

TEST(OpeningAnimation, ThreeQuartersAreTakenOfTheWholeSize) {
  // W = 1019, H = 663: (3 * 1019) / 4 = 764 and (3 * 663) / 4 = 497, not three
  // times the quarter (762 and 495).
  AnimationLine lines[kAnimationLineCount];
  OpeningAnimation(1019, 663, lines);
  EXPECT_EQ(lines[6].lineTo.x, 764);
  EXPECT_EQ(lines[9].lineTo.y, 497);
  EXPECT_EQ(lines[16].moveTo.x, 764);
  EXPECT_EQ(lines[16].lineTo.y, 497);
  EXPECT_EQ(lines[7].lineTo.x, 254);
  EXPECT_EQ(lines[8].lineTo.y, 165);
}

}  // namespace
}  // namespace quadrilex
