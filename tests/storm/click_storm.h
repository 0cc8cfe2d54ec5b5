// The click storm: whole sets of the game played at random on the test host,
// with the board and score invariants checked after every event.
//
// The storm runs in sessions. A session is one host and one view, as one run
// of the program would be: it starts with the first paint, plays one to three
// sets through the recap and the new-set box, and ends early when a fault
// ends the process (a timer that cannot start, a client area made too small).
// Everything a session does follows from its own seed, so a violation can be
// replayed alone from the session seed it names.
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "tests/storm/storm_checker.h"

class CQuadrilexdView;
class CViewHost;

namespace storm {

struct StormOptions {
  // Games to play to their end; the storm stops after the game that reaches it.
  long games = 1000;
  // The seed of the whole storm; each session's seed is drawn from it.
  std::uint64_t seed = 1;
  // The chance, at each event, that a fault is thrown in first.
  double faultRate = 0.01;
  // How many violation descriptions the report keeps.
  std::size_t keptViolations = 5;
  // Stops the storm once it has found this many violations; 0 plays on.
  long stopAfterViolations = 0;
  // Plays the one session with this seed instead (the seed a violation names).
  bool replaySession = false;
  std::uint64_t sessionSeed = 0;
  // Compares the recap's pixels with the expected numbers drawn afresh.
  bool checkRecapPixels = true;
  // Every event, one line each, when set.
  std::ostream* trace = nullptr;
  // Makes the view of each session; the game's own view when empty. Tests
  // give it views with faults planted to prove that the storm sees them.
  std::function<std::unique_ptr<CQuadrilexdView>(CViewHost&)> makeView;
};

struct StormReport {
  long games = 0;  // games played to their end
  long sessions = 0;
  long steps = 0;
  long clicks = 0;
  long timerEvents = 0;
  long paints = 0;
  long aborts = 0;
  long timerAborts = 0;
  long sizeAborts = 0;
  long resizes = 0;
  long soundFaults = 0;
  long openBoxFaults = 0;
  long soundNotices = 0;
  long violations = 0;
  std::vector<std::string> firstViolations;
  StormChecker::Tally outcomes;  // summed over the sessions

  std::string Summary() const;
};

StormReport RunClickStorm(const StormOptions& options);

}  // namespace storm
