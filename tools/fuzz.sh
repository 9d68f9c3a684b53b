#!/usr/bin/env bash
# Builds and runs one fuzz target of tests/fuzz (libFuzzer, clang, with
# AddressSanitizer and UndefinedBehaviorSanitizer):
#
#   tools/fuzz.sh TARGET SECONDS [LIBFUZZER-OPTION...]
#
# TARGET is fuzz_collection, fuzz_save_file, fuzz_bitmap or fuzz_import (the
# "fuzz_" may be left out). First every input of the target's corpus in
# tests/fuzz/corpus/TARGET is run once; then, when SECONDS is above 0, the
# target is fuzzed for that long. New inputs go to build/fuzz-corpus/TARGET
# (kept from run to run; the corpus in the repository is only read), and an
# input that fails is written to build/fuzz-findings/TARGET/. Further options
# go to libFuzzer as they are (e.g. -runs=10000000, -jobs=2). Runs niced: the
# machine is shared. Exits non-zero when an input fails.
set -euo pipefail
cd "$(dirname "$0")/.."

if [ $# -lt 2 ]; then
    echo "usage: tools/fuzz.sh TARGET SECONDS [LIBFUZZER-OPTION...]" >&2
    exit 2
fi
target="$1"
seconds="$2"
shift 2
case "$target" in fuzz_*) ;; *) target="fuzz_$target" ;; esac
case "$target" in
    fuzz_collection | fuzz_save_file | fuzz_import) max_len=4096 ;;
    # The resource bitmaps are seeds for the replay; fuzzing works on small
    # bitmaps, which reach the same code.
    fuzz_bitmap) max_len=4096 ;;
    *)
        echo "fuzz.sh: unknown target '$target'" >&2
        exit 2
        ;;
esac

cmake --preset fuzz >/dev/null
nice -n 10 cmake --build --preset fuzz --target "$target" -j "$(nproc)" >/dev/null
binary="build/fuzz/tests/fuzz/$target"
seeds="tests/fuzz/corpus/$target"
scratch="build/fuzz-corpus/$target"
findings="build/fuzz-findings/$target"
mkdir -p "$scratch" "$findings"

# The targets' scratch files go to a folder of this run's own, in memory where
# there is such a folder (a disk would make every input wait for it).
shm=/dev/shm
[ -d "$shm" ] && [ -w "$shm" ] || shm="${TMPDIR:-/tmp}"
TMPDIR="$(mktemp -d "$shm/quorrin-fuzz.XXXXXX")"
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:symbolize=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

# Replay: each input of the corpus once, whole.
mapfile -t inputs < <(find "$seeds" -type f | sort)
echo "$target: replaying ${#inputs[@]} inputs of $seeds"
nice -n 10 "$binary" -artifact_prefix="$findings/" "${inputs[@]}" >"$findings/replay.log" 2>&1 || {
    tail -n 40 "$findings/replay.log" >&2
    echo "$target: an input of $seeds fails (log: $findings/replay.log)" >&2
    exit 1
}

if [ "$seconds" -gt 0 ]; then
    echo "$target: fuzzing for ${seconds} s (new inputs: $scratch, findings: $findings)"
    nice -n 10 "$binary" -max_total_time="$seconds" -max_len="$max_len" -timeout=30 \
        -print_final_stats=1 -artifact_prefix="$findings/" "$@" "$scratch" "$seeds"
fi
