// A view on the test host, with the helpers the view tests share.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "game/board.h"
#include "platform/testing/test_host.h"
#include "view/quadrilexd_view.h"

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeView(1016, 660); }

  void MakeView(int width, int height) {
    view.reset();
    host = std::make_unique<CTestHost>(width, height);
    view = std::make_unique<CQuadrilexdView>(*host);
    host->Attach(view.get());
  }

  // The first paint of the set: deal, layout, animation, opening sound, clock.
  void FirstPaint() { view->Paint(); }

  // The centre of arrow zone `zone` (0-based) of block `block`, in client pixels.
  CPoint ZoneCentre(int block, int zone) const {
    const RECT& b = view->BlockRects()[block];
    const RECT& z = view->ArrowZones()[zone];
    return CPoint(b.left + (z.left + z.right) / 2, b.top + (z.top + z.bottom) / 2);
  }

  std::unique_ptr<CTestHost> host;
  std::unique_ptr<CQuadrilexdView> view;
};
