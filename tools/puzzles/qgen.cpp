// qgen: makes puzzles and writes them as collection lines.
//
//   qgen --size WxH --grade G [--count N] [--seed S] [--symmetric]
//        [--difficulty D] [--verify] [--stats]
//   qgen --sort < FILE.dat
//
// Grades: 1 easy, 2 medium, 3 hard, 4 needs guessing. The difficulty field
// of each line is the puzzle's rated difficulty, 1 to 5 (LoopRating). With
// --difficulty D only puzzles rated D are written: the seeds of the others
// are passed over, so puzzle n has the first seed after puzzle n-1's that
// gives one. With --verify every puzzle is confirmed unique by the complete
// search; --stats writes to standard error the processor time taken and the
// figures of each puzzle (how much of the board its loop reaches, dead
// patches, the clue mix, side-by-side 3s, clues per cell), then the median
// time and the figures' medians.
//
// --sort reads collection lines and writes them again ordered by rising
// score, lines of one score in the order read, each with its rated
// difficulty; a line that is no unique puzzle is an error.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <numeric>
#include <string>
#include <vector>

#include "board/puzzle_entry.h"
#include "loop_generator.h"
#include "puzzle_figures.h"
#include "tool_main.h"

namespace {

// Seeds passed over for one puzzle of the difficulty asked for, at most.
constexpr int kMaxPassedOver = 500;

void usage() {
    std::fprintf(stderr,
                 "usage: qgen --size WxH --grade G [--count N] [--seed S] [--symmetric]\n"
                 "            [--difficulty D] [--verify] [--stats] [--show]\n"
                 "       qgen --sort < FILE.dat\n");
}

// "WxH" with a board size a collection line holds.
bool parseSize(const char* text, int& w, int& h) {
    char* end = nullptr;
    const long long width = std::strtoll(text, &end, 10);
    if (end == text || *end != 'x') return false;
    const char* rest = end + 1;
    const long long height = std::strtoll(rest, &end, 10);
    if (end == rest || *end != '\0' || !quorrin::lineHoldsBoard(width, height)) return false;
    w = static_cast<int>(width);
    h = static_cast<int>(height);
    return true;
}

// A collection line as qgen writes it: difficulty, height, width and rows of
// '.' and the digits 0 to 3.
bool parseLine(const std::string& line, quorrin::LoopPuzzle& p) {
    int d = 0, h = 0, w = 0, used = 0;
    if (std::sscanf(line.c_str(), "%d/%d/%d/%n", &d, &h, &w, &used) != 3 || w < 1 || h < 1 ||
        w > 62 || (w + 1) * (h + 1) > 2048)
        return false;
    p = quorrin::LoopPuzzle(w, h);
    int r = 0, c = 0;
    for (size_t i = static_cast<size_t>(used); i < line.size(); ++i) {
        const char ch = line[i];
        if (ch == '/') {
            if (c != w) return false;
            ++r;
            c = 0;
        } else if (ch == '.' || (ch >= '0' && ch <= '3')) {
            if (r >= h || c >= w) return false;
            if (ch != '.') p.setClue(r, c, ch - '0');
            ++c;
        } else if (ch != '\r' && ch != '\n') {
            return false;
        }
    }
    return r == h - 1 && c == w;
}

// The lines of standard input ordered by rising score, each with its rated
// difficulty.
int sortLines() {
    struct Rated {
        int score;
        std::string line;
    };
    std::vector<Rated> lines;
    char buf[4096];
    int number = 0;
    while (std::fgets(buf, sizeof buf, stdin) != nullptr) {
        ++number;
        quorrin::LoopPuzzle p;
        if (!parseLine(buf, p)) {
            std::fprintf(stderr, "qgen: line %d is no collection line\n", number);
            return 1;
        }
        quorrin::LoopSolver rater(p);
        if (rater.analyse().solutions != 1) {
            std::fprintf(stderr, "qgen: line %d has no unique solution\n", number);
            return 1;
        }
        const quorrin::LoopRating r = rater.rate();
        lines.push_back({r.score, std::to_string(r.difficulty) + "/" + std::to_string(p.height) +
                                      "/" + std::to_string(p.width) + "/" + p.rowsText()});
    }
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Rated& a, const Rated& b) { return a.score < b.score; });
    for (const Rated& l : lines) std::printf("%s\n", l.line.c_str());
    return 0;
}

// Draws the puzzle with its loop on standard error.
void printLoop(const quorrin::LoopPuzzle& p, const quorrin::LoopSolution& loop) {
    const int w = p.width, h = p.height;
    for (int r = 0; r <= h; ++r) {
        std::string top, mid;
        for (int c = 0; c <= w; ++c) {
            top += '+';
            if (c < w)
                top += loop[static_cast<size_t>(quorrin::horizontalEdge(w, r, c))] ? "---" : "   ";
            if (r < h) {
                mid += loop[static_cast<size_t>(quorrin::verticalEdge(w, h, r, c))] ? '|' : ' ';
                if (c < w) {
                    int k = p.clue(r, c);
                    mid += ' ';
                    mid += k < 0 ? ' ' : static_cast<char>('0' + k);
                    mid += ' ';
                }
            }
        }
        std::fprintf(stderr, "%s\n", top.c_str());
        if (r < h) std::fprintf(stderr, "%s\n", mid.c_str());
    }
}

}  // namespace

