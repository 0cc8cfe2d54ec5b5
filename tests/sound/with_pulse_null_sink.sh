#!/usr/bin/env bash
# Runs a command against a private PulseAudio server whose only sink, the
# default, is a null sink: whatever is played there can be recorded from the
# sink's monitor and nothing reaches a loudspeaker.
#
#   with_pulse_null_sink.sh [--record FILE.wav] [--timeout SECONDS] [--] COMMAND [ARG...]
#
# The command sees PULSE_SERVER (the private server), QUADRILEX_PULSE_PID (its
# process, for tests that stop or kill it), QUADRILEX_PULSE_SINK and
# QUADRILEX_PULSE_MONITOR (the sink and its monitor source). With --record, the
# monitor is recorded to FILE.wav (44100 Hz, 16-bit stereo) from before the
# command starts until it has ended. With --timeout, a command still running
# after that many seconds is stopped. The script ends with the command's exit
# status and stops only the processes it started itself. It works as root too:
# the server then runs in per-user mode with a home of its own, not in system
# mode.
set -uo pipefail

usage() {
  echo "usage: $0 [--record FILE.wav] [--timeout SECONDS] [--] COMMAND [ARG...]" >&2
  exit 2
}

record=""
time_limit=""
while [ $# -gt 0 ]; do
  case "$1" in
    --record) [ $# -ge 2 ] || usage; record="$2"; shift 2 ;;
    --timeout) [ $# -ge 2 ] || usage; time_limit="$2"; shift 2 ;;
    --) shift; break ;;
    -*) usage ;;
    *) break ;;
  esac
done
[ $# -gt 0 ] || usage

for tool in pulseaudio pactl parec; do
  command -v "$tool" >/dev/null || { echo "$0: $tool is not installed" >&2; exit 2; }
done

dir=$(mktemp -d "${TMPDIR:-/tmp}/quadrilex-pulse.XXXXXX") || exit 2
server_pid=""
keeper_pid=""
recorder_pid=""
command_pid=""

stop() {  # stop PID: ends one process this script started and reaps it
  kill -TERM "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}

cleanup() {
  [ -n "$command_pid" ] && stop "$command_pid"
  [ -n "$recorder_pid" ] && stop "$recorder_pid"
  [ -n "$keeper_pid" ] && stop "$keeper_pid"
  [ -n "$server_pid" ] && stop "$server_pid"
  rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 143' TERM
trap 'exit 130' INT
trap 'exit 129' HUP

sink=quadrilex_null
socket="$dir/native"
mkdir -p "$dir/home" "$dir/runtime"

# -n: none of the machine's default modules, only the two below. The server's
# state, cookie and runtime files stay in the private folder.
HOME="$dir/home" XDG_CONFIG_HOME="$dir/home/.config" XDG_RUNTIME_DIR="$dir/runtime" \
  PULSE_RUNTIME_PATH="$dir/runtime" PULSE_STATE_PATH="$dir/home/state" \
  pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no \
  --disable-shm=yes --log-target=stderr \
  --load="module-null-sink sink_name=$sink rate=44100 channels=2" \
  --load="module-native-protocol-unix socket=$socket auth-anonymous=1" \
  </dev/null >"$dir/server.log" 2>&1 &
server_pid=$!

export PULSE_SERVER="unix:$socket"
# The clients' runtime files and cookie stay in the private folder too.
export PULSE_RUNTIME_PATH="$dir/runtime"
export PULSE_COOKIE="$dir/cookie"
export QUADRILEX_PULSE_PID="$server_pid"
export QUADRILEX_PULSE_SINK="$sink"
export QUADRILEX_PULSE_MONITOR="$sink.monitor"

ready=""
for _ in $(seq 100); do
  if pactl info >/dev/null 2>&1; then ready=1; break; fi
  kill -0 "$server_pid" 2>/dev/null || break
  sleep 0.1
done
if [ -z "$ready" ]; then
  echo "$0: the PulseAudio server did not start:" >&2
  cat "$dir/server.log" >&2
  exit 2
fi
pactl set-default-sink "$sink" >/dev/null

# A null sink left without streams renders up to two seconds ahead of the
# clock, and a stream that connects then waits that long before its first
# sample is taken, which no sound card does. A silent stream of short latency
# keeps the sink close to the clock for the whole run, and a suspend and resume
# drops the lead it took before that stream came.
pacat --playback --raw --latency-msec=20 --client-name="null sink keeper" </dev/zero &
keeper_pid=$!
for _ in $(seq 100); do
  [ -n "$(pactl list short sink-inputs 2>/dev/null)" ] && break
  kill -0 "$keeper_pid" 2>/dev/null || { echo "$0: pacat failed" >&2; exit 2; }
  sleep 0.1
done
pactl suspend-sink "$sink" 1 && pactl suspend-sink "$sink" 0 || exit 2
lead=$(pactl list sinks | sed -n 's/^[[:space:]]*Latency: \([0-9]*\) usec.*/\1/p' | head -n 1)
if [ -z "$lead" ] || [ "$lead" -gt 200000 ]; then
  echo "$0: the null sink runs ${lead:-?} us ahead of the clock" >&2
  exit 2
fi

if [ -n "$record" ]; then
  parec --device="$sink.monitor" --file-format=wav --format=s16le --rate=44100 --channels=2 "$record" &
  recorder_pid=$!
  # Wait until the recording stream is attached to the monitor.
  for _ in $(seq 100); do
    [ -n "$(pactl list short source-outputs 2>/dev/null)" ] && break
    kill -0 "$recorder_pid" 2>/dev/null || { echo "$0: parec failed" >&2; exit 2; }
    sleep 0.1
  done
fi

# In the background so that a signal to this script is handled at once; the
# command keeps this script's standard input.
if [ -n "$time_limit" ]; then
  timeout --kill-after=5 "$time_limit" "$@" <&0 &
else
  "$@" <&0 &
fi
command_pid=$!
wait "$command_pid"
status=$?
command_pid=""
if [ -n "$time_limit" ] && [ "$status" -eq 124 ]; then
  echo "$0: stopped after $time_limit s: $*" >&2
fi

# The recording ends only after the command's last sound has reached it.
if [ -n "$recorder_pid" ]; then
  sleep 0.3
  stop "$recorder_pid"
  recorder_pid=""
fi
exit "$status"
