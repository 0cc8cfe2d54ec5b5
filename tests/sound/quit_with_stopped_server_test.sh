#!/usr/bin/env bash
# Quitting while the sound server hangs: the real game plays to a private
# PulseAudio server on a virtual X server under openbox; once its opening
# sound has been heard to its end the server is stopped with SIGSTOP, and
# Alt+F4 must end the game within 2 seconds with status 0. The server is let
# go on afterwards, whatever happened.
# Run through with_pulse_null_sink.sh, which gives the server:
#   with_pulse_null_sink.sh -- quit_with_stopped_server_test.sh PATH_TO_QUADRILEX
set -uo pipefail
game=$1

for tool in Xvfb openbox dbus-daemon xdotool xprop xwininfo parec pactl; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done
[ -n "${QUADRILEX_PULSE_PID:-}" ] && [ -n "${QUADRILEX_PULSE_MONITOR:-}" ] ||
  { echo "$0: run through tests/sound/with_pulse_null_sink.sh" >&2; exit 2; }
server=$QUADRILEX_PULSE_PID

dir=$(mktemp -d "${TMPDIR:-/tmp}/quadrilex-quit.XXXXXX") || exit 2
pids=()
server_stopped=""
cleanup() {
  # A stopped server would hold up the one who started it, which waits for
  # it to end.
  [ -n "$server_stopped" ] && kill -CONT "$server" 2>/dev/null
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null; done
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT

fail() {
  echo "FAIL: $*" >&2
  echo "--- the game's output:" >&2
  cat "$dir/game.log" >&2 2>/dev/null
  exit 1
}

. "$(dirname "$0")/../support/virtual_x.sh"

start_session_bus "$dir/bus"
start_xvfb 1280x1024x24 "$dir/display"
start_openbox "$dir/openbox.log"

# What the sink plays, as 8000 16-bit samples a second: the game's and the
# server's silence is digital zero, so a sound is any byte that is not.
parec --device="$QUADRILEX_PULSE_MONITOR" --raw --format=s16le --rate=8000 --channels=1 >"$dir/heard.raw" 2>/dev/null &
pids+=($!)
poll 100 sh -c '[ -n "$(pactl list short source-outputs)" ]' || fail "the recording did not start"

QT_QPA_PLATFORM=xcb "$game" --seed 5 >"$dir/game.log" 2>&1 &
game_pid=$!
pids+=($game_pid)

poll 300 sh -c "xdotool search --onlyvisible --name 'Version J614' | grep -q ." ||
  fail "no window of the game appeared"
window=$(xdotool search --onlyvisible --name 'Version J614' | head -n 1)

# The opening sound has been heard to its end when the sink has played
# something and its last half second is silent: the game's clock runs then,
# and the device stays open, fed with silence.
opening_heard() {
  [ "$(tr -d '\000' <"$dir/heard.raw" | head -c 1 | wc -c)" -gt 0 ] &&
    [ "$(stat -c %s "$dir/heard.raw")" -ge 8000 ] &&
    [ "$(tail -c 8000 "$dir/heard.raw" | tr -d '\000' | wc -c)" -eq 0 ]
}
poll 300 opening_heard || fail "the opening sound was not heard to its end"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended by itself"

kill -STOP "$server" || fail "could not stop the sound server"
server_stopped=1
# The game's sound thread soon fills what the server had asked of it, and
# then waits for a server that does not answer.
sleep 1

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
xdotool key alt+F4
pressed=$(date +%s%N)
deadline=$((pressed + 2000000000))
while kill -0 "$game_pid" 2>/dev/null && [ "$(date +%s%N)" -lt "$deadline" ]; do sleep 0.05; done
if kill -0 "$game_pid" 2>/dev/null; then
  if xwininfo -id "$window" 2>/dev/null | grep -q IsViewable; then shown="still shown"; else shown="gone"; fi
  fail "the game was still there 2 s after Alt+F4 (its window $shown) while the sound server was stopped"
fi
took=$((($(date +%s%N) - pressed) / 1000000))
status=0
wait "$game_pid" || status=$?
[ "$status" -eq 0 ] || fail "the game ended with status $status"
echo "PASS: with the sound server stopped, Alt+F4 ended the game in about $took ms, status 0"
