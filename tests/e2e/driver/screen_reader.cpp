#include "tests/e2e/driver/screen_reader.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace e2e {

const Code kLostCode = "lost";

Rect Board::block(int k) const {
  const int column = k / 3;
  const int row = k % 3;
  return Rect{left + kBlockPitch * column, top + kBlockPitch * row, kBlockSize, kBlockSize};
}

namespace {

bool RowIs(const Image& shot, int x, int y, int length, Rgb c) {
  for (int i = 0; i < length; ++i)
    if (shot.at(x + i, y) != c) return false;
  return true;
}

bool ColumnIs(const Image& shot, int x, int y, int length, Rgb c) {
  for (int i = 0; i < length; ++i)
    if (shot.at(x, y + i) != c) return false;
  return true;
}

bool IsOutline(const Image& shot, const Rect& r, Rgb c) {
  return RowIs(shot, r.x, r.y, r.w, c) && RowIs(shot, r.x, r.bottom() - 1, r.w, c) && ColumnIs(shot, r.x, r.y, r.h, c) &&
         ColumnIs(shot, r.right() - 1, r.y, r.h, c);
}

char Letter(Rgb c) {
  if (c == kBlue) return 'c';
  if (c == kGreen) return 'x';
  if (c == kYellow) return 's';
  if (c == kRed) return 't';
  if (c == kGrey) return '-';
  return '?';
}

}  // namespace

std::optional<Board> FindBoard(const Image& shot) {
  const Rect& a = shot.area();
  for (int y = a.y; y + kBlockSize <= a.bottom(); ++y) {
    for (int x = a.x; x + kBlockSize <= a.right(); ++x) {
      if (shot.at(x, y) != kRed) continue;
      if (IsOutline(shot, Rect{x, y, kBlockSize, kBlockSize}, kRed)) return Board{x, y};
    }
  }
  return std::nullopt;
}

std::optional<ScaledBoard> FindScaledBoard(const Image& shot) {
  const Rect& a = shot.area();
  for (int y = a.y; y + kBlockSize <= a.bottom(); ++y) {
    for (int x = a.x; x + kBlockSize <= a.right(); ++x) {
      if (shot.at(x, y) != kRed) continue;
      // The outline's top row from its top-left pixel, and its left column;
      // outside the picture every pixel reads black, which ends both.
      int across = 0;
      while (shot.at(x + across, y) == kRed) ++across;
      int down = 0;
      while (shot.at(x, y + down) == kRed) ++down;
      // A scale that is not whole can give the outline a pixel more one way
      // than the other.
      const bool outline = across >= kBlockSize && down >= kBlockSize && std::abs(across - down) <= 1 &&
                           RowIs(shot, x, y + down - 1, across, kRed) &&
                           ColumnIs(shot, x + across - 1, y, down, kRed);
      if (!outline) {
        x += across - 1;
        continue;
      }
      ScaledBoard found;
      const double scaleAcross = static_cast<double>(across) / kBlockSize;
      const double scaleDown = static_cast<double>(down) / kBlockSize;
      found.scale = scaleAcross;
      found.area = Rect{x, y, static_cast<int>(kBoardWidth * scaleAcross), static_cast<int>(kBoardHeight * scaleDown)};
      found.picture = Image(Rect{0, 0, kBoardWidth, kBoardHeight});
      for (int v = 0; v < kBoardHeight; ++v) {
        for (int u = 0; u < kBoardWidth; ++u) {
          found.picture.set(u, v, shot.at(x + static_cast<int>((u + 0.5) * scaleAcross),
                                          y + static_cast<int>((v + 0.5) * scaleDown)));
        }
      }
      return found;
    }
  }
  return std::nullopt;
}

Board ExpectedBoard(const Rect& view) {
  return Board{view.x + (view.w - kBoardWidth) / 2, view.y + (view.h - kBoardHeight) / 2 + 1};
}

