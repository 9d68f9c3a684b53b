// The board: loading and restoring, references to no edge, the two clicks
// and the rules that refuse a Line against a plain reference on random
// boards. (The solution check is tested against the puzzle tools' loop check
// on every region of small grids, in tests/puzzles.)
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace quorrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

Board loaded(const PuzzleEntry& e) {
    Board b;
    b.load(e);
    return b;
}

// A board loaded from a collection line.
Board loaded(const std::string& line) {
    PuzzleEntry e;
    e.parseLine(line.c_str());
    return loaded(e);
}

// Load crosses the four sides of every zero clue (cells touching at a
// corner; cells sharing a side) and computes the clue states. Restore takes
// saved codes, reading bytes that are not codes (9, 255) and edges off the
// board as Empty. Either way the snapshot is the board as it came. (Taking
// a snapshot and rolling back to it: the trial scenarios in tests/app.)
TEST(Board, LoadRestoreAndSnapshot) {
    const Bytes none(9, 255);
    for (const auto& [line, saved, codes, clues] :
         {std::tuple{"0/2/2/.0/0.", Bytes{}, Bytes{0, 4, 1, 4, 4, 0, 3, 0, 0},
                     Bytes{255, 8, 255, 8, 255, 255, 255, 255, 255}},
          std::tuple{"0/2/2/00/3.", Bytes{}, Bytes{4, 4, 1, 3, 3, 0, 0, 0, 0},
                     Bytes{8, 8, 255, 3, 255, 255, 255, 255, 255}},
          std::tuple{"0/2/2/3./.0", Bytes{8, 0, 0, 6, 4, 1, 0, 3, 0},
                     Bytes{8, 0, 0, 6, 4, 1, 0, 3, 0},
                     Bytes{11, 255, 255, 255, 8, 255, 255, 255, 255}},
          std::tuple{"0/2/2/../..", Bytes{9, 255, 8, 0, 5, 0, 8, 0, 4},
                     Bytes{0, 0, 2, 0, 5, 0, 6, 0, 0}, none}}) {
        PuzzleEntry e;
        e.parseLine(line);
        Board b = loaded("0/1/4");  // an earlier, different puzzle
        saved.empty() ? b.load(e) : b.restore(e, saved.data());
        EXPECT_EQ(b.codes, codes) << line;
        EXPECT_EQ(b.clues, clues) << line;
        EXPECT_EQ(b.borders, (Bytes{2, 1, 2, 1, 0, 1, 2, 1, 2}));
        EXPECT_EQ(b.snapshot, codes) << line;
    }
    // Stray clue bytes, clues in pad slots and a short grid read as no clue.
    PuzzleEntry e;
    e.parseLine("0/2/2/1./..");
    e.clues = {1, 7, 3, 255};
    EXPECT_EQ(loaded(e).clues, (Bytes{1, 255, 255, 255, 255, 255, 255, 255, 255}));
}

// The board sizes there are, and those a collection line holds as the
// tools write it (W at most 62), for any 64-bit numbers. Sizes that cannot
// make a board load as 0 x 0: one vertex, no edge, never solved. References
// to no edge (column W, row H, out of range, no such orientation) are
// ignored.
TEST(Board, SizesAndReferencesToNoEdge) {
    for (auto [w, h, board, line] : {
             std::tuple<std::int64_t, std::int64_t, bool, bool>{1, 1, true, true},
             {62, 31, true, true},
             {63, 31, true, false},
             {64, 31, false, false},
             {63, 30, true, false},
             {1023, 1, true, false},
             {1, 1023, true, true},
             {1, 1024, false, false},
             {2047, 1, false, false},
             {0, 5, false, false},
             {5, 0, false, false},
             {-1, -1, false, false},
             {3, 1073741823, false, false},
             {1073741823, 3, false, false},
             {INT32_MAX, INT32_MAX, false, false},
             {4294967295, 1, false, false},
             {INT64_MAX, INT64_MAX, false, false},
             {INT64_MIN, INT64_MIN, false, false},
         }) {
        EXPECT_EQ(boardSizeFits(w, h), board) << w << "x" << h;
        EXPECT_EQ(lineHoldsBoard(w, h), line) << w << "x" << h;
        if (w > INT32_MAX || w < INT32_MIN || h > INT32_MAX || h < INT32_MIN) continue;
        PuzzleEntry e;  // no grid at all
        e.width = static_cast<std::int32_t>(w);
        e.height = static_cast<std::int32_t>(h);
        Board b = loaded(e);
        EXPECT_EQ(b.vertexCount(), board ? (w + 1) * (h + 1) : 1) << w << "x" << h;
        if (board) continue;
        EXPECT_EQ(b.borders, Bytes{2});
        EXPECT_EQ(b.clues, Bytes{kNoClue});
        EXPECT_FALSE(b.isSolved());
    }
    Board b = loaded("0/1/3");  // 4 x 2 vertices
    for (const EdgeRef e :
         {EdgeRef{3, 0}, EdgeRef{4, 1}, EdgeRef{-1, 0}, EdgeRef{8, 0}, EdgeRef{0, 2}}) {
        EXPECT_FALSE(b.hasEdge(e)) << e.vertex << "," << int(e.vertical);
        b.markEdge(e);
        b.crossEdge(e);
        b.setEdgeState(e, Line);
        EXPECT_EQ(b.edgeState(e), Empty);
    }
    EXPECT_EQ(b.codes, Bytes(8, 0));
}

// The rules written out on explicit geometry: codes (3 x right state + down
// state) and clue values (-1 none). An edge is named by the vertex (r, c)
// that owns it: the one to its right, or below it when v.
struct RefBoard {
    int w, h;
    Bytes codes;
    std::vector<int> clue;

