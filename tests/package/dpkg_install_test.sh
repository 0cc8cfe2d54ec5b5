#!/usr/bin/env bash
# Installs the package with dpkg into a throw-away root, runs the installed
# game, removes the package and checks that nothing of it is left.
# Usage: dpkg_install_test.sh DEB VERSION
set -euo pipefail
deb=$1 version=$2
fail() { echo "FAIL: $*" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
root=$work/root log=$work/dpkg-output

# The root holds no packages, so dpkg is told to ignore the dependencies there;
# they are checked against this machine instead, whose libraries the
# installed game runs with.
depends=$(dpkg-deb --field "$deb" Depends)
dpkg-checkbuilddeps -d "$depends" -c "" /dev/null || fail "this machine does not satisfy Depends: $depends"

# dpkg's log goes beside the root, not into the machine's /var/log.
dpkg_in_root() { dpkg --root="$root" --log="$work/dpkg.log" --force-not-root "$@"; }
mkdir -p "$root/var/lib/dpkg/info" "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/triggers"
touch "$root/var/lib/dpkg/status"
dpkg_in_root --configure -a  # lets dpkg lay out its own database files first
snapshot() { (cd "$root" && find . | sort && cat var/lib/dpkg/status); }
before=$(snapshot)

# dpkg lists every dependency it was told to ignore; shown only if it fails.
dpkg_in_root --force-depends -i "$deb" >"$log" 2>&1 || fail "dpkg -i failed: $(cat "$log")"
[ -x "$root/usr/games/quadrilex" ] || fail "no executable at /usr/games/quadrilex"
shown=$(env -u WAYLAND_DISPLAY DISPLAY= "$root/usr/games/quadrilex" --version) || fail "the installed game's --version failed"
grep -q "^Quadrilexd Application $version " <<<"$shown" || fail "the installed game's --version says: $shown"

dpkg_in_root -r quadrilex >"$log" 2>&1 || fail "dpkg -r failed: $(cat "$log")"
if dpkg-query --root="$root" -W quadrilex 2>/dev/null; then fail "dpkg still lists the package after dpkg -r"; fi
diff <(echo "$before") <(snapshot) >&2 || fail "dpkg -r left files behind (+)"
echo "PASS: installed, ran '$shown', removed without a trace"
