#!/usr/bin/env bash
# Builds Quadrilex and starts it. Arguments are passed to the game (e.g. --seed 7).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$("$root/scripts/build.sh" | tail -n 1)
exec "$build/app/quadrilex" "$@"
