// Checking of collection files: every line read as the game reads it, its
// format problems, its solutions and its grade.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "loop_solver.h"
#include "puzzle_figures.h"

namespace quorrin {

struct LineReport {
    int index = 0;  // line number, from 1
    int width = 0, height = 0, difficulty = 0, clueCount = 0;
    int solutions = 0;                // 0, 1, or 2 meaning "two or more"
    int grade = 0;                    // 1..4 when unique
    LoopRating rating;                // when unique
    bool boardAgrees = false;         // the game's board accepts the solution
    PuzzleFigures figures;            // of the solution, when unique
    std::vector<std::string> errors;  // outside the limits, not unique, ...
    std::vector<std::string> notes;   // skipped characters and other oddities
};

struct FileReport {
    std::string path;
    bool readable = false;
    std::uint32_t identity = 0;
    std::vector<LineReport> lines;
    std::vector<std::string> errors;  // about the file as a whole
    bool ok() const;
};

struct CheckOptions {
    // A difficulty field other than the rated difficulty is an error.
    bool difficultyIsRated = false;
    // Lines whose scores do not rise (or stay) from line to line are an error.
    bool ordered = false;
};

FileReport checkCollection(const std::string& path, const CheckOptions& options);

// The report as text, one line per puzzle and one per problem.
std::string formatReport(const FileReport& report);

// The figures of every unique puzzle, one line each, then their summary for
// the file and for each grade.
std::string formatFigures(const FileReport& report);

}  // namespace quorrin
