// End-to-end tests of the real quadrilex executable, played from outside like a
// player: on an X display with a window manager, with a sound server whose sink
// is recorded. Run through run_e2e.sh, which sets up the display, the window
// manager and the sound server and says where everything is:
//   QUADRILEX_E2E_GAME        the executable
//   QUADRILEX_E2E_OUTPUT_DIR  where screenshots and logs go
//   QUADRILEX_E2E_AUDIO       the sink's monitor, raw s16le mono, growing
//   QUADRILEX_E2E_AUDIO_RATE  its sample rate
//   QUADRILEX_E2E_PIDFILE     every game started is listed here, so that the
//                             script can end it if this program cannot
//   QUADRILEX_E2E_SEED        a deal to replay (else one is chosen and printed)

#include <gtest/gtest.h>

#include <X11/keysym.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "tests/e2e/driver/audio_recording.h"
#include "tests/e2e/driver/game_driver.h"
#include "tests/e2e/driver/image.h"
#include "tests/e2e/driver/screen_reader.h"
#include "tests/e2e/driver/solver.h"
#include "tests/e2e/driver/sound_server.h"
#include "tests/e2e/driver/x_session.h"

namespace e2e {
namespace {

using namespace std::chrono_literals;

struct Config {
  std::string game;
  std::string outputDir = ".";
  std::string audioPath;
  int audioRate = 22050;
  std::string pidFile;
  unsigned seed = 0;
};

std::string Env(const char* name, const std::string& fallback = "") {
  const char* v = std::getenv(name);
  return v && *v ? std::string(v) : fallback;
}

const Config& GetConfig() {
  static const Config config = [] {
    Config c;
    c.game = Env("QUADRILEX_E2E_GAME");
    c.outputDir = Env("QUADRILEX_E2E_OUTPUT_DIR", ".");
    c.audioPath = Env("QUADRILEX_E2E_AUDIO");
    c.audioRate = std::atoi(Env("QUADRILEX_E2E_AUDIO_RATE", "22050").c_str());
    c.pidFile = Env("QUADRILEX_E2E_PIDFILE");
    const std::string seed = Env("QUADRILEX_E2E_SEED");
    c.seed = seed.empty() ? static_cast<unsigned>(std::time(nullptr)) % 1000000u
                          : static_cast<unsigned>(std::strtoul(seed.c_str(), nullptr, 10));
    return c;
  }();
  return config;
}

std::string TestName() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string(info->test_suite_name()) + "." + info->name();
}

std::string Join(const std::vector<Code>& codes) {
  std::string s;
  for (const Code& c : codes) s += (s.empty() ? "" : " ") + c;
  return s;
}

// The stacks of every thread of a process, as gdb prints them.
std::string Backtrace(long pid) {
  const std::string command = "gdb -p " + std::to_string(pid) + " -batch -ex 'thread apply all bt 20' 2>&1";
  std::string out;
  if (FILE* pipe = popen(command.c_str(), "r")) {
    char buffer[4096];
    while (std::fgets(buffer, sizeof buffer, pipe)) out += buffer;
    pclose(pipe);
  }
  return out.empty() ? std::string("(gdb gave nothing)") : out;
}

// Loud enough to be a sound, well above the exact zero of an idle null sink.
constexpr int kSoundThreshold = 64;

class EndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    const Config& config = GetConfig();
    ASSERT_FALSE(config.game.empty()) << "QUADRILEX_E2E_GAME is not set: run the suite through run_e2e.sh";
    x_ = XSession::Open();
    ASSERT_TRUE(x_) << "no X display: run the suite through run_e2e.sh";
    ASSERT_TRUE(x_->hasXTest()) << "the X server has no XTEST extension";

    audio_ = std::make_unique<AudioRecording>(config.audioPath, config.audioRate);
    audioAtStart_ = audio_->mark();

