#include "loop_generator.h"

#include "puzzle_figures.h"

#include <algorithm>
#include <utility>

namespace quorrin {

namespace {

// Nodes one uniqueness test may visit while clues are taken away.
constexpr long long kSearchNodeLimit = 64;

// Loops, and orders of taking clues away from each, tried for an easy or a
// symmetric puzzle (clues taken away in pairs): the sparsest is kept.
constexpr int kSparseLoops = 6;
constexpr int kSparseOrders = 16;
// Beyond so many cells the orders get fewer, down to a quarter: a large
// board's clue count varies less from order to order, and each order costs
// as many deductions as the board has cells.
constexpr int kManyCells = 400;
// Boards of fewer cells try twice as many loops: they cost little, and their
// fewest clues vary most from loop to loop.
constexpr int kSmallBoard = 64;

// Clues the hard grade tries to take away with the lookahead: so many, and
// one more per so many cells.
constexpr int kHardTries = 6;
constexpr int kHardTriesPerCell = 16;

// What a loop and its clues must look like to be used: a loop that reaches
// nearly every dot, leaves no dead patch a player would notice, and clues
// with few 0s.
constexpr double kMinCoverage = 0.85;
constexpr double kMaxDeadPatch = 0.05;
constexpr double kMaxZeros = 0.15;
// Nor may half of its clues be 3s.
constexpr double kMaxThrees = 0.5;

// The eight neighbours of a cell in circular order, starting above.
constexpr int kRingDr[8] = {-1, -1, 0, 1, 1, 1, 0, -1};
constexpr int kRingDc[8] = {0, 1, 1, 1, 0, -1, -1, -1};

// Whether a side neighbour of the cell holds a 3.
bool besideThree(const std::vector<std::int8_t>& clues, int w, int h, int cell) {
    const int r = cell / w, c = cell % w;
    const auto three = [&](int nr, int nc) {
        return nr >= 0 && nr < h && nc >= 0 && nc < w &&
               clues[static_cast<size_t>(nr * w + nc)] == 3;
    };
    return three(r - 1, c) || three(r + 1, c) || three(r, c - 1) || three(r, c + 1);
}

// The cell whose clue goes with this one's: its mirror under a turn by 180
// degrees when the layout is symmetric, else the cell itself.
int partner(int cell, int cells, bool symmetric) {
    return symmetric ? cells - 1 - cell : cell;
}

// The items in an order of the generator's random numbers.
template <typename T>
void shuffle(std::vector<T>& items, LoopRandom& rng) {
    for (size_t i = items.size(); i > 1; --i)
        std::swap(items[i - 1], items[static_cast<size_t>(rng.below(static_cast<int>(i)))]);
}

bool insideAt(const std::vector<std::uint8_t>& inside, int w, int h, int r, int c) {
    return r >= 0 && r < h && c >= 0 && c < w && inside[static_cast<size_t>(r * w + c)] != 0;
}

// Adding the cell keeps the region simply connected and free of pinch points
// when the region cells around it form one unbroken run that includes a side
// neighbour. Also counts its inside side neighbours and the squares of four
// inside cells it would complete.
bool canAdd(const std::vector<std::uint8_t>& inside, int w, int h, int r, int c, int& sides,
            int& blocks) {
    bool ring[8];
    for (int i = 0; i < 8; ++i) ring[i] = insideAt(inside, w, h, r + kRingDr[i], c + kRingDc[i]);
    int runs = 0;
    sides = 0;
    blocks = 0;
    for (int i = 0; i < 8; ++i) {
        if (ring[i] && !ring[(i + 7) % 8]) ++runs;
        if (i % 2 == 0 && ring[i]) ++sides;
        if (i % 2 == 0 && ring[i] && ring[i + 1] && ring[(i + 2) % 8]) ++blocks;
    }
    return runs == 1 && sides > 0;
}

}  // namespace

std::vector<std::uint8_t> makeLoopRegion(int w, int h, LoopRandom& rng, bool symmetric) {
    const int cells = w * h;
    std::vector<std::uint8_t> inside(static_cast<size_t>(cells), 0);
    if (cells == 0) return inside;
    // The region grows from one cell until no cell outside can join it. At
    // that point the outside is as thin as the inside: corridors one or two
    // cells wide wind through the whole board, and the outline passes by
    // nearly every dot. A cell that would fill a square of four inside cells
    // mostly stays out, which keeps the corridors narrow. A cell that could
    // not join is looked at again when a cell around it joins, since that may
    // merge the runs of its ring. A symmetric region (turned by 180 degrees
    // it is the same) grows by a cell and its mirror at once from the middle
    // of the board, which it must hold.
    std::vector<int> candidates;
    std::vector<std::uint8_t> queued(static_cast<size_t>(cells), 0);
    auto add = [&](int cell) {
        inside[static_cast<size_t>(cell)] = 1;
        const int r = cell / w, c = cell % w;
        for (int i = 0; i < 8; ++i) {
            const int nr = r + kRingDr[i], nc = c + kRingDc[i];
            if (nr < 0 || nr >= h || nc < 0 || nc >= w) continue;
            const int n = nr * w + nc;
            if (inside[static_cast<size_t>(n)] || queued[static_cast<size_t>(n)]) continue;
            queued[static_cast<size_t>(n)] = 1;
            candidates.push_back(n);
        }
    };
    if (!symmetric) {
        add(rng.below(cells));
    } else {
        // The cells around the middle of the board: one, two side by side,
        // or a square of four.
        const int r0 = (h - 1) / 2, c0 = (w - 1) / 2;
        for (int r = r0; r <= h / 2; ++r)
            for (int c = c0; c <= w / 2; ++c) add(r * w + c);
    }
    while (!candidates.empty()) {
        const size_t i = static_cast<size_t>(rng.below(static_cast<int>(candidates.size())));
        const int cell = candidates[i];
        int sides = 0, blocks = 0;
        const bool can = canAdd(inside, w, h, cell / w, cell % w, sides, blocks) &&
                         (blocks == 0 || rng.chance(1, 10));
        // Arms grow first and bays fill late: that makes winding corridors.
        if (can && !(sides == 1 || (sides == 2 && rng.chance(1, 4)) || rng.chance(1, 12))) continue;
        candidates[i] = candidates.back();
        candidates.pop_back();
        queued[static_cast<size_t>(cell)] = 0;
        if (!can) continue;
        add(cell);
        const int other = partner(cell, cells, symmetric);
        if (other == cell || inside[static_cast<size_t>(other)]) continue;
        int s = 0, b = 0;
        if (canAdd(inside, w, h, other / w, other % w, s, b)) {
            add(other);
        } else {
            inside[static_cast<size_t>(cell)] = 0;
        }
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

// The share of each clue value that a board keeps, roughly, when clues are
// taken away in the order below: about the mix of boards made by hand. 0s
// have none, so that every 0 is tried first and few stay.
struct MixGoal {
    double share[4];  // of each clue value
    double pairPush;  // how far above its goal a 3 beside a 3 counts
};
constexpr MixGoal kMixGoal{{0.0, 0.30, 0.42, 0.28}, 0.15};
// The basic rules need more clues, the fewer 3s they get: the easy grade
// keeps a few more 3s, which stays within the mix and keeps its boards from
// filling up with clues.
constexpr MixGoal kEasyMixGoal{{0.0, 0.20, 0.32, 0.48}, 0.3};
// The lookahead tries few clues, each at the cost of a lookahead over the
// whole board: there the order is fixed, 0s first, then 2s, 1s and 3s,
// which leaves the lookahead the least to do (half the time of the mix's
// order) and changes the mix by a few clues only.
constexpr MixGoal kHardOrder{{-3, -1, -2, 0}, 0.15};

// Clues taken away, a group at a time, in an order that keeps the mix near
// a goal: the next group tried is one of the value that the kept clues hold
// most too much of (a share above the goal). A 3 goes sooner when a 3 stays beside
// it: two 3s side by side are the usual opening, and a board full of them
// opens like every other.
class RemovalOrder {
  public:
    RemovalOrder(const LoopPuzzle& puzzle, std::vector<std::pair<int, int>> groups,
                 const MixGoal& goal)
        : puzzle_(puzzle), goal_(goal) {
        for (const auto& g : groups) {
            const int k = puzzle.clues[static_cast<size_t>(g.first)];
            if (k >= 0) queues_[k].push_back(g);
        }
        for (const std::int8_t k : puzzle.clues)
            if (k >= 0) ++kept_[k];
    }

    // The next group to try; false when every group has been tried.
    bool next(std::pair<int, int>& group) {
        std::vector<std::pair<int, int>>& threes = queues_[3];
        size_t pairAt = head_[3];
        while (pairAt < threes.size() && !besideThree(threes[pairAt].first) &&
               !besideThree(threes[pairAt].second))
            ++pairAt;
        int best = -1;
        double bestExcess = 0;
        const int total = kept_[0] + kept_[1] + kept_[2] + kept_[3];
        for (int k = 0; k < 4; ++k) {
            if (head_[k] == queues_[k].size()) continue;
            double excess = double(kept_[k]) / std::max(total, 1) - goal_.share[k];
            if (k == 3 && pairAt < threes.size()) excess += goal_.pairPush;
            if (best < 0 || excess > bestExcess) {
                best = k;
                bestExcess = excess;
            }
        }
        if (best < 0) return false;
        std::vector<std::pair<int, int>>& queue = queues_[best];
        if (best == 3 && pairAt < threes.size()) std::swap(threes[pairAt], threes[head_[3]]);
        group = queue[head_[best]++];
        return true;
    }

    // The group tried last, whose clues were these, was taken away.
    void taken(const std::pair<int, int>& group, int first, int second) {
        if (first >= 0) --kept_[first];
        if (second >= 0 && group.second != group.first) --kept_[second];
    }

  private:
    bool besideThree(int cell) const {
        return quorrin::besideThree(puzzle_.clues, puzzle_.width, puzzle_.height, cell);
    }

    const LoopPuzzle& puzzle_;  // the clues as they are now
    const MixGoal& goal_;
    std::vector<std::pair<int, int>> queues_[4];
    size_t head_[4] = {0, 0, 0, 0};
    int kept_[4] = {0, 0, 0, 0};
};

// Takes clues away in an order of the generator's choosing (see
// RemovalOrder) while the puzzle stays acceptable at the grade. The cheap
// rules take clues first; the costly ones then only look at the clues that
// are left.
LoopPuzzle removeClues(LoopPuzzle puzzle, const GeneratorOptions& options, LoopSolver& solver,
                       LoopRandom& rng) {
    const int cells = puzzle.width * puzzle.height;
    // Groups of cells whose clues go together.
    std::vector<std::pair<int, int>> groups;
    for (int cell = 0; cell < cells; ++cell) {
        const int other = partner(cell, cells, options.symmetric);
        if (cell <= other) groups.emplace_back(cell, other);
    }
    shuffle(groups, rng);
    const int firstLevel = std::min(options.grade, kGradeMedium);
    for (int level = firstLevel; level <= options.grade; ++level) {
        // A hard deduction costs a lookahead over the whole board: the hard
        // grade tries a share of the clues that the medium rules need, which
        // is enough to make it need the lookahead in several places.
        int tries = level == kGradeHard ? kHardTries + cells / kHardTriesPerCell : cells;
        RemovalOrder order(puzzle, groups,
                           level == kGradeHard   ? kHardOrder
                           : level == kGradeEasy ? kEasyMixGoal
                                                 : kMixGoal);
        for (std::pair<int, int> group; tries > 0 && order.next(group);) {
            const auto [a, b] = group;
            const std::int8_t ka = puzzle.clues[static_cast<size_t>(a)];
            const std::int8_t kb = puzzle.clues[static_cast<size_t>(b)];
            if (ka < 0 && kb < 0) continue;
            --tries;
            puzzle.clues[static_cast<size_t>(a)] = -1;
            puzzle.clues[static_cast<size_t>(b)] = -1;
            solver.setClues(puzzle.clues);
            if (acceptable(solver, level)) {
                order.taken(group, ka, kb);
            } else {
                puzzle.clues[static_cast<size_t>(a)] = ka;
                puzzle.clues[static_cast<size_t>(b)] = kb;
            }
        }
    }
    return puzzle;
}

// The pass above stops where no clue (no pair of clues, for a symmetric
// layout) can go by itself. Swapping one for a clue taken away beside it
// often lets another one near them go: each such swap leaves one fewer. For
// the easy grade, whose rules are cheap and need the most clues; a 0 is never
// brought back, nor a 3 beside a 3.
LoopPuzzle thinOut(LoopPuzzle puzzle, const LoopPuzzle& all, bool symmetric, LoopSolver& solver,
                   LoopRandom& rng) {
    const int w = puzzle.width, h = puzzle.height, cells = w * h;
    std::vector<std::int8_t>& k = puzzle.clues;
    const auto mirror = [&](int cell) { return partner(cell, cells, symmetric); };
    const auto show = [&](int cell, bool on) {
        for (const int i : {cell, mirror(cell)})
            k[static_cast<size_t>(i)] = on ? all.clues[static_cast<size_t>(i)] : std::int8_t{-1};
    };
    const auto solves = [&] {
        solver.setClues(k);
        return acceptable(solver, kGradeEasy);
    };
    // Another clue within two cells of (r, c), not of the group of cell
    // `added`, taken away for good when the puzzle stays solvable.
    const auto takeOneNear = [&](int r, int c, int added) {
        for (int er = std::max(0, r - 2); er <= std::min(h - 1, r + 2); ++er)
            for (int ec = std::max(0, c - 2); ec <= std::min(w - 1, c + 2); ++ec) {
                const int e = er * w + ec;
                if (k[static_cast<size_t>(e)] < 0 || e == added || e == mirror(added)) continue;
                show(e, false);
                if (solves()) return true;
                show(e, true);
            }
        return false;
    };
    for (bool fewer = true; fewer;) {
        fewer = false;
        std::vector<int> kept;
        for (int cell = 0; cell < cells; ++cell)
            if (k[static_cast<size_t>(cell)] >= 0 && cell <= mirror(cell)) kept.push_back(cell);
        shuffle(kept, rng);
        for (const int cell : kept) {
            const int r = cell / w, c = cell % w;
            for (int d = 0; d < 8 && k[static_cast<size_t>(cell)] >= 0; ++d) {
                const int dr = r + kRingDr[d], dc = c + kRingDc[d], other = dr * w + dc;
                const std::int8_t back = dr < 0 || dr >= h || dc < 0 || dc >= w
                                             ? 0
                                             : all.clues[static_cast<size_t>(other)];
                if (back == 0 || other == mirror(cell) || k[static_cast<size_t>(other)] >= 0)
                    continue;
                show(cell, false);
                if (back == 3 && besideThree(k, w, h, other)) {
                    show(cell, true);
                    continue;
                }
                show(other, true);
                if (solves() && takeOneNear(r, c, other)) {
                    fewer = true;
                    break;
                }
                show(other, false);
                show(cell, true);
            }
        }
    }
    return puzzle;
}

// The fewer clues the better, and a 0 counts as sixteen: on a small board one
// 0 fewer is worth a few more clues (a 7 x 7 symmetric easy puzzle then keeps
// one 0 instead of a pair, for three or four more clues). Beyond the look of
// a board made by hand (3s up to 35 % of the clues, 1s from 23 % and 2s from
// 33 %, two 3s side by side up to 1.5 per 100 cells, clues on up to 43 % of
// the cells) each clue or pair too many or too few counts as six: a board of
// 3s is quickly made and looks made by a machine.
// The basic rules lean on 0s the most: for the easy grade a 0 counts as 24.
int cost(const LoopPuzzle& puzzle, int grade) {
    const double zeroCost = grade == kGradeEasy ? 24 : 16;
    PuzzleFigures f;
    measureClues(puzzle, f);
    const int clues = puzzle.clueCount(), cells = puzzle.width * puzzle.height;
    const double extraThrees = std::max(0.0, f.threes - 0.35) * clues;
    const double fewOnes = std::max(0.0, 0.23 - f.ones) * clues;
    const double fewTwos = std::max(0.0, 0.33 - f.twos) * clues;
    const double extraPairs = std::max(0.0, f.threePairs - 0.015) * cells;
    const double extraClues = std::max(0.0, f.clues - 0.43) * cells;
    return clues + static_cast<int>(zeroCost * f.zeros * clues + 0.5) +
           static_cast<int>(6 * (extraThrees + fewOnes + fewTwos + extraPairs + extraClues) + 0.5);
}

}  // namespace

bool generatePuzzle(const GeneratorOptions& options, GeneratedPuzzle& out) {
    const int w = options.width, h = options.height;
    if (w < 1 || h < 1 || options.grade < kGradeEasy || options.grade > kGradeGuess) return false;
    LoopRandom rng(options.seed);
    LoopSolver solver{LoopPuzzle(w, h)};
    solver.setNodeLimit(kSearchNodeLimit);
    const bool sparse = options.grade == kGradeEasy || options.symmetric;
    const int loops = w * h < kSmallBoard ? 2 * kSparseLoops : kSparseLoops;
    const int orders =
        std::max(kSparseOrders / 4, kSparseOrders * kManyCells / std::max(w * h, kManyCells));
    int found = 0;
    for (int attempt = 1; attempt <= options.maxAttempts; ++attempt) {
        // A symmetric layout comes easiest from a symmetric loop, whose clues
        // go in pairs as freely as single clues of a free loop; but on a small
        // board its easy puzzles keep a pair of 0s, where a free loop keeps
        // one. Both kinds are tried in turn.
        const bool mirrored = options.symmetric && attempt % 2 == 1;
        const LoopSolution loop = regionOutline(w, h, makeLoopRegion(w, h, rng, mirrored));
        const LoopPuzzle all = cluesOfLoop(w, h, loop);
        const PuzzleFigures looks = measurePuzzle(all, loop);
        if (looks.coverage < kMinCoverage || looks.largestPatch > kMaxDeadPatch) continue;
        solver.setClues(all.clues);
        solver.setKnownSolution(loop);
        if (!acceptable(solver, options.grade)) continue;
        // The easy rules need many clues, and so do clues taken away in
        // pairs; how many depends much on the loop and on the order the clues
        // are taken away in: then the sparsest of several loops and orders is
        // kept, with the fewest 0s.
        LoopPuzzle puzzle = removeClues(all, options, solver, rng);
        for (int order = 1; order < (sparse ? orders : 1); ++order) {
            LoopPuzzle other = removeClues(all, options, solver, rng);
            if (cost(other, options.grade) < cost(puzzle, options.grade)) puzzle = std::move(other);
        }
        if (options.grade == kGradeEasy)
            puzzle = thinOut(std::move(puzzle), all, options.symmetric, solver, rng);
        solver.setClues(puzzle.clues);
        // The grade must be reached, not just allowed.
        if (options.grade > kGradeEasy &&
            solver.deduce(options.grade - 1) == DeduceOutcome::Solved) {
            continue;
        }
        const PuzzleFigures mix = measurePuzzle(puzzle, loop);
        if (mix.zeros > kMaxZeros || mix.threes > kMaxThrees) continue;
        if (found == 0 || cost(puzzle, options.grade) < cost(out.puzzle, options.grade)) {
            out.puzzle = puzzle;
            out.solution = loop;
            out.grade = options.grade;
            out.attempts = attempt;
        }
        if (++found == (sparse ? loops : 1)) return true;
    }
    return found > 0;
}

}  // namespace quorrin
