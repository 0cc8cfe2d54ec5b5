#!/usr/bin/env bash
# Runs every benchmark and prints the tables: the game's own work in process
# against a full paint, the whole program against a minimal Qt window (the
# floor) on a virtual X server, and a click storm of 100,000 games with its
# count of broken invariants. Exits non-zero when a budget is missed.
# Usage: bench/run.sh [--runs N] [--storm-games N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=9
storm_games=100000
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --storm-games) storm_games=$2; shift 2 ;;
    *) echo "bench/run.sh: unknown option $1" >&2; exit 2 ;;
  esac
done

"$root/scripts/install-deps.sh"
build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DQUADRILEX_BENCH=ON -DQUADRILEX_TESTS=ON -DQUADRILEX_E2E_TESTS=OFF >&2
cmake --build "$build" -j"$(nproc)" --target quadrilex view_bench floor_window process_probe \
  quadrilex_click_storm_cli >&2

status=0
echo "== In process (Qt offscreen platform) =="
QT_QPA_PLATFORM=offscreen "$build/bench/view_bench" --benchmark_repetitions=5 \
  --benchmark_report_aggregates_only=true || status=1

echo
echo "== Whole process (Xvfb, against a minimal Qt window) =="
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT
display=
for n in $(seq 200 299); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=":$n"; break; fi
done
[ -n "$display" ] || { echo "no free X display" >&2; exit 1; }
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp -br >/dev/null 2>&1 &
x_pid=$!
pids+=("$x_pid")
export DISPLAY=$display
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5
# No sound server: the game's waits for its sounds would only measure the sounds.
PULSE_SERVER=unix:/nonexistent "$build/bench/process_probe" --x-pid "$x_pid" --runs "$runs" --seconds 10 \
  "$build/app/quadrilex" "$build/bench/floor_window" || status=1

echo
echo "== Click storm =="
QT_QPA_PLATFORM=offscreen "$build/tests/storm/click_storm" --games "$storm_games" --seed 1 || status=1
exit $status
