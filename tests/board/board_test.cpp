// The board: loading and restoring, references to no edge, the two clicks
// and the rules that refuse a Line (against a plain reference on random
// boards), and the solution check (against a component count on every region
// of small grids).
#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace quorrin {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A puzzle from its rows of cells separated by "/": "." no clue, "0".."3" a clue.
PuzzleEntry entryOf(const std::string& rows) {
    const std::size_t w = std::min(rows.find('/'), rows.size());
    const auto h = rows.empty() ? 0 : 1 + std::count(rows.begin(), rows.end(), '/');
    PuzzleEntry e;
    e.parseLine(("0/" + std::to_string(h) + "/" + std::to_string(w) + "/" + rows).c_str());
    return e;
}

Board loaded(const PuzzleEntry& e) {
    Board b;
    b.load(e);
    return b;
}

// Load: the four sides of every zero clue crossed (a corner cell; cells
// touching at a corner, both ways; cells sharing a side), clue states
// computed, borders counted, the snapshot equal to the codes.
TEST(BoardLoad, ZeroCluesCrossedCluesAndBorders) {
    const struct {
        const char* rows;
        Bytes codes, clues;
    } cases[] = {
        {"0./..", {4, 1, 0, 3, 0, 0, 0, 0, 0}, {8, 255, 255, 255, 255, 255, 255, 255, 255}},
        {"1./.0", {0, 0, 0, 0, 4, 1, 0, 3, 0}, {1, 255, 255, 255, 8, 255, 255, 255, 255}},
        {".0/0.", {0, 4, 1, 4, 4, 0, 3, 0, 0}, {255, 8, 255, 8, 255, 255, 255, 255, 255}},
        {"00/3.", {4, 4, 1, 3, 3, 0, 0, 0, 0}, {8, 8, 255, 3, 255, 255, 255, 255, 255}},
        {"0/0", {4, 1, 4, 1, 3, 0}, {8, 255, 8, 255, 255, 255}},
    };
    for (const auto& k : cases) {
        const Board b = loaded(entryOf(k.rows));
        EXPECT_EQ(b.codes, k.codes) << k.rows;
        EXPECT_EQ(b.clues, k.clues) << k.rows;
        EXPECT_EQ(b.snapshot, b.codes) << k.rows;
    }
    EXPECT_EQ(loaded(entryOf("../..")).borders, (Bytes{2, 1, 2, 1, 0, 1, 2, 1, 2}));
    EXPECT_EQ(loaded(entryOf("...")).borders, (Bytes{2, 1, 1, 2, 2, 1, 1, 2}));
}

// Sizes that cannot make a board give 0 x 0: one vertex, no edge, never solved.
TEST(BoardLoad, SizesThatCannotMakeABoard) {
    for (auto [w, h] : {std::pair{0, 0}, std::pair{-1, 3}, std::pair{3, -5}, std::pair{100, 100},
                        std::pair{2047, 1}, std::pair{INT32_MAX, INT32_MAX}}) {
        PuzzleEntry e;  // no grid at all
        e.width = w;
        e.height = h;
        Board b = loaded(e);
        EXPECT_EQ(b.width + b.height, 0) << w;
        EXPECT_EQ(b.borders, Bytes{2});
        EXPECT_EQ(b.clues, Bytes{kNoClue});
        b.markEdge(EdgeRef{0, 0});
        b.crossEdge(EdgeRef{0, 1});
        EXPECT_EQ(b.codes, Bytes{0});
        EXPECT_FALSE(b.isSolved());
    }
    PuzzleEntry big;  // the largest that fits: 1024 x 2 vertices
    big.width = 1023;
    big.height = 1;
    EXPECT_EQ(loaded(big).vertexCount(), 2048);
    // Stray clue bytes, clues in pad slots and a short grid read as no clue.
    PuzzleEntry e = entryOf("1./..");
    e.clues[1] = 7;
    e.clues[2] = 3;
    e.clues.resize(4);
    EXPECT_EQ(loaded(e).clues, (Bytes{1, 255, 255, 255, 255, 255, 255, 255, 255}));
}