std::optional<Rect> FindView(const Image& shot, const Rect& window) {
  const int x = window.x + 3 * window.w / 8;
  for (int y = window.y; y + 1 < window.bottom(); ++y) {
    if (shot.at(x, y) == kGrey && shot.at(x, y + 1) == kGrey) return Rect{window.x, y, window.w, window.bottom() - y};
  }
  return std::nullopt;
}

Code ReadBlock(const Image& shot, const Board& board, int k) {
  static const Point kCentres[4] = {{40, 40}, {120, 40}, {120, 120}, {40, 120}};
  Code code(4, '?');
  int ground = 0;
  for (int p = 0; p < 4; ++p) {
    const Point c = board.point(k, kCentres[p].x, kCentres[p].y);
    const Rgb colour = shot.at(c.x, c.y);
    // A shape fills its place well beyond six pixels around the centre.
    const bool even = shot.at(c.x - 6, c.y) == colour && shot.at(c.x + 6, c.y) == colour &&
                      shot.at(c.x, c.y - 6) == colour && shot.at(c.x, c.y + 6) == colour;
    const char letter = even ? Letter(colour) : '?';
    if (letter == '-') ++ground;
    code[static_cast<std::size_t>(p)] = letter;
  }
  if (ground == 4) return kLostCode;
  std::replace(code.begin(), code.end(), '-', '?');
  return code;
}

std::vector<Code> ReadBoard(const Image& shot, const Board& board) {
  std::vector<Code> codes;
  for (int k = 0; k < kBlockCount; ++k) codes.push_back(ReadBlock(shot, board, k));
  return codes;
}

bool IsReadable(const Code& code) { return code == kLostCode || IsArrangement(code); }

const char* ToString(Frame f) {
  switch (f) {
    case Frame::none: return "none";
    case Frame::red: return "red";
    case Frame::green: return "green";
    case Frame::black: return "black";
    case Frame::broken: return "broken";
  }
  return "?";
}

Frame ReadFrame(const Image& shot, const Board& board, int k) {
  const Rect r = board.block(k);
  const Rgb c = shot.at(r.x, r.y);
  if (!IsOutline(shot, r, c)) return Frame::broken;
  if (c == kGrey) return Frame::none;
  if (c == kRed) return Frame::red;
  if (c == kGreen) return Frame::green;
  if (c == kBlack) return Frame::black;
  return Frame::broken;
}

bool AllOf(const Image& shot, const Rect& area, Rgb colour) {
  for (int y = area.y; y < area.bottom(); ++y)
    if (!RowIs(shot, area.x, y, area.w, colour)) return false;
  return true;
}

std::vector<std::pair<int, int>> Runs(const Image& shot, int y, int x0, int x1, Rgb colour, int minLength) {
  std::vector<std::pair<int, int>> runs;
  int start = -1;
  for (int x = x0; x <= x1; ++x) {
    const bool on = x < x1 && shot.at(x, y) == colour;
    if (on && start < 0) start = x;
    if (!on && start >= 0) {
      if (x - start >= minLength) runs.emplace_back(start, x - start);
      start = -1;
    }
  }
  return runs;
}

namespace {

struct Segment {
  Rgb colour;
  Point from;
  Point to;
};

std::vector<Segment> OpeningLines(int w, int h) {
  struct Row {
    Rgb colour;
    bool move;
    Point moveTo;
    Point lineTo;
  };
  const Row rows[18] = {
      {kRed, true, {0, 0}, {w, h / 2}},
      {kGreen, false, {}, {0, h}},
      {kBlue, false, {}, {w / 2, 0}},
      {kYellow, false, {}, {w, h}},
      {kRed, false, {}, {0, h / 2}},
      {kBlue, false, {}, {w, 0}},
      {kGreen, false, {}, {3 * w / 4, h}},
      {kBlack, false, {}, {w / 4, 0}},
      {kMagenta, false, {}, {w, h / 4}},
      {kRed, false, {}, {0, 3 * h / 4}},
      {kYellow, true, {0, 0}, {w / 4, h}},
      {kGreen, false, {}, {3 * w / 4, 0}},
      {kRed, true, {0, h}, {w / 4, 0}},
      {kBlue, false, {}, {0, h / 4}},
      {kGreen, false, {}, {w / 2, h}},
      {kYellow, false, {}, {w, 0}},
      {kBlack, true, {3 * w / 4, 0}, {w, 3 * h / 4}},
      {kYellow, false, {}, {0, 3 * h / 4}},
  };
  std::vector<Segment> lines;
  Point pen{0, 0};
  for (const Row& r : rows) {
    if (r.move) pen = r.moveTo;
    lines.push_back(Segment{r.colour, pen, r.lineTo});
    pen = r.lineTo;
  }
  return lines;
}

}  // namespace

