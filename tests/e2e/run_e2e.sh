#!/usr/bin/env bash
# Runs the end-to-end suite against the real executable:
#   run_e2e.sh SUITE GAME OUTPUT_DIR [suite arguments, e.g. --gtest_filter=...]
# It starts, each on its own and owned by this script: a virtual X server on a
# free display, a private D-Bus session, a window manager, a PulseAudio server
# whose only sink is a null sink, and a recorder of that sink's monitor. It
# stops exactly those processes (and any game the suite left behind) by their
# process ids.
# QUADRILEX_E2E_WM names the window manager: openbox (the default), mutter
# (GNOME's), kwin (KDE's), xfwm4 (Xfce's), none, a bare X session, or weston,
# a Wayland compositor in a window of the X server: the game is then its
# Wayland client.
# QUADRILEX_E2E_SCREEN is the screen's size (default 1280x1024).
# The suite writes its screenshots to OUTPUT_DIR; the recording is kept there as
# e2e-sound.wav and the servers' logs in OUTPUT_DIR/e2e-logs.
# Set QUADRILEX_E2E_SEED=N to replay a deal. Exit status 77: a tool is missing.
set -u

if [ "$#" -lt 3 ]; then
  echo "usage: $0 SUITE GAME OUTPUT_DIR [suite arguments]" >&2
  exit 2
fi
suite=$(readlink -f "$1")
game=$(readlink -f "$2")
output=$(readlink -f "$3")
shift 3

wm=${QUADRILEX_E2E_WM:-openbox}
case "$wm" in
  openbox) wm_command=(openbox --sm-disable) ;;
  mutter) wm_command=(mutter --x11 --replace --sm-disable) ;;
  kwin) wm_command=(kwin_x11 --replace) ;;
  xfwm4) wm_command=(xfwm4 --replace --sm-client-disable) ;;
  none) wm_command=() ;;
  weston) wm_command=(weston --backend=x11-backend.so --width=1280 --height=1024 --socket=quadrilex-e2e) ;;
  *) echo "run_e2e.sh: unknown window manager '$wm'" >&2; exit 2 ;;
esac

for tool in Xvfb dbus-daemon pulseaudio pactl parec xprop ${wm_command[0]:-}; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "run_e2e.sh: '$tool' is not installed (scripts/install-deps.sh installs it); skipping" >&2
    exit 77
  fi
done
for file in "$suite" "$game"; do
  if [ ! -x "$file" ]; then
    echo "run_e2e.sh: $file is not an executable" >&2
    exit 2
  fi
done

mkdir -p "$output/e2e-logs"
logs="$output/e2e-logs"
work=$(mktemp -d "${TMPDIR:-/tmp}/quadrilex-e2e.XXXXXX")
pidfile="$work/games"
: >"$pidfile"

xvfb_pid=""
dbus_pid=""
wm_pid=""
pulse_pid=""
parec_pid=""

stop_pid() {
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -0 "$pid" 2>/dev/null || return 0
  kill -TERM "$pid" 2>/dev/null
  for _ in $(seq 1 50); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$pid" 2>/dev/null && kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
  return 0
}