    const std::string logDir = config.outputDir + "/e2e-logs";
    mkdir(logDir.c_str(), 0755);
    std::cout << "[   seed   ] " << config.seed << "  (replay: QUADRILEX_E2E_SEED=" << config.seed
              << " run_e2e.sh ... --gtest_filter=" << TestName() << ")" << std::endl;
    ASSERT_NO_FATAL_FAILURE(BeforeLaunch());
    gameLog_ = logDir + "/" + TestName() + ".log";
    launchedAt_ = std::chrono::steady_clock::now();
    game_ = std::make_unique<GameDriver>(*x_, config.game, config.seed, gameLog_);
    ASSERT_TRUE(game_->start()) << "could not start " << config.game;
    if (!config.pidFile.empty()) std::ofstream(config.pidFile, std::ios::app) << game_->process().pid() << "\n";
  }

  // What a case sets up before the game is started.
  virtual void BeforeLaunch() {}

  void TearDown() override {
    if (HasFailure() && x_) {
      const std::string path = GetConfig().outputDir + "/e2e-failure-" + TestName() + ".png";
      if (WritePng(x_->captureScreen(), path)) std::cout << "[  screen  ] " << path << std::endl;
    }
    if (game_) game_->process().stop();
  }

  // From the start of the process to the first board on the screen.
  void StartToBoard() {
    // A start that shows no window is a failure of the game, reported with
    // what its threads were doing.
    ASSERT_TRUE(game_->waitForWindow(20s)) << "no window of the game's process with a title naming " << kGameName
                                           << " 20 s after start; the game's threads:\n"
                                           << Backtrace(game_->process().pid());
    ASSERT_TRUE(game_->locateView(10s)) << "no grey view under the menu bar of the window at "
                                        << ToString(game_->window().area);
    ASSERT_TRUE(game_->waitForBoard(30s)) << "no board with the master's red frame and 12 arrangements in "
                                          << ToString(game_->view());
  }

  // Samples recorded since `from` hold a sound.
  bool HeardSince(long from) const { return Measure(audio_->since(from), audio_->rate() / 20, kSoundThreshold).loudWindows > 0; }

  // Nothing has been heard for the last `span`.
  bool QuietFor(std::chrono::milliseconds span) const {
    const long count = audio_->rate() * static_cast<long>(span.count()) / 1000;
    const auto samples = audio_->before(audio_->mark(), count);
    return static_cast<long>(samples.size()) == count && Measure(samples, audio_->rate() / 20, kSoundThreshold).loudWindows == 0;
  }

  // A move of block k that neither matches nor collides: its zone, or 0.
  int HarmlessZone(int k) const {
    const auto& codes = game_->codes();
    for (int zone = 1; zone <= 8; ++zone) {
      const Code next = ApplyZone(codes[static_cast<std::size_t>(k)], zone);
      if (std::find(codes.begin(), codes.end(), next) == codes.end()) return zone;
    }
    return 0;
  }

  std::unique_ptr<XSession> x_;
  std::unique_ptr<AudioRecording> audio_;
  long audioAtStart_ = 0;
  std::unique_ptr<GameDriver> game_;
  std::string gameLog_;  // the game's standard output and error
  std::chrono::steady_clock::time_point launchedAt_;
};

// --- Start-up ---------------------------------------------------------------

TEST_F(EndToEnd, OpensWithTheLinesAndTheOpeningSoundThenDealsTwelveDifferentBlocks) {
  ASSERT_TRUE(game_->waitForWindow(20s));
  const Rect screen = x_->screen();
  const Rect& window = game_->window().area;
  EXPECT_GE(window.w, screen.w - 16) << "the main window " << ToString(window) << " does not fill the screen";
  EXPECT_GE(window.bottom(), screen.h - 16) << "the main window " << ToString(window) << " does not fill the screen";

  ASSERT_TRUE(game_->locateView(10s));
  std::vector<LineScore> lines;
  EXPECT_TRUE(game_->waitForOpeningLines(15s, &lines)) << "opening lines not seen: " << Describe(lines);

  ASSERT_TRUE(game_->waitForBoard(30s));
  const Rect& view = game_->view();
  EXPECT_GE(view.w, 1016);
  EXPECT_GE(view.h, 660);

  // Centred across, one pixel below the middle.
  const Board expected = ExpectedBoard(view);
  EXPECT_EQ(game_->board().left, expected.left) << "view " << ToString(view);
  EXPECT_EQ(game_->board().top, expected.top) << "view " << ToString(view);

  const std::vector<Code>& codes = game_->codes();
  EXPECT_EQ(std::set<Code>(codes.begin(), codes.end()).size(), 12u) << Join(codes);
  const Image shot = game_->shotBoard();
  EXPECT_EQ(ReadFrame(shot, game_->board(), 0), Frame::red);
  for (int k = 1; k < kBlockCount; ++k) EXPECT_EQ(ReadFrame(shot, game_->board(), k), Frame::none) << "block " << k;

  const auto title = game_->refreshWindow();
  ASSERT_TRUE(title);
  EXPECT_NE(title->title.find(kGameName), std::string::npos) << title->title;
  EXPECT_NE(title->title.find(kVersionLabel), std::string::npos) << title->title;

  // The opening sound plays behind the lines and the board comes after it, so
  // by now the recording holds all of it: 4.24 seconds, of which the first and
  // last loud moments stand at least three seconds apart.
  ASSERT_TRUE(audio_->available()) << "no recording of the sink at '" << audio_->path() << "'";
  Loudness heard;
  const int window50ms = audio_->rate() / 20;
  EXPECT_TRUE(WaitFor(3s, [&] {
    heard = Measure(audio_->since(audioAtStart_), window50ms, kSoundThreshold);
    return heard.firstLoud >= 0 && (heard.lastLoud - heard.firstLoud + 1) >= 60;
  })) << "opening sound: " << heard.loudWindows << " loud windows of 50 ms from " << heard.firstLoud << " to "
      << heard.lastLoud << ", peak " << heard.peak;
  EXPECT_EQ(game_->closeNotices(), 0) << "the game showed a message box by itself";
}