TEST(BoardEdges, ReferencesToNoEdgeAreIgnored) {
    Board b = loaded(entryOf("..."));  // 4 x 2 vertices
    EXPECT_TRUE(b.hasEdge(EdgeRef{3, 1}));
    EXPECT_TRUE(b.hasEdge(EdgeRef{2, 0}));
    // Column W, row H, out of range, no such orientation.
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

// Restore: saved codes with their clue states, the snapshot the board as
// restored; bytes that are not codes and edges off the board read Empty.
TEST(BoardRestore, SavedCodesSnapshotAndDamage) {
    const Bytes saved{8, 0, 0, 6, 4, 1, 0, 3, 0};  // clue 3 exact, 0 crossed
    Board r = loaded(entryOf("...."));             // an earlier, different puzzle
    r.restore(entryOf("3./.0"), saved.data());
    EXPECT_EQ(r.codes, saved);
    EXPECT_EQ(r.clues, (Bytes{11, 255, 255, 255, 8, 255, 255, 255, 255}));
    r.markEdge(EdgeRef{2, 1});
    r.crossEdge(EdgeRef{3, 0});
    r.rollBack();
    EXPECT_EQ(r.codes, saved);
    EXPECT_EQ(r.clues[0], 11);
    r.markEdge(EdgeRef{5, 1});
    r.takeSnapshot();
    const Bytes marked = r.codes;
    r.crossEdge(EdgeRef{5, 1});
    r.rollBack();
    EXPECT_EQ(r.codes, marked);
    const Bytes damaged{9, 255, 8, 0, 5, 0, 8, 0, 4};
    r.restore(entryOf("../.."), damaged.data());
    EXPECT_EQ(r.codes, (Bytes{0, 0, 2, 0, 5, 0, 6, 0, 0}));
}

// ---- The clicks against a reference ----

// An edge by the vertex (r, c) that owns it: the one to its right, or below
// it when vertical.
struct E {
    int r, c;
    bool vertical;
    bool operator==(const E& o) const { return r == o.r && c == o.c && vertical == o.vertical; }
};

// The board as plain geometry: codes (3 x right state + down state) and clue
// values (-1 none), with the rules written out edge by edge.
struct RefBoard {
    int w, h;
    Bytes codes;
    std::vector<int> clue;

    int at(E e) const {  // state of an edge; -1 off the board
        if (e.r < 0 || e.c < 0 || e.r > h || e.c > w) return -1;
        if ((!e.vertical && e.c == w) || (e.vertical && e.r == h)) return -1;
        const int code = codes[e.r * (w + 1) + e.c];
        return e.vertical ? code % 3 : code / 3;
    }
    void set(E e, int s) {
        std::uint8_t& code = codes[e.r * (w + 1) + e.c];
        code = static_cast<std::uint8_t>(e.vertical ? 3 * (code / 3) + s : 3 * s + code % 3);
    }
    static std::vector<E> sides(int r, int c) {
        return {{r, c, false}, {r + 1, c, false}, {r, c, true}, {r, c + 1, true}};
    }
    int lineSides(int r, int c) const {
        int n = 0;
        for (const E& s : sides(r, c)) n += at(s) == Line;
        return n;
    }
    int clueOf(int r, int c) const { return clue[r * (w + 1) + c]; }
    // Clue state bytes: value + 0 under, 4 over, 8 exact; 255 elsewhere.
    Bytes clueBytes() const {
        Bytes bytes(clue.size(), 255);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                const int v = clueOf(r, c), n = lineSides(r, c);
                if (v >= 0) bytes[r * (w + 1) + c] = std::uint8_t(v + (n < v ? 0 : n == v ? 8 : 4));
            }
        }
        return bytes;
    }
    bool refused(E e) const {
        std::vector<std::pair<int, int>> cells;  // the cells beside e with a clue
        const std::pair<int, int> beside[2] = {
            {e.r, e.c}, e.vertical ? std::pair{e.r, e.c - 1} : std::pair{e.r - 1, e.c}};
        for (auto [r, c] : beside) {
            if (r >= 0 && c >= 0 && r < h && c < w && clueOf(r, c) >= 0) cells.push_back({r, c});
        }
        for (auto [r, c] : cells) {
            if (lineSides(r, c) >= clueOf(r, c)) return true;  // full clue
        }
        const std::pair<int, int> ends[2] = {
            {e.r, e.c}, e.vertical ? std::pair{e.r + 1, e.c} : std::pair{e.r, e.c + 1}};
        for (auto [xr, xc] : ends) {
            std::vector<E> others;  // the other three directions at this end
            for (E d :
                 {E{xr - 1, xc, true}, E{xr, xc, true}, E{xr, xc - 1, false}, E{xr, xc, false}}) {
                if (!(d == e)) others.push_back(d);
            }
            int lines = 0, blocked = 0;
            for (const E& d : others) {
                lines += at(d) == Line;
                blocked += at(d) == Cross || at(d) == -1;
            }
            if (lines >= 2 || blocked == 3) return true;  // busy end, dead end
            if (blocked != 2) continue;
            // Clue-1 corner: a side of a clue-1 cell without Lines is the way on.
            for (auto [r, c] : cells) {
                if (clueOf(r, c) != 1 || lineSides(r, c) != 0) continue;
                for (const E& s : sides(r, c)) {
                    if (std::count(others.begin(), others.end(), s) > 0 && at(s) != Cross)
                        return true;
                }
            }
        }
        return false;
    }
};