std::vector<LineScore> ScoreOpeningLines(const Image& shot, const Rect& view, int samples) {
  std::vector<LineScore> scores;
  const std::vector<Segment> lines = OpeningLines(view.w, view.h);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const Segment& s = lines[i];
    LineScore score{static_cast<int>(i) + 1, s.colour, 0, samples};
    for (int n = 0; n < samples; ++n) {
      const double t = (n + 0.5) / samples;
      int x = static_cast<int>(s.from.x + t * (s.to.x - s.from.x) + 0.5);
      int y = static_cast<int>(s.from.y + t * (s.to.y - s.from.y) + 0.5);
      x = std::clamp(x, 0, view.w - 1);
      y = std::clamp(y, 0, view.h - 1);
      bool hit = false;
      for (int dy = -1; dy <= 1 && !hit; ++dy)
        for (int dx = -1; dx <= 1 && !hit; ++dx) hit = shot.at(view.x + x + dx, view.y + y + dy) == s.colour;
      if (hit) ++score.hits;
    }
    scores.push_back(score);
  }
  return scores;
}

bool OpeningLinesShown(const std::vector<LineScore>& scores) {
  if (scores.empty()) return false;
  for (const LineScore& s : scores)
    if (3 * s.hits < 2 * s.samples) return false;
  return true;
}

std::string Describe(const std::vector<LineScore>& scores) {
  std::string text;
  for (const LineScore& s : scores) {
    char part[64];
    std::snprintf(part, sizeof part, "%sline %d %s: %d/%d", text.empty() ? "" : ", ", s.line, ToString(s.colour).c_str(),
                  s.hits, s.samples);
    text += part;
  }
  return text;
}

std::vector<std::pair<int, int>> PanelBoxes(const Image& shot, const Rect& view) {
  return Runs(shot, view.y + 2, view.x, view.right(), kBlue, 6);
}

std::vector<std::pair<int, int>> RecapBoxes(const Image& shot, const Rect& view) {
  std::vector<std::pair<int, int>> best;
  for (int y = view.bottom() - 1; y >= view.bottom() - 80 && y >= view.y; --y) {
    auto runs = Runs(shot, y, view.x, view.right(), kRed, 6);
    if (runs.size() > best.size()) best = runs;
  }
  return best;
}

std::optional<Rect> FindNewSetBox(const Image& shot, const Rect& view) {
  const int x1 = view.x + view.w / 8;
  int left = x1, right = -1, top = view.bottom(), bottom = -1;
  for (int y = view.y; y < view.bottom(); ++y) {
    for (int x = view.x; x < x1; ++x) {
      if (shot.at(x, y) != kYellow) continue;
      left = std::min(left, x);
      right = std::max(right, x);
      top = std::min(top, y);
      bottom = std::max(bottom, y);
    }
  }
  if (right < 0) return std::nullopt;
  const Rect box{left, top, right - left + 1, bottom - top + 1};
  if (box.w < 3 || box.h < 3 || !IsOutline(shot, box, kYellow)) return std::nullopt;
  // An outline around a grey inside with letters, not a yellow square of a shape.
  long inside = 0;
  for (int y = box.y + 1; y < box.bottom() - 1; ++y)
    for (int x = box.x + 1; x < box.right() - 1; ++x)
      if (shot.at(x, y) == kYellow) ++inside;
  if (10 * inside > static_cast<long>(box.w - 2) * (box.h - 2)) return std::nullopt;
  return box;
}

}  // namespace e2e
