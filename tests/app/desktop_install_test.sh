#!/usr/bin/env bash
# Installs the build into a folder of its own and checks what the desktop
# reads: the entry, the metadata, the icon at every size, and the class of the
# installed game's window, by which a desktop ties the window to its entry.
# Usage: desktop_install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$prefix"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
id=example.brindlewick.Quadrilex

cmake --install "$build" --prefix "$prefix" >/dev/null
[ -x "$prefix/bin/quadrilex" ] || fail "no executable installed"
desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop entry rejected"
grep -q '^Categories=.*Game;.*LogicGame;' "$prefix/share/applications/$id.desktop" || fail "categories"
# Strict, but for the remark that the id's top-level domain is unknown: the
# id is the reverse of the maker's domain under .example, which no registry
# holds. (The id's capital, which the Freedesktop convention for an
# application id gives it, is only a pedantic remark.)
appstreamcli validate --strict --no-net --override=cid-maybe-not-rdns=pedantic \
  "$prefix/share/metainfo/$id.metainfo.xml" || fail "metadata rejected"
# What a software centre shows beyond that: a picture with its caption, a
# homepage, and notes for the release installed.
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
version=$(env -u WAYLAND_DISPLAY DISPLAY= "$prefix/bin/quadrilex" --version | awk '{ print $3 }')
grep -q '<url type="homepage">https://' "$metainfo" || fail "the metadata names no homepage"
sed -n '/<screenshot type="default">/,/<\/screenshot>/p' "$metainfo" | grep -q '<caption>' &&
  sed -n '/<screenshot type="default">/,/<\/screenshot>/p' "$metainfo" | grep -q '<image[^>]*>https://' ||
  fail "the metadata has no default screenshot with a caption"
sed -n "/<release version=\"$version\"/,/<\/release>/p" "$metainfo" | grep -q '<description>' ||
  fail "the metadata has no notes for release $version"
for size in 16 32 48 64 128 256; do
  icon="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  [ -f "$icon" ] || fail "no ${size} pixel icon"
  dims=$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ')
  expected=$(printf ' 0 0 %d %d 0 0 %d %d' $((size / 256)) $((size % 256)) $((size / 256)) $((size % 256)))
  [ "$dims" = "$expected" ] || fail "the ${size} pixel icon is not ${size} by ${size} (${dims})"
done

# The installed game's window, on a virtual X server of its own: the class in
# its WM_CLASS is the entry's StartupWMClass.
wm_class=$(sed -n 's/^StartupWMClass=//p' "$prefix/share/applications/$id.desktop")
[ -n "$wm_class" ] || fail "the desktop entry has no StartupWMClass"
. "$(dirname "$0")/../support/virtual_x.sh"
start_session_bus "$prefix/bus"
start_xvfb 1280x1024x24 "$prefix/display"
QT_QPA_PLATFORM=xcb "$prefix/bin/quadrilex" --seed 1 >"$prefix/game.log" 2>&1 &
pids+=($!)
poll 300 sh -c "xdotool search --onlyvisible --name 'Version J614' | grep -q ." ||
  fail "the installed game showed no window: $(cat "$prefix/game.log")"
window=$(xdotool search --onlyvisible --name 'Version J614' | head -n 1)
# WM_CLASS(STRING) = "instance", "class"
shown=$(xprop -id "$window" WM_CLASS)
class=$(sed -n 's/^WM_CLASS(STRING) = "[^"]*", "\([^"]*\)"$/\1/p' <<<"$shown")
[ "$class" = "$wm_class" ] || fail "the window's class is '$class' ($shown), the entry's StartupWMClass '$wm_class'"
echo "PASS: desktop entry, metadata and six icon sizes installed and valid; the window's class is the entry's $wm_class"
