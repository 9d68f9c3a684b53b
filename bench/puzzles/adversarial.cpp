// adversarial: the complete search on puzzles one step away from unique ones.
//
//   adversarial FILE.dat [--positions N] [--nodes LIMIT]
//
// For every puzzle of the collection file and N clue positions spread over
// its clues, two variants are searched: the clue removed (often several
// solutions) and the clue raised by one, modulo 4 (often none). Each line
// gives the answer, the nodes visited and the time taken; a search that hit
// the node limit is marked "stopped"; the last line sums them up (total,
// median and worst time, searches over 100 ms). The exit status is 1 when a
// search stopped or a first solution was not a solution.
//
// tests/puzzles/fixtures/adversarial.dat holds seven puzzles made by qgen:
// 44x44 grade 3 seed 1, 44x44 grade 2 seed 2, 62x31 grade 2 seed 1,
// 62x31 grade 3 seed 2, 44x44 grade 3 seed 5, 62x31 grade 3 seed 6,
// 44x44 grade 2 seed 7.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "loop_solver.h"

namespace {

bool parseLine(const std::string& line, quorrin::LoopPuzzle& p) {
    int d = 0, h = 0, w = 0, used = 0;
    if (std::sscanf(line.c_str(), "%d/%d/%d/%n", &d, &h, &w, &used) != 3 || w < 1 || h < 1)
        return false;
    p = quorrin::LoopPuzzle(w, h);
    int r = 0, c = 0;
    for (size_t i = static_cast<size_t>(used); i < line.size(); ++i) {
        char ch = line[i];
        if (ch == '/') {
            ++r;
            c = 0;
            continue;
        }
        if (ch == '\r' || ch == '\n') break;
        if (r >= h || c >= w) return false;
        if (ch >= '0' && ch <= '3') p.setClue(r, c, ch - '0');
        ++c;
    }
    return r == h - 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: adversarial FILE.dat [--positions N] [--nodes LIMIT]\n");
        return 2;
    }
    int positions = 3;
    long long nodeLimit = 0;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--positions") == 0) positions = std::atoi(argv[i + 1]);
        if (std::strcmp(argv[i], "--nodes") == 0) nodeLimit = std::atoll(argv[i + 1]);
    }
    std::ifstream in(argv[1]);
    std::string line;
    int index = 0;
    std::vector<double> times;
    bool allOk = true;
    while (std::getline(in, line)) {
        quorrin::LoopPuzzle base;
        if (!parseLine(line, base)) continue;
        ++index;
        std::vector<int> clueCells;
        for (int i = 0; i < base.width * base.height; ++i) {
            if (base.clues[static_cast<size_t>(i)] >= 0) clueCells.push_back(i);
        }
        for (int k = 0; k < positions; ++k) {
            const int cell = clueCells[clueCells.size() * static_cast<size_t>(k + 1) /
                                       static_cast<size_t>(positions + 1)];
            for (int variant = 0; variant < 2; ++variant) {
                quorrin::LoopPuzzle p = base;
                std::int8_t& clue = p.clues[static_cast<size_t>(cell)];
                clue = variant == 0 ? std::int8_t{-1} : static_cast<std::int8_t>((clue + 1) % 4);
                quorrin::LoopSolver solver(p);
                solver.setNodeLimit(nodeLimit);
                quorrin::LoopSolution first;
                auto t0 = std::chrono::steady_clock::now();
                int n = solver.countSolutions(2, &first);
                double ms =
                    std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                        .count();
                times.push_back(ms);
                bool valid = n == 0 || quorrin::isLoopSolution(p, first);
                allOk = allOk && valid && !solver.searchStopped();
                std::printf("puzzle %d %dx%d cell (%d,%d) %-7s: %s%s, %lld nodes, %.1f ms%s\n",
                            index, p.width, p.height, cell / p.width, cell % p.width,
                            variant == 0 ? "removed" : "changed",
                            n == 0   ? "none"
                            : n == 1 ? "one"
                                     : "several",
                            solver.searchStopped() ? " (stopped)" : "", solver.searchNodes(), ms,
                            valid ? "" : " INVALID FIRST SOLUTION");
                std::fflush(stdout);
            }
        }
    }
    std::sort(times.begin(), times.end());
    const double total = std::accumulate(times.begin(), times.end(), 0.0);
    const auto over = std::count_if(times.begin(), times.end(), [](double t) { return t > 100; });
    std::printf("%zu searches: total %.1f ms, median %.1f ms, worst %.1f ms, %ld over 100 ms\n",
                times.size(), total, times.empty() ? 0.0 : times[times.size() / 2],
                times.empty() ? 0.0 : times.back(), static_cast<long>(over));
    return allOk ? 0 : 1;
}
