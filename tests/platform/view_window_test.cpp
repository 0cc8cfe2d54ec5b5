// The view window's paints of the game on Qt's offscreen platform: a paint
// asked for while another is held open is run once, after it. And the scale
// the game draws at on a window of a given size.
#include "platform/view_window.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QTest>

#include "platform/view_base.h"

namespace {

// A view whose first paint holds the thread in a modal loop, as a message box
// does, and asks for another paint while it is held.
class CHoldingView : public CView {
 public:
  explicit CHoldingView(CViewWindow& window) : CView(window), m_window(window) {}

  void OnDraw(CDC*) override {
    ++m_nPaints;
    if (m_nPaints > 1) return;
    m_window.RequestGamePaint();
    for (int pass = 0; pass < kHeldPasses; ++pass) QCoreApplication::processEvents();
  }
  void OnLButtonDown(UINT, CPoint) override {}
  void OnTimer(UINT) override {}
  void OnKeyDown(UINT, UINT, UINT) override {}
  void OnUpdateFilePrint(CCmdUI*) override {}
  BOOL OnPreparePrinting(CPrintInfo*) override { return FALSE; }
  void OnBeginPrinting(CDC*, CPrintInfo*) override {}
  void OnPrint(CDC*, CPrintInfo*) override {}
  void OnEndPrinting(CDC*, CPrintInfo*) override {}

  static constexpr int kHeldPasses = 200;
  int m_nPaints = 0;

 private:
  CViewWindow& m_window;
};

// Counts the queued calls the window receives: each deferred paint is one.
class CQueuedCallCounter : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::MetaCall) ++m_nCalls;
    return false;
  }
  int m_nCalls = 0;
};

TEST(ViewWindowPaint, APaintAskedForWhileOneIsHeldIsPostedOnceAndRunsAfterIt) {
  CViewWindow window(nullptr);
  CHoldingView view(window);
  window.AttachView(&view);
  CQueuedCallCounter counter;
  window.installEventFilter(&counter);
  window.resize(300, 200);
  window.show();
  ASSERT_TRUE(QTest::qWaitFor([&view] { return view.m_nPaints >= 2; }, 5000));
  window.removeEventFilter(&counter);
  // Not one post for every pass of the held loop: the first paint's, the
  // request's own and the one made when the held paint ended.
  EXPECT_LE(counter.m_nCalls, 3);
  for (int pass = 0; pass < 10; ++pass) QCoreApplication::processEvents();
  EXPECT_EQ(view.m_nPaints, 2);
}

// The client area a 1920 by 1080 screen leaves the view under a caption and
// a menu bar, in device pixels, at any scale: the screen of a player whose
// desktop scales it by 100 % to 300 %.
TEST(GamePixels, AViewOnA1920By1080ScreenHoldsTheWholeGameAtEveryScale) {
  const QSize device(1920, 1080 - 96);
  for (const qreal scale : {1.0, 1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 3.0}) {
    SCOPED_TRACE(scale);
    const QSize logical(qRound(device.width() / scale), qRound(device.height() / scale));
    const GamePixels game = GamePixelsFor(logical, scale);
    EXPECT_GE(game.size.width(), 1016);
    EXPECT_GE(game.size.height(), 660);
    // Drawn no larger than Qt's scale, and on the view's device pixels.
    EXPECT_LE(game.ratio, scale);
    EXPECT_LE(game.size.width() * game.ratio, device.width() + 1);
    EXPECT_LE(game.size.height() * game.ratio, device.height() + 1);
  }
}

TEST(GamePixels, QtsOwnScaleWhereTheGameFitsAndNoneBelowOneDevicePixel) {
  // At Qt's scale where the game fits: every pixel as Qt draws it.
  const GamePixels fits = GamePixelsFor(QSize(1280, 980), 2.0);
  EXPECT_EQ(fits.ratio, 2.0);
  EXPECT_EQ(fits.size, QSize(1280, 980));
  // Where it fits at no scale, one game pixel to the device pixel: the view
  // then says the screen is too small.
  const GamePixels tooSmall = GamePixelsFor(QSize(500, 320), 2.0);
  EXPECT_EQ(tooSmall.ratio, 1.0);
  EXPECT_EQ(tooSmall.size, QSize(1000, 640));
}

}  // namespace
