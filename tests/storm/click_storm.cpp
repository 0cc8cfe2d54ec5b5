#include "tests/storm/click_storm.h"

#include <algorithm>
#include <cstdio>
#include <deque>
#include <memory>
#include <ostream>
#include <sstream>

#include "game/layout.h"
#include "game/moves.h"
#include "platform/gdi.h"
#include "platform/surface.h"
#include "tests/support/test_host.h"
#include "view/quadrilexd_view.h"

using namespace quadrilex;

namespace storm {

namespace {

constexpr std::time_t kEpoch = 1000000000;
constexpr UINT kTickTimer = 1;
constexpr UINT kRestTimer = 2;
constexpr long kRestMs = 4000;
constexpr int kLastGame = 4;
// A game that has not ended after this many events is stuck.
constexpr long kStepsPerGameLimit = 5000;
// The storm gives up after this many sessions in a row that end no game.
constexpr int kBarrenSessionLimit = 1000;

const char* const kNoTimerText = "Program Abort: No timer available";
const char* const kNoTimerCaption = "SDI:QUADRILEX";
const char* const kTooSmallText =
    "Program Abort: This game will not run unless the screen is at least 1024 wide and 720 high.";
const char* const kSoundNoticeText = "Cannot play sound.\nThis game works much better with a sound card.";

std::uint64_t SplitMix(std::uint64_t& state) {
  std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

std::uint64_t MixSeed(std::uint64_t seed, std::uint64_t n) {
  std::uint64_t state = seed ^ (n * 0xD1B54A32D192ED03ull);
  return SplitMix(state);
}

class Rng {
 public:
  explicit Rng(std::uint64_t seed) : m_state(seed) {}
  std::uint64_t Next() { return SplitMix(m_state); }
  int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n)); }
  int Between(int lo, int hi) { return lo + Below(hi - lo + 1); }
  double Unit() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }
  bool Chance(double p) { return Unit() < p; }
  // An index drawn with the given weights.
  template <std::size_t N>
  int Pick(const double (&weights)[N]) {
    double total = 0;
    for (double w : weights) total += w;
    double at = Unit() * total;
    for (std::size_t i = 0; i < N; ++i) {
      if (at < weights[i]) return static_cast<int>(i);
      at -= weights[i];
    }
    return static_cast<int>(N - 1);
  }

 private:
  std::uint64_t m_state;
};

std::string Hex(std::uint64_t value) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%016llx", static_cast<unsigned long long>(value));
  return text;
}

std::string Format7(long value) {
  char text[16];
  std::snprintf(text, sizeof text, "%7li", value);
  return text;
}

// How a game is played. The mix keeps most clicks on arrows, since every lost
// block costs a dissolve of 204800 pixel writes.
enum class Style { kSolve, kWander, kIdle, kChaos };
const char* const kStyleName[] = {"solve", "wander", "idle", "chaos"};

// Where a click during play goes.
enum Target { kSolver, kHarmlessArrow, kRandomArrow, kOffArrow, kInert, kAnywhere, kTargetCount };
const double kTargetWeights[4][kTargetCount] = {
    // solver, harmless arrow, random arrow, off-arrow, inert, anywhere
    {86.5, 7, 1.2, 0.3, 4.7, 0.3},  // solve: finish the board
    {0, 67, 2.5, 0.4, 28.9, 1.2},   // wander: move about until the time runs out
    {0, 12, 0.5, 0.2, 85.3, 2},     // idle: mostly clicks that change nothing
    {10, 15, 25, 15, 15, 20},       // chaos: losses and collisions
};

// A device context on a surface of the storm's own.
class ScratchDC : public CDC {
 public:
  explicit ScratchDC(CSurface& surface) { AttachSurface(&surface); }
  ~ScratchDC() override { Detach(); }
};

class Session {
 public:
  Session(const StormOptions& options, std::uint64_t seed, long gameBudget, StormReport& report);
  void Run();
  long GamesEnded() const { return m_checker.Counts().gamesEnded; }

 private:
  enum class Event { kFirstPaint, kClick, kTimer, kPaint };

  // ---- one step of the storm ----
  void Step();
  void StepPlaying();
  void StepResting();
  void StepSetOver();
  bool ThrowInFault();
  void LeaveBoxesOpen();
  void FireInBox(UINT id);

  // ---- events ----
  void FirstPaint();
  void Click(CPoint point, const std::string& what);
  void Fire(UINT id);
  void Repaint(const std::string& what);
  template <typename Action>
  void RunEvent(Event kind, UINT id, CPoint point, const std::string& what, Action action);
  void EndByAbort(bool exited, int status, bool timerFailed);
  void CheckMessageBoxes();
  // Hands the checker's findings to the report; true when there were any.
  bool TakeViolations();
  void Violation(const std::string& what);

