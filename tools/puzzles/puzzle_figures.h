// What a puzzle looks like to a player, in numbers: how much of the board its
// loop reaches, how large the dead patches are, the mix of its clues and how
// often two 3s stand side by side (the usual opening, which makes boards look
// alike when it is everywhere). For measuring collections (qcheck --stats,
// qgen --stats).and for the generator's choice of clues.
#pragma once

#include <string>
#include <vector>

#include "loop_solver.h"

namespace quorrin {

struct PuzzleFigures {
    double coverage = 0;      // dots on the loop, share of all dots
    double largestPatch = 0;  // largest side-connected group of cells with no
                              // side on the loop, share of all cells
    double zeros = 0;         // 0s among the clues
    double ones = 0;          // 1s among the clues
    double twos = 0;          // 2s among the clues
    double threes = 0;        // 3s among the clues
    double threePairs = 0;    // pairs of side-by-side 3s per cell
    double clues = 0;         // clues per cell
    bool symmetric = false;   // the clue layout (not the values) the same
                              // turned by 180 degrees
};

PuzzleFigures measurePuzzle(const LoopPuzzle& puzzle, const LoopSolution& loop);

// The clue mix and the side-by-side 3s alone (they need no loop).
void measureClues(const LoopPuzzle& puzzle, PuzzleFigures& figures);

// Median, minimum and maximum of each figure over many puzzles, and the
// number of symmetric ones, as a few lines of text.
std::string summarizeFigures(const std::vector<PuzzleFigures>& figures);

// One puzzle's figures on one line.
std::string formatFigures(const PuzzleFigures& f);

}  // namespace quorrin
