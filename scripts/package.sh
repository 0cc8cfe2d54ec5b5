#!/usr/bin/env bash
# Builds the Debian package of Quadrilex, quadrilex_<version>_<arch>.deb, with
# `cpack -G DEB` from the project's install rules.
# Usage: scripts/package.sh [BUILD_DIR [OUT_DIR]]
# Without BUILD_DIR it first builds build/ as scripts/build.sh does; with one it
# packages that tree. The package goes to OUT_DIR (default: the build folder)
# and its path is the last line printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ $# -ge 1 ]; then
  build=$(cd "$1" && pwd)
else
  build=$("$root/scripts/build.sh" | tail -n 1)
fi
out=${2:-$build}
[ -f "$build/CPackConfig.cmake" ] || { echo "scripts/package.sh: $build is not a configured build folder" >&2; exit 1; }
mkdir -p "$out"

log=$(cpack --config "$build/CPackConfig.cmake" -G DEB -B "$out" 2>&1) || {
  echo "$log" >&2
  echo "scripts/package.sh: cpack failed" >&2
  exit 1
}
echo "$log" >&2
deb=$(sed -n 's/^CPack: - package: \(.*\.deb\) generated\.$/\1/p' <<<"$log")
[ -f "$deb" ] || { echo "scripts/package.sh: cpack named no package it made" >&2; exit 1; }
echo "$deb"
