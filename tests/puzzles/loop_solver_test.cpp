// The solver against an obviously correct reference: every loop of a small
// board enumerated from the cell sets it can enclose.
#include "loop_solver.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "loop_generator.h"

namespace quorrin {
namespace {

// Every single loop of a W x H board (each one encloses exactly one set of
// cells, so walking all cell sets finds each loop once).
std::vector<LoopSolution> allLoops(int w, int h) {
    std::vector<LoopSolution> loops;
    const int cells = w * h;
    LoopPuzzle blank(w, h);
    for (long mask = 1; mask < (1L << cells); ++mask) {
        std::vector<std::uint8_t> inside(static_cast<size_t>(cells));
        for (int i = 0; i < cells; ++i) inside[static_cast<size_t>(i)] = (mask >> i) & 1;
        LoopSolution loop = regionOutline(w, h, inside);
        if (isLoopSolution(blank, loop)) loops.push_back(loop);
    }
    return loops;
}

int referenceCount(const LoopPuzzle& p, const std::vector<LoopSolution>& loops) {
    int n = 0;
    for (const LoopSolution& l : loops) n += isLoopSolution(p, l) ? 1 : 0;
    return n;
}

TEST(LoopSolverTest, KnownCountsOnTinyBoards) {
    LoopPuzzle one(1, 1);
    EXPECT_EQ(LoopSolver(one).countSolutions(10), 1);
    one.setClue(0, 0, 0);
    EXPECT_EQ(LoopSolver(one).countSolutions(10), 0);
    one.setClue(0, 0, 3);
    EXPECT_EQ(LoopSolver(one).countSolutions(10), 0);

    // A 2 x 2 board without clues: four unit squares, four dominoes' outlines
    // (two each way), four L shapes and the whole board: 13 loops.
    LoopPuzzle two(2, 2);
    EXPECT_EQ(LoopSolver(two).countSolutions(100), 13);
    EXPECT_EQ(referenceCount(two, allLoops(2, 2)), 13);

    // Four 3s on a 2 x 2 board: only the loop around the whole board fits...
    // but that gives each cell two sides. No solution.
    LoopPuzzle threes(2, 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) threes.setClue(r, c, 3);
    EXPECT_EQ(LoopSolver(threes).countSolutions(10), 0);

    // Four 2s: the outline of the whole board, exactly one.
    LoopPuzzle twos(2, 2);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) twos.setClue(r, c, 2);
    LoopSolution first;
    EXPECT_EQ(LoopSolver(twos).countSolutions(10, &first), 1);
    EXPECT_TRUE(isLoopSolution(twos, first));
}

// Random clue sets on small boards: the search counts exactly what the
// reference counts, and its first solution is a real one.
TEST(LoopSolverTest, CountsMatchReferenceOnRandomClues) {
    const int sizes[][2] = {{3, 3}, {4, 3}, {3, 4}, {4, 4}, {5, 2}};
    LoopRandom rng(99);
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        std::vector<LoopSolution> loops = allLoops(w, h);
        for (int trial = 0; trial < 120; ++trial) {
            // Half the time start from a real loop so that solvable sets are common.
            LoopPuzzle p(w, h);
            if (trial % 2 == 0) {
                LoopPuzzle full = cluesOfLoop(
                    w, h, loops[static_cast<size_t>(rng.below(static_cast<int>(loops.size())))]);
                for (int i = 0; i < w * h; ++i) {
                    if (rng.chance(1, 3))
                        p.clues[static_cast<size_t>(i)] = full.clues[static_cast<size_t>(i)];
                }
            } else {
                for (int i = 0; i < w * h; ++i) {
                    if (rng.chance(1, 4))
                        p.clues[static_cast<size_t>(i)] = static_cast<std::int8_t>(rng.below(4));
                }
            }
            int expected = referenceCount(p, loops);
            LoopSolver solver(p);
            LoopSolution first;
            int got = solver.countSolutions(100000, &first);
            ASSERT_EQ(got, expected) << w << "x" << h << " " << p.rowsText();
            if (got > 0) {
                EXPECT_TRUE(isLoopSolution(p, first)) << p.rowsText();
            }
            // Deductions are sound: never a contradiction on a solvable puzzle,
            // and a finished deduction is the unique solution.
            for (int level = kGradeEasy; level <= kGradeHard; ++level) {
                DeduceOutcome out = solver.deduce(level);
                if (expected > 0) {
                    ASSERT_NE(out, DeduceOutcome::Contradiction)
                        << p.rowsText() << " level " << level;
                }
                if (out == DeduceOutcome::Solved) {
                    ASSERT_EQ(expected, 1) << p.rowsText() << " level " << level;
                    LoopSolution edges(solver.edgeStates().size());
                    for (size_t e = 0; e < edges.size(); ++e)
                        edges[e] = solver.edgeStates()[e] == 1;
                    EXPECT_TRUE(isLoopSolution(p, edges));
                }
            }
            LoopAnalysis a = solver.analyse();
            EXPECT_EQ(a.solutions, std::min(expected, 2));
            EXPECT_EQ(a.grade > 0, expected == 1);
        }
    }
}

