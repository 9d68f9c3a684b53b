#include "loop_solver.h"

#include <algorithm>
#include <array>
#include <cstdlib>

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

namespace {

constexpr std::uint8_t kUnknown = 0;
constexpr std::uint8_t kLine = 1;
constexpr std::uint8_t kCross = 2;

// Pair fact bits of quadrant q at a dot.
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

// Fixed geometry of one board size.
struct Geometry {
    int w = 0, h = 0;
    int cells = 0, dots = 0, edges = 0;
    std::vector<std::array<int, 2>> edgeDots;   // the two dots of an edge
    std::vector<std::array<int, 2>> edgeCells;  // the cells on either side, -1 off the board
    std::vector<std::array<int, 4>> cellEdges;  // top, right, bottom, left
    // The dots at a cell's corners: top-left, top-right, bottom-right, bottom-left.
    std::vector<std::array<int, 4>> cellCorners;
    std::vector<std::array<int, 4>> dotEdges;  // up, right, down, left; -1 off the board
    // Quadrants of a dot: 0 up-left, 1 up-right, 2 down-right, 3 down-left.
    std::vector<std::array<std::array<int, 2>, 4>> quadEdges;
    std::vector<std::array<int, 4>> quadCells;
    std::vector<std::uint8_t> offBoard;  // directions of a dot that lead off the board
    // Row and column of every item of the propagation queue: the cells, then
    // the dots.
    std::vector<std::int16_t> itemRow, itemCol;

    void build(int width, int height) {
        w = width;
        h = height;
        cells = w * h;
        dots = (w + 1) * (h + 1);
        edges = edgeCount(w, h);
        edgeDots.assign(static_cast<size_t>(edges), {-1, -1});
        edgeCells.assign(static_cast<size_t>(edges), {-1, -1});
        cellEdges.assign(static_cast<size_t>(cells), {-1, -1, -1, -1});
        cellCorners.assign(static_cast<size_t>(cells), {-1, -1, -1, -1});
        dotEdges.assign(static_cast<size_t>(dots), {-1, -1, -1, -1});
        quadEdges.assign(static_cast<size_t>(dots), {});
        quadCells.assign(static_cast<size_t>(dots), {-1, -1, -1, -1});
        offBoard.assign(static_cast<size_t>(dots), 0);
        itemRow.assign(static_cast<size_t>(cells + dots), 0);
        itemCol.assign(static_cast<size_t>(cells + dots), 0);
        for (int i = 0; i < cells; ++i) {
            itemRow[static_cast<size_t>(i)] = static_cast<std::int16_t>(i / w);
            itemCol[static_cast<size_t>(i)] = static_cast<std::int16_t>(i % w);
        }
        for (int v = 0; v < dots; ++v) {
            itemRow[static_cast<size_t>(cells + v)] = static_cast<std::int16_t>(v / (w + 1));
            itemCol[static_cast<size_t>(cells + v)] = static_cast<std::int16_t>(v % (w + 1));
        }
        auto dot = [&](int r, int c) { return r * (w + 1) + c; };
        auto cell = [&](int r, int c) {
            return (r >= 0 && r < h && c >= 0 && c < w) ? r * w + c : -1;
        };
        for (int r = 0; r <= h; ++r) {
            for (int c = 0; c < w; ++c) {
                int e = horizontalEdge(w, r, c);
                edgeDots[static_cast<size_t>(e)] = {dot(r, c), dot(r, c + 1)};
                edgeCells[static_cast<size_t>(e)] = {cell(r - 1, c), cell(r, c)};
            }
        }
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c <= w; ++c) {
                int e = verticalEdge(w, h, r, c);
                edgeDots[static_cast<size_t>(e)] = {dot(r, c), dot(r + 1, c)};
                edgeCells[static_cast<size_t>(e)] = {cell(r, c - 1), cell(r, c)};
            }
        }
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                cellEdges[static_cast<size_t>(cell(r, c))] = {
                    horizontalEdge(w, r, c), verticalEdge(w, h, r, c + 1),
                    horizontalEdge(w, r + 1, c), verticalEdge(w, h, r, c)};
                cellCorners[static_cast<size_t>(cell(r, c))] = {dot(r, c), dot(r, c + 1),
                                                                dot(r + 1, c + 1), dot(r + 1, c)};
            }
        }
        for (int r = 0; r <= h; ++r) {
            for (int c = 0; c <= w; ++c) {
                size_t v = static_cast<size_t>(dot(r, c));
                auto& de = dotEdges[v];
                de[0] = r > 0 ? verticalEdge(w, h, r - 1, c) : -1;
                de[1] = c < w ? horizontalEdge(w, r, c) : -1;
                de[2] = r < h ? verticalEdge(w, h, r, c) : -1;
                de[3] = c > 0 ? horizontalEdge(w, r, c - 1) : -1;
                quadEdges[v] = {{{de[0], de[3]}, {de[0], de[1]}, {de[2], de[1]}, {de[2], de[3]}}};
                quadCells[v] = {cell(r - 1, c - 1), cell(r - 1, c), cell(r, c), cell(r, c - 1)};
                int off = 0;
                for (int d = 0; d < 4; ++d) off += de[static_cast<size_t>(d)] < 0 ? 1 : 0;
                offBoard[v] = static_cast<std::uint8_t>(off);
            }
        }
    }

    int edgeBetween(int a, int b) const {
        int ra = a / (w + 1), ca = a % (w + 1), rb = b / (w + 1), cb = b % (w + 1);
        if (ra == rb && std::abs(ca - cb) == 1) return horizontalEdge(w, ra, std::min(ca, cb));
        if (ca == cb && std::abs(ra - rb) == 1) return verticalEdge(w, h, std::min(ra, rb), ca);
        return -1;
    }
};

