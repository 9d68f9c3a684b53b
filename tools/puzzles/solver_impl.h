// The inside of LoopSolver, shared by the files that make it up:
//   solver_geometry   the tables of one board size;
//   solver_rules      the deduction rules: counts at clues and dots, pair
//                     facts at the corners, adjacent 3s, the rules of the
//                     whole board, and their propagation queue;
//   solver_pair_tables  the pair rules of a cell's corner and of a dot's
//                     quadrant as tables made at compile time;
//   solver_lookahead  one-edge trials under the pair rules, taken back
//                     through an undo trail, and the memo that spares a
//                     trial whose surroundings did not change;
//   solver_regions    the search's rules of the regions of path ends, on the
//                     whole board and in walks after a trial;
//   solver_search     the complete search: branching, and the reasons of
//                     dead ends that let it jump back;
//   solver_rating     the solve a step at a time that rates a puzzle;
//   loop_check        the plain solution check the tests use as reference.
// One board state (State) is what every rule reads and writes; the search
// keeps one per depth.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

#include "loop_solver.h"
#include "solver_geometry.h"

namespace quorrin {
namespace detail {

constexpr std::uint8_t kUnknown = 0;
constexpr std::uint8_t kLine = 1;
constexpr std::uint8_t kCross = 2;

// Pair fact bits of quadrant q at a dot: at least one, at most one of the
// two edges of the quadrant is on the loop.
constexpr std::uint8_t atLeastBit(int q) {
    return static_cast<std::uint8_t>(1u << (2 * q));
}
constexpr std::uint8_t atMostBit(int q) {
    return static_cast<std::uint8_t>(2u << (2 * q));
}

// At corner j of a cell (0 top-left, 1 top-right, 2 bottom-right,
// 3 bottom-left): the quadrant of the dot there that holds the cell, and the
// cell's two sides that meet there (as indices into its top, right, bottom,
// left sides).
constexpr int kCornerQuadrant[4] = {2, 3, 0, 1};
constexpr int kCornerSides[4][2] = {{0, 3}, {0, 1}, {2, 1}, {2, 3}};

// Disjoint sets of the numbers 0 to n-1, each named by its root: the
// regions of path ends over the dots, and the walks that met after a trial.
struct DisjointSets {
    std::vector<std::int32_t> parent;

    // The numbers 0 to n-1, each alone.
    void reset(int n) {
        parent.resize(static_cast<size_t>(n));
        for (int v = 0; v < n; ++v) parent[static_cast<size_t>(v)] = v;
    }
    // The number i alone again, made room for if need be.
    void single(int i) {
        if (parent.size() <= static_cast<size_t>(i)) parent.resize(static_cast<size_t>(i) + 1);
        parent[static_cast<size_t>(i)] = i;
    }
    bool isRoot(int i) const { return parent[static_cast<size_t>(i)] == i; }
    // The root of i's set; the path there is halved on the way.
    int find(int v) {
        while (parent[static_cast<size_t>(v)] != v) {
            const int up = parent[static_cast<size_t>(parent[static_cast<size_t>(v)])];
            parent[static_cast<size_t>(v)] = up;
            v = up;
        }
        return v;
    }
    // The set of root joins the set of to.
    void attach(int root, int to) { parent[static_cast<size_t>(root)] = to; }
};

// What is known of a board.
struct State {
    std::vector<std::uint8_t> edge;  // kUnknown, kLine, kCross
    std::vector<std::uint8_t> cellLine, cellCross;
    std::vector<std::uint8_t> dotLine, dotCross;  // dotCross counts off-board directions
    std::vector<std::uint8_t> pair;               // pair facts per dot
    // Per dot, the states of its four edges, two bits each (see dotKey).
    std::vector<std::uint8_t> dotBits;
    std::vector<std::int32_t> mate;  // at a path end: the other end of its path
    std::vector<std::int32_t> len;   // at a path end: the path's number of edges
    int lines = 0;
    int unknown = 0;
    int closeCandidate = -1;  // an edge that would close the only path into the loop
    bool closed = false;
    bool bad = false;
};

}  // namespace detail

struct LoopSolver::Impl {
    using Geometry = detail::Geometry;
    using State = detail::State;

    // --- The puzzle and the propagation queue (solver_rules) ---

    Geometry g;
    std::vector<std::int8_t> clues;
    // Cells, then dots (at g.cells + dot), waiting for their rules to run.
    std::vector<std::int32_t> queue;
    size_t queueHead = 0;
    std::vector<std::uint8_t> inQueue;
    // The state of the graded deductions and of the rating.
    State work;