  // ---- the clock ----
  void Advance(long ms);
  void SyncClock();
  long PlayDelay();
  bool RestDue() const { return m_simMs - m_restStartMs >= kRestMs; }
  void NoteRestTimerStarts();

  // ---- deals ----
  void PrepareNextDeal();
  void OnDeal();

  // ---- where to click ----
  void ClickDuringPlay();
  void ClickNewSetBox();
  CPoint ZonePoint(int block, int zone, bool taken);
  CPoint OffArrowPoint(int block);
  CPoint InertPoint();
  CPoint AnywherePoint();
  int SolverZone(int block);
  int HarmlessZone(int block);
  std::vector<int> BlocksInPlay() const;

  bool RecapOnScreen(const int (&scores)[5], int average);

  const StormOptions& m_options;
  const std::uint64_t m_seed;
  const long m_gameBudget;
  StormReport& m_report;
  Rng m_rng;
  std::unique_ptr<CTestHost> m_host;
  std::unique_ptr<CQuadrilexdView> m_view;
  StormChecker m_checker;
  CSurface m_scratch;

  std::time_t m_base = kEpoch;
  long long m_simMs = 0;  // the storm's clock in milliseconds; the host sees whole seconds
  long long m_restStartMs = 0;
  long m_step = 0;
  long m_stepsThisGame = 0;
  long m_gamesSeen = 0;
  int m_setsPlanned = 1;
  bool m_ended = false;
  bool m_expectSizeAbort = false;
  bool m_noticeShown = false;
  bool m_inBox = false;
  int m_timersFiredInBox = 0;
  std::size_t m_logRead = 0;  // host log entries already looked at in this event
  int m_gamesDealt = 0;
  std::uint64_t m_nextDealSeed = 0;
  std::uint64_t m_dealSeed = 0;
  Style m_style = Style::kSolve;
};

Session::Session(const StormOptions& options, std::uint64_t seed, long gameBudget, StormReport& report)
    : m_options(options), m_seed(seed), m_gameBudget(gameBudget), m_report(report), m_rng(seed) {
  int width = kMinClientWidth;
  int height = kMinClientHeight;
  if (m_rng.Chance(0.3)) {
    width = m_rng.Between(kMinClientWidth, 1600);
    height = m_rng.Between(kMinClientHeight, 1200);
  }
  m_host = std::make_unique<CTestHost>(width, height);
  m_base = kEpoch + m_rng.Below(1000000);
  m_host->SetTime(m_base);
  // Half the sessions let the synchronous sounds take their time on the clock.
  if (m_rng.Chance(0.5)) {
    m_host->SetSoundSeconds(154, 4);
    m_host->SetSoundSeconds(159, m_rng.Below(2));
    m_host->SetSoundSeconds(157, m_rng.Below(2));
  }
  m_setsPlanned = 1 + m_rng.Below(3);
  m_view = m_options.makeView ? m_options.makeView(*m_host) : std::make_unique<CQuadrilexdView>(*m_host);
  m_host->Attach(m_view.get());
  if (m_options.checkRecapPixels) {
    m_checker.SetRecapProbe([this](const int(&scores)[5], int average) { return RecapOnScreen(scores, average); });
  }
  ++m_report.sessions;
}

void Session::Run() {
  PrepareNextDeal();
  FirstPaint();
  const long stopAt = m_options.stopAfterViolations;
  while (!m_ended && GamesEnded() < m_gameBudget && (stopAt <= 0 || m_report.violations < stopAt)) {
    Step();
    if (GamesEnded() != m_gamesSeen) {
      m_gamesSeen = GamesEnded();
      m_stepsThisGame = 0;
    } else if (++m_stepsThisGame > kStepsPerGameLimit) {
      Violation("no game has ended for " + std::to_string(kStepsPerGameLimit) + " events");
      m_ended = true;
    }
  }
  const StormChecker::Tally& t = m_checker.Counts();
  StormChecker::Tally& sum = m_report.outcomes;
  sum.gamesEnded += t.gamesEnded;
  sum.endedByTick += t.endedByTick;
  sum.endedByClickDone += t.endedByClickDone;
  sum.endedByClickTimeOut += t.endedByClickTimeOut;
  sum.endedByPaint += t.endedByPaint;
  sum.endedWithBonus += t.endedWithBonus;
  sum.endedWithLoss += t.endedWithLoss;
  sum.recaps += t.recaps;
  sum.newSets += t.newSets;
  sum.newSetsBeforeRecap += t.newSetsBeforeRecap;
  sum.strayRestTicks += t.strayRestTicks;
  sum.collisions += t.collisions;
  sum.offArrowLosses += t.offArrowLosses;
  sum.matches += t.matches;
  sum.ignoredClicks += t.ignoredClicks;
  sum.disturbedEvents += t.disturbedEvents;
  m_report.games += t.gamesEnded;
}

