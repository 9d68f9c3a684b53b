// Collection files: one puzzle per line, at most 30 lines, and the
// collection identity (a CRC-32C register over the text read).
#pragma once

#include <cstdint>
#include <vector>

namespace quorrin {

struct PuzzleEntry {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t difficulty = 0;
    // (W+1) x (H+1) bytes, row stride W+1; 0..3 a clue, 255 none.
    std::vector<std::uint8_t> clues;

    // Parse one line as the reader delivers it (NUL-terminated, LF included
    // if the line had one). Never fails.
    void parseLine(const char* line);
};

constexpr int kMaxPuzzles = 30;

struct PuzzleCollection {
    PuzzleEntry puzzles[kMaxPuzzles];
    std::int32_t puzzleCount = 0;

    // Read the collection file at path; identity receives the collection
    // identity. False when the file cannot be opened or yields no line.
    bool read(const char* path, std::uint32_t& identity);
};

}  // namespace quorrin
