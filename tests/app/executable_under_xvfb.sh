#!/usr/bin/env bash
# Starts the real executable on a virtual X server with a window manager and
# checks what a player sees first: on a screen too small, the message and the
# end with status 1; otherwise a window of fixed size filling the screen under
# the game's title, and File > Exit ending the program with status 0.
# Usage: executable_under_xvfb.sh PATH_TO_QUADRILEX
set -euo pipefail
game=$1
pids=()
. "$(dirname "$0")/../support/virtual_x.sh"
trap 'stop_started; rm -f "$log" "$log.wm" "$log.bus" "$log.display"' EXIT
log=$(mktemp)
fail() {
  echo "FAIL: $*" >&2
  echo "--- the game's output:" >&2
  cat "$log" >&2
  if [ -n "${DISPLAY:-}" ]; then
    echo "--- the game's windows on $DISPLAY:" >&2
    show_game_windows
  fi
  exit 1
}

# Starts a virtual X server of the given size, with openbox, and points
# DISPLAY at it.
start_x() {
  start_xvfb "$1" "$log.display"
  start_openbox "$log.wm"
}

# Waits for the game to end and sets status to its exit status. (Not in a
# subshell: only this shell can wait for the game it started.)
wait_for_exit() {
  local pid=$1
  for _ in $(seq 150); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && fail "the game did not end"
  status=0
  wait "$pid" || status=$?
}

# The game starts in a session with its own D-Bus session bus, as on a desktop.
start_session_bus "$log.bus"

# On a screen too small for the board the game says so and ends with status 1.
start_x 1000x700x24
"$game" --seed 3 >"$log" 2>&1 &
small_pid=$!
pids+=($small_pid)
box=
for _ in $(seq 100); do
  box=$(xdotool search --onlyvisible --name '^Quadrilex$' 2>/dev/null | head -n 1 || true)
  [ -n "$box" ] && break
  sleep 0.1
done
[ -n "$box" ] || fail "no message box on a screen too small"
poll 50 sh -c "xdotool windowactivate --sync $box; [ \"\$(xdotool getwindowfocus)\" = $box ]" ||
  fail "the message box does not take the keyboard focus"
xdotool key Return
wait_for_exit "$small_pid"
[ "$status" -eq 1 ] || fail "a screen too small ended the game with status $status, not 1"

start_x 1280x1024x24

# No sound server here: the game goes on in silence.
"$game" --seed 11 >"$log" 2>&1 &
game_pid=$!
pids+=($game_pid)

window=
for _ in $(seq 100); do
  window=$(xdotool search --onlyvisible --name 'Version J614' 2>/dev/null | head -n 1 || true)
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || fail "no window titled with the game's version appeared"

title=$(xdotool getwindowname "$window")
case "$title" in
  Quadrilex*" -- Version J614 ") ;;
  *) fail "unexpected title: '$title'" ;;
esac

# The window and its frame fill the screen.
eval "$(xdotool getwindowgeometry --shell "$window")"
[ "$WIDTH" -ge 1270 ] || fail "window is $WIDTH wide on a 1280 screen"
[ "$HEIGHT" -ge 960 ] || fail "window is $HEIGHT high on a 1024 screen"
# Its size is fixed: the smallest and the largest size it allows are one.
hints=$(xprop -id "$window" WM_NORMAL_HINTS)
min=$(echo "$hints" | sed -n 's/.*minimum size: //p')
max=$(echo "$hints" | sed -n 's/.*maximum size: //p')
[ -n "$min" ] && [ "$min" = "$max" ] || fail "the window's size is not fixed: $hints"

# File > Exit.
xdotool windowactivate --sync "$window" 2>/dev/null || true
xdotool key --window "$window" alt+f
# The File menu is a window of the game's own beside the main window.
poll 50 sh -c "[ \$(xdotool search --onlyvisible --pid $game_pid 2>/dev/null | wc -l) -ge 2 ]" ||
  fail "Alt+F opened no menu"
xdotool key x
wait_for_exit "$game_pid"
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "PASS: a screen too small ends with status 1; the window filled the screen, title '$title', File > Exit ended with status 0"