// ---- one step ----

void Session::Step() {
  if (m_rng.Chance(m_options.faultRate) && ThrowInFault()) return;
  if (!m_view->Resting()) {
    StepPlaying();
  } else if (m_host->TimerRunning(kRestTimer)) {
    StepResting();
  } else if (m_view->Game() == kLastGame) {
    StepSetOver();
  } else {
    // Resting between games with no rest timer: nothing would ever start
    // the next game. The checker has said so; this session is over.
    Violation("resting between games with no rest timer");
    m_ended = true;
  }
}

void Session::StepPlaying() {
  Advance(PlayDelay());
  const double r = m_rng.Unit();
  if (r < 0.20) {
    Fire(kTickTimer);
  } else if (r < 0.24 && m_host->TimerRunning(kRestTimer) && RestDue()) {
    Fire(kRestTimer);
  } else if (r < 0.26) {
    Repaint("a repaint during play");
  } else {
    ClickDuringPlay();
  }
}

void Session::StepResting() {
  Advance(m_rng.Below(2500));
  const bool finalRest = m_view->Game() == kLastGame;
  const bool moreSets = 1 + m_checker.Counts().newSets < m_setsPlanned;
  if (RestDue() && m_rng.Chance(0.85)) {
    Fire(kRestTimer);
  } else if (m_rng.Chance(0.06)) {
    Repaint("a repaint during the rest");
  } else if (finalRest && moreSets && m_rng.Chance(0.25)) {
    ClickNewSetBox();
  } else if (m_rng.Chance(0.5)) {
    Click(InertPoint(), "a click during the rest");
  } else {
    Click(AnywherePoint(), "a click anywhere during the rest");
  }
}

void Session::StepSetOver() {
  if (1 + m_checker.Counts().newSets >= m_setsPlanned) {
    m_ended = true;
    return;
  }
  Advance(m_rng.Below(3000));
  const double r = m_rng.Unit();
  if (r < 0.75) {
    ClickNewSetBox();
  } else if (r < 0.95) {
    Click(AnywherePoint(), "a click beside the new-set box");
  } else {
    Repaint("a repaint of the recap");
  }
}

bool Session::ThrowInFault() {
  const double r = m_rng.Unit();
  if (r < 0.3) {
    if (m_options.trace) *m_options.trace << "  fault: the next timer start fails\n";
    m_host->FailTimerStarts(1);
    return false;
  }
  if (r < 0.5) {
    if (m_options.trace) *m_options.trace << "  fault: no sound device\n";
    m_host->SetSoundDevice(false);
    ++m_report.soundFaults;
    return false;
  }
  if (r < 0.7) {
    if (m_options.trace) *m_options.trace << "  fault: message boxes stay open while timers fire\n";
    m_host->SetSoundDevice(false);
    LeaveBoxesOpen();
    ++m_report.openBoxFaults;
    return false;
  }
  ++m_report.resizes;
  int width = m_rng.Between(kMinClientWidth, 1600);
  int height = m_rng.Between(kMinClientHeight, 1200);
  if (m_rng.Chance(0.15)) {
    m_expectSizeAbort = true;
    if (m_rng.Chance(0.5))
      width = m_rng.Between(800, kMinClientWidth - 1);
    else
      height = m_rng.Between(480, kMinClientHeight - 1);
  }
  m_host->SetClientSize(width, height);
  Repaint("a paint after a resize to " + std::to_string(width) + " by " + std::to_string(height));
  return true;
}

void Session::LeaveBoxesOpen() {
  m_host->WhileMessageBoxOpen([this](const CTestHost::MessageBoxCall&) {
    // A second box inside the first is answered at once.
    if (m_inBox) return;
    struct Open {
      bool& flag;
      explicit Open(bool& f) : flag(f) { flag = true; }
      ~Open() { flag = false; }
    } open(m_inBox);
    const int steps = 1 + m_rng.Below(4);
    for (int i = 0; i < steps; ++i) {
      SyncClock();
      Advance(m_rng.Below(3000));
      // A tick that ends the game starts the rest under the open box; the
      // rest timer fires 4 seconds after its latest start.
      if (m_host->TimerRunning(kTickTimer) && m_rng.Chance(0.7)) FireInBox(kTickTimer);
      if (m_host->TimerRunning(kRestTimer) && RestDue() && m_rng.Chance(0.5)) FireInBox(kRestTimer);
    }
  });
}

void Session::FireInBox(UINT id) {
  if (m_options.trace) *m_options.trace << "  under the open box at t=" << m_simMs << "ms: timer " << id << '\n';
  if (m_host->FireTimer(id)) ++m_timersFiredInBox;
  NoteRestTimerStarts();
}