// --- Moves -----------------------------------------------------------------

TEST_F(EndToEnd, AMoveThatMatchesTheMasterFramesTheBlockGreenAndSounds) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> dealt = game_->codes();

  // The block with the shortest free way to the master.
  auto plan = PlanMatchAll(dealt, game_->inPlay());
  ASSERT_TRUE(plan && !plan->empty()) << "no way to match a block of " << Join(dealt);
  const int k = plan->front().block;
  std::vector<int> zones;
  for (const PlannedClick& c : *plan)
    if (c.block == k) zones.push_back(c.zone);
    else break;

  for (std::size_t i = 0; i + 1 < zones.size(); ++i) {
    ASSERT_TRUE(game_->move(k, zones[i])) << "block " << k << " after zone " << zones[i] << ": " << game_->codes()[static_cast<std::size_t>(k)];
    EXPECT_EQ(ReadFrame(game_->shotBoard(), game_->board(), k), Frame::none);
  }

  ASSERT_TRUE(audio_->available()) << "no recording of the sink at '" << audio_->path() << "'";
  EXPECT_TRUE(WaitFor(8s, [&] { return QuietFor(300ms); })) << "the sink never fell silent";
  const long beforeMatch = audio_->mark();

  ASSERT_TRUE(game_->move(k, zones.back())) << "block " << k << " shows " << game_->codes()[static_cast<std::size_t>(k)]
                                            << ", framed " << ToString(ReadFrame(game_->shotBoard(), game_->board(), k));
  EXPECT_EQ(game_->codes()[static_cast<std::size_t>(k)], dealt[0]);
  EXPECT_TRUE(game_->waitFor(4s, [&] { return HeardSince(beforeMatch); }))
      << "no sound after the match; message boxes of the game closed so far: " << game_->noticesClosed();

  // Nothing else moved; the master keeps its red frame.
  const Image shot = game_->shotBoard();
  EXPECT_EQ(ReadFrame(shot, game_->board(), 0), Frame::red);
  for (int j = 0; j < kBlockCount; ++j) {
    if (j == k) continue;
    EXPECT_EQ(game_->codes()[static_cast<std::size_t>(j)], dealt[static_cast<std::size_t>(j)]) << "block " << j;
  }

  // Two more matches, then a picture of the game in progress for the README.
  for (int more = 0; more < 2; ++more) {
    auto next = PlanMatchAll(game_->codes(), game_->inPlay());
    ASSERT_TRUE(next && !next->empty());
    const int b = next->front().block;
    for (const PlannedClick& c : *next) {
      if (c.block != b) break;
      ASSERT_TRUE(game_->move(c.block, c.zone));
    }
  }
  const std::string path = GetConfig().outputDir + "/e2e-screenshot.png";
  EXPECT_TRUE(WritePng(game_->shotWindow(), path)) << path;
}

TEST_F(EndToEnd, AMoveThatMakesTwoBlocksEqualFramesBothBlackThenBothDissolve) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> dealt = game_->codes();

  // The pair with the shortest way from one block to the other's arrangement
  // that touches neither the master's nor a third block's on the way.
  int from = -1, to = -1;
  std::vector<int> path;
  for (int a = 1; a < kBlockCount; ++a) {
    for (int b = 1; b < kBlockCount; ++b) {
      if (a == b) continue;
      std::set<Code> avoid{dealt[0]};
      for (int j = 1; j < kBlockCount; ++j)
        if (j != a && j != b) avoid.insert(dealt[static_cast<std::size_t>(j)]);
      const auto p = ShortestMoves(dealt[static_cast<std::size_t>(a)], dealt[static_cast<std::size_t>(b)], avoid);
      if (p && (from < 0 || p->size() < path.size())) {
        from = a;
        to = b;
        path = *p;
      }
    }
  }
  ASSERT_GE(from, 1) << "no free way to make two blocks equal in " << Join(dealt);
  std::cout << "[   plan   ] block " << from << " (" << dealt[static_cast<std::size_t>(from)] << ") to block " << to
            << " (" << dealt[static_cast<std::size_t>(to)] << ") in " << path.size() << " clicks" << std::endl;

  for (std::size_t i = 0; i + 1 < path.size(); ++i) ASSERT_TRUE(game_->move(from, path[i]));

  const Image before = game_->shotBoard();
  game_->clickZone(from, path.back());

  // What the two blocks showed, each change in turn, for the message.
  std::string seen, last;
  EXPECT_TRUE(game_->waitFor(5s, [&] {
    const Image shot = game_->shotBoard();
    const Frame fromFrame = ReadFrame(shot, game_->board(), from);
    const Frame toFrame = ReadFrame(shot, game_->board(), to);
    const std::string now = ReadBlock(shot, game_->board(), from) + " framed " + ToString(fromFrame) + " and " +
                            ReadBlock(shot, game_->board(), to) + " framed " + ToString(toFrame);
    if (now != last) seen += (seen.empty() ? "" : ", then ") + now;
    last = now;
    return fromFrame == Frame::black && toFrame == Frame::black;
  }, 10ms)) << "blocks " << from << " and " << to << " showed " << seen;

  EXPECT_TRUE(game_->waitFor(15s, [&] {
    const Image shot = game_->shotBoard();
    return AllOf(shot, game_->board().block(from), kGrey) && AllOf(shot, game_->board().block(to), kGrey);
  })) << "blocks " << from << " and " << to << " read " << Join(game_->readBoard());

  // The rest of the board is as it was.
  const Image after = game_->shotBoard();
  for (int j = 0; j < kBlockCount; ++j) {
    if (j == from || j == to) continue;
    const Rect r = game_->board().block(j);
    EXPECT_EQ(CountDifferences(before.crop(r), after.crop(r)), 0) << "block " << j << " changed";
  }
}

