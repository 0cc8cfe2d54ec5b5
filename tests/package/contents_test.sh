#!/usr/bin/env bash
# Builds the Debian package and checks its name, its control fields and that
# it carries exactly the game's files.
# Usage: contents_test.sh PACKAGE_SH BUILD_DIR OUT_DIR EXPECTED_DEB
set -euo pipefail
package_sh=$1 build=$2 out=$3 expected=$4
fail() { echo "FAIL: $*" >&2; exit 1; }

rm -rf "$out"
deb=$("$package_sh" "$build" "$out" | tail -n 1)
[ "$deb" = "$expected" ] || fail "the package is $deb, not $expected"
field() { dpkg-deb --field "$deb" "$1"; }

[ "$(field Section)" = games ] || fail "section is '$(field Section)', not games"
# SDL2 is loaded with dlopen, and the game plays silent without it: it is
# recommended, not required. Qt comes from dpkg-shlibdeps reading the
# executable.
recommends=$(field Recommends)
[ "$recommends" = "libsdl2-2.0-0, qt6-wayland" ] || fail "recommends '$recommends', not libsdl2-2.0-0 and qt6-wayland"
depends=$(field Depends)
if grep -q sdl <<<"$depends"; then fail "Depends names SDL2: $depends"; fi
grep -Eq '(^|, )libqt6widgets6 \(>= [^)]+\)' <<<"$depends" || fail "Depends lacks the shared libraries: $depends"

id=example.brindlewick.Quadrilex
expected_files=(
  usr/games/quadrilex
  usr/share/applications/$id.desktop
  usr/share/doc/quadrilex/LiberationSans-Bold.copyright
  usr/share/doc/quadrilex/changelog.gz
  usr/share/doc/quadrilex/copyright
  usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128,256x256}/apps/$id.png
  usr/share/man/man6/quadrilex.6.gz
  usr/share/metainfo/$id.metainfo.xml
)
files=$(dpkg-deb --fsys-tarfile "$deb" | tar -t | grep -v '/$' | sed 's|^\./||' | sort)
wanted=$(printf '%s\n' "${expected_files[@]}" | sort)
diff <(echo "$wanted") <(echo "$files") >&2 || fail "the package's files differ from the game's (- missing, + extra)"
echo "PASS: $deb, section games, its dependencies, and the game's ${#expected_files[@]} files"
