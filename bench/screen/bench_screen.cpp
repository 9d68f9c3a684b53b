// Screen drawing speed: a board redraw of the largest boards at a 4K client
// size, and a whole resize (new back buffer, layout with the glyph sheet,
// toolbar, board and clock drawn) at full HD and 4K.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "board/board.h"
#include "screen/screen.h"
#include "store/puzzle_collection.h"

namespace {

using quorrin::Board;
using quorrin::EdgeRef;

// A board with clues in about half of its cells and a mix of lines and
// crosses on every vertex.
Board busyBoard(int w, int h) {
    quorrin::PuzzleEntry entry;
    entry.width = w;
    entry.height = h;
    const int stride = w + 1;
    entry.clues.assign(static_cast<std::size_t>(stride * (h + 1)), quorrin::kNoClue);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if ((r + c) % 2 == 0)
                entry.clues[static_cast<std::size_t>(r * stride + c)] =
                    static_cast<std::uint8_t>((r * 3 + c) % 4);
    Board board;
    board.load(entry);
    for (int r = 0; r <= h; ++r)
        for (int c = 0; c <= w; ++c) {
            const int right = c < w ? (r * 5 + c * 7) % 3 : 0;
            const int down = r < h ? (r * 11 + c * 3) % 3 : 0;
            board.codes[static_cast<std::size_t>(r * stride + c)] =
                static_cast<std::uint8_t>(3 * right + down);
        }
    board.updateClueStates();
    return board;
}

// Sheets of the resource bitmaps' sizes, so the copies cost what they do in
// the game.
quorrin::BitmapLoader syntheticBitmaps() {
    return [](int id, quorrin::Surface& out) {
        const int w = id == quorrin::kButtonBitmapId ? 900 : 293;
        const int h = id == quorrin::kButtonBitmapId ? 30 : 106;
        if (!out.create(w, h)) return false;
        for (std::size_t i = 0; i < out.pixels.size(); ++i)
            out.pixels[i] = static_cast<std::uint8_t>(i * 7);
        return true;
    };
}

void BM_DrawBoard(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    const int cw = static_cast<int>(state.range(1)), ch = static_cast<int>(state.range(2));
    const Board board = busyBoard(cells, cells);
    quorrin::Screen screen;
    screen.bitmapLoader = syntheticBitmaps();
    screen.resize(cw, ch, board);
    const EdgeRef hover{cells + 3, 1}, origin{2 * (cells + 1) + 5, 0};
    for (auto _ : state) {
        screen.drawBoard(board, hover, origin);
        benchmark::DoNotOptimize(screen.backBuffer.pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["pitch"] = screen.pitch;
    state.counters["glyph"] = screen.glyphSize;
}
BENCHMARK(BM_DrawBoard)
    ->Args({44, 3840, 2100})
    ->Args({44, 1920, 1040})
    ->Unit(benchmark::kMillisecond);

// One size notification as the window procedure handles it. The width
// alternates by one pixel so that every iteration lays out anew; with
// `fresh` the back buffer's storage is freed first, so every iteration also
// pays for a new allocation.
void resizeOnce(quorrin::Screen& screen, const Board& board, int cw, int ch) {
    screen.resize(cw, ch, board);
    screen.drawToolbar(false, -1);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    screen.drawClock(754);
}

void BM_Resize(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    const int cw = static_cast<int>(state.range(1)), ch = static_cast<int>(state.range(2));
    const bool fresh = state.range(3) != 0;
    const Board board = busyBoard(cells, cells);
    quorrin::Screen screen;
    screen.bitmapLoader = syntheticBitmaps();
    screen.resize(cw - 1, ch, board);
    int flip = 0;
    for (auto _ : state) {
        if (fresh) screen.backBuffer.release();
        flip ^= 1;
        resizeOnce(screen, board, cw - flip, ch);
        benchmark::DoNotOptimize(screen.backBuffer.pixels.data());
        benchmark::ClobberMemory();
    }
    state.counters["pitch"] = screen.pitch;
    state.counters["glyph"] = screen.glyphSize;
}
BENCHMARK(BM_Resize)
    ->ArgNames({"cells", "w", "h", "fresh"})
    ->Args({10, 1920, 1040, 0})
    ->Args({10, 1920, 1040, 1})
    ->Args({44, 1920, 1040, 0})
    ->Args({44, 1920, 1040, 1})
    ->Args({10, 3840, 2100, 0})
    ->Args({10, 3840, 2100, 1})
    ->Args({44, 3840, 2100, 0})
    ->Args({44, 3840, 2100, 1})
    ->Unit(benchmark::kMillisecond);

// The parts of a resize on their own, at 4K.
void BM_LayoutOnly(benchmark::State& state) {
    const int cells = static_cast<int>(state.range(0));
    const Board board = busyBoard(cells, cells);
    quorrin::Screen screen;
    screen.resize(3840, 2100, board);
    for (auto _ : state) {
        screen.layout(board);
        benchmark::ClobberMemory();
    }
    state.counters["glyph"] = screen.glyphSize;
}
BENCHMARK(BM_LayoutOnly)->Arg(10)->Arg(44)->Unit(benchmark::kMillisecond);

void BM_FillWhite4K(benchmark::State& state) {
    quorrin::Surface s;
    s.create(3840, 2100);
    for (auto _ : state) {
        s.fillWhite();
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_FillWhite4K)->Unit(benchmark::kMillisecond);

void BM_GlyphRuns(benchmark::State& state) {
    const Board board = busyBoard(10, 10);
    quorrin::Screen screen;
    screen.resize(static_cast<int>(state.range(0)), static_cast<int>(state.range(1)), board);
    quorrin::OpaqueRuns runs;
    for (auto _ : state) {
        quorrin::findOpaqueRuns(screen.glyphSheet, runs);
        benchmark::DoNotOptimize(runs.runs.data());
    }
    state.counters["glyph"] = screen.glyphSize;
}
BENCHMARK(BM_GlyphRuns)->Args({1920, 1040})->Args({3840, 2100})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
