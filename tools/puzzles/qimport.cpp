// qimport: turns puzzles in the public text forms into collection lines.
//
//   qimport [--difficulty D] [--allow-several] [PUZZLE...]
//
// Each PUZZLE (or, without any, each line of standard input) is a puzzle
// address (...?TYPE/COLS/ROWS/BODY) or a game ID (WxHt0:DESC). The line
// written for it carries difficulty D, or the puzzle's grade when D is not
// given. A puzzle that cannot be represented, has no solution, or (without
// --allow-several) has more than one, is refused with a message on standard
// error, and the exit status is 1.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "puzzle_import.h"
#include "tool_main.h"

namespace {

bool convert(const std::string& text, int difficulty, bool allowSeveral) {
    quorrin::LoopPuzzle puzzle;
    std::string error;
    if (!quorrin::importPuzzle(text, puzzle, error)) {
        std::fprintf(stderr, "qimport: refused '%s': %s\n", text.c_str(), error.c_str());
        return false;
    }
    quorrin::LoopAnalysis a = quorrin::analysePuzzle(puzzle);
    if (a.solutions == 0) {
        std::fprintf(stderr, "qimport: refused '%s': the puzzle has no solution\n", text.c_str());
        return false;
    }
    if (a.solutions > 1 && !allowSeveral) {
        std::fprintf(stderr, "qimport: refused '%s': the puzzle has more than one solution\n",
                     text.c_str());
        return false;
    }
    int d = difficulty >= 0 ? difficulty : (a.grade > 0 ? a.grade : 0);
    std::printf("%d/%d/%d/%s\n", d, puzzle.height, puzzle.width, puzzle.rowsText().c_str());
    return true;
}

}  // namespace

int toolMain(int argc, char** argv) {
    int difficulty = -1;
    bool allowSeveral = false;
    std::vector<std::string> inputs;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--difficulty") == 0 && i + 1 < argc) {
            difficulty = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--allow-several") == 0) {
            allowSeveral = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            std::fprintf(stderr, "usage: qimport [--difficulty D] [--allow-several] [PUZZLE...]\n");
            return 2;
        } else {
            inputs.emplace_back(argv[i]);
        }
    }
    bool ok = true;
    if (inputs.empty()) {
        std::string line;
        while (std::getline(std::cin, line)) {
            if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
            ok = convert(line, difficulty, allowSeveral) && ok;
        }
    } else {
        for (const std::string& text : inputs) ok = convert(text, difficulty, allowSeveral) && ok;
    }
    return ok ? 0 : 1;
}
