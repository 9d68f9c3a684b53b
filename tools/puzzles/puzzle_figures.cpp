#include "puzzle_figures.h"

#include <algorithm>
#include <cstdio>
#include <functional>

namespace quorrin {

PuzzleFigures measurePuzzle(const LoopPuzzle& p, const LoopSolution& loop) {
    const int w = p.width, h = p.height, cells = w * h;
    PuzzleFigures f;
    if (cells <= 0 || loop.size() != static_cast<size_t>(edgeCount(w, h))) return f;
    const auto on = [&loop](int edge) { return loop[static_cast<size_t>(edge)] != 0; };
    int dots = 0;
    for (int r = 0; r <= h; ++r)
        for (int c = 0; c <= w; ++c)
            dots += (c < w && on(horizontalEdge(w, r, c))) ||
                    (c > 0 && on(horizontalEdge(w, r, c - 1))) ||
                    (r < h && on(verticalEdge(w, h, r, c))) ||
                    (r > 0 && on(verticalEdge(w, h, r - 1, c)));
    f.coverage = double(dots) / ((w + 1) * (h + 1));
    // Dead cells, and the largest group of them by a flood over shared sides.
    std::vector<int> dead(static_cast<size_t>(cells));
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            dead[static_cast<size_t>(r * w + c)] =
                !on(horizontalEdge(w, r, c)) && !on(horizontalEdge(w, r + 1, c)) &&
                !on(verticalEdge(w, h, r, c)) && !on(verticalEdge(w, h, r, c + 1));
    int largest = 0;
    std::vector<int> stack;
    for (int start = 0; start < cells; ++start) {
        if (dead[static_cast<size_t>(start)] != 1) continue;
        int size = 0;
        stack.assign(1, start);
        dead[static_cast<size_t>(start)] = 2;
        while (!stack.empty()) {
            const int cell = stack.back(), r = cell / w, c = cell % w;
            stack.pop_back();
            ++size;
            const int next[4] = {r > 0 ? cell - w : -1, r + 1 < h ? cell + w : -1,
                                 c > 0 ? cell - 1 : -1, c + 1 < w ? cell + 1 : -1};
            for (const int n : next) {
                if (n < 0 || dead[static_cast<size_t>(n)] != 1) continue;
                dead[static_cast<size_t>(n)] = 2;
                stack.push_back(n);
            }
        }
        largest = std::max(largest, size);
    }
    f.largestPatch = double(largest) / cells;
    measureClues(p, f);
    return f;
}

void measureClues(const LoopPuzzle& p, PuzzleFigures& f) {
    const int w = p.width, h = p.height, cells = w * h;
    if (cells <= 0 || p.clues.size() != static_cast<size_t>(cells)) return;
    int clues = 0, pairs = 0, of[4] = {0, 0, 0, 0};
    f.symmetric = true;
    for (int i = 0; i < cells; ++i) {
        const int k = p.clues[static_cast<size_t>(i)];
        if (k >= 0 && k <= 3) {
            ++clues;
            ++of[k];
        }
        f.symmetric = f.symmetric && (k >= 0) == (p.clues[static_cast<size_t>(cells - 1 - i)] >= 0);
        if (k != 3) continue;
        pairs += i % w + 1 < w && p.clues[static_cast<size_t>(i + 1)] == 3;
        pairs += i + w < cells && p.clues[static_cast<size_t>(i + w)] == 3;
    }
    const double n = clues > 0 ? clues : 1;
    f.zeros = of[0] / n;
    f.ones = of[1] / n;
    f.twos = of[2] / n;
    f.threes = of[3] / n;
    f.threePairs = double(pairs) / cells;
    f.clues = double(clues) / cells;
}

std::string formatFigures(const PuzzleFigures& f) {
    char text[200];
    std::snprintf(text, sizeof text,
                  "coverage %3.0f %%, largest dead patch %3.0f %%, clues %3.0f %%, "
                  "mix 0/1/2/3 %.0f/%.0f/%.0f/%.0f %%, 3-pairs %.1f per 100 cells%s",
                  100 * f.coverage, 100 * f.largestPatch, 100 * f.clues, 100 * f.zeros,
                  100 * f.ones, 100 * f.twos, 100 * f.threes, 100 * f.threePairs,
                  f.symmetric ? ", symmetric" : "");
    return text;
}

std::string summarizeFigures(const std::vector<PuzzleFigures>& all) {
    if (all.empty()) return "no puzzles measured\n";
    std::string out;
    const auto row = [&](const char* name, const std::function<double(const PuzzleFigures&)>& of,
                         const char* unit = "%") {
        std::vector<double> v;
        for (const PuzzleFigures& f : all) v.push_back(100 * of(f));
        std::sort(v.begin(), v.end());
        const double median =
            v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
        char line[160];
        std::snprintf(line, sizeof line, "  %-20s median %5.1f %s, min %5.1f %s, max %5.1f %s\n",
                      name, median, unit, v.front(), unit, v.back(), unit);
        out += line;
    };
    row("coverage", [](const PuzzleFigures& f) { return f.coverage; });
    row("largest dead patch", [](const PuzzleFigures& f) { return f.largestPatch; });
    row("zeros among clues", [](const PuzzleFigures& f) { return f.zeros; });
    row("ones among clues", [](const PuzzleFigures& f) { return f.ones; });
    row("twos among clues", [](const PuzzleFigures& f) { return f.twos; });
    row("threes among clues", [](const PuzzleFigures& f) { return f.threes; });
    row(
        "side-by-side 3s", [](const PuzzleFigures& f) { return f.threePairs; }, "per 100 cells");
    row("clues per cell", [](const PuzzleFigures& f) { return f.clues; });
    const auto symmetric =
        std::count_if(all.begin(), all.end(), [](const PuzzleFigures& f) { return f.symmetric; });
    out += "  symmetric clue layout " + std::to_string(symmetric) + " of " +
           std::to_string(all.size()) + "\n";
    return out;
}

}  // namespace quorrin
