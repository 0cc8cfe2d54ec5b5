// The game's version block and strings, kept as data: a Windows build compiles
// them into its resource script; on Linux they answer --version and name the
// desktop entry.
#pragma once

#include "view/title.h"

namespace version_info {

// The fixed part: file and product version 1.0.0.1.
constexpr int kFileVersion[4] = {1, 0, 0, 1};
constexpr const char* kCompanyName = "";
constexpr const char* kFileDescription = "Quadrilexd MFC Application";
constexpr const char* kFileVersionText = "1, 0, 0, 1";
constexpr const char* kInternalName = "Quadrilexd";
constexpr const char* kLegalCopyright = kCopyrightNotice;
constexpr const char* kLegalTrademarks = "";
constexpr const char* kOriginalFilename = "Quadrilexd.EXE";
constexpr const char* kProductName = "Quadrilexd Application";
constexpr const char* kProductVersionText = "1, 0, 0, 1";

// String resources.
constexpr const char* kDocumentString = "Quadrilex\n\nPrismo\n\n\nQuadrilex.Document\nPrismo Document";  // 128
constexpr const char* kAppTitle = "Quadrilex";                                                      // 57344
constexpr const char* kIdleMessage = "Ready";                                                        // 57345

// The id the desktop knows the game by: its .desktop entry, its metadata, its icon.
constexpr const char* kDesktopId = "example.brindlewick.Quadrilex";

}  // namespace version_info
