// The rating of the loop solver: the puzzle solved a step at a time,
// simplest rules first, counting how often each family of rules had to help
// (see LoopRating).
#include "solver_impl.h"

#include <algorithm>

namespace quorrin {

using namespace detail;

// One step of pair reasoning after the basic rules got stuck: every cell
// and dot looked at again under the pair rules (the first time with the
// adjacent 3s), round by round, until an edge is decided. Returns the
// round in which that happened, 0 when none was.
int LoopSolver::Impl::pairStep(State& s, bool withThrees) {
    const int before = s.unknown;
    if (withThrees) {
        adjacentThrees(s);
        if (s.unknown != before || s.bad) return 1;
    }
    for (int c = 0; c < g.cells; ++c) pushCell(c);
    for (int v = 0; v < g.dots; ++v) pushDot(v);
    int round = 1;
    size_t roundEnd = queue.size();
    while (queueHead < queue.size() && !s.bad) {
        if (queueHead == roundEnd) {
            ++round;
            roundEnd = queue.size();
        }
        const int item = queue[queueHead++];
        inQueue[static_cast<size_t>(item)] = 0;
        if (item < g.cells) {
            processCell(s, item, 2);
        } else {
            processDot(s, item - g.cells, 2);
        }
        if (s.unknown != before) return round;
    }
    clearQueue();
    return s.bad ? round : 0;
}

// One step of the lookahead: the first edge, from the cursor on round
// the board, one of whose values fails under the pair rules takes the
// other. False when no edge does.
bool LoopSolver::Impl::lookaheadStep(State& s, int& cursor) {
    if (impliedAt.size() != 2 * static_cast<size_t>(g.edges)) {
        impliedAt.assign(2 * static_cast<size_t>(g.edges), 0);
        impliedStamp = 0;
    }
    ++impliedStamp;
    for (int n = 0; n < g.edges; ++n) {
        const int e = (cursor + n) % g.edges;
        if (s.edge[static_cast<size_t>(e)] != kUnknown || !worthTrying(s, e)) continue;
        for (const std::uint8_t val : {kLine, kCross}) {
            int unknownAfter = 0;
            if (!trial(s, e, val, unknownAfter)) continue;
            setEdge(s, e, val == kLine ? kCross : kLine);
            cursor = e;
            return true;
        }
    }
    return false;
}

// The puzzle solved the way a person would: the basic rules as far as
// they go, then one pair deduction at a time, then the rules of the whole
// board (parity, one connected loop), then one lookahead at a time, each
// time back to the basic rules. The steps reach what deduce reaches at
// each level, so the family agrees with the grade.
LoopRating LoopSolver::Impl::rate() {
    State& s = work;
    LoopRating r;
    reset(s);
    propagate(s, 1);
    r.family = kGradeEasy;
    bool threesSeen = false;
    int cursor = 0;
    while (!s.bad && !s.closed) {
        const int round = pairStep(s, !threesSeen);
        threesSeen = true;
        if (round > 0) {
            r.family = std::max(r.family, kGradeMedium);
            ++r.pairSteps;
            r.longestChain = std::max(r.longestChain, round);
        } else if (globalRules(s) && !s.bad) {
            r.family = kGradeHard;
            ++r.regionSteps;
        } else if (!s.bad && lookaheadStep(s, cursor)) {
            r.family = kGradeHard;
            ++r.lookaheadSteps;
        } else {
            break;
        }
        propagate(s, 1);
    }
    if (s.bad || !s.closed) r.family = kGradeGuess;
    rateDifficulty(r);
    return r;
}

void rateDifficulty(LoopRating& r) {
    // Within a family the amount of it, as far as it tells apart puzzles a
    // player finds gentle and hard: the pair steps and how long the longest
    // one ran, the lookahead steps and the rules of the whole board.
    int amount = 0;
    if (r.family == kGradeEasy) {
        r.difficulty = 1;
    } else if (r.family == kGradeMedium) {
        const bool gentle = r.longestChain <= kGentleChain && r.pairSteps <= kGentlePairSteps;
        r.difficulty = gentle ? 2 : 3;
        amount = r.pairSteps + 4 * r.longestChain;
    } else if (r.family == kGradeHard) {
        const int steps = r.lookaheadSteps + r.regionSteps;
        r.difficulty = steps <= kFewLookaheads ? 4 : 5;
        amount = 4 * steps + r.longestChain;
    } else {
        r.difficulty = 5;
        amount = 999;
    }
    r.score = 1000 * r.difficulty + std::min(amount, 999);
}

}  // namespace quorrin
