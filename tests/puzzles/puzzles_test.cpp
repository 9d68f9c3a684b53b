// The puzzle tools against an obviously correct reference: every loop of a
// small board, found as the outline of each set of cells it can enclose.
// The solver's counts, deductions and grades, the generator's puzzles, the
// importer's forms, and the game's own solution check. The collection checker
// is run on good and bad files and on every shipped collection by ctest
// (CMakeLists.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "board/board.h"
#include "collection_check.h"
#include "loop_generator.h"
#include "puzzle_import.h"
#include "store/puzzle_collection.h"

namespace quorrin {
namespace {

// The outline of the cells of mask on a W x H board.
LoopSolution outlineOf(int w, int h, long mask) {
    std::vector<std::uint8_t> inside(static_cast<size_t>(w * h));
    for (int i = 0; i < w * h; ++i) inside[i] = (mask >> i) & 1;
    return regionOutline(w, h, inside);
}

// Every single loop of a W x H board: each encloses exactly one set of cells.
std::vector<LoopSolution> allLoops(int w, int h) {
    std::vector<LoopSolution> loops;
    for (long mask = 1; mask < (1L << (w * h)); ++mask) {
        LoopSolution loop = outlineOf(w, h, mask);
        if (isLoopSolution(LoopPuzzle(w, h), loop)) loops.push_back(loop);
    }
    return loops;
}

// A W x H puzzle of its clues row by row, "." for none.
LoopPuzzle puzzleOf(int w, int h, const char* rows) {
    LoopPuzzle p(w, h);
    for (int i = 0; i < w * h; ++i) p.clues[i] = std::int8_t(rows[i] == '.' ? -1 : rows[i] - '0');
    return p;
}

// A plain depth-first count of solutions, for boards too large to list all
// their loops: every edge in turn, line then cross, in the order of the dots
// row by row, so that each dot and cell is complete soon after the search
// reaches it. A branch ends at once when a clue has too many lines or can no
// longer get enough, or a dot gets a third line or is left with one; a line
// that closes a loop ends the branch with every other edge crossed, where
// the loop must hold every line and meet every clue. Nothing else: no
// lookahead, no memory of earlier branches, no regions.
class PlainSearch {
  public:
    explicit PlainSearch(const LoopPuzzle& p) : p_(p), w_(p.width), h_(p.height) {
        for (int r = 0; r <= h_; ++r)
            for (int c = 0; c <= w_; ++c) {
                if (c < w_) order_.push_back(horizontalEdge(w_, r, c));
                if (r < h_) order_.push_back(verticalEdge(w_, h_, r, c));
            }
        edge_.assign(order_.size(), kOpen);
        parent_.resize(static_cast<size_t>((w_ + 1) * (h_ + 1)));
        for (size_t v = 0; v < parent_.size(); ++v) parent_[v] = static_cast<int>(v);
        size_.assign(parent_.size(), 1);
    }

    // Solutions, counting no further than limit; -1 when the search took
    // more than budget steps before it knew (a plain search on a board of
    // a hundred cells now and then wanders for many seconds).
    int count(int limit, long long budget = -1) {
        limit_ = limit;
        found_ = 0;
        steps_ = budget;
        search(0, 0);
        return steps_ == 0 ? -1 : found_;
    }