// ---- events ----

void Session::FirstPaint() {
  RunEvent(Event::kFirstPaint, 0, CPoint(), "the first paint", [this] { m_view->Paint(); });
}

void Session::Click(CPoint point, const std::string& what) {
  ++m_report.clicks;
  RunEvent(Event::kClick, 0, point, what + " at (" + std::to_string(point.x) + ", " + std::to_string(point.y) + ")",
           [this, point] { m_view->OnLButtonDown(0, point); });
}

void Session::Fire(UINT id) {
  if (!m_host->TimerRunning(id)) return;
  ++m_report.timerEvents;
  RunEvent(Event::kTimer, id, CPoint(), "timer " + std::to_string(id), [this, id] { m_host->FireTimer(id); });
}

void Session::Repaint(const std::string& what) {
  ++m_report.paints;
  RunEvent(Event::kPaint, 0, CPoint(), what, [this] { m_view->Paint(); });
}

template <typename Action>
void Session::RunEvent(Event kind, UINT id, CPoint point, const std::string& what, Action action) {
  ++m_step;
  ++m_report.steps;
  if (m_options.trace) {
    *m_options.trace << "session " << Hex(m_seed) << " step " << m_step << " t=" << m_simMs << "ms game "
                     << m_gamesDealt << " (" << kStyleName[static_cast<int>(m_style)] << "): " << what << '\n';
  }
  const StormSnapshot before = TakeSnapshot(*m_view, *m_host);
  m_host->ClearRecords();
  m_logRead = 0;
  m_timersFiredInBox = 0;
  bool exited = false;
  int status = 0;
  try {
    action();
  } catch (const TestProcessExit& exit) {
    exited = true;
    status = exit.status;
  }
  SyncClock();
  NoteRestTimerStarts();
  bool timerFailed = false;
  for (const std::string& entry : m_host->Log()) {
    if (entry.rfind("timer fail", 0) == 0) timerFailed = true;
  }
  if (exited || timerFailed || m_expectSizeAbort) {
    EndByAbort(exited, status, timerFailed);
    TakeViolations();
    return;
  }
  CheckMessageBoxes();

  const StormSnapshot after = TakeSnapshot(*m_view, *m_host);
  if (m_timersFiredInBox > 0) {
    m_checker.AfterDisturbedEvent(before, after);
  } else {
    switch (kind) {
      case Event::kFirstPaint:
        m_checker.AfterFirstPaint(after);
        break;
      case Event::kClick:
        m_checker.AfterClick(before, point, after);
        break;
      case Event::kTimer:
        m_checker.AfterTimer(id, before, after);
        break;
      case Event::kPaint:
        m_checker.AfterPaint(before, after);
        break;
    }
  }
  if (TakeViolations()) {
    // What follows a broken invariant tells little more: the storm goes on
    // with a new session.
    m_ended = true;
    return;
  }

  const bool dealt = kind == Event::kFirstPaint || after.game != before.game || (before.resting && !after.resting);
  if (dealt) OnDeal();
}

void Session::EndByAbort(bool exited, int status, bool timerFailed) {
  const auto& boxes = m_host->MessageBoxes();
  const auto& log = m_host->Log();
  ++m_report.aborts;
  if (timerFailed) ++m_report.timerAborts;
  if (m_expectSizeAbort) ++m_report.sizeAborts;
  m_ended = true;
  if (!exited) {
    Violation(timerFailed ? "a timer could not start and the game went on"
                          : "the client area is below 1016 by 660 and the game went on");
    return;
  }
  if (!timerFailed && !m_expectSizeAbort) {
    Violation("the process ended with status " + std::to_string(status) + " for no reason");
    return;
  }
  if (status != 1) Violation("the abort ended the process with status " + std::to_string(status) + ", not 1");
  if (boxes.empty()) {
    Violation("the process ended with no message");
    return;
  }
  const CTestHost::MessageBoxCall& box = boxes.back();
  if (timerFailed) {
    if (box.text != kNoTimerText || box.caption != kNoTimerCaption || box.style != MB_ICONEXCLAMATION)
      Violation("a timer that could not start gave the message \"" + box.text + "\" captioned \"" + box.caption + "\"");
  } else if (box.text != kTooSmallText) {
    Violation("a client area too small gave the message \"" + box.text + "\"");
  }
  // The message is closed before the process ends.
  const std::size_t n = log.size();
  if (n < 2 || log[n - 1] != "exit " + std::to_string(status) || log[n - 2] != "box closed")
    Violation("the process did not end right after its message was closed");
}

