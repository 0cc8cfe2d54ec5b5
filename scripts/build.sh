#!/usr/bin/env bash
# Configures and builds Quadrilex. Usage: scripts/build.sh [--sanitize] [--bench]
# Builds into build/ (build-sanitize/ with --sanitize), warnings as errors.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build"
args=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUADRILEX_WERROR=ON)
for arg in "$@"; do
  case "$arg" in
    --sanitize) build="$root/build-sanitize"; args+=(-DQUADRILEX_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug) ;;
    --bench) args+=(-DQUADRILEX_BENCH=ON -DCMAKE_BUILD_TYPE=Release) ;;
    *) echo "scripts/build.sh: unknown option $arg" >&2; exit 2 ;;
  esac
done
cmake -S "$root" -B "$build" "${args[@]}" >&2
cmake --build "$build" -j"$(nproc)" >&2
echo "$build"
