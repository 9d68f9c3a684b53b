// The puzzle's text form and the plain solution check: every clue met, every
// dot with no line or two, and one walk along the lines visiting them all.
// It shares nothing with the solver, so that the tests can hold the solver's
// answers against it.
#include <string>
#include <vector>

#include "loop_solver.h"

namespace quorrin {

int LoopPuzzle::clueCount() const {
    int n = 0;
    for (std::int8_t c : clues) n += c >= 0 ? 1 : 0;
    return n;
}

std::string LoopPuzzle::rowsText() const {
    std::string out;
    for (int r = 0; r < height; ++r) {
        if (r > 0) out.push_back('/');
        for (int c = 0; c < width; ++c) {
            int v = clue(r, c);
            out.push_back(v < 0 ? '.' : static_cast<char>('0' + v));
        }
    }
    return out;
}

bool isLoopSolution(const LoopPuzzle& p, const LoopSolution& edges) {
    const int w = p.width, h = p.height;
    if (w < 1 || h < 1 || static_cast<int>(edges.size()) != edgeCount(w, h)) return false;
    auto on = [&](int e) { return edges[static_cast<size_t>(e)] != 0; };
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            int k = p.clue(r, c);
            if (k < 0) continue;
            int n =
                (on(horizontalEdge(w, r, c)) ? 1 : 0) + (on(horizontalEdge(w, r + 1, c)) ? 1 : 0) +
                (on(verticalEdge(w, h, r, c)) ? 1 : 0) + (on(verticalEdge(w, h, r, c + 1)) ? 1 : 0);
            if (n != k) return false;
        }
    }
    // Every dot has 0 or 2 lines, and walking from one line visits them all.
    std::vector<std::vector<int>> adj(static_cast<size_t>((w + 1) * (h + 1)));
    int total = 0, startDot = -1;
    for (int r = 0; r <= h; ++r) {
        for (int c = 0; c <= w; ++c) {
            int v = r * (w + 1) + c;
            if (c < w && on(horizontalEdge(w, r, c))) {
                adj[static_cast<size_t>(v)].push_back(v + 1);
                adj[static_cast<size_t>(v + 1)].push_back(v);
                ++total;
                startDot = v;
            }
            if (r < h && on(verticalEdge(w, h, r, c))) {
                adj[static_cast<size_t>(v)].push_back(v + w + 1);
                adj[static_cast<size_t>(v + w + 1)].push_back(v);
                ++total;
                startDot = v;
            }
        }
    }
    if (total == 0) return false;
    for (const auto& a : adj) {
        if (!a.empty() && a.size() != 2) return false;
    }
    int prev = -1, cur = startDot, steps = 0;
    do {
        const auto& a = adj[static_cast<size_t>(cur)];
        int next = a[0] != prev ? a[0] : a[1];
        prev = cur;
        cur = next;
        ++steps;
    } while (cur != startDot && steps <= total);
    return steps == total;
}

}  // namespace quorrin