void Session::CheckMessageBoxes() {
  int failedAsync = 0;
  for (const CTestHost::SoundCall& sound : m_host->Sounds()) {
    if (!sound.wait && !sound.played) ++failedAsync;
  }
  int notices = 0;
  for (const CTestHost::MessageBoxCall& box : m_host->MessageBoxes()) {
    if (box.text == kSoundNoticeText)
      ++notices;
    else
      Violation("an unexpected message: \"" + box.text + "\"");
  }
  if (m_timersFiredInBox == 0) {
    // The notice comes with the first sound that fails to start, once a run.
    const int expected = failedAsync > 0 && !m_noticeShown ? 1 : 0;
    if (notices != expected)
      Violation(std::to_string(notices) + " sound notices for " + std::to_string(failedAsync) +
                " sounds that failed to start" + (m_noticeShown ? ", after the notice was shown" : ""));
  } else if (notices > 0 && failedAsync == 0) {
    Violation("a sound notice with every sound playing");
  }
  if (notices > 0) m_noticeShown = true;
  m_report.soundNotices += notices;
}

void Session::Violation(const std::string& what) {
  ++m_report.violations;
  if (m_report.firstViolations.size() >= m_options.keptViolations) return;
  std::ostringstream out;
  out << "session " << Hex(m_seed) << " step " << m_step << " (game " << m_gamesDealt << " of the session, "
      << kStyleName[static_cast<int>(m_style)] << " play, deal seed " << Hex(m_dealSeed) << "): " << what;
  m_report.firstViolations.push_back(out.str());
}

bool Session::TakeViolations() {
  const bool any = !m_checker.Violations().empty();
  for (const std::string& what : m_checker.Violations()) Violation(what);
  m_checker.ClearViolations();
  return any;
}

// ---- the clock ----

// The rest timer runs its 4 seconds from its latest start, which the host's
// log shows.
void Session::NoteRestTimerStarts() {
  const std::vector<std::string>& log = m_host->Log();
  for (; m_logRead < log.size(); ++m_logRead) {
    if (log[m_logRead].rfind("timer start 2", 0) == 0) m_restStartMs = m_simMs;
  }
}

void Session::Advance(long ms) {
  m_simMs += ms;
  m_host->SetTime(m_base + static_cast<std::time_t>(m_simMs / 1000));
}

// Sounds that take their time, and message boxes left open, move the host's
// clock during an event; the storm's clock follows.
void Session::SyncClock() {
  const std::time_t now = m_host->CurrentTime();
  if (now > m_base + static_cast<std::time_t>(m_simMs / 1000)) m_simMs = static_cast<long long>(now - m_base) * 1000;
}

long Session::PlayDelay() {
  const double r = m_rng.Unit();
  switch (m_style) {
    case Style::kSolve:
      if (r < 0.80) return m_rng.Below(1500);
      if (r < 0.97) return 1500 + m_rng.Below(2500);
      return 20000 + m_rng.Below(20000);
    case Style::kWander:
      if (r < 0.60) return m_rng.Below(3000);
      if (r < 0.90) return 3000 + m_rng.Below(5000);
      return 20000 + m_rng.Below(20000);
    case Style::kIdle:
      if (r < 0.50) return m_rng.Below(5000);
      return 10000 + m_rng.Below(30000);
    case Style::kChaos:
      if (r < 0.95) return m_rng.Below(3000);
      return 20000 + m_rng.Below(20000);
  }
  return 0;
}

// ---- deals ----

// Each game is dealt from its own seed: the generator values of its deal are
// drawn from that seed and handed to the host before the deal can happen.
void Session::PrepareNextDeal() {
  m_nextDealSeed = MixSeed(m_seed, 1000 + static_cast<std::uint64_t>(m_gamesDealt));
  Rng values(m_nextDealSeed);
  std::vector<int> sequence(kArrangementCount);
  for (int& v : sequence) v = static_cast<int>(values.Next() & 0x7FFFFFFF);
  m_host->SetRandomSequence(sequence);
  m_checker.ExpectNextDeal(DealFromSequence(sequence));
}

void Session::OnDeal() {
  m_dealSeed = m_nextDealSeed;
  ++m_gamesDealt;
  const double styleWeights[] = {49.5, 33, 16, 1.5};
  m_style = static_cast<Style>(m_rng.Pick(styleWeights));
  PrepareNextDeal();
}

// ---- where to click ----

std::vector<int> Session::BlocksInPlay() const {
  std::vector<int> blocks;
  for (int b = 1; b < kBlockCount; ++b)
    if (m_view->BlockStates()[b] != kStateLost) blocks.push_back(b);
  return blocks;
}

