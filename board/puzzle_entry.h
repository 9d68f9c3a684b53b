// One puzzle: its size, its difficulty number and its clue grid, and the
// one-line text form it is written in (collection files hold one per line).
#pragma once

#include <cstdint>
#include <vector>

namespace quorrin {

// Bytes of one field that the parser reads; the rest of a longer field is
// skipped.
constexpr int kMaxFieldBytes = 63;

// The board sizes a collection line holds as the tools write it, a row of
// cells per field: a size boardSizeFits takes whose longest row field, W
// cells and the line's LF, is read whole (W at most 62).
bool lineHoldsBoard(std::int64_t width, std::int64_t height);

struct PuzzleEntry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t difficulty = 0;
    // (W+1) x (H+1) bytes, row stride W+1; 0..3 a clue, 255 none.
    std::vector<std::uint8_t> clues;

    // Parse one line as the reader delivers it (NUL-terminated, LF included
    // if the line had one). Never fails. Each field is read up to its 63rd
    // byte. A line whose size boardSizeFits refuses gives a 0 x 0 puzzle
    // (one byte, 255): it keeps its slot but cannot be played.
    void parseLine(const char* line);

    // At least one cell: a board can be played.
    bool playable() const { return width >= 1 && height >= 1; }
};

}  // namespace quorrin
