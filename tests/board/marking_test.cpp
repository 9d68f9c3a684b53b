// The left- and right-click actions and the four rules that refuse a Line,
// checked case by case and against a plain reference on random boards.
#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "board_fixtures.h"

namespace quorrin {
namespace {

using test::clueAt;
using test::downOf;
using test::emptyBoard;
using test::entryOf;
using test::rightOf;
using test::setEdge;

TEST(MarkEdge, LeftClickCyclesEmptyLineCross) {
    Board b = emptyBoard(3, 3);
    const EdgeRef e = rightOf(b, 1, 1);
    b.markEdge(e);
    EXPECT_EQ(b.edgeState(e), Line);
    b.markEdge(e);
    EXPECT_EQ(b.edgeState(e), Cross);
    b.markEdge(e);
    EXPECT_EQ(b.edgeState(e), Empty);
    const EdgeRef d = downOf(b, 1, 1);
    b.markEdge(d);
    EXPECT_EQ(b.edgeState(d), Line);
    EXPECT_EQ(b.edgeState(e), Empty);  // the other component is kept
}

TEST(MarkEdge, EveryCodeStepsOneComponentOnly) {
    for (int code = 0; code < 9; ++code) {
        for (std::uint8_t vertical = 0; vertical < 2; ++vertical) {
            Board b = emptyBoard(2, 2);
            b.codes[4] = static_cast<std::uint8_t>(code);
            const EdgeRef e{4, vertical};
            const EdgeState before = b.edgeState(e);
            const EdgeRef other{4, static_cast<std::uint8_t>(1 - vertical)};
            const EdgeState otherBefore = b.edgeState(other);
            b.crossEdge(e);
            EXPECT_EQ(b.edgeState(e), before == Empty ? Cross : Empty);
            EXPECT_EQ(b.edgeState(other), otherBefore);
            b.codes[4] = static_cast<std::uint8_t>(code);
            if (before != Empty) {  // no rule consulted
                b.markEdge(e);
                EXPECT_EQ(b.edgeState(e), before == Line ? Cross : Empty);
                EXPECT_EQ(b.edgeState(other), otherBefore);
            }
        }
    }
}

TEST(MarkEdge, BusyEndRefusesThirdLine) {
    Board b = emptyBoard(3, 3);
    b.markEdge(rightOf(b, 1, 0));
    b.markEdge(downOf(b, 1, 1));
    ASSERT_EQ(b.linesAt(5), 2);
    b.markEdge(rightOf(b, 1, 1));
    EXPECT_EQ(b.edgeState(rightOf(b, 1, 1)), Cross);
    b.markEdge(downOf(b, 0, 1));
    EXPECT_EQ(b.edgeState(downOf(b, 0, 1)), Cross);
}

TEST(MarkEdge, DeadEndRefusesLine) {
    // Inner vertex (1,1): three other edges crossed.
    Board b = emptyBoard(3, 3);
    b.crossEdge(rightOf(b, 1, 0));
    b.crossEdge(downOf(b, 0, 1));
    b.crossEdge(downOf(b, 1, 1));
    b.markEdge(rightOf(b, 1, 1));
    EXPECT_EQ(b.edgeState(rightOf(b, 1, 1)), Cross);

    // Two crossed edges suffice on the outline (vertex (0,1)) ...
    Board o = emptyBoard(3, 3);
    o.crossEdge(rightOf(o, 0, 0));
    o.crossEdge(downOf(o, 0, 1));
    o.markEdge(rightOf(o, 0, 1));
    EXPECT_EQ(o.edgeState(rightOf(o, 0, 1)), Cross);
    // ... but one does not.
    Board o1 = emptyBoard(3, 3);
    o1.crossEdge(rightOf(o1, 0, 0));
    o1.markEdge(rightOf(o1, 0, 1));
    EXPECT_EQ(o1.edgeState(rightOf(o1, 0, 1)), Line);

    // One is enough at a corner, at either end of the edge.
    Board c = emptyBoard(3, 3);
    c.crossEdge(downOf(c, 0, 3));
    c.markEdge(rightOf(c, 0, 2));
    EXPECT_EQ(c.edgeState(rightOf(c, 0, 2)), Cross);
    Board c2 = emptyBoard(3, 3);
    c2.crossEdge(rightOf(c2, 3, 0));
    c2.markEdge(downOf(c2, 2, 0));
    EXPECT_EQ(c2.edgeState(downOf(c2, 2, 0)), Cross);
}

TEST(MarkEdge, FullClueRefusesLine) {
    Board b;
    b.load(entryOf({"...", ".3.", "..."}));
    b.markEdge(rightOf(b, 1, 1));
    b.markEdge(downOf(b, 1, 1));
    EXPECT_EQ(clueAt(b, 1, 1), 3);
    b.markEdge(downOf(b, 1, 2));
    EXPECT_EQ(clueAt(b, 1, 1), 11);  // exact as soon as the click returns
    b.markEdge(rightOf(b, 2, 1));
    EXPECT_EQ(b.edgeState(rightOf(b, 2, 1)), Cross);
    EXPECT_EQ(clueAt(b, 1, 1), 11);
    b.crossEdge(downOf(b, 1, 2));
    EXPECT_EQ(clueAt(b, 1, 1), 3);
    EXPECT_EQ(b.edgeState(downOf(b, 1, 2)), Empty);
}

TEST(MarkEdge, ZeroClueSideNeverGetsLine) {
    Board b;
    b.load(entryOf({"...", ".0.", "..."}));
    const EdgeRef side = downOf(b, 1, 2);
    EXPECT_EQ(b.edgeState(side), Cross);
    for (int i = 0; i < 6; ++i) {
        b.markEdge(side);
        EXPECT_EQ(b.edgeState(side), i % 2 == 0 ? Empty : Cross);
    }
}

TEST(MarkEdge, ClueOneInCornerRefusesCornerSides) {
    Board b;
    b.load(entryOf({"1..", "...", "..."}));
    b.markEdge(rightOf(b, 0, 0));  // R4: the other corner side is open
    EXPECT_EQ(b.edgeState(rightOf(b, 0, 0)), Cross);
    b.markEdge(downOf(b, 0, 0));  // R3: the other corner side is crossed now
    EXPECT_EQ(b.edgeState(downOf(b, 0, 0)), Cross);
    // The far sides of the cell are fine.
    b.markEdge(downOf(b, 0, 1));
    EXPECT_EQ(b.edgeState(downOf(b, 0, 1)), Line);
}

TEST(MarkEdge, ClueOneCornerInTheMiddle) {
    // Clue 1 in cell (1,1); e is its top side, the right edge of (1,1).
    // End X = vertex (1,1); its other directions: up (down of (0,1)), left
    // (right of (1,0)) and down (down of (1,1), the cell's left side).
    const PuzzleEntry e = entryOf({"....", ".1..", "....", "...."});
    Board b;
    b.load(e);
    b.crossEdge(downOf(b, 0, 1));
    b.crossEdge(rightOf(b, 1, 0));
    b.markEdge(rightOf(b, 1, 1));
    EXPECT_EQ(b.edgeState(rightOf(b, 1, 1)), Cross);

    // The cell's left side is one of the crossed ones: the way on is up, and
    // the Line is allowed.
    Board a;
    a.load(e);
    a.crossEdge(downOf(a, 0, 1));
    a.crossEdge(downOf(a, 1, 1));
    a.markEdge(rightOf(a, 1, 1));
    EXPECT_EQ(a.edgeState(rightOf(a, 1, 1)), Line);
    EXPECT_EQ(clueAt(a, 1, 1), 9);

    // Same at the second end and for the cell on the other side of a
    // vertical edge: e = left side of cell (1,2), i.e. the down edge of (1,2);
    // the clue-1 cell (1,1) lies left of it; end X = (2,2) with the cell's
    // bottom side (right of (2,1)) as the only way on.
    const PuzzleEntry f = entryOf({"....", ".1..", "....", "...."});
    Board c;
    c.load(f);
    c.crossEdge(rightOf(c, 2, 2));
    c.crossEdge(downOf(c, 2, 2));
    c.markEdge(downOf(c, 1, 2));
    EXPECT_EQ(c.edgeState(downOf(c, 1, 2)), Cross);
    Board d;
    d.load(f);
    d.crossEdge(rightOf(d, 2, 1));
    d.crossEdge(downOf(d, 2, 2));
    d.markEdge(downOf(d, 1, 2));
    EXPECT_EQ(d.edgeState(downOf(d, 1, 2)), Line);
}

TEST(CrossEdge, RightClickTable) {
    Board b = emptyBoard(2, 2);
    const EdgeRef e = rightOf(b, 1, 0);
    b.crossEdge(e);
    EXPECT_EQ(b.edgeState(e), Cross);
    b.crossEdge(e);
    EXPECT_EQ(b.edgeState(e), Empty);
    b.markEdge(e);
    ASSERT_EQ(b.edgeState(e), Line);
    b.crossEdge(e);
    EXPECT_EQ(b.edgeState(e), Empty);
}

TEST(MarkEdge, LineAndCrossChangeWhereRulesWouldRefuse) {
    Board b;
    b.load(entryOf({"1..", "...", "..."}));
    setEdge(b, rightOf(b, 0, 0), Line);  // rules would refuse this Line
    b.markEdge(rightOf(b, 0, 0));
    EXPECT_EQ(b.edgeState(rightOf(b, 0, 0)), Cross);
    b.markEdge(rightOf(b, 0, 0));
    EXPECT_EQ(b.edgeState(rightOf(b, 0, 0)), Empty);
}

// ---- Reference: the rules written out on explicit geometry ----

struct RefBoard {
    int w, h;
    std::vector<int> right, down;  // state per vertex, (w+1) x (h+1)
    std::vector<int> clue;         // value per cell slot, -1 none

