// The solution check: clues, degrees and the single-loop walk, with the
// walk checked against a plain component count on random loops.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "board_fixtures.h"

namespace quorrin {
namespace {

using test::downOf;
using test::drawRectangle;
using test::emptyBoard;
using test::entryOf;
using test::rightOf;
using test::setEdge;

// isSolved, also checking that the codes are the same afterwards.
bool solvedKeepingCodes(Board& b) {
    const auto before = b.codes;
    const bool solved = b.isSolved();
    EXPECT_EQ(b.codes, before);
    const bool loop = b.traceSingleLoop();
    EXPECT_EQ(b.codes, before);
    (void)loop;
    return solved;
}

TEST(IsSolved, NoLineIsNeverSolved) {
    Board none = emptyBoard(3, 3);
    EXPECT_FALSE(solvedKeepingCodes(none));
    Board zeros;
    zeros.load(entryOf({"00", "00"}));
    EXPECT_FALSE(solvedKeepingCodes(zeros));
    Board empty;
    empty.load(PuzzleEntry{});
    EXPECT_FALSE(solvedKeepingCodes(empty));
    EXPECT_FALSE(empty.traceSingleLoop());
}

TEST(IsSolved, LoopRoundOneCell) {
    Board b = emptyBoard(3, 3);
    drawRectangle(b, 1, 1, 1, 1);
    EXPECT_TRUE(solvedKeepingCodes(b));
}

TEST(IsSolved, LoopAtVertexZero) {
    Board b = emptyBoard(3, 3);
    drawRectangle(b, 0, 0, 1, 0);
    EXPECT_EQ(b.codes[0], 8);
    EXPECT_TRUE(solvedKeepingCodes(b));
}

TEST(IsSolved, LoopAlongRightAndBottomOutline) {
    Board b = emptyBoard(4, 3);
    drawRectangle(b, 1, 2, 2, 3);
    EXPECT_TRUE(solvedKeepingCodes(b));
    Board whole = emptyBoard(4, 3);
    drawRectangle(whole, 0, 0, 2, 3);
    EXPECT_TRUE(solvedKeepingCodes(whole));
}

TEST(IsSolved, TwoLoopsAreNotSolved) {
    Board c = emptyBoard(5, 5);
    drawRectangle(c, 0, 0, 1, 1);
    drawRectangle(c, 3, 3, 4, 4);
    EXPECT_FALSE(solvedKeepingCodes(c));
    // Second loop before the first in index order, and side by side.
    Board d = emptyBoard(5, 2);
    drawRectangle(d, 0, 3, 1, 4);
    drawRectangle(d, 1, 0, 1, 1);
    EXPECT_FALSE(solvedKeepingCodes(d));
    // Two loops that between them satisfy every clue.
    Board e;
    e.load(entryOf({"3..3", "...."}));
    drawRectangle(e, 0, 0, 1, 0);
    drawRectangle(e, 0, 3, 1, 3);
    ASSERT_EQ(test::clueAt(e, 0, 0), 11);
    ASSERT_EQ(test::clueAt(e, 0, 3), 11);
    EXPECT_FALSE(solvedKeepingCodes(e));
}

TEST(IsSolved, OpenPathIsNotSolved) {
    Board b = emptyBoard(3, 3);
    setEdge(b, rightOf(b, 0, 0), Line);
    setEdge(b, downOf(b, 0, 1), Line);
    EXPECT_FALSE(solvedKeepingCodes(b));
    // Also a loop with a spur.
    drawRectangle(b, 1, 1, 2, 2);
    EXPECT_FALSE(solvedKeepingCodes(b));
}

TEST(IsSolved, ClueUnderOrOverOnClosedLoop) {
    Board under;
    under.load(entryOf({"...", ".3.", "..."}));
    drawRectangle(under, 0, 0, 2, 2);
    EXPECT_FALSE(solvedKeepingCodes(under));
    Board over;
    over.load(entryOf({"...", "...", "1.."}));
    drawRectangle(over, 1, 0, 2, 0);  // cell (2,0) gets three Line sides
    EXPECT_FALSE(solvedKeepingCodes(over));
    Board exact;
    exact.load(entryOf({"...", "...", "3.."}));
    drawRectangle(exact, 1, 0, 2, 0);
    EXPECT_TRUE(solvedKeepingCodes(exact));
}

TEST(IsSolved, CrossesAndEmptiesElsewhereDoNotMatter) {
    Board b;
    b.load(entryOf({"0..", ".2.", "..."}));
    drawRectangle(b, 1, 1, 2, 2);
    b.crossEdge(rightOf(b, 3, 0));
    b.takeSnapshot();  // trial mode armed
    EXPECT_TRUE(solvedKeepingCodes(b));
}

TEST(IsSolved, SolvedAfterRightClickIsReportedOnNextLeftClick) {
    Board b = emptyBoard(3, 3);
    drawRectangle(b, 0, 0, 0, 0);
    setEdge(b, rightOf(b, 2, 2), Line);
    EXPECT_FALSE(b.isSolved());
    b.crossEdge(rightOf(b, 2, 2));  // the right click removes the stray Line
    EXPECT_TRUE(b.isSolved());      // what the next check will see
    b.markEdge(rightOf(b, 3, 2));   // a left click that draws elsewhere
    EXPECT_FALSE(b.isSolved());
}

// Reference: number of connected components of the Line edges, and whether
// every vertex has degree 0 or 2.
struct LineGraph {
    int components = 0;
    bool degreesOk = true;
};

LineGraph analyse(const Board& b) {
    const int n = b.vertexCount();
    const int stride = b.width + 1;
    std::vector<int> parent(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) parent[static_cast<std::size_t>(i)] = i;
    auto find = [&](int x) {
        while (parent[static_cast<std::size_t>(x)] != x) x = parent[static_cast<std::size_t>(x)];
        return x;
    };
    std::vector<int> degree(static_cast<std::size_t>(n), 0);
    auto link = [&](int a, int c) {
        ++degree[static_cast<std::size_t>(a)];
        ++degree[static_cast<std::size_t>(c)];
        parent[static_cast<std::size_t>(find(a))] = find(c);
    };
    for (int v = 0; v < n; ++v) {
        const int code = b.codes[static_cast<std::size_t>(v)];
        if (code / 3 == Line) link(v, v + 1);
        if (code % 3 == Line) link(v, v + stride);
    }
    LineGraph g;
    for (int v = 0; v < n; ++v) {
        const int d = degree[static_cast<std::size_t>(v)];
        if (d != 0 && d != 2) g.degreesOk = false;
        if (d > 0 && find(v) == v) ++g.components;
    }
    return g;
}

TEST(TraceSingleLoop, AgreesWithComponentCountOnRandomRegions) {
    // The boundary of a random set of cells is a set of loops; keep the
    // boards where every vertex has degree 0 or 2.
    std::mt19937 rng(2024);
    int single = 0, several = 0;
    for (int round = 0; round < 4000; ++round) {
        const int w = 1 + static_cast<int>(rng() % 7);
        const int h = 1 + static_cast<int>(rng() % 7);
        Board b = emptyBoard(w, h);
        std::vector<int> inside(static_cast<std::size_t>(w * h));
        for (int& x : inside) x = rng() % 2 == 0;
        auto in = [&](int r, int c) {
            return r >= 0 && c >= 0 && r < h && c < w &&
                   inside[static_cast<std::size_t>(r * w + c)];
        };
        for (int r = 0; r <= h; ++r) {
            for (int c = 0; c <= w; ++c) {
                const int right =
                    c < w && in(r - 1, c) != in(r, c) ? Line : (rng() % 4 == 0 ? Cross : Empty);
                const int down =
                    r < h && in(r, c - 1) != in(r, c) ? Line : (rng() % 4 == 0 ? Cross : Empty);
                const int rs = c < w ? right : 0;
                const int ds = r < h ? down : 0;
                b.codes[static_cast<std::size_t>(r * (w + 1) + c)] =
                    static_cast<std::uint8_t>(3 * rs + ds);
            }
        }
        b.updateClueStates();
        const LineGraph g = analyse(b);
        if (!g.degreesOk) continue;
        const auto before = b.codes;
        EXPECT_EQ(b.isSolved(), g.components == 1) << "round " << round;
        EXPECT_EQ(b.codes, before);
        (g.components == 1 ? single : several)++;
    }
    EXPECT_GT(single, 200);
    EXPECT_GT(several, 200);
}

}  // namespace
}  // namespace quorrin
