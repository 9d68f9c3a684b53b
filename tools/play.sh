#!/usr/bin/env bash
# Builds quorrin and shows it.
#
# The Windows program (window, dialogs, message loop) comes in a later step of
# the project. Until then this builds the portable game core natively and the
# Windows cross build of it, and draws what the game window shows for the
# first puzzle of the first shipped collection, at the window's starting
# client size of 432 x 464, into build/screenshot.png (and opens it when a
# display and an image viewer are available).
set -euo pipefail
cd "$(dirname "$0")/.."
jobs="$(nproc)"

cmake --preset native >/dev/null
cmake --build --preset native -j "$jobs" --target preview
cmake --preset mingw >/dev/null
cmake --build --preset mingw -j "$jobs"

first="$(find puzzles -maxdepth 1 -name '*.dat' | LC_ALL=C sort | head -n 1)"
out=build/screenshot.png
build/native/tools/preview/preview --puzzle "$first:0" 432 464 "$out"
echo "quorrin: the game window comes in a later step; what it will show: $out"
if [ -n "${DISPLAY:-}" ] && command -v display >/dev/null; then
    display "$out" &
fi