// Random codes and clues on boards of 1..5 x 1..5 cells: both clicks on every
// edge change exactly that edge as the reference says (left: Empty -> Line,
// or Cross when refused, -> Cross -> Empty; right: Empty -> Cross -> Empty,
// Line -> Empty), with the clue states to match.
TEST(BoardClicks, AgreeWithReferenceOnRandomBoards) {
    std::mt19937 rng(12345);
    int refusedSeen = 0, allowedSeen = 0;
    for (int round = 0; round < 1500; ++round) {
        const int w = 1 + static_cast<int>(rng() % 5), h = 1 + static_cast<int>(rng() % 5);
        Board b = loaded(entryOf(std::string(w, '.') + std::string(h - 1, '/')));
        RefBoard ref{w, h, {}, std::vector<int>(b.clues.size(), -1)};
        for (int v = 0; v < b.vertexCount(); ++v) {
            const int r = v / (w + 1), c = v % (w + 1);
            const int right = c < w ? static_cast<int>(rng() % 3) : 0;
            const int down = r < h ? static_cast<int>(rng() % 3) : 0;
            b.codes[v] = static_cast<std::uint8_t>(3 * right + down);
            if (r < h && c < w && rng() % 3 == 0) {
                ref.clue[v] = static_cast<int>(rng() % 4);
                b.clues[v] = static_cast<std::uint8_t>(ref.clue[v]);
            }
        }
        b.updateClueStates();
        ref.codes = b.codes;
        ASSERT_EQ(b.clues, ref.clueBytes());
        for (int v = 0; v < b.vertexCount(); ++v) {
            for (const bool vertical : {false, true}) {
                const E e{v / (w + 1), v % (w + 1), vertical};
                const int before = ref.at(e);
                if (before < 0) continue;
                const EdgeRef edge{v, static_cast<std::uint8_t>(vertical)};
                ASSERT_EQ(b.edgeState(edge), before);
                const bool refused = before == Empty && ref.refused(e);
                if (before == Empty) (refused ? refusedSeen : allowedSeen)++;
                // Left click, right click, and setEdgeState to another state.
                const int expected[3] = {
                    before == Empty ? (refused ? Cross : Line) : (before == Line ? Cross : Empty),
                    before == Empty ? Cross : Empty, (before + 2) % 3};
                for (int action = 0; action < 3; ++action) {
                    Board copy = b;
                    if (action == 0) copy.markEdge(edge);
                    if (action == 1) copy.crossEdge(edge);
                    if (action == 2) copy.setEdgeState(edge, EdgeState(expected[2]));
                    RefBoard after = ref;
                    after.set(e, expected[action]);
                    ASSERT_EQ(copy.codes, after.codes)
                        << "round " << round << " vertex " << v << " vertical " << vertical
                        << " action " << action;
                    ASSERT_EQ(copy.clues, after.clueBytes()) << "round " << round;
                }
            }
        }
    }
    EXPECT_GT(refusedSeen, 1000);
    EXPECT_GT(allowedSeen, 1000);
}