    void push(int item) {
        if (!inQueue[static_cast<size_t>(item)]) {
            inQueue[static_cast<size_t>(item)] = 1;
            queue.push_back(item);
        }
    }
    // A cell without a clue has no rule: it is not queued, but a trial notes
    // it as read all the same (see propagate), which it would be by the end
    // of any trial that does not fail.
    void pushCell(int c) {
        if (c < 0) return;
        if (clues[static_cast<size_t>(c)] >= 0) {
            push(c);
        } else if (trailing) {
            touchAt(g.itemRow[static_cast<size_t>(c)], g.itemCol[static_cast<size_t>(c)]);
            touchAt(g.itemRow[static_cast<size_t>(c)] + 1, g.itemCol[static_cast<size_t>(c)] + 1);
        }
    }
    void pushDot(int v) { push(g.cells + v); }

    // --- The undo trail of a trial (solver_lookahead) ---

    // While trailing, every change of a per-edge, per-cell or per-dot entry
    // is recorded so that the trial can be taken back.
    // The trails hold their first trail8Size and trail32Size entries.
    bool trailing = false;
    std::vector<std::pair<std::uint8_t*, std::uint8_t>> trail8;
    std::vector<std::pair<std::int32_t*, std::int32_t>> trail32;
    size_t trail8Size = 0, trail32Size = 0;

    void assign(std::uint8_t& ref, std::uint8_t v) {
        if (trailing) {
            if (trail8Size == trail8.size()) trail8.resize(2 * trail8Size + 64);
            trail8[trail8Size++] = {&ref, ref};
        }
        ref = v;
    }
    void increment(std::uint8_t& ref) { assign(ref, static_cast<std::uint8_t>(ref + 1)); }
    void assign(std::int32_t& ref, std::int32_t v) {
        if (trailing) {
            if (trail32Size == trail32.size()) trail32.resize(2 * trail32Size + 64);
            trail32[trail32Size++] = {&ref, ref};
        }
        ref = v;
    }
    // The counts of a state that a trial takes back by copy.
    struct Scalars {
        int lines, unknown, closeCandidate;
        bool closed, bad;
    };

    // --- What a trial read, and the memo of trials (solver_lookahead) ---

    // The dots a trial looked at lie in readBox (first row, first column,
    // last row, last column), unless it read the whole board (trialGlobal).
    std::array<int, 4> readBox{};
    bool trialGlobal = false;
    // Whether the trial came near a path that the loop could close with.
    bool trialNearClose = false;
    // The edges the trial set, in order.
    std::vector<std::int32_t> trialEdges;

    // While logging, the dots whose surroundings changed during a lookahead,
    // in order, and where each dot was last logged (-1: not there).
    bool logging = false;
    std::vector<std::int32_t> changeLog;
    std::vector<std::int32_t> changedAt;
    // In the search, the same dots and the far ends of the paths whose mates
    // changed, in order down the current branch (see Step).
    std::vector<std::int32_t> changedDots;

    // Result of the last trial of each edge and value that led nowhere.
    struct Memo {
        int logPos = -1;
        std::array<int, 4> box{};
        int gained = 0;
        int branchGain = 0;  // its entry in valueGain
        // The log was found clear of the box up to checkedTo, while the log
        // was in its round checkedRound (see memoStillHolds).
        int checkedTo = -1;
        std::uint32_t checkedRound = 0;
    };
    // Bumped whenever the change log is cut back: positions in it then name
    // other changes.
    std::uint32_t logRound = 1;
    std::vector<Memo> memo;
    // In the search, the old entries of memo and changedAt, so that the
    // second child of a node finds its parent's trials again (see dfs).
    std::vector<std::pair<size_t, Memo>> memoUndo;
    std::vector<std::pair<std::int32_t, std::int32_t>> changedUndo;
    // The pass and board on which a trial set each value of each edge
    // (line at 2e, cross at 2e + 1) without failing.
    std::vector<std::uint32_t> impliedAt;
    std::uint32_t impliedStamp = 0;

    // In the search: the values (slots as in memo) the last trial set, those
    // the line trial of the edge being tried set, and the ones both set.
    std::vector<std::int32_t> trialSlots, lineSlots, agreed;
    std::vector<std::uint32_t> slotMark;
    std::uint32_t slotStamp = 0;

    // Score of every edge in the last pass of the lookahead (0: not tried).
    std::vector<long> edgeScore;
    // Edges each value of each edge settled in that pass: line at 2e, cross
    // at 2e + 1 (0: not tried).
    std::vector<int> valueGain;
    // The edge whose two values each settle the most other edges.
    int bestBranch = -1;
    // A solution of the clues (1 for a line, per edge), or empty: the graded
    // lookahead tries only the values that disagree with it (see
    // setKnownSolution).
    std::vector<std::uint8_t> known;

