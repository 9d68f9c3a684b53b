// qcheck: checks collection files the way the game reads them.
//
//   qcheck [--difficulty-is-rated] [--ordered] [--quiet] [--stats] FILE.dat...
//
// For every line: its size, difficulty field, clue count, format problems,
// number of solutions, grade and rating (difficulty 1 to 5 and score, with
// the steps behind them). The exit status is 1 when any puzzle is not unique
// or not within the limits of the format (or, with --difficulty-is-rated,
// when a difficulty field differs from the rated difficulty; with --ordered,
// when a line's score is below one before it), 2 on wrong usage. With
// --stats it also prints what each unique puzzle looks like (how much of the
// board its loop reaches, dead patches, the clue mix, side-by-side 3s, clues
// per cell) and the medians per file and per grade.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "collection_check.h"
#include "tool_main.h"

int toolMain(int argc, char** argv) {
    quorrin::CheckOptions options;
    bool quiet = false, stats = false;
    std::vector<std::string> files;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--difficulty-is-rated") == 0) {
            options.difficultyIsRated = true;
        } else if (std::strcmp(argv[i], "--ordered") == 0) {
            options.ordered = true;
        } else if (std::strcmp(argv[i], "--quiet") == 0) {
            quiet = true;
        } else if (std::strcmp(argv[i], "--stats") == 0) {
            stats = true;
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            files.clear();
            break;
        } else {
            files.emplace_back(argv[i]);
        }
    }
    if (files.empty()) {
        std::fprintf(stderr,
                     "usage: qcheck [--difficulty-is-rated] [--ordered] [--quiet] [--stats] "
                     "FILE.dat...\n");
        return 2;
    }
    bool ok = true;
    for (const std::string& path : files) {
        quorrin::FileReport report = quorrin::checkCollection(path, options);
        if (!quiet || !report.ok()) std::fputs(quorrin::formatReport(report).c_str(), stdout);
        if (stats) std::fputs(quorrin::formatFigures(report).c_str(), stdout);
        ok = ok && report.ok();
    }
    return ok ? 0 : 1;
}
