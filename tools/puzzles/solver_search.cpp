// The complete search of the loop solver: depth first, the lookahead and
// the rules at every node (with the region rules, solver_regions), counting
// solutions up to a limit. Edges that led to dead ends are preferred for
// branching, which finds a contradiction that needs a few guesses once, high
// up in the tree; values whose trials failed before are tried first at every
// node (see retryFailed); and a dead end that does not rest on the branches
// above it is not searched again under their other values (see dfs).
#include "solver_impl.h"

#include <algorithm>
#include <cstdlib>

namespace quorrin {

using namespace detail;

void LoopSolver::Impl::markFailed(size_t slot) {
    if (failedBefore[slot]) return;
    failedBefore[slot] = 1;
    failedSlots.push_back(static_cast<std::int32_t>(slot));
}

// A value whose trial failed somewhere in the search is far more likely to
// fail again than any other (about one trial in five, against one in a
// hundred), and a dead end below a node is mostly a chain of such failures,
// each making the next one possible. So each pass of the lookahead first
// tries those values again, the latest first, until none fails: a node that
// is a dead end is found so in a few trials instead of a whole pass. Only
// the order of the trials changes. Returns true when a trial failed and its
// edge took the other value.
bool LoopSolver::Impl::retryFailed(State& s) {
    bool changed = false;
    for (size_t k = failedSlots.size(); k-- > 0 && !s.bad && !s.closed;) {
        const size_t slot = static_cast<size_t>(failedSlots[k]);
        const int e = static_cast<int>(slot / 2);
        const std::uint8_t val = slot % 2 == 0 ? kLine : kCross;
        if (s.edge[slot / 2] != kUnknown || impliedAt[slot] == impliedStamp ||
            memoStillHolds(memo[slot]) || !worthTrying(s, e)) {
            continue;
        }
        int unknownAfter = 0;
        if (tryValue(s, e, val, unknownAfter)) changed = true;
    }
    return changed;
}

int LoopSolver::Impl::chooseEdge(const State& s) const {
    // Extend a path at one of its ends.
    for (int v = 0; v < g.dots; ++v) {
        size_t vi = static_cast<size_t>(v);
        if (s.dotLine[vi] == 1) {
            for (int e : g.dotEdges[vi]) {
                if (e >= 0 && s.edge[static_cast<size_t>(e)] == kUnknown) return e;
            }
        }
    }
    // No line yet: start at the cell with the highest open clue.
    int best = -1, bestClue = -1;
    for (int c = 0; c < g.cells; ++c) {
        int k = clues[static_cast<size_t>(c)];
        if (k <= bestClue) continue;
        for (int e : g.cellEdges[static_cast<size_t>(c)]) {
            if (s.edge[static_cast<size_t>(e)] == kUnknown) {
                best = e;
                bestClue = k;
                break;
            }
        }
    }
    if (best >= 0) return best;
    for (int e = 0; e < g.edges; ++e) {
        if (s.edge[static_cast<size_t>(e)] == kUnknown) return e;
    }
    return -1;
}

void LoopSolver::Impl::bump(int e) {
    double& a = activity[static_cast<size_t>(e)];
    a += bumpBy;
    // The edges around it share a little of the weight, so that the
    // search stays in the same place once the edge itself is decided.
    for (int v : g.edgeDots[static_cast<size_t>(e)]) {
        for (int f : g.dotEdges[static_cast<size_t>(v)]) {
            if (f >= 0 && f != e) activity[static_cast<size_t>(f)] += 0.3 * bumpBy;
        }
    }
    bumpBy *= 1.05;
    if (bumpBy > 1e100) {
        for (double& x : activity) x *= 1e-100;
        bumpBy *= 1e-100;
    }
}

// The undecided edge with the highest activity, the best lookahead score
// breaking ties; the best score alone while no edge is active.
int LoopSolver::Impl::chooseActive(const State& s) const {
    int best = bestBranch;
    double bestActivity = 0;
    long bestScore = -1;
    const bool scored = edgeScore.size() == static_cast<size_t>(g.edges);
    for (int e = 0; e < g.edges; ++e) {
        const double a = activity[static_cast<size_t>(e)];
        if (a <= 0 || a < bestActivity || s.edge[static_cast<size_t>(e)] != kUnknown) continue;
        long score = scored ? edgeScore[static_cast<size_t>(e)] : 0;
        if (a > bestActivity || score > bestScore) {
            bestActivity = a;
            bestScore = score;
            best = e;
        }
    }
    return best;
}

// Takes the memo back to what it was before the changes and trials of a
// child: the next child starts again from its parent's trials.
void LoopSolver::Impl::undoMemo(size_t memoMark, size_t changedMark, size_t logMark) {
    for (size_t i = memoUndo.size(); i-- > memoMark;) memo[memoUndo[i].first] = memoUndo[i].second;
    memoUndo.resize(memoMark);
    for (size_t i = changedUndo.size(); i-- > changedMark;) {
        changedAt[static_cast<size_t>(changedUndo[i].first)] = changedUndo[i].second;
    }
    changedUndo.resize(changedMark);
    changeLog.resize(logMark);
    ++logRound;
}

// Ends the step being made (see Step): what it rested on and the dots it
// changed are kept, and the next step starts empty.
void LoopSolver::Impl::closeStep() {
    stepLog.push_back(Step{stepDotsStart, changedDots.size(), stepReads.wide});
    stepBits.insert(stepBits.end(), stepReads.dots.begin(), stepReads.dots.end());
    std::fill(stepReads.dots.begin(), stepReads.dots.end(), 0);
    stepReads.wide = false;
    stepDotsStart = changedDots.size();
}

// Whether the step changed a fact that the reason read: a dot it changed
// is in the reason or beside a dot of it.
bool LoopSolver::Impl::stepChanged(const Step& step, const Reason& r) const {
    auto read = [&](int row, int col) {
        if (row < 0 || col < 0 || row > g.h || col > g.w) return false;
        const size_t v = static_cast<size_t>(row * (g.w + 1) + col);
        return (r.dots[v / 64] >> (v % 64) & 1u) != 0;
    };
    for (size_t i = step.dotsStart; i < step.dotsEnd; ++i) {
        const size_t v = static_cast<size_t>(g.cells + changedDots[i]);
        const int row = g.itemRow[v], col = g.itemCol[v];
        for (int dr = -1; dr <= 1; ++dr)
            for (int dc = -1; dc <= 1; ++dc)
                if (read(row + dr, col + dc)) return true;
    }
    return false;
}

// Takes into the reason, last first, the steps of the node at depth (before
// step end) whose changes it reads, with what they rested on in turn: the
// reason then rests on the board the node was reached with. Returns whether
// it took the node's first step, its branch.
bool LoopSolver::Impl::explain(size_t depth, size_t end, Reason& r) {
    const size_t first = levels[depth].stepsStart;
    bool took = false;
    for (size_t k = end; k-- > first;) {
        if (!r.wide && !stepChanged(stepLog[k], r)) continue;
        const std::uint64_t* bits = &stepBits[k * words()];
        for (size_t i = 0; i < r.dots.size(); ++i) r.dots[i] |= bits[i];
        r.wide = r.wide || stepLog[k].wide;
        took = took || k == first;
    }
    return took;
}

// The trials of the lookaheads of the node's ancestors still hold where
// nothing changed since.
//
// A subtree without a solution leaves the reason of its refutation (see
// Reason), in facts of the node's board. When that reason reads nothing the
// branch into the subtree changed, it holds on the node's board before the
// branch: the node has no solution either, and the edge's other value goes
// untried. Otherwise the node's own deductions join the reason, and when
// both values fail, the two reasons together refute the node. Going up, the
// reason passes every node whose changes it does not read: the search jumps
// back over branches that had nothing to do with the dead end, which it
// would otherwise refute again under each of their values.
void LoopSolver::Impl::dfs(size_t depth) {
    if (nodeLimit > 0 && nodes >= nodeLimit) {
        stopped = true;
        return;
    }
    ++nodes;
    if (pool.size() < depth + 2) pool.resize(depth + 2);
    if (levels.size() < depth + 2) levels.resize(depth + 2);
    State& s = pool[depth];
    bestBranch = -1;
    if (!s.bad && !s.closed) lookahead(s, true);
    deadEnd = s.bad;
    // (The lookahead closed its steps; the node's own step is closed before
    // it is reached.)
    levels[depth].stepsEnd = stepLog.size();
    levels[depth].dotsEnd = changedDots.size();
    if (depth == 1) rootLines = s.lines;
    subtreeDead = s.bad;
    if (s.bad) {
        // The last step failed: it, and the steps before that it rests on.
        deadReason = emptyReason();
        if (stepLog.size() == levels[depth].stepsStart) {  // the root's own board
            deadReason.wide = true;
            restsOnBranch = true;
            return;
        }
        const size_t last = stepLog.size() - 1;
        deadReason.dots.assign(stepBits.begin() + static_cast<std::ptrdiff_t>(last * words()),
                               stepBits.end());
        // A failure always notes what it read; were that ever missed, the
        // reason reads everything rather than nothing.
        deadReason.wide =
            stepLog[last].wide || std::all_of(deadReason.dots.begin(), deadReason.dots.end(),
                                              [](std::uint64_t w) { return w == 0; });
        restsOnBranch = last == levels[depth].stepsStart || explain(depth, last, deadReason);
        return;
    }
    if (s.closed) {
        ++count;
        if (count == 1) firstFound = s.edge;
        if (count == 1 && firstOut != nullptr) {
            firstOut->assign(static_cast<size_t>(g.edges), 0);
            for (int e = 0; e < g.edges; ++e) {
                (*firstOut)[static_cast<size_t>(e)] =
                    s.edge[static_cast<size_t>(e)] == kLine ? 1 : 0;
            }
        }
        return;
    }
    int e = chooseActive(s);
    if (e < 0 || s.edge[static_cast<size_t>(e)] != kUnknown) e = chooseEdge(s);
    if (e < 0) return;
    // The value to try first. Once a solution is known, its value: a second
    // solution mostly differs from the first in a small part of the board,
    // and it is found soonest near the first. Before that, when the edge
    // took a value in a subtree left already, which had no solution, the
    // other one. Else the value that settles more: it reaches a solution, or
    // the contradiction, in fewer guesses; line first on a tie.
    const size_t ei = static_cast<size_t>(e);
    bool crossFirst = valueGain.size() > 2 * ei + 1 && valueGain[2 * ei + 1] > valueGain[2 * ei];
    if (!firstFound.empty()) {
        crossFirst = firstFound[ei] == kCross;
    } else if (lastValue[ei] != kUnknown) {
        crossFirst = lastValue[ei] == kLine;
    }
    const size_t memoMark = memoUndo.size(), changedMark = changedUndo.size();
    const size_t logMark = changeLog.size();
    bool dead = true;
    Reason reason = emptyReason();
    for (std::uint8_t val : {kLine, kCross}) {
        if (crossFirst) val = val == kLine ? kCross : kLine;
        State& next = pool[depth + 1];
        next = pool[depth];
        changedDots.resize(levels[depth].dotsEnd);
        stepLog.resize(levels[depth].stepsEnd);
        stepBits.resize(stepLog.size() * words());
        levels[depth + 1].stepsStart = stepLog.size();
        stepDotsStart = changedDots.size();
        logging = true;
        setEdge(next, e, val);
        propagateAll(next, 2);
        logging = false;
        closeStep();
        dfs(depth + 1);
        if (count >= limit || stopped) return;
        if (deadEnd) bump(e);
        undoMemo(memoMark, changedMark, logMark);
        if (!subtreeDead) {
            dead = false;
            continue;
        }
        if (!restsOnBranch) {
            // Dead whatever the edge's value: so is this node.
            reason = deadReason;
            break;
        }
        unite(reason, deadReason);
    }
    subtreeDead = dead;
    if (!dead) return;
    restsOnBranch = explain(depth, levels[depth].stepsEnd, reason);
    deadReason = reason;
}

int LoopSolver::Impl::countSolutions(int lim, LoopSolution* first) {
    count = 0;
    limit = lim;
    nodes = 0;
    stopped = false;
    firstOut = first;
    activity.assign(static_cast<size_t>(g.edges), 0.0);
    failedSlots.clear();
    failedBefore.assign(2 * static_cast<size_t>(g.edges), 0);
    lastValue.assign(static_cast<size_t>(g.edges), kUnknown);
    firstFound.clear();
    changedDots.clear();
    stepReads = emptyReason();
    stepLog.clear();
    stepBits.clear();
    stepDotsStart = 0;
    rootLines = 0;
    if (levels.size() < 2) levels.resize(2);
    levels[1].stepsStart = 0;
    bumpBy = 1.0;
    if (first != nullptr) first->clear();
    if (pool.size() < 2) pool.resize(2);
    searching = true;
    start(pool[1], 2);
    propagateAll(pool[1], 2);
    clearMemo();
    dfs(1);
    searching = false;
    return std::min(count, limit);
}

}  // namespace quorrin
