#!/usr/bin/env bash
# Builds the native release preset and runs every benchmark in bench/.
# Extra arguments go to each benchmark (e.g. --benchmark_filter=Sheet).
# Timings depend on what else the machine is doing: compare figures taken in
# one run (each benchmark prints its own ratios), not across runs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset native >/dev/null
cmake --build --preset native -j "$(nproc)" >/dev/null
for b in board glyphs screen puzzles app; do
    exe="build/native/bench/$b/bench_$b"
    if [ -x "$exe" ]; then
        printf '\n=== bench_%s ===\n' "$b"
        "$exe" "$@"
    fi
done
# The complete search on boards one clue away from unique ones: its summary.
printf '\n=== adversarial ===\n'
build/native/bench/puzzles/adversarial tests/puzzles/fixtures/adversarial.dat | tail -n 1
