// Solver for loop puzzles on a rectangular grid with clues 0 to 3.
//
// Deductions come in levels; a higher level includes every rule of the lower
// ones:
//   1 Easy    clue counts, two lines per dot on the loop, no premature loop.
//   2 Medium  pair reasoning at every corner of every cell ("at least one" /
//             "at most one" of the two sides meeting there, carried across
//             the dot to the opposite corner and through the clue to the
//             cell's opposite corner), adjacent 3s. Diagonal 3s, 0-3
//             corners and 1s and 3s in board corners follow from these.
//   3 Hard    one-edge lookahead: an edge whose one value leads to a
//             contradiction under the level-2 rules takes the other value.
// A puzzle that the level-3 rules cannot finish needs guessing; it is graded
// kGradeGuess. The complete search (depth-first, level-2 propagation at every
// node) counts solutions up to a limit.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace quorrin {

constexpr int kGradeEasy = 1;
constexpr int kGradeMedium = 2;
constexpr int kGradeHard = 3;
constexpr int kGradeGuess = 4;

// A puzzle as the tools see it: W x H cells, clue -1 (none) or 0..3,
// row-major.
struct LoopPuzzle {
    int width = 0;
    int height = 0;
    std::vector<std::int8_t> clues;

    LoopPuzzle() = default;
    LoopPuzzle(int w, int h) : width(w), height(h), clues(static_cast<size_t>(w * h), -1) {}
    int clue(int r, int c) const { return clues[static_cast<size_t>(r * width + c)]; }
    void setClue(int r, int c, int v) {
        clues[static_cast<size_t>(r * width + c)] = static_cast<std::int8_t>(v);
    }
    int clueCount() const;
    // Rows of '.' and digits joined by '/', the body of a collection line.
    std::string rowsText() const;
};

// Edge numbering shared by the solver, generator and checker: the horizontal
// edges row by row ((H+1) x W, edge (r, c) from dot (r, c) to dot (r, c+1)),
// then the vertical edges ((W+1) x H, edge (r, c) from dot (r, c) to
// dot (r+1, c)).
inline int horizontalEdge(int width, int r, int c) {
    return r * width + c;
}
inline int verticalEdge(int width, int height, int r, int c) {
    return (height + 1) * width + r * (width + 1) + c;
}
inline int edgeCount(int width, int height) {
    return (height + 1) * width + height * (width + 1);
}

// A solution: one byte per edge, 1 on the loop, 0 off it.
using LoopSolution = std::vector<std::uint8_t>;

struct LoopAnalysis {
    int solutions = 0;   // 0, 1, or 2 meaning "two or more"
    int grade = 0;       // kGradeEasy..kGradeGuess when solutions == 1, else 0
    LoopSolution first;  // the first solution found, when there is one
};

enum class DeduceOutcome { Contradiction, Stuck, Solved };

// How hard a unique puzzle is for a person, from a solver that takes the
// simplest rules first and a step at a time (LoopSolver::rate).
//
// The difficulty number, 1 to 5, is what the collection files carry:
//   1 the basic rules alone solve it;
//   2 a few pair deductions, each found within kGentleChain rounds;
//   3 many pair deductions, or long chains of them;
//   4 a few lookaheads (or the rules of the whole board), up to
//     kFewLookaheads;
//   5 many lookaheads, or guessing.
// The score orders puzzles finer: 1000 x difficulty plus the amount of its
// hardest rules (0 to 999).
struct LoopRating {
    int family = 0;          // the hardest rules needed, as a grade (kGradeEasy..kGradeGuess)
    int pairSteps = 0;       // times the basic rules were stuck and a pair deduction went on
    int longestChain = 0;    // the most rounds of pair reasoning one such step took
    int regionSteps = 0;     // edges that the rules of the whole board decided
    int lookaheadSteps = 0;  // edges that the lookahead decided
    int difficulty = 0;      // 1..5, see above
    int score = 0;
};

constexpr int kGentleChain = 2;
constexpr int kGentlePairSteps = 12;
constexpr int kFewLookaheads = 8;

// Difficulty and score from the family and the steps.
void rateDifficulty(LoopRating& rating);

class LoopSolver {
  public:
    explicit LoopSolver(const LoopPuzzle& puzzle);
    ~LoopSolver();
    LoopSolver(const LoopSolver&) = delete;
    LoopSolver& operator=(const LoopSolver&) = delete;

    // Replace the clues (same size as the puzzle given at construction).
    void setClues(const std::vector<std::int8_t>& clues);

    // Apply the rules up to level (1..3) from an empty board.
    DeduceOutcome deduce(int level);
    // A loop that solves every clue set given from now on, or none (empty,
    // the default). The lookahead of deduce then passes over the values that
    // agree with it: those cannot lead to a contradiction, so the outcome is
    // the same, in about half the trials. The generator knows its loop.
    void setKnownSolution(const LoopSolution& loop);
    // Edge states after the last deduce: 0 unknown, 1 line, 2 cross.
    const std::vector<std::uint8_t>& edgeStates() const;

    // Complete search: the number of solutions, counting no further than limit.
    int countSolutions(int limit, LoopSolution* first = nullptr);

    // Solutions (up to two) and, for a unique puzzle, its grade.
    LoopAnalysis analyse();

    // The puzzle solved a step at a time, simplest rules first (see
    // LoopRating); meaningful for a unique puzzle.
    LoopRating rate();

    // Nodes visited by the last countSolutions.
    long long searchNodes() const;

    // Stop the search after this many nodes (0, the default: never). A search
    // that stopped early reports searchStopped() and its count is a lower bound.
    void setNodeLimit(long long nodes);
    bool searchStopped() const;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Convenience wrapper.
LoopAnalysis analysePuzzle(const LoopPuzzle& puzzle);

// True when the edges form one closed loop and every clue is met.
bool isLoopSolution(const LoopPuzzle& puzzle, const LoopSolution& edges);

}  // namespace quorrin