cleanup() {
  trap - EXIT INT TERM
  # Games the suite could not end itself; only ones that are still quadrilex.
  while read -r pid; do
    [ -n "$pid" ] || continue
    if [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = "$(basename "$game" | cut -c1-15)" ]; then
      kill -KILL "$pid" 2>/dev/null
    fi
  done <"$pidfile"
  stop_pid "$parec_pid"
  stop_pid "$pulse_pid"
  stop_pid "$wm_pid"
  stop_pid "$dbus_pid"
  stop_pid "$xvfb_pid"
  if [ -s "$output/e2e-sound.raw" ] && command -v sox >/dev/null 2>&1; then
    sox -t raw -r 22050 -e signed -b 16 -c 1 "$output/e2e-sound.raw" "$output/e2e-sound.wav" 2>/dev/null &&
      rm -f "$output/e2e-sound.raw"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

wait_for() {  # wait_for SECONDS COMMAND...: true once COMMAND succeeds
  local tries=$(($1 * 10))
  shift
  for _ in $(seq 1 "$tries"); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  return 1
}

# --- the display --------------------------------------------------------
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 "${QUADRILEX_E2E_SCREEN:-1280x1024}x24" -nolisten tcp -noreset >"$logs/xvfb.log" 2>&1 &
xvfb_pid=$!
exec 3>&-
if ! wait_for 20 test -s "$work/display"; then
  echo "run_e2e.sh: Xvfb did not start (see $logs/xvfb.log)" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
echo "run_e2e.sh: display $DISPLAY (Xvfb pid $xvfb_pid)"

# A home of our own, so that nothing here writes into the user's settings.
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

# --- a session bus of our own, as a desktop session has --------------------
exec 3>"$work/dbus"
dbus-daemon --session --nofork --nopidfile --print-address=3 >"$logs/dbus.log" 2>&1 &
dbus_pid=$!
exec 3>&-
if ! wait_for 20 test -s "$work/dbus"; then
  echo "run_e2e.sh: the session bus did not start (see $logs/dbus.log)" >&2
  exit 1
fi
export DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/dbus")

# --- the window manager -------------------------------------------------
# weston's shell without its panel, whose launcher a stray click could start.
if [ "$wm" = weston ]; then
  printf '[core]\nidle-time=0\n[shell]\npanel-position=none\nlocking=false\n' >"$work/weston.ini"
  wm_command+=(--config="$work/weston.ini")
fi
# The game starts only once the manager owns the screen: a window mapped
# while a manager is still starting may never be managed.
if [ "${#wm_command[@]}" -gt 0 ]; then
  for attempt in 1 2 3; do
    "${wm_command[@]}" >"$logs/$wm.log" 2>&1 &
    wm_pid=$!
    if [ "$wm" = weston ]; then
      ready='test -S "$XDG_RUNTIME_DIR/quadrilex-e2e" && xwininfo -root -tree | grep -qi weston'
    else
      ready='xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"'
    fi
    if wait_for 30 sh -c 'kill -0 '"$wm_pid"' && '"$ready"; then
      break
    fi
    echo "run_e2e.sh: $wm did not take the screen (attempt $attempt; see $logs/$wm.log)" >&2
    stop_pid "$wm_pid"
    wm_pid=""
  done
  if [ -z "$wm_pid" ]; then
    exit 1
  fi
  echo "run_e2e.sh: $wm pid $wm_pid"
else
  echo "run_e2e.sh: no window manager"
fi
export QUADRILEX_E2E_WM=$wm

# --- the sound server and its recorder ----------------------------------
mkdir -p "$work/pulse"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit --disallow-module-loading \
  -L "module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" \
  -L "module-null-sink sink_name=quadrilex_e2e sink_properties=device.description=QuadrilexE2E" \
  >"$logs/pulseaudio.log" 2>&1 &
pulse_pid=$!
export PULSE_SERVER="unix:$work/pulse/native"
if ! wait_for 20 pactl info; then
  echo "run_e2e.sh: PulseAudio did not start (see $logs/pulseaudio.log)" >&2
  exit 1
fi
pactl set-default-sink quadrilex_e2e
echo "run_e2e.sh: PulseAudio pid $pulse_pid, null sink quadrilex_e2e"

rate=22050
recording="$output/e2e-sound.raw"
rm -f "$recording" "$output/e2e-sound.wav"
parec -d quadrilex_e2e.monitor --raw --format=s16le --channels=1 --rate=$rate --latency-msec=20 \
  >"$recording" 2>"$logs/parec.log" &
parec_pid=$!
echo "run_e2e.sh: recording the sink (parec pid $parec_pid)"

# --- the suite ----------------------------------------------------------
export QUADRILEX_E2E_GAME="$game"
export QUADRILEX_E2E_OUTPUT_DIR="$output"
export QUADRILEX_E2E_AUDIO="$recording"
export QUADRILEX_E2E_AUDIO_RATE="$rate"
export QUADRILEX_E2E_PIDFILE="$pidfile"
# The game on this display, at one device pixel per logical pixel, with its
# sound on this server.
if [ "$wm" = weston ]; then
  export QT_QPA_PLATFORM=wayland WAYLAND_DISPLAY=quadrilex-e2e
else
  export QT_QPA_PLATFORM=xcb
fi
export QT_ENABLE_HIGHDPI_SCALING=0
export QT_SCALE_FACTOR=1
unset QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR
export SDL_AUDIODRIVER=pulseaudio

"$suite" "$@"
status=$?
echo "run_e2e.sh: suite finished with status $status"
exit "$status"
