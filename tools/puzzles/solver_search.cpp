// The complete search of the loop solver: depth first, the lookahead and
// the rules at every node, counting solutions up to a limit. Besides the
// rules it uses the regions of path ends: the dots not yet full, joined by
// undecided edges, must each hold an even number of path ends, and the walks
// after a trial apply that rule near what the trial changed. Edges that led
// to dead ends are preferred for branching, which finds a contradiction that
// needs a few guesses once, high up in the tree; and values whose trials
// failed before are tried first at every node (see retryFailed).
#include "solver_impl.h"

#include <algorithm>
#include <cstdlib>

namespace quorrin {

using namespace detail;

void LoopSolver::Impl::nearRegions(State& s) {
    if (walkOf.size() != static_cast<size_t>(g.dots) || walkBase > (1 << 30)) {
        walkOf.assign(static_cast<size_t>(g.dots), -1);
        walkBase = 0;
    }
    size_t active = 0;
    auto reach = [&](int walk, int v) {
        walkOf[static_cast<size_t>(v)] = walkBase + walk;
        walks[static_cast<size_t>(walk)].todo.push_back(v);
    };
    auto begin = [&](int v) {
        const size_t vi = static_cast<size_t>(v);
        if (s.dotLine[vi] >= 2 || walkOf[vi] >= walkBase) return;
        if (walks.size() <= active) walks.emplace_back();
        Walk& w = walks[active];
        walkSets.single(static_cast<int>(active));
        w.region = regionsKnown ? regions.find(v) : 0;
        w.ends = 0;
        w.end0 = w.end1 = -1;
        w.todo.clear();
        reach(static_cast<int>(active++), v);
    };
    for (const int te : trialEdges)
        for (const int v : g.edgeDots[static_cast<size_t>(te)]) {
            begin(v);
            if (s.dotLine[static_cast<size_t>(v)] < 2) continue;
            for (int e : g.dotEdges[static_cast<size_t>(v)]) {
                if (e < 0) continue;
                const auto& de = g.edgeDots[static_cast<size_t>(e)];
                begin(de[0] == v ? de[1] : de[0]);
            }
        }
    const size_t walkCount = active;
    // Walks that met another or saw their whole region drop out of going
    // after each round.
    walksGoing.clear();
    for (size_t i = 0; i < walkCount; ++i) walksGoing.push_back(static_cast<std::int32_t>(i));
    int steps = 0;
    while (active > 1 && steps < kWalkSteps && !s.bad && sharedRegion()) {
        for (size_t k = 0; k < walksGoing.size() && active > 1 && !s.bad; ++k) {
            const size_t i = static_cast<size_t>(walksGoing[k]);
            Walk& w = walks[i];
            if (!walkSets.isRoot(static_cast<int>(i)) || w.ends < 0) continue;
            if (w.todo.empty()) {
                // The whole region: check it, then leave it.
                endWalk(s, w);
                w.ends = -1;
                --active;
                continue;
            }
            const int v = w.todo.back();
            w.todo.pop_back();
            ++steps;
            touch(v);
            if (s.dotLine[static_cast<size_t>(v)] == 1) {
                ++w.ends;
                (w.end0 < 0 ? w.end0 : w.end1) = v;
            }
            for (int e : g.dotEdges[static_cast<size_t>(v)]) {
                if (e < 0 || s.edge[static_cast<size_t>(e)] != kUnknown) continue;
                const auto& de = g.edgeDots[static_cast<size_t>(e)];
                const int u = de[0] == v ? de[1] : de[0];
                const size_t ui = static_cast<size_t>(u);
                if (s.dotLine[ui] >= 2) continue;
                if (walkOf[ui] < walkBase) {
                    reach(static_cast<int>(i), u);
                    continue;
                }
                if (walkOf[ui] == walkBase + static_cast<std::int32_t>(i)) continue;
                const int other = walkSets.find(walkOf[ui] - walkBase);
                if (other == static_cast<int>(i)) continue;
                // The two walks are in one region: this one takes the other's
                // dots still to do and its path ends.
                Walk& o = walks[static_cast<size_t>(other)];
                walkSets.attach(other, static_cast<int>(i));
                for (int x : {o.end0, o.end1}) {
                    if (x >= 0) (w.end0 < 0 ? w.end0 : w.end1) = x;
                }
                w.ends += o.ends;
                w.todo.insert(w.todo.end(), o.todo.begin(), o.todo.end());
                --active;
            }
        }
        walksGoing.erase(std::remove_if(walksGoing.begin(), walksGoing.end(),
                                        [&](std::int32_t i) {
                                            const Walk& w = walks[static_cast<size_t>(i)];
                                            return !walkSets.isRoot(i) || w.ends < 0;
                                        }),
                         walksGoing.end());
    }
    walkBase += static_cast<std::int32_t>(walkCount);
}

// Whether two walks still going started in one region of the last
// whole-board check. A trial keeps the number of path ends of each such
// region even (a line it sets joins two dots of one region), so a walk
// alone in its region may stop as the last walk of all does.
bool LoopSolver::Impl::sharedRegion() const {
    for (size_t a = 0; a < walksGoing.size(); ++a) {
        const Walk& x = walks[static_cast<size_t>(walksGoing[a])];
        for (size_t b = a + 1; b < walksGoing.size(); ++b) {
            if (walks[static_cast<size_t>(walksGoing[b])].region == x.region) return true;
        }
    }
    return false;
}

// A whole region after a trial: an even number of path ends, and not
// just the two ends of a path without every line.
void LoopSolver::Impl::endWalk(State& s, const Walk& w) {
    if (w.ends % 2 != 0) {
        s.bad = true;
        return;
    }
    if (w.ends != 2) return;
    // Whether the two ends close one path depends on their mates and on
    // the number of lines.
    touch(s.mate[static_cast<size_t>(w.end0)]);
    touch(s.mate[static_cast<size_t>(w.end1)]);
    if (s.mate[static_cast<size_t>(w.end0)] != w.end1) return;
    if (s.len[static_cast<size_t>(w.end0)] != s.lines) {
        s.bad = true;
    } else {
        trialGlobal = true;
    }
}

// A path end can only go on through undecided edges and dots that no
// line touches yet, until it meets another path end. So the dots that
// are not full, joined by the undecided edges between them, fall into
// regions each holding an even number of path ends; and a region whose
// only two ends belong to one path closes that path, which must then
// hold every line.
void LoopSolver::Impl::pathEndRegions(State& s) {
    regions.reset(g.dots);
    for (int e = 0; e < g.edges; ++e) {
        if (s.edge[static_cast<size_t>(e)] != kUnknown) continue;
        const auto& ends = g.edgeDots[static_cast<size_t>(e)];
        if (s.dotLine[static_cast<size_t>(ends[0])] >= 2 ||
            s.dotLine[static_cast<size_t>(ends[1])] >= 2) {
            continue;
        }
        int a = regions.find(ends[0]), b = regions.find(ends[1]);
        if (a != b) regions.attach(a, b);
    }
    regionEnds.assign(static_cast<size_t>(g.dots), 0);
    regionEnd.assign(static_cast<size_t>(g.dots), -1);
    for (int v = 0; v < g.dots; ++v) {
        if (s.dotLine[static_cast<size_t>(v)] != 1) continue;
        size_t r = static_cast<size_t>(regions.find(v));
        ++regionEnds[r];
        regionEnd[r] = v;
    }
    for (int v = 0; v < g.dots; ++v) {
        if (s.dotLine[static_cast<size_t>(v)] != 1) continue;
        size_t r = static_cast<size_t>(regions.find(v));
        if (regionEnds[r] % 2 != 0) {
            s.bad = true;
            return;
        }
        if (regionEnds[r] == 2 && regionEnd[r] != v &&
            s.mate[static_cast<size_t>(v)] == regionEnd[r] &&
            s.len[static_cast<size_t>(v)] != s.lines) {
            s.bad = true;
            return;
        }
    }
    regionsKnown = true;
}

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
}