void Session::ClickDuringPlay() {
  const Target target = static_cast<Target>(m_rng.Pick(kTargetWeights[static_cast<int>(m_style)]));
  const std::vector<int> live = BlocksInPlay();
  if (live.empty() || target == kInert) {
    Click(InertPoint(), "a click that changes nothing");
    return;
  }
  if (target == kAnywhere) {
    Click(AnywherePoint(), "a click anywhere");
    return;
  }
  if (target == kOffArrow) {
    const int block = live[m_rng.Below(static_cast<int>(live.size()))];
    Click(OffArrowPoint(block), "a click off the arrows of block " + std::to_string(block));
    return;
  }
  if (target == kRandomArrow) {
    const int block = 1 + m_rng.Below(kBlockCount - 1);
    const int zone = m_rng.Below(kArrowZoneCount);
    Click(ZonePoint(block, zone, false),
          "a click on zone " + std::to_string(zone + 1) + " of block " + std::to_string(block));
    return;
  }
  if (target == kSolver) {
    std::vector<int> normal;
    for (int b : live)
      if (m_view->BlockStates()[b] == kStateNormal) normal.push_back(b);
    if (!normal.empty()) {
      const int block = normal[m_rng.Below(static_cast<int>(normal.size()))];
      const int zone = SolverZone(block);
      if (zone >= 0) {
        Click(ZonePoint(block, zone, true),
              "a step towards the master on zone " + std::to_string(zone + 1) + " of block " + std::to_string(block));
        return;
      }
    }
  }
  const int block = live[m_rng.Below(static_cast<int>(live.size()))];
  const int zone = HarmlessZone(block);
  if (zone < 0) {
    Click(InertPoint(), "a click that changes nothing");
    return;
  }
  Click(ZonePoint(block, zone, true),
        "a safe move on zone " + std::to_string(zone + 1) + " of block " + std::to_string(block));
}

// The first zone on a shortest way from the block to the master's
// arrangement that passes no arrangement held by another block in play.
int Session::SolverZone(int block) {
  const int* arrangement = m_view->Arrangements();
  const int* state = m_view->BlockStates();
  const int target = arrangement[kMasterBlock];
  bool taken[kArrangementCount] = {};
  for (int b = 1; b < kBlockCount; ++b)
    if (b != block && state[b] == kStateNormal) taken[arrangement[b]] = true;
  int firstZone[kArrangementCount];
  std::fill(std::begin(firstZone), std::end(firstZone), -2);
  std::deque<int> queue{arrangement[block]};
  firstZone[arrangement[block]] = -1;
  while (!queue.empty()) {
    const int at = queue.front();
    queue.pop_front();
    if (at == target) return firstZone[at];
    for (int zone = 0; zone < kArrowZoneCount; ++zone) {
      const int next = MovedArrangement(at, zone);
      if (firstZone[next] != -2 || taken[next]) continue;
      firstZone[next] = firstZone[at] == -1 ? zone : firstZone[at];
      queue.push_back(next);
    }
  }
  return -1;
}

// A zone whose move leaves the block unlike every other block in play.
int Session::HarmlessZone(int block) {
  const int* arrangement = m_view->Arrangements();
  const int* state = m_view->BlockStates();
  int free[kArrowZoneCount];
  int count = 0;
  for (int zone = 0; zone < kArrowZoneCount; ++zone) {
    const int next = MovedArrangement(arrangement[block], zone);
    bool clash = false;
    for (int b = 1; b < kBlockCount; ++b)
      if (b != block && state[b] != kStateLost && arrangement[b] == next && next != arrangement[kMasterBlock])
        clash = true;
    if (!clash) free[count++] = zone;
  }
  return count == 0 ? -1 : free[m_rng.Below(count)];
}

// A point in the zone's rectangle widened to left - 2 .. right + 1 and
// top - 2 .. bottom + 1, often on that outermost ring. The centre zones
// overlap once widened; with `taken`, the point is one that the zone itself
// takes, so that a planned move is the move made.
CPoint Session::ZonePoint(int block, int zone, bool taken) {
  const RECT& b = m_view->BlockRects()[block];
  const RECT& z = m_view->ArrowZones()[zone];
  RECT zones[kArrowZoneCount];
  std::copy_n(m_view->ArrowZones(), kArrowZoneCount, zones);
  const int x0 = b.left + z.left - 2, x1 = b.left + z.right + 1;
  const int y0 = b.top + z.top - 2, y1 = b.top + z.bottom + 1;
  for (int attempt = 0; attempt < 16; ++attempt) {
    int x = m_rng.Between(x0, x1);
    int y = m_rng.Between(y0, y1);
    if (m_rng.Chance(0.25)) x = m_rng.Chance(0.5) ? x0 : x1;
    if (m_rng.Chance(0.25)) y = m_rng.Chance(0.5) ? y0 : y1;
    const CPoint p(x, y);
    if (!taken || HitArrowZone(zones, b.left, b.top, p) == zone) return p;
  }
  return CPoint(b.left + (z.left + z.right) / 2, b.top + (z.top + z.bottom) / 2);
}

