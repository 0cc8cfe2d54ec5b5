// The board on screens of more than one device pixel to the window's pixel:
// the block pictures are drawn for the screen's density, and a screen of one
// device pixel to the pixel shows exactly the picture it always has.
#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QDir>
#include <cstdlib>
#include <vector>

#include "tests/view/view_fixture.h"

namespace {

using DensityTest = ViewTest;

// The first paint of a set dealt in order, at one device pixel to the pixel,
// as a SHA-256 of its pixels, recorded when the dense pictures came in. It
// changes only when the look of the game is changed on purpose; then record
// the new value from the failure message, after looking at the picture the
// failure leaves behind.
constexpr char kFirstPaintAtRatioOne[] = "32f03d0193225e14fb98f40566ad61c4932dd69cb6114a27951f0ab49564ae8a";

TEST_F(DensityTest, AtOneDevicePixelToThePixelAFullPaintIsThePictureItAlwaysWas) {
  DealInOrder();
  FirstPaint();
  const QImage& image = host->Image();
  ASSERT_EQ(image.size(), QSize(1016, 660));
  const QByteArray digest =
      QCryptographicHash::hash(QByteArrayView(image.constBits(), image.sizeInBytes()), QCryptographicHash::Sha256)
          .toHex();
  if (digest != kFirstPaintAtRatioOne) {
    const QString kept = QDir::temp().filePath(QStringLiteral("quadrilex_first_paint.png"));
    image.save(kept);
    ADD_FAILURE() << "the first paint is " << digest.toStdString() << ", see " << kept.toStdString();
  }
}

// The left edge of the disc in each device row of its box: the first blue
// pixel from the left, found in the block's device pixels.
std::vector<int> DiscLeftEdges(const QImage& image, const QRect& block) {
  const QRgb blue = qRgb(0, 0, 255);
  QRect disc;
  for (int y = block.top(); y <= block.bottom(); ++y) {
    for (int x = block.left(); x <= block.right(); ++x) {
      if (image.pixel(x, y) == blue) disc |= QRect(x, y, 1, 1);
    }
  }
  std::vector<int> edges;
  for (int y = disc.top(); y <= disc.bottom(); ++y) {
    int x = disc.left();
    while (x <= disc.right() && image.pixel(x, y) != blue) ++x;
    edges.push_back(x - disc.left());
  }
  return edges;
}

TEST_F(DensityTest, AtTwoDevicePixelsToThePixelADiscsEdgeStepsByOneDevicePixel) {
  host->SetDevicePixelRatio(2.0);
  DealInOrder();
  FirstPaint();
  const QImage& image = host->Image();
  ASSERT_EQ(image.size(), QSize(2032, 1320));
  const RECT& b = view->BlockRects()[1];
  const std::vector<int> edges = DiscLeftEdges(image, QRect(2 * b.left, 2 * b.top, 2 * (b.right - b.left),
                                                            2 * (b.bottom - b.top)));
  ASSERT_EQ(edges.size(), 96u) << "a disc 48 pixels across, in device pixels";
  // Along the steep middle half of the edge, an enlarged picture moves in
  // steps of two device pixels every two rows; one drawn for the screen moves
  // by at most one, and does so again and again.
  int singleSteps = 0;
  for (std::size_t row = 25; row < 72; ++row) {
    const int step = std::abs(edges[row] - edges[row - 1]);
    EXPECT_LE(step, 1) << "device row " << row << " of the disc";
    singleSteps += step == 1 ? 1 : 0;
  }
  EXPECT_GE(singleSteps, 8);
}

}  // namespace
