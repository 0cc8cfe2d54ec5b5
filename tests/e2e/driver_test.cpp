// The end-to-end driver's own logic, checked without a display: the moves and
// the search over them, the reading of synthetic screens, the PNG files and the
// sound measure. A driver that misreads the screen or plans a colliding move
// would make the end-to-end suite blame the game for its own faults.

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <cstdlib>
#include <random>
#include <set>

#include "tests/e2e/driver/audio_recording.h"
#include "tests/e2e/driver/image.h"
#include "tests/e2e/driver/screen_reader.h"
#include "tests/e2e/driver/solver.h"

namespace e2e {
namespace {

// --- Moves and search ----------------------------------------------------

TEST(E2eDriverMoves, TableHoldsTheTwentyFourCodesInTheGameOrder) {
  const auto& codes = AllCodes();
  ASSERT_EQ(codes.size(), 24u);
  EXPECT_EQ(std::set<Code>(codes.begin(), codes.end()).size(), 24u);
  EXPECT_EQ(codes[0], "cxst");
  EXPECT_EQ(codes[1], "cxts");
  EXPECT_EQ(codes[13], "sctx");
  EXPECT_EQ(codes[23], "tsxc");
  EXPECT_TRUE(IsArrangement("txcs"));
  EXPECT_FALSE(IsArrangement("ccst"));
  EXPECT_FALSE(IsArrangement(kLostCode));
}

TEST(E2eDriverMoves, EachZoneRearrangesCxstAsItsArrowSays) {
  const char* expected[kArrowZoneCount] = {"xcts", "tsxc", "xcst", "cxts", "txsc", "csxt", "sxct", "ctsx", "ctsx", "sxct"};
  for (int zone = 1; zone <= kArrowZoneCount; ++zone) EXPECT_EQ(ApplyZone("cxst", zone), expected[zone - 1]) << "zone " << zone;
}

TEST(E2eDriverMoves, EveryZoneUndoesItself) {
  for (const Code& code : AllCodes())
    for (int zone = 1; zone <= kArrowZoneCount; ++zone) EXPECT_EQ(ApplyZone(ApplyZone(code, zone), zone), code);
}

// The game's hit test, written out again: zones widened by two pixels before
// and one after, tried in the order 1 to 7, 10, 8, 9.
int ZoneAt(int x, int y) {
  const int order[kArrowZoneCount] = {1, 2, 3, 4, 5, 6, 7, 10, 8, 9};
  for (int zone : order) {
    const ArrowZone& z = kArrowZones[zone - 1];
    if (x >= z.left - 2 && x <= z.right + 1 && y >= z.top - 2 && y <= z.bottom + 1) return zone;
  }
  return 0;
}

TEST(E2eDriverMoves, ClickPointsLieWellInsideTheirOwnZone) {
  for (int zone = 1; zone <= kArrowZoneCount; ++zone) {
    const Point p = ZoneClickPoint(zone);
    // Every pixel within three of the point is taken by the same zone, so a
    // pixel off in the game's arithmetic does not change the move.
    for (int dy = -3; dy <= 3; ++dy)
      for (int dx = -3; dx <= 3; ++dx) EXPECT_EQ(ZoneAt(p.x + dx, p.y + dy), zone) << "zone " << zone << " at " << dx << "," << dy;
  }
  EXPECT_EQ(ZoneAt(30, 80), 0) << "the off-arrow point the suite uses";
}

TEST(E2eDriverSearch, FindsTheShortestWayAndNeverStepsOnAnAvoidedArrangement) {
  EXPECT_EQ(ShortestMoves("cxst", "cxst", {}), std::vector<int>{});
  EXPECT_EQ(ShortestMoves("cxst", "xcts", {}), std::vector<int>{1});

  // Every arrangement is at most three clicks from every other, and a path
  // found is a real path to the goal.
  for (const Code& from : AllCodes()) {
    for (const Code& to : AllCodes()) {
      const auto path = ShortestMoves(from, to, {});
      ASSERT_TRUE(path);
      EXPECT_LE(path->size(), 3u);
      Code c = from;
      for (int zone : *path) c = ApplyZone(c, zone);
      EXPECT_EQ(c, to);
    }
  }

  // "tcxs" is two clicks from "cxst". With every first step blocked but the
  // one to "xcts" (zone 1), the way must go through "xcts".
  std::set<Code> avoid;
  for (int zone = 1; zone <= 8; ++zone)
    if (ApplyZone("cxst", zone) != "xcts") avoid.insert(ApplyZone("cxst", zone));
  ASSERT_EQ(avoid.count("tcxs"), 0u);
  const auto around = ShortestMoves("cxst", "tcxs", avoid);
  ASSERT_TRUE(around);
  ASSERT_EQ(around->size(), 2u);
  EXPECT_EQ(around->front(), 1);
  EXPECT_EQ(ApplyZone(ApplyZone("cxst", (*around)[0]), (*around)[1]), "tcxs");

  // A goal next to the start is reached in one click even when every other
  // neighbour is blocked: the goal itself is never avoided.
  EXPECT_EQ(ShortestMoves("cxst", "sxct", avoid), std::vector<int>{7});
}

TEST(E2eDriverSearch, ReportsABlockShutInByItsNeighbours) {
  std::set<Code> all;
  for (int zone = 1; zone <= 8; ++zone) all.insert(ApplyZone("cxst", zone));
  EXPECT_FALSE(ShortestMoves("cxst", "tscx", all));
}

TEST(E2eDriverSearch, PlansForRandomBoardsMatchEveryBlockWithoutACollision) {
  std::mt19937 random(614);
  for (int round = 0; round < 300; ++round) {
    std::vector<Code> codes = AllCodes();
    std::shuffle(codes.begin(), codes.end(), random);
    codes.resize(12);
    std::vector<bool> inPlay(12, true);
    inPlay[0] = false;
    // Some boards with blocks already lost or matched.
    if (round % 3 == 1) inPlay[5] = false;
    if (round % 3 == 2) {
      codes[8] = codes[0];
      inPlay[8] = false;
    }
    const auto plan = PlanMatchAll(codes, inPlay);
    ASSERT_TRUE(plan) << "round " << round;

    std::vector<Code> board = codes;
    std::vector<bool> play = inPlay;
    for (const PlannedClick& click : *plan) {
      ASSERT_TRUE(play[static_cast<std::size_t>(click.block)]) << "a click on a block out of play";
      Code& moved = board[static_cast<std::size_t>(click.block)];
      moved = ApplyZone(moved, click.zone);
      if (moved == board[0]) {
        play[static_cast<std::size_t>(click.block)] = false;
        continue;
      }
      for (int j = 1; j < 12; ++j) {
        if (j == click.block || !play[static_cast<std::size_t>(j)]) continue;
        ASSERT_NE(board[static_cast<std::size_t>(j)], moved) << "round " << round << ": block " << click.block << " collides with " << j;
      }
    }
    for (int k = 1; k < 12; ++k) {
      if (inPlay[static_cast<std::size_t>(k)]) EXPECT_EQ(board[static_cast<std::size_t>(k)], board[0]);
      else EXPECT_EQ(board[static_cast<std::size_t>(k)], codes[static_cast<std::size_t>(k)]) << "a block out of play was moved";
    }
  }
}

// --- Reading synthetic screens -------------------------------------------

Rgb ShapeColour(char letter) {
  switch (letter) {
    case 'c': return kBlue;
    case 'x': return kGreen;
    case 's': return kYellow;
    default: return kRed;
  }
}

// A block as the game paints it, close enough for reading: the shapes in their
// boxes (a cross and a triangle drawn in outline form), arrows in black.
void PaintBlock(Image& img, const Board& board, int k, const Code& code) {
  const Rect r = board.block(k);
  img.fill(r, kGrey);
  if (code == kLostCode) return;
  static const Point kBoxes[4] = {{16, 16}, {96, 16}, {96, 96}, {16, 96}};
  for (int p = 0; p < 4; ++p) {
    const int x0 = r.x + kBoxes[p].x, y0 = r.y + kBoxes[p].y;
    const char letter = code[static_cast<std::size_t>(p)];
    const Rgb c = ShapeColour(letter);
    for (int y = 0; y < 48; ++y) {
      for (int x = 0; x < 48; ++x) {
        bool on = true;
        if (letter == 'x') on = (x >= 14 && x < 34) || (y >= 14 && y < 34);
        if (letter == 'c') on = (x - 24) * (x - 24) + (y - 24) * (y - 24) <= 24 * 24;
        if (letter == 't') on = y < 46 && std::abs(x - 24) * 46 <= y * 24;
        if (on) img.set(x0 + x, y0 + y, c);
      }
    }
  }
  img.fill(Rect{r.x + 65, r.y + 1, 30, 14}, kBlack);
  img.fill(Rect{r.x + 65, r.y + 65, 30, 30}, kBlack);
}

void PaintFrame(Image& img, const Rect& r, Rgb c) {
  img.fill(Rect{r.x, r.y, r.w, 1}, c);
  img.fill(Rect{r.x, r.bottom() - 1, r.w, 1}, c);
  img.fill(Rect{r.x, r.y, 1, r.h}, c);
  img.fill(Rect{r.right() - 1, r.y, 1, r.h}, c);
}

struct Scene {
  Rect window{0, 20, 1280, 1004};
  Rect view{0, 46, 1280, 978};
  Board board;
  Image img;
  std::vector<Code> codes;
};

Scene MakeScene() {
  Scene s;
  s.img = Image(Rect{0, 0, 1280, 1024}, kWhite);
  s.img.fill(Rect{0, 20, 1280, 26}, Rgb{239, 239, 239});  // the menu bar
  s.img.fill(s.view, kGrey);
  s.board = ExpectedBoard(s.view);
  s.codes = {"tsxc", "cxst", "xtsc", "sctx", "ctsx", "txcs", "stxc", "xcts", "csxt", "scxt", "tcxs", "xsct"};
  for (int k = 0; k < kBlockCount; ++k) PaintBlock(s.img, s.board, k, s.codes[static_cast<std::size_t>(k)]);
  PaintFrame(s.img, s.board.block(0), kRed);
  return s;
}

TEST(E2eDriverScreen, FindsTheViewUnderTheMenuBarAndTheBoardByTheMastersFrame) {
  Scene s = MakeScene();
  const auto view = FindView(s.img, s.window);
  ASSERT_TRUE(view);
  EXPECT_EQ(view->y, 46);
  EXPECT_EQ(view->h, 978);
  EXPECT_EQ(view->w, 1280);

  const auto board = FindBoard(s.img);
  ASSERT_TRUE(board);
  EXPECT_EQ(board->left, (1280 - 700) / 2);
  EXPECT_EQ(board->top, 46 + (978 - 520) / 2 + 1);
  EXPECT_EQ(board->block(11).x, board->left + 540);
  EXPECT_EQ(board->block(11).y, board->top + 360);
  EXPECT_EQ(board->block(5).x, board->left + 180);
  EXPECT_EQ(board->block(5).y, board->top + 360);
}

TEST(E2eDriverScreen, ARedTriangleOrALineIsNotTakenForTheMastersFrame) {
  Image img(Rect{0, 0, 600, 600}, kGrey);
  img.fill(Rect{10, 10, 159, 1}, kRed);   // one pixel short across...
  img.fill(Rect{10, 10, 1, 160}, kRed);
  img.fill(Rect{10, 169, 160, 1}, kRed);
  img.fill(Rect{169, 11, 1, 159}, kRed);  // and a pixel short at the top
  EXPECT_FALSE(FindBoard(img));
  PaintFrame(img, Rect{300, 200, 160, 160}, kRed);
  const auto board = FindBoard(img);
  ASSERT_TRUE(board);
  EXPECT_EQ(board->left, 300);
  EXPECT_EQ(board->top, 200);
}

TEST(E2eDriverScreen, ReadsEveryBlocksShapesAndFrame) {
  Scene s = MakeScene();
  PaintFrame(s.img, s.board.block(4), kGreen);
  PaintFrame(s.img, s.board.block(9), kBlack);
  PaintBlock(s.img, s.board, 7, kLostCode);
  std::vector<Code> expected = s.codes;
  expected[7] = kLostCode;
  EXPECT_EQ(ReadBoard(s.img, s.board), expected);

  EXPECT_EQ(ReadFrame(s.img, s.board, 0), Frame::red);
  EXPECT_EQ(ReadFrame(s.img, s.board, 4), Frame::green);
  EXPECT_EQ(ReadFrame(s.img, s.board, 9), Frame::black);
  EXPECT_EQ(ReadFrame(s.img, s.board, 1), Frame::none);
  EXPECT_EQ(ReadFrame(s.img, s.board, 7), Frame::none);
  EXPECT_TRUE(AllOf(s.img, s.board.block(7), kGrey));
  EXPECT_FALSE(AllOf(s.img, s.board.block(6), kGrey));

  // Half way through a dissolve (after black frames) a block is neither
  // readable nor grey, and its frame is broken.
  const Rect r = s.board.block(3);
  PaintFrame(s.img, r, kBlack);
  s.img.fill(Rect{r.x, r.y, 80, 160}, kGrey);
  const Code half = ReadBlock(s.img, s.board, 3);
  EXPECT_FALSE(IsReadable(half)) << half;
  EXPECT_FALSE(AllOf(s.img, r, kGrey));
  EXPECT_EQ(ReadFrame(s.img, s.board, 3), Frame::broken);
}

// The 18 opening lines drawn with Bresenham's algorithm.
void DrawLine(Image& img, const Rect& view, Point a, Point b, Rgb c) {
  int dx = std::abs(b.x - a.x), sx = a.x < b.x ? 1 : -1;
  int dy = -std::abs(b.y - a.y), sy = a.y < b.y ? 1 : -1;
  int err = dx + dy;
  for (;;) {
    img.set(view.x + a.x, view.y + a.y, c);
    if (a.x == b.x && a.y == b.y) break;
    const int e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      a.x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      a.y += sy;
    }
  }
}

TEST(E2eDriverScreen, SeesTheOpeningLinesOnlyWhenTheyAreDrawn) {
  const Rect view{0, 46, 1280, 978};
  Image img(Rect{0, 0, 1280, 1024}, kGrey);
  EXPECT_FALSE(OpeningLinesShown(ScoreOpeningLines(img, view)));

  const int w = view.w, h = view.h;
  struct L {
    Point from, to;
    Rgb c;
  };
  const L lines[18] = {{{0, 0}, {w, h / 2}, kRed},
                       {{w, h / 2}, {0, h}, kGreen},
                       {{0, h}, {w / 2, 0}, kBlue},
                       {{w / 2, 0}, {w, h}, kYellow},
                       {{w, h}, {0, h / 2}, kRed},
                       {{0, h / 2}, {w, 0}, kBlue},
                       {{w, 0}, {3 * w / 4, h}, kGreen},
                       {{3 * w / 4, h}, {w / 4, 0}, kBlack},
                       {{w / 4, 0}, {w, h / 4}, kMagenta},
                       {{w, h / 4}, {0, 3 * h / 4}, kRed},
                       {{0, 0}, {w / 4, h}, kYellow},
                       {{w / 4, h}, {3 * w / 4, 0}, kGreen},
                       {{0, h}, {w / 4, 0}, kRed},
                       {{w / 4, 0}, {0, h / 4}, kBlue},
                       {{0, h / 4}, {w / 2, h}, kGreen},
                       {{w / 2, h}, {w, 0}, kYellow},
                       {{3 * w / 4, 0}, {w, 3 * h / 4}, kBlack},
                       {{w, 3 * h / 4}, {0, 3 * h / 4}, kYellow}};
  // All but the last line: not yet the whole animation.
  for (int i = 0; i < 17; ++i) DrawLine(img, view, lines[i].from, lines[i].to, lines[i].c);
  EXPECT_FALSE(OpeningLinesShown(ScoreOpeningLines(img, view)));
  DrawLine(img, view, lines[17].from, lines[17].to, lines[17].c);
  const auto scores = ScoreOpeningLines(img, view);
  EXPECT_TRUE(OpeningLinesShown(scores)) << Describe(scores);

  // The same picture read one view too low does not pass.
  const Rect shifted{0, 56, 1280, 968};
  EXPECT_FALSE(OpeningLinesShown(ScoreOpeningLines(img, shifted)));
}

TEST(E2eDriverScreen, CountsPanelAndRecapBoxesAndFindsTheNewSetBox) {
  Scene s = MakeScene();
  const Rect& v = s.view;
  EXPECT_TRUE(PanelBoxes(s.img, v).empty());
  EXPECT_TRUE(RecapBoxes(s.img, v).empty());
  EXPECT_FALSE(FindNewSetBox(s.img, v));

  for (int i = 0; i < 5; ++i) PaintFrame(s.img, Rect{v.x + 100 + 200 * i, v.y + 2, 90, 24}, kBlue);
  const auto panel = PanelBoxes(s.img, v);
  ASSERT_EQ(panel.size(), 5u);
  EXPECT_EQ(panel[1].first, v.x + 300);
  EXPECT_EQ(panel[1].second, 90);

  for (int i = 0; i < 6; ++i) PaintFrame(s.img, Rect{v.x + 80 + 190 * i, v.bottom() - 26, 100, 24}, kRed);
  EXPECT_EQ(RecapBoxes(s.img, v).size(), 6u);

  const Rect box{v.x + 12, v.y + 100, 24, 744};
  PaintFrame(s.img, box, kYellow);
  s.img.fill(Rect{box.x + 8, box.y + 20, 8, 16}, kBlack);  // a letter
  const auto found = FindNewSetBox(s.img, v);
  ASSERT_TRUE(found);
  EXPECT_EQ(found->x, box.x);
  EXPECT_EQ(found->y, box.y);
  EXPECT_EQ(found->w, box.w);
  EXPECT_EQ(found->h, box.h);

  // A yellow square of a shape is no box.
  Image shapes(v, kGrey);
  shapes.fill(Rect{v.x + 10, v.y + 300, 48, 48}, kYellow);
  shapes.fill(Rect{v.x + 30, v.y + 310, 8, 8}, kBlack);
  EXPECT_FALSE(FindNewSetBox(shapes, v));
}

// --- PNG -----------------------------------------------------------------

TEST(E2eDriverPng, ChecksumsMatchTheirKnownValues) {
  const std::uint8_t iend[] = {'I', 'E', 'N', 'D'};
  EXPECT_EQ(Crc32(iend, 4), 0xAE426082u);
  const std::string wiki = "Wikipedia";
  EXPECT_EQ(Adler32(reinterpret_cast<const std::uint8_t*>(wiki.data()), wiki.size()), 0x11E60398u);
}

void ExpectDecodesTo(const Image& img) {
  const auto png = EncodePng(img);
  QImage decoded;
  ASSERT_TRUE(decoded.loadFromData(png.data(), static_cast<int>(png.size()), "PNG"));
  ASSERT_EQ(decoded.width(), img.width());
  ASSERT_EQ(decoded.height(), img.height());
  long wrong = 0;
  for (int y = 0; y < img.height(); ++y) {
    for (int x = 0; x < img.width(); ++x) {
      const QRgb p = decoded.pixel(x, y);
      const Rgb want = img.at(img.area().x + x, img.area().y + y);
      if (qRed(p) != want.r || qGreen(p) != want.g || qBlue(p) != want.b) ++wrong;
    }
  }
  EXPECT_EQ(wrong, 0);
}

TEST(E2eDriverPng, AScreenOfTheGameDecodesToTheSamePixelsAndIsSmall) {
  Scene s = MakeScene();
  ExpectDecodesTo(s.img);
  EXPECT_LT(EncodePng(s.img).size(), s.img.rgb().size() / 20);
}

TEST(E2eDriverPng, NoiseAndTinyPicturesDecodeToTheSamePixels) {
  Image noise(Rect{5, 7, 301, 77});
  std::mt19937 random(1);
  for (auto& byte : noise.rgb()) byte = static_cast<std::uint8_t>(random() & 0xFF);
  ExpectDecodesTo(noise);

  // Long runs that end at awkward lengths, and matches far back.
  Image stripes(Rect{0, 0, 997, 61}, kGrey);
  for (int y = 0; y < 61; y += 3) stripes.fill(Rect{y * 7, y, 259 + y, 1}, Rgb{static_cast<std::uint8_t>(y), 9, 200});
  ExpectDecodesTo(stripes);

  ExpectDecodesTo(Image(Rect{0, 0, 1, 1}, kMagenta));
}

// --- Sound ---------------------------------------------------------------

TEST(E2eDriverSound, MeasureFindsWhereTheSoundIsAndIgnoresSilence) {
  std::vector<std::int16_t> samples(1000, 0);
  Loudness quiet = Measure(samples, 100, 64);
  EXPECT_EQ(quiet.windows, 10);
  EXPECT_EQ(quiet.loudWindows, 0);
  EXPECT_EQ(quiet.firstLoud, -1);

  samples[250] = -3000;
  samples[260] = 64;  // at the threshold: not loud
  samples[799] = 65;
  Loudness l = Measure(samples, 100, 64);
  EXPECT_EQ(l.loudWindows, 2);
  EXPECT_EQ(l.firstLoud, 2);
  EXPECT_EQ(l.lastLoud, 7);
  EXPECT_EQ(l.peak, 3000);
}

}  // namespace
}  // namespace e2e
