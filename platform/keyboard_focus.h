// Who has the keyboard now, as the window system sees it. Where no window
// manager runs, nothing gives a window the keyboard: the game has to take it
// itself, but never from a window of another program that the player chose.
#pragma once

enum class KeyboardHolder {
  kNobody,          // no window, the root, or a window manager's own window
  kThisProgram,     // one of this program's windows
  kAnotherProgram,  // a window of another program
};

// On X11, read off the server; elsewhere (a Wayland compositor gives the
// keyboard as it sees fit) kThisProgram, so that nothing is taken.
KeyboardHolder CurrentKeyboardHolder();
