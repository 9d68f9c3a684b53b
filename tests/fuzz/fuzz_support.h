// Shared pieces of the fuzz targets: a check that aborts with a message (so
// that libFuzzer keeps the input), a per-process scratch folder, a source of
// choices taken from the input's bytes, and independent checks of a board.
#pragma once

#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include <signal.h>
#include <unistd.h>

#include "board/board.h"
#include "store/puzzle_collection.h"

namespace quorrin::fuzz {

[[noreturn]] inline void fail(const char* file, int line, const char* what) {
    std::fprintf(stderr, "%s:%d: property failed: %s\n", file, line, what);
    std::fflush(stderr);
    std::abort();
}

#define FUZZ_CHECK(condition) \
    ((condition) ? static_cast<void>(0) : ::quorrin::fuzz::fail(__FILE__, __LINE__, #condition))

// A folder of this process's own, made on first use and removed at exit.
// Two fuzzers (or -jobs workers) never share one. It lies in memory
// (/dev/shm) where there is such a folder: on a disk file system, writing a
// file over an old one (every input does) waits for the disk.
class ScratchFolder {
  public:
    static const std::filesystem::path& get() {
        static ScratchFolder folder;
        return folder.path_;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

  private:
    ScratchFolder() {
        std::error_code ec;
        const std::filesystem::path memory = "/dev/shm";
        const std::filesystem::path base =
            std::filesystem::is_directory(memory, ec) && ::access(memory.c_str(), W_OK) == 0
                ? memory
                : std::filesystem::temp_directory_path();
        removeStale(base);
        path_ = base / (kPrefix + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::remove_all(path_, ec);
        std::filesystem::create_directories(path_);
    }
    // A run that ends on a failed input (or is stopped) leaves its folder
    // behind: the folders of processes that are gone are removed.
    static void removeStale(const std::filesystem::path& base) {
        std::error_code ec;
        std::vector<std::filesystem::path> stale;
        for (std::filesystem::directory_iterator it(base, ec), end; !ec && it != end;
             it.increment(ec)) {
            const std::string name = it->path().filename().string();
            if (name.rfind(kPrefix, 0) != 0) continue;
            const std::string digits = name.substr(std::strlen(kPrefix));
            if (digits.empty() || digits.find_first_not_of("0123456789") != std::string::npos ||
                digits.size() > 9) {
                continue;
            }
            const auto pid = static_cast<pid_t>(std::stol(digits));
            if (::kill(pid, 0) != 0 && errno == ESRCH) stale.push_back(it->path());
        }
        for (const auto& path : stale) std::filesystem::remove_all(path, ec);
    }

    static constexpr const char* kPrefix = "quorrin-fuzz-";

    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    std::filesystem::path path_;
};

inline void writeFile(const std::filesystem::path& path, const std::uint8_t* data,
                      std::size_t size) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    FUZZ_CHECK(file != nullptr);
    FUZZ_CHECK(size == 0 || std::fwrite(data, 1, size, file) == size);
    FUZZ_CHECK(std::fclose(file) == 0);
}

inline std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::vector<std::uint8_t> bytes;
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return bytes;
    std::uint8_t chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) {
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    std::fclose(file);
    return bytes;
}

// Choices for the targets whose input is a file: taken from the input's
// bytes read backwards from its end (so that mutations of the tail steer
// them), then from a generator seeded with all the bytes once those run out.
class Choices {
  public:
    Choices(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {
        std::uint64_t seed = 0x9E3779B97F4A7C15u;
        for (std::size_t i = 0; i < size; ++i) seed = (seed ^ data[i]) * 0x100000001B3u;
        state_ = seed;
    }

    std::uint8_t byte() {
        if (left_ > 0) return data_[--left_];
        return static_cast<std::uint8_t>(generated());
    }

    // A number in [0, bound) from the generator alone: a choice that the
    // input's tail does not steer, for a decision that should come out the
    // same way for most inputs whatever their last bytes.
    std::uint32_t generatedBelow(std::uint32_t bound) {
        return static_cast<std::uint32_t>(generated() % bound);
    }

    // A number in [0, bound); bound above 0.
    std::uint32_t below(std::uint32_t bound) {
        std::uint32_t value = byte();
        if (bound > 256) value = value << 8 | byte();
        if (bound > 65536) value = value << 8 | byte();
        return value % bound;
    }

    // A number in [low, high].
    std::int32_t range(std::int32_t low, std::int32_t high) {
        return low + static_cast<std::int32_t>(below(static_cast<std::uint32_t>(high - low + 1)));
    }

  private:
    std::uint64_t generated() {
        state_ += 0x9E3779B97F4A7C15u;
        std::uint64_t z = state_;
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    const std::uint8_t* data_;
    std::size_t left_;
    std::uint64_t state_;
};

// A puzzle entry as the collection reader may hand it over: a playable
// board within the limits with its grid of clues 0..3 and 255 pads, or the
// 0 x 0 entry with its single 255.
inline void checkEntry(const PuzzleEntry& entry) {
    if (!entry.playable()) {
        FUZZ_CHECK(entry.width == 0 && entry.height == 0);
        FUZZ_CHECK(entry.clues.size() == 1 && entry.clues[0] == 255);
        return;
    }
    const std::int64_t stride = std::int64_t{entry.width} + 1;
    const std::int64_t count = stride * (std::int64_t{entry.height} + 1);
    FUZZ_CHECK(count <= kMaxVertices);
    FUZZ_CHECK(entry.clues.size() == static_cast<std::size_t>(count));
    for (std::int64_t i = 0; i < count; ++i) {
        const std::uint8_t clue = entry.clues[static_cast<std::size_t>(i)];
        const bool cell = i % stride < entry.width && i / stride < entry.height;
        FUZZ_CHECK(cell ? (clue <= 3 || clue == 255) : clue == 255);
    }
}

inline int rightState(std::uint8_t code) {
    return code / 3;
}
inline int downState(std::uint8_t code) {
    return code % 3;
}

// Everything that must hold of a board between two actions: the grids of
// its size, codes 0..8, no mark on an edge leading off the board, the
// border classes, and clue states that agree with a recount of the lines.
inline void checkBoard(const Board& board) {
    FUZZ_CHECK(board.width >= 0 && board.height >= 0);
    const std::int64_t stride = std::int64_t{board.width} + 1;
    const std::int64_t count = stride * (std::int64_t{board.height} + 1);
    FUZZ_CHECK(count >= 1 && count <= kMaxVertices);
    const auto n = static_cast<std::size_t>(count);
    FUZZ_CHECK(board.codes.size() == n);
    FUZZ_CHECK(board.clues.size() == n);
    FUZZ_CHECK(board.borders.size() == n);
    FUZZ_CHECK(board.snapshot.size() == n);
    for (std::int64_t v = 0; v < count; ++v) {
        const std::uint8_t code = board.codes[static_cast<std::size_t>(v)];
        FUZZ_CHECK(code <= 8);
        const std::int64_t row = v / stride, col = v % stride;
        if (col == board.width) FUZZ_CHECK(rightState(code) == Empty);
        if (row == board.height) FUZZ_CHECK(downState(code) == Empty);
        const int border =
            (row == 0 || row == board.height ? 1 : 0) + (col == 0 || col == board.width ? 1 : 0);
        FUZZ_CHECK(board.borders[static_cast<std::size_t>(v)] == border);
        FUZZ_CHECK(board.snapshot[static_cast<std::size_t>(v)] <= 8);

        const std::uint8_t clue = board.clues[static_cast<std::size_t>(v)];
        if (row == board.height || col == board.width || clue == kNoClue) {
            FUZZ_CHECK(clue == kNoClue);
            continue;
        }
        const auto at = [&](std::int64_t u) { return board.codes[static_cast<std::size_t>(u)]; };
        const int sides = (rightState(at(v)) == Line) + (downState(at(v)) == Line) +
                          (downState(at(v + 1)) == Line) + (rightState(at(v + stride)) == Line);
        const int value = clue & 3;
        const int status = sides < value ? 0 : sides > value ? kClueOver : kClueExact;
        FUZZ_CHECK(clue == value + status);
    }
}

// The solution check done another way: every clue exact, every vertex on
// zero or two lines, and the lines one connected loop.
inline bool solvedByRecount(const Board& board) {
    for (const std::uint8_t clue : board.clues) {
        if (clue != kNoClue && (clue & kClueExact) == 0) return false;
    }
    const std::int32_t stride = board.width + 1;
    const std::int32_t count = board.vertexCount();
    std::vector<std::int32_t> parent(static_cast<std::size_t>(count));
    for (std::int32_t v = 0; v < count; ++v) parent[static_cast<std::size_t>(v)] = v;
    const auto find = [&parent](std::int32_t v) {
        while (parent[static_cast<std::size_t>(v)] != v) {
            v = parent[static_cast<std::size_t>(v)] =
                parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(v)])];
        }
        return v;
    };
    std::vector<int> degree(static_cast<std::size_t>(count), 0);
    int lines = 0;
    for (std::int32_t v = 0; v < count; ++v) {
        const std::uint8_t code = board.codes[static_cast<std::size_t>(v)];
        for (int vertical = 0; vertical < 2; ++vertical) {
            const int state = vertical == 0 ? rightState(code) : downState(code);
            if (state != Line) continue;
            const std::int32_t u = vertical == 0 ? v + 1 : v + stride;
            ++degree[static_cast<std::size_t>(v)];
            ++degree[static_cast<std::size_t>(u)];
            parent[static_cast<std::size_t>(find(v))] = find(u);
            ++lines;
        }
    }
    if (lines == 0) return false;
    std::int32_t root = -1;
    for (std::int32_t v = 0; v < count; ++v) {
        const int d = degree[static_cast<std::size_t>(v)];
        if (d != 0 && d != 2) return false;
        if (d == 0) continue;
        if (root == -1) root = find(v);
        if (find(v) != root) return false;
    }
    return true;
}

// An edge reference for the board's actions: mostly edges of the board,
// now and then one that is not (vertex out of range, vertical 2, an edge
// leading off the board), which the actions must ignore.
inline EdgeRef pickEdge(Choices& choices, const Board& board) {
    EdgeRef e;
    const std::int32_t count = board.vertexCount();
    if (choices.below(16) == 0) {
        e.vertex = choices.range(-3, count + 3);
        e.vertical = static_cast<std::uint8_t>(choices.below(3));
        return e;
    }
    e.vertex = static_cast<std::int32_t>(choices.below(static_cast<std::uint32_t>(count)));
    e.vertical = static_cast<std::uint8_t>(choices.below(2));
    return e;
}

}  // namespace quorrin::fuzz
