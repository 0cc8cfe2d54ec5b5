// Resources inside the executable, found by type and number: the arrangement
// pictures (type "bitmap"), the sounds (type "sound"), the icons (type "icon",
// and "largeicon" for the game icon's larger sizes).
#pragma once

#include <QByteArray>
#include <QIcon>
#include <QImage>

#include "game/win_types.h"

// The bytes of resource id of the given type, the type compared without regard
// to case; a null array when there is no such resource.
QByteArray FindResourceBytes(UINT id, const char* type);

// The type the game's sounds are kept under.
constexpr const char* kSoundResourceType = "sound";

// Decodes a device-independent bitmap as it is stored in a bitmap resource:
// header, colour table, rows bottom-up. A null image when it cannot be read.
QImage DecodeDib(const QByteArray& dib);

// Bitmap resource id as an image of palette indices, drawn scale pixels to
// each of the game's (1, or one of the denser scales the pictures are also
// made at); a null image when it is missing.
QImage LoadBitmapResource(UINT id, int scale = 1);

// The game's own icon, on its window and in the About box.
constexpr UINT kAppIconId = 128;

// Icon group id with every image size it holds, and the game's icon with its
// larger sizes too; an empty icon when it is missing.
QIcon LoadIconResource(UINT id);
