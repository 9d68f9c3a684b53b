// Collection files: one puzzle per line, at most 30 lines, and the
// collection identity (a CRC-32C register over the text read).
#pragma once

#include <cstddef>
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
    // if the line had one). Never fails. Each field is read up to its 63rd
    // byte. A line whose W or H is below 1, or whose grid would have more
    // than 2048 bytes, gives a 0 x 0 puzzle (one byte, 255): it keeps its
    // slot but cannot be played.
    void parseLine(const char* line);

    // At least one cell: a board can be played.
    bool playable() const { return width >= 1 && height >= 1; }
};

// Bytes of one field that the parser reads; the rest of a longer field is
// skipped.
constexpr int kMaxFieldBytes = 63;
// Lines are delivered in pieces of at most this many bytes.
constexpr int kMaxLineBytes = 2047;

constexpr int kMaxPuzzles = 30;

// Collection identity: the CRC-32C register (reflected polynomial
// 0x82F63B78), started at kIdentityStart, run over the text's bytes, with no
// final complement.
constexpr std::uint32_t kIdentityStart = 0xFFFFFFFFu;
std::uint32_t identityUpdate(std::uint32_t reg, const unsigned char* bytes, std::size_t count);

// clang-tidy 14 takes the loop variable of the implicit copy of the puzzles
// array for a name of ours.
// NOLINTNEXTLINE(bugprone-reserved-identifier)
struct PuzzleCollection {
    PuzzleEntry puzzles[kMaxPuzzles];
    std::int32_t puzzleCount = 0;

    // Read the collection file at path; identity receives the collection
    // identity. False when the file cannot be opened or yields no line.
    // The file is read as text the same way on every platform: CR LF is
    // read as LF, a lone CR stays, a byte 0x1A ends the text.
    bool read(const char* path, std::uint32_t& identity);
};

}  // namespace quorrin
