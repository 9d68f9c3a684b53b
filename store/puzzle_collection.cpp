// Reading of collection files and the collection identity.
#include "store/puzzle_collection.h"

#include <array>
#include <cstdio>
#include <cstring>

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

}  // namespace

bool CollectionTextReader::readLine(char (&out)[kMaxLineBytes + 1], int& length) {
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

int CollectionTextReader::rawGet() {
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

int CollectionTextReader::get() {
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

bool isDeviceName(const std::string& name) {
    // The part before the first dot, without the spaces that end it.
    std::string base = name.substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') base.pop_back();
    for (char& c : base) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    static const char* const kDevices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : kDevices) {
        if (base == device) return true;
    }
    return base.size() == 4 && (base.compare(0, 3, "COM") == 0 || base.compare(0, 3, "LPT") == 0) &&
           base[3] >= '0' && base[3] <= '9';
}

bool isCollectionFileName(const std::string& name) {
    if (name.size() < kShortestCollectionName || name.size() > kLongestCollectionName ||
        name.compare(name.size() - kCollectionSuffixBytes, kCollectionSuffixBytes,
                     kCollectionSuffix) != 0) {
        return false;
    }
    // Shift_JIS character by character: one byte 0x20..0x7E or a half-width
    // kana 0xA1..0xDF; or a lead byte 0x81..0x9F, 0xE0..0xFC and a trail byte
    // 0x40..0x7E, 0x80..0xFC (which may be the byte of '\\': 表 is 0x95 0x5C).
    for (std::size_t i = 0; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if ((c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC)) {
            const unsigned char t =
                i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
            if (t < 0x40 || t == 0x7F || t > 0xFC) return false;
            ++i;
            continue;
        }
        const bool single = (c >= 0x20 && c <= 0x7E) || (c >= 0xA1 && c <= 0xDF);
        if (!single || std::strchr("<>:\"/\\|?*", c) != nullptr) return false;
    }
    return !isDeviceName(name);
}

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
    CollectionTextReader reader(file);
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
