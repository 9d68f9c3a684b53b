// The two mouse actions on an edge and the rules that refuse a Line.
#include <cstddef>

#include "board/board.h"
#include "board/code_tables.h"

namespace quorrin {

namespace {

// Clue byte of a cell read signed: -1 for no clue (or a cell that does not
// exist), otherwise value + status.
int clueAt(const Board& b, std::int32_t cell, bool exists) {
    if (!exists) return -1;
    const std::uint8_t byte = b.clues[static_cast<std::size_t>(cell)];
    return byte >= 0x80 ? byte - 256 : byte;
}

bool rightIsCross(const Board& b, std::int32_t v) {
    return codes::kRightCross[b.codes[static_cast<std::size_t>(v)]] != 0;
}

bool downIsCross(const Board& b, std::int32_t v) {
    return codes::kDownCross[b.codes[static_cast<std::size_t>(v)]] != 0;
}

// The surroundings of one edge: its two ends, the cells on both sides and,
// for each cell, its side that meets the edge at each end.
struct Surroundings {
    std::int32_t end[2];
    int clue[2];            // clue byte of the cell on each side, -1 for none
    bool otherCross[2][2];  // [cell][end]: that cell's other side at the end is Cross
};

Surroundings surroundings(const Board& b, EdgeRef e) {
    const std::int32_t w = b.width;
    const std::int32_t stride = w + 1;
    const std::int32_t v = e.vertex;
    const std::int32_t row = v / stride;
    const std::int32_t col = v % stride;
    Surroundings s{};
    s.end[0] = v;
    if (e.vertical == 0) {
        s.end[1] = v + 1;
        const bool below = row < b.height;
        const bool above = row > 0;
        s.clue[0] = clueAt(b, v, below);
        s.clue[1] = clueAt(b, v - stride, above);
        if (below) {
            s.otherCross[0][0] = downIsCross(b, v);
            s.otherCross[0][1] = downIsCross(b, v + 1);
        }
        if (above) {
            s.otherCross[1][0] = downIsCross(b, v - stride);
            s.otherCross[1][1] = downIsCross(b, v - w);
        }
    } else {
        s.end[1] = v + stride;
        const bool right = col < w;
        const bool left = col > 0;
        s.clue[0] = clueAt(b, v, right);
        s.clue[1] = clueAt(b, v - 1, left);
        if (right) {
            s.otherCross[0][0] = rightIsCross(b, v);
            s.otherCross[0][1] = rightIsCross(b, v + stride);
        }
        if (left) {
            s.otherCross[1][0] = rightIsCross(b, v - 1);
            s.otherCross[1][1] = rightIsCross(b, v + w);
        }
    }
    return s;
}

// True when a Line on the Empty edge e could never be part of a solution.
bool lineRefused(const Board& b, EdgeRef e) {
    const Surroundings s = surroundings(b, e);
    // Full clue: a cell beside e is already over or exact.
    if (s.clue[0] >= 4 || s.clue[1] >= 4) return true;
    for (int end = 0; end < 2; ++end) {
        const std::int32_t x = s.end[end];
        // Busy end: a third Line at x.
        if (b.linesAt(x) >= 2) return true;
        const int blocked = b.blockedAt(x);
        // Dead end: nowhere to go on from x.
        if (blocked == 3) return true;
        // Clue-1 corner: the only way on from x is the other side of a clue-1
        // cell, which would then get two Line sides.
        if (blocked == 2) {
            for (int cell = 0; cell < 2; ++cell) {
                if (s.clue[cell] == 1 && !s.otherCross[cell][end]) return true;
            }
        }
    }
    return false;
}

}  // namespace

void Board::markEdge(EdgeRef e) {
    if (!hasEdge(e)) return;
    const std::size_t n = static_cast<std::size_t>(e.vertex);
    const std::uint8_t code = codes[n];
    const bool empty = edgeState(e) == Empty;
    if (empty && lineRefused(*this, e)) {
        codes[n] = e.vertical == 0 ? codes::kRightToCross[code] : codes::kDownToCross[code];
    } else {
        codes[n] = e.vertical == 0 ? codes::kRightStep[code] : codes::kDownStep[code];
    }
    updateClueStates();
}

void Board::crossEdge(EdgeRef e) {
    if (!hasEdge(e)) return;
    const std::size_t n = static_cast<std::size_t>(e.vertex);
    const std::uint8_t code = codes[n];
    codes[n] = e.vertical == 0 ? codes::kRightToCross[code] : codes::kDownToCross[code];
    updateClueStates();
}

}  // namespace quorrin
