// The icons: 128 the game's own (a yellow disc holding a red triangle that holds
// a green cross), 129 the document icon (a white page with a red label), and
// 154 to 157, four copies of a blue disc holding the game's square, triangle
// and cross. Each is drawn from shapes, once in the sixteen standard colours for
// the icon files, and in full colour with smooth edges for the desktop.
#pragma once

#include <cstdint>
#include <vector>

#include "res/dib.h"
#include "res/png.h"

namespace quadrilex::res {

constexpr int kIconIds[] = {128, 129, 154, 155, 156, 157};
constexpr int kIconSizes[] = {32, 16};                        // the images of each icon file, in order
// The game's window icon at the larger sizes a desktop asks for, up to 128:
// Qt leaves larger images out of a window's icon on X11, and larger views
// take the desktop's icons below. The 64 and the 96 are also the About box's
// icon on a screen of two or three device pixels to the window's pixel.
constexpr int kLargeIconSizes[] = {48, 64, 96, 128};
constexpr int kHicolorSizes[] = {16, 32, 48, 64, 128, 256};   // the desktop's PNG sizes

// The sixteen colours of the icon images, in the usual order (0 black, 9 red,
// 10 lime, 11 yellow, 12 blue, 15 white, ...).
extern const Rgb kIconPalette[16];

// An icon image: a palette index per pixel and whether it is drawn (the rest
// shows what lies behind the icon). Top row first.
struct IconImage {
  int size = 0;
  std::vector<std::uint8_t> index;
  std::vector<std::uint8_t> opaque;  // 1 drawn, 0 transparent
};

// Icon id drawn at size pixels in the sixteen colours.
IconImage DrawIconImage(int id, int size);

// The .ico file of icon id: an icon directory and a 32 by 32 and a 16 by 16
// image, four bits per pixel, each with its colour and transparency masks.
std::vector<std::uint8_t> IconFile(int id);

// The same icon drawn at each of kLargeIconSizes, in an .ico file of its own.
std::vector<std::uint8_t> LargeIconFile(int id);

// The game's icon (128) drawn at size pixels in full colour, edges smoothed
// with partial transparency.
RgbaPicture DrawAppIcon(int size);

}  // namespace quadrilex::res
