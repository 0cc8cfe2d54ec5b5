// The game's two ways to play one of its sound resources.
#pragma once

#include "platform/afx.h"

class CViewHost;

// Plays sound resource id to its end before returning; returns at once, in
// silence, when it cannot be played.
void PlaySoundSync(CViewHost& host, UINT nSoundId);

// Starts sound resource id and returns at once. The first time a sound cannot
// be played the player is told so, once per run; after that the game is silent.
void PlaySoundAsync(CViewHost& host, UINT nSoundId);