    // What a trial read, for the memo.
    void touchAt(int r, int c) {
        readBox[0] = std::min(readBox[0], r);
        readBox[1] = std::min(readBox[1], c);
        readBox[2] = std::max(readBox[2], r);
        readBox[3] = std::max(readBox[3], c);
    }
    void touch(int v) {
        const size_t i = static_cast<size_t>(g.cells + v);
        touchAt(g.itemRow[i], g.itemCol[i]);
    }
    void logChange(int v) {
        if (searching) {
            changedUndo.emplace_back(v, changedAt[static_cast<size_t>(v)]);
            changedDots.push_back(v);
        }
        changedAt[static_cast<size_t>(v)] = static_cast<std::int32_t>(changeLog.size());
        changeLog.push_back(v);
    }

    // --- The complete search (solver_search) ---

    // The complete search also pairs path ends up region by region; the
    // graded deductions leave that rule out, so that grades stay as they are.
    bool searching = false;
    std::vector<State> pool;  // one state per depth
    int count = 0;            // solutions found
    int limit = 2;            // solutions to count at most
    long long nodes = 0;
    long long nodeLimit = 0;  // 0: none
    bool stopped = false;     // at the node limit
    LoopSolution* firstOut = nullptr;

    // The connection rule's walk (see globalRules).
    std::vector<std::uint8_t> seen;
    std::vector<std::int32_t> stack;
    // The regions of the last whole-board check (see pathEndRegions): sets
    // of dots, and per region (at its root) its path ends.
    detail::DisjointSets regions;
    std::vector<std::int32_t> regionEnds, regionEnd;
    bool regionsKnown = false;

    // The walks after a trial (see nearRegions).
    static constexpr int kWalkSteps = 512;
    struct Walk {
        int ends, end0, end1;
        int region;  // its start's region at the last whole-board check
        std::vector<std::int32_t> todo;
        size_t next;  // todo[next] is the next dot to go to
    };
    std::vector<Walk> walks;
    // A walk that met another goes on as one with it: their set's root.
    detail::DisjointSets walkSets;
    std::vector<std::int32_t> walkOf;      // the walk that reached each dot
    std::vector<std::int32_t> walksGoing;  // the walks still going, in order
    std::int32_t walkBase = 0;             // the walks of this trial are numbered above it
    // Per region, the last sharedRegion call that met it.
    std::vector<std::uint32_t> regionMark;
    std::uint32_t regionStamp = 0;

    // The values (slots as in memo) whose trials failed in this search, in
    // the order of their first failure, and whether each is there.
    std::vector<std::int32_t> failedSlots;
    std::vector<std::uint8_t> failedBefore;

    // --- Reasons of dead ends, for jumping back (solver_search) ---

    // What a refutation rests on: the dots whose facts (edges, pair facts,
    // path ends and their mates) it read, with one dot around them for the
    // facts read beside them; or more than that (wide): the whole board, or
    // a count of lines beyond what the root guarantees.
    struct Reason {
        std::vector<std::uint64_t> dots;  // a bit per dot
        bool wide = false;
    };
    size_t words() const { return static_cast<size_t>(g.dots) / 64 + 1; }
    Reason emptyReason() const { return Reason{std::vector<std::uint64_t>(words(), 0), false}; }
    static void unite(Reason& into, const Reason& r) {
        for (size_t i = 0; i < into.dots.size(); ++i) into.dots[i] |= r.dots[i];
        into.wide = into.wide || r.wide;
    }
    // What the trial being made rests on when it fails, and what the line
    // trial of the edge being tried rested on (for settleAgreed).
    std::vector<std::uint64_t> trialDots;
    bool trialWide = false;
    Reason lineReads{};
    void uniteTrial(Reason& into) const {
        for (size_t i = 0; i < into.dots.size(); ++i) into.dots[i] |= trialDots[i];
        into.wide = into.wide || trialGlobal || trialWide;
    }
    // The search's own deductions, node after node down the current
    // branch, in steps: the propagation of a branch, a failed trial with
    // what its other value set, the edges two trials agreed on, the rules of
    // the whole board at the end of a pass. Each step keeps what it rested
    // on (its bits at words() * its index in stepBits) and the part of
    // changedDots it changed. stepReads gathers what the step being made
    // rests on, and stepDotsStart is where its dots begin.
    struct Step {
        size_t dotsStart, dotsEnd;
        bool wide;
    };
    std::vector<Step> stepLog;
    std::vector<std::uint64_t> stepBits;
    Reason stepReads{};
    size_t stepDotsStart = 0;
    void closeStep();
    // In the search, a deduction notes what it rests on: in a trial in
    // trialDots, else in stepReads. Only deductions that set something or
    // fail are noted: a rule that found nothing to do is no reason.
    bool noting() const { return searching && (trailing || logging); }
    void note(int v) {
        const size_t i = static_cast<size_t>(v);
        (trailing ? trialDots : stepReads.dots)[i / 64] |= std::uint64_t{1} << (i % 64);
    }
    void readWide() { (trailing ? trialWide : stepReads.wide) = true; }
    // Per depth: the node's steps (its branch first) and where its dots
    // end in changedDots.
    struct Level {
        size_t stepsStart = 0, stepsEnd = 0, dotsEnd = 0;
    };
    std::vector<Level> levels;
    // The lines at the root once its lookahead is done. They are on every
    // node's board, so a path with fewer edges leaves a line off it there.
    int rootLines = 0;
    // Set by dfs on return: whether the subtree held no solution, for what
    // reason, and whether that reason rests on the node's own changes.
    bool subtreeDead = false;
    Reason deadReason{};
    bool restsOnBranch = true;

