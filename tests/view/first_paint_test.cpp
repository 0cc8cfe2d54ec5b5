#include <gtest/gtest.h>

#include "tests/view/view_fixture.h"

TEST_F(ViewTest, FirstPaintShowsBoardWithRedMasterFrame) {
  FirstPaint();
  const RECT& master = view->BlockRects()[0];
  EXPECT_EQ(master.left, 158);
  EXPECT_EQ(host->Pixel(master.left, master.top), RGB(255, 0, 0));
  EXPECT_EQ(host->Pixel(master.right - 1, master.bottom - 1), RGB(255, 0, 0));
  EXPECT_EQ(host->Pixel(5, 300), RGB(128, 128, 128));
  EXPECT_NE(host->Title().find(" -- Version J614 "), std::string::npos);
}