// The trials of the lookaheads of the node's ancestors still hold where
// nothing changed since.
void LoopSolver::Impl::dfs(size_t depth) {
    if (nodeLimit > 0 && nodes >= nodeLimit) {
        stopped = true;
        return;
    }
    ++nodes;
    if (pool.size() < depth + 2) pool.resize(depth + 2);
    State& s = pool[depth];
    bestBranch = -1;
    if (!s.bad && !s.closed) lookahead(s, true);
    deadEnd = s.bad;
    if (s.bad) return;
    if (s.closed) {
        ++count;
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
    // The value that settles more goes first: it reaches a solution, or
    // the contradiction, in fewer guesses. Line first on a tie.
    const size_t ei = static_cast<size_t>(e);
    const bool crossFirst =
        valueGain.size() > 2 * ei + 1 && valueGain[2 * ei + 1] > valueGain[2 * ei];
    const size_t memoMark = memoUndo.size(), changedMark = changedUndo.size();
    const size_t logMark = changeLog.size();
    for (std::uint8_t val : {kLine, kCross}) {
        if (crossFirst) val = val == kLine ? kCross : kLine;
        State& next = pool[depth + 1];
        next = pool[depth];
        logging = true;
        setEdge(next, e, val);
        propagateAll(next, 2);
        logging = false;
        dfs(depth + 1);
        if (count >= limit || stopped) return;
        if (deadEnd) bump(e);
        undoMemo(memoMark, changedMark, logMark);
    }
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
