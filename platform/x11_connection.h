// The game's one connection to the X server, which Qt opened; null when the
// game runs on another window system (Wayland, Qt's offscreen platform).
#pragma once

#include <xcb/xcb.h>

xcb_connection_t* X11Connection();
