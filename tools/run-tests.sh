#!/usr/bin/env bash
# Runs every test of quorrin:
#   1. native build (g++, release): unit tests, tool tests, the collection check
#   2. sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer): the same
#   3. Windows build (mingw-w64): the unit tests again under Wine, against the
#      Windows C runtime, in a headless Wine prefix
# Needs the packages that .ci/run installs. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

step() { printf '\n=== %s ===\n' "$*"; }

step "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

step "sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset asan -j "$jobs"

step "Windows build (mingw-w64), tests under Wine"
export QUORRIN_WINE_HEADLESS=1
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
quorrin_wine_prefix
trap quorrin_wine_stop EXIT
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
ctest --preset mingw
