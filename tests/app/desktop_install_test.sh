#!/usr/bin/env bash
# Installs the build into a folder of its own and checks what the desktop
# reads: the entry, the metadata, and the icon at every size.
# Usage: desktop_install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
id=example.brindlewick.Quadrilex

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/quadrilex" ] || fail "no executable installed"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry rejected"
grep -q '^Categories=.*Game;.*LogicGame;' "$prefix/share/applications/$id.desktop" || fail "categories"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "metadata rejected"
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$icon" ] || fail "no ${size} pixel icon"
  dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')
  expected=$(printf ' 0 0 %d %d 0 0 %d %d' $((size / 256)) $((size % 256)) $((size / 256)) $((size % 256)))
  [ "$dims" = "$expected" ] || fail "the ${size} pixel icon is not ${size} by ${size} (${dims})"
done
echo "PASS: desktop entry, metadata and six icon sizes installed and valid"