struct State {
    std::vector<std::uint8_t> edge;  // kUnknown, kLine, kCross
    std::vector<std::uint8_t> cellLine, cellCross;
    std::vector<std::uint8_t> dotLine, dotCross;  // dotCross counts off-board directions
    std::vector<std::uint8_t> pair;               // pair facts per dot
    std::vector<std::int32_t> mate;               // at a path end: the other end of its path
    std::vector<std::int32_t> len;                // at a path end: the path's number of edges
    int lines = 0;
    int unknown = 0;
    int closeCandidate = -1;  // an edge that would close the only path into the loop
    bool closed = false;
    bool bad = false;
};

}  // namespace

struct LoopSolver::Impl {
    Geometry g;
    std::vector<std::int8_t> clues;
    std::vector<std::uint8_t> inQueue;
    std::vector<std::int32_t> queue;
    size_t queueHead = 0;
    State work;
    std::vector<State> pool;
    int count = 0;
    int limit = 2;
    long long nodes = 0;
    int bestBranch = -1;
    // Score of every edge in the last pass of the lookahead (0: not tried).
    std::vector<long> edgeScore;
    // Edges each value of each edge settled in that pass: line at 2e, cross
    // at 2e + 1 (0: not tried).
    std::vector<int> valueGain;
    long long nodeLimit = 0;
    bool stopped = false;
    std::vector<std::uint8_t> seen;
    std::vector<std::int32_t> stack;
    std::vector<std::int32_t> region, regionEnds, regionEnd;
    // Whether region holds the regions of the board's last whole-board check.
    bool regionsKnown = false;
    // The complete search also pairs path ends up region by region; the
    // graded deductions leave that rule out, so that grades stay as they are.
    bool searching = false;
    LoopSolution* firstOut = nullptr;

    // Undo records of a trial: while trailing, every change of a per-edge,
    // per-cell or per-dot entry is recorded so that the trial can be taken back.
    bool trailing = false;
    std::vector<std::pair<std::uint8_t*, std::uint8_t>> trail8;
    std::vector<std::pair<std::int32_t*, std::int32_t>> trail32;

    void w8(std::uint8_t& ref, std::uint8_t v) {
        if (trailing) trail8.emplace_back(&ref, ref);
        ref = v;
    }
    void inc(std::uint8_t& ref) { w8(ref, static_cast<std::uint8_t>(ref + 1)); }
    void w32(std::int32_t& ref, std::int32_t v) {
        if (trailing) trail32.emplace_back(&ref, ref);
        ref = v;
    }

    struct Scalars {
        int lines, unknown, closeCandidate;
        bool closed, bad;
    };

    // Sets the edge, propagates under the level-2 rules, reports whether that
    // led to a contradiction and how many edges are still unknown, and takes
    // everything back.
    bool trial(State& s, int e, std::uint8_t val, int& unknownAfter) {
        const Scalars saved{s.lines, s.unknown, s.closeCandidate, s.closed, s.bad};
        box = {g.h + 1, g.w + 1, -1, -1};
        trialGlobal = s.closeCandidate >= 0;
        trialNearClose = trialGlobal;
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
        if (!bad) {
            for (const int f : trialEdges) {
                const size_t fi = static_cast<size_t>(f);
                if (f != e) impliedAt[2 * fi + (s.edge[fi] == kLine ? 0 : 1)] = impliedStamp;
            }
        }
        for (size_t i = trail8.size(); i-- > 0;) *trail8[i].first = trail8[i].second;
        for (size_t i = trail32.size(); i-- > 0;) *trail32[i].first = trail32[i].second;
        trail8.clear();
        trail32.clear();
        s.lines = saved.lines;
        s.unknown = saved.unknown;
        s.closeCandidate = saved.closeCandidate;
        s.closed = saved.closed;
        s.bad = saved.bad;
        clearQueue();
        return bad;
    }

