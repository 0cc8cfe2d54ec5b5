#!/usr/bin/env bash
# Runs Debian's package checker on the package. Any error or warning fails,
# unless the package's own overrides name it with a reason.
# Usage: lintian_test.sh DEB
set -euo pipefail
deb=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT

status=0
report=$(lintian --info --fail-on error,warning "$deb" 2>"$errors") || status=$?
echo "$report"
# Lintian's one remark about being run as root, as CI does, is no finding.
if grep -v '^running with root privileges is not recommended!$' "$errors" >&2; then
  fail "lintian wrote errors of its own"
fi
[ "$status" -eq 0 ] || fail "lintian exited with status $status"
if grep -E '^[EW]: ' <<<"$report" >/dev/null; then fail "lintian reports errors or warnings"; fi
echo "PASS: lintian reports no error and no warning"
