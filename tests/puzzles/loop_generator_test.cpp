#include "loop_generator.h"

#include <gtest/gtest.h>

namespace quorrin {
namespace {

TEST(LoopGeneratorTest, RegionsGiveOneLoop) {
    const int sizes[][2] = {{1, 1}, {1, 6}, {6, 1}, {2, 2}, {5, 5}, {10, 7}, {30, 20}, {62, 31}};
    for (const auto& size : sizes) {
        LoopRandom rng(static_cast<std::uint64_t>(size[0] * 100 + size[1]));
        for (int i = 0; i < 20; ++i) {
            auto inside = makeLoopRegion(size[0], size[1], rng);
            LoopSolution loop = regionOutline(size[0], size[1], inside);
            ASSERT_TRUE(isLoopSolution(LoopPuzzle(size[0], size[1]), loop))
                << size[0] << "x" << size[1] << " #" << i;
            EXPECT_TRUE(isLoopSolution(cluesOfLoop(size[0], size[1], loop), loop));
        }
    }
}

TEST(LoopGeneratorTest, PuzzlesAreUniqueAtTheirGrade) {
    for (int grade = kGradeEasy; grade <= kGradeGuess; ++grade) {
        for (std::uint64_t seed = 1; seed <= 3; ++seed) {
            GeneratorOptions o;
            o.width = 7;
            o.height = 6;
            o.grade = grade;
            o.seed = seed;
            o.symmetric = seed == 2;
            GeneratedPuzzle g;
            ASSERT_TRUE(generatePuzzle(o, g)) << grade << " " << seed;
            // The complete search confirms one solution, the generated loop.
            LoopSolver solver(g.puzzle);
            LoopSolution first;
            EXPECT_EQ(solver.countSolutions(5, &first), 1);
            EXPECT_EQ(first, g.solution);
            EXPECT_EQ(solver.analyse().grade, grade);
            if (o.symmetric) {
                const auto& k = g.puzzle.clues;
                for (size_t i = 0; i < k.size(); ++i) {
                    EXPECT_EQ(k[i] >= 0, k[k.size() - 1 - i] >= 0) << i;
                }
            }
        }
    }
}

TEST(LoopGeneratorTest, SameSeedSamePuzzle) {
    GeneratorOptions o;
    o.width = 10;
    o.height = 8;
    o.grade = kGradeMedium;
    o.seed = 42;
    GeneratedPuzzle a, b, c;
    ASSERT_TRUE(generatePuzzle(o, a));
    ASSERT_TRUE(generatePuzzle(o, b));
    o.seed = 43;
    ASSERT_TRUE(generatePuzzle(o, c));
    EXPECT_EQ(a.puzzle.clues, b.puzzle.clues);
    EXPECT_NE(a.puzzle.clues, c.puzzle.clues);
}

TEST(LoopGeneratorTest, RefusesImpossibleRequests) {
    GeneratorOptions o;
    o.width = 0;
    GeneratedPuzzle g;
    EXPECT_FALSE(generatePuzzle(o, g));
    o.width = 5;
    o.grade = 7;
    EXPECT_FALSE(generatePuzzle(o, g));
}

}  // namespace
}  // namespace quorrin
