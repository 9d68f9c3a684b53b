#!/usr/bin/env bash
# Runs every test of quorrin:
#   1. native build (g++, release): unit tests, tool tests, the collection check
#   1b. browser build (emscripten): the page played in headless Chromium
#      with real input, its canvas against the native frames
#      (tests/web/e2e.py)
#   2. sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer): the same
#   2b. fuzz targets (clang, libFuzzer): every corpus input replayed, then each
#      target fuzzed for a short while
#   3. Windows build (mingw-w64): the unit tests again under Wine, against the
#      Windows C runtime, in a headless Wine prefix
#   4. static analysis: clang-tidy over the portable code and the Windows layer
#   5. end-to-end: the real quorrin.exe under Wine on a private X server,
#      played with mouse and keyboard (tests/e2e/run-e2e.sh)
# Needs the packages that .ci/run installs. Exits non-zero on the first failure.
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

step() { printf '\n=== %s ===\n' "$*"; }

step "native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs"
ctest --preset native -j "$jobs"

step "browser build (emscripten), the page in headless Chromium"
cmake --preset web >/dev/null
cmake --build --preset web -j "$jobs"
/usr/bin/python3 tests/web/e2e.py build/web/site build/native/tools/session/session build/web-e2e

step "sanitizer build and tests"
cmake --preset asan >/dev/null
cmake --build --preset asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --preset asan -j "$jobs"

step "fuzz targets: corpus replay and ${QUORRIN_FUZZ_SECONDS:-20} s of fuzzing each"
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j "$jobs"
mkdir -p build/fuzz-findings
for target in fuzz_collection fuzz_save_file fuzz_bitmap fuzz_import; do
    log="build/fuzz-findings/$target.log"
    if ! tools/fuzz.sh "$target" "${QUORRIN_FUZZ_SECONDS:-20}" >"$log" 2>&1; then
        tail -n 60 "$log" >&2
        echo "fuzz target $target failed; the input is in build/fuzz-findings/$target/" >&2
        exit 1
    fi
    grep -E '^(fuzz_|#[0-9]+[[:space:]]+DONE)' "$log" || true
done

step "Windows build (mingw-w64), tests under Wine"
export QUORRIN_WINE_HEADLESS=1
# shellcheck source=tools/wine-env.sh
source tools/wine-env.sh
quorrin_wine_prefix
trap quorrin_wine_stop EXIT
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"
ctest --preset mingw

step "static analysis (clang-tidy)"
tools/tidy.sh

step "end-to-end tests: quorrin.exe under Wine, played with mouse and keyboard"
tests/e2e/run-e2e.sh build/mingw/app/win32/quorrin.exe build/mingw/tests/e2e/probe.exe \
    build/native/tests/e2e/screencheck
