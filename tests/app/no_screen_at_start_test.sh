#!/usr/bin/env bash
# A kiosk that starts the game before its monitor is on: on a virtual X
# server with its one output turned off and no window manager, the game says
# once that it waits for a screen and shows no window meanwhile; once the
# output is turned on, its window is mapped and fills the screen.
# Usage: no_screen_at_start_test.sh PATH_TO_QUADRILEX
set -euo pipefail
game=$1
pids=()
. "$(dirname "$0")/../support/virtual_x.sh"
log=$(mktemp)
trap 'stop_started; rm -f "$log" "$log.bus" "$log.display"' EXIT
fail() {
  echo "FAIL: $*" >&2
  echo "--- the game's output:" >&2
  cat "$log" >&2
  if [ -n "${DISPLAY:-}" ]; then
    echo "--- the outputs and the game's windows on $DISPLAY:" >&2
    xrandr >&2 2>&1 || true
    show_game_windows
  fi
  exit 1
}

# The game's main window, mapped: its title carries the version.
shown_window() {
  xdotool search --onlyvisible --name 'Version J614' 2>/dev/null | head -n 1
}

start_session_bus "$log.bus"
start_xvfb 1280x1024x24 "$log.display"

# The monitor off. (xrandr then fails to shrink the screen to nothing, which
# Xvfb refuses; the output is off all the same.)
xrandr --output screen --off >/dev/null 2>&1 || true
xrandr | grep -q '^   .*\*' && fail "the output is still on"

"$game" --seed 5 >"$log" 2>&1 &
game_pid=$!
pids+=($game_pid)

# Within 10 s the game either shows its window or says that it waits; here,
# with no screen, it waits, and has no window on the screen meanwhile.
said() { [ "$(grep -c 'waiting for' "$log")" -ge 1 ]; }
poll 100 said || fail "after 10 s the game neither shows a window nor says that it waits for a screen"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended instead of waiting"
grep -qx 'quadrilex: no screen is on; waiting for one' "$log" || fail "the waiting line is not the game's own"
[ -z "$(shown_window)" ] || fail "a window was shown with no screen on"

# The monitor on: the window is mapped and fills the screen.
xrandr --output screen --auto || fail "the output could not be turned on"
poll 100 sh -c '[ -n "$(xdotool search --onlyvisible --name "Version J614" 2>/dev/null)" ]' ||
  fail "the output is on again, and after 10 s the game's window is still not shown"
window=$(shown_window)
poll 50 sh -c "xwininfo -id $window | grep -q -- '-geometry 1280x1024+0+0'" ||
  fail "the window does not fill the 1280x1024 screen: $(xwininfo -id "$window" | grep -- -geometry)"
[ "$(grep -c 'waiting for' "$log")" -eq 1 ] || fail "the waiting line was said more than once"
grep -q 'Negative sizes' "$log" && fail "Qt was asked for a window of negative size"
echo "PASS: with the output off the game waited and said so once; with it on, its window filled the screen"
