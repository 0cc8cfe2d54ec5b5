// The device context on a surface draws the pixels the game expects.
#include <gtest/gtest.h>

#include <QPainter>

#include "platform/game_font.h"
#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/surface.h"

namespace {

// A device context on a surface of its own.
class SurfaceDC : public CDC {
 public:
  explicit SurfaceDC(CSurface* surface) { AttachSurface(surface); }
};

class GdiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    surface.SetBackground(QColor(128, 128, 128));
    surface.Resize(200, 60);
  }
  QRgb At(int x, int y) const { return surface.Image().pixel(x, y) | 0xFF000000u; }

  CSurface surface;
};

TEST_F(GdiTest, TextIsTheSamePixelsAsQtDrawsInTheGameFont) {
  CFont font;
  font.CreateFont(16, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS,
                  PROOF_QUALITY, FIXED_PITCH, "Arial Bold");
  RECT box = MakeRect(10, 10, 190, 40);
  for (int pass = 0; pass < 2; ++pass) {  // the second draw comes from the kept picture
    SurfaceDC dc(&surface);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(&font);
    dc.DrawText("Time Left 01:45", &box, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }

  QImage expected(200, 60, CSurface::kFormat);
  expected.fill(QColor(128, 128, 128));
  {
    QPainter painter(&expected);
    painter.setFont(GameFont(16));
    painter.setPen(Qt::black);
    const QFontMetrics metrics(painter.font());
    const int width = metrics.horizontalAdvance(QStringLiteral("Time Left 01:45"));
    const int x = 10 + (180 - width) / 2;
    const int y = 10 + (30 - metrics.height()) / 2;
    painter.drawText(QPoint(x, y + metrics.ascent()), QStringLiteral("Time Left 01:45"));
  }
  int dark = 0;
  for (int y = 0; y < 60; ++y) {
    for (int x = 0; x < 200; ++x) {
      ASSERT_EQ(At(x, y), expected.pixel(x, y) | 0xFF000000u) << "at " << x << "," << y;
      if (qGray(expected.pixel(x, y)) < 64) ++dark;
    }
  }
  EXPECT_GT(dark, 50);  // the text is really there
}

TEST_F(GdiTest, RectangleOutlinesInThePenAndFillsWithTheBrush) {
  CPen blue;
  blue.CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
  CBrush white;
  white.CreateSolidBrush(RGB(255, 255, 255));
  {
    SurfaceDC dc(&surface);
    dc.SelectObject(&blue);
    dc.SelectObject(&white);
    const RECT rc = MakeRect(20, 10, 30, 16);
    dc.Rectangle(&rc);
  }
  EXPECT_EQ(At(20, 10), qRgb(0, 0, 255));
  EXPECT_EQ(At(29, 15), qRgb(0, 0, 255));
  EXPECT_EQ(At(21, 11), qRgb(255, 255, 255));
  EXPECT_EQ(At(28, 14), qRgb(255, 255, 255));
  EXPECT_EQ(At(30, 10), qRgb(128, 128, 128));  // right and bottom are exclusive
  EXPECT_EQ(At(20, 16), qRgb(128, 128, 128));
}

TEST_F(GdiTest, LinesStopShortOfTheirEndPointAndPixelsLandWhereSet) {
  CPen red;
  red.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  {
    SurfaceDC dc(&surface);
    dc.SelectObject(&red);
    dc.MoveTo(5, 5);
    dc.LineTo(15, 5);   // across
    dc.LineTo(15, 20);  // down
    dc.MoveTo(40, 40);
    dc.LineTo(50, 50);  // diagonal
    dc.SetPixel(100, 30, RGB(0, 255, 0));
    dc.SetPixel(500, 30, RGB(0, 255, 0));  // off the surface: nothing
  }
  EXPECT_EQ(At(5, 5), qRgb(255, 0, 0));
  EXPECT_EQ(At(14, 5), qRgb(255, 0, 0));
  EXPECT_EQ(At(15, 5), qRgb(255, 0, 0));  // drawn by the second line, from its start
  EXPECT_EQ(At(15, 19), qRgb(255, 0, 0));
  EXPECT_EQ(At(15, 20), qRgb(128, 128, 128));
  EXPECT_EQ(At(45, 45), qRgb(255, 0, 0));
  EXPECT_EQ(At(50, 50), qRgb(128, 128, 128));
  EXPECT_EQ(At(100, 30), qRgb(0, 255, 0));
}

// The aligned 2 by 2 squares of device pixels within device that are not all
// of one colour: none where a drawing was enlarged from the window's pixels.
int MixedSquares(const QImage& image, const QRect& device) {
  int mixed = 0;
  for (int y = device.top(); y < device.bottom(); y += 2) {
    for (int x = device.left(); x < device.right(); x += 2) {
      const QRgb c = image.pixel(x, y);
      mixed += (image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c) ? 1 : 0;
    }
  }
  return mixed;
}

// On a screen of two device pixels to the pixel, the text and the block
// pictures are drawn for the device's pixels, not enlarged from the window's.
TEST_F(GdiTest, AtTwiceTheDensityTextAndPicturesAreDrawnForTheDevicesPixels) {
  surface.Resize(400, 200, 2.0);
  CFont font;
  font.CreateFont(16, 0, 0, 0, FW_DONTCARE, 0, 0, 0, ANSI_CHARSET, OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS,
                  PROOF_QUALITY, FIXED_PITCH, "Arial Bold");
  CBitmap bitmap;
  ASSERT_TRUE(bitmap.LoadBitmap(130));
  {
    SurfaceDC dc(&surface);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(&font);
    RECT box = MakeRect(0, 0, 200, 30);
    dc.DrawText("Time Left", &box, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    memory.SelectObject(&bitmap);
    ASSERT_TRUE(dc.BitBlt(210, 30, 160, 160, &memory, 0, 0, SRCCOPY));
  }
  const QImage& image = surface.Image();
  EXPECT_GT(MixedSquares(image, QRect(0, 0, 400, 60)), 10) << "the text";
  // The picture made at twice the size goes on pixel for pixel.
  const QImage dense = LoadBitmapResource(130, 2).convertToFormat(CSurface::kFormat);
  EXPECT_EQ(image.copy(420, 60, 320, 320), dense);
}

}  // namespace