TEST_F(EndToEnd, AClickInsideABlockOffEveryArrowDissolvesThatBlockAlone) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const int k = 4;
  const Image before = game_->shotBoard();
  game_->clickBlock(k, 30, 80);

  EXPECT_TRUE(game_->waitFor(15s, [&] { return AllOf(game_->shotBoard(), game_->board().block(k), kGrey); }))
      << "block " << k << " reads " << game_->readBoard()[static_cast<std::size_t>(k)];
  EXPECT_EQ(game_->readBoard()[static_cast<std::size_t>(k)], kLostCode);

  const Image after = game_->shotBoard();
  for (int j = 0; j < kBlockCount; ++j) {
    if (j == k) continue;
    const Rect r = game_->board().block(j);
    EXPECT_EQ(CountDifferences(before.crop(r), after.crop(r)), 0) << "block " << j << " changed";
  }
}

TEST_F(EndToEnd, ClicksOnTheMasterTheGapsAndALostBlockChangeNoPixelOfTheBoard) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const Board& board = game_->board();

  // Lose block 7 first, so that a click on a lost block can be tried too.
  game_->clickBlock(7, 30, 80);
  ASSERT_TRUE(game_->waitFor(15s, [&] { return AllOf(game_->shotBoard(), board.block(7), kGrey); }));
  game_->readBoard();
  const Image before = game_->shotBoard();

  game_->clickZone(0, 7);           // the master's centre arrow
  game_->clickBlock(0, 30, 80);     // the master, off the arrows
  game_->clickZone(7, 3);           // an arrow of the lost block
  game_->clickBlock(1, 161, 80);    // the first pixel right of a block
  game_->clickBlock(3, 80, 170);    // between two rows
  game_->clickBlock(6, -10, 80);    // between two columns
  const Point outside{board.left - 40, board.top + 300};
  x_->click(outside.x, outside.y);  // the ground left of the board

  // Clicks are handled in order: once a later move shows, the clicks before it
  // have been handled.
  const int k = 11;
  const int zone = HarmlessZone(k);
  ASSERT_NE(zone, 0);
  const std::vector<Code> earlier = game_->codes();
  ASSERT_TRUE(game_->move(k, zone)) << "zone " << zone << " of block " << k << "; the board read " << Join(earlier)
                                    << " and now reads " << Join(game_->codes());

  Image masked = game_->shotBoard();
  Image reference = before;
  masked.fill(board.block(k), kBlack);
  reference.fill(board.block(k), kBlack);
  EXPECT_EQ(CountDifferences(reference, masked), 0) << "the board changed outside block " << k;
}

TEST_F(EndToEnd, TwoQuickClicksOnTheSameArrowBringTheBlockBack) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const int k = 10;
  const int zone = HarmlessZone(k);
  ASSERT_NE(zone, 0);
  const Code dealt = game_->codes()[static_cast<std::size_t>(k)];
  // As fast as a player's double click: each press is a move of its own.
  game_->clickZone(k, zone);
  game_->clickZone(k, zone);
  // Then a move elsewhere, to know that both presses have been handled.
  const int other = 9;
  const int otherZone = HarmlessZone(other);
  ASSERT_NE(otherZone, 0);
  ASSERT_TRUE(game_->move(other, otherZone));
  EXPECT_EQ(game_->readBoard()[static_cast<std::size_t>(k)], dealt) << "zone " << zone << " clicked twice";
}

