// A view on the test host, with the helpers the view tests share: deals chosen
// by the test, clicks by block and arrow, whole-image and per-pixel checks, the
// panel and recap rectangles measured in the fonts of their rows, and a way to tell which
// text a box or label shows by drawing the expected text on a scratch surface.
#pragma once

#include <gtest/gtest.h>

#include <QImage>
#include <algorithm>
#include <ctime>
#include <set>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "game/board.h"
#include "tests/support/rules_model.h"
#include "game/layout.h"
#include "game/moves.h"
#include "platform/gdi.h"
#include "platform/resources.h"
#include "platform/surface.h"
#include "tests/support/test_host.h"
#include "view/quadrilexd_view.h"

namespace view_test {

constexpr COLORREF kGrey = RGB(128, 128, 128);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kMagenta = RGB(255, 0, 255);

constexpr std::time_t kStartOfTest = 1000000000;

// The 24 codes in the game's order, from the tests' own model of the rules.
inline std::vector<std::string> AllCodes() { return rules_model::AllCodes(); }

inline COLORREF ShapeColour(char letter) {
  switch (letter) {
    case 'c':
      return kBlue;
    case 'x':
      return kGreen;
    case 's':
      return kYellow;
    default:
      return kRed;
  }
}

// The generator values that make the deal give block b the arrangement
// arrangements[b]; the draws after the twelfth take whatever is first.
inline std::vector<int> SequenceFor(const std::vector<int>& arrangements) {
  std::vector<int> pool;
  for (int i = 0; i < quadrilex::kArrangementCount; ++i) pool.push_back(i);
  std::vector<int> sequence;
  for (int a : arrangements) {
    const auto at = std::find(pool.begin(), pool.end(), a);
    sequence.push_back(static_cast<int>(at - pool.begin()));
    pool.erase(at);
  }
  while (sequence.size() < static_cast<std::size_t>(quadrilex::kArrangementCount)) sequence.push_back(0);
  return sequence;
}

// A device context on a surface of the test's own.
class ScratchDC : public CDC {
 public:
  explicit ScratchDC(CSurface& surface) { AttachSurface(&surface); }
  ~ScratchDC() override { Detach(); }
};

inline bool ContainsRect(const RECT& outer, const RECT& inner) {
  return outer.left <= inner.left && outer.top <= inner.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

// Runs the action and gives the status the program ended with during it, or
// -1 when the program went on.
inline int ExitStatusOf(const std::function<void()>& action) {
  try {
    action();
  } catch (const TestProcessExit& e) {
    return e.status;
  }
  return -1;
}

}  // namespace view_test

class ViewTest : public ::testing::Test {
 protected:
  void SetUp() override { MakeView(1016, 660); }

  void MakeView(int width, int height) {
    view.reset();
    host = std::make_unique<CTestHost>(width, height);
    host->SetTime(view_test::kStartOfTest);
    view = std::make_unique<CQuadrilexdView>(*host);
    host->Attach(view.get());
  }

  // The first paint of the set: deal, layout, animation, opening sound, clock.
  void FirstPaint() { view->Paint(); }

  // Block b holds arrangement b (the generator always answers 0).
  void DealInOrder() { host->SetRandomSequence({0}); }
  void DealArrangements(const std::vector<int>& arrangements) {
    host->SetRandomSequence(view_test::SequenceFor(arrangements));
  }

  // ---- clicks ----

  // The centre of arrow zone `zone` (0-based) of block `block`, in client pixels.
  CPoint ZoneCentre(int block, int zone) const {
    const RECT& b = view->BlockRects()[block];
    const RECT& z = view->ArrowZones()[zone];
    return CPoint(b.left + (z.left + z.right) / 2, b.top + (z.top + z.bottom) / 2);
  }
  void Click(CPoint point) { view->OnLButtonDown(0, point); }
  void ClickZone(int block, int zone) { Click(ZoneCentre(block, zone)); }
  // The middle of the top-left shape: inside the block, off every arrow.
  void ClickOffArrow(int block) {
    const RECT& b = view->BlockRects()[block];
    Click(CPoint(b.left + 40, b.top + 40));
  }

