// Reading of collection files and the collection identity.
#include "store/puzzle_collection.h"

#include <array>
#include <cstdio>

#include "store/platform.h"

namespace quorrin {

namespace {

// The 256-entry table of the reflected CRC-32C polynomial.
std::array<std::uint32_t, 256> makeIdentityTable() {
    std::array<std::uint32_t, 256> table{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t reg = i;
        for (int bit = 0; bit < 8; ++bit) {
            reg = (reg & 1u) != 0 ? (reg >> 1) ^ 0x82F63B78u : reg >> 1;
        }
        table[i] = reg;
    }
    return table;
}

const std::array<std::uint32_t, 256> kIdentityTable = makeIdentityTable();

// Reads a file as text, the same on every platform: CR LF becomes LF, a CR
// not followed by LF stays, and 0x1A ends the text.
class TextReader {
  public:
    explicit TextReader(std::FILE* file) : file_(file) {}

    // Next line or piece of a line: at most kMaxLineBytes bytes, ending after
    // the first LF. out receives the bytes and a NUL; length their number
    // (a NUL inside the line is kept). False when nothing more can be read.
    bool readLine(char (&out)[kMaxLineBytes + 1], int& length) {
        length = 0;
        while (length < kMaxLineBytes) {
            const int c = get();
            if (c < 0) break;
            out[length++] = static_cast<char>(c);
            if (c == '\n') break;
        }
        out[length] = '\0';
        return length > 0;
    }

  private:
    int rawGet() {
        if (pos_ == size_) {
            if (atEnd_) return -1;
            size_ = std::fread(buffer_, 1, sizeof buffer_, file_);
            pos_ = 0;
            if (size_ == 0) {
                atEnd_ = true;
                return -1;
            }
        }
        return buffer_[pos_++];
    }

    int get() {
        if (ended_) return -1;
        int c = pending_;
        pending_ = -1;
        if (c < 0) c = rawGet();
        if (c < 0 || c == 0x1A) {
            ended_ = true;
            return -1;
        }
        if (c == '\r') {
            const int d = rawGet();
            if (d == '\n') return '\n';
            pending_ = d;
        }
        return c;
    }

    std::FILE* file_;
    unsigned char buffer_[4096];
    std::size_t pos_ = 0;
    std::size_t size_ = 0;
    int pending_ = -1;
    bool atEnd_ = false;
    bool ended_ = false;
};

}  // namespace

std::uint32_t identityUpdate(std::uint32_t reg, const unsigned char* bytes, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        reg = (reg >> 8) ^ kIdentityTable[(reg ^ bytes[i]) & 0xFFu];
    }
    return reg;
}

bool PuzzleCollection::read(const char* path, std::uint32_t& identity) {
    if (path == nullptr || platform().openFile == nullptr) return false;
    std::FILE* file = platform().openFile(path, "rb");
    if (file == nullptr) return false;
    TextReader reader(file);
    puzzleCount = 0;
    std::uint32_t reg = kIdentityStart;
    char line[kMaxLineBytes + 1];
    int length = 0;
    while (puzzleCount < kMaxPuzzles && reader.readLine(line, length)) {
        puzzles[puzzleCount].parseLine(line);
        int content = 0;
        while (content < length && line[content] != '\0') ++content;
        reg = identityUpdate(reg, reinterpret_cast<const unsigned char*>(line),
                             static_cast<std::size_t>(content));
        ++puzzleCount;
    }
    (void)std::fclose(file);  // read only
    if (puzzleCount == 0) return false;
    identity = reg;
    return true;
}

}  // namespace quorrin