// Few clues on longer boards: many loops per puzzle, wide open areas where
// path ends wander far before they meet, and long searches in which the
// branching order learnt from dead ends matters. Exact counts and the
// stop at two must both agree with the reference.
TEST(LoopSolverTest, CountsMatchReferenceWithFewClues) {
    const int sizes[][2] = {{6, 3}, {3, 6}, {5, 3}};
    LoopRandom rng(2024);
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        std::vector<LoopSolution> loops = allLoops(w, h);
        for (int trial = 0; trial < 40; ++trial) {
            LoopPuzzle p(w, h);
            LoopPuzzle full = cluesOfLoop(
                w, h, loops[static_cast<size_t>(rng.below(static_cast<int>(loops.size())))]);
            for (int i = 0; i < w * h; ++i) {
                if (!rng.chance(1, 5)) continue;
                // Now and then a wrong clue, so that some puzzles have no loop.
                p.clues[static_cast<size_t>(i)] = rng.chance(1, 8)
                                                      ? static_cast<std::int8_t>(rng.below(4))
                                                      : full.clues[static_cast<size_t>(i)];
            }
            const int expected = referenceCount(p, loops);
            LoopSolver solver(p);
            LoopSolution first;
            ASSERT_EQ(solver.countSolutions(100000, &first), expected)
                << w << "x" << h << " " << p.rowsText();
            if (expected > 0) {
                EXPECT_TRUE(isLoopSolution(p, first)) << p.rowsText();
            }
            EXPECT_EQ(solver.countSolutions(2), std::min(expected, 2)) << p.rowsText();
        }
    }
}

TEST(LoopSolverTest, LevelsMatchTheirPatterns) {
    // 3 in a corner of the board: its two outer sides are lines only from
    // the pair rules, not from the counting rules.
    LoopPuzzle corner(3, 3);
    corner.setClue(0, 0, 3);
    LoopSolver solver(corner);
    EXPECT_EQ(solver.deduce(kGradeEasy), DeduceOutcome::Stuck);
    EXPECT_EQ(solver.edgeStates()[static_cast<size_t>(horizontalEdge(3, 0, 0))], 0);
    EXPECT_EQ(solver.deduce(kGradeMedium), DeduceOutcome::Stuck);
    EXPECT_EQ(solver.edgeStates()[static_cast<size_t>(horizontalEdge(3, 0, 0))], 1);
    EXPECT_EQ(solver.edgeStates()[static_cast<size_t>(verticalEdge(3, 3, 0, 0))], 1);

    // Two 3s side by side: the three parallel sides are lines, unless the
    // loop around just those two cells is a solution.
    LoopPuzzle pair(4, 3);
    pair.setClue(1, 1, 3);
    pair.setClue(1, 2, 3);
    LoopSolver lone(pair);
    lone.deduce(kGradeMedium);
    EXPECT_EQ(lone.edgeStates()[static_cast<size_t>(verticalEdge(4, 3, 1, 2))], 0);
    pair.setClue(0, 0, 1);
    LoopSolver s2(pair);
    s2.deduce(kGradeMedium);
    for (int c = 1; c <= 3; ++c) {
        EXPECT_EQ(s2.edgeStates()[static_cast<size_t>(verticalEdge(4, 3, 1, c))], 1) << c;
    }

    // Diagonal 3s: the far corners are lines.
    LoopPuzzle diag(4, 4);
    diag.setClue(1, 1, 3);
    diag.setClue(2, 2, 3);
    LoopSolver s3(diag);
    s3.deduce(kGradeMedium);
    EXPECT_EQ(s3.edgeStates()[static_cast<size_t>(horizontalEdge(4, 1, 1))], 1);
    EXPECT_EQ(s3.edgeStates()[static_cast<size_t>(verticalEdge(4, 4, 1, 1))], 1);
    EXPECT_EQ(s3.edgeStates()[static_cast<size_t>(horizontalEdge(4, 3, 2))], 1);
    EXPECT_EQ(s3.edgeStates()[static_cast<size_t>(verticalEdge(4, 4, 2, 3))], 1);
}

