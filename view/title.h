// The game's name, its maker's notice and its version as the window title, the
// About box and the version block show them.
#pragma once

#include <string>

// The maker's one-line notice of its rights.
constexpr const char* kCopyrightNotice = "Copyright (C) 1997 Brindlewick Puzzle Works";

// The title is this prefix, the date and time of the latest paint, then the version.
inline std::string TitlePrefix() { return std::string("Quadrilex  ") + kCopyrightNotice + " -- "; }
// The game's own name for its version, in the title, the About box and --version.
constexpr const char* kVersionLabel = "J614";
inline std::string TitleVersion() { return std::string(" -- Version ") + kVersionLabel + " "; }
