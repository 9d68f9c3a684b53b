#include "board/board.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "board/code_tables.h"
#include "board/puzzle_entry.h"

namespace quorrin {

namespace {

// Size of the grids for an entry, or 0 x 0 when the entry's size makes no
// board.
void boardSize(const PuzzleEntry& entry, std::int32_t& w, std::int32_t& h) {
    const bool fits = boardSizeFits(entry.width, entry.height);
    w = fits ? entry.width : 0;
    h = fits ? entry.height : 0;
}

}  // namespace

void Board::load(const PuzzleEntry& entry) {
    restore(entry, nullptr);
    // Pre-cross the four sides of every zero clue, leaving other edges alone.
    const std::int32_t stride = width + 1;
    for (std::int32_t r = 0; r < height; ++r) {
        for (std::int32_t c = 0; c < width; ++c) {
            const std::size_t n = static_cast<std::size_t>(r) * static_cast<std::size_t>(stride) +
                                  static_cast<std::size_t>(c);
            // The clue states are computed already: a zero clue reads exact.
            if (clues[n] >= 0x80 || (clues[n] & 3) != 0) continue;
            const std::size_t below = n + static_cast<std::size_t>(stride);
            codes[n] = static_cast<std::uint8_t>(3 * Cross + Cross);  // top and left
            codes[n + 1] = static_cast<std::uint8_t>(3 * codes::kRightState[codes[n + 1]] + Cross);
            codes[below] = static_cast<std::uint8_t>(3 * Cross + codes::kDownState[codes[below]]);
        }
    }
    snapshot = codes;
    updateClueStates();
}

void Board::restore(const PuzzleEntry& entry, const std::uint8_t* savedCodes) {
    boardSize(entry, width, height);
    const std::int32_t stride = width + 1;
    const std::size_t count =
        static_cast<std::size_t>(stride) * static_cast<std::size_t>(height + 1);

    // Clues: the entry's grid where it has one; anything that is not a clue
    // 0..3 of a cell (pads, stray values, a short grid) reads as no clue.
    clues.assign(count, kNoClue);
    const bool sameShape = entry.width == width && entry.height == height;
    if (sameShape) {
        for (std::int32_t r = 0; r < height; ++r) {
            for (std::int32_t c = 0; c < width; ++c) {
                const std::size_t n =
                    static_cast<std::size_t>(r) * static_cast<std::size_t>(stride) +
                    static_cast<std::size_t>(c);
                if (n < entry.clues.size() && entry.clues[n] <= 3) clues[n] = entry.clues[n];
            }
        }
    }

    codes.assign(count, 0);
    if (savedCodes != nullptr) {
        for (std::int32_t r = 0; r <= height; ++r) {
            for (std::int32_t c = 0; c <= width; ++c) {
                const std::size_t n =
                    static_cast<std::size_t>(r) * static_cast<std::size_t>(stride) +
                    static_cast<std::size_t>(c);
                const std::uint8_t saved = savedCodes[n];
                if (saved >= codes::kCount) continue;  // not a code: both edges Empty
                const int right = c < width ? codes::kRightState[saved] : 0;
                const int down = r < height ? codes::kDownState[saved] : 0;
                codes[n] = static_cast<std::uint8_t>(3 * right + down);
            }
        }
    }
    snapshot = codes;
    borders.assign(count, 0);
    computeBorders();
    updateClueStates();
}

void Board::updateClueStates() {
    const std::int32_t stride = width + 1;
    for (std::int32_t r = 0; r < height; ++r) {
        for (std::int32_t c = 0; c < width; ++c) {
            const std::size_t n = static_cast<std::size_t>(r) * static_cast<std::size_t>(stride) +
                                  static_cast<std::size_t>(c);
            const std::uint8_t byte = clues[n];
            if (byte >= 0x80) continue;  // negative: no clue
            const int value = byte & 3;
            const std::size_t below = n + static_cast<std::size_t>(stride);
            const int sides = codes::kRightLine[codes[n]] + codes::kDownLine[codes[n]] +
                              codes::kDownLine[codes[n + 1]] + codes::kRightLine[codes[below]];
            int status = kClueExact;
            if (sides < value) status = 0;
            if (sides > value) status = kClueOver;
            clues[n] = static_cast<std::uint8_t>(value + status);
        }
    }
}

void Board::computeBorders() {
    const std::int32_t stride = width + 1;
    for (std::int32_t r = 0; r <= height; ++r) {
        for (std::int32_t c = 0; c <= width; ++c) {
            const int rowEdge = (r == 0 || r == height) ? 1 : 0;
            const int colEdge = (c == 0 || c == width) ? 1 : 0;
            borders[static_cast<std::size_t>(r) * static_cast<std::size_t>(stride) +
                    static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(rowEdge + colEdge);
        }
    }
}

void Board::takeSnapshot() {
    snapshot = codes;
}

void Board::rollBack() {
    if (snapshot.size() == codes.size()) codes = snapshot;
    updateClueStates();
}

bool Board::hasEdge(EdgeRef e) const {
    if (e.vertex < 0 || e.vertex >= vertexCount() || e.vertical > 1) return false;
    const std::int32_t stride = width + 1;
    if (e.vertical == 0) return e.vertex % stride < width;
    return e.vertex / stride < height;
}

EdgeState Board::edgeState(EdgeRef e) const {
    if (!hasEdge(e)) return Empty;
    const std::uint8_t code = codes[static_cast<std::size_t>(e.vertex)];
    if (code >= codes::kCount) return Empty;
    return static_cast<EdgeState>(e.vertical == 0 ? codes::kRightState[code]
                                                  : codes::kDownState[code]);
}

void Board::setEdgeState(EdgeRef e, EdgeState state) {
    if (!hasEdge(e)) return;
    std::uint8_t& code = codes[static_cast<std::size_t>(e.vertex)];
    if (code >= codes::kCount) return;
    const auto right = static_cast<EdgeState>(codes::kRightState[code]);
    const auto down = static_cast<EdgeState>(codes::kDownState[code]);
    code = static_cast<std::uint8_t>(e.vertical == 0 ? vertexCode(state, down)
                                                     : vertexCode(right, state));
    updateClueStates();
}

int Board::linesAt(std::int32_t v) const {
    const std::int32_t stride = width + 1;
    const std::size_t n = static_cast<std::size_t>(v);
    int count = codes::kLines[codes[n]];
    if (v % stride > 0) count += codes::kRightLine[codes[n - 1]];
    if (v >= stride) count += codes::kDownLine[codes[n - static_cast<std::size_t>(stride)]];
    return count;
}

int Board::blockedAt(std::int32_t v) const {
    const std::int32_t stride = width + 1;
    const std::size_t n = static_cast<std::size_t>(v);
    int count = codes::kCrosses[codes[n]] + borders[n];
    if (v % stride > 0) count += codes::kRightCross[codes[n - 1]];
    if (v >= stride) count += codes::kDownCross[codes[n - static_cast<std::size_t>(stride)]];
    return count;
}

}  // namespace quorrin
