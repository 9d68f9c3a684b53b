// Cost of the work done after every click on the largest square board
// (44 x 44 cells, 2025 vertices): marking, clue states and the solution check.
#include <benchmark/benchmark.h>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace {

using quorrin::Board;
using quorrin::EdgeRef;

constexpr int kSize = 44;

// Every cell a clue 2; a loop along the whole outline.
Board outlineBoard() {
    quorrin::PuzzleEntry e;
    e.width = kSize;
    e.height = kSize;
    e.clues.assign((kSize + 1) * (kSize + 1), 255);
    for (int r = 0; r < kSize; ++r)
        for (int c = 0; c < kSize; ++c) e.clues[static_cast<std::size_t>(r * (kSize + 1) + c)] = 2;
    Board b;
    b.load(e);
    const int stride = kSize + 1;
    for (int c = 0; c < kSize; ++c) {
        b.codes[static_cast<std::size_t>(c)] += 6;
        b.codes[static_cast<std::size_t>(kSize * stride + c)] += 6;
    }
    for (int r = 0; r < kSize; ++r) {
        b.codes[static_cast<std::size_t>(r * stride)] += 2;
        b.codes[static_cast<std::size_t>(r * stride + kSize)] += 2;
    }
    b.updateClueStates();
    return b;
}

// A long loop: the outline of every other row of cells joined in a comb,
// with no clues, so the check runs through to the walk.
Board combBoard() {
    quorrin::PuzzleEntry e;
    e.width = kSize;
    e.height = kSize;
    e.clues.assign((kSize + 1) * (kSize + 1), 255);
    Board b;
    b.load(e);
    // Boundary of the cells of column 0 plus every even row.
    auto in = [](int r, int c) {
        return r >= 0 && c >= 0 && r < kSize && c < kSize && (c == 0 || r % 2 == 0);
    };
    const int stride = kSize + 1;
    for (int r = 0; r <= kSize; ++r) {
        for (int c = 0; c <= kSize; ++c) {
            const int right = c < kSize && in(r - 1, c) != in(r, c) ? 2 : 0;
            const int down = r < kSize && in(r, c - 1) != in(r, c) ? 2 : 0;
            b.codes[static_cast<std::size_t>(r * stride + c)] =
                static_cast<std::uint8_t>(3 * right + down);
        }
    }
    b.updateClueStates();
    return b;
}

void BM_IsSolvedCombLoop(benchmark::State& state) {
    Board b = combBoard();
    bool solved = false;
    for (auto _ : state) {
        solved = b.isSolved();
        benchmark::DoNotOptimize(solved);
    }
    if (!solved) state.SkipWithError("comb loop not solved");
}
BENCHMARK(BM_IsSolvedCombLoop);

void BM_IsSolvedFailsOnClues(benchmark::State& state) {
    Board b = outlineBoard();
    for (auto _ : state) benchmark::DoNotOptimize(b.isSolved());
}
BENCHMARK(BM_IsSolvedFailsOnClues);

void BM_MarkEdgeWithClueUpdate(benchmark::State& state) {
    Board b = outlineBoard();
    const EdgeRef e{20 * (kSize + 1) + 20, 0};
    for (auto _ : state) {
        b.markEdge(e);
        benchmark::DoNotOptimize(b.clues.data());
    }
}
BENCHMARK(BM_MarkEdgeWithClueUpdate);

void BM_Load(benchmark::State& state) {
    quorrin::PuzzleEntry e;
    e.width = kSize;
    e.height = kSize;
    e.clues.assign((kSize + 1) * (kSize + 1), 0);
    Board b;
    for (auto _ : state) {
        b.load(e);
        benchmark::DoNotOptimize(b.codes.data());
    }
}
BENCHMARK(BM_Load);

}  // namespace
