// The pictures of the 24 arrangements: four shapes on a grey block with the
// arrows the player clicks.
#pragma once

#include "res/dib.h"

namespace quadrilex::res {

constexpr int kPictureSize = 160;

// The scales the pictures are also made at, for screens of two and three
// device pixels to the window's pixel.
constexpr int kDenserScales[] = {2, 3};

// Palette indices of the pictures.
enum PictureColour : std::uint8_t { kGrey, kBlack, kWhite, kMagenta, kBlue, kGreen, kYellow, kRed };

// The picture of the arrangement whose code is given ("cxst", ...), scale
// pixels to each of the block's 160: the same shapes, arrows and colours at
// every scale.
IndexedPicture ArrangementPicture(const char* code, int scale = 1);

}  // namespace quadrilex::res
