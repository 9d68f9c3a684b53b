// A real puzzle read from a collection file, played to the end: its unique
// solution is drawn edge by edge with left clicks.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace quorrin {
namespace {

// Difficulty 3, 4 rows, 4 columns.
constexpr char kCollection[] = "3/4/4/0..1/..1./22../....\n";

struct Edge {
    int r, c;
    bool vertical;
};

// Every single loop on the grid is the outline of the set of cells it
// encloses, so trying every set of cells finds every solution.
std::vector<std::vector<Edge>> allSolutions(const PuzzleEntry& p) {
    const int w = p.width, h = p.height;
    std::vector<std::vector<Edge>> found;
    for (unsigned mask = 1; mask < (1u << (w * h)); ++mask) {
        auto in = [&](int r, int c) {
            return r >= 0 && c >= 0 && r < h && c < w && ((mask >> (r * w + c)) & 1u) != 0;
        };
        std::vector<Edge> edges;
        std::vector<int> degree(static_cast<std::size_t>((w + 1) * (h + 1)), 0);
        auto add = [&](int r, int c, bool vertical) {
            edges.push_back({r, c, vertical});
            ++degree[static_cast<std::size_t>(r * (w + 1) + c)];
            ++degree[static_cast<std::size_t>(vertical ? (r + 1) * (w + 1) + c
                                                       : r * (w + 1) + c + 1)];
        };
        for (int r = 0; r <= h; ++r) {
            for (int c = 0; c < w; ++c) {
                if (in(r - 1, c) != in(r, c)) add(r, c, false);
            }
        }
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c <= w; ++c) {
                if (in(r, c - 1) != in(r, c)) add(r, c, true);
            }
        }
        bool ok = true;
        for (int d : degree) ok = ok && (d == 0 || d == 2);
        for (int r = 0; r < h && ok; ++r) {
            for (int c = 0; c < w && ok; ++c) {
                const int clue = p.clues[static_cast<std::size_t>(r * (w + 1) + c)];
                if (clue == 255) continue;
                int sides = 0;
                for (const Edge& e : edges) {
                    sides += (!e.vertical && e.c == c && (e.r == r || e.r == r + 1)) ||
                             (e.vertical && e.r == r && (e.c == c || e.c == c + 1));
                }
                ok = sides == clue;
            }
        }
        if (!ok) continue;
        // One loop: the outline of a set of cells with all degrees 0 or 2 is
        // one loop exactly when walking from one edge covers all of them.
        std::vector<int> seen(edges.size(), 0);
        std::vector<std::size_t> stack{0};
        seen[0] = 1;
        std::size_t reached = 1;
        while (!stack.empty()) {
            const Edge a = edges[stack.back()];
            stack.pop_back();
            for (std::size_t j = 0; j < edges.size(); ++j) {
                if (seen[j]) continue;
                const Edge b = edges[j];
                auto ends = [](const Edge& e, int k) {
                    return k == 0
                               ? std::pair{e.r, e.c}
                               : (e.vertical ? std::pair{e.r + 1, e.c} : std::pair{e.r, e.c + 1});
                };
                bool touch = false;
                for (int i = 0; i < 2; ++i)
                    for (int k = 0; k < 2; ++k) touch = touch || ends(a, i) == ends(b, k);
                if (touch) {
                    seen[j] = 1;
                    ++reached;
                    stack.push_back(j);
                }
            }
        }
        if (reached == edges.size()) found.push_back(edges);
    }
    return found;
}

TEST(Playthrough, UniqueSolutionDrawnEdgeByEdge) {
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "quorrin_playthrough_test.dat";
    {
        std::FILE* f = std::fopen(path.string().c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(kCollection, 1, sizeof kCollection - 1, f);
        std::fclose(f);
    }
    PuzzleCollection collection;
    std::uint32_t identity = 0;
    ASSERT_TRUE(collection.read(path.string().c_str(), identity));
    std::filesystem::remove(path);
    ASSERT_EQ(collection.puzzleCount, 1);
    const PuzzleEntry& puzzle = collection.puzzles[0];
    ASSERT_EQ(puzzle.width, 4);
    ASSERT_EQ(puzzle.height, 4);
    EXPECT_EQ(puzzle.difficulty, 3);

    const auto solutions = allSolutions(puzzle);
    ASSERT_EQ(solutions.size(), 1u);
    const std::vector<Edge>& solution = solutions[0];
    ASSERT_EQ(solution.size(), 16u);

    Board board;
    board.load(puzzle);
    for (std::size_t i = 0; i < solution.size(); ++i) {
        const Edge& e = solution[i];
        const EdgeRef ref{e.r * (board.width + 1) + e.c, static_cast<std::uint8_t>(e.vertical)};
        ASSERT_EQ(board.edgeState(ref), Empty);
        board.markEdge(ref);
        ASSERT_EQ(board.edgeState(ref), Line) << "edge " << i << " refused";
        const std::vector<std::uint8_t> codes = board.codes;
        const bool solved = board.isSolved();
        EXPECT_EQ(board.codes, codes) << "edge " << i;
        EXPECT_EQ(solved, i + 1 == solution.size()) << "edge " << i;
    }
    // Every clue is exact now, and the zero clue's crosses are still there.
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            const std::uint8_t clue = board.clues[static_cast<std::size_t>(r * 5 + c)];
            EXPECT_TRUE(clue == kNoClue || clue >= kClueExact);
        }
    }
    EXPECT_EQ(board.edgeState(EdgeRef{0, 0}), Cross);

    // Taking one edge away and drawing it again: unsolved, then solved.
    const EdgeRef last{solution.back().r * 5 + solution.back().c,
                       static_cast<std::uint8_t>(solution.back().vertical)};
    board.crossEdge(last);
    EXPECT_FALSE(board.isSolved());
    board.markEdge(last);
    EXPECT_TRUE(board.isSolved());
}

}  // namespace
}  // namespace quorrin
