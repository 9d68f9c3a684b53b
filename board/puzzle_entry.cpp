// The one-line text form of a puzzle.
#include "board/puzzle_entry.h"

#include <cstddef>
#include <cstdint>

#include "board/board.h"

namespace quorrin {

namespace {

// Splits a line into "/"-separated fields. Once the end of the text is
// reached, every further field is empty.
class FieldReader {
  public:
    explicit FieldReader(const char* text) : next_(text) {}

    // Copies at most kMaxFieldBytes bytes of the next field into out,
    // NUL-terminated, and moves past the rest of the field and its "/".
    void take(char (&out)[kMaxFieldBytes + 1]) {
        int length = 0;
        if (next_ != nullptr) {
            while (*next_ != '\0' && *next_ != '/') {
                if (length < kMaxFieldBytes) out[length++] = *next_;
                ++next_;
            }
            next_ = *next_ == '/' ? next_ + 1 : nullptr;
        }
        out[length] = '\0';
    }

  private:
    const char* next_;
};

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// A decimal number as atoi reads it, held to the signed 32-bit range.
std::int32_t readNumber(const char* text) {
    while (isSpace(*text)) ++text;
    bool negative = false;
    if (*text == '+' || *text == '-') {
        negative = *text == '-';
        ++text;
    }
    std::int64_t value = 0;
    constexpr std::int64_t kLimit = std::int64_t{1} << 31;
    for (; *text >= '0' && *text <= '9'; ++text) {
        value = value * 10 + (*text - '0');
        if (value > kLimit) value = kLimit;  // stays far from overflow
    }
    if (negative) value = -value;
    if (value > INT32_MAX) value = INT32_MAX;
    return static_cast<std::int32_t>(value);
}

}  // namespace

bool lineHoldsBoard(std::int64_t width, std::int64_t height) {
    return boardSizeFits(width, height) && width + 1 <= kMaxFieldBytes;
}

void PuzzleEntry::parseLine(const char* line) {
    FieldReader fields(line != nullptr ? line : "");
    char field[kMaxFieldBytes + 1];
    fields.take(field);
    difficulty = readNumber(field);
    fields.take(field);
    height = readNumber(field);
    fields.take(field);
    width = readNumber(field);

    if (!boardSizeFits(width, height)) {
        // No playable board: a 0 x 0 puzzle, which every part can show.
        width = 0;
        height = 0;
    }
    const std::size_t stride = static_cast<std::size_t>(width) + 1;
    clues.assign(stride * (static_cast<std::size_t>(height) + 1), 255);
    for (std::int32_t r = 0; r < height; ++r) {
        fields.take(field);
        std::uint8_t* row = clues.data() + static_cast<std::size_t>(r) * stride;
        std::int32_t c = 0;
        for (const char* p = field; *p != '\0' && c < width; ++p) {
            if (*p == '.') {
                row[c++] = 255;
            } else if (*p >= '0' && *p <= '3') {
                row[c++] = static_cast<std::uint8_t>(*p - '0');
            }
        }
    }
}

}  // namespace quorrin
