// The one-edge lookahead of the loop solver: each undecided edge near
// something known is set to each value in turn, the pair rules run, and a
// value that leads to a contradiction gives the edge the other one; in the
// search, the edges that both values set alike are set too. A trial
// is taken back through the undo trail, not by copying the board; what it
// read is noted (its box of dots), so that a later pass can reuse its result
// while nothing there has changed. The scores of the trials guide the
// search's choice of edge and of the value to try first. When a solution of
// the clues is known (the generator's loop), the graded lookahead tries only
// the values against it.
#include "solver_impl.h"

#include <algorithm>
#include <cstdlib>

namespace quorrin {

using namespace detail;

// Sets the edge, propagates under the level-2 rules, reports whether that
// led to a contradiction and how many edges are still unknown, and takes
// everything back.
bool LoopSolver::Impl::trial(State& s, int e, std::uint8_t val, int& unknownAfter) {
    const Scalars saved{s.lines, s.unknown, s.closeCandidate, s.closed, s.bad};
    readBox = {g.h + 1, g.w + 1, -1, -1};
    trialGlobal = s.closeCandidate >= 0;
    trialNearClose = trialGlobal;
    trialWide = false;
    if (searching) trialDots.assign(words(), 0);
    trailing = true;
    trialEdges.clear();
    setEdge(s, e, val);
    propagate(s, 2);
    if (searching && !s.bad) nearRegions(s);
    trailing = false;
    const bool bad = s.bad;
    unknownAfter = s.unknown;
    // The values this trial set without failing need no trial of their
    // own in this pass of the lookahead (see lookahead).
    if (searching) trialSlots.clear();
    if (!bad) {
        for (const int f : trialEdges) {
            const size_t fi = static_cast<size_t>(f);
            const size_t slot = 2 * fi + (s.edge[fi] == kLine ? 0 : 1);
            if (f == e) continue;
            impliedAt[slot] = impliedStamp;
            if (searching) trialSlots.push_back(static_cast<std::int32_t>(slot));
        }
    }
    for (size_t i = trail8Size; i-- > 0;) *trail8[i].first = trail8[i].second;
    for (size_t i = trail32Size; i-- > 0;) *trail32[i].first = trail32[i].second;
    trail8Size = 0;
    trail32Size = 0;
    s.lines = saved.lines;
    s.unknown = saved.unknown;
    s.closeCandidate = saved.closeCandidate;
    s.closed = saved.closed;
    s.bad = saved.bad;
    clearQueue();
    return bad;
}

// A trial gives the same result again when nothing it read has changed.
// The dots around what it read are looked up one by one, or the changes
// since the trial are read, whichever is shorter; changes already read on an
// earlier look are not read again.
bool LoopSolver::Impl::memoStillHolds(Memo& m) const {
    if (m.logPos < 0) return false;
    const int from = m.checkedRound == logRound && m.checkedTo > m.logPos ? m.checkedTo : m.logPos;
    const size_t since = changeLog.size() - static_cast<size_t>(from);
    if (since == 0) return true;
    const int r0 = std::max(0, m.box[0] - 1), r1 = std::min(g.h, m.box[2] + 1);
    const int c0 = std::max(0, m.box[1] - 1), c1 = std::min(g.w, m.box[3] + 1);
    if (r1 < r0 || c1 < c0) return true;
    if (static_cast<size_t>((r1 - r0 + 1) * (c1 - c0 + 1)) < since) {
        for (int r = r0; r <= r1; ++r) {
            const std::int32_t* row = &changedAt[static_cast<size_t>(r * (g.w + 1))];
            for (int c = c0; c <= c1; ++c) {
                if (row[c] >= from) return false;
            }
        }
    } else {
        const std::int16_t* rows = &g.itemRow[static_cast<size_t>(g.cells)];
        const std::int16_t* cols = &g.itemCol[static_cast<size_t>(g.cells)];
        for (size_t i = static_cast<size_t>(from); i < changeLog.size(); ++i) {
            const size_t v = static_cast<size_t>(changeLog[i]);
            const int r = rows[v], c = cols[v];
            if (r >= r0 && r <= r1 && c >= c0 && c <= c1) return false;
        }
    }
    m.checkedTo = static_cast<int>(changeLog.size());
    m.checkedRound = logRound;
    return true;
}

// One-edge lookahead under the level-2 rules.
// Also notes in bestBranch the edge whose two values each settle the most
// other edges: the best edge to branch on when the lookahead gets stuck.
// With keepMemo the trials of the previous lookahead stay usable: every
// change since then has been logged and only added to that state. The
// search runs the whole-board rules once a pass, not after every edge a
// trial settles.
void LoopSolver::Impl::lookahead(State& s, bool keepMemo) {
    if (!keepMemo || memo.size() != 2 * static_cast<size_t>(g.edges)) clearMemo();
    logging = true;
    if (impliedAt.size() != 2 * static_cast<size_t>(g.edges)) {
        impliedAt.assign(2 * static_cast<size_t>(g.edges), 0);
        impliedStamp = 0;
    }
    bool changed = true;
    while (changed && !s.bad && !s.closed) {
        changed = false;
        ++impliedStamp;
        bestBranch = -1;
        long bestScore = -1;
        edgeScore.assign(static_cast<size_t>(g.edges), 0);
        valueGain.assign(2 * static_cast<size_t>(g.edges), 0);
        // The search tries first the values that failed before.
        while (searching && retryFailed(s)) changed = true;
        for (int e = 0; e < g.edges && !s.bad && !s.closed; ++e) {
            if (s.edge[static_cast<size_t>(e)] != kUnknown) continue;
            if (!worthTrying(s, e)) continue;
            long score = 1;
            bool lineTried = false;
            for (std::uint8_t val : {kLine, kCross}) {
                const size_t slot = 2 * static_cast<size_t>(e) + (val == kLine ? 0 : 1);
                // A value of the known solution cannot fail: every rule holds
                // for every solution. Its trial would change nothing.
                if (!searching && !known.empty() &&
                    (known[static_cast<size_t>(e)] != 0) == (val == kLine))
                    continue;
                Memo& m = memo[slot];
                if (memoStillHolds(m)) {
                    score *= 1 + m.gained;
                    valueGain[slot] = m.branchGain;
                    continue;
                }
                // A value that an earlier trial of this pass set without
                // failing, on the same board, cannot fail: what it leads to
                // is part of what that trial led to. It goes untried; in
                // the search its edge scores as if that value settled
                // nothing.
                if (impliedAt[slot] == impliedStamp) continue;
                int unknownAfter = 0;
                if (tryValue(s, e, val, unknownAfter)) {
                    changed = true;
                    score = -1;
                    break;
                }
                score *= 1 + s.unknown - unknownAfter;
                if (searching && val == kLine) {
                    lineSlots.swap(trialSlots);
                    lineReads.dots.swap(trialDots);  // (the next trial clears trialDots)
                    lineReads.wide = trialGlobal || trialWide;
                    lineTried = true;
                } else if (searching && lineTried && settleAgreed(s)) {
                    changed = true;
                }
                // What a trial settles while the loop can close, or near a path
                // it could close with, is no guide to the value to try first.
                valueGain[slot] = trialGlobal || trialNearClose ? 0 : s.unknown - unknownAfter;
            }
            edgeScore[static_cast<size_t>(e)] = score;
            if (score > bestScore) {
                bestScore = score;
                bestBranch = e;
            }
        }
        if (searching && changed && !s.bad) {
            propagateAll(s, 2);
            closeStep();
        }
    }
    logging = false;
}

// Tries value val of edge e and notes the result (see remember). When the
// trial fails, the edge takes the other value and the rules run: returns
// true then.
bool LoopSolver::Impl::tryValue(State& s, int e, std::uint8_t val, int& unknownAfter) {
    const bool bad = trial(s, e, val, unknownAfter);
    remember(2 * static_cast<size_t>(e) + (val == kLine ? 0 : 1), bad, s.unknown - unknownAfter);
    if (!bad) return false;
    // The other value rests on what the failed trial read.
    if (searching) uniteTrial(stepReads);
    ++impliedStamp;
    setEdge(s, e, val == kLine ? kCross : kLine);
    if (searching) {
        propagate(s, 2);
        closeStep();
    } else {
        propagateAll(s, 2);
    }
    return true;
}

// In the search, after both values of an edge were tried in a row without
// failing: the other edges that both trials set alike have that value in
// every solution, so they are set. Returns true when any was.
bool LoopSolver::Impl::settleAgreed(State& s) {
    if (slotMark.size() != 2 * static_cast<size_t>(g.edges)) {
        slotMark.assign(2 * static_cast<size_t>(g.edges), 0);
        slotStamp = 0;
    }
    ++slotStamp;
    for (const int slot : lineSlots) slotMark[static_cast<size_t>(slot)] = slotStamp;
    agreed.clear();
    for (const int slot : trialSlots) {
        if (slotMark[static_cast<size_t>(slot)] == slotStamp) agreed.push_back(slot);
    }
    if (agreed.empty()) return false;
    // They rest on what both trials read.
    unite(stepReads, lineReads);
    uniteTrial(stepReads);
    ++impliedStamp;
    for (const int slot : agreed) setEdge(s, slot / 2, slot % 2 == 0 ? kLine : kCross);
    propagate(s, 2);
    closeStep();
    return true;
}

// Notes the result of the trial just made of a value (slot as in memo).
void LoopSolver::Impl::remember(size_t slot, bool bad, int gained) {
    Memo& m = memo[slot];
    if (searching) memoUndo.emplace_back(slot, m);
    m.logPos = -1;
    if (!bad && !trialGlobal) {
        m.logPos = static_cast<int>(changeLog.size());
        m.box = readBox;
        m.gained = gained;
        m.branchGain = trialNearClose ? 0 : m.gained;
    }
    if (bad && searching) markFailed(slot);
}

void LoopSolver::Impl::clearMemo() {
    memo.assign(2 * static_cast<size_t>(g.edges), Memo{});
    changeLog.clear();
    ++logRound;
    changedAt.assign(static_cast<size_t>(g.dots), -1);
    memoUndo.clear();
    changedUndo.clear();
}

// Edges next to nothing known lead nowhere in one step; skip them.
bool LoopSolver::Impl::worthTrying(const State& s, int e) const {
    size_t ei = static_cast<size_t>(e);
    for (int v : g.edgeDots[ei]) {
        size_t vi = static_cast<size_t>(v);
        if (s.dotLine[vi] > 0 || s.dotCross[vi] > g.offBoard[vi] || s.pair[vi] != 0) {
            return true;
        }
    }
    for (int c : g.edgeCells[ei]) {
        if (c >= 0 && clues[static_cast<size_t>(c)] >= 0) return true;
    }
    return false;
}

}  // namespace quorrin
