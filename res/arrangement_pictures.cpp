#include "res/arrangement_pictures.h"

#include <cmath>
#include <cstdlib>

namespace quadrilex::res {

namespace {

constexpr int kShapeSize = 48;

// The box of each position, clockwise from the top left.
constexpr int kPositionLeft[4] = {16, 96, 96, 16};
constexpr int kPositionTop[4] = {16, 16, 96, 96};

void Fill(IndexedPicture& p, int left, int top, int right, int bottom, std::uint8_t colour) {
  for (int y = top; y < bottom; ++y)
    for (int x = left; x < right; ++x) p.At(x, y) = colour;
}

// A double arrow in the box (left, top)-(right, bottom): a shaft along the long
// side with a head at each end, in colour on black.
void DrawDoubleArrow(IndexedPicture& p, int left, int top, int right, int bottom, std::uint8_t colour) {
  Fill(p, left, top, right, bottom, kBlack);
  const bool horizontal = (right - left) >= (bottom - top);
  const int length = horizontal ? right - left : bottom - top;
  const int breadth = horizontal ? bottom - top : right - left;
  const double mid = breadth / 2.0;
  const int head = breadth / 2 + 1;        // length of each head along the shaft
  const double shaftHalf = breadth / 8.0 + 0.5;
  for (int a = 1; a < length - 1; ++a) {   // along the shaft, one pixel of black at each end
    for (int b = 1; b < breadth - 1; ++b) {
      const double across = std::fabs(b + 0.5 - mid);
      const int fromEnd = std::min(a - 1, length - 2 - a);
      bool on;
      if (fromEnd < head) {
        on = across <= (mid - 1.0) * (fromEnd + 0.5) / head;
      } else {
        on = across <= shaftHalf;
      }
      if (!on) continue;
      if (horizontal)
        p.At(left + a, top + b) = colour;
      else
        p.At(left + b, top + a) = colour;
    }
  }
}

// The centre square: black, with four white arrowheads pointing into its corners
// on two crossing diagonal shafts.
void DrawCentreCross(IndexedPicture& p, int left, int top, int size) {
  Fill(p, left, top, left + size, top + size, kBlack);
  const double c = size / 2.0;
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      const double px = x + 0.5 - c, py = y + 0.5 - c;
      bool on = false;
      for (int diagonal = 0; diagonal < 2 && !on; ++diagonal) {
        // Distance along and across the diagonal through the centre.
        const double ux = 1 / std::sqrt(2.0), uy = diagonal == 0 ? ux : -ux;
        const double along = px * ux + py * uy;
        const double across = std::fabs(-px * uy + py * ux);
        const double tip = c * std::sqrt(2.0) - 3.0;  // stop short of the very corner
        const double fromTip = tip - std::fabs(along);
        if (fromTip < 0) continue;
        if (fromTip < 8.0)
          on = across <= fromTip * 0.75 + 0.5;
        else
          on = across <= 1.0;
      }
      if (on) p.At(left + x, top + y) = kWhite;
    }
  }
}

}  // namespace

void DrawShape(IndexedPicture& p, char letter, int left, int top) {
  for (int y = 0; y < kShapeSize; ++y) {
    for (int x = 0; x < kShapeSize; ++x) {
      const double cx = x + 0.5 - kShapeSize / 2.0, cy = y + 0.5 - kShapeSize / 2.0;
      bool on = false;
      std::uint8_t colour = kGrey;
      switch (letter) {
        case 'c':  // a disc of diameter 48
          on = cx * cx + cy * cy <= (kShapeSize / 2.0) * (kShapeSize / 2.0);
          colour = kBlue;
          break;
        case 'x':  // an upright plus sign, arms 20 wide
          on = (x >= 14 && x < 34) || (y >= 14 && y < 34);
          colour = kGreen;
          break;
        case 's':  // the whole box
          on = true;
          colour = kYellow;
          break;
        case 't': {  // apex at the top centre, 46 high, base 48 wide along the bottom
          const int row = y - (kShapeSize - 46);
          on = row >= 0 && std::fabs(cx) <= (kShapeSize / 2.0) * (row + 1) / 46.0;
          colour = kRed;
          break;
        }
        default:
          break;
      }
      if (on) p.At(left + x, top + y) = colour;
    }
  }
}

IndexedPicture ArrangementPicture(const char* code) {
  IndexedPicture p;
  p.width = kPictureSize;
  p.height = kPictureSize;
  p.palette = {{128, 128, 128}, {0, 0, 0}, {255, 255, 255}, {255, 0, 255},
               {0, 0, 255},     {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
  p.pixels.assign(static_cast<std::size_t>(kPictureSize) * kPictureSize, kGrey);
  for (int position = 0; position < 4; ++position)
    DrawShape(p, code[position], kPositionLeft[position], kPositionTop[position]);
  DrawDoubleArrow(p, 65, 1, 95, 15, kMagenta);     // swaps the left and right halves
  DrawDoubleArrow(p, 1, 65, 15, 95, kMagenta);     // swaps the top and bottom halves
  DrawDoubleArrow(p, 67, 34, 93, 46, kWhite);      // between positions 1 and 2
  DrawDoubleArrow(p, 67, 114, 93, 126, kWhite);    // between positions 4 and 3
  DrawDoubleArrow(p, 34, 67, 46, 93, kWhite);      // between positions 1 and 4
  DrawDoubleArrow(p, 114, 67, 126, 93, kWhite);    // between positions 2 and 3
  DrawCentreCross(p, 65, 65, 30);
  return p;
}

}  // namespace quadrilex::res
