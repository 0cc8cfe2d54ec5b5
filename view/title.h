// The game's name, its maker's notice and its version as the window title and
// the About box show them.
#pragma once

// The title is the prefix, the date and time of the latest paint, then the version.
constexpr const char* kTitlePrefix = "Quadrilex  Copyright (C) 1997 Brindlewick Puzzle Works -- ";
constexpr const char* kTitleVersion = " -- Version J614 ";