  // True when the block's arrangement is held by no other block in play.
  bool FreeArrangement(int block, int arrangement) const {
    for (int other = 0; other < quadrilex::kBlockCount; ++other) {
      if (other == block || view->BlockStates()[other] == quadrilex::kStateLost) continue;
      if (view->Arrangements()[other] == arrangement) return false;
    }
    return true;
  }

  // A zone whose move leaves the block unlike every other block in play.
  int HarmlessZone(int block) const {
    for (int zone = 0; zone < quadrilex::kArrowZoneCount; ++zone) {
      if (FreeArrangement(block, quadrilex::MovedArrangement(view->Arrangements()[block], zone))) return zone;
    }
    ADD_FAILURE() << "no harmless zone for block " << block;
    return 0;
  }

  // The shortest list of zones (0 to 9) that brings the block to the master's
  // arrangement without passing through the arrangement of another block in
  // play, found by the tests' own model of the moves.
  std::vector<int> PathToMaster(int block) const {
    const auto& codes = rules_model::AllCodes();
    std::set<rules_model::Code> inPlay;
    for (int other = 0; other < quadrilex::kBlockCount; ++other) {
      if (other != block && view->BlockStates()[other] != quadrilex::kStateLost)
        inPlay.insert(codes[static_cast<std::size_t>(view->Arrangements()[other])]);
    }
    const auto path = rules_model::ShortestMoves(codes[static_cast<std::size_t>(view->Arrangements()[block])],
                                                 codes[static_cast<std::size_t>(view->Arrangements()[quadrilex::kMasterBlock])],
                                                 inPlay);
    std::vector<int> zones;
    if (!path) {
      ADD_FAILURE() << "no way to the master for block " << block;
      return zones;
    }
    for (const int zone : *path) zones.push_back(zone - 1);
    return zones;
  }
  void MatchBlock(int block) {
    for (int zone : PathToMaster(block)) ClickZone(block, zone);
  }

  // ---- the clock and the set ----

  void EndGameByTimeOut() {
    host->AdvanceTime(105);
    ASSERT_TRUE(host->FireTimer(1));
  }
  void EndRest() { ASSERT_TRUE(host->FireTimer(2)); }

  // ---- pixels ----

  COLORREF Pixel(const QImage& image, int x, int y) const {
    const QRgb rgb = image.pixel(x, y);
    return RGB(qRed(rgb), qGreen(rgb), qBlue(rgb));
  }
  QImage Snapshot() const { return host->Image().copy(); }

  bool AllPixels(const RECT& rc, COLORREF colour) const {
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right; ++x)
        if (host->Pixel(x, y) != colour) return false;
    return true;
  }

  // Every pixel on the block's outermost ring has this colour.
  bool FrameIs(int block, COLORREF colour) const {
    const RECT& b = view->BlockRects()[block];
    for (int x = b.left; x < b.right; ++x)
      if (host->Pixel(x, b.top) != colour || host->Pixel(x, b.bottom - 1) != colour) return false;
    for (int y = b.top; y < b.bottom; ++y)
      if (host->Pixel(b.left, y) != colour || host->Pixel(b.right - 1, y) != colour) return false;
    return true;
  }

  // The block's picture inside its outermost ring is that of the arrangement.
  bool ShowsArrangement(const QImage& image, int block, int arrangement) const {
    const QImage picture = LoadBitmapResource(quadrilex::kFirstArrangementBitmap + arrangement);
    const RECT& b = view->BlockRects()[block];
    for (int y = 1; y < 159; ++y)
      for (int x = 1; x < 159; ++x)
        if (image.pixel(b.left + x, b.top + y) != picture.pixel(x, y)) return false;
    return true;
  }
  bool ShowsArrangement(int block, int arrangement) const {
    return ShowsArrangement(host->Image(), block, arrangement);
  }

  // The colour at the middle of each of the four positions, read as letters.
  std::string ShapesOf(int block) const {
    const RECT& b = view->BlockRects()[block];
    const CPoint centres[4] = {{40, 40}, {120, 40}, {120, 120}, {40, 120}};
    std::string code;
    for (const CPoint& c : centres) {
      const COLORREF colour = host->Pixel(b.left + c.x, b.top + c.y);
      char letter = '?';
      for (char l : std::string("cxst"))
        if (view_test::ShapeColour(l) == colour) letter = l;
      code += letter;
    }
    return code;
  }

