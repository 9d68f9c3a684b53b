// Helpers for building boards in tests.
#pragma once

#include <algorithm>
#include <string>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace quorrin::test {

// A puzzle from its rows of cells separated by "/": "." no clue, "0".."3" a
// clue; "" has no cell.
inline PuzzleEntry entryOf(const std::string& rows) {
    const std::size_t w = std::min(rows.find('/'), rows.size());
    const auto h = rows.empty() ? 0 : 1 + std::count(rows.begin(), rows.end(), '/');
    PuzzleEntry e;
    e.parseLine(("0/" + std::to_string(h) + "/" + std::to_string(w) + "/" + rows).c_str());
    return e;
}

inline Board loaded(const PuzzleEntry& e) {
    Board b;
    b.load(e);
    return b;
}

// A board of w x h cells without clues.
inline Board emptyBoard(int w, int h) {
    PuzzleEntry e;
    e.parseLine(("0/" + std::to_string(h) + "/" + std::to_string(w)).c_str());
    return loaded(e);
}

// An edge by the vertex (r, c) that owns it: the edge to its right, or
// below it when vertical.
struct E {
    int r, c;
    bool vertical;
    friend bool operator==(const E& a, const E& b) {
        return a.r == b.r && a.c == b.c && a.vertical == b.vertical;
    }
};
inline EdgeRef edgeOf(const Board& b, E e) {
    return EdgeRef{e.r * (b.width + 1) + e.c, static_cast<std::uint8_t>(e.vertical)};
}

inline std::uint8_t clueAt(const Board& b, int r, int c) {
    return b.clues[static_cast<std::size_t>(r * (b.width + 1) + c)];
}

// Put an edge into a state directly, then recompute the clues.
inline void setEdge(Board& b, E e, EdgeState s) {
    b.setEdgeState(edgeOf(b, e), s);
}

// Draw the outline of the cells (r0, c0) to (r1, c1) inclusive as Lines.
inline void drawRectangle(Board& b, int r0, int c0, int r1, int c1) {
    for (int c = c0; c <= c1; ++c) {
        setEdge(b, {r0, c, false}, Line);
        setEdge(b, {r1 + 1, c, false}, Line);
    }
    for (int r = r0; r <= r1; ++r) {
        setEdge(b, {r, c0, true}, Line);
        setEdge(b, {r, c1 + 1, true}, Line);
    }
}

}  // namespace quorrin::test