TEST_F(EndToEnd, AClickMadeWhileABlockDissolvesTakesEffectOnlyAfterTheDissolve) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  // A first loss, away from the blocks watched below: a game without sound
  // shows its notice at the first loss, and a click under that notice would
  // not reach the board.
  game_->clickBlock(2, 30, 80);
  ASSERT_TRUE(game_->waitFor(15s, [&] { return AllOf(game_->shotBoard(), game_->board().block(2), kGrey); }));

  const std::vector<Code> dealt = game_->readBoard();
  const int lost = 4;
  const int k = 11;
  const int zone = HarmlessZone(k);
  ASSERT_NE(zone, 0);

  game_->clickBlock(lost, 30, 80);
  // The dissolve has begun once the block shows its shapes no more.
  ASSERT_TRUE(game_->waitFor(10s, [&] { return ReadBlock(game_->shotBoard(), game_->board(), lost) != dealt[lost]; }, 5ms));
  game_->clickZone(k, zone);

  bool movedDuringDissolve = false;
  const bool moved = game_->waitFor(15s, [&] {
    const Image shot = game_->shotBoard();
    const bool gone = AllOf(shot, game_->board().block(lost), kGrey);
    const bool changed = ReadBlock(shot, game_->board(), k) != dealt[k];
    if (changed && !gone) movedDuringDissolve = true;
    return gone && changed;
  }, 5ms);
  EXPECT_TRUE(moved) << "the click on block " << k << " was lost";
  EXPECT_FALSE(movedDuringDissolve) << "block " << k << " moved while block " << lost << " was still dissolving";
}

// --- A whole board, the rest, the set ------------------------------------

TEST_F(EndToEnd, MatchingAllElevenShowsTheBonusThenRestsAndDealsANewBoard) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> first = game_->codes();
  const auto panelBefore = PanelBoxes(game_->shotView(), game_->view());

  std::string why;
  ASSERT_TRUE(game_->matchAll(&why)) << why;
  const Image shot = game_->shotBoard();
  for (int k = 1; k < kBlockCount; ++k) EXPECT_EQ(ReadFrame(shot, game_->board(), k), Frame::green) << "block " << k;

  // The panel gains the Bonus box where the row was bare before.
  std::vector<std::pair<int, int>> panelAfter;
  const bool bonus = game_->waitFor(3s, [&] {
    panelAfter = PanelBoxes(game_->shotView(), game_->view());
    for (const auto& run : panelAfter) {
      bool isNew = true;
      for (const auto& old : panelBefore)
        if (run.first < old.first + old.second && old.first < run.first + run.second) isNew = false;
      if (isNew) return true;
    }
    return false;
  });
  EXPECT_TRUE(bonus) << "blue boxes in the panel: " << panelBefore.size() << " before, " << panelAfter.size() << " after";
  EXPECT_GE(panelBefore.size(), 5u) << "the panel shows Time Left, Match Score, Click Cost, Net Score and Game#";

  // After the rest and the sounds, a new board.
  const std::vector<Code> finished = game_->readBoard();
  ASSERT_TRUE(game_->waitForBoard(30s, finished)) << "no new board after " << Join(finished);
  const std::vector<Code>& next = game_->codes();
  EXPECT_NE(next, first);
  EXPECT_EQ(std::set<Code>(next.begin(), next.end()).size(), 12u) << Join(next);
}

TEST_F(EndToEnd, AGameLeftAloneEndsWhenItsTimeRunsOutThenTheNextBoardFollows) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::vector<Code> first = game_->codes();
  const auto dealt = std::chrono::steady_clock::now();
  const long heardBefore = audio_->mark();
  // 105 seconds of play, the 4 second rest and about 4.6 seconds of sounds,
  // with room to spare.
  ASSERT_TRUE(game_->waitForBoard(150s, first)) << "no new board after the time ran out";
  const auto waited = std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - dealt);
  EXPECT_GE(waited.count(), 105) << "the next board came before the game's time was up";
  const std::vector<Code>& next = game_->codes();
  EXPECT_NE(next, first);
  EXPECT_EQ(std::set<Code>(next.begin(), next.end()).size(), 12u) << Join(next);
  EXPECT_TRUE(HeardSince(heardBefore)) << "no sound at the end of the game or before the next one";
}

