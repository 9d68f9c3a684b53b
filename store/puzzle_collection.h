// Collection files: one puzzle per line, at most 30 lines, and the
// collection identity (a CRC-32C register over the text read).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "board/puzzle_entry.h"

namespace quorrin {

// Lines are delivered in pieces of at most this many bytes.
constexpr int kMaxLineBytes = 2047;

constexpr int kMaxPuzzles = 30;

// Collection files are named NAME.dat: lower-case ".dat", 5 to 63 bytes
// (the save file's 64-byte field keeps the NUL), and a name every Windows
// can give a disk file of the program's folder: Shift_JIS characters only,
// no control character, none of < > : " / \ | ? *, and not a device (CON,
// PRN, AUX, NUL, COM0-9, LPT0-9, CONIN$, CONOUT$ in any case, whatever
// follows the first dot, with spaces before it). The folder listing, the
// open-collection dialog and the save file all go by this one rule.
constexpr char kCollectionSuffix[] = ".dat";
constexpr std::size_t kCollectionSuffixBytes = sizeof kCollectionSuffix - 1;
constexpr std::size_t kShortestCollectionName = kCollectionSuffixBytes + 1;
constexpr std::size_t kLongestCollectionName = 63;
bool isCollectionFileName(const std::string& name);
// The part of the rule about devices: true when Windows takes name for a
// device whatever its folder.
bool isDeviceName(const std::string& name);

// Collection identity: the CRC-32C register (reflected polynomial
// 0x82F63B78), started at kIdentityStart, run over the text's bytes, with no
// final complement.
constexpr std::uint32_t kIdentityStart = 0xFFFFFFFFu;
std::uint32_t identityUpdate(std::uint32_t reg, const unsigned char* bytes, std::size_t count);

// Reads a collection file as text, the same on every platform: CR LF becomes
// LF, a CR not followed by LF stays, and 0x1A ends the text.
class CollectionTextReader {
  public:
    explicit CollectionTextReader(std::FILE* file) : file_(file) {}

    // Next line or piece of a line: at most kMaxLineBytes bytes, ending after
    // the first LF. out receives the bytes and a NUL; length their number
    // (a NUL inside the line is kept). False when nothing more can be read.
    bool readLine(char (&out)[kMaxLineBytes + 1], int& length);

  private:
    int rawGet();
    int get();

    std::FILE* file_;
    unsigned char buffer_[4096] = {};
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    int pending_ = -1;
    bool atEnd_ = false;
    bool ended_ = false;
};

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