    int at(int r, int c, bool v) const {  // state of an edge; -1 off the board
        if (r < 0 || c < 0 || r > h - v || c > w - !v) return -1;
        return v ? codes[r * (w + 1) + c] % 3 : codes[r * (w + 1) + c] / 3;
    }
    int clueOf(int r, int c) const {
        return r < 0 || c < 0 || r >= h || c >= w ? -1 : clue[r * (w + 1) + c];
    }
    int lineSides(int r, int c) const {
        return (at(r, c, 0) == Line) + (at(r + 1, c, 0) == Line) + (at(r, c, 1) == Line) +
               (at(r, c + 1, 1) == Line);
    }
    // The clue state bytes: 255 no clue, else the clue + 4 over, + 8 exact.
    Bytes clueStates() const {
        Bytes states(codes.size(), kNoClue);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                const int k = clueOf(r, c), n = lineSides(r, c);
                if (k >= 0)
                    states[r * (w + 1) + c] = std::uint8_t(k + (n > k ? 4 : n == k ? 8 : 0));
            }
        }
        return states;
    }
    bool refused(int r, int c, bool v) const {
        const int cr[2] = {r, v ? r : r - 1}, cc[2] = {c, v ? c - 1 : c};  // the cells beside
        for (int k = 0; k < 2; ++k) {
            if (clueOf(cr[k], cc[k]) >= 0 && lineSides(cr[k], cc[k]) >= clueOf(cr[k], cc[k]))
                return true;  // full clue
        }
        for (int end = 0; end < 2; ++end) {
            const int xr = r + (v && end), xc = c + (!v && end);
            // The other three directions at this end: up, down, left, right.
            const int dr[4] = {xr - 1, xr, xr, xr}, dc[4] = {xc, xc, xc - 1, xc};
            int lines = 0, blocked = 0;
            for (int d = 0; d < 4; ++d) {
                if (dr[d] == r && dc[d] == c && (d < 2) == v) continue;
                const int s = at(dr[d], dc[d], d < 2);
                lines += s == Line;
                blocked += s == Cross || s < 0;
            }
            if (lines >= 2 || blocked == 3) return true;  // busy end, dead end
            // Clue-1 corner: the way on is the other side at this end of a
            // clue-1 cell beside the edge.
            for (int k = 0; k < 2 && blocked == 2; ++k) {
                const int other = v ? at(xr, cc[k], 0) : at(cr[k], xc, 1);
                if (clueOf(cr[k], cc[k]) == 1 && other != Cross) return true;
            }
        }
        return false;
    }
};

// Random codes and clues on boards of 1..5 x 1..5 cells. On every edge, a
// left click (Empty -> Line, or Cross when refused, -> Cross -> Empty), a
// right click (Empty -> Cross -> Empty, Line -> Empty) and setEdgeState
// change exactly that edge as the reference says, with the clue states to
// match.
TEST(BoardClicks, AgreeWithReferenceOnRandomBoards) {
    std::mt19937 rng(12345);
    int refusedSeen = 0, allowedSeen = 0;
    for (int round = 0; round < 1500; ++round) {
        const int w = 1 + static_cast<int>(rng() % 5), h = 1 + static_cast<int>(rng() % 5);
        Board b = loaded("0/" + std::to_string(h) + "/" + std::to_string(w));
        RefBoard ref{w, h, {}, std::vector<int>(b.clues.size(), -1)};
        for (int i = 0; i < b.vertexCount(); ++i) {
            const int r = i / (w + 1), c = i % (w + 1);
            const int right = c < w ? static_cast<int>(rng() % 3) : 0;
            b.codes[i] = static_cast<std::uint8_t>(3 * right + (r < h ? rng() % 3 : 0));
            if (r < h && c < w && rng() % 3 == 0) {
                ref.clue[i] = static_cast<int>(rng() % 4);
                b.clues[i] = static_cast<std::uint8_t>(ref.clue[i]);
            }
        }
        b.updateClueStates();
        ref.codes = b.codes;
        for (int i = 0; i < 2 * b.vertexCount(); ++i) {
            const int r = i / 2 / (w + 1), c = i / 2 % (w + 1), before = ref.at(r, c, i % 2);
            if (before < 0) continue;
            const EdgeRef edge{i / 2, static_cast<std::uint8_t>(i % 2)};
            ASSERT_EQ(b.edgeState(edge), before);
            const bool refused = before == Empty && ref.refused(r, c, i % 2);
            if (before == Empty) (refused ? refusedSeen : allowedSeen)++;
            const int expected[3] = {
                before == Empty ? (refused ? Cross : Line) : (before == Line ? Cross : Empty),
                before == Empty ? Cross : Empty, (before + 2) % 3};
            for (int action = 0; action < 3; ++action) {
                Board copy = b;
                if (action == 0) copy.markEdge(edge);
                if (action == 1) copy.crossEdge(edge);
                if (action == 2) copy.setEdgeState(edge, EdgeState(expected[2]));
                RefBoard after = ref;
                const int at = r * (w + 1) + c, s = expected[action];
                after.codes[at] =
                    std::uint8_t(i % 2 ? after.codes[at] / 3 * 3 + s : 3 * s + after.codes[at] % 3);
                ASSERT_EQ(copy.codes, after.codes)
                    << round << " edge " << i << " action " << action;
                ASSERT_EQ(copy.clues, after.clueStates())
                    << round << " edge " << i << " action " << action;
            }
        }
    }
    EXPECT_GT(refusedSeen, 1000);
    EXPECT_GT(allowedSeen, 1000);
}

}  // namespace
}  // namespace quorrin
