// The regions of path ends, a rule of the complete search only: the dots
// not yet full, joined by undecided edges, must each hold an even number of
// path ends, a region without one holds no line, and a region whose only
// two ends belong to one path closes it. The whole board is checked at the
// end of a pass of the lookahead; after every trial, walks from what the
// trial changed check the regions near it. A failed check notes the region
// it read, for the reasons of dead ends.
#include "solver_impl.h"

#include <algorithm>

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
        w.next = 0;
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
    // Each walk goes breadth first, so that walks that started near each
    // other meet soon.
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
            if (w.next == w.todo.size()) {
                // The whole region: check it, then leave it.
                endWalk(s, static_cast<int>(i), walkCount);
                w.ends = -1;
                --active;
                continue;
            }
            const int v = w.todo[w.next++];
            ++steps;
            touch(v);
            if (s.dotLine[static_cast<size_t>(v)] == 1) {
                ++w.ends;
                (w.end0 < 0 ? w.end0 : w.end1) = v;
            }
            const unsigned ways = s.dotBits[static_cast<size_t>(v)];
            for (size_t d = 0; d < 4; ++d) {
                if ((ways >> (2 * d) & 3u) != kUnknown) continue;
                const int u = v + g.dotStep[d];
                const size_t ui = static_cast<size_t>(u);
                if (s.dotLine[ui] >= 2) continue;
                const std::int32_t at = walkOf[ui];
                if (at < walkBase) {
                    reach(static_cast<int>(i), u);
                    continue;
                }
                if (at == walkBase + static_cast<std::int32_t>(i)) continue;
                const int other = walkSets.find(at - walkBase);
                if (other == static_cast<int>(i)) continue;
                // The two walks are in one region: this one takes the other's
                // dots still to do and its path ends.
                Walk& o = walks[static_cast<size_t>(other)];
                walkSets.attach(other, static_cast<int>(i));
                for (int x : {o.end0, o.end1}) {
                    if (x >= 0) (w.end0 < 0 ? w.end0 : w.end1) = x;
                }
                w.ends += o.ends;
                w.todo.insert(w.todo.end(), o.todo.begin() + static_cast<std::ptrdiff_t>(o.next),
                              o.todo.end());
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
bool LoopSolver::Impl::sharedRegion() {
    if (walksGoing.size() < 2) return false;
    // Before any whole-board check every walk is in region 0.
    if (!regionsKnown) return true;
    if (regionMark.size() != static_cast<size_t>(g.dots) || regionStamp == UINT32_MAX) {
        regionMark.assign(static_cast<size_t>(g.dots), 0);
        regionStamp = 0;
    }
    ++regionStamp;
    for (const std::int32_t i : walksGoing) {
        std::uint32_t& mark = regionMark[static_cast<size_t>(walks[static_cast<size_t>(i)].region)];
        if (mark == regionStamp) return true;
        mark = regionStamp;
    }
    return false;
}

// A whole region after a trial: an even number of path ends, and not
// just the two ends of a path without every line.
void LoopSolver::Impl::endWalk(State& s, int walk, size_t walkCount) {
    const Walk& w = walks[static_cast<size_t>(walk)];
    if (w.ends % 2 != 0) {
        s.bad = true;
        noteWalk(walk, walkCount);
        return;
    }
    if (w.ends != 2) return;
    // Whether the two ends close one path depends on their mates and on
    // the number of lines.
    const int mate0 = s.mate[static_cast<size_t>(w.end0)];
    touch(mate0);
    touch(s.mate[static_cast<size_t>(w.end1)]);
    if (mate0 != w.end1) return;
    if (s.len[static_cast<size_t>(w.end0)] != s.lines) {
        if (s.len[static_cast<size_t>(w.end0)] >= rootLines) readWide();
        s.bad = true;
        noteWalk(walk, walkCount);
    } else {
        trialGlobal = true;
    }
}

// A failed region rule rests on the region: every dot its walk and the
// walks it met reached.
void LoopSolver::Impl::noteWalk(int walk, size_t walkCount) {
    for (size_t j = 0; j < walkCount; ++j) {
        if (walkSets.find(static_cast<int>(j)) != walk) continue;
        for (const int v : walks[j].todo) note(v);
    }
}

// A path end can only go on through undecided edges and dots that no
// line touches yet, until it meets another path end. So the dots that
// are not full, joined by the undecided edges between them, fall into
// regions each holding an even number of path ends; and a region whose
// only two ends belong to one path closes that path, which must then
// hold every line. Returns true when it set an edge.
bool LoopSolver::Impl::pathEndRegions(State& s) {
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
            noteRegion(static_cast<int>(r));
            return false;
        }
        if (regionEnds[r] == 2 && regionEnd[r] != v &&
            s.mate[static_cast<size_t>(v)] == regionEnd[r] &&
            s.len[static_cast<size_t>(v)] != s.lines) {
            s.bad = true;
            noteRegion(static_cast<int>(r));
            if (s.len[static_cast<size_t>(v)] >= rootLines) readWide();
            return false;
        }
    }
    regionsKnown = true;
    if (s.lines == 0) return false;
    // A region without path ends holds no line: a line there would start
    // paths that could never leave it, so they would close a loop of their
    // own, and there are lines elsewhere. Its undecided edges are crossed;
    // that rests on the region and on the root's lines. (The regions kept
    // for the walks may now hold more than one region each, which only
    // makes walks go on longer.)
    bool changed = false;
    for (int e = 0; e < g.edges && !s.bad; ++e) {
        if (s.edge[static_cast<size_t>(e)] != kUnknown) continue;
        const int a = g.edgeDots[static_cast<size_t>(e)][0];
        if (s.dotLine[static_cast<size_t>(a)] >= 2 ||
            s.dotLine[static_cast<size_t>(g.edgeDots[static_cast<size_t>(e)][1])] >= 2) {
            continue;
        }
        const size_t r = static_cast<size_t>(regions.find(a));
        if (regionEnds[r] != 0) continue;
        regionEnd[r] = -2;  // (-1 for any other region without ends)
        changed = true;
        setEdge(s, e, kCross);
    }
    if (changed && noting()) {
        if (rootLines == 0) readWide();
        for (int v = 0; v < g.dots; ++v) {
            if (regionEnd[static_cast<size_t>(regions.find(v))] == -2) note(v);
        }
    }
    return changed;
}

// A region's rule read the region: its dots, and around them the crossed
// edges and full dots that bound it.
void LoopSolver::Impl::noteRegion(int root) {
    if (!noting()) return;
    for (int v = 0; v < g.dots; ++v) {
        if (regions.find(v) == root) note(v);
    }
}

}  // namespace quorrin
