// Small helpers for building boards in tests.
#pragma once

#include <cstring>
#include <initializer_list>
#include <string>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace quorrin::test {

// A puzzle from rows of cells: "." no clue, "0".."3" a clue.
inline PuzzleEntry entryOf(std::initializer_list<const char*> rows) {
    PuzzleEntry e;
    e.height = static_cast<std::int32_t>(rows.size());
    e.width = rows.size() == 0 ? 0 : static_cast<std::int32_t>(std::strlen(*rows.begin()));
    e.clues.assign(static_cast<std::size_t>((e.width + 1) * (e.height + 1)), 255);
    int r = 0;
    for (const char* row : rows) {
        for (int c = 0; c < e.width; ++c) {
            if (row[c] != '.') {
                e.clues[static_cast<std::size_t>(r * (e.width + 1) + c)] =
                    static_cast<std::uint8_t>(row[c] - '0');
            }
        }
        ++r;
    }
    return e;
}

// A board of w x h cells without clues.
inline Board emptyBoard(int w, int h) {
    PuzzleEntry e;
    e.width = w;
    e.height = h;
    e.clues.assign(static_cast<std::size_t>((w + 1) * (h + 1)), 255);
    Board b;
    b.load(e);
    return b;
}

inline EdgeRef rightOf(const Board& b, int r, int c) {
    return EdgeRef{r * (b.width + 1) + c, 0};
}
inline EdgeRef downOf(const Board& b, int r, int c) {
    return EdgeRef{r * (b.width + 1) + c, 1};
}

inline std::uint8_t& codeAt(Board& b, int r, int c) {
    return b.codes[static_cast<std::size_t>(r * (b.width + 1) + c)];
}
inline std::uint8_t clueAt(const Board& b, int r, int c) {
    return b.clues[static_cast<std::size_t>(r * (b.width + 1) + c)];
}

// Put an edge into a state directly, then recompute the clues.
inline void setEdge(Board& b, EdgeRef e, EdgeState s) {
    std::uint8_t& code = b.codes[static_cast<std::size_t>(e.vertex)];
    const int right = code / 3;
    const int down = code % 3;
    code = static_cast<std::uint8_t>(e.vertical == 0 ? 3 * s + down : 3 * right + s);
    b.updateClueStates();
}

// Draw the outline of the rectangle of cells from (r0, c0) to (r1, c1)
// inclusive as Line edges.
inline void drawRectangle(Board& b, int r0, int c0, int r1, int c1) {
    for (int c = c0; c <= c1; ++c) {
        setEdge(b, rightOf(b, r0, c), Line);
        setEdge(b, rightOf(b, r1 + 1, c), Line);
    }
    for (int r = r0; r <= r1; ++r) {
        setEdge(b, downOf(b, r, c0), Line);
        setEdge(b, downOf(b, r, c1 + 1), Line);
    }
}

inline int countEdges(const Board& b, EdgeState s) {
    int n = 0;
    for (int v = 0; v < b.vertexCount(); ++v) {
        const int code = b.codes[static_cast<std::size_t>(v)];
        n += (code / 3 == s) + (code % 3 == s);
    }
    return n;
}

}  // namespace quorrin::test
