// The score panel along the top and the recap along the bottom stay whole on
// the screen: every box and label inside the client width, in order, none over
// another, each text inside its rectangle; and where a row already fitted,
// its rectangles are exactly where they always were.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "tests/view/view_fixture.h"

namespace {

// One row, left to right, each rectangle with the widest text it must hold.
struct RowPiece {
  RECT rc;
  std::string text;
};

std::vector<RowPiece> PanelRow(const quadrilex::PanelLayout& p) {
  return {{p.timeLabel, "Time Left"},   {p.timeBox, "00:00"},       {p.matchLabel, "Match Score"},
          {p.matchBox, "99999"},        {p.costLabel, "Click Cost"}, {p.costBox, "9999"},
          {p.bonusLabel, "Bonus"},      {p.bonusBox, "1255800"},     {p.netLabel, "Net Score"},
          {p.netBox, "1255800"},        {p.gameLabel, "Game#"},      {p.gameBox, "5"}};
}

std::vector<RowPiece> RecapRow(const quadrilex::RecapLayout& r) {
  std::vector<RowPiece> row = {{r.averageLabel, "Average"}, {r.averageBox, "-1255800"}};
  for (int slot = 0; slot < quadrilex::kRecapSlots; ++slot) {
    row.push_back({r.recapLabel[slot], "Game 5"});
    row.push_back({r.recapBox[slot], "-1255800"});
  }
  return row;
}

std::uint64_t Checksum(const std::vector<RowPiece>& row) {
  std::uint64_t hash = 1469598103934665603ull;
  for (const RowPiece& piece : row) {
    for (long v : {piece.rc.left, piece.rc.top, piece.rc.right, piece.rc.bottom}) {
      hash = (hash ^ static_cast<std::uint64_t>(v)) * 1099511628211ull;
    }
  }
  return hash;
}

class RowFitTest : public ViewTest {
 protected:
  // Every rectangle inside the client width, left to right in order with a
  // gap before the next, and each text as measured in the row's font no wider
  // than its rectangle.
  void ExpectWhole(const std::vector<RowPiece>& row, int fontHeight, const char* what) {
    const int width = host->ClientRect().right;
    WithFont(fontHeight, [&](CDC& dc) {
      for (std::size_t i = 0; i < row.size(); ++i) {
        const RECT& rc = row[i].rc;
        EXPECT_GE(rc.left, 0) << what << " " << row[i].text;
        EXPECT_LE(rc.right, width) << what << " " << row[i].text;
        if (i > 0) {
          EXPECT_GT(rc.left, row[i - 1].rc.right) << what << " " << row[i].text;
        }
        EXPECT_LE(dc.GetTextExtent(row[i].text).cx, rc.right - rc.left) << what << " " << row[i].text;
      }
    });
  }
};

// The reference values were computed from the layout as it stood before rows
// too wide for the screen were fitted: where a row fits, it must not move.
TEST_F(RowFitTest, RowsThatFitStayWhereTheyAlwaysWere) {
  struct Reference {
    int width, height;
    std::uint64_t panel, recap;
  };
  for (const Reference& ref : {Reference{1016, 660, 0x9e73f5088537fe77ull, 0x86a72fdd01421044ull},
                               Reference{1920, 1080, 0x4e086275e219bec1ull, 0x6d8dc93425af5137ull}}) {
    MakeView(ref.width, ref.height);
    FirstPaint();
    EXPECT_EQ(Checksum(PanelRow(view->PanelRects())), ref.panel) << ref.width << "x" << ref.height;
    EXPECT_EQ(Checksum(RecapRow(view->RecapRects())), ref.recap) << ref.width << "x" << ref.height;
    EXPECT_EQ(view->PanelFontHeight(), view->FontHeight());
    EXPECT_EQ(view->RecapFontHeight(), view->FontHeight());
  }
}

// Client areas of a 1280x1024 screen (the recap ran 55 pixels off), a
// 1024x1060 screen (the panel ran 241 off), a 1080x1920 portrait screen (a
// 44-pixel font: both rows more than twice the width), and the narrowest
// client area at the top of the larger fonts.
TEST_F(RowFitTest, RowsTooWideForTheScreenAreFittedWholeInOrder) {
  const std::pair<int, int> sizes[] = {{1280, 970}, {1024, 1006}, {1080, 1866}, {1016, 1119}, {1016, 1599}, {1016, 2399}};
  for (const auto& size : sizes) {
    MakeView(size.first, size.second);
    FirstPaint();
    const std::string at = std::to_string(size.first) + "x" + std::to_string(size.second);
    ExpectWhole(PanelRow(view->PanelRects()), view->PanelFontHeight(), ("panel at " + at).c_str());
    ExpectWhole(RecapRow(view->RecapRects()), view->RecapFontHeight(), ("recap at " + at).c_str());
    // The panel is drawn where it is laid out, in its own font.
    const quadrilex::PanelLayout panel = view->PanelRects();
    EXPECT_TRUE(ShowsLabel(panel.gameLabel, "Game#", view->PanelFontHeight())) << at;
    EXPECT_TRUE(ShowsNumberBox(panel.gameBox, "1", view_test::kBlue, view->PanelFontHeight())) << at;
    EXPECT_TRUE(ShowsNumberBox(panel.netBox, "     10", view_test::kBlue, view->PanelFontHeight())) << at;
  }
  // Narrowing the spaces is enough for the recap of a 1280x1024 screen.
  MakeView(1280, 970);
  FirstPaint();
  EXPECT_EQ(view->RecapFontHeight(), view->FontHeight());
}

}  // namespace
