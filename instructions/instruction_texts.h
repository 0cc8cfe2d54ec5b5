// The instructions the player reads on the screen (F1) and on paper.
#pragma once

#include <string>

// Five paragraphs: the board, the moves, the scores, the set, and how to leave.
std::string BuildHelpText();

// The same four first paragraphs, then how to leave and how to see the
// instructions on the screen, where to find the maker's other games, and the
// maker's notice, postal address and e-mail address on lines of their own.
std::string BuildPrintText();
