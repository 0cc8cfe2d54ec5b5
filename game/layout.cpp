#include "game/layout.h"

#include <cstddef>

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

// The spaces of a row: before the first label, between a label and its box,
// and between a box and the next label.
struct RowSpaces {
  int lead;
  int labelToBox;
  int boxToLabel;
};

// Spaces for a row whose texts leave `room` pixels of the width over, with
// `pairs` labels and boxes. Half a letter h is the one measure: h before the
// first label, h between a label and its box, 4h between a box and the next
// label, 2h again after the last box, so 5h for each pair. What the truncation
// of h leaves over widens the spaces between the pairs.
RowSpaces NarrowedSpaces(int room, int pairs, int cw) {
  int half = room / (5 * pairs);
  if (half > cw / 2) half = cw / 2;
  if (half < kNarrowestHalfSpace) half = kNarrowestHalfSpace;
  const int spare = room - 5 * pairs * half;
  int between = 4 * half + (spare > 0 ? spare / (pairs - 1) : 0);
  if (between > 2 * cw) between = 2 * cw;
  return {2 * half, half, between};
}

// Lays a row of labels and boxes out left to right; samples alternate a
// label's text and its box's widest text.
template <std::size_t N>
void LayOutRow(const char* const (&samples)[N], SIZE charSize, int top, int bottom, int clientWidth,
               const TextMeasure& measure, RECT (&out)[N]) {
  static_assert(N % 2 == 0 && N >= 4, "a row is two or more labels, each with its box");
  constexpr int pairs = static_cast<int>(N / 2);
  const int cw = charSize.cx;
  int widths[N];
  int texts = 0;
  for (std::size_t i = 0; i < N; ++i) {
    widths[i] = measure(samples[i]).cx;
    texts += widths[i];
  }
  RowSpaces spaces{cw, cw / 2, 2 * cw};
  const int right = spaces.lead + texts + pairs * spaces.labelToBox + (pairs - 1) * spaces.boxToLabel;
  if (right > clientWidth) spaces = NarrowedSpaces(clientWidth - texts, pairs, cw);
  int x = spaces.lead;
  for (std::size_t i = 0; i < N; ++i) {
    out[i] = MakeRect(x, top, x + widths[i], bottom);
    x = out[i].right + (i % 2 == 0 ? spaces.labelToBox : spaces.boxToLabel);
  }
}

}  // namespace

PanelLayout LayOutPanel(SIZE charSize, const TextMeasure& measure, int clientWidth) {
  static const char* const samples[] = {"Time Left", "00:::00",  "Match Score", "333333",
                                        "Click Cost", "33333",   "Bonus",       "33333333",
                                        "Net Score",  "33333333", "Game#",      "33"};
  const int top = 2;
  RECT rc[12];
  LayOutRow(samples, charSize, top, top + measure("Time Left").cy, clientWidth, measure, rc);
  return {rc[0], rc[1], rc[2], rc[3], rc[4], rc[5], rc[6], rc[7], rc[8], rc[9], rc[10], rc[11]};
}

bool PanelFits(const PanelLayout& panel, int clientWidth) { return panel.gameBox.right <= clientWidth; }

RECT LayOutNewSetBox(SIZE charSize, int clientHeight) {
  const int top = clientHeight / 2 - (31 * charSize.cy) / 2;
  return MakeRect(charSize.cx, top, 3 * charSize.cx, top + 31 * charSize.cy);
}

RecapLayout LayOutRecap(SIZE charSize, int clientHeight, const TextMeasure& measure, int clientWidth) {
  static const char* const samples[] = {"Average", "33333333", "Game 5", "33333333", "Game 5", "33333333",
                                        "Game 5",  "33333333", "Game 5", "33333333", "Game 5", "33333333"};
  RECT rc[2 + 2 * kRecapSlots];
  LayOutRow(samples, charSize, clientHeight - 2 - charSize.cy, clientHeight - 2, clientWidth, measure, rc);
  RecapLayout r;
  r.averageLabel = rc[0];
  r.averageBox = rc[1];
  for (int s = 0; s < kRecapSlots; ++s) {
    r.recapLabel[s] = rc[2 + 2 * s];
    r.recapBox[s] = rc[3 + 2 * s];
  }
  return r;
}

bool RecapFits(const RecapLayout& recap, int clientWidth) {
  return recap.recapBox[kRecapSlots - 1].right <= clientWidth;
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
