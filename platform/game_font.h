// The one face the game draws its text in: a bold sans serif carried inside the
// executable, metric-compatible with the face the game asks for.
#pragma once

#include <QFont>

// A bold font of the game's face whose character cell (ascent plus descent) is
// cellHeight pixels of the device it is used on.
QFont GameFont(int cellHeight);
