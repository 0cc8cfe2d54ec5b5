// The game's two instruction texts: the one F1 shows, and the one that is
// printed. They share their first four paragraphs.
#include "instructions/instruction_texts.h"

namespace {

const char* const kWelcome =
    "Welcome to the Quadrilex game. This is the Pilvet Edition and does not have all the "
    "features of the Zentaryl Edition. The board has 12 blocks. In each block there is a "
    "square, a circle, a triangle, and a cross. These shapes are arranged in a different manner "
    "in each block. The purpose of the game is to match all blocks to the master block without "
    "matching any other block in the process. The master is the block with the red frame in the "
    "upper left corner. ";

const char* const kHowToMove =
    "To rearrange the shapes in a block, click on the arrows. The white arrows will swap one "
    "set of 2 shapes, the purple arrows will swap 2 sets of 2 shapes each. If you click inside "
    "a block but not on an arrow, you will lose the block. If you click on an arrow and the new "
    "block matches the master, your Match Points will go up. The newly matched block will be "
    "framed in green. Do not touch such a block or you may lose it. If you click on an arrow "
    "and the new block matches another block, you will lose both of them. ";

const char* const kScoring =
    "The Net Score of a game is the sum of the Match Points and the Bonus less the cost of the "
    "clicks. The Match Points are 10, 40, 100, 200, 350, 560, 840, 1200, 1650, 2200, 2860, and "
    "3640 for 0 to 11 matches, respectively. The first good click in a block costs 10, the "
    "second in the same block costs 40, the third 100, and so on up to a maximum of 2200. This "
    "is true for each block. To get the Bonus you must complete all 11 matches before you run "
    "out of time. The Bonus uses the same scale as the Match Points. It is based on the number "
    "of seconds of time left up to a maximum of 90. For example, if you make all 11 matches and "
    "there are 7 seconds left, your Bonus will be 840 points. If you finish a game with 90 or "
    "more seconds to spare, your bonus would be 1,255,800 points. Each game lasts about 1 "
    "minute and 45 seconds. ";

const char* const kSets =
    "A set of games consists of five games played one after the other with about 4 seconds of "
    "rest in between. At the end of a set you will see a recap at the bottom of the screen "
    "showing the five scores and the average. There will also be a yellow-framed box on the "
    "left side of the screen. Click on this to play another set. ";

const char* const kExitOnScreen =
    "To exit at any time, press the Alt+F4 keys or click on the Exit item under the File menu "
    "located on the Menu Bar. You may print these instructions by pressing the Ctrl and P keys.";

const char* const kExitPrinted =
    "To exit at any time, press the Alt+F4 keys or click on the Exit item under the File menu "
    "located on the Menu Bar. You may view these instructions by pressing the F1 key. ";

const char* const kMoreGames =
    "More free games from Brindlewick Puzzle Works, among them Pebblewick Pairs, Cinder Columns and "
    "the full Zentaryl Edition of Quadrilex, can be found at our games library on the web at "
    "https://games.brindlewick.example or ordered on disk by post from the address below. ";

const char* const kMakerNotice =
    "Copyright (C) 1997 Brindlewick Puzzle Works. All rights reserved.\n"
    "Brindlewick Puzzle Works, 14 Lantern Row, Marrowgate MG4 7QT\n"
    "E-mail: puzzles@brindlewick.example";

const char* const kParagraphBreak = "\n\n";

}  // namespace

std::string BuildPrintText() {
  std::string text;
  for (const char* piece : {kWelcome, kParagraphBreak, kHowToMove, kParagraphBreak, kScoring, kParagraphBreak, kSets,
                            kParagraphBreak, kExitPrinted, kParagraphBreak, kMoreGames, kParagraphBreak,
                            kMakerNotice}) {
    text += piece;
  }
  return text;
}

std::string BuildHelpText() {
  std::string text;
  for (const char* piece : {kWelcome, kParagraphBreak, kHowToMove, kParagraphBreak, kScoring, kParagraphBreak, kSets,
                            kParagraphBreak, kExitOnScreen}) {
    text += piece;
  }
  return text;
}