  private:
    static constexpr int kOpen = -1;
    int dot(int r, int c) const { return r * (w_ + 1) + c; }
    // The two dots of an edge, and the cells beside it (-1 off the board).
    void ends(int e, int& a, int& b, int& c0, int& c1) const {
        const int hEdges = (h_ + 1) * w_;
        if (e < hEdges) {
            const int r = e / w_, c = e % w_;
            a = dot(r, c), b = dot(r, c + 1);
            c0 = r > 0 ? (r - 1) * w_ + c : -1;
            c1 = r < h_ ? r * w_ + c : -1;
        } else {
            const int r = (e - hEdges) / (w_ + 1), c = (e - hEdges) % (w_ + 1);
            a = dot(r, c), b = dot(r + 1, c);
            c0 = c > 0 ? r * w_ + c - 1 : -1;
            c1 = c < w_ ? r * w_ + c : -1;
        }
    }
    // Lines and open edges among some edges (-1: none).
    void counts(std::initializer_list<int> edges, int& lines, int& open) const {
        lines = open = 0;
        for (const int e : edges) {
            lines += e >= 0 && edge_[static_cast<size_t>(e)] == 1;
            open += e >= 0 && edge_[static_cast<size_t>(e)] == kOpen;
        }
    }
    void dotCounts(int v, int& lines, int& open) const {
        const int r = v / (w_ + 1), c = v % (w_ + 1);
        counts(
            {c < w_ ? horizontalEdge(w_, r, c) : -1, c > 0 ? horizontalEdge(w_, r, c - 1) : -1,
             r < h_ ? verticalEdge(w_, h_, r, c) : -1, r > 0 ? verticalEdge(w_, h_, r - 1, c) : -1},
            lines, open);
    }
    bool cellFits(int cell) const {
        if (cell < 0 || p_.clues[static_cast<size_t>(cell)] < 0) return true;
        int lines, open;
        const int r = cell / w_, c = cell % w_;
        counts({horizontalEdge(w_, r, c), horizontalEdge(w_, r + 1, c), verticalEdge(w_, h_, r, c),
                verticalEdge(w_, h_, r, c + 1)},
               lines, open);
        const int k = p_.clues[static_cast<size_t>(cell)];
        return lines <= k && lines + open >= k;
    }
    bool dotFits(int v) const {
        int lines, open;
        dotCounts(v, lines, open);
        return lines <= 2 && !(open == 0 && lines == 1);
    }
    int root(int v) const {
        while (parent_[static_cast<size_t>(v)] != v) v = parent_[static_cast<size_t>(v)];
        return v;
    }

    void search(size_t i, int lines) {
        if (found_ >= limit_ || steps_ == 0) return;
        --steps_;
        if (i == order_.size()) return;  // every edge decided and no loop closed
        const int e = order_[i];
        int a, b, c0, c1;
        ends(e, a, b, c0, c1);
        for (const int value : {1, 0}) {
            edge_[static_cast<size_t>(e)] = value;
            if (cellFits(c0) && cellFits(c1) && dotFits(a) && dotFits(b)) {
                int ra = root(a), rb = root(b);
                if (value == 1 && ra == rb) {
                    closeLoop(i, lines + 1, ra);
                } else if (value == 1) {
                    if (size_[static_cast<size_t>(ra)] > size_[static_cast<size_t>(rb)])
                        std::swap(ra, rb);
                    parent_[static_cast<size_t>(ra)] = rb;
                    size_[static_cast<size_t>(rb)] += size_[static_cast<size_t>(ra)];
                    search(i + 1, lines + 1);
                    size_[static_cast<size_t>(rb)] -= size_[static_cast<size_t>(ra)];
                    parent_[static_cast<size_t>(ra)] = ra;
                } else {
                    search(i + 1, lines);
                }
            }
            edge_[static_cast<size_t>(e)] = kOpen;
        }
    }

    // A line closed a loop: with every edge still open crossed, it must be
    // the only loop, hold every line and meet every clue.
    void closeLoop(size_t i, int lines, int loopRoot) {
        std::vector<int> crossed;
        for (size_t j = i + 1; j < order_.size(); ++j) {
            edge_[static_cast<size_t>(order_[j])] = 0;
            crossed.push_back(order_[j]);
        }
        int onLoop = 0;
        bool fits = true;
        for (int v = 0; v < (w_ + 1) * (h_ + 1) && fits; ++v) {
            int l, o;
            dotCounts(v, l, o);
            fits = l == 0 || l == 2;
            onLoop += l == 2 && root(v) == loopRoot;
        }
        for (int cell = 0; cell < w_ * h_ && fits; ++cell) fits = cellFits(cell);
        if (fits && onLoop == lines) ++found_;
        for (const int f : crossed) edge_[static_cast<size_t>(f)] = kOpen;
    }