TEST_F(EndToEnd, AfterFiveGamesTheRecapAndTheNewSetBoxShowAndTheBoxStartsANewSet) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  {
    const Image view = game_->shotView();
    EXPECT_TRUE(RecapBoxes(view, game_->view()).empty()) << "a recap before the set is over";
    EXPECT_FALSE(FindNewSetBox(view, game_->view())) << "a new-set box before the set is over";
  }

  for (int gameNumber = 1; gameNumber <= 5; ++gameNumber) {
    std::cout << "[   game   ] " << gameNumber << ": " << Join(game_->codes()) << std::endl;
    std::string why;
    ASSERT_TRUE(game_->matchAll(&why)) << "game " << gameNumber << ": " << why;
    if (gameNumber < 5) {
      const std::vector<Code> finished = game_->readBoard();
      ASSERT_TRUE(game_->waitForBoard(30s, finished)) << "no board for game " << gameNumber + 1;
      const Image view = game_->shotView();
      EXPECT_TRUE(RecapBoxes(view, game_->view()).empty()) << "a recap during game " << gameNumber + 1;
    }
  }

  std::optional<Rect> box;
  std::vector<std::pair<int, int>> recap;
  const bool shown = game_->waitFor(30s, [&] {
    const Image view = game_->shotView();
    recap = RecapBoxes(view, game_->view());
    box = FindNewSetBox(view, game_->view());
    return recap.size() >= 6 && box.has_value();
  }, 100ms);
  ASSERT_TRUE(shown) << "recap boxes: " << recap.size() << ", new-set box: " << (box ? ToString(*box) : "none");
  EXPECT_EQ(recap.size(), 6u) << "Average and five games";
  EXPECT_GT(box->h, 10 * box->w) << "a tall column at the left edge: " << ToString(*box);

  const std::vector<Code> lastGame = game_->readBoard();
  const Point centre = box->centre();
  x_->click(centre.x, centre.y);
  std::vector<LineScore> lines;
  EXPECT_TRUE(game_->waitForOpeningLines(15s, &lines)) << "no opening lines after the new-set click: " << Describe(lines);
  EXPECT_TRUE(game_->waitForBoard(30s, lastGame)) << "no board for the new set";
  const Image view = game_->shotView();
  EXPECT_TRUE(RecapBoxes(view, game_->view()).empty()) << "the recap stays in the new set";
}

// --- A sound server that hangs, dies or comes back --------------------------

// The lines of a file that begin with `prefix`.
std::vector<std::string> LinesBeginningWith(const std::string& path, const std::string& prefix) {
  std::vector<std::string> lines;
  std::ifstream in(path);
  for (std::string line; std::getline(in, line);)
    if (line.compare(0, prefix.size(), prefix) == 0) lines.push_back(line);
  return lines;
}

// The game plays to a sound server of the case's own, which the case stops,
// kills and starts again while the rest of the suite plays to its own.
class SoundServerFault : public EndToEnd {
 protected:
  void BeforeLaunch() override {
    ASSERT_TRUE(server_.start()) << "the case's sound server did not start:\n" << server_.log();
    if (const char* suite = std::getenv("PULSE_SERVER")) suiteServer_ = suite;
    setenv("PULSE_SERVER", server_.address().c_str(), 1);
    if (frozenAtLaunch_) server_.freeze();
  }

  void TearDown() override {
    EndToEnd::TearDown();
    if (suiteServer_) setenv("PULSE_SERVER", suiteServer_->c_str(), 1);
    else unsetenv("PULSE_SERVER");
  }

  // Clicks block k off its arrows, which starts a sound, and waits until the
  // block has dissolved (closing the notice the sound may bring).
  bool Dissolve(int k) {
    game_->clickBlock(k, 30, 80);
    return game_->waitFor(15s, [&] { return AllOf(game_->shotBoard(), game_->board().block(k), kGrey); });
  }

  // What the game said on standard error of its sound.
  std::vector<std::string> SilenceLines() const { return LinesBeginningWith(gameLog_, "quadrilex: no sound"); }
  bool NamesAlsa() const { return !LinesBeginningWith(gameLog_, "ALSA").empty(); }

  bool frozenAtLaunch_ = false;
  SoundServer server_;
  std::optional<std::string> suiteServer_;
};

class FrozenSoundServer : public SoundServerFault {
 protected:
  FrozenSoundServer() { frozenAtLaunch_ = true; }
};

// A server that takes the connection and then answers nothing holds the game
// no longer than the wait for the device: the board comes, and the game goes
// on silent as it does without a device, saying so once.
TEST_F(FrozenSoundServer, TheBoardComesWithinSevenSecondsAndTheGameGoesOnSilent) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const auto toBoard = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - launchedAt_);
  std::cout << "[  board   ] " << toBoard.count() << " ms after the launch" << std::endl;
  EXPECT_LT(toBoard, 7s) << "the board came " << toBoard.count() << " ms after the launch";

  EXPECT_TRUE(Dissolve(4));
  EXPECT_TRUE(Dissolve(5));
  EXPECT_EQ(game_->noticesClosed(), 1) << "the notice that sound cannot be played, once";
  EXPECT_EQ(SilenceLines(), std::vector<std::string>{"quadrilex: no sound: the sound server does not answer"});
  EXPECT_TRUE(game_->process().running());
}

