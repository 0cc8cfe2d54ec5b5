#!/usr/bin/env bash
# Checks the built executable's ELF headers for the hardening it is built
# with: position-independent, full RELRO, stack protector, fortified calls.
# Usage: hardening_test.sh PATH_TO_QUADRILEX
set -euo pipefail
exe=$1
fail() { echo "FAIL: $*" >&2; exit 1; }
headers=$(readelf -h "$exe")
segments=$(readelf -lW "$exe")
dynamic=$(readelf -dW "$exe")
symbols=$(readelf -sW --dyn-syms "$exe")

grep -Eq 'Type:[[:space:]]+DYN' <<<"$headers" || fail "not a position-independent executable"
grep -q 'GNU_RELRO' <<<"$segments" || fail "no RELRO segment"
grep -Eq 'BIND_NOW|FLAGS_1.*NOW' <<<"$dynamic" || fail "RELRO is partial: no BIND_NOW"
grep -q '__stack_chk_fail' <<<"$symbols" || fail "no stack protector"
grep -Eq '__[a-z_]+_chk@' <<<"$symbols" || fail "no fortified C library calls"
echo "PASS: PIE, full RELRO, stack protector and fortified calls in $exe"
