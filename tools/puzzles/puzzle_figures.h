// What a puzzle looks like to a player, in numbers: how much of the board its
// loop reaches, how large the dead patches are, how many of its clues are 0.
// For measuring collections (qcheck --stats, qgen --stats).
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
    double clues = 0;         // clues per cell
    bool symmetric = false;   // the clue layout (not the values) the same
                              // turned by 180 degrees
};

PuzzleFigures measurePuzzle(const LoopPuzzle& puzzle, const LoopSolution& loop);

// Median, minimum and maximum of each figure over many puzzles, and the
// number of symmetric ones, as a few lines of text.
std::string summarizeFigures(const std::vector<PuzzleFigures>& figures);

// One puzzle's figures on one line.
std::string formatFigures(const PuzzleFigures& f);

}  // namespace quorrin
