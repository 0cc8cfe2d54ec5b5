// The view window's paints of the game on Qt's offscreen platform: a paint
// asked for while another is held open is run once, after it.
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

}  // namespace
