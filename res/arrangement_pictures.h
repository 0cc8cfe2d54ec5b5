// The pictures of the 24 arrangements: four shapes on a grey block with the
// arrows the player clicks.
#pragma once

#include "res/dib.h"

namespace quadrilex::res {

constexpr int kPictureSize = 160;

// Palette indices of the pictures.
enum PictureColour : std::uint8_t { kGrey, kBlack, kWhite, kMagenta, kBlue, kGreen, kYellow, kRed };

// The picture of the arrangement whose code is given ("cxst", ...).
IndexedPicture ArrangementPicture(const char* code);

// Draws the shape of letter c ('c', 'x', 's' or 't') in the 48 by 48 box whose
// top-left corner is (left, top).
void DrawShape(IndexedPicture& picture, char letter, int left, int top);

}  // namespace quadrilex::res
