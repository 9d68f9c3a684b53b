// Shared pieces of the fuzz targets: a check that aborts with a message (so
// that libFuzzer keeps the input), a scratch folder, and an independent check
// of a board.
#pragma once

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "board/board.h"
#include "store/puzzle_collection.h"

#define FUZZ_CHECK(c) \
    ((c) ? void(0)    \
         : (std::fprintf(stderr, "%s:%d: failed: %s\n", __FILE__, __LINE__, #c), std::abort()))

namespace quorrin {

// A file in this process's own folder under TMPDIR (tools/fuzz.sh points
// that at a folder in memory that it removes when the run ends).
inline std::filesystem::path scratch(const char* name) {
    static const auto path = std::filesystem::temp_directory_path() / std::to_string(::getpid());
    std::filesystem::create_directories(path);
    return path / name;
}

inline void writeFile(const std::filesystem::path& path, const void* data, std::size_t size) {
    FUZZ_CHECK(std::ofstream(path, std::ios::binary).write(static_cast<const char*>(data), size));
}

// What holds of a board (loaded from an entry, or between two actions): a
// size within the limits and grids of that size, codes 0..8,
// no mark on an edge leading off the board, the border classes, and clue
// states that agree with a recount of the lines. A vertex's code is
// 3 x (the state of the edge right of it) + (the state of the edge below).
inline void checkBoard(const Board& board) {
    const std::int64_t stride = std::int64_t{board.width} + 1;
    const std::int64_t count = stride * (std::int64_t{board.height} + 1);
    FUZZ_CHECK(board.width >= 0 && board.height >= 0 && count <= kMaxVertices);
    for (const auto* grid : {&board.codes, &board.clues, &board.borders, &board.snapshot})
        FUZZ_CHECK(grid->size() == static_cast<std::size_t>(count));
    const auto& at = board.codes;
    for (std::int64_t v = 0; v < count; ++v) {
        const bool lastCol = v % stride == board.width, lastRow = v / stride == board.height;
        FUZZ_CHECK(at[v] <= 8 && board.snapshot[v] <= 8);
        FUZZ_CHECK(!(lastCol && at[v] / 3 != Empty) && !(lastRow && at[v] % 3 != Empty));
        FUZZ_CHECK(board.borders[v] == (v < stride || lastRow) + (v % stride == 0 || lastCol));
        const std::uint8_t clue = board.clues[v];
        if (clue == kNoClue) continue;
        FUZZ_CHECK(!lastRow && !lastCol);
        const int sides = (at[v] / 3 == Line) + (at[v] % 3 == Line) + (at[v + 1] % 3 == Line) +
                          (at[v + stride] / 3 == Line);
        const int value = clue & 3;
        FUZZ_CHECK(clue == value + (sides < value ? 0 : sides > value ? kClueOver : kClueExact));
    }
}

}  // namespace quorrin
