#!/usr/bin/env bash
# Renders the package's manual page with man, as a reader would, fails on any
# warning from man or groff, and checks that it documents every option of the
# game's own.
# Usage: manual_page_test.sh DEB VERSION
set -euo pipefail
deb=$1 version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

dpkg-deb -x "$deb" "$dir"
page="$dir/usr/share/man/man6/quadrilex.6.gz"
[ -f "$page" ] || fail "no manual page in section 6"
MANWIDTH=80 MANPAGER=cat PAGER=cat man --warnings -l "$page" >"$dir/page.txt" 2>"$dir/warnings.txt" ||
  fail "man could not render the page: $(cat "$dir/warnings.txt")"
[ ! -s "$dir/warnings.txt" ] || fail "man warns: $(cat "$dir/warnings.txt")"
for heading in NAME SYNOPSIS DESCRIPTION OPTIONS CONTROLS FILES "EXIT STATUS" ENVIRONMENT; do
  grep -q "^$heading\$" "$dir/page.txt" || fail "the page has no $heading section"
done
grep -q "Quadrilex $version" "$dir/page.txt" || fail "the page does not name version $version"
# The game's own options are the ones --help lists before its own -h, --help.
help=$(env -u WAYLAND_DISPLAY DISPLAY= "$dir/usr/games/quadrilex" --help)
options=$(sed -n '/^Options:/,/^  -h, --help /p' <<<"$help" | grep -oE -- '--[a-z][a-z-]*')
[ -n "$options" ] || fail "found no options in --help: $help"
for option in $options; do
  grep -qF -- "$option" "$dir/page.txt" || fail "the page does not document $option"
done
echo "PASS: quadrilex(6) renders without a warning"
