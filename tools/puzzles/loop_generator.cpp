#include "loop_generator.h"

#include <algorithm>
#include <utility>

namespace quorrin {

namespace {

// Nodes one uniqueness test may visit while clues are taken away.
constexpr long long kSearchNodeLimit = 64;

// The eight neighbours of a cell in circular order, starting above.
constexpr int kRingDr[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
constexpr int kRingDc[8] = {0, 1, 1, 1, 0, -1, -1, -1};

bool insideAt(const std::vector<std::uint8_t>& inside, int w, int h, int r, int c) {
    return r >= 0 && r < h && c >= 0 && c < w && inside[static_cast<size_t>(r * w + c)] != 0;
}

// Adding the cell keeps the region simply connected and free of pinch points
// when the region cells around it form one unbroken run that includes a side
// neighbour.
bool canAdd(const std::vector<std::uint8_t>& inside, int w, int h, int r, int c, int& sides) {
    bool ring[8];
    for (int i = 0; i < 8; ++i) ring[i] = insideAt(inside, w, h, r + kRingDr[i], c + kRingDc[i]);
    int runs = 0;
    sides = 0;
    for (int i = 0; i < 8; ++i) {
        if (ring[i] && !ring[(i + 7) % 8]) ++runs;
        if (i % 2 == 0 && ring[i]) ++sides;
    }
    return runs == 1 && sides > 0;
}

}  // namespace

std::vector<std::uint8_t> makeLoopRegion(int w, int h, LoopRandom& rng) {
    const int cells = w * h;
    std::vector<std::uint8_t> inside(static_cast<size_t>(cells), 0);
    if (cells == 0) return inside;
    // Fill between roughly 40 and 65 percent of the board.
    int target = cells * (40 + rng.below(26)) / 100;
    if (target < 1) target = 1;
    int start = rng.below(cells);
    inside[static_cast<size_t>(start)] = 1;
    int count = 1;
    std::vector<int> frontier;
    auto addNeighbours = [&](int cell) {
        int r = cell / w, c = cell % w;
        if (r > 0) frontier.push_back(cell - w);
        if (r + 1 < h) frontier.push_back(cell + w);
        if (c > 0) frontier.push_back(cell - 1);
        if (c + 1 < w) frontier.push_back(cell + 1);
    };
    addNeighbours(start);
    long long budget = 60LL * cells + 100;
    while (count < target && !frontier.empty() && budget-- > 0) {
        size_t i = static_cast<size_t>(rng.below(static_cast<int>(frontier.size())));
        int cell = frontier[i];
        frontier[i] = frontier.back();
        frontier.pop_back();
        if (inside[static_cast<size_t>(cell)]) continue;
        int sides = 0;
        if (!canAdd(inside, w, h, cell / w, cell % w, sides)) continue;
        // Prefer growing thin arms over filling bays: that makes winding loops.
        bool take =
            sides == 1 || (sides == 2 && rng.chance(1, 4)) || (sides >= 3 && rng.chance(1, 12));
        if (!take) {
            frontier.push_back(cell);
            continue;
        }
        inside[static_cast<size_t>(cell)] = 1;
        ++count;
        addNeighbours(cell);
    }
    return inside;
}

LoopSolution regionOutline(int w, int h, const std::vector<std::uint8_t>& inside) {
    LoopSolution loop(static_cast<size_t>(edgeCount(w, h)), 0);
    for (int r = 0; r <= h; ++r) {
        for (int c = 0; c < w; ++c) {
            bool a = insideAt(inside, w, h, r - 1, c), b = insideAt(inside, w, h, r, c);
            loop[static_cast<size_t>(horizontalEdge(w, r, c))] = a != b ? 1 : 0;
        }
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c <= w; ++c) {
            bool a = insideAt(inside, w, h, r, c - 1), b = insideAt(inside, w, h, r, c);
            loop[static_cast<size_t>(verticalEdge(w, h, r, c))] = a != b ? 1 : 0;
        }
    }
    return loop;
}

LoopPuzzle cluesOfLoop(int w, int h, const LoopSolution& loop) {
    LoopPuzzle p(w, h);
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            int n = loop[static_cast<size_t>(horizontalEdge(w, r, c))] +
                    loop[static_cast<size_t>(horizontalEdge(w, r + 1, c))] +
                    loop[static_cast<size_t>(verticalEdge(w, h, r, c))] +
                    loop[static_cast<size_t>(verticalEdge(w, h, r, c + 1))];
            p.setClue(r, c, n);
        }
    }
    return p;
}

namespace {

// The puzzle is unique and needs no rule above the level.
bool acceptable(LoopSolver& solver, int level) {
    if (level <= kGradeHard) return solver.deduce(level) == DeduceOutcome::Solved;
    // Uniqueness that takes the search too long to prove is not worth the
    // wait: the clue stays.
    return solver.countSolutions(2) == 1 && !solver.searchStopped();
}

}  // namespace

bool generatePuzzle(const GeneratorOptions& options, GeneratedPuzzle& out) {
    const int w = options.width, h = options.height, cells = w * h;
    if (w < 1 || h < 1 || options.grade < kGradeEasy || options.grade > kGradeGuess) return false;
    LoopRandom rng(options.seed);
    LoopSolver solver{LoopPuzzle(w, h)};
    solver.setNodeLimit(kSearchNodeLimit);
    for (int attempt = 1; attempt <= options.maxAttempts; ++attempt) {
        std::vector<std::uint8_t> inside = makeLoopRegion(w, h, rng);
        LoopSolution loop = regionOutline(w, h, inside);
        LoopPuzzle puzzle = cluesOfLoop(w, h, loop);
        solver.setClues(puzzle.clues);
        if (!acceptable(solver, options.grade)) continue;
        // Groups of cells whose clues go together.
        std::vector<std::pair<int, int>> groups;
        for (int cell = 0; cell < cells; ++cell) {
            int mirror = cells - 1 - cell;
            if (!options.symmetric) {
                groups.emplace_back(cell, cell);
            } else if (cell <= mirror) {
                groups.emplace_back(cell, mirror);
            }
        }
        for (size_t i = groups.size(); i > 1; --i) {
            size_t j = static_cast<size_t>(rng.below(static_cast<int>(i)));
            std::swap(groups[i - 1], groups[j]);
        }
        // Take clues away with the cheap rules first; the costly ones then
        // only look at the clues that are left.
        const int firstLevel = std::min(options.grade, kGradeMedium);
        for (int level = firstLevel; level <= options.grade; ++level) {
            for (const auto& [a, b] : groups) {
                std::int8_t ka = puzzle.clues[static_cast<size_t>(a)];
                std::int8_t kb = puzzle.clues[static_cast<size_t>(b)];
                if (ka < 0 && kb < 0) continue;
                puzzle.clues[static_cast<size_t>(a)] = -1;
                puzzle.clues[static_cast<size_t>(b)] = -1;
                solver.setClues(puzzle.clues);
                if (!acceptable(solver, level)) {
                    puzzle.clues[static_cast<size_t>(a)] = ka;
                    puzzle.clues[static_cast<size_t>(b)] = kb;
                }
            }
        }
        solver.setClues(puzzle.clues);
        // The grade must be reached, not just allowed.
        if (options.grade > kGradeEasy &&
            solver.deduce(options.grade - 1) == DeduceOutcome::Solved) {
            continue;
        }
        out.puzzle = puzzle;
        out.solution = loop;
        out.grade = options.grade;
        out.attempts = attempt;
        return true;
    }
    return false;
}

}  // namespace quorrin
