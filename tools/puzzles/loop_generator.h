// Puzzle generator: a random loop, all clues, then clues taken away in random
// order while the puzzle stays uniquely solvable at the target grade.
#pragma once

#include <cstdint>
#include <vector>

#include "loop_solver.h"

namespace quorrin {

// Small deterministic generator (splitmix64), the same on every platform.
class LoopRandom {
  public:
    explicit LoopRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in 0..n-1 (n >= 1).
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }
    // True with probability num / den.
    bool chance(int num, int den) { return below(den) < num; }

  private:
    std::uint64_t state_;
};

struct GeneratorOptions {
    int width = 10;
    int height = 10;
    int grade = kGradeMedium;  // kGradeEasy..kGradeGuess
    bool symmetric = false;    // clues placed with 180-degree rotational symmetry
    std::uint64_t seed = 1;
    int maxAttempts = 200;  // loops tried before giving up
};

struct GeneratedPuzzle {
    LoopPuzzle puzzle;
    LoopSolution solution;
    int grade = 0;
    int attempts = 0;
};

// The inside of a random loop: one flag per cell, row-major. The cells marked
// form one simply connected region without pinch points, so its outline is a
// single loop; a symmetric one is the same turned by 180 degrees.
std::vector<std::uint8_t> makeLoopRegion(int width, int height, LoopRandom& rng,
                                         bool symmetric = false);

// The loop around a region, as a solution (one byte per edge).
LoopSolution regionOutline(int width, int height, const std::vector<std::uint8_t>& inside);

// All clues of a loop.
LoopPuzzle cluesOfLoop(int width, int height, const LoopSolution& loop);

// Make a puzzle; false when no puzzle of the grade was found within the
// attempts.
bool generatePuzzle(const GeneratorOptions& options, GeneratedPuzzle& out);

}  // namespace quorrin