// A point inside the block, both edges counted, on none of its arrows.
CPoint Session::OffArrowPoint(int block) {
  const RECT& b = m_view->BlockRects()[block];
  RECT zones[kArrowZoneCount];
  std::copy_n(m_view->ArrowZones(), kArrowZoneCount, zones);
  for (int attempt = 0; attempt < 32; ++attempt) {
    const CPoint p(b.left + m_rng.Between(0, kBlockSize), b.top + m_rng.Between(0, kBlockSize));
    if (HitArrowZone(zones, b.left, b.top, p) < 0) return p;
  }
  return CPoint(b.left + 40, b.top + 40);
}

// A click that no block answers to: the master, a lost block, the gaps
// between blocks, one pixel past a block's edge, the panel, the new-set box,
// the margins.
CPoint Session::InertPoint() {
  const RECT* blocks = m_view->BlockRects();
  const RECT client = m_host->ClientRect();
  const RECT& first = blocks[0];
  const RECT& last = blocks[kBlockCount - 1];
  switch (m_rng.Below(7)) {
    case 0:
      return CPoint(first.left + m_rng.Between(0, kBlockSize), first.top + m_rng.Between(0, kBlockSize));
    case 1: {
      std::vector<int> lost;
      for (int b = 1; b < kBlockCount; ++b)
        if (m_view->BlockStates()[b] == kStateLost) lost.push_back(b);
      if (lost.empty()) break;
      const RECT& b = blocks[lost[m_rng.Below(static_cast<int>(lost.size()))]];
      return CPoint(b.left + m_rng.Between(0, kBlockSize), b.top + m_rng.Between(0, kBlockSize));
    }
    case 2: {
      // Between two columns or two rows.
      const int column = m_rng.Below(kColumnCount - 1);
      const int row = m_rng.Below(kRowCount - 1);
      const RECT& b = blocks[BlockIndex(column, row)];
      if (m_rng.Chance(0.5))
        return CPoint(b.right + m_rng.Between(1, kBlockPitch - kBlockSize - 1), b.top + m_rng.Between(0, kBlockSize));
      return CPoint(b.left + m_rng.Between(0, kBlockSize), b.bottom + m_rng.Between(1, kBlockPitch - kBlockSize - 1));
    }
    case 3: {
      // One pixel beyond a block's right or bottom edge, which both count.
      const RECT& b = blocks[m_rng.Below(kBlockCount)];
      if (m_rng.Chance(0.5)) return CPoint(b.right + 1, b.top + m_rng.Between(0, kBlockSize));
      return CPoint(b.left + m_rng.Between(0, kBlockSize), b.bottom + 1);
    }
    case 4:
      return CPoint(m_rng.Below(client.right), m_rng.Below(std::max<int>(1, first.top - 1)));
    case 5: {
      const RECT& box = m_view->NewSetBox();
      return CPoint(m_rng.Between(box.left, box.right), m_rng.Between(box.top, box.bottom));
    }
    default:
      break;
  }
  // The margins right of the board and below it.
  if (m_rng.Chance(0.5) && last.right + 2 < client.right)
    return CPoint(m_rng.Between(last.right + 2, client.right - 1), m_rng.Below(client.bottom));
  return CPoint(m_rng.Below(client.right),
                m_rng.Between(std::min<int>(last.bottom + 2, client.bottom - 1), client.bottom - 1));
}

CPoint Session::AnywherePoint() {
  const RECT client = m_host->ClientRect();
  return CPoint(m_rng.Below(client.right), m_rng.Below(client.bottom));
}

// The new-set box counts its right and bottom edges too; a pixel beyond any
// edge is outside.
void Session::ClickNewSetBox() {
  const RECT& box = m_view->NewSetBox();
  int x = m_rng.Between(box.left, box.right);
  int y = m_rng.Between(box.top, box.bottom);
  const double r = m_rng.Unit();
  const char* what = "a click in the new-set box";
  if (r < 0.3) {
    what = "a click on an edge of the new-set box";
    switch (m_rng.Below(4)) {
      case 0:
        x = box.left;
        break;
      case 1:
        x = box.right;
        break;
      case 2:
        y = box.top;
        break;
      default:
        y = box.bottom;
        break;
    }
  } else if (r < 0.4) {
    what = "a click just outside the new-set box";
    switch (m_rng.Below(4)) {
      case 0:
        x = box.left - 1;
        break;
      case 1:
        x = box.right + 1;
        break;
      case 2:
        y = box.top - 1;
        break;
      default:
        y = box.bottom + 1;
        break;
    }
  }
  Click(CPoint(x, y), what);
}

// ---- the recap on the screen ----