    // The region rule for path ends (see pathEndRegions) after a trial of the
    // complete search, around the dots that the trial changed. A region that
    // the trial cut off is walked from each of them at once, a dot at a time
    // each: walks that meet belong to one region and go on as one; a walk
    // that runs out of dots has seen its whole region. Once one walk is left
    // it stops: its region holds an even number of path ends when the others
    // do, as every region did before the trial. So a small pocket cut off
    // with an odd number of path ends, or with the two ends of one path, fails
    // the trial at once instead of some guesses later, and a trial that cuts
    // nothing off costs a few steps.
    static constexpr int kWalkSteps = 512;
    struct Walk {
        int root;  // itself, or the walk it went on as
        int ends, end0, end1;
        int region;  // its start's region at the last whole-board check
        std::vector<std::int32_t> todo;
    };
    std::vector<Walk> walks;
    std::vector<std::int32_t> trialEdges;  // the edges the trial set, in order
    std::vector<std::int32_t> walkOf;      // the walk that reached each dot
    std::vector<std::int32_t> going;       // the walks still going, in order
    std::int32_t walkBase = 0;             // the walks of this trial are numbered above it

    int walkRoot(int i) {
        int r = i;
        while (walks[static_cast<size_t>(r)].root != r) r = walks[static_cast<size_t>(r)].root;
        while (i != r) {
            const int up = walks[static_cast<size_t>(i)].root;
            walks[static_cast<size_t>(i)].root = r;
            i = up;
        }
        return r;
    }