// ---- The solution check against a component count ----

// Reference: the number of separate cycles the Line edges form (union-find),
// or -1 when a vertex has other than 0 or 2 of them.
int cycles(const Board& b) {
    const int n = b.vertexCount();
    std::vector<int> parent(n), degree(n, 0);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[x] != x) x = parent[x];
        return x;
    };
    for (int v = 0; v < n; ++v) {
        for (const int to :
             {b.codes[v] / 3 == Line ? v + 1 : -1, b.codes[v] % 3 == Line ? v + b.width + 1 : -1}) {
            if (to < 0) continue;
            ++degree[v];
            ++degree[to];
            parent[find(v)] = find(to);
        }
    }
    int roots = 0;
    for (int v = 0; v < n; ++v) {
        if (degree[v] != 0 && degree[v] != 2) return -1;
        roots += degree[v] > 0 && find(v) == v;
    }
    return roots;
}

// Every non-empty set of cells of each grid: the outline of the cells as
// Lines, some other edges crossed. Solved exactly when the reference sees
// one cycle and every clue has as many outline sides as its value; the check
// leaves the codes as they were. Every single loop is such an outline. The
// first puzzle has one solution; the last has two loops with every clue exact.
TEST(BoardSolved, AgreesWithComponentCountOnEveryRegion) {
    for (auto [rows, solutions] :
         {std::pair{"0..1/..1./22../....", 1}, std::pair{"...../...../.....", -1},
          std::pair{"../../../../../..", -1}, std::pair{"......./.......", -1},
          std::pair{"3..3/....", -1}}) {
        const PuzzleEntry p = entryOf(rows);
        const int w = p.width, h = p.height;
        int solved = 0, loops = 0;
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
                    const int right = c < w ? state(in(r - 1, c) != in(r, c), r + 2 * c) : 0;
                    const int down = r < h ? state(in(r, c - 1) != in(r, c), 2 * r + c) : 0;
                    b.codes[r * (w + 1) + c] = static_cast<std::uint8_t>(3 * right + down);
                    const int clue = p.clues[r * (w + 1) + c];
                    if (r == h || c == w || clue == 255) continue;
                    const int sides = (in(r - 1, c) != in(r, c)) + (in(r + 1, c) != in(r, c)) +
                                      (in(r, c - 1) != in(r, c)) + (in(r, c + 1) != in(r, c));
                    cluesMet = cluesMet && sides == clue;
                }
            }
            b.updateClueStates();
            const Bytes codes = b.codes;
            const int n = cycles(b);
            if (n >= 0) {
                ASSERT_EQ(b.traceSingleLoop(), n == 1) << rows << " mask " << mask;
            }
            ASSERT_EQ(b.isSolved(), n == 1 && cluesMet) << rows << " mask " << mask;
            ASSERT_EQ(b.codes, codes);
            loops += n == 1;
            solved += n == 1 && cluesMet;
        }
        EXPECT_GT(loops, 50) << rows;
        if (solutions >= 0) {
            EXPECT_EQ(solved, solutions) << rows;
        }
    }
}

}  // namespace
}  // namespace quorrin
