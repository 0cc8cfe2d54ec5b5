#include "game/layout.h"

#include "game/board.h"

namespace quadrilex {

bool ClientTooSmall(const RECT& client) {
  return client.right < kMinClientWidth || client.bottom < kMinClientHeight;
}

int GameFontHeight(int clientHeight) { return 4 * (clientHeight / 160); }

CPoint BoardOrigin(int clientWidth, int clientHeight, int blockSize, int blockPitch) {
  return CPoint((clientWidth - 3 * blockPitch - blockSize) / 2,
                (clientHeight - 2 * blockPitch - blockSize) / 2 + 1);
}

void LayOutBlocks(CPoint origin, int blockSize, int blockPitch, RECT (&blocks)[12]) {
  for (int column = 0; column < kColumnCount; ++column) {
    for (int row = 0; row < kRowCount; ++row) {
      const int left = origin.x + blockPitch * column;
      const int top = origin.y + blockPitch * row;
      blocks[BlockIndex(column, row)] = MakeRect(left, top, left + blockSize, top + blockSize);
    }
  }
}

namespace {

// Lays rectangles out left to right on one row: a label, half a letter, its box,
// two letters, the next label...
class RowCursor {
 public:
  RowCursor(SIZE charSize, int top, int bottom, const TextMeasure& measure)
      : cw_(charSize.cx), top_(top), bottom_(bottom), measure_(measure), x_(charSize.cx) {}

  RECT Label(const char* widthSample) {
    const RECT rc = Take(widthSample);
    x_ = rc.right + cw_ / 2;
    return rc;
  }
  RECT Box(const char* widthSample) {
    const RECT rc = Take(widthSample);
    x_ = rc.right + 2 * cw_;
    return rc;
  }

 private:
  RECT Take(const char* widthSample) {
    return MakeRect(x_, top_, x_ + measure_(widthSample).cx, bottom_);
  }

  int cw_;
  int top_;
  int bottom_;
  const TextMeasure& measure_;
  int x_;
};

}  // namespace

PanelLayout LayOutPanel(SIZE charSize, const TextMeasure& measure) {
  const int top = 2;
  const int bottom = top + measure("Time Left").cy;
  RowCursor row(charSize, top, bottom, measure);
  PanelLayout p;
  p.timeLabel = row.Label("Time Left");
  p.timeBox = row.Box("00:::00");
  p.matchLabel = row.Label("Match Score");
  p.matchBox = row.Box("333333");
  p.costLabel = row.Label("Click Cost");
  p.costBox = row.Box("33333");
  p.bonusLabel = row.Label("Bonus");
  p.bonusBox = row.Box("33333333");
  p.netLabel = row.Label("Net Score");
  p.netBox = row.Box("33333333");
  p.gameLabel = row.Label("Game#");
  p.gameBox = row.Box("33");
  return p;
}

RECT LayOutNewSetBox(SIZE charSize, int clientHeight) {
  const int top = clientHeight / 2 - (31 * charSize.cy) / 2;
  return MakeRect(charSize.cx, top, 3 * charSize.cx, top + 31 * charSize.cy);
}

RecapLayout LayOutRecap(SIZE charSize, int clientHeight, const TextMeasure& measure) {
  RowCursor row(charSize, clientHeight - 2 - charSize.cy, clientHeight - 2, measure);
  RecapLayout r;
  r.averageLabel = row.Label("Average");
  r.averageBox = row.Box("33333333");
  for (int s = 0; s < kRecapSlots; ++s) {
    r.recapLabel[s] = row.Label("Game 5");
    r.recapBox[s] = row.Box("33333333");
  }
  return r;
}

void OpeningAnimation(int w, int h, AnimationLine (&lines)[kAnimationLineCount]) {
  const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
  const COLORREF yellow = RGB(255, 255, 0), black = RGB(0, 0, 0), magenta = RGB(255, 0, 255);
  const CPoint none;
  const AnimationLine table[kAnimationLineCount] = {
      {red, true, CPoint(0, 0), CPoint(w, h / 2)},
      {green, false, none, CPoint(0, h)},
      {blue, false, none, CPoint(w / 2, 0)},
      {yellow, false, none, CPoint(w, h)},
      {red, false, none, CPoint(0, h / 2)},
      {blue, false, none, CPoint(w, 0)},
      {green, false, none, CPoint((3 * w) / 4, h)},
      {black, false, none, CPoint(w / 4, 0)},
      {magenta, false, none, CPoint(w, h / 4)},
      {red, false, none, CPoint(0, (3 * h) / 4)},
      {yellow, true, CPoint(0, 0), CPoint(w / 4, h)},
      {green, false, none, CPoint((3 * w) / 4, 0)},
      {red, true, CPoint(0, h), CPoint(w / 4, 0)},
      {blue, false, none, CPoint(0, h / 4)},
      {green, false, none, CPoint(w / 2, h)},
      {yellow, false, none, CPoint(w, 0)},
      {black, true, CPoint((3 * w) / 4, 0), CPoint(w, (3 * h) / 4)},
      {yellow, false, none, CPoint(0, (3 * h) / 4)},
  };
  for (int i = 0; i < kAnimationLineCount; ++i) lines[i] = table[i];
}

}  // namespace quadrilex