    // The value each edge last took in the search's own deductions (0:
    // none yet), and the first solution found (empty before): they choose
    // the value to try first (see dfs).
    std::vector<std::uint8_t> lastValue;
    std::vector<std::uint8_t> firstFound;

    // Edges whose values led straight to dead ends (see bump).
    std::vector<double> activity;
    double bumpBy = 1.0;
    bool deadEnd = false;

    // --- solver_rules ---
    void reset(State& s);
    void clearQueue();
    void checkCandidate(State& s);
    void setEdge(State& s, int e, std::uint8_t val);
    // Bounds of the lines in quadrant q of a dot from the pair's lines and
    // crosses and the dot's facts.
    static void boundsOf(int nl, int nx, std::uint8_t facts, int q, int& lo, int& hi) {
        lo = (facts & detail::atLeastBit(q)) && nl < 1 ? 1 : nl;
        hi = (facts & detail::atMostBit(q)) && nx < 1 ? 1 : 2 - nx;
    }
    // Adds the fact unless it is known (most calls): see newFact.
    void addFact(State& s, int v, int q, std::uint8_t bit) {
        if (!(s.pair[static_cast<size_t>(v)] & bit)) newFact(s, v, q, bit);
    }
    void newFact(State& s, int v, int q, std::uint8_t bit);
    void setPair(State& s, int v, int q, std::uint8_t val);
    void processCell(State& s, int c, int level);
    void processDot(State& s, int v, int level);
    unsigned dotKey(const State& s, int v) const;
    static bool pairRulesIdle(unsigned key);
    static const std::uint64_t* idleDots();
    const std::uint64_t* idleTable = nullptr;  // idleDots(), once needed
    bool propagate(State& s, int level);
    bool dominoSolves(int a, int b) const;
    void adjacentThrees(State& s);
    bool globalRules(State& s);
    int markPart(const State& s, int from, std::uint8_t mark);
    void noteCutOff(const State& s);
    bool propagateAll(State& s, int level);
    void start(State& s, int level);
    DeduceOutcome deduce(int level);

    // --- solver_lookahead ---
    bool trial(State& s, int e, std::uint8_t val, int& unknownAfter);
    bool memoStillHolds(Memo& m) const;
    void lookahead(State& s, bool keepMemo = false);
    void remember(size_t slot, bool bad, int gained);
    bool tryValue(State& s, int e, std::uint8_t val, int& unknownAfter);
    bool settleAgreed(State& s);
    void clearMemo();
    bool worthTrying(const State& s, int e) const;

    // --- solver_regions ---
    void nearRegions(State& s);
    bool sharedRegion();
    void endWalk(State& s, int walk, size_t walkCount);
    void noteWalk(int walk, size_t walkCount);
    bool pathEndRegions(State& s);
    void noteRegion(int root);

    // --- solver_search ---
    void markFailed(size_t slot);
    bool retryFailed(State& s);
    int chooseEdge(const State& s) const;
    void bump(int e);
    int chooseActive(const State& s) const;
    void undoMemo(size_t memoMark, size_t changedMark, size_t logMark);
    bool stepChanged(const Step& step, const Reason& r) const;
    bool explain(size_t depth, size_t end, Reason& r);
    void dfs(size_t depth);
    int countSolutions(int lim, LoopSolution* first);

    // --- solver_rating ---
    int pairStep(State& s, bool withThrees);
    bool lookaheadStep(State& s, int& cursor);
    LoopRating rate();
};

}  // namespace quorrin