// Draws the recap's six boxes as they should read on a surface of its own and
// compares them with the view's picture.
bool Session::RecapOnScreen(const int (&scores)[5], int average) {
  const RECT client = m_host->ClientRect();
  if (m_scratch.Width() != client.right || m_scratch.Height() != client.bottom)
    m_scratch.Resize(client.right, client.bottom);
  RECT boxes[1 + kRecapSlots];
  std::string texts[1 + kRecapSlots];
  {
    CFont font;
    font.CreateFont(m_view->RecapFontHeight(), 0, 0, 0, FW_DONTCARE, FALSE, FALSE, FALSE, ANSI_CHARSET, OUT_DEVICE_PRECIS,
                    CLIP_DEFAULT_PRECIS, PROOF_QUALITY, FIXED_PITCH, "Arial Bold");
    CBrush grey;
    grey.CreateSolidBrush(RGB(128, 128, 128));
    CPen red;
    red.CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    ScratchDC dc(m_scratch);
    dc.SetBkMode(TRANSPARENT);
    dc.SelectObject(&font);
    dc.SelectObject(&grey);
    dc.SelectObject(&red);
    const RecapLayout recap = LayOutRecap(dc.GetTextExtent("W"), client.bottom,
                                          [&dc](const char* text) { return dc.GetTextExtent(text); }, client.right);
    boxes[0] = recap.averageBox;
    texts[0] = Format7(average);
    // From left to right: game 5 down to game 1.
    for (int k = 1; k <= kRecapSlots; ++k) {
      boxes[k] = recap.recapBox[k - 1];
      texts[k] = Format7(scores[kRecapSlots - k]);
    }
    for (int i = 0; i <= kRecapSlots; ++i) {
      dc.FillRect(&boxes[i], &grey);
      dc.Rectangle(&boxes[i]);
      RECT rc = boxes[i];
      dc.DrawText(texts[i], &rc, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
    }
  }
  const QImage& expected = m_scratch.Image();
  const QImage& shown = m_host->Image();
  for (const RECT& rc : boxes) {
    for (int y = std::max(0, rc.top); y < std::min<int>(rc.bottom, client.bottom); ++y)
      for (int x = std::max(0, rc.left); x < std::min<int>(rc.right, client.right); ++x)
        if (expected.pixel(x, y) != shown.pixel(x, y)) return false;
  }
  return true;
}

}  // namespace

std::string StormReport::Summary() const {
  std::ostringstream out;
  out << "games " << games << " clicks " << clicks << " violations " << violations << '\n'
      << "  sessions " << sessions << ", events " << steps << ", timer events " << timerEvents << ", paints " << paints
      << '\n'
      << "  games ended by a tick " << outcomes.endedByTick << ", by a click finishing the board "
      << outcomes.endedByClickDone << " (with the Bonus " << outcomes.endedWithBonus << "), by a click after the time "
      << outcomes.endedByClickTimeOut << ", by a paint " << outcomes.endedByPaint << '\n'
      << "  matches " << outcomes.matches << ", collisions " << outcomes.collisions << ", off-arrow losses "
      << outcomes.offArrowLosses << ", clicks that changed nothing " << outcomes.ignoredClicks << '\n'
      << "  recaps " << outcomes.recaps << ", new sets " << outcomes.newSets << " (before the recap "
      << outcomes.newSetsBeforeRecap << ", the rest timer then ticking " << outcomes.strayRestTicks << " times)\n"
      << "  aborts " << aborts << " (no timer " << timerAborts << ", too small " << sizeAborts << "), resizes "
      << resizes << ", sound faults " << soundFaults << ", boxes left open " << openBoxFaults << ", sound notices "
      << soundNotices << ", events disturbed by timers in a box " << outcomes.disturbedEvents << '\n';
  for (const std::string& v : firstViolations) out << "  violation: " << v << '\n';
  return out.str();
}

StormReport RunClickStorm(const StormOptions& options) {
  StormReport report;
  if (options.replaySession) {
    Session session(options, options.sessionSeed, options.games, report);
    session.Run();
    return report;
  }
  int barren = 0;
  const long stopAt = options.stopAfterViolations;
  for (std::uint64_t n = 0; report.games < options.games && (stopAt <= 0 || report.violations < stopAt); ++n) {
    Session session(options, MixSeed(options.seed, n), options.games - report.games, report);
    session.Run();
    barren = session.GamesEnded() > 0 ? 0 : barren + 1;
    if (barren >= kBarrenSessionLimit) {
      ++report.violations;
      if (report.firstViolations.size() < options.keptViolations)
        report.firstViolations.push_back("no game ended in " + std::to_string(kBarrenSessionLimit) +
                                         " sessions in a row");
      break;
    }
  }
  return report;
}

}  // namespace storm
