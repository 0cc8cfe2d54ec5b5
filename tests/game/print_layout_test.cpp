// The printed page's font height: kept where the page is whole at it, else the
// largest smaller height at which the heading and the body are whole.
#include "game/print_layout.h"

#include <gtest/gtest.h>

namespace quadrilex {
namespace {

// A page that is whole at every height up to `largestWhole` and loses text above.
auto WholeUpTo(int largestWhole) {
  return [largestWhole](int height) { return height >= 1 && height <= largestWhole; };
}

TEST(FitPrintFontHeightTest, KeepsTheLayoutsHeightWhereThePageIsWholeAtIt) {
  EXPECT_EQ(FitPrintFontHeight(59, WholeUpTo(59)), 59);
  EXPECT_EQ(FitPrintFontHeight(59, WholeUpTo(500)), 59) << "the font never grows past the layout's";
}

TEST(FitPrintFontHeightTest, TakesTheLargestSmallerHeightAtWhichThePageIsWhole) {
  for (int layoutHeight : {2, 59, 256}) {
    for (int largestWhole = 1; largestWhole < layoutHeight; ++largestWhole) {
      EXPECT_EQ(FitPrintFontHeight(layoutHeight, WholeUpTo(largestWhole)), largestWhole)
          << "layout height " << layoutHeight;
    }
  }
}

TEST(FitPrintFontHeightTest, KeepsTheLayoutsHeightWhereNoHeightIsWhole) {
  // Nothing to gain from a smaller font: the body is clipped to its block as it always was.
  EXPECT_EQ(FitPrintFontHeight(59, [](int) { return false; }), 59);
}

}  // namespace
}  // namespace quadrilex