int toolMain(int argc, char** argv) {
    quorrin::GeneratorOptions options;
    int count = 1, difficulty = -1;
    bool verify = false, stats = false, show = false, sizeGiven = false;
    unsigned long long seed = 1;
    if (argc == 2 && std::strcmp(argv[1], "--sort") == 0) return sortLines();
    for (int i = 1; i < argc; ++i) {
        const char* a = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (std::strcmp(a, "--size") == 0 && value != nullptr) {
            if (!parseSize(value, options.width, options.height)) {
                std::fprintf(stderr,
                             "qgen: bad size '%s' (a collection line holds W x H cells, W "
                             "at most 62 and (W+1)x(H+1) at most 2048)\n",
                             value);
                return 2;
            }
            sizeGiven = true;
            ++i;
        } else if (std::strcmp(a, "--grade") == 0 && value != nullptr) {
            options.grade = std::atoi(value);
            ++i;
        } else if (std::strcmp(a, "--count") == 0 && value != nullptr) {
            count = std::atoi(value);
            ++i;
        } else if (std::strcmp(a, "--seed") == 0 && value != nullptr) {
            seed = std::strtoull(value, nullptr, 10);
            ++i;
        } else if (std::strcmp(a, "--difficulty") == 0 && value != nullptr) {
            difficulty = std::atoi(value);
            ++i;
        } else if (std::strcmp(a, "--symmetric") == 0) {
            options.symmetric = true;
        } else if (std::strcmp(a, "--verify") == 0) {
            verify = true;
        } else if (std::strcmp(a, "--show") == 0) {
            show = true;
        } else if (std::strcmp(a, "--stats") == 0) {
            stats = true;
        } else {
            usage();
            return 2;
        }
    }
    if (!sizeGiven || options.grade < quorrin::kGradeEasy || options.grade > quorrin::kGradeGuess ||
        count < 1) {
        usage();
        return 2;
    }
    const int w = options.width, h = options.height;
    std::vector<double> times;
    std::vector<quorrin::PuzzleFigures> figures;
    // Each puzzle has its own seed so that one can be made again alone.
    options.seed = seed;
    for (int n = 0; n < count; ++n, ++options.seed) {
        quorrin::GeneratedPuzzle result;
        quorrin::LoopRating rating;
        // Processor time, so that other work on the machine does not count.
        const std::clock_t t0 = std::clock();
        for (int passedOver = 0;; ++passedOver, ++options.seed) {
            if (passedOver == kMaxPassedOver || !quorrin::generatePuzzle(options, result)) {
                std::fprintf(stderr, "qgen: no puzzle of grade %d for seed %llu\n", options.grade,
                             static_cast<unsigned long long>(options.seed));
                return 1;
            }
            rating = quorrin::LoopSolver(result.puzzle).rate();
            if (difficulty < 0 || rating.difficulty == difficulty) break;
        }
        const double ms = 1000.0 * static_cast<double>(std::clock() - t0) / CLOCKS_PER_SEC;
        times.push_back(ms);
        if (verify) {
            quorrin::LoopAnalysis a = quorrin::analysePuzzle(result.puzzle);
            if (a.solutions != 1 || a.grade != options.grade ||
                !quorrin::isLoopSolution(result.puzzle, a.first)) {
                std::fprintf(stderr, "qgen: verification failed for seed %llu\n",
                             static_cast<unsigned long long>(options.seed));
                return 1;
            }
        }
        if (show) printLoop(result.puzzle, result.solution);
        if (stats) {
            figures.push_back(quorrin::measurePuzzle(result.puzzle, result.solution));
            std::fprintf(
                stderr,
                "seed %llu: %dx%d grade %d rated %d score %d, %d loops tried, %.1f ms, %s\n",
                static_cast<unsigned long long>(options.seed), w, h, result.grade,
                rating.difficulty, rating.score, result.attempts, ms,
                quorrin::formatFigures(figures.back()).c_str());
        }
        std::printf("%d/%d/%d/%s\n", rating.difficulty, h, w, result.puzzle.rowsText().c_str());
    }
    if (stats) {
        std::sort(times.begin(), times.end());
        std::fprintf(stderr, "median %.1f ms per puzzle, total %.1f s\n%s", times[times.size() / 2],
                     std::accumulate(times.begin(), times.end(), 0.0) / 1000,
                     quorrin::summarizeFigures(figures).c_str());
    }
    return 0;
}
