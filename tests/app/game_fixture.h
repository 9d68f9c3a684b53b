// The game on the fake window system with its images, and what tests need
// around it: the point that hits an edge, and a solution of the puzzle in
// play as edges.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "loop_solver.h"
#include "screen/bitmap.h"
#include "tests/app/fake_windows.h"
#include "tests/store/store_fixtures.h"

namespace quorrin::test {

struct Session {
    FakeWindows windows;
    GameApp app{windows};

    explicit Session(RedrawMode mode = RedrawMode::Partial) {
        windows.app = &app;
        app.redrawMode = mode;
        app.screen.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
    }
};

struct Point {
    std::int32_t x, y;
};

// A client point whose hit-test gives the edge: along the edge, halfway
// between the dot's corner square and the next.
inline Point edgePoint(const GameApp& app, EdgeRef edge) {
    const Screen& s = app.screen;
    const std::int32_t columns = app.board.width + 1, a = s.pitch, half = (a + 1) / 2;
    const std::int32_t along = half + (a - half) / 2;
    const Point p{
        (edge.vertex % columns) * a + (edge.vertical ? 0 : along) + s.originX - s.hitMargin,
        (edge.vertex / columns) * a + (edge.vertical ? along : 0) + s.originY - s.hitMargin};
    EdgeRef hit;
    EXPECT_TRUE(s.hitTest(app.board, p.x, p.y, hit) && hit == edge)
        << "edge " << edge.vertex << "/" << int(edge.vertical) << " pitch " << a;
    return p;
}

// The edges of the board in play.
inline std::vector<EdgeRef> edgesOf(const Board& board) {
    std::vector<EdgeRef> edges;
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        for (std::uint8_t vertical : {std::uint8_t{0}, std::uint8_t{1}}) {
            if (board.hasEdge(EdgeRef{v, vertical})) edges.push_back(EdgeRef{v, vertical});
        }
    }
    return edges;
}

// The edges of a solution of the puzzle in play: any loop that meets the
// clues solves it.
inline std::vector<EdgeRef> solutionOf(const GameApp& app) {
    const PuzzleEntry& entry = app.progress.collection.puzzles[app.progress.currentPuzzle];
    const std::int32_t columns = entry.width + 1;
    LoopPuzzle puzzle(entry.width, entry.height);
    for (int r = 0; r < entry.height; ++r) {
        for (int c = 0; c < entry.width; ++c) {
            const std::uint8_t clue = entry.clues[static_cast<std::size_t>(r * columns + c)];
            if (clue <= 3) puzzle.setClue(r, c, clue);
        }
    }
    const LoopAnalysis analysis = analysePuzzle(puzzle);
    EXPECT_GE(analysis.solutions, 1);
    std::vector<EdgeRef> loop;
    for (EdgeRef e : edgesOf(app.board)) {
        const int r = e.vertex / columns, c = e.vertex % columns;
        const int index = e.vertical ? verticalEdge(entry.width, entry.height, r, c)
                                     : horizontalEdge(entry.width, r, c);
        if (analysis.first[static_cast<std::size_t>(index)]) loop.push_back(e);
    }
    return loop;
}

}  // namespace quorrin::test