TEST(LoopSolverTest, AnswersOnTheLargestBoards) {
    const int sizes[][2] = {{44, 44}, {62, 31}};
    for (const auto& size : sizes) {
        GeneratorOptions o;
        o.width = size[0];
        o.height = size[1];
        o.grade = kGradeEasy;
        o.seed = 5;
        GeneratedPuzzle g;
        ASSERT_TRUE(generatePuzzle(o, g));
        LoopAnalysis a = analysePuzzle(g.puzzle);
        EXPECT_EQ(a.solutions, 1);
        EXPECT_EQ(a.first, g.solution);
        // Without clues a big board has many loops; the search stops at two.
        EXPECT_EQ(LoopSolver(LoopPuzzle(size[0], size[1])).countSolutions(2), 2);
    }
}

// Large generated puzzles one clue away from unique ones: a clue taken away
// or raised by one at three places each. These are the boards where the
// search used to wander among guesses far from the one contradiction; the
// answers were found by the earlier, slower search as well.
TEST(LoopSolverTest, AnswersNearUniqueLargePuzzles) {
    std::ifstream in(std::string(QUORRIN_SOURCE_DIR) + "/tests/puzzles/fixtures/adversarial.dat");
    ASSERT_TRUE(in.good());
    // Per puzzle and place: removed, changed (0 none, 1 one, 2 several).
    const int expected[4][3][2] = {{{2, 2}, {2, 2}, {2, 0}},
                                   {{2, 1}, {1, 0}, {1, 0}},
                                   {{2, 1}, {1, 0}, {2, 1}},
                                   {{2, 2}, {2, 0}, {2, 2}}};
    std::string line;
    int index = 0;
    while (std::getline(in, line) && index < 4) {
        int d = 0, h = 0, w = 0, used = 0;
        ASSERT_EQ(std::sscanf(line.c_str(), "%d/%d/%d/%n", &d, &h, &w, &used), 3);
        LoopPuzzle base(w, h);
        std::vector<int> clueCells;
        int cell = 0;
        for (size_t i = static_cast<size_t>(used); i < line.size() && cell < w * h; ++i) {
            if (line[i] == '/') continue;
            if (line[i] >= '0' && line[i] <= '3') {
                base.clues[static_cast<size_t>(cell)] = static_cast<std::int8_t>(line[i] - '0');
                clueCells.push_back(cell);
            }
            ++cell;
        }
        ASSERT_EQ(cell, w * h);
        for (int k = 0; k < 3; ++k) {
            const size_t at =
                static_cast<size_t>(clueCells[clueCells.size() * static_cast<size_t>(k + 1) / 4]);
            for (int variant = 0; variant < 2; ++variant) {
                LoopPuzzle p = base;
                p.clues[at] = variant == 0 ? std::int8_t{-1}
                                           : static_cast<std::int8_t>((p.clues[at] + 1) % 4);
                LoopSolver solver(p);
                LoopSolution first;
                const int n = solver.countSolutions(2, &first);
                EXPECT_FALSE(solver.searchStopped());
                EXPECT_EQ(n, expected[index][k][variant])
                    << "puzzle " << index + 1 << " cell " << at << " variant " << variant;
                if (n > 0) {
                    EXPECT_TRUE(isLoopSolution(p, first));
                }
            }
        }
        ++index;
    }
    EXPECT_EQ(index, 4);
}

TEST(LoopSolverTest, NodeLimitStopsTheSearch) {
    // An empty 8 x 8 board has a great many loops: counting them all is long.
    LoopSolver solver(LoopPuzzle(8, 8));
    solver.setNodeLimit(10);
    int n = solver.countSolutions(1000000);
    EXPECT_TRUE(solver.searchStopped());
    EXPECT_LE(solver.searchNodes(), 10);
    EXPECT_LT(n, 1000000);
    // Without a limit, two are found and the search is complete.
    solver.setNodeLimit(0);
    EXPECT_EQ(solver.countSolutions(2), 2);
    EXPECT_FALSE(solver.searchStopped());
}

}  // namespace
}  // namespace quorrin
