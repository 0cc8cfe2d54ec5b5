// click_storm: plays a storm of random games on the test host and reports
//   games G clicks C violations V
// exiting with status 1 when any invariant was broken. The benchmarks time it.
//
//   click_storm --games N --seed S [--fault-rate R] [--keep N] [--no-recap-pixels] [--verbose]
//   click_storm --session X [--games N] [--trace]    replays one session
#include <QGuiApplication>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "tests/storm/click_storm.h"

namespace {

int Usage(const char* message) {
  std::fprintf(stderr,
               "click_storm: %s\n"
               "usage: click_storm --games N --seed S [--fault-rate R] [--keep N] [--no-recap-pixels] [--verbose]\n"
               "       click_storm --session X [--games N] [--trace]\n",
               message);
  return 2;
}

bool ParseUnsigned(const char* text, unsigned long long& value) {
  char* end = nullptr;
  value = std::strtoull(text, &end, 0);
  return end != text && *end == '\0';
}

}  // namespace

int main(int argc, char** argv) {
  storm::StormOptions options;
  options.games = 1000;
  bool verbose = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    unsigned long long value = 0;
    if (arg == "--games" && hasValue) {
      if (!ParseUnsigned(argv[++i], value) || value == 0) return Usage("--games takes a positive number");
      options.games = static_cast<long>(value);
    } else if (arg == "--seed" && hasValue) {
      if (!ParseUnsigned(argv[++i], value)) return Usage("--seed takes a number");
      options.seed = value;
    } else if (arg == "--session" && hasValue) {
      if (!ParseUnsigned(argv[++i], value)) return Usage("--session takes a session seed such as 0x1f...");
      options.replaySession = true;
      options.sessionSeed = value;
    } else if (arg == "--fault-rate" && hasValue) {
      char* end = nullptr;
      options.faultRate = std::strtod(argv[++i], &end);
      if (*end != '\0' || options.faultRate < 0 || options.faultRate > 1) return Usage("--fault-rate takes 0 to 1");
    } else if (arg == "--keep" && hasValue) {
      if (!ParseUnsigned(argv[++i], value)) return Usage("--keep takes a number");
      options.keptViolations = static_cast<std::size_t>(value);
    } else if (arg == "--no-recap-pixels") {
      options.checkRecapPixels = false;
    } else if (arg == "--trace") {
      options.trace = &std::cout;
    } else if (arg == "--verbose") {
      verbose = true;
    } else {
      return Usage(("unknown argument " + arg).c_str());
    }
  }

  // The view draws with Qt's painter and fonts, on no screen.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  int qtArgc = 1;
  QGuiApplication application(qtArgc, argv);

  const storm::StormReport report = storm::RunClickStorm(options);
  std::cout << "games " << report.games << " clicks " << report.clicks << " violations " << report.violations
            << std::endl;
  if (verbose) std::cerr << report.Summary();
  for (const std::string& violation : report.firstViolations) std::cerr << "violation: " << violation << '\n';
  if (report.violations > 0) {
    std::cerr << "replay one with: click_storm --session <its session seed> --trace\n";
    return 1;
  }
  return 0;
}
