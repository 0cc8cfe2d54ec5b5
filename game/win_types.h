// Plain value types shared by the rules and the screen code: rectangles, sizes,
// points and colours in the shapes the game works with. No platform behind them.
#pragma once

#include <cstdint>

using UINT = unsigned int;
using BOOL = int;
using COLORREF = std::uint32_t;  // 0x00BBGGRR

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

constexpr COLORREF RGB(int r, int g, int b) {
  return static_cast<COLORREF>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(COLORREF c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(COLORREF c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(COLORREF c) { return static_cast<int>((c >> 16) & 0xFF); }

// Right and bottom are one past the last pixel.
struct RECT {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = 0;
  std::int32_t bottom = 0;

  std::int32_t Width() const { return right - left; }
  std::int32_t Height() const { return bottom - top; }
  bool IsEmpty() const { return right <= left || bottom <= top; }
};

inline bool EqualRect(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}
inline bool operator==(const RECT& a, const RECT& b) { return EqualRect(a, b); }
inline bool operator!=(const RECT& a, const RECT& b) { return !EqualRect(a, b); }

inline RECT MakeRect(std::int32_t left, std::int32_t top, std::int32_t right, std::int32_t bottom) {
  RECT r;
  r.left = left;
  r.top = top;
  r.right = right;
  r.bottom = bottom;
  return r;
}

// The smallest rectangle holding both; an empty rectangle adds nothing.
inline RECT UnionRect(const RECT& a, const RECT& b) {
  if (a.IsEmpty()) return b;
  if (b.IsEmpty()) return a;
  return MakeRect(a.left < b.left ? a.left : b.left, a.top < b.top ? a.top : b.top,
                  a.right > b.right ? a.right : b.right, a.bottom > b.bottom ? a.bottom : b.bottom);
}

struct SIZE {
  std::int32_t cx = 0;
  std::int32_t cy = 0;
};

struct CPoint {
  std::int32_t x = 0;
  std::int32_t y = 0;
  CPoint() = default;
  CPoint(std::int32_t px, std::int32_t py) : x(px), y(py) {}
};