// A server killed during play: the game says so once, on the screen and on
// standard error, and when a server is there again the sound comes back.
TEST_F(SoundServerFault, AServerThatDiesIsToldOnceAndTheSoundComesBackWithIt) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  server_.kill();
  std::this_thread::sleep_for(1s);  // for the device to hear of it

  EXPECT_TRUE(Dissolve(4));
  EXPECT_TRUE(Dissolve(5));
  EXPECT_EQ(game_->noticesClosed(), 1) << "the notice that sound cannot be played, once";
  EXPECT_EQ(SilenceLines(), std::vector<std::string>{"quadrilex: no sound: the sound server went away"});
  EXPECT_FALSE(NamesAlsa()) << "the sound library's own lines reached standard error";

  ASSERT_TRUE(server_.start()) << "the sound server did not start again:\n" << server_.log();
  const std::string raw = GetConfig().outputDir + "/e2e-logs/" + TestName() + ".raw";
  ASSERT_TRUE(server_.record(raw));
  const AudioRecording recording(raw, SoundServer::kRecordingRate);
  // The device is tried again no sooner than five seconds after it was lost.
  std::this_thread::sleep_for(6s);
  bool heard = false;
  for (const int k : {6, 7, 8}) {
    ASSERT_TRUE(Dissolve(k));
    heard = WaitFor(3s, [&] {
      return Measure(recording.since(0), recording.rate() / 20, kSoundThreshold).loudWindows > 0;
    });
    if (heard) break;
  }
  EXPECT_TRUE(heard) << "no sound of the game reached the server started again";
  EXPECT_EQ(game_->noticesClosed(), 1);
}

// --- Random input -------------------------------------------------------------

// A player hitting everything for two minutes: clicks anywhere in the window,
// its menus opened and closed, F1, Ctrl+P and Escape, at random and replayable
// from the seed. Menus and dialogs are closed rather than clicked into, so
// that nothing picks File > Exit. At the end the game is alive and still
// plays: an arrow click changes its block.
TEST_F(EndToEnd, TwoMinutesOfRandomInputLeaveTheGameAliveAndStillPlaying) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  std::mt19937 random(GetConfig().seed);
  const auto percent = [&] { return std::uniform_int_distribution<int>(0, 99)(random); };
  const auto within = [&](int from, int to) { return std::uniform_int_distribution<int>(from, to - 1)(random); };
  const Rect window = game_->window().area;
  const Rect view = game_->view();
  const int menuBarHeight = view.y - window.y;
  int clicks = 0, menus = 0, keys = 0, closes = 0;

  const auto end = std::chrono::steady_clock::now() + 120s;
  while (std::chrono::steady_clock::now() < end) {
    ASSERT_TRUE(game_->process().running()) << "the game ended after " << clicks << " clicks, " << menus
                                            << " menu clicks, " << keys << " keys";
    std::vector<Rect> others;
    bool menuOpen = false;
    for (const WindowInfo& w : game_->otherWindows()) {
      others.push_back(w.area);
      menuOpen = menuOpen || w.overrideRedirect;
    }
    const int roll = percent();
    if (!others.empty()) {
      if (menuOpen && roll < 30) {
        x_->click(window.x + within(0, 100), window.y + menuBarHeight / 2);  // the other menu, or none
        ++menus;
      } else {
        x_->tapKey(XK_Escape);
        ++closes;
      }
    } else if (roll < 75) {
      x_->click(view.x + within(0, view.w), view.y + within(0, view.h));
      ++clicks;
    } else if (roll < 85) {
      x_->click(window.x + within(0, 100), window.y + menuBarHeight / 2);
      ++menus;
    } else {
      const int key = percent();
      if (key < 35) x_->tapKey(XK_F1);
      else if (key < 60) x_->tapKey(XK_p, {XK_Control_L});
      else x_->tapKey(XK_Escape);
      ++keys;
    }
    std::this_thread::sleep_for(Millis(within(20, 300)));
  }
  std::cout << "[  random  ] " << clicks << " clicks in the view, " << menus << " on the menu bar, " << keys
            << " keys, " << closes << " menus and dialogs closed" << std::endl;

  // Back to the game: whatever it is doing (a game, its rest, the recap), a
  // block in play is there within a game's length, and a move of it shows.
  bool played = false;
  const auto giveUp = std::chrono::steady_clock::now() + 150s;
  while (!played && std::chrono::steady_clock::now() < giveUp) {
    ASSERT_TRUE(game_->process().running()) << "the game ended after the random input";
    if (!game_->otherWindows().empty()) {
      x_->tapKey(XK_Escape);
      std::this_thread::sleep_for(300ms);
      continue;
    }
    if (const auto box = FindNewSetBox(game_->shotView(), game_->view())) {
      x_->click(box->centre().x, box->centre().y);
      game_->waitForBoard(30s);
      continue;
    }
    const std::vector<Code> codes = game_->readBoard();
    const bool readable = std::all_of(codes.begin(), codes.end(), [](const Code& c) { return c == kLostCode || IsArrangement(c); });
    const std::vector<bool> play = game_->inPlay();
    for (int k = 1; readable && k < kBlockCount && !played; ++k) {
      const int zone = play[static_cast<std::size_t>(k)] ? HarmlessZone(k) : 0;
      if (zone != 0) played = game_->move(k, zone, 3s);
    }
    if (!played) std::this_thread::sleep_for(1s);  // resting, or the time is up: the next game comes
  }
  EXPECT_TRUE(played) << "no arrow click changed a block after the random input; board " << Join(game_->readBoard());
}