    int at(int r, int c, bool vertical) const {
        if (r < 0 || c < 0 || r > h || c > w) return -1;  // off the board
        if (!vertical && c == w) return -1;
        if (vertical && r == h) return -1;
        const int v = r * (w + 1) + c;
        return vertical ? down[v] : right[v];
    }
    int sidesOn(int r, int c) const {
        return (at(r, c, false) == Line) + (at(r + 1, c, false) == Line) +
               (at(r, c, true) == Line) + (at(r, c + 1, true) == Line);
    }
    // The four directions at vertex (r,c): up, down, left, right edges.
    struct Dir {
        int r, c;
        bool vertical;
    };
    static void dirs(int r, int c, Dir out[4]) {
        out[0] = {r - 1, c, true};
        out[1] = {r, c, true};
        out[2] = {r, c - 1, false};
        out[3] = {r, c, false};
    }
    bool refused(int r, int c, bool vertical) const {
        // Cells beside the edge.
        int cells[2][2];
        int cellCount = 0;
        if (!vertical) {
            if (r < h) cells[cellCount][0] = r, cells[cellCount++][1] = c;
            if (r > 0) cells[cellCount][0] = r - 1, cells[cellCount++][1] = c;
        } else {
            if (c < w) cells[cellCount][0] = r, cells[cellCount++][1] = c;
            if (c > 0) cells[cellCount][0] = r, cells[cellCount++][1] = c - 1;
        }
        for (int i = 0; i < cellCount; ++i) {
            const int v = clue[cells[i][0] * (w + 1) + cells[i][1]];
            if (v >= 0 && sidesOn(cells[i][0], cells[i][1]) >= v) return true;
        }
        const int ends[2][2] = {{r, c}, {vertical ? r + 1 : r, vertical ? c : c + 1}};
        for (const auto& end : ends) {
            Dir d[4];
            dirs(end[0], end[1], d);
            int lines = 0, blocked = 0;
            for (const Dir& x : d) {
                const int s = at(x.r, x.c, x.vertical);
                lines += s == Line;
                blocked += s == Cross || s == -1;
            }
            if (lines >= 2 || blocked == 3) return true;
            if (blocked != 2) continue;
            for (int i = 0; i < cellCount; ++i) {
                const int cr = cells[i][0], cc = cells[i][1];
                const int v = clue[cr * (w + 1) + cc];
                if (v != 1 || sidesOn(cr, cc) != 0) continue;
                // The cell's sides that touch this end, other than e.
                for (const Dir& x : d) {
                    if (x.r == r && x.c == c && x.vertical == vertical) continue;
                    const bool side = (!x.vertical && (x.r == cr || x.r == cr + 1) && x.c == cc) ||
                                      (x.vertical && x.r == cr && (x.c == cc || x.c == cc + 1));
                    if (side && at(x.r, x.c, x.vertical) != Cross) return true;
                }
            }
        }
        return false;
    }
};

TEST(MarkEdge, AgreesWithReferenceOnRandomBoards) {
    std::mt19937 rng(12345);
    int refusedSeen = 0, allowedSeen = 0;
    for (int round = 0; round < 3000; ++round) {
        const int w = 1 + static_cast<int>(rng() % 5);
        const int h = 1 + static_cast<int>(rng() % 5);
        PuzzleEntry e;
        e.width = w;
        e.height = h;
        e.clues.assign(static_cast<std::size_t>((w + 1) * (h + 1)), 255);
        RefBoard ref{w, h, {}, {}, {}};
        ref.clue.assign(e.clues.size(), -1);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                if (rng() % 3 == 0) {
                    const int v = static_cast<int>(rng() % 4);
                    e.clues[static_cast<std::size_t>(r * (w + 1) + c)] =
                        static_cast<std::uint8_t>(v);
                    ref.clue[static_cast<std::size_t>(r * (w + 1) + c)] = v;
                }
            }
        }
        Board b;
        b.load(e);
        // Random states on every edge (Lines sparse enough to keep degrees low).
        for (int v = 0; v < b.vertexCount(); ++v) {
            const int r = v / (w + 1), c = v % (w + 1);
            const int rs = c < w ? static_cast<int>(rng() % 3) : 0;
            const int ds = r < h ? static_cast<int>(rng() % 3) : 0;
            b.codes[static_cast<std::size_t>(v)] = static_cast<std::uint8_t>(3 * rs + ds);
        }
        b.updateClueStates();
        ref.right.resize(b.codes.size());
        ref.down.resize(b.codes.size());
        for (std::size_t v = 0; v < b.codes.size(); ++v) {
            ref.right[v] = b.codes[v] / 3;
            ref.down[v] = b.codes[v] % 3;
        }
        // Click every Empty edge on a copy.
        for (int v = 0; v < b.vertexCount(); ++v) {
            for (std::uint8_t vertical = 0; vertical < 2; ++vertical) {
                const EdgeRef edge{v, vertical};
                if (!b.hasEdge(edge) || b.edgeState(edge) != Empty) continue;
                Board copy = b;
                copy.markEdge(edge);
                const bool expectRefused = ref.refused(v / (w + 1), v % (w + 1), vertical == 1);
                EXPECT_EQ(copy.edgeState(edge), expectRefused ? Cross : Line)
                    << "round " << round << " vertex " << v << " vertical " << int(vertical);
                (expectRefused ? refusedSeen : allowedSeen)++;
                // Only the clicked edge changed.
                for (std::size_t i = 0; i < b.codes.size(); ++i) {
                    if (static_cast<int>(i) != v) {
                        ASSERT_EQ(copy.codes[i], b.codes[i]);
                    }
                }
            }
        }
    }
    EXPECT_GT(refusedSeen, 1000);
    EXPECT_GT(allowedSeen, 1000);
}

}  // namespace
}  // namespace quorrin
