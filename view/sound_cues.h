// The game's two ways to play one of its sound resources, and what it keeps
// of the notice that sound cannot be played.
#pragma once

#include "platform/afx.h"

class CViewHost;

struct SoundNotice {
  // Set once the player has closed the notice; never cleared.
  bool shown = false;
  // How many notices are open right now: each holds a handler of the game in
  // the middle of its work while timers go on firing.
  int open = 0;
};

// Plays sound resource id to its end before returning; returns at once, in
// silence, when it cannot be played.
void PlaySoundSync(CViewHost& host, UINT nSoundId);

// Starts sound resource id and returns at once. The first time a sound cannot
// be played the player is told so, once per run; after that the game is silent.
void PlaySoundAsync(CViewHost& host, SoundNotice& notice, UINT nSoundId);