    const LoopPuzzle& p_;
    const int w_, h_;
    std::vector<int> order_, edge_, parent_, size_;
    int limit_ = 2, found_ = 0;
    long long steps_ = -1;  // steps left; 0 stops the search, below 0 never
};

// Random clue sets, half of them taken from a real loop (now and then one
// wrong): the plain search and the complete search count what the reference
// counts, also when it stops at
// two, and its first solution is one; a deduction never contradicts a
// solvable puzzle, and a finished one is the unique solution, as a fresh
// solver's; the grade is given exactly to unique puzzles.
TEST(LoopSolver, CountsMatchReferenceOnRandomClues) {
    EXPECT_EQ(allLoops(2, 2).size(), 13u);  // 4 squares, 4 dominoes, 4 L shapes, the board
    EXPECT_FALSE(isLoopSolution(LoopPuzzle(2, 2), allLoops(2, 1)[0]));  // edges of another size
    LoopRandom rng(99);
    for (auto [w, h] : {std::pair{1, 1}, std::pair{3, 3}, std::pair{4, 3}, std::pair{3, 4},
                        std::pair{5, 2}, std::pair{6, 3}}) {
        const std::vector<LoopSolution> loops = allLoops(w, h);
        for (int trial = 0; trial < 120; ++trial) {
            LoopPuzzle p(w, h);
            const LoopPuzzle full = cluesOfLoop(w, h, loops[rng.below(int(loops.size()))]);
            for (int i = 0; i < w * h; ++i) {
                if (!rng.chance(1, 3)) continue;
                p.clues[i] =
                    trial % 2 == 0 && !rng.chance(1, 8) ? full.clues[i] : std::int8_t(rng.below(4));
            }
            std::string error;  // and dominoes of 3s whose outlines alone meet the clues
            if (trial < 2 && w == 3 && h == 3)
                importPuzzle(trial ? "3x3:c33a1b" : "3x3:33b1d", p, error);
            int expected = 0;
            for (const LoopSolution& l : loops) expected += isLoopSolution(p, l);
            ASSERT_EQ(PlainSearch(p).count(100000), expected) << p.rowsText();
            LoopSolver solver(p);
            LoopSolution first;
            ASSERT_EQ(solver.countSolutions(100000, &first), expected) << p.rowsText();
            EXPECT_TRUE(expected == 0 || isLoopSolution(p, first)) << p.rowsText();
            EXPECT_EQ(solver.countSolutions(2), std::min(expected, 2)) << p.rowsText();
            LoopSolver fresh(p);  // the searches leave no trace in the graded deductions
            for (int level = kGradeEasy; level <= kGradeHard; ++level) {
                const DeduceOutcome out = solver.deduce(level);
                ASSERT_EQ(out, fresh.deduce(level)) << p.rowsText();
                ASSERT_EQ(solver.edgeStates(), fresh.edgeStates()) << p.rowsText();
                ASSERT_TRUE(expected == 0 || out != DeduceOutcome::Contradiction) << p.rowsText();
                if (out != DeduceOutcome::Solved) continue;
                ASSERT_EQ(expected, 1) << p.rowsText() << " level " << level;
                LoopSolution edges(solver.edgeStates().size());
                for (size_t e = 0; e < edges.size(); ++e) edges[e] = solver.edgeStates()[e] == 1;
                EXPECT_TRUE(isLoopSolution(p, edges));
            }
            const LoopAnalysis a = solver.analyse();
            EXPECT_EQ(a.solutions, std::min(expected, 2));
            EXPECT_EQ(a.grade > 0, expected == 1);
            if (expected == 1) {
                EXPECT_EQ(solver.rate().family, a.grade) << p.rowsText();
            }
        }
    }
    // An empty 8 x 8 board has a great many loops: a node limit stops the count.
    LoopSolver open(LoopPuzzle(8, 8));
    open.setNodeLimit(10);
    EXPECT_LT(open.countSolutions(1000000), 1000000);
    EXPECT_TRUE(open.searchStopped());
}

// The complete search against the plain one on boards of 7 x 7 to 10 x 10:
// generated puzzles (one solution), the same with a clue taken away (often
// several) or raised by one (often none), and clues of a loop thinned at
// random. The counts up to two agree, and a first solution is one.
TEST(LoopSolver, CountsMatchPlainSearchOnLargerBoards) {
#ifdef NDEBUG
    constexpr int kTrials = 80;
#else
    constexpr int kTrials = 25;  // (unoptimized, sanitized builds are many times slower)
#endif
    LoopRandom rng(2024);
    int counted[3] = {0, 0, 0}, unknown = 0;
    for (int trial = 0; trial < kTrials; ++trial) {
        const int w = 7 + trial % 4, h = 7 + (trial / 4) % 4;
        LoopPuzzle p;
        if (trial % 5 == 4) {
            const LoopSolution loop = regionOutline(w, h, makeLoopRegion(w, h, rng));
            p = cluesOfLoop(w, h, loop);
            for (auto& k : p.clues)
                if (rng.chance(1, 2)) k = -1;
        } else {
            GeneratedPuzzle g;
            ASSERT_TRUE(generatePuzzle(
                GeneratorOptions{w, h, 1 + trial % 3, trial % 2 == 1, std::uint64_t(trial)}, g));
            p = g.puzzle;
            std::vector<int> kept;
            for (int i = 0; i < w * h; ++i)
                if (p.clues[i] >= 0) kept.push_back(i);
            std::int8_t& k = p.clues[kept[rng.below(int(kept.size()))]];
            if (trial % 5 == 1) k = -1;
            if (trial % 5 == 2) k = std::int8_t((k + 1) % 4);
        }
        const int expected = PlainSearch(p).count(2, 2'000'000);
        if (expected < 0) {
            ++unknown;
            continue;
        }
        LoopSolver solver(p);
        LoopSolution first;
        ASSERT_EQ(solver.countSolutions(2, &first), expected)
            << w << "x" << h << " " << p.rowsText();
        EXPECT_TRUE(expected == 0 || isLoopSolution(p, first)) << p.rowsText();
        ++counted[expected];
    }
    // Each answer came up, and nearly every puzzle was compared.
    EXPECT_TRUE(counted[0] > 0 && counted[1] > 0 && counted[2] > 0)
        << counted[0] << " " << counted[1] << " " << counted[2];
    EXPECT_LE(unknown * 10, kTrials);
}

// The search jumps back over branches that a dead end did not read. These
// searches jumped over solutions when a dead end's reason missed a path's far
// end, a failed walk's region or the crossed rim of a cut-off part: small
// boards, and big ones of the benchmark's file with a clue taken away.
TEST(LoopSolver, JumpsBackOverNothingADeadEndRead) {
    struct Counted {
        int w, h;
        const char* rows;
        int limit, solutions;
    };
    const Counted counted[] = {
        {7, 11, ".22..32..2...32.1..2....1213...2......1.2222202..2.31....1..32.3...22..2..2..", 2,
         2},
        {8, 8, "3.3......23....3..2122.....2.22.3.33..32..2...12.2.33.2.......20", 40, 40},
        {10, 11,
         "3...132..3.1...1........3.......23..3.22..12.12...3.1.2..2......13..1...3...2..0"
         ".12.2........23.......2...2..3",
         40, 40},
        {5, 12, ".2...2.2...2.02.3.......22......3....2.2.21..2.......3.3....", 40, 40},
    };
    for (const Counted& c : counted) {
        EXPECT_EQ(LoopSolver(puzzleOf(c.w, c.h, c.rows)).countSolutions(c.limit), c.solutions)
            << c.rows;
    }
    std::ifstream in(QUORRIN_SOURCE_DIR "/tests/puzzles/fixtures/adversarial.dat");
    std::vector<LoopPuzzle> big;
    for (std::string line; std::getline(in, line);) {
        std::istringstream fields(line);
        int difficulty = 0, h = 0, w = 0;
        char slash = 0;
        fields >> difficulty >> slash >> h >> slash >> w >> slash;
        std::string rows, row;
        while (std::getline(fields, row, '/')) rows += row;
        big.push_back(puzzleOf(w, h, rows.c_str()));
    }
    ASSERT_EQ(big.size(), 7u);
    for (auto [puzzle, row, col] :
         {std::tuple{0, 22, 25}, std::tuple{0, 32, 15}, std::tuple{3, 23, 20}}) {
        LoopPuzzle p = big[static_cast<size_t>(puzzle)];
        p.clues[static_cast<size_t>(row * p.width + col)] = -1;
        EXPECT_EQ(LoopSolver(p).countSolutions(2), 2) << puzzle << " " << row << " " << col;
    }
}

// A known solution spares trials, not deductions: clues taken away one at a
// time from random loops, at random, and at each step the lookahead told the
// loop ends as the one not told, edge for edge.
TEST(LoopSolver, KnownSolutionChangesNoDeduction) {
    LoopRandom rng(5);
    int stuck = 0;
    for (int board = 0; board < 6; ++board) {
        const int w = 6 + board, h = 10 - board;
        const LoopSolution loop = regionOutline(w, h, makeLoopRegion(w, h, rng));
        LoopPuzzle p = cluesOfLoop(w, h, loop);
        LoopSolver told(p), plain(p);
        told.setKnownSolution(loop);
        for (int left = w * h; left > 0; --left) {
            int cell = rng.below(w * h);
            while (p.clues[cell] < 0) cell = (cell + 1) % (w * h);
            p.clues[cell] = -1;
            told.setClues(p.clues);
            plain.setClues(p.clues);
            const DeduceOutcome out = told.deduce(kGradeHard);
            ASSERT_EQ(out, plain.deduce(kGradeHard)) << p.rowsText();
            ASSERT_EQ(told.edgeStates(), plain.edgeStates()) << p.rowsText();
            stuck += out == DeduceOutcome::Stuck;
        }
    }
    EXPECT_GT(stuck, 100);
}

// Random regions' outlines are single loops on every size, symmetric ones
// the same turned by 180 degrees; generated puzzles are unique with the
// generated loop as their solution, graded as asked, symmetric when asked,
// with loops that reach nearly every dot and few 0s.
TEST(LoopGenerator, PuzzlesAreUniqueAtTheirGrade) {
    LoopRandom rng(7);
    for (auto [w, h] : {std::pair{1, 1}, std::pair{1, 6}, std::pair{6, 1}, std::pair{10, 7},
                        std::pair{8, 6}, std::pair{9, 5}})
        for (int i = 0; i < 20; ++i) {
            const bool symmetric = i % 2 == 1;
            const std::vector<std::uint8_t> inside = makeLoopRegion(w, h, rng, symmetric);
            ASSERT_GT(std::count(inside.begin(), inside.end(), 1), w * h > 1 ? 1 : 0)
                << w << "x" << h;
            ASSERT_TRUE(isLoopSolution(LoopPuzzle(w, h), regionOutline(w, h, inside)));
            ASSERT_TRUE(!symmetric || std::equal(inside.begin(), inside.end(), inside.rbegin()));
        }
    for (int grade = kGradeEasy; grade <= kGradeGuess; ++grade) {
        const GeneratorOptions o{6, 5, grade, grade == kGradeMedium, 1};
        GeneratedPuzzle g;
        ASSERT_TRUE(generatePuzzle(o, g)) << grade;
        LoopSolver solver(g.puzzle);
        LoopSolution first;
        EXPECT_EQ(solver.countSolutions(5, &first), 1);
        EXPECT_EQ(first, g.solution);
        EXPECT_EQ(solver.analyse().grade, grade);
        EXPECT_EQ(solver.rate().family, grade);  // a step at a time, the same rules
        const PuzzleFigures f = measurePuzzle(g.puzzle, g.solution);
        EXPECT_TRUE(f.coverage >= 0.85 && f.largestPatch <= 0.05 && f.zeros <= 0.15) << grade;
        EXPECT_LE(f.threes, 0.5) << grade;
        EXPECT_TRUE(f.symmetric || !o.symmetric);
    }
    // The clues kept look chosen by hand: on eight 10 x 10 boards of each
    // layout, at most a third of the clues are 3s and at least a fifth are
    // 1s, a third 2s; side-by-side 3s are rare.
    for (const bool symmetric : {false, true}) {
        double mix[4] = {}, pairs = 0;
        for (std::uint64_t seed = 1; seed <= 8; ++seed) {
            GeneratedPuzzle p;
            ASSERT_TRUE(generatePuzzle(GeneratorOptions{10, 10, kGradeMedium, symmetric, seed}, p));
            const PuzzleFigures f = measurePuzzle(p.puzzle, p.solution);
            ASSERT_TRUE(f.symmetric || !symmetric);
            const double shares[4] = {f.zeros, f.ones, f.twos, f.threes};
            for (int k = 0; k < 4; ++k) mix[k] += shares[k] / 8;
            pairs += f.threePairs / 8;
        }
        EXPECT_TRUE(mix[0] <= 0.08 && mix[1] >= 0.2 && mix[2] >= 0.3 && mix[3] <= 0.35)
            << mix[0] << " " << mix[1] << " " << mix[2] << " " << mix[3];
        EXPECT_LE(pairs, 0.015);
    }
    GeneratedPuzzle g;
    EXPECT_FALSE(generatePuzzle(GeneratorOptions{10, 10, 5}, g));
}

// The rating's steps on puzzles whose solving path is known: one the basic
// rules solve, a board of 3s that needs three pair steps of one round each
// (the first is the pattern of the 3s side by side), and a medium and a hard
// puzzle of the
// generator, whose steps are counted and whose score rises with them. Then
// the difficulty and score from steps: the boundaries of each number.
TEST(LoopRating, StepsAndDifficulty) {
    const auto rate = [](int w, int h, const char* rows) {
        LoopSolver solver(puzzleOf(w, h, rows));
        EXPECT_EQ(solver.countSolutions(2), 1) << rows;
        return solver.rate();
    };
    LoopRating r = rate(6, 5, ".33...2.0.223...2...03...22..0");
    EXPECT_EQ((std::vector<int>{r.family, r.pairSteps, r.lookaheadSteps, r.difficulty, r.score}),
              (std::vector<int>{1, 0, 0, 1, 1000}));
    r = rate(5, 5, "3...33.3.3.......3.33.3.3");
    EXPECT_EQ((std::vector<int>{r.family, r.pairSteps, r.longestChain, r.difficulty, r.score}),
              (std::vector<int>{2, 3, 1, 2, 2007}));
    for (const int grade : {kGradeMedium, kGradeHard}) {
        GeneratedPuzzle g;
        ASSERT_TRUE(generatePuzzle(GeneratorOptions{12, 12, grade, false, 5}, g));
        r = LoopSolver(g.puzzle).rate();
        EXPECT_EQ(r.family, grade);
        EXPECT_GT(r.pairSteps, 0);
        EXPECT_EQ(r.lookaheadSteps + r.regionSteps > 0, grade == kGradeHard);
        EXPECT_EQ(r.score / 1000, r.difficulty);
    }
    // family, pair steps, longest chain, region steps, lookahead steps ->
    // difficulty, score.
    for (const LoopRating& row :
         {LoopRating{1, 0, 0, 0, 0, 1, 1000}, LoopRating{2, 1, 1, 0, 0, 2, 2005},
          LoopRating{2, kGentlePairSteps, kGentleChain, 0, 0, 2, 2020},
          LoopRating{2, kGentlePairSteps + 1, 1, 0, 0, 3, 3017},
          LoopRating{2, 3, kGentleChain + 1, 0, 0, 3, 3015}, LoopRating{2, 500, 2, 0, 0, 3, 3508},
          LoopRating{2, 1500, 2, 0, 0, 3, 3999}, LoopRating{3, 40, 2, 0, kFewLookaheads, 4, 4034},
          LoopRating{3, 40, 2, kFewLookaheads - 2, 2, 4, 4034},
          LoopRating{3, 40, 2, 1, kFewLookaheads, 5, 5038}, LoopRating{4, 9, 9, 9, 9, 5, 5999}}) {
        LoopRating x = row;
        x.difficulty = x.score = 0;
        rateDifficulty(x);
        EXPECT_EQ(std::pair(x.difficulty, x.score), std::pair(row.difficulty, row.score))
            << row.family << " " << row.pairSteps << " " << row.longestChain << " "
            << row.regionSteps << " " << row.lookaheadSteps;
    }
}

// What qcheck --stats measures, on a 3 x 2 board whose loop goes round the
// left column: half the dots on it, the right column dead, 0s and clues
// counted, and the clue layout turned by 180 degrees. Then the mix and the
// side-by-side 3s of a board of clues alone: a row of three 3s is two pairs,
// a column of three two more, and 3s that touch at most at a corner none.
TEST(PuzzleFigures, CoverageDeadPatchMixPairsSymmetry) {
    const LoopSolution loop = regionOutline(3, 2, {1, 0, 0, 1, 0, 0});
    LoopPuzzle p = cluesOfLoop(3, 2, loop);
    p.setClue(1, 1, -1);
    PuzzleFigures f = measurePuzzle(p, loop);
    EXPECT_EQ((std::vector<double>{f.coverage, f.largestPatch, f.zeros, f.clues}),
              (std::vector<double>{6 / 12.0, 2 / 6.0, 2 / 5.0, 5 / 6.0}));
    EXPECT_FALSE(f.symmetric);
    p.setClue(0, 1, -1);
    EXPECT_TRUE(measurePuzzle(p, loop).symmetric);
    EXPECT_EQ(measurePuzzle(p, LoopSolution(3)).coverage, 0);  // not this board's loop
    p = puzzleOf(4, 3, "333.3.2.310.");
    measureClues(p, f);
    EXPECT_EQ((std::vector<double>{f.zeros, f.ones, f.twos, f.threes, f.threePairs, f.clues}),
              (std::vector<double>{1 / 8.0, 1 / 8.0, 1 / 8.0, 5 / 8.0, 4 / 12.0, 8 / 12.0}));
    p.setClue(0, 1, -1);
    p.setClue(1, 0, -1);
    measureClues(p, f);  // the 3s left touch at most at a corner
    EXPECT_EQ(f.threePairs, 0);
    EXPECT_EQ(f.threes, 3 / 6.0);
}

// Every shipped collection looks made by hand: its loops reach nearly every
// dot (median 90 %, none below 80 %) and leave no dead patch over 5 % of a
// board; at each grade (medians) at most 8 % of the clues are 0s and 35 %
// 3s, at least 20 % are 1s and 30 % 2s, two 3s stand side by side at most
// 2.5 times per 100 cells, and at most 45 % of the cells hold a clue; no
// puzzle is more than half 3s; at least half of each collection has a
// symmetric layout. It climbs: the first holds only puzzles the basic rules
// solve, the second adds only gentle pair deductions.
TEST(ShippedCollections, LookMadeByHandAndClimb) {
    const auto median = [](std::vector<double> v) {
        std::sort(v.begin(), v.end());
        return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
    };
    for (const auto& file : std::filesystem::directory_iterator(QUORRIN_SOURCE_DIR "/puzzles")) {
        SCOPED_TRACE(file.path().string());
        const std::string name = file.path().filename().string();
        const int hardest = name.rfind("01_", 0) == 0 ? 1 : name.rfind("02_", 0) == 0 ? 2 : 5;
        std::vector<double> coverage, figure[kGradeGuess + 1][6];
        int symmetric = 0, lines = 0;
        for (const LineReport& line : checkCollection(file.path().string(), {}).lines) {
            const PuzzleFigures& f = line.figures;
            EXPECT_TRUE(f.coverage >= 0.8 && f.largestPatch <= 0.05 && f.threes <= 0.5)
                << "line " << line.index;
            EXPECT_LE(line.rating.difficulty, hardest) << "line " << line.index;
            coverage.push_back(f.coverage);
            const double values[6] = {f.zeros, f.ones, f.twos, f.threes, f.threePairs, f.clues};
            for (int i = 0; i < 6; ++i) figure[line.grade][i].push_back(values[i]);
            symmetric += f.symmetric;
            ++lines;
        }
        EXPECT_GE(median(coverage), 0.9);
        EXPECT_GE(2 * symmetric, lines);
        for (int grade = kGradeEasy; grade <= kGradeGuess; ++grade) {
            const auto& g = figure[grade];
            if (g[0].empty()) continue;
            EXPECT_TRUE(median(g[0]) <= 0.08 && median(g[1]) >= 0.2 && median(g[2]) >= 0.3 &&
                        median(g[3]) <= 0.35)
                << "grade " << grade << " mix " << median(g[0]) << " " << median(g[1]) << " "
                << median(g[2]) << " " << median(g[3]);
            EXPECT_LE(median(g[4]), 0.025) << "grade " << grade;
            EXPECT_LE(median(g[5]), 0.45) << "grade " << grade;
        }
    }
}

// The game's solution check agrees with the tools' loop check on the outline
// of every set of cells of small boards, with and without clues.
TEST(BoardSolutionCheck, AgreesWithLoopCheckOnEveryRegion) {
    for (const char* line : {"0/4/4/0..1/..1./22../....", "0/3/5/3...3/...../.2...",
                             "0/6/2/../../../../../..", "0/2/7/......./......."}) {
        PuzzleEntry entry;
        entry.parseLine(line);
        const int w = entry.width, h = entry.height;
        LoopPuzzle p(w, h);
        for (int i = 0; i < w * h; ++i)
            p.clues[i] = std::int8_t(entry.clues[i / w * (w + 1) + i % w]);
        int solved = 0;
        for (long mask = 1; mask < (1L << (w * h)); ++mask) {
            const LoopSolution loop = outlineOf(w, h, mask);
            Board b;
            b.load(entry);
            for (int r = 0; r <= h; ++r)
                for (int c = 0; c <= w; ++c) {
                    const bool right = c < w && loop[horizontalEdge(w, r, c)];
                    const bool down = r < h && loop[verticalEdge(w, h, r, c)];
                    b.setEdgeState(EdgeRef{r * (w + 1) + c, 0}, right ? Line : Empty);
                    b.setEdgeState(EdgeRef{r * (w + 1) + c, 1}, down ? Line : Cross);
                }
            const std::vector<std::uint8_t> codes = b.codes;
            ASSERT_EQ(b.isSolved(), isLoopSolution(p, loop)) << line << " mask " << mask;
            ASSERT_EQ(b.codes, codes);
            solved += isLoopSolution(p, loop);
        }
        EXPECT_GT(solved, 0) << line;
    }
}

// Both text forms, as "text=rows" (the puzzle given as rows), or "text=" for
// a refusal. URL form: 0-3 a clue, 5-8 a clue and one empty, a-d a clue and
// two empties, g-z runs of 1 to 20 empties, a trailing "/" is fine; a cell
// past the board, clue 4 written three ways, a clue of unknown value, too few
// cells, letters not in the table, sizes a collection line cannot hold, no
// body and bad numbers are refused. Game IDs: a digit a clue, a-z runs of 1
// to 26 empties, an optional grid type t0 (no other) and difficulty letter.
TEST(PuzzleImport, Table) {
    std::istringstream table(
        "https://example.org/p?loop/3/4/0123h5cg=012/3../0.2/... ?loop/4/2/d6c/=3..1/.2.. "
        "?loop/21/1/z1=....................1 ?loop/1/3/012=0/1/2 ?loop/3/4/0123h5c8= "
        "?loop/2/2/0124= ?loop/2/2/90= ?loop/2/1/8=3. "
        "?loop/3/2/e= ?loop/2/2/01.2= ?loop/2/2/012= ?loop/2/2/01235= ?loop/2/2/0f= ?loop/0/2/= "
        "?loop/63/1/z= ?loop/44/45/z= ?loop/2/2= ?loop/x/2/01= ?loop/12345/1/1= "
        "5x2t0:a1b2c3a=.1..2/...3. 2x2t0de:0123=01/23 2x2dx:0123=01/23 27x1:z0=" +
        std::string(26, '.') +
        "0 2x2t0:0124= 2x2t1:0123= 2x2t0:012= 2x2t0:0123a= 2x2t0:01-3= 2x2t0= 0x2:= 2x2q:0123= "
        "80x1:zzzb= 3x3:0z= loop=");
    for (std::string item; table >> item;) {
        const std::string text = item.substr(0, item.find('=')),
                          rows = item.substr(text.size() + 1);
        LoopPuzzle p;
        std::string error;
        EXPECT_EQ(importPuzzle(" " + text + "\t", p, error), !rows.empty()) << text;
        EXPECT_EQ(p.rowsText(), rows) << text;  // a refusal leaves the puzzle empty
        EXPECT_TRUE(std::all_of(p.clues.begin(), p.clues.end(), [](int k) { return k >= -1; }));
        EXPECT_EQ(error.empty(), !rows.empty()) << text;
    }
}

}  // namespace
}  // namespace quorrin
