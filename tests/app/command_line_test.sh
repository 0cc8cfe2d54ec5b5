#!/usr/bin/env bash
# The command line of the real executable, from a terminal with no display:
# every usage error ends with status 2 and one line that quotes at most 40
# characters of what was typed, whether a display could be opened or not;
# with no display to open the game ends with status 1 and one line, and
# --help and --version still work.
#
#   command_line_test.sh QUADRILEX
set -uo pipefail
game=$1
failures=0

# expect STATUS PATTERN [ENV...] -- ARG...: runs the game and checks both.
expect() {
  local status=$1 pattern=$2
  shift 2
  local env=()
  while [ "$1" != -- ]; do env+=("$1"); shift; done
  shift
  local out got
  out=$(env -u DISPLAY -u WAYLAND_DISPLAY "${env[@]}" timeout 20 "$game" "$@" 2>&1)
  got=$?
  out=$(grep -v '^QStandardPaths:' <<<"$out")
  if [ "$got" != "$status" ] || ! grep -Eq -- "$pattern" <<<"$out"; then
    echo "FAIL: quadrilex $*: status $got (wanted $status), output:" >&2
    echo "$out" >&2
    failures=$((failures + 1))
  fi
}

long=$(printf '9%.0s' $(seq 100))
# A display no X server holds: other tests start servers of their own on this
# machine meanwhile.
no_server=
for n in $(seq 93 199); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then no_server=":$n"; break; fi
done
offscreen=QT_QPA_PLATFORM=offscreen
expect 2 "Missing value after '--seed'" $offscreen -- --seed
expect 2 '^quadrilex: --seed needs a whole number from 0 to 4294967295, not "9{40}\.\.\."' $offscreen -- --seed "$long"
expect 2 '^quadrilex: unknown option "no-such-option"' $offscreen -- --no-such-option
expect 2 '^quadrilex: unexpected argument "stray"' $offscreen -- --seed 4 stray

# The same errors where no display can be opened at all: the command line is
# judged first. Qt's own options, and their values, are no error.
expect 2 "Missing value after '--seed'" -- --seed
expect 2 '^quadrilex: --seed needs a whole number from 0 to 4294967295, not "abc"' -- --seed abc
expect 2 '^quadrilex: unknown option "bogus"' -- --bogus
expect 2 '^quadrilex: unexpected argument "stray"' -- stray
expect 2 '^quadrilex: unexpected argument "stray"' -- -qwindowtitle Kiosk --seed 4 stray

expect 1 '^quadrilex: cannot open a display \(DISPLAY or WAYLAND_DISPLAY\)$' --
expect 1 '^quadrilex: cannot open a display \(DISPLAY or WAYLAND_DISPLAY\)$' DISPLAY=$no_server -- --seed 4
expect 1 '^quadrilex: cannot open a display \(DISPLAY or WAYLAND_DISPLAY\)$' -- -platform xcb
expect 0 'Quadrilex Version J614' -- --version
expect 0 '--seed <N>' -- --help

[ "$failures" -eq 0 ] || exit 1
echo "command line: all cases as expected"
