// The constants and small helpers of the windowing API that the game is written
// against, with the values the game passes. The game's own code includes this
// header rather than any toolkit header.
#pragma once

#include <string>

#include "game/win_types.h"

using DWORD = std::uint32_t;

// Message box styles and answers.
constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr int IDOK = 1;

// DrawText formats.
constexpr UINT DT_LEFT = 0x0000;
constexpr UINT DT_CENTER = 0x0001;
constexpr UINT DT_RIGHT = 0x0002;
constexpr UINT DT_VCENTER = 0x0004;
constexpr UINT DT_WORDBREAK = 0x0010;
constexpr UINT DT_SINGLELINE = 0x0020;

// Background modes.
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;

// Pen styles, raster operations and font constants the game uses.
constexpr int PS_SOLID = 0;
constexpr DWORD SRCCOPY = 0x00CC0020;
constexpr int FW_DONTCARE = 0;
constexpr int ANSI_CHARSET = 0;
constexpr int OUT_DEVICE_PRECIS = 5;
constexpr int CLIP_DEFAULT_PRECIS = 0;
constexpr int PROOF_QUALITY = 2;
constexpr int DEFAULT_PITCH = 0;
constexpr int FIXED_PITCH = 1;
constexpr int FF_DONTCARE = 0;

// Virtual keys.
constexpr UINT VK_F1 = 0x70;

// The application's name: the caption of its message boxes and of its settings.
inline const char* AfxGetAppName() { return "Quadrilex"; }
