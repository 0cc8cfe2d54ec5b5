#include "res/arrangement_pictures.h"

#include <algorithm>
#include <cmath>

namespace quadrilex::res {

namespace {

constexpr int kShapeSize = 48;

// The box of each position, clockwise from the top left.
constexpr int kPositionLeft[4] = {16, 96, 96, 16};
constexpr int kPositionTop[4] = {16, 16, 96, 96};

// Where a pixel of a picture drawn `scale` pixels to the block's unit lies, in
// units, from the top-left corner of the box being drawn.
struct Spot {
  double u, v;     // the pixel's centre
  double halfPixel;  // half a pixel's side
};

constexpr int kLeaveAlone = -1;

// Gives every pixel of the box (left, top)-(right, bottom), in units, the
// colour that colourAt returns for it, or leaves it as it is. Drawing at one
// pixel to the unit asks about each pixel's centre, so a bigger picture is the
// same geometry asked about finer pixels.
template <typename ColourAt>
void Paint(IndexedPicture& p, int scale, int left, int top, int right, int bottom, ColourAt colourAt) {
  const double halfPixel = 0.5 / scale;
  for (int y = top * scale; y < bottom * scale; ++y) {
    for (int x = left * scale; x < right * scale; ++x) {
      const int colour = colourAt(Spot{(x + 0.5) / scale - left, (y + 0.5) / scale - top, halfPixel});
      if (colour != kLeaveAlone) p.At(x, y) = static_cast<std::uint8_t>(colour);
    }
  }
}

// A double arrow in the box (left, top)-(right, bottom): a shaft along the long
// side with a head at each end, in colour on black.
void DrawDoubleArrow(IndexedPicture& p, int scale, int left, int top, int right, int bottom, std::uint8_t colour) {
  const bool horizontal = (right - left) >= (bottom - top);
  const int length = horizontal ? right - left : bottom - top;
  const int breadth = horizontal ? bottom - top : right - left;
  const double mid = breadth / 2.0;
  const int head = breadth / 2 + 1;        // length of each head along the shaft
  const double shaftHalf = breadth / 8.0 + 0.5;
  Paint(p, scale, left, top, right, bottom, [&](Spot s) {
    const double along = horizontal ? s.u : s.v, at = horizontal ? s.v : s.u;
    // A unit of black all round the arrow.
    if (along < 1 || along > length - 1 || at < 1 || at > breadth - 1) return int{kBlack};
    const double across = std::fabs(at - mid);
    const double fromEnd = std::min(along - 1, length - 1 - along);
    const bool on = fromEnd < head ? across <= (mid - 1.0) * fromEnd / head : across <= shaftHalf;
    return on ? int{colour} : int{kBlack};
  });
}

// The centre square: black, with four white arrowheads pointing into its corners
// on two crossing diagonal shafts.
void DrawCentreCross(IndexedPicture& p, int scale, int left, int top, int size) {
  const double c = size / 2.0;
  Paint(p, scale, left, top, left + size, top + size, [&](Spot s) {
    const double px = s.u - c, py = s.v - c;
    for (int diagonal = 0; diagonal < 2; ++diagonal) {
      // Distance along and across the diagonal through the centre.
      const double ux = 1 / std::sqrt(2.0), uy = diagonal == 0 ? ux : -ux;
      const double along = px * ux + py * uy;
      const double across = std::fabs(-px * uy + py * ux);
      const double tip = c * std::sqrt(2.0) - 3.0;  // stop short of the very corner
      const double fromTip = tip - std::fabs(along);
      if (fromTip < 0) continue;
      if (fromTip < 8.0 ? across <= fromTip * 0.75 + 0.5 : across <= 1.0) return int{kWhite};
    }
    return int{kBlack};
  });
}

// The shape of letter c ('c', 'x', 's' or 't') in the 48 by 48 box whose
// top-left corner is (left, top).
void DrawShape(IndexedPicture& p, int scale, char letter, int left, int top) {
  Paint(p, scale, left, top, left + kShapeSize, top + kShapeSize, [&](Spot s) {
    const double cx = s.u - kShapeSize / 2.0, cy = s.v - kShapeSize / 2.0;
    switch (letter) {
      case 'c':  // a disc of diameter 48
        return cx * cx + cy * cy <= (kShapeSize / 2.0) * (kShapeSize / 2.0) ? int{kBlue} : kLeaveAlone;
      case 'x':  // an upright plus sign, arms 20 wide
        return (s.u > 14 && s.u < 34) || (s.v > 14 && s.v < 34) ? int{kGreen} : kLeaveAlone;
      case 's':  // the whole box
        return int{kYellow};
      case 't': {  // apex 2 below the top centre, base 48 wide along the bottom; each
                   // row is as wide as the triangle at the row's lower edge
        const double down = s.v + s.halfPixel - (kShapeSize - 46);
        return down > 0 && std::fabs(cx) <= (kShapeSize / 2.0) * down / 46.0 ? int{kRed} : kLeaveAlone;
      }
      default:
        return kLeaveAlone;
    }
  });
}

}  // namespace

IndexedPicture ArrangementPicture(const char* code, int scale) {
  const int side = kPictureSize * scale;
  IndexedPicture p;
  p.width = side;
  p.height = side;
  p.palette = {{128, 128, 128}, {0, 0, 0}, {255, 255, 255}, {255, 0, 255},
               {0, 0, 255},     {0, 255, 0}, {255, 255, 0}, {255, 0, 0}};
  p.pixels.assign(static_cast<std::size_t>(side) * side, kGrey);
  for (int position = 0; position < 4; ++position)
    DrawShape(p, scale, code[position], kPositionLeft[position], kPositionTop[position]);
  DrawDoubleArrow(p, scale, 65, 1, 95, 15, kMagenta);     // swaps the left and right halves
  DrawDoubleArrow(p, scale, 1, 65, 15, 95, kMagenta);     // swaps the top and bottom halves
  DrawDoubleArrow(p, scale, 67, 34, 93, 46, kWhite);      // between positions 1 and 2
  DrawDoubleArrow(p, scale, 67, 114, 93, 126, kWhite);    // between positions 4 and 3
  DrawDoubleArrow(p, scale, 34, 67, 46, 93, kWhite);      // between positions 1 and 4
  DrawDoubleArrow(p, scale, 114, 67, 126, 93, kWhite);    // between positions 2 and 3
  DrawCentreCross(p, scale, 65, 65, 30);
  return p;
}

}  // namespace quadrilex::res