    void nearRegions(State& s) {
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
            w.root = static_cast<int>(active);
            w.region = regionsKnown ? regionOf(v) : 0;
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
        going.clear();
        for (size_t i = 0; i < walkCount; ++i) going.push_back(static_cast<std::int32_t>(i));
        int steps = 0;
        while (active > 1 && steps < kWalkSteps && !s.bad && sharedRegion()) {
            for (size_t k = 0; k < going.size() && active > 1 && !s.bad; ++k) {
                const size_t i = static_cast<size_t>(going[k]);
                Walk& w = walks[i];
                if (w.root != static_cast<int>(i) || w.ends < 0) continue;
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
                    const int other = walkRoot(walkOf[ui] - walkBase);
                    if (other == static_cast<int>(i)) continue;
                    // The two walks are in one region: this one takes the other's
                    // dots still to do and its path ends.
                    Walk& o = walks[static_cast<size_t>(other)];
                    o.root = static_cast<int>(i);
                    for (int x : {o.end0, o.end1}) {
                        if (x >= 0) (w.end0 < 0 ? w.end0 : w.end1) = x;
                    }
                    w.ends += o.ends;
                    w.todo.insert(w.todo.end(), o.todo.begin(), o.todo.end());
                    --active;
                }
            }
            going.erase(std::remove_if(going.begin(), going.end(),
                                       [&](std::int32_t i) {
                                           const Walk& w = walks[static_cast<size_t>(i)];
                                           return w.root != i || w.ends < 0;
                                       }),
                        going.end());
        }
        walkBase += static_cast<std::int32_t>(walkCount);
    }

    // Whether two walks still going started in one region of the last
    // whole-board check. A trial keeps the number of path ends of each such
    // region even (a line it sets joins two dots of one region), so a walk
    // alone in its region may stop as the last walk of all does.
    bool sharedRegion() const {
        for (size_t a = 0; a < going.size(); ++a) {
            const Walk& x = walks[static_cast<size_t>(going[a])];
            for (size_t b = a + 1; b < going.size(); ++b) {
                if (walks[static_cast<size_t>(going[b])].region == x.region) return true;
            }
        }
        return false;
    }

    // A whole region after a trial: an even number of path ends, and not
    // just the two ends of a path without every line.
    void endWalk(State& s, const Walk& w) {
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

    // What a trial read: the dots it looked at lie in box (first row, first
    // column, last row, last column), unless it read the whole board.
    std::array<int, 4> box{};
    bool trialGlobal = false;
    // Whether the trial came near a path that the loop could close with.
    bool trialNearClose = false;
    // Dots whose surroundings changed during a lookahead, in order.
    bool logging = false;
    std::vector<std::int32_t> changeLog;
    // Result of the last trial of each edge and value that led nowhere.
    struct Memo {
        int logPos = -1;
        std::array<int, 4> box{};
        int gained = 0;
        int guide = 0;  // its entry in valueGain
    };
    std::vector<Memo> memo;

    void touchAt(int r, int c) {
        box[0] = std::min(box[0], r);
        box[1] = std::min(box[1], c);
        box[2] = std::max(box[2], r);
        box[3] = std::max(box[3], c);
    }
    void touch(int v) {
        const size_t i = static_cast<size_t>(g.cells + v);
        touchAt(g.itemRow[i], g.itemCol[i]);
    }

    // Where each dot was last logged in changeLog, -1 if it is not there.
    std::vector<std::int32_t> changedAt;

    // In the search, the old entries of memo and changedAt, so that the
    // second child of a node finds its parent's trials again (see dfs).
    std::vector<std::pair<size_t, Memo>> memoUndo;
    std::vector<std::pair<std::int32_t, std::int32_t>> changedUndo;

    void logChange(int v) {
        if (searching) changedUndo.emplace_back(v, changedAt[static_cast<size_t>(v)]);
        changedAt[static_cast<size_t>(v)] = static_cast<std::int32_t>(changeLog.size());
        changeLog.push_back(v);
    }

    // A trial gives the same result again when nothing it read has changed.
    // The dots around what it read are looked up one by one, or the changes
    // since the trial are read, whichever is shorter.
    bool memoStillHolds(const Memo& m) const {
        if (m.logPos < 0) return false;
        const size_t since = changeLog.size() - static_cast<size_t>(m.logPos);
        const int r0 = std::max(0, m.box[0] - 1), r1 = std::min(g.h, m.box[2] + 1);
        const int c0 = std::max(0, m.box[1] - 1), c1 = std::min(g.w, m.box[3] + 1);
        if (r1 < r0 || c1 < c0) return true;
        if (static_cast<size_t>((r1 - r0 + 1) * (c1 - c0 + 1)) < since) {
            for (int r = r0; r <= r1; ++r) {
                const std::int32_t* row = &changedAt[static_cast<size_t>(r * (g.w + 1))];
                for (int c = c0; c <= c1; ++c) {
                    if (row[c] >= m.logPos) return false;
                }
            }
            return true;
        }
        for (size_t i = static_cast<size_t>(m.logPos); i < changeLog.size(); ++i) {
            int v = changeLog[i];
            int r = v / (g.w + 1), c = v % (g.w + 1);
            if (r >= r0 && r <= r1 && c >= c0 && c <= c1) return false;
        }
        return true;
    }

    void push(int item) {
        if (!inQueue[static_cast<size_t>(item)]) {
            inQueue[static_cast<size_t>(item)] = 1;
            queue.push_back(item);
        }
    }
    void pushCell(int c) {
        if (c >= 0) push(c);
    }
    void pushDot(int v) { push(g.cells + v); }

    void reset(State& s) {
        s.edge.assign(static_cast<size_t>(g.edges), kUnknown);
        s.cellLine.assign(static_cast<size_t>(g.cells), 0);
        s.cellCross.assign(static_cast<size_t>(g.cells), 0);
        s.dotLine.assign(static_cast<size_t>(g.dots), 0);
        s.dotCross = g.offBoard;
        s.pair.assign(static_cast<size_t>(g.dots), 0);
        s.mate.resize(static_cast<size_t>(g.dots));
        for (int v = 0; v < g.dots; ++v) s.mate[static_cast<size_t>(v)] = v;
        s.len.assign(static_cast<size_t>(g.dots), 0);
        s.lines = 0;
        s.unknown = g.edges;
        s.closeCandidate = -1;
        s.closed = false;
        s.bad = false;
        clearQueue();
        for (int i = 0; i < g.cells + g.dots; ++i) push(i);
    }

    void clearQueue() {
        for (size_t i = queueHead; i < queue.size(); ++i)
            inQueue[static_cast<size_t>(queue[i])] = 0;
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
    void checkCandidate(State& s) {
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
        if (s.len[static_cast<size_t>(a)] != s.lines) {
            s.closeCandidate = -1;
            setEdge(s, f, kCross);
        } else {
            trialGlobal = true;
        }
    }

    void setEdge(State& s, int e, std::uint8_t val) {
        if (s.bad) return;
        size_t ei = static_cast<size_t>(e);
        std::uint8_t cur = s.edge[ei];
        if (cur == val) return;
        if (cur != kUnknown) {
            s.bad = true;
            return;
        }
        int a = g.edgeDots[ei][0], b = g.edgeDots[ei][1];
        size_t ai = static_cast<size_t>(a), bi = static_cast<size_t>(b);
        int c0 = g.edgeCells[ei][0], c1 = g.edgeCells[ei][1];
        w8(s.edge[ei], val);
        --s.unknown;
        if (trailing) {
            touch(a);
            touch(b);
            trialEdges.push_back(e);
        } else if (logging) {
            logChange(a);
            logChange(b);
        }
        pushDot(a);
        pushDot(b);
        pushCell(c0);
        pushCell(c1);
        if (val == kCross) {
            inc(s.dotCross[ai]);
            inc(s.dotCross[bi]);
            if (c0 >= 0) inc(s.cellCross[static_cast<size_t>(c0)]);
            if (c1 >= 0) inc(s.cellCross[static_cast<size_t>(c1)]);
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
        int la = s.dotLine[ai] == 0 ? 0 : s.len[ai];
        int lb = s.dotLine[bi] == 0 ? 0 : s.len[bi];
        inc(s.dotLine[ai]);
        inc(s.dotLine[bi]);
        if (c0 >= 0) inc(s.cellLine[static_cast<size_t>(c0)]);
        if (c1 >= 0) inc(s.cellLine[static_cast<size_t>(c1)]);
        ++s.lines;
        if (ea == b) {
            // The edge joins the two ends of one path: a closed loop.
            if (la + 1 != s.lines) {
                s.bad = true;
                return;
            }
            s.closed = true;
            trialGlobal = true;
            for (int f = 0; f < g.edges && !s.bad; ++f) {
                if (s.edge[static_cast<size_t>(f)] == kUnknown) setEdge(s, f, kCross);
            }
            return;
        }
        int n = la + lb + 1;
        w32(s.mate[static_cast<size_t>(ea)], eb);
        w32(s.mate[static_cast<size_t>(eb)], ea);
        w32(s.len[static_cast<size_t>(ea)], n);
        w32(s.len[static_cast<size_t>(eb)], n);
        checkCandidate(s);
        int f = g.edgeBetween(ea, eb);
        if (f >= 0 && s.edge[static_cast<size_t>(f)] == kUnknown) {
            s.closeCandidate = f;
            checkCandidate(s);
        }
    }

    // Lower and upper bound of the number of lines in quadrant q of dot v.
    void pairBounds(const State& s, int v, int q, int& lo, int& hi) const {
        const auto& pe = g.quadEdges[static_cast<size_t>(v)][static_cast<size_t>(q)];
        int nl = 0, nx = 0;
        for (int e : pe) {
            std::uint8_t st = e < 0 ? kCross : s.edge[static_cast<size_t>(e)];
            nl += st == kLine ? 1 : 0;
            nx += st == kCross ? 1 : 0;
        }
        boundsOf(nl, nx, s.pair[static_cast<size_t>(v)], q, lo, hi);
    }
    // The same from the pair's lines and crosses and the dot's facts.
    static void boundsOf(int nl, int nx, std::uint8_t facts, int q, int& lo, int& hi) {
        lo = (facts & atLeastBit(q)) && nl < 1 ? 1 : nl;
        hi = (facts & atMostBit(q)) && nx < 1 ? 1 : 2 - nx;
    }

    void addFact(State& s, int v, int q, std::uint8_t bit) {
        std::uint8_t& f = s.pair[static_cast<size_t>(v)];
        if (f & bit) return;
        w8(f, static_cast<std::uint8_t>(f | bit));
        if (logging && !trailing) logChange(v);
        pushDot(v);
        pushCell(g.quadCells[static_cast<size_t>(v)][static_cast<size_t>(q)]);
    }

    void setPair(State& s, int v, int q, std::uint8_t val) {
        for (int e : g.quadEdges[static_cast<size_t>(v)][static_cast<size_t>(q)]) {
            if (e < 0) {
                if (val == kLine) s.bad = true;
            } else {
                setEdge(s, e, val);
            }
        }
    }

    void processCell(State& s, int c, int level) {
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
        for (int j = 0; j < 4 && !s.bad; ++j) {
            // The bounds of the pair at the opposite corner, read from the
            // cell's own sides there and the facts of the dot.
            const int o = j ^ 2;
            const std::uint8_t a = s.edge[static_cast<size_t>(ce[kCornerSides[o][0]])];
            const std::uint8_t b = s.edge[static_cast<size_t>(ce[kCornerSides[o][1]])];
            int lo2, hi2;
            boundsOf((a == kLine ? 1 : 0) + (b == kLine ? 1 : 0),
                     (a == kCross ? 1 : 0) + (b == kCross ? 1 : 0),
                     s.pair[static_cast<size_t>(corners[o])], kCornerQuadrant[o], lo2, hi2);
            const int v = corners[j], q = kCornerQuadrant[j];
            int needLo = k - hi2, needHi = k - lo2;
            if (needLo >= 2) {
                setPair(s, v, q, kLine);
            } else if (needLo >= 1) {
                addFact(s, v, q, atLeastBit(q));
            }
            if (needHi <= 0) {
                setPair(s, v, q, kCross);
            } else if (needHi <= 1) {
                addFact(s, v, q, atMostBit(q));
            }
        }
    }

    void processDot(State& s, int v, int level) {
        size_t vi = static_cast<size_t>(v);
        int l = s.dotLine[vi], x = s.dotCross[vi], u = 4 - l - x;
        if (l > 2 || (l == 1 && u == 0)) {
            s.bad = true;
            return;
        }
        const auto& de = g.dotEdges[vi];
        if (u > 0 && (l == 2 || u == 1)) {
            std::uint8_t val = (l == 1) ? kLine : kCross;
            for (int e : de) {
                if (e >= 0 && s.edge[static_cast<size_t>(e)] == kUnknown) setEdge(s, e, val);
            }
            return;
        }
        if (level < 2 || u == 0) return;
        // Nothing known around the dot but the board's edge: no pair rule applies.
        if (l == 0 && x == g.offBoard[vi] && s.pair[vi] == 0) return;
        for (int q = 0; q < 4 && !s.bad; ++q) {
            // The pair's lines, crosses (the board's edge counts as one) and
            // undecided sides, and its bounds (see pairBounds).
            int nl = 0, nx = 0, nu = 0, unknownEdge = -1;
            for (int e : g.quadEdges[vi][static_cast<size_t>(q)]) {
                const std::uint8_t st = e < 0 ? kCross : s.edge[static_cast<size_t>(e)];
                nl += st == kLine ? 1 : 0;
                nx += st == kCross ? 1 : 0;
                if (st == kUnknown) {
                    ++nu;
                    unknownEdge = e;
                }
            }
            int lo, hi;
            boundsOf(nl, nx, s.pair[vi], q, lo, hi);
            if (lo > hi) {
                s.bad = true;
                return;
            }
            if (nu == 1) {
                // One side of the pair decided: the fact fixes the other.
                if (lo >= 1 && nl == 0) {
                    setEdge(s, unknownEdge, kLine);
                } else if (hi <= 1 && nl == 1) {
                    setEdge(s, unknownEdge, kCross);
                }
            }
            int o = q ^ 2;
            if (lo >= 1) addFact(s, v, o, atMostBit(o));
            if (lo >= 1 && hi <= 1) addFact(s, v, o, atLeastBit(o));
            if (hi == 0) {
                int lo2, hi2;
                pairBounds(s, v, o, lo2, hi2);
                if (lo2 >= 1) {
                    setPair(s, v, o, kLine);
                } else if (hi2 <= 1) {
                    setPair(s, v, o, kCross);
                }
            }
        }
    }

    bool propagate(State& s, int level) {
        while (queueHead < queue.size() && !s.bad) {
            int item = queue[queueHead++];
            inQueue[static_cast<size_t>(item)] = 0;
            if (trailing) {
                const int r = g.itemRow[static_cast<size_t>(item)];
                const int c = g.itemCol[static_cast<size_t>(item)];
                if (item < g.cells) {
                    touchAt(r, c);
                    touchAt(r + 1, c + 1);
                } else {
                    touchAt(r, c);
                }
            }
            if (item < g.cells) {
                processCell(s, item, level);
            } else {
                processDot(s, item - g.cells, level);
            }
        }
        clearQueue();
        return !s.bad;
    }

    // True when the outline of the two cells is itself a solution: every
    // other clue counts exactly the outline's sides around it.
    bool dominoSolves(int a, int b) const {
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
    void adjacentThrees(State& s) {
        for (int r = 0; r < g.h; ++r) {
            for (int c = 0; c < g.w; ++c) {
                const int a = r * g.w + c;
                if (clues[static_cast<size_t>(a)] != 3) continue;
                if (c + 1 < g.w && clues[static_cast<size_t>(a + 1)] == 3 &&
                    !dominoSolves(a, a + 1)) {
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
    bool globalRules(State& s) {
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
        stack.clear();
        stack.push_back(startDot);
        seen[static_cast<size_t>(startDot)] = 1;
        int lineEnds = 0;
        while (!stack.empty()) {
            int v = stack.back();
            stack.pop_back();
            lineEnds += s.dotLine[static_cast<size_t>(v)];
            for (int d = 0; d < 4; ++d) {
                int e = g.dotEdges[static_cast<size_t>(v)][static_cast<size_t>(d)];
                if (e < 0 || s.edge[static_cast<size_t>(e)] == kCross) continue;
                const auto& ends = g.edgeDots[static_cast<size_t>(e)];
                int u = ends[0] == v ? ends[1] : ends[0];
                if (!seen[static_cast<size_t>(u)]) {
                    seen[static_cast<size_t>(u)] = 1;
                    stack.push_back(u);
                }
            }
        }
        if (lineEnds != 2 * s.lines) s.bad = true;
        if (!s.bad && searching) pathEndRegions(s);
        return changed;
    }

    int regionOf(int v) {
        while (region[static_cast<size_t>(v)] != v) {
            int up = region[static_cast<size_t>(region[static_cast<size_t>(v)])];
            region[static_cast<size_t>(v)] = up;
            v = up;
        }
        return v;
    }

    // A path end can only go on through undecided edges and dots that no
    // line touches yet, until it meets another path end. So the dots that
    // are not full, joined by the undecided edges between them, fall into
    // regions each holding an even number of path ends; and a region whose
    // only two ends belong to one path closes that path, which must then
    // hold every line.
    void pathEndRegions(State& s) {
        region.resize(static_cast<size_t>(g.dots));
        for (int v = 0; v < g.dots; ++v) region[static_cast<size_t>(v)] = v;
        for (int e = 0; e < g.edges; ++e) {
            if (s.edge[static_cast<size_t>(e)] != kUnknown) continue;
            const auto& ends = g.edgeDots[static_cast<size_t>(e)];
            if (s.dotLine[static_cast<size_t>(ends[0])] >= 2 ||
                s.dotLine[static_cast<size_t>(ends[1])] >= 2) {
                continue;
            }
            int a = regionOf(ends[0]), b = regionOf(ends[1]);
            if (a != b) region[static_cast<size_t>(a)] = b;
        }
        regionEnds.assign(static_cast<size_t>(g.dots), 0);
        regionEnd.assign(static_cast<size_t>(g.dots), -1);
        for (int v = 0; v < g.dots; ++v) {
            if (s.dotLine[static_cast<size_t>(v)] != 1) continue;
            size_t r = static_cast<size_t>(regionOf(v));
            ++regionEnds[r];
            regionEnd[r] = v;
        }
        for (int v = 0; v < g.dots; ++v) {
            if (s.dotLine[static_cast<size_t>(v)] != 1) continue;
            size_t r = static_cast<size_t>(regionOf(v));
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

    // Local rules to a fixed point, then the whole-board rules, repeated.
    bool propagateAll(State& s, int level) {
        while (propagate(s, level)) {
            if (!globalRules(s)) break;
        }
        if (s.bad) clearQueue();
        return !s.bad;
    }

    // One-edge lookahead under the level-2 rules.
    // Also notes in bestBranch the edge whose two values each settle the most
    // other edges: the best edge to branch on when the lookahead gets stuck.
    // With keepMemo the trials of the previous lookahead stay usable: every
    // change since then has been logged and only added to that state. The
    // search runs the whole-board rules once a pass, not after every edge a
    // trial settles.
    void lookahead(State& s, bool keepMemo = false) {
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
            for (int e = 0; e < g.edges && !s.bad && !s.closed; ++e) {
                if (s.edge[static_cast<size_t>(e)] != kUnknown) continue;
                if (!worthTrying(s, e)) continue;
                long score = 1;
                for (std::uint8_t val : {kLine, kCross}) {
                    const size_t slot = 2 * static_cast<size_t>(e) + (val == kLine ? 0 : 1);
                    Memo& m = memo[slot];
                    if (memoStillHolds(m)) {
                        score *= 1 + m.gained;
                        valueGain[slot] = m.guide;
                        continue;
                    }
                    // A value that an earlier trial of this pass set without
                    // failing, on the same board, cannot fail: what it leads to
                    // is part of what that trial led to. It goes untried; in
                    // the search its edge scores as if that value settled
                    // nothing.
                    if (impliedAt[slot] == impliedStamp) continue;
                    int unknownAfter = 0;
                    bool bad = trial(s, e, val, unknownAfter);
                    if (searching) memoUndo.emplace_back(slot, m);
                    m.logPos = -1;
                    if (!bad && !trialGlobal) {
                        m.logPos = static_cast<int>(changeLog.size());
                        m.box = box;
                        m.gained = s.unknown - unknownAfter;
                        m.guide = trialNearClose ? 0 : m.gained;
                    }
                    if (bad) {
                        ++impliedStamp;
                        setEdge(s, e, val == kLine ? kCross : kLine);
                        if (searching) {
                            propagate(s, 2);
                        } else {
                            propagateAll(s, 2);
                        }
                        changed = true;
                        score = -1;
                        break;
                    }
                    score *= 1 + s.unknown - unknownAfter;
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
            if (searching && changed) propagateAll(s, 2);
        }
        logging = false;
    }

    // The pass and board on which a trial set each value of each edge
    // (line at 2e, cross at 2e + 1) without failing.
    std::vector<std::uint32_t> impliedAt;
    std::uint32_t impliedStamp = 0;

    void clearMemo() {
        memo.assign(2 * static_cast<size_t>(g.edges), Memo{});
        changeLog.clear();
        changedAt.assign(static_cast<size_t>(g.dots), -1);
        memoUndo.clear();
        changedUndo.clear();
    }

    // Edges next to nothing known lead nowhere in one step; skip them.
    bool worthTrying(const State& s, int e) const {
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

    void start(State& s, int level) {
        reset(s);
        if (level >= 2) adjacentThrees(s);
        propagate(s, level);
    }

    DeduceOutcome deduce(int level) {
        State& s = work;
        start(s, level);
        if (level >= 3 && !s.bad && !s.closed) {
            propagateAll(s, 2);
            lookahead(s);
        }
        if (s.bad) return DeduceOutcome::Contradiction;
        return s.closed ? DeduceOutcome::Solved : DeduceOutcome::Stuck;
    }

    // One step of pair reasoning after the basic rules got stuck: every cell
    // and dot looked at again under the pair rules (the first time with the
    // adjacent 3s), round by round, until an edge is decided. Returns the
    // round in which that happened, 0 when none was.
    int pairStep(State& s, bool withThrees) {
        const int before = s.unknown;
        if (withThrees) {
            adjacentThrees(s);
            if (s.unknown != before || s.bad) return 1;
        }
        for (int i = 0; i < g.cells + g.dots; ++i) push(i);
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
    bool lookaheadStep(State& s, int& cursor) {
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
    LoopRating rate() {
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

    int chooseEdge(const State& s) const {
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

    // Edges whose values led straight to dead ends, weighted towards the
    // latest ones. A contradiction that needs a few guesses to show itself
    // would otherwise be found again under every guess made elsewhere on
    // the board; branching on the edges that showed it first finds it once,
    // high up in the tree.
    std::vector<double> activity;
    double bumpBy = 1.0;
    bool deadEnd = false;

    void bump(int e) {
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
    int chooseActive(const State& s) const {
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
    void undoMemo(size_t memoMark, size_t changedMark, size_t logMark) {
        for (size_t i = memoUndo.size(); i-- > memoMark;)
            memo[memoUndo[i].first] = memoUndo[i].second;
        memoUndo.resize(memoMark);
        for (size_t i = changedUndo.size(); i-- > changedMark;) {
            changedAt[static_cast<size_t>(changedUndo[i].first)] = changedUndo[i].second;
        }
        changedUndo.resize(changedMark);
        changeLog.resize(logMark);
    }

    // The trials of the lookaheads of the node's ancestors still hold where
    // nothing changed since.
    void dfs(size_t depth) {
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

    int countSolutions(int lim, LoopSolution* first) {
        count = 0;
        limit = lim;
        nodes = 0;
        stopped = false;
        firstOut = first;
        activity.assign(static_cast<size_t>(g.edges), 0.0);
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
};

LoopSolver::LoopSolver(const LoopPuzzle& puzzle) : impl_(new Impl) {
    impl_->g.build(puzzle.width, puzzle.height);
    impl_->clues = puzzle.clues;
    impl_->clues.resize(static_cast<size_t>(impl_->g.cells), -1);
    impl_->inQueue.assign(static_cast<size_t>(impl_->g.cells + impl_->g.dots), 0);
}

LoopSolver::~LoopSolver() = default;

void LoopSolver::setClues(const std::vector<std::int8_t>& clues) {
    impl_->clues = clues;
    impl_->clues.resize(static_cast<size_t>(impl_->g.cells), -1);
}

DeduceOutcome LoopSolver::deduce(int level) {
    return impl_->deduce(level);
}

const std::vector<std::uint8_t>& LoopSolver::edgeStates() const {
    return impl_->work.edge;
}

int LoopSolver::countSolutions(int limit, LoopSolution* first) {
    return impl_->countSolutions(limit, first);
}

long long LoopSolver::searchNodes() const {
    return impl_->nodes;
}

void LoopSolver::setNodeLimit(long long nodes) {
    impl_->nodeLimit = nodes;
}

bool LoopSolver::searchStopped() const {
    return impl_->stopped;
}

LoopAnalysis LoopSolver::analyse() {
    LoopAnalysis a;
    a.solutions = countSolutions(2, &a.first);
    if (a.solutions == 1) {
        a.grade = kGradeGuess;
        for (int level = kGradeEasy; level <= kGradeHard; ++level) {
            if (deduce(level) == DeduceOutcome::Solved) {
                a.grade = level;
                break;
            }
        }
    }
    return a;
}

LoopRating LoopSolver::rate() {
    return impl_->rate();
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

LoopAnalysis analysePuzzle(const LoopPuzzle& puzzle) {
    LoopSolver solver(puzzle);
    return solver.analyse();
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
