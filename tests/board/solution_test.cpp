// The solution check: clues, degrees and the single-loop walk, by hand on the
// tricky shapes and against a plain component count on every region of small
// grids, and a real puzzle played to the end. The check never changes the
// codes.
#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "board_fixtures.h"

namespace quorrin {
namespace {

using namespace test;

// isSolved and traceSingleLoop, checking that both leave the codes alone.
bool solvedKeepingCodes(Board& b) {
    const auto before = b.codes;
    const bool solved = b.isSolved();
    EXPECT_EQ(b.codes, before);
    b.traceSingleLoop();
    EXPECT_EQ(b.codes, before);
    return solved;
}

TEST(IsSolved, Shapes) {
    const char* r3 = ".../.../...";
    const char* r43 = "..../..../....";
    struct Case {
        const char* what;
        const char* rows;
        std::vector<std::array<int, 4>> rectangles;  // cells r0, c0 to r1, c1
        std::vector<E> lines;
        bool solved;
    };
    const Case cases[] = {
        {"no line", r3, {}, {}, false},
        {"zero clues, no line", "00/00", {}, {}, false},
        {"no cell", "", {}, {}, false},
        {"one cell", r3, {{1, 1, 1, 1}}, {}, true},
        {"loop at vertex 0", r3, {{0, 0, 1, 0}}, {}, true},
        {"along the right and bottom outline", r43, {{1, 2, 2, 3}}, {}, true},
        {"whole outline", r43, {{0, 0, 2, 3}}, {}, true},
        {"two loops", "...../...../...../...../.....", {{0, 0, 1, 1}, {3, 3, 4, 4}}, {}, false},
        {"second loop first", "...../.....", {{0, 3, 1, 4}, {1, 0, 1, 1}}, {}, false},
        {"two loops, every clue exact", "3..3/....", {{0, 0, 1, 0}, {0, 3, 1, 3}}, {}, false},
        {"open path", r3, {}, {{0, 0, false}, {0, 1, true}}, false},
        {"loop with a spur", r3, {{1, 1, 2, 2}}, {{0, 0, false}, {0, 1, true}}, false},
        {"clue under", ".../.3./...", {{0, 0, 2, 2}}, {}, false},
        {"clue over", ".../.../1..", {{1, 0, 2, 0}}, {}, false},
        {"clue exact", ".../.../3..", {{1, 0, 2, 0}}, {}, true},
        {"zero clue crossed", "0../.2./...", {{1, 1, 2, 2}}, {}, true},
    };
    for (const Case& k : cases) {
        Board b = loaded(entryOf(k.rows));
        for (const auto& q : k.rectangles) drawRectangle(b, q[0], q[1], q[2], q[3]);
        for (const E& e : k.lines) setEdge(b, e, Line);
        EXPECT_EQ(solvedKeepingCodes(b), k.solved) << k.what;
    }
}

// Reference: connected components of the Line edges (union-find), and
// whether every vertex has 0 or 2 of them.
struct LineGraph {
    int components = 0;
    bool degreesOk = true;
};

LineGraph analyse(const Board& b) {
    const int n = b.vertexCount();
    std::vector<int> parent(static_cast<std::size_t>(n)), degree(parent.size(), 0);
    for (int i = 0; i < n; ++i) parent[static_cast<std::size_t>(i)] = i;
    auto find = [&](int x) {
        while (parent[static_cast<std::size_t>(x)] != x) x = parent[static_cast<std::size_t>(x)];
        return x;
    };
    auto link = [&](int a, int c) {
        ++degree[static_cast<std::size_t>(a)];
        ++degree[static_cast<std::size_t>(c)];
        parent[static_cast<std::size_t>(find(a))] = find(c);
    };
    for (int v = 0; v < n; ++v) {
        const int code = b.codes[static_cast<std::size_t>(v)];
        if (code / 3 == Line) link(v, v + 1);
        if (code % 3 == Line) link(v, v + b.width + 1);
    }
    LineGraph g;
    for (int v = 0; v < n; ++v) {
        const int d = degree[static_cast<std::size_t>(v)];
        g.degreesOk = g.degreesOk && (d == 0 || d == 2);
        if (d > 0 && find(v) == v) ++g.components;
    }
    return g;
}

// Every non-empty set of cells of p's grid: p's board with the outline of
// the cells as Lines (and some other edges crossed), and the reference's
// verdict: one loop by component count, and every clue with as many outline
// sides as its value. Every single loop is such an outline.
template <class Visit>
void forEachRegion(const PuzzleEntry& p, Visit visit) {
    const int w = p.width, h = p.height;
    for (unsigned mask = 1; mask < (1u << (w * h)); ++mask) {
        auto in = [&](int r, int c) {
            return r >= 0 && c >= 0 && r < h && c < w && ((mask >> (r * w + c)) & 1u) != 0;
        };
        auto state = [&](bool outline, int k) {
            return outline ? Line : (k + static_cast<int>(mask)) % 5 == 0 ? Cross : Empty;
        };
        Board b = loaded(p);
        bool cluesMet = true;
        for (int r = 0; r <= h; ++r) {
            for (int c = 0; c <= w; ++c) {
                const int right = c < w ? state(in(r - 1, c) != in(r, c), r + 2 * c) : Empty;
                const int down = r < h ? state(in(r, c - 1) != in(r, c), 2 * r + c) : Empty;
                b.codes[static_cast<std::size_t>(r * (w + 1) + c)] =
                    static_cast<std::uint8_t>(3 * right + down);
                const int clue = p.clues[static_cast<std::size_t>(r * (w + 1) + c)];
                if (r == h || c == w || clue == 255) continue;
                const int sides = (in(r - 1, c) != in(r, c)) + (in(r + 1, c) != in(r, c)) +
                                  (in(r, c - 1) != in(r, c)) + (in(r, c + 1) != in(r, c));
                cluesMet = cluesMet && sides == clue;
            }
        }
        b.updateClueStates();
        visit(b, analyse(b), cluesMet);
    }
}

TEST(TraceSingleLoop, AgreesWithComponentCountOnEveryRegion) {
    for (const char* rows :
         {"..../..../..../....", "...../...../.....", "../../../../../..", "......./......."}) {
        int single = 0, several = 0;
        forEachRegion(entryOf(rows), [&](Board& b, const LineGraph& g, bool) {
            if (!g.degreesOk) return;
            (g.components == 1 ? single : several)++;
            EXPECT_EQ(solvedKeepingCodes(b), g.components == 1) << rows;
        });
        EXPECT_GT(single, 50) << rows;
        EXPECT_GT(several, 50) << rows;
    }
}

// A real puzzle played to the end: its unique solution drawn edge by edge.
TEST(Playthrough, UniqueSolutionDrawnEdgeByEdge) {
    PuzzleEntry puzzle;
    puzzle.parseLine("3/4/4/0..1/..1./22../....\n");
    ASSERT_EQ(puzzle.width, 4);
    ASSERT_EQ(puzzle.height, 4);
    std::vector<Board> solutions;
    forEachRegion(puzzle, [&](Board& b, const LineGraph& g, bool cluesMet) {
        const bool solution = cluesMet && g.degreesOk && g.components == 1;
        EXPECT_EQ(solvedKeepingCodes(b), solution);
        if (solution) solutions.push_back(b);
    });
    ASSERT_EQ(solutions.size(), 1u);
    std::vector<EdgeRef> solution;
    for (std::int32_t v = 0; v < solutions[0].vertexCount(); ++v) {
        for (std::uint8_t vertical = 0; vertical < 2; ++vertical) {
            if (solutions[0].edgeState(EdgeRef{v, vertical}) == Line)
                solution.push_back({v, vertical});
        }
    }
    ASSERT_EQ(solution.size(), 16u);

    Board board = loaded(puzzle);
    for (std::size_t i = 0; i < solution.size(); ++i) {
        ASSERT_EQ(board.edgeState(solution[i]), Empty);
        board.markEdge(solution[i]);
        ASSERT_EQ(board.edgeState(solution[i]), Line) << "edge " << i << " refused";
        const std::vector<std::uint8_t> codes = board.codes;
        EXPECT_EQ(board.isSolved(), i + 1 == solution.size()) << "edge " << i;
        EXPECT_EQ(board.codes, codes) << "edge " << i;
    }
    EXPECT_EQ(board.edgeState(EdgeRef{0, 0}), Cross);  // the zero clue's crosses stay
    // Taking the last edge away and drawing it again: unsolved, then solved.
    board.crossEdge(solution.back());
    EXPECT_FALSE(board.isSolved());
    board.markEdge(solution.back());
    EXPECT_TRUE(board.isSolved());
}

}  // namespace
}  // namespace quorrin
