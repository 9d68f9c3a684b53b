// The deduction rules of the loop solver and their propagation. Rules run
// per item of a queue: a cell applies its clue's count and, from level 2,
// the pair facts at its corners; a dot applies the two-lines-or-none rule
// and, from level 2, carries pair facts across to its opposite quadrant.
// Setting an edge keeps the paths' ends and lengths, so that a line that
// would close a loop too early is refused at once. The rules of the whole
// board (parity of rows and columns, one connected set of lines) cost a
// walk over the board and run once the queue is empty.
#include "solver_impl.h"
#include "solver_pair_tables.h"

#include <algorithm>
#include <cstdlib>

namespace quorrin {

using namespace detail;

void LoopSolver::Impl::reset(State& s) {
    s.edge.assign(static_cast<size_t>(g.edges), kUnknown);
    s.cellLine.assign(static_cast<size_t>(g.cells), 0);
    s.cellCross.assign(static_cast<size_t>(g.cells), 0);
    s.dotLine.assign(static_cast<size_t>(g.dots), 0);
    s.dotCross = g.offBoard;
    s.pair.assign(static_cast<size_t>(g.dots), 0);
    s.dotBits = g.offBoardBits;
    s.mate.resize(static_cast<size_t>(g.dots));
    for (int v = 0; v < g.dots; ++v) s.mate[static_cast<size_t>(v)] = v;
    s.len.assign(static_cast<size_t>(g.dots), 0);
    s.lines = 0;
    s.unknown = g.edges;
    s.closeCandidate = -1;
    s.closed = false;
    s.bad = false;
    clearQueue();
    for (int c = 0; c < g.cells; ++c) pushCell(c);
    for (int v = 0; v < g.dots; ++v) pushDot(v);
}

void LoopSolver::Impl::clearQueue() {
    for (size_t i = queueHead; i < queue.size(); ++i) inQueue[static_cast<size_t>(queue[i])] = 0;
    queue.clear();
    queueHead = 0;
}

// Crosses the candidate edge once it would close a loop that leaves
// other lines outside.
// That compares the path with the number of lines on the whole board,
// but in the search a trial only depends on the count when the path
// holds every line: below a node lines are only added, so a path that is
// shorter than the count stays shorter and the trial's result stands.
// The graded deductions keep counting every check as a whole-board read.
void LoopSolver::Impl::checkCandidate(State& s) {
    int f = s.closeCandidate;
    if (f < 0) return;
    trialNearClose = true;
    if (!searching) trialGlobal = true;
    if (s.edge[static_cast<size_t>(f)] != kUnknown) {
        s.closeCandidate = -1;
        return;
    }
    int a = g.edgeDots[static_cast<size_t>(f)][0], b = g.edgeDots[static_cast<size_t>(f)][1];
    if (s.dotLine[static_cast<size_t>(a)] != 1 || s.mate[static_cast<size_t>(a)] != b) {
        s.closeCandidate = -1;
        return;
    }
    if (noting()) {
        note(a);
        note(b);
    }
    if (s.len[static_cast<size_t>(a)] != s.lines) {
        if (s.len[static_cast<size_t>(a)] >= rootLines) readWide();
        s.closeCandidate = -1;
        setEdge(s, f, kCross);
    } else {
        trialGlobal = true;
        readWide();
    }
}

void LoopSolver::Impl::setEdge(State& s, int e, std::uint8_t val) {
    if (s.bad) return;
    size_t ei = static_cast<size_t>(e);
    std::uint8_t cur = s.edge[ei];
    if (cur == val) return;
    if (cur != kUnknown) {
        s.bad = true;
        if (noting()) {
            note(g.edgeDots[ei][0]);
            note(g.edgeDots[ei][1]);
        }
        return;
    }
    int a = g.edgeDots[ei][0], b = g.edgeDots[ei][1];
    size_t ai = static_cast<size_t>(a), bi = static_cast<size_t>(b);
    int c0 = g.edgeCells[ei][0], c1 = g.edgeCells[ei][1];
    assign(s.edge[ei], val);
    const auto& shift = g.edgeShift[ei];
    assign(s.dotBits[ai], static_cast<std::uint8_t>(s.dotBits[ai] | val << shift[0]));
    assign(s.dotBits[bi], static_cast<std::uint8_t>(s.dotBits[bi] | val << shift[1]));
    --s.unknown;
    if (noting()) {
        note(a);
        note(b);
    }
    if (trailing) {
        touch(a);
        touch(b);
        trialEdges.push_back(e);
    } else if (logging) {
        if (searching) lastValue[ei] = val;
        logChange(a);
        logChange(b);
    }
    pushDot(a);
    pushDot(b);
    pushCell(c0);
    pushCell(c1);
    if (val == kCross) {
        increment(s.dotCross[ai]);
        increment(s.dotCross[bi]);
        if (c0 >= 0) increment(s.cellCross[static_cast<size_t>(c0)]);
        if (c1 >= 0) increment(s.cellCross[static_cast<size_t>(c1)]);
        return;
    }
    if (s.dotLine[ai] >= 2 || s.dotLine[bi] >= 2) {
        s.bad = true;
        return;
    }
    int ea = s.dotLine[ai] == 0 ? a : s.mate[ai];
    int eb = s.dotLine[bi] == 0 ? b : s.mate[bi];
    if (trailing) {
        touch(ea);
        touch(eb);
    }
    if (noting()) {
        note(ea);
        note(eb);
        // The far ends' mates change with the path.
        if (!trailing) {
            changedDots.push_back(ea);
            changedDots.push_back(eb);
        }
    }
    int la = s.dotLine[ai] == 0 ? 0 : s.len[ai];
    int lb = s.dotLine[bi] == 0 ? 0 : s.len[bi];
    increment(s.dotLine[ai]);
    increment(s.dotLine[bi]);
    if (c0 >= 0) increment(s.cellLine[static_cast<size_t>(c0)]);
    if (c1 >= 0) increment(s.cellLine[static_cast<size_t>(c1)]);
    ++s.lines;
    if (ea == b) {
        // The edge joins the two ends of one path: a closed loop.
        if (la + 1 != s.lines) {
            if (la + 1 >= rootLines) readWide();
            s.bad = true;
            return;
        }
        s.closed = true;
        trialGlobal = true;
        readWide();
        for (int f = 0; f < g.edges && !s.bad; ++f) {
            if (s.edge[static_cast<size_t>(f)] == kUnknown) setEdge(s, f, kCross);
        }
        return;
    }
    int n = la + lb + 1;
    assign(s.mate[static_cast<size_t>(ea)], eb);
    assign(s.mate[static_cast<size_t>(eb)], ea);
    assign(s.len[static_cast<size_t>(ea)], n);
    assign(s.len[static_cast<size_t>(eb)], n);
    checkCandidate(s);
    int f = g.edgeBetween(ea, eb);
    if (f >= 0 && s.edge[static_cast<size_t>(f)] == kUnknown) {
        s.closeCandidate = f;
        checkCandidate(s);
    }
}

void LoopSolver::Impl::newFact(State& s, int v, int q, std::uint8_t bit) {
    std::uint8_t& f = s.pair[static_cast<size_t>(v)];
    assign(f, static_cast<std::uint8_t>(f | bit));
    if (logging && !trailing) logChange(v);
    pushDot(v);
    pushCell(g.quadCells[static_cast<size_t>(v)][static_cast<size_t>(q)]);
}

void LoopSolver::Impl::setPair(State& s, int v, int q, std::uint8_t val) {
    for (int e : g.quadEdges[static_cast<size_t>(v)][static_cast<size_t>(q)]) {
        if (e < 0) {
            if (val == kLine) s.bad = true;
        } else {
            setEdge(s, e, val);
        }
    }
}

void LoopSolver::Impl::processCell(State& s, int c, int level) {
    int k = clues[static_cast<size_t>(c)];
    if (k < 0) return;
    size_t ci = static_cast<size_t>(c);
    int l = s.cellLine[ci], x = s.cellCross[ci], u = 4 - l - x;
    if (l > k || l + u < k) {
        s.bad = true;
        return;
    }
    if (u == 0) return;
    const auto& ce = g.cellEdges[ci];
    if (l == k || l + u == k) {
        std::uint8_t val = l == k ? kCross : kLine;
        for (int e : ce) {
            if (s.edge[static_cast<size_t>(e)] == kUnknown) setEdge(s, e, val);
        }
        return;
    }
    if (level < 2) return;
    const auto& corners = g.cellCorners[ci];
    const std::uint8_t* edge = s.edge.data();
    const std::uint8_t* pair = s.pair.data();
    for (int j = 0; j < 4 && !s.bad; ++j) {
        // The pair at the opposite corner: the cell's own sides there and
        // the facts of the dot (see cornerRule).
        const int o = j ^ 2, v = corners[j], q = kCornerQuadrant[j];
        const unsigned a = edge[ce[kCornerSides[o][0]]], b = edge[ce[kCornerSides[o][1]]];
        const unsigned fo = (pair[corners[o]] >> (2 * kCornerQuadrant[o])) & 3u;
        const unsigned fj = (pair[v] >> (2 * q)) & 3u;
        const std::uint8_t act = kRules.corner[unsigned(k) << 8 | a << 6 | b << 4 | fo << 2 | fj];
        if (act == 0) continue;
        if ((act & 3) == kSetLines) {
            setPair(s, v, q, kLine);
        } else if ((act & 3) == kAddFact) {
            addFact(s, v, q, atLeastBit(q));
        }
        if ((act >> 2) == kSetCrosses) {
            setPair(s, v, q, kCross);
        } else if ((act >> 2) == kAddFact) {
            addFact(s, v, q, atMostBit(q));
        }
    }
}

// Whether the pair rules, run on a dot whose edges and facts make the key,
// would change nothing and find no contradiction. Follows processDot step by
// step; as long as nothing changes, every quadrant sees the same board.
bool LoopSolver::Impl::pairRulesIdle(unsigned key) {
    unsigned st[4];
    for (int d = 0; d < 4; ++d) st[d] = (key >> (2 * d)) & 3u;
    const auto facts = static_cast<std::uint8_t>(key >> 8);
    int l = 0, x = 0, u = 0, off = 0;
    for (const unsigned e : st) {
        l += e == kLine ? 1 : 0;
        x += e == kCross || e == kOffBoard ? 1 : 0;
        u += e == kUnknown ? 1 : 0;
        off += e == kOffBoard ? 1 : 0;
    }
    // The checks before the pair rules: these cases never reach the table.
    if (l > 2 || (l == 1 && u == 0) || (u > 0 && (l == 2 || u == 1))) return false;
    if (u == 0 || (l == 0 && x == off && facts == 0)) return true;
    for (int q = 0; q < 4; ++q) {
        int nl = 0, nx = 0, nu = 0;
        for (const int d : kQuadSides[q]) {
            nl += st[d] == kLine ? 1 : 0;
            nx += st[d] == kCross || st[d] == kOffBoard ? 1 : 0;
            nu += st[d] == kUnknown ? 1 : 0;
        }
        int lo, hi;
        boundsOf(nl, nx, facts, q, lo, hi);
        if (lo > hi) return false;
        if (nu == 1 && ((lo >= 1 && nl == 0) || (hi <= 1 && nl == 1))) return false;
        const int o = q ^ 2;
        if (lo >= 1 && !(facts & atMostBit(o))) return false;
        if (lo >= 1 && hi <= 1 && !(facts & atLeastBit(o))) return false;
        if (hi == 0) {
            int nl2 = 0, nx2 = 0;
            for (const int d : kQuadSides[o]) {
                nl2 += st[d] == kLine ? 1 : 0;
                nx2 += st[d] == kCross || st[d] == kOffBoard ? 1 : 0;
            }
            int lo2, hi2;
            boundsOf(nl2, nx2, facts, o, lo2, hi2);
            // Setting the pair to lines changes or breaks any side that is
            // not a line; to crosses, any side still unknown or a line.
            for (const int d : kQuadSides[o]) {
                if (lo2 >= 1 && st[d] != kLine) return false;
                if (lo2 < 1 && hi2 <= 1 && (st[d] == kUnknown || st[d] == kLine)) return false;
            }
        }
    }
    return true;
}

// One bit per key: from level 2 on, processDot changes nothing there. The
// dot is done, or nothing is known around it but the board's edge, or its
// pair rules are idle.
const std::uint64_t* LoopSolver::Impl::idleDots() {
    static const std::vector<std::uint64_t> table = [] {
        std::vector<std::uint64_t> bits(kDotKeys / 64, 0);
        for (unsigned key = 0; key < kDotKeys; ++key) {
            int l = 0, x = 0, off = 0;
            for (int d = 0; d < 4; ++d) {
                const unsigned st = key >> (2 * d) & 3u;
                l += st == kLine ? 1 : 0;
                x += st == kCross || st == kOffBoard ? 1 : 0;
                off += st == kOffBoard ? 1 : 0;
            }
            const int u = 4 - l - x;
            const bool bad = l > 2 || (l == 1 && u == 0), forced = u > 0 && (l == 2 || u == 1);
            if (!bad && !forced &&
                (u == 0 || (l == 0 && x == off && key >> 8 == 0) || pairRulesIdle(key)))
                bits[key / 64] |= std::uint64_t{1} << (key % 64);
        }
        return bits;
    }();
    return table.data();
}

// The states of a dot's four edges, two bits each (kOffBoard off the board),
// and its pair facts above them.
unsigned LoopSolver::Impl::dotKey(const State& s, int v) const {
    const size_t vi = static_cast<size_t>(v);
    return unsigned{s.pair[vi]} << 8 | s.dotBits[vi];
}

void LoopSolver::Impl::processDot(State& s, int v, int level) {
    const size_t vi = static_cast<size_t>(v);
    const auto& de = g.dotEdges[vi];
    unsigned key = 0;
    if (level >= 2) {
        // Whether the steps below change anything, from the key (idleDots).
        if (!idleTable) idleTable = idleDots();
        key = dotKey(s, v);
        if ((idleTable[key / 64] >> (key % 64)) & 1u) return;
    }
    const int l = s.dotLine[vi], x = s.dotCross[vi], u = 4 - l - x;
    if (l > 2 || (l == 1 && u == 0)) {
        s.bad = true;
        return;
    }
    if (u > 0 && (l == 2 || u == 1)) {
        std::uint8_t val = (l == 1) ? kLine : kCross;
        for (int e : de) {
            if (e >= 0 && s.edge[static_cast<size_t>(e)] == kUnknown) setEdge(s, e, val);
        }
        return;
    }
    if (level < 2) return;
    for (int q = 0; q < 4 && !s.bad; ++q) {
        // Quadrant q's sides and facts, then the opposite quadrant's (see
        // quadrantRule), from the key as long as nothing changed.
        const int o = q ^ 2;
        const std::uint8_t act =
            kRules
                .quadrant[kRules.quadrantEdges[q][key & 255u] | kRules.quadrantFacts[q][key >> 8]];
        if (act == 0) continue;
        if (act & kBad) {
            s.bad = true;
            return;
        }
        const auto& qe = g.quadEdges[vi][static_cast<size_t>(q)];
        if (act & kSetMask) setEdge(s, qe[(act & kSecondSide) ? 1 : 0], (act & kSetMask) >> 1);
        if (act & kAtMostOpposite) addFact(s, v, o, atMostBit(o));
        if (act & kAtLeastOpposite) addFact(s, v, o, atLeastBit(o));
        if (act >> 6) setPair(s, v, o, static_cast<std::uint8_t>(act >> 6));
        key = dotKey(s, v);
    }
}

bool LoopSolver::Impl::propagate(State& s, int level) {
    while (queueHead < queue.size() && !s.bad) {
        int item = queue[queueHead++];
        inQueue[static_cast<size_t>(item)] = 0;
        const int r = g.itemRow[static_cast<size_t>(item)];
        const int c = g.itemCol[static_cast<size_t>(item)];
        if (trailing) {
            touchAt(r, c);
            if (item < g.cells) touchAt(r + 1, c + 1);
        }
        const bool noted = noting();
        const size_t before = !noted ? 0 : trailing ? trail8Size : changedDots.size();
        if (item < g.cells) {
            processCell(s, item, level);
        } else {
            processDot(s, item - g.cells, level);
        }
        if (noted && (s.bad || (trailing ? trail8Size : changedDots.size()) != before)) {
            const int v = r * (g.w + 1) + c;
            note(v);
            if (item < g.cells) {
                note(v + 1);
                note(v + g.w + 1);
                note(v + g.w + 2);
            }
        }
    }
    clearQueue();
    return !s.bad;
}

// True when the outline of the two cells is itself a solution: every
// other clue counts exactly the outline's sides around it.
bool LoopSolver::Impl::dominoSolves(int a, int b) const {
    int ra = a / g.w, ca = a % g.w, rb = b / g.w, cb = b % g.w;
    for (int cell = 0; cell < g.cells; ++cell) {
        int k = clues[static_cast<size_t>(cell)];
        if (k < 0 || cell == a || cell == b) continue;
        int r = cell / g.w, c = cell % g.w;
        int touching = (std::abs(r - ra) + std::abs(c - ca) == 1 ? 1 : 0) +
                       (std::abs(r - rb) + std::abs(c - cb) == 1 ? 1 : 0);
        if (k != touching) return false;
    }
    return true;
}

// Two 3s side by side: the side between them and their two far sides are
// on the loop, and the side between them does not continue past either end.
// (The one exception is a loop that is just the outline of the two cells.)
void LoopSolver::Impl::adjacentThrees(State& s) {
    for (int r = 0; r < g.h; ++r) {
        for (int c = 0; c < g.w; ++c) {
            const int a = r * g.w + c;
            if (clues[static_cast<size_t>(a)] != 3) continue;
            if (c + 1 < g.w && clues[static_cast<size_t>(a + 1)] == 3 && !dominoSolves(a, a + 1)) {
                setEdge(s, verticalEdge(g.w, g.h, r, c), kLine);
                setEdge(s, verticalEdge(g.w, g.h, r, c + 1), kLine);
                setEdge(s, verticalEdge(g.w, g.h, r, c + 2), kLine);
                if (r > 0) setEdge(s, verticalEdge(g.w, g.h, r - 1, c + 1), kCross);
                if (r + 1 < g.h) setEdge(s, verticalEdge(g.w, g.h, r + 1, c + 1), kCross);
            }
            if (r + 1 < g.h && clues[static_cast<size_t>(a + g.w)] == 3 &&
                !dominoSolves(a, a + g.w)) {
                setEdge(s, horizontalEdge(g.w, r, c), kLine);
                setEdge(s, horizontalEdge(g.w, r + 1, c), kLine);
                setEdge(s, horizontalEdge(g.w, r + 2, c), kLine);
                if (c > 0) setEdge(s, horizontalEdge(g.w, r + 1, c - 1), kCross);
                if (c + 1 < g.w) setEdge(s, horizontalEdge(g.w, r + 1, c + 1), kCross);
            }
        }
    }
}

// Whole-board rules, too costly to run on every change:
//  - parity: a closed loop crosses every row of cells, and every column,
//    an even number of times;
//  - connection: all lines must still be able to join up through edges
//    that are not crossed.
// Returns true when an edge was set; marks the state bad on a contradiction.
bool LoopSolver::Impl::globalRules(State& s) {
    bool changed = false;
    regionsKnown = false;
    // A line of n edges across the board crosses the loop an even
    // number of times: the last unknown edge of a row or column is set
    // by the parity of its lines.
    auto parity = [&](int n, auto edgeAt) {
        int lines = 0, unknowns = 0, last = -1;
        for (int i = 0; i < n; ++i) {
            const int e = edgeAt(i);
            const std::uint8_t st = s.edge[static_cast<size_t>(e)];
            lines += st == kLine ? 1 : 0;
            if (st == kUnknown) ++unknowns, last = e;
        }
        // The deduction reads the whole row or column.
        if ((unknowns == 0 && lines % 2 != 0) || unknowns == 1) {
            for (int i = 0; i < n && noting(); ++i) {
                for (const int v : g.edgeDots[static_cast<size_t>(edgeAt(i))]) note(v);
            }
        }
        if (unknowns == 0 && lines % 2 != 0) s.bad = true;
        if (unknowns == 1) {
            setEdge(s, last, lines % 2 != 0 ? kLine : kCross);
            changed = true;
        }
    };
    for (int r = 0; r < g.h && !s.bad; ++r)
        parity(g.w + 1, [&](int c) { return verticalEdge(g.w, g.h, r, c); });
    for (int c = 0; c < g.w && !s.bad; ++c)
        parity(g.h + 1, [&](int r) { return horizontalEdge(g.w, r, c); });
    if (s.bad || s.lines == 0 || s.closed) return changed;
    // Walk from one line through every edge that is not crossed.
    int startDot = -1;
    for (int v = 0; v < g.dots && startDot < 0; ++v) {
        if (s.dotLine[static_cast<size_t>(v)] > 0) startDot = v;
    }
    seen.assign(static_cast<size_t>(g.dots), 0);
    if (markPart(s, startDot, 1) != 2 * s.lines) {
        s.bad = true;
        if (noting()) noteCutOff(s);
    }
    if (!s.bad && searching && pathEndRegions(s)) changed = true;
    return changed;
}

// The search notes what the connection rule read when it failed. The part
// of the board walked from the first line (marked 1 in seen) holds some
// lines but not all; the part of a line outside it is walked too (marked 2).
// Either part, with the crossed edges around it, keeps its lines from the
// others: what that rests on is those crossed edges (their dots inside the
// part), one line inside and one outside it. A line outside is there at
// every node when the part holds fewer lines than the root. The part with
// fewer such dots is noted.
void LoopSolver::Impl::noteCutOff(const State& s) {
    int other = -1;
    for (int v = 0; v < g.dots && other < 0; ++v) {
        if (s.dotLine[static_cast<size_t>(v)] > 0 && !seen[static_cast<size_t>(v)]) other = v;
    }
    markPart(s, other, 2);
    // Whether a dot has a crossed edge to a dot of another part.
    auto crossedAt = [&](size_t v) {
        const unsigned ways = s.dotBits[v];
        for (size_t d = 0; d < 4; ++d) {
            if ((ways >> (2 * d) & 3u) == kCross &&
                seen[static_cast<size_t>(static_cast<int>(v) + g.dotStep[d])] != seen[v])
                return true;
        }
        return false;
    };
    int rims[3] = {0, 0, 0}, ends[3] = {0, 0, 0}, line[3] = {-1, -1, -1};
    for (size_t v = 0; v < static_cast<size_t>(g.dots); ++v) {
        const int part = seen[v];
        rims[part] += crossedAt(v) ? 1 : 0;
        ends[part] += s.dotLine[v];
        if (s.dotLine[v] > 0 && line[part] < 0) line[part] = static_cast<int>(v);
    }
    const std::uint8_t part = rims[2] < rims[1] ? 2 : 1;
    if (ends[part] / 2 >= rootLines) readWide();
    note(line[part]);
    for (size_t v = 0; v < static_cast<size_t>(g.dots); ++v) {
        if (seen[v] == part && crossedAt(v)) note(static_cast<int>(v));
    }
}

// Marks with mark, in seen, the dots that dot from reaches through edges
// that are not crossed (nor off the board), and returns how many lines
// they hold at their ends (each line counted at both of its dots).
int LoopSolver::Impl::markPart(const State& s, int from, std::uint8_t mark) {
    stack.assign(1, from);
    seen[static_cast<size_t>(from)] = mark;
    int lineEnds = 0;
    while (!stack.empty()) {
        const int v = stack.back();
        stack.pop_back();
        lineEnds += s.dotLine[static_cast<size_t>(v)];
        const unsigned ways = s.dotBits[static_cast<size_t>(v)];
        for (size_t d = 0; d < 4; ++d) {
            if ((ways >> (2 * d) & 3u) >= kCross) continue;
            const size_t u = static_cast<size_t>(v + g.dotStep[d]);
            if (!seen[u]) {
                seen[u] = mark;
                stack.push_back(static_cast<int>(u));
            }
        }
    }
    return lineEnds;
}

// Local rules to a fixed point, then the whole-board rules, repeated.
bool LoopSolver::Impl::propagateAll(State& s, int level) {
    while (propagate(s, level)) {
        if (!globalRules(s)) break;
    }
    if (s.bad) clearQueue();
    return !s.bad;
}

void LoopSolver::Impl::start(State& s, int level) {
    reset(s);
    if (level >= 2) adjacentThrees(s);
    propagate(s, level);
}

DeduceOutcome LoopSolver::Impl::deduce(int level) {
    State& s = work;
    start(s, level);
    if (level >= 3 && !s.bad && !s.closed) {
        propagateAll(s, 2);
        lookahead(s);
    }
    if (s.bad) return DeduceOutcome::Contradiction;
    return s.closed ? DeduceOutcome::Solved : DeduceOutcome::Stuck;
}

}  // namespace quorrin
