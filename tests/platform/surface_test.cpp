// The surface the game draws on: a new one is its background colour
// everywhere; a resize keeps what was drawn.
#include "platform/surface.h"

#include <gtest/gtest.h>

#include <QPainter>
#include <QTest>

#include "platform/view_window.h"

namespace {

const QColor kGround(128, 128, 128);

// Counts the pixels of the image that are not the colour.
int PixelsOtherThan(const QImage& image, const QColor& colour) {
  int other = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) other += image.pixelColor(x, y) != colour ? 1 : 0;
  }
  return other;
}

class SurfaceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    surface.SetBackground(kGround);
    surface.Resize(120, 80);
  }
  CSurface surface;
};

TEST_F(SurfaceTest, DrawingOnANewSurfaceLeavesTheBackgroundAroundIt) {
  {
    QPainter& painter = surface.AcquirePainter();
    painter.fillRect(QRect(10, 10, 5, 5), Qt::red);
    surface.ReleasePainter();
  }
  EXPECT_EQ(surface.Image().size(), QSize(120, 80));
  EXPECT_EQ(surface.Image().pixelColor(12, 12), QColor(Qt::red));
  EXPECT_EQ(PixelsOtherThan(surface.Image(), kGround), 25);
}

TEST_F(SurfaceTest, APixelWrittenOnANewSurfaceIsTheOnlyOneChanged) {
  ASSERT_TRUE(surface.WritePixel(3, 4, qRgb(0, 0, 255)));
  EXPECT_EQ(surface.Image().pixelColor(3, 4), QColor(0, 0, 255));
  EXPECT_EQ(PixelsOtherThan(surface.Image(), kGround), 1);
  EXPECT_FALSE(surface.WritePixel(120, 0, qRgb(0, 0, 255)));
}

TEST_F(SurfaceTest, ACopyOfTheImageKeepsItsPixelsWhenOneIsWrittenStraightIn) {
  const QImage before = surface.Image();
  ASSERT_TRUE(surface.WritePixel(3, 4, qRgb(0, 0, 255)));
  EXPECT_EQ(PixelsOtherThan(before, kGround), 0);
  EXPECT_EQ(surface.Image().pixelColor(3, 4), QColor(0, 0, 255));
  // The painter that the dissolve's device context keeps open draws on the
  // same pixels as the writes.
  QPainter& painter = surface.AcquirePainter();
  ASSERT_TRUE(surface.WritePixel(5, 6, qRgb(0, 0, 255)));
  painter.fillRect(QRect(20, 20, 2, 2), Qt::red);
  surface.ReleasePainter();
  EXPECT_EQ(PixelsOtherThan(surface.Image(), kGround), 6);
}

TEST_F(SurfaceTest, AResizeKeepsWhatWasDrawnAndFillsTheNewPartWithTheBackground) {
  ASSERT_TRUE(surface.WritePixel(119, 79, qRgb(255, 0, 0)));
  surface.Resize(150, 100);
  EXPECT_EQ(surface.Image().pixelColor(119, 79), QColor(255, 0, 0));
  EXPECT_EQ(PixelsOtherThan(surface.Image(), kGround), 1);
  surface.Resize(100, 50);  // smaller: the pixel is cut off
  EXPECT_EQ(PixelsOtherThan(surface.Image(), kGround), 0);
}

// The window a surface belongs to shows its first frame, before the game has
// drawn, in the background colour.
TEST(ViewWindowFirstFrame, ShowsTheBackground) {
  CViewWindow window(nullptr);
  window.SetBackground(RGB(128, 128, 128));
  window.resize(300, 200);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QImage frame = window.grab().toImage();
  EXPECT_EQ(frame.size(), QSize(300, 200));
  EXPECT_EQ(PixelsOtherThan(frame.convertToFormat(QImage::Format_RGB32), kGround), 0);
}

}  // namespace
