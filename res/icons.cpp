#include "res/icons.h"

#include "res/little_endian.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace quadrilex::res {

const Rgb kIconPalette[16] = {
    {0, 0, 0},     {128, 0, 0},   {0, 128, 0},   {128, 128, 0}, {0, 0, 128},   {128, 0, 128},
    {0, 128, 128}, {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},   {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

namespace {

// Palette indices by name.
enum Colour : std::uint8_t {
  kBlackIdx = 0, kMaroon = 1, kDarkGreen = 2, kOlive = 3, kNavy = 4, kSilver = 7, kGreyIdx = 8,
  kRedIdx = 9, kLime = 10, kYellowIdx = 11, kBlueIdx = 12, kWhiteIdx = 15
};

struct Vec {
  double x, y;
};

// A filled shape with an outline of a darker colour. Coordinates are fractions
// of the icon's side, y downwards, so one drawing serves every size.
struct Shape {
  enum Kind { kDisc, kBox, kPolygon, kCross };
  Kind kind = kDisc;
  Vec centre{0, 0};
  double radius = 0;          // disc
  Vec half{0, 0};             // box: half width and height; cross: half length and half width of an arm
  std::vector<Vec> corners;   // convex polygon
  std::uint8_t fill = kBlackIdx;
  std::uint8_t edge = kBlackIdx;
  int smallestSize = 0;       // detail left out of smaller images, where it would be a smudge
  bool outer = false;         // the icon's silhouette, which keeps a whole-pixel outline at every size
};

double BoxDistance(Vec p, Vec centre, Vec half) {
  const double dx = std::fabs(p.x - centre.x) - half.x, dy = std::fabs(p.y - centre.y) - half.y;
  const double ox = std::max(dx, 0.0), oy = std::max(dy, 0.0);
  return std::sqrt(ox * ox + oy * oy) + std::min(std::max(dx, dy), 0.0);
}

// Signed distance from p to the shape's boundary: negative inside. Exact inside
// every shape, which is where the outline is measured.
double Distance(const Shape& s, Vec p) {
  switch (s.kind) {
    case Shape::kDisc:
      return std::hypot(p.x - s.centre.x, p.y - s.centre.y) - s.radius;
    case Shape::kBox:
      return BoxDistance(p, s.centre, s.half);
    case Shape::kCross:
      return std::min(BoxDistance(p, s.centre, {s.half.x, s.half.y}), BoxDistance(p, s.centre, {s.half.y, s.half.x}));
    case Shape::kPolygon: {
      double area = 0;
      const std::size_t n = s.corners.size();
      for (std::size_t i = 0; i < n; ++i) {
        const Vec a = s.corners[i], b = s.corners[(i + 1) % n];
        area += a.x * b.y - b.x * a.y;
      }
      const double turn = area > 0 ? 1.0 : -1.0;
      double d = -1e9;
      for (std::size_t i = 0; i < n; ++i) {
        const Vec a = s.corners[i], b = s.corners[(i + 1) % n];
        const double ex = b.x - a.x, ey = b.y - a.y, length = std::hypot(ex, ey);
        // The outward normal of edge a-b, whichever way the corners run.
        const double nx = turn * ey / length, ny = -turn * ex / length;
        d = std::max(d, (p.x - a.x) * nx + (p.y - a.y) * ny);
      }
      return d;
    }
  }
  return 1e9;
}

// A shape of the given kind and colours; its other fields are the caller's.
Shape Painted(Shape::Kind kind, std::uint8_t fill, std::uint8_t edge) {
  Shape s;
  s.kind = kind;
  s.fill = fill;
  s.edge = edge;
  return s;
}

Shape Disc(Vec centre, double radius, std::uint8_t fill, std::uint8_t edge) {
  Shape s = Painted(Shape::kDisc, fill, edge);
  s.centre = centre;
  s.radius = radius;
  s.outer = true;
  return s;
}

Shape Box(Vec centre, Vec half, std::uint8_t fill, std::uint8_t edge, int smallestSize = 0) {
  Shape s = Painted(Shape::kBox, fill, edge);
  s.centre = centre;
  s.half = half;
  s.smallestSize = smallestSize;
  return s;
}

Shape Polygon(std::vector<Vec> corners, std::uint8_t fill, std::uint8_t edge, bool outer = false) {
  Shape s = Painted(Shape::kPolygon, fill, edge);
  s.corners = std::move(corners);
  s.outer = outer;
  return s;
}

Shape Cross(Vec centre, double armHalfLength, double armHalfWidth, std::uint8_t fill, std::uint8_t edge) {
  Shape s = Painted(Shape::kCross, fill, edge);
  s.centre = centre;
  s.half = {armHalfLength, armHalfWidth};
  return s;
}

// The shapes of each icon, bottom first.
std::vector<Shape> Scene(int id) {
  if (id == 128) {
    // The triangle stands in the disc with its corners near the rim; the cross
    // sits in the middle, inside the triangle's inscribed circle.
    const double r = 0.42, c = 0.5;
    return {Disc({c, c}, 0.48, kYellowIdx, kOlive),
            Polygon({{c, c - r}, {c + r * std::sqrt(3.0) / 2, c + r / 2}, {c - r * std::sqrt(3.0) / 2, c + r / 2}},
                    kRedIdx, kMaroon),
            Cross({c, c}, 0.19, 0.065, kLime, kDarkGreen)};
  }
  if (id == 129) {
    return {Polygon({{0.19, 0.06}, {0.62, 0.06}, {0.81, 0.25}, {0.81, 0.94}, {0.19, 0.94}}, kWhiteIdx, kBlackIdx, true),
            Polygon({{0.62, 0.06}, {0.81, 0.25}, {0.62, 0.25}}, kSilver, kBlackIdx, true),  // the folded corner
            Box({0.42, 0.17}, {0.14, 0.017}, kGreyIdx, kGreyIdx, 32),                   // lines of writing
            Box({0.5, 0.31}, {0.22, 0.017}, kGreyIdx, kGreyIdx, 32),
            Box({0.5, 0.76}, {0.22, 0.017}, kGreyIdx, kGreyIdx, 32),
            Box({0.45, 0.84}, {0.17, 0.017}, kGreyIdx, kGreyIdx, 32),
            Box({0.5, 0.535}, {0.24, 0.125}, kRedIdx, kMaroon)};  // the label
  }
  if (id >= 154 && id <= 157) {
    return {Disc({0.5, 0.5}, 0.48, kBlueIdx, kNavy),
            Box({0.345, 0.36}, {0.125, 0.125}, kYellowIdx, kOlive),
            Polygon({{0.66, 0.21}, {0.81, 0.48}, {0.51, 0.48}}, kRedIdx, kMaroon),
            Cross({0.5, 0.685}, 0.145, 0.05, kLime, kDarkGreen)};
  }
  throw std::out_of_range("no icon " + std::to_string(id));
}

// The colour at point p (fractions of the side) of a picture size pixels wide:
// false where no shape covers p. Outlines are size / 32 pixels wide; with whole
// pixels (no smoothing) a thinner outline would come out patchy, so there the
// silhouette gets one pixel and the shapes inside it none.
bool ColourAt(const std::vector<Shape>& scene, int size, Vec p, bool wholePixels, std::uint8_t& colour) {
  bool covered = false;
  for (const Shape& s : scene) {
    if (size < s.smallestSize) continue;
    double outline = size / 32.0;
    if (wholePixels && outline < 1) outline = s.outer ? 1 : 0;
    const double d = Distance(s, p) * size;  // in pixels
    if (d <= 0) {
      covered = true;
      colour = d > -outline ? s.edge : s.fill;
    }
  }
  return covered;
}

// One image as an icon file stores it: a bitmap header whose height counts both
// masks, the colour table, the colour rows and then the transparency rows, each
// bottom-up and padded to four bytes.
std::vector<std::uint8_t> EncodeIconBitmap(const IconImage& image) {
  const int n = image.size;
  const std::uint32_t colourStride = (static_cast<std::uint32_t>(n) * 4 + 31) / 32 * 4;
  const std::uint32_t maskStride = (static_cast<std::uint32_t>(n) + 31) / 32 * 4;
  std::vector<std::uint8_t> out;
  Put32(out, 40);
  Put32(out, static_cast<std::uint32_t>(n));
  Put32(out, static_cast<std::uint32_t>(2 * n));
  Put16(out, 1);   // planes
  Put16(out, 4);   // bits per pixel
  Put32(out, 0);   // no compression
  Put32(out, (colourStride + maskStride) * static_cast<std::uint32_t>(n));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, 16);  // colours used
  Put32(out, 0);
  for (const Rgb& c : kIconPalette) out.insert(out.end(), {c.b, c.g, c.r, 0});
  for (int y = n - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(colourStride, 0);
    for (int x = 0; x < n; ++x) {
      const std::size_t at = static_cast<std::size_t>(y) * n + x;
      // Transparent pixels are black in the colour mask, so that the screen
      // behind shows through unchanged.
      const std::uint8_t index = image.opaque[at] ? image.index[at] : 0;
      row[static_cast<std::size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  for (int y = n - 1; y >= 0; --y) {
    std::vector<std::uint8_t> row(maskStride, 0);
    for (int x = 0; x < n; ++x)
      if (!image.opaque[static_cast<std::size_t>(y) * n + x])
        row[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

}  // namespace

IconImage DrawIconImage(int id, int size) {
  const std::vector<Shape> scene = Scene(id);
  IconImage image;
  image.size = size;
  image.index.assign(static_cast<std::size_t>(size) * size, 0);
  image.opaque.assign(static_cast<std::size_t>(size) * size, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      std::uint8_t colour = 0;
      const std::size_t at = static_cast<std::size_t>(y) * size + x;
      if (ColourAt(scene, size, {(x + 0.5) / size, (y + 0.5) / size}, true, colour)) {
        image.index[at] = colour;
        image.opaque[at] = 1;
      }
    }
  }
  return image;
}

namespace {

// An icon directory and the images it lists, in the order of sizes.
template <std::size_t N>
std::vector<std::uint8_t> IconFileOfSizes(int id, const int (&sizes)[N]) {
  std::vector<std::vector<std::uint8_t>> images;
  for (int size : sizes) images.push_back(EncodeIconBitmap(DrawIconImage(id, size)));
  std::vector<std::uint8_t> out;
  Put16(out, 0);  // reserved
  Put16(out, 1);  // an icon, not a cursor
  Put16(out, static_cast<std::uint32_t>(images.size()));
  std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(images.size());
  for (std::size_t i = 0; i < images.size(); ++i) {
    const int size = sizes[i];
    out.push_back(static_cast<std::uint8_t>(size));  // width, 0 for 256
    out.push_back(static_cast<std::uint8_t>(size));  // height
    out.push_back(16);                               // colours
    out.push_back(0);
    Put16(out, 1);  // planes
    Put16(out, 4);  // bits per pixel
    Put32(out, static_cast<std::uint32_t>(images[i].size()));
    Put32(out, offset);
    offset += static_cast<std::uint32_t>(images[i].size());
  }
  for (const auto& image : images) out.insert(out.end(), image.begin(), image.end());
  return out;
}

}  // namespace

std::vector<std::uint8_t> IconFile(int id) { return IconFileOfSizes(id, kIconSizes); }

std::vector<std::uint8_t> LargeIconFile(int id) { return IconFileOfSizes(id, kLargeIconSizes); }

RgbaPicture DrawAppIcon(int size) {
  const std::vector<Shape> scene = Scene(128);
  constexpr int kSamples = 6;  // per pixel along each axis
  RgbaPicture picture;
  picture.width = size;
  picture.height = size;
  picture.rgba.assign(4 * static_cast<std::size_t>(size) * size, 0);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      int covered = 0, r = 0, g = 0, b = 0;
      for (int sy = 0; sy < kSamples; ++sy) {
        for (int sx = 0; sx < kSamples; ++sx) {
          std::uint8_t colour = 0;
          const Vec p{(x + (sx + 0.5) / kSamples) / size, (y + (sy + 0.5) / kSamples) / size};
          if (!ColourAt(scene, size, p, false, colour)) continue;
          ++covered;
          r += kIconPalette[colour].r;
          g += kIconPalette[colour].g;
          b += kIconPalette[colour].b;
        }
      }
      std::uint8_t* px = &picture.rgba[4 * (static_cast<std::size_t>(y) * size + x)];
      if (covered == 0) continue;
      px[0] = static_cast<std::uint8_t>((r + covered / 2) / covered);
      px[1] = static_cast<std::uint8_t>((g + covered / 2) / covered);
      px[2] = static_cast<std::uint8_t>((b + covered / 2) / covered);
      px[3] = static_cast<std::uint8_t>((255 * covered + kSamples * kSamples / 2) / (kSamples * kSamples));
    }
  }
  return picture;
}

}  // namespace quadrilex::res