  // ---- layout measured in the fonts of the rows ----

  template <typename Use>
  void WithFont(int height, Use use) {
    CFont font;
    font.CreateFont(height, 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, "Arial Bold");
    CClientDC dc(view.get());
    dc.SelectObject(&font);
    use(dc);
  }
  quadrilex::PanelLayout Panel() {
    quadrilex::PanelLayout panel{};
    WithFont(view->PanelFontHeight(), [&](CDC& dc) {
      panel = quadrilex::LayOutPanel(dc.GetTextExtent("W"), [&dc](const char* t) { return dc.GetTextExtent(t); },
                                     host->ClientRect().right);
    });
    return panel;
  }
  quadrilex::RecapLayout Recap() {
    quadrilex::RecapLayout recap{};
    WithFont(view->RecapFontHeight(), [&](CDC& dc) {
      recap = quadrilex::LayOutRecap(dc.GetTextExtent("W"), host->ClientRect().bottom,
                                     [&dc](const char* t) { return dc.GetTextExtent(t); }, host->ClientRect().right);
    });
    return recap;
  }

  // True when the view's image inside rc is what the text looks like drawn on
  // the grey ground with the given format, in a box with the given outline
  // (none for a label).
  // Only the pixels of `compared` are compared when it is given. The text is
  // drawn in the game font unless a font height is given.
  bool Shows(const RECT& rc, const std::string& text, UINT format, const COLORREF* outline,
             const RECT* compared = nullptr, int fontHeight = 0) {
    CSurface scratch;
    scratch.Resize(host->ClientRect().right, host->ClientRect().bottom);
    {
      CFont font;
      font.CreateFont(fontHeight > 0 ? fontHeight : view->FontHeight(), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET,
                      OUT_DEVICE_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, "Arial Bold");
      CBrush grey;
      grey.CreateSolidBrush(view_test::kGrey);
      CPen pen;
      pen.CreatePen(PS_SOLID, 1, outline ? *outline : view_test::kGrey);
      view_test::ScratchDC dc(scratch);
      dc.SetBkMode(TRANSPARENT);
      dc.SelectObject(&font);
      dc.SelectObject(&grey);
      dc.SelectObject(&pen);
      dc.FillRect(&rc, &grey);
      if (outline) dc.Rectangle(&rc);
      RECT box = rc;
      dc.DrawText(text, &box, format);
    }
    const RECT& area = compared ? *compared : rc;
    for (int y = area.top; y < area.bottom; ++y)
      for (int x = area.left; x < area.right; ++x)
        if (scratch.Image().pixel(x, y) != host->Image().pixel(x, y)) return false;
    return true;
  }
  bool ShowsNumberBox(const RECT& rc, const std::string& text, COLORREF outline, int fontHeight = 0) {
    return Shows(rc, text, DT_SINGLELINE | DT_VCENTER | DT_CENTER, &outline, nullptr, fontHeight);
  }
  bool ShowsLabel(const RECT& rc, const std::string& text, int fontHeight = 0) {
    return Shows(rc, text, DT_SINGLELINE | DT_VCENTER | DT_RIGHT, nullptr, nullptr, fontHeight);
  }

  // True when some pixel inside rc is black (text is drawn in black).
  bool HasDarkPixel(const RECT& rc) const {
    for (int y = rc.top; y < rc.bottom; ++y)
      for (int x = rc.left; x < rc.right; ++x)
        if (host->Pixel(x, y) == view_test::kBlack) return true;
    return false;
  }

  // Index of the first log entry equal to entry, from position from; -1 if none.
  int LogIndex(const std::string& entry, int from = 0) const {
    const auto& log = host->Log();
    for (int i = from; i < static_cast<int>(log.size()); ++i)
      if (log[i] == entry) return i;
    return -1;
  }
  int CountSounds(UINT id) const {
    int n = 0;
    for (const auto& s : host->Sounds())
      if (s.id == id) ++n;
    return n;
  }

  std::unique_ptr<CTestHost> host;
  std::unique_ptr<CQuadrilexdView> view;
};

inline std::string Format7(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "%7li", value);
  return text;
}
inline std::string Format4(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "%4li", value);
  return text;
}