// --- Instructions and printing --------------------------------------------

TEST_F(EndToEnd, F1ShowsTheInstructionsInAMessageBoxThatReturnAndEscapeClose) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const std::pair<unsigned long, const char*> closers[] = {{XK_Return, "Return"}, {XK_Escape, "Escape"}};
  for (const auto& closer : closers) {
    SCOPED_TRACE(std::string("closed with ") + closer.second);
    ASSERT_TRUE(game_->focusGame()) << "the main window does not take the keyboard focus";
    x_->tapKey(XK_F1);
    std::optional<WindowInfo> box;
    ASSERT_TRUE(WaitFor(10s, [&] {
      for (const WindowInfo& w : game_->otherWindows())
        if (!w.overrideRedirect) box = w;
      return box.has_value();
    })) << "no window after F1";
    EXPECT_EQ(box->title, kGameName) << "the message box carries the application's name";

    x_->tapKey(closer.first);
    EXPECT_TRUE(WaitFor(10s, [&] {
      const auto w = x_->describe(box->id);
      return !w || !w->viewable;
    })) << "the instructions stay open";
  }
  EXPECT_TRUE(game_->process().running());
}

TEST_F(EndToEnd, CtrlPOpensThePrintDialogAndEscapeClosesIt) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  ASSERT_TRUE(game_->focusGame()) << "the main window does not take the keyboard focus";
  x_->tapKey(XK_p, {XK_Control_L});
  std::optional<WindowInfo> dialog;
  ASSERT_TRUE(WaitFor(20s, [&] {
    for (const WindowInfo& w : game_->otherWindows())
      if (!w.overrideRedirect) dialog = w;
    return dialog.has_value();
  })) << "no dialog after Ctrl+P";
  EXPECT_NE(dialog->title.find("Print"), std::string::npos) << dialog->title;

  x_->tapKey(XK_Escape);
  EXPECT_TRUE(WaitFor(10s, [&] {
    const auto w = x_->describe(dialog->id);
    return !w || !w->viewable;
  })) << "the Print dialog stays open";
  EXPECT_TRUE(game_->process().running());
}

// --- Exit -----------------------------------------------------------------

TEST_F(EndToEnd, FileExitFromTheKeyboardEndsTheProgramWithStatusZero) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  ASSERT_TRUE(game_->focusGame()) << "the main window does not take the keyboard focus";
  x_->tapKey(XK_f, {XK_Alt_L});
  EXPECT_TRUE(WaitFor(5s, [&] {
    for (const WindowInfo& w : game_->otherWindows())
      if (w.overrideRedirect) return true;
    return false;
  })) << "Alt+F opened no menu";
  x_->tapKey(XK_x);
  const auto status = game_->process().waitExit(15s);
  ASSERT_TRUE(status) << "the game is still running after File > Exit";
  EXPECT_TRUE(status->exited && status->code == 0) << ToString(*status);
}

TEST_F(EndToEnd, FileExitWithTheMouseEndsTheProgramWithStatusZero) {
  ASSERT_NO_FATAL_FAILURE(StartToBoard());
  const Rect& window = game_->window().area;
  const int menuBarHeight = game_->view().y - window.y;
  ASSERT_GT(menuBarHeight, 8) << "no menu bar above the view";
  // "File" is the first title of the menu bar.
  x_->click(window.x + 18, window.y + menuBarHeight / 2);
  std::optional<WindowInfo> menu;
  ASSERT_TRUE(WaitFor(5s, [&] {
    for (const WindowInfo& w : game_->otherWindows())
      if (w.overrideRedirect) menu = w;
    return menu.has_value();
  })) << "the click on File opened no menu";
  // "Exit" is the last item of the File menu.
  x_->click(menu->area.x + menu->area.w / 3, menu->area.bottom() - 12);
  const auto status = game_->process().waitExit(15s);
  ASSERT_TRUE(status) << "the game is still running after a click on File > Exit in the menu at "
                      << ToString(menu->area);
  EXPECT_TRUE(status->exited && status->code == 0) << ToString(*status);
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const e2e::Config& config = e2e::GetConfig();
  std::cout << "[  config  ] game " << (config.game.empty() ? "(unset)" : config.game) << ", output "
            << config.outputDir << ", recording " << (config.audioPath.empty() ? "(none)" : config.audioPath)
            << ", seed " << config.seed << std::endl;
  return RUN_ALL_TESTS();
}
