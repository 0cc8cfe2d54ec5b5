// The numbers the view's handlers share: the two timers, the six sounds, and
// the two ways the panel and the recap place their text.
#pragma once

#include "platform/afx.h"

namespace view_numbers {

// Timers.
constexpr UINT kTickTimer = 1;  // the game clock, every 50 ms while a game is played
constexpr UINT kRestTimer = 2;  // the rest after a game, 4000 ms

// Sound resources.
constexpr UINT kOpeningSound = 154;    // a game is about to start
constexpr UINT kLostSound = 155;       // one or two blocks are lost
constexpr UINT kMatchSound = 156;      // a moved block matches the master
constexpr UINT kCollisionSound = 157;  // a moved block equals another block in play
constexpr UINT kGameOverSound = 158;   // a game ends
constexpr UINT kRestOverSound = 159;   // a rest between games ends

// Numbers centred in their boxes; labels right-aligned on the ground.
constexpr UINT kBoxText = DT_SINGLELINE | DT_VCENTER | DT_CENTER;
constexpr UINT kLabelText = DT_SINGLELINE | DT_VCENTER | DT_RIGHT;

}  // namespace view_numbers
