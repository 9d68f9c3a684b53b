// What the player waits for on a large screen with the largest board (44 x
// 44): a hover change, a left click that marks an edge (with the solution
// check), a right click, a clock tick, an undo or redo of a click and an
// arrow key moving the cursor, each timed from the event to the
// pixels being in the window, with the copies made as a window system would
// make them. The same events with the board drawn whole and the whole back
// buffer copied on every change are timed in the same run; the counter
// "bytes" is what each event hands to the window.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <set>

#include "app/game_app.h"
#include "dialogs/dialogs.h"
#include "screen/bitmap.h"

namespace {

using namespace quorrin;

// A window that keeps the pixels copied to it.
class CopyingWindow : public WindowSystem {
  public:
    Surface window;
    std::int64_t bytes = 0;

    bool createMainWindow(std::int32_t, std::int32_t) override { return true; }
    int runMessageLoop() override { return 0; }
    void destroyMainWindow() override {}
    void present(const Surface& backBuffer, const PixelRect& area) override {
        if (window.width != backBuffer.width || window.height != backBuffer.height) {
            window.create(backBuffer.width, backBuffer.height);
        }
        window.copyFrom(backBuffer, area.x, area.y, area.width, area.height, area.x, area.y);
        bytes += std::int64_t{area.width} * area.height * 3;
    }
    void startClock() override {}
    void stopClock() override {}
    bool confirm(const char*, const char*) override { return false; }
    void showError(const char*, const char*) override {}
    int runDialog(int, ProgressStore*) override { return kDialogCancel; }
};

// A 44 x 44 puzzle with a clue in about every other cell, in play in a
// client area of the given size.
struct Game {
    CopyingWindow windows;
    GameApp app{windows};
    std::vector<std::pair<std::int32_t, std::int32_t>> points;  // on two different edges

    Game(RedrawMode mode, std::int32_t width, std::int32_t height) {
        app.redrawMode = mode;
        app.screen.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
        PuzzleEntry& entry = app.progress.collection.puzzles[0];
        entry.width = entry.height = 44;
        entry.clues.assign(45 * 45, kNoClue);
        for (int r = 0; r < 44; ++r)
            for (int c = 0; c < 44; ++c)
                if ((r * 7 + c * 3) % 2 == 0)
                    entry.clues[static_cast<std::size_t>(r * 45 + c)] =
                        static_cast<std::uint8_t>(1 + (r + c) % 3);
        app.progress.collection.puzzleCount = 1;
        app.board.load(entry);
        app.onSize(width, height);
        app.startPuzzle();
        // Two points in the middle of the board on different edges.
        const std::int32_t x0 = app.screen.originX + 22 * app.screen.pitch;
        const std::int32_t y0 = app.screen.originY + 22 * app.screen.pitch;
        std::set<std::pair<std::int32_t, int>> seen;
        for (std::int32_t d = 0; d < 2 * app.screen.pitch && points.size() < 2; ++d) {
            EdgeRef e;
            if (app.screen.hitTest(app.board, x0 + d, y0 + d / 3, e) &&
                seen.insert({e.vertex, e.vertical}).second) {
                points.push_back({x0 + d, y0 + d / 3});
            }
        }
    }
};

using Event = void (*)(Game&, std::int64_t);

void run(benchmark::State& state, RedrawMode mode, Event event) {
    Game game(mode, static_cast<std::int32_t>(state.range(0)),
              static_cast<std::int32_t>(state.range(1)));
    if (game.points.size() < 2) {
        state.SkipWithError("no edges found");
        return;
    }
    const std::int64_t before = game.windows.bytes;
    std::int64_t i = 0;
    for (auto _ : state) event(game, i++);
    state.counters["bytes"] = benchmark::Counter(static_cast<double>(game.windows.bytes - before) /
                                                 static_cast<double>(i));
}

void hover(Game& g, std::int64_t i) {
    const auto& p = g.points[static_cast<std::size_t>(i % 2)];
    g.app.onMouseMove(p.first, p.second);
}
void leftClick(Game& g, std::int64_t) {
    const auto& p = g.points[0];
    g.app.onLeftClick(p.first, p.second);
}
void rightClick(Game& g, std::int64_t) {
    const auto& p = g.points[1];
    g.app.onRightClick(p.first, p.second);
}
void tick(Game& g, std::int64_t) {
    g.app.onClockTick();
}
// Undo and redo of the same left click, in turn (the click is made on the
// first undo).
void undoRedo(Game& g, std::int64_t i) {
    if (i == 0) leftClick(g, 0);
    g.app.onCommand(i % 2 == 0 ? kCommandUndo : kCommandRedo);
}
// The cursor one edge right and back, in turn.
void arrow(Game& g, std::int64_t i) {
    g.app.onKey(i % 2 == 0 ? Key::Right : Key::Left, false);
}

const std::vector<std::int64_t> kFullHd = {1920, 1040};
const std::vector<std::int64_t> k4k = {3840, 2100};

BENCHMARK_CAPTURE(run, hover_partial, RedrawMode::Partial, hover)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, hover_full, RedrawMode::Full, hover)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, leftClick_partial, RedrawMode::Partial, leftClick)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, leftClick_full, RedrawMode::Full, leftClick)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, rightClick_partial, RedrawMode::Partial, rightClick)
    ->Args(kFullHd)
    ->Args(k4k);
BENCHMARK_CAPTURE(run, rightClick_full, RedrawMode::Full, rightClick)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, tick_partial, RedrawMode::Partial, tick)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, tick_full, RedrawMode::Full, tick)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, undoRedo_partial, RedrawMode::Partial, undoRedo)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, undoRedo_full, RedrawMode::Full, undoRedo)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, arrow_partial, RedrawMode::Partial, arrow)->Args(kFullHd)->Args(k4k);
BENCHMARK_CAPTURE(run, arrow_full, RedrawMode::Full, arrow)->Args(kFullHd)->Args(k4k);

}  // namespace

BENCHMARK_MAIN();
