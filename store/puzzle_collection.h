// Collection files: one puzzle per line, at most 30 lines, and the
// collection identity (a CRC-32C register over the text read).
#pragma once

#include <cstddef>
#include <cstdint>

#include "board/puzzle_entry.h"

namespace quorrin {

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
