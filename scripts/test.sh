#!/usr/bin/env bash
# Builds Quadrilex and runs every test. Usage: scripts/test.sh [--sanitize]
# With --sanitize the whole suite runs in a build with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/build.sh" "$@" | tail -n 1)
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/tests/lsan.supp:print_suppressions=0}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
# A test that fails is run once more before the run counts as failed: the
# end-to-end cases drive virtual displays and window managers, which are not
# always timely on a loaded machine. The first failure stays in the output.
ctest --test-dir "$build" --output-on-failure --timeout 600 -j2 --repeat until-pass:2
