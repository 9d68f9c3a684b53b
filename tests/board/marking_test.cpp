// The left- and right-click actions and the four rules that refuse a Line:
// the tricky cases by hand, then every edge of random boards against a plain
// reference written out on explicit geometry.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

#include "board_fixtures.h"

namespace quorrin {
namespace {

using namespace test;

TEST(MarkEdge, RefusalCases) {
    const char* plain = ".../.../...";
    const char* mid1 = "..../.1../..../....";
    struct Case {
        const char* what;
        const char* rows;
        std::vector<E> lines, crosses;  // drawn by clicks first
        E click;
        EdgeState expected;
    };
    const Case cases[] = {
        {"busy end", plain, {{1, 0, 0}, {1, 1, 1}}, {}, {1, 1, 0}, Cross},
        {"busy end, vertical", plain, {{1, 0, 0}, {1, 1, 1}}, {}, {0, 1, 1}, Cross},
        {"dead end inside", plain, {}, {{1, 0, 0}, {0, 1, 1}, {1, 1, 1}}, {1, 1, 0}, Cross},
        {"dead end on the outline", plain, {}, {{0, 0, 0}, {0, 1, 1}}, {0, 1, 0}, Cross},
        {"one cross on the outline", plain, {}, {{0, 0, 0}}, {0, 1, 0}, Line},
        {"dead end at a corner", plain, {}, {{0, 3, 1}}, {0, 2, 0}, Cross},
        {"dead end at a corner, far end", plain, {}, {{3, 0, 0}}, {2, 0, 1}, Cross},
        {"full clue 3", ".../.3./...", {{1, 1, 0}, {1, 1, 1}, {1, 2, 1}}, {}, {2, 1, 0}, Cross},
        {"zero clue side", ".../.0./...", {}, {{1, 2, 1}}, {1, 2, 1}, Cross},
        {"zero clue side, crossed", ".../.0./...", {}, {}, {1, 2, 1}, Empty},
        {"clue-1 corner open", "1../.../...", {}, {}, {0, 0, 0}, Cross},
        {"clue-1 corner crossed", "1../.../...", {}, {{0, 0, 0}}, {0, 0, 1}, Cross},
        {"clue-1 far side", "1../.../...", {}, {}, {0, 1, 1}, Line},
        // Clue 1 in the middle; its top side with the way on down its left.
        {"clue-1 inside", mid1, {}, {{0, 1, 1}, {1, 0, 0}}, {1, 1, 0}, Cross},
        {"clue-1 inside, left crossed", mid1, {}, {{0, 1, 1}, {1, 1, 1}}, {1, 1, 0}, Line},
        // Its right side, second end, the way on along its bottom.
        {"clue-1 right side", mid1, {}, {{2, 2, 0}, {2, 2, 1}}, {1, 2, 1}, Cross},
        {"clue-1 right, bottom crossed", mid1, {}, {{2, 1, 0}, {2, 2, 1}}, {1, 2, 1}, Line},
    };
    for (const Case& k : cases) {
        Board b = loaded(entryOf(k.rows));
        for (const E& e : k.lines) {
            b.markEdge(edgeOf(b, e));
            ASSERT_EQ(b.edgeState(edgeOf(b, e)), Line) << k.what;
        }
        for (const E& e : k.crosses) b.crossEdge(edgeOf(b, e));
        b.markEdge(edgeOf(b, k.click));
        EXPECT_EQ(b.edgeState(edgeOf(b, k.click)), k.expected) << k.what;
    }
}

// ---- Reference ----

struct RefBoard {
    int w, h;
    std::vector<std::uint8_t> codes;  // 3 x (state of the right edge) + state below
    std::vector<int> clue;            // value per cell slot, -1 none

    // State of an edge; -1 off the board.
    int at(E e) const {
        if (e.r < 0 || e.c < 0 || e.r > h || e.c > w) return -1;
        if ((!e.vertical && e.c == w) || (e.vertical && e.r == h)) return -1;
        const int code = codes[static_cast<std::size_t>(e.r * (w + 1) + e.c)];
        return e.vertical ? code % 3 : code / 3;
    }
    void set(E e, int s) {
        std::uint8_t& code = codes[static_cast<std::size_t>(e.r * (w + 1) + e.c)];
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
    int clueOf(int r, int c) const { return clue[static_cast<std::size_t>(r * (w + 1) + c)]; }
    // Clue state bytes: value + 0 under, 4 over, 8 exact; 255 elsewhere.
    std::vector<std::uint8_t> clueBytes() const {
        std::vector<std::uint8_t> bytes(clue.size(), 255);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                const int v = clueOf(r, c), n = lineSides(r, c);
                if (v < 0) continue;
                const int status = n < v ? 0 : (n == v ? 8 : 4);
                bytes[static_cast<std::size_t>(r * (w + 1) + c)] =
                    static_cast<std::uint8_t>(v + status);
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

TEST(MarkEdge, BothClicksAgreeWithReferenceOnRandomBoards) {
    std::mt19937 rng(12345);
    int refusedSeen = 0, allowedSeen = 0;
    for (int round = 0; round < 2000; ++round) {
        const int w = 1 + static_cast<int>(rng() % 5), h = 1 + static_cast<int>(rng() % 5);
        Board b = emptyBoard(w, h);
        RefBoard ref{w, h, {}, std::vector<int>(b.clues.size(), -1)};
        for (std::size_t v = 0; v < b.codes.size(); ++v) {
            const int r = static_cast<int>(v) / (w + 1), c = static_cast<int>(v) % (w + 1);
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
        // Every edge, both clicks, on a copy: only the clicked edge changes.
        for (int v = 0; v < b.vertexCount(); ++v) {
            for (const bool vertical : {false, true}) {
                const E e{v / (w + 1), v % (w + 1), vertical};
                const int before = ref.at(e);
                if (before < 0) continue;
                const bool refused = before == Empty && ref.refused(e);
                if (before == Empty) (refused ? refusedSeen : allowedSeen)++;
                // Left: Empty -> Line (Cross when refused) -> Cross -> Empty.
                const int left = before == Empty  ? (refused ? Cross : Line)
                                 : before == Line ? Cross
                                                  : Empty;
                const int right = before == Empty ? Cross : Empty;
                for (const bool leftClick : {true, false}) {
                    Board copy = b;
                    leftClick ? copy.markEdge(edgeOf(b, e)) : copy.crossEdge(edgeOf(b, e));
                    RefBoard after = ref;
                    after.set(e, leftClick ? left : right);
                    ASSERT_EQ(copy.codes, after.codes)
                        << "round " << round << " vertex " << v << " vertical " << vertical
                        << " left " << leftClick;
                    ASSERT_EQ(copy.clues, after.clueBytes()) << "round " << round;
                }
            }
        }
    }
    EXPECT_GT(refusedSeen, 1000);
    EXPECT_GT(allowedSeen, 1000);
}

}  // namespace
}  // namespace quorrin
