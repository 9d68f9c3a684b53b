// The solution check: clues exact, every vertex of degree 0 or 2, and one
// single loop, found by a walk that marks vertex codes in place.
#include <cstddef>

#include "board/board.h"
#include "board/code_tables.h"

namespace quorrin {

bool Board::isSolved() {
    for (const std::uint8_t byte : clues) {
        if (byte < kClueExact) return false;  // a clue under or over
    }
    const std::int32_t n = vertexCount();
    for (std::int32_t v = 0; v < n; ++v) {
        const int lines = linesAt(v);
        if (lines != 0 && lines != 2) return false;
    }
    return traceSingleLoop();
}

bool Board::traceSingleLoop() {
    const std::int32_t count = vertexCount();
    if (count <= 0) return false;
    const std::int32_t stride = width + 1;
    std::uint8_t* const code = codes.data();
    const auto unmarked = [code](std::int32_t v) { return code[v] < codes::kWalkMark; };
    const auto mark = [code](std::int32_t v) {
        code[v] = static_cast<std::uint8_t>(code[v] + codes::kWalkMark);
    };

    std::int32_t p = 0;
    while (p < count && code[p] != 8) ++p;
    if (p == count) return false;

    // Each move marks one vertex that was unmarked, so the walk ends after at
    // most count moves whatever the board holds.
    for (;;) {
        if (p < 0 || p >= count) break;  // only a board with broken codes gets here
        bool moved = false;
        if (unmarked(p)) {
            if (codes::kRightLine[code[p]]) {
                mark(p);
                p += 1;
                moved = true;
            } else if (codes::kDownLine[code[p]]) {
                mark(p);
                p += stride;
                moved = true;
            }
        }
        if (p >= 1) {
            const std::int32_t q = p - 1;
            if (unmarked(q)) {
                if (code[q] == 8) {
                    mark(q);
                    p = q + stride;
                    moved = true;
                } else if (codes::kRightLine[code[q]]) {
                    mark(q);
                    p = q;
                    moved = true;
                }
            }
        }
        if (p >= stride) {
            const std::int32_t q = p - stride;
            if (unmarked(q)) {
                if (code[q] == 8) {
                    mark(q);
                    p = q + 1;
                    continue;
                }
                if (codes::kDownLine[code[q]]) {
                    mark(q);
                    p = q;
                    continue;
                }
            }
        }
        if (!moved) break;
    }

    bool single = true;
    for (std::int32_t v = 0; v < count; ++v) {
        if (code[v] >= codes::kWalkMark) {
            code[v] = static_cast<std::uint8_t>(code[v] - codes::kWalkMark);
        } else if (codes::kRightLine[code[v]] || codes::kDownLine[code[v]]) {
            single = false;
        }
    }
    return single;
}

}  // namespace quorrin
