#include "tests/app/game_fixture.h"

#include <filesystem>

#include "loop_solver.h"

namespace quorrin::test {

Point edgePoint(const GameApp& app, EdgeRef edge) {
    const Screen& s = app.screen;
    const std::int32_t columns = app.board.width + 1;
    const std::int32_t a = s.pitch;
    const std::int32_t half = (a + 1) / 2;
    const std::int32_t c = edge.vertex % columns;
    const std::int32_t r = edge.vertex / columns;
    // Along the edge, halfway between the dot's corner square and the next.
    const std::int32_t along = half + (a - half) / 2;
    std::int32_t u = c * a + (edge.vertical ? 0 : along);
    std::int32_t v = r * a + (edge.vertical ? along : 0);
    Point p{u + s.originX - s.hitMargin, v + s.originY - s.hitMargin};
    EdgeRef hit;
    EXPECT_TRUE(s.hitTest(app.board, p.x, p.y, hit) && hit == edge)
        << "edge " << edge.vertex << "/" << int(edge.vertical) << " pitch " << a;
    return p;
}

std::vector<EdgeRef> solutionOf(const PuzzleEntry& entry) {
    LoopPuzzle puzzle(entry.width, entry.height);
    const std::int32_t columns = entry.width + 1;
    for (int r = 0; r < entry.height; ++r) {
        for (int c = 0; c < entry.width; ++c) {
            const std::uint8_t clue = entry.clues[static_cast<std::size_t>(r * columns + c)];
            if (clue <= 3) puzzle.setClue(r, c, clue);
        }
    }
    const LoopAnalysis analysis = analysePuzzle(puzzle);
    EXPECT_GE(analysis.solutions, 1);  // any loop that meets the clues solves it
    std::vector<EdgeRef> edges;
    for (int r = 0; r <= entry.height; ++r) {
        for (int c = 0; c < entry.width; ++c) {
            if (analysis.first[static_cast<std::size_t>(horizontalEdge(entry.width, r, c))]) {
                edges.push_back(EdgeRef{r * columns + c, 0});
            }
        }
    }
    for (int r = 0; r < entry.height; ++r) {
        for (int c = 0; c <= entry.width; ++c) {
            const int e = verticalEdge(entry.width, entry.height, r, c);
            if (analysis.first[static_cast<std::size_t>(e)])
                edges.push_back(EdgeRef{r * columns + c, 1});
        }
    }
    return edges;
}

void clickAt(FakeWindows& windows, std::int32_t x, std::int32_t y, bool right) {
    windows.events.push_back([=](GameApp& app) { app.onMouseMove(x, y); });
    windows.events.push_back(
        [=](GameApp& app) { right ? app.onRightClick(x, y) : app.onLeftClick(x, y); });
}

void clickEdge(FakeWindows& windows, EdgeRef edge, bool right) {
    // The point is found when the event runs, with the layout of that time.
    windows.events.push_back([=](GameApp& app) {
        const Point p = edgePoint(app, edge);
        app.onMouseMove(p.x, p.y);
        right ? app.onRightClick(p.x, p.y) : app.onLeftClick(p.x, p.y);
    });
}

void clickButton(FakeWindows& windows, int button) {
    windows.events.push_back([=](GameApp& app) {
        const std::int32_t x = app.screen.toolbarX + button * kButtonWidth + kButtonWidth / 2;
        app.onMouseMove(x, 16);
        app.onLeftClick(x, 16);
    });
}

void ticks(FakeWindows& windows, int count) {
    for (int i = 0; i < count; ++i)
        windows.events.push_back([](GameApp& app) { app.onClockTick(); });
}

void GameTest::shipFirstCollection() {
    std::filesystem::copy_file(QUORRIN_SOURCE_DIR "/puzzles/01_first_steps.dat", file("first.dat"));
}

bool GameTest::readSave(ProgressStore& saved) const {
    if (!std::filesystem::exists(savePath())) return false;
    const std::string bytes = readBytes(savePath());
    return saved.decodeSaveFile(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
}

}  // namespace quorrin::test
