// The folder the save-file target and its seed maker run in: an executable
// "quorrin.exe" (which is never there), beside it two fixed collections,
// "easy.dat" and "b.dat", and the save file "quorrin.sav".
#pragma once

#include <cstdint>
#include <cstring>
#include <filesystem>
#include <string>

#include "board/board.h"
#include "fuzz_support.h"
#include "store/platform.h"
#include "store/progress_store.h"
#include "store/trial_mode.h"

namespace quorrin::fuzz {

// Small boards, an empty line (the 0 x 0 entry), a board of 10 x 7 and one
// of 62 x 31, the largest width a line can hold.
inline std::string firstCollection() {
    std::string text = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/2\n\n2/7/10";
    const char* rows[] = {"3.2.0.....", "..1.2.3.1.", "0.........", "...22.....",
                          ".3.3.3.3.3", "1........1", "2.2.2.2.2."};
    for (const char* row : rows) text += std::string("/") + row;
    text += "\n4/31/62";
    for (int r = 0; r < 31; ++r) {
        std::string row(62, '.');
        for (int c = r % 5; c < 62; c += 5) row[static_cast<std::size_t>(c)] = "0123"[(r + c) % 4];
        text += "/" + row;
    }
    text += "\n";
    return text;
}

constexpr char kSecondCollection[] = "1/3/3/.2./1.3/...\n1/1/2/3.\n";

// The game state that start-up hands to the store and shut-down saves.
struct Game {
    std::int32_t elapsed = 0;
    bool solved = true;
    TrialMode trial = Off;
    EdgeRef origin;
    Board board;

    bool start(ProgressStore& store) {
        return store.loadAtStartup(elapsed, solved, trial, origin, board);
    }
    // The resume state that shut-down writes.
    std::int32_t resume() const { return solved ? kNoResume : static_cast<std::int32_t>(trial); }
    bool save(ProgressStore& store) const {
        return store.writeSaveFile(board, resume(), origin, elapsed);
    }
};

inline const std::filesystem::path& folder() {
    return ScratchFolder::get();
}

inline std::string& executable() {
    static std::string path;
    return path;
}

// Writes the collections and points the store's executable path into the
// folder.
inline void setUpFolder() {
    const std::string first = firstCollection();
    writeFile(folder() / "easy.dat", reinterpret_cast<const std::uint8_t*>(first.data()),
              first.size());
    writeFile(folder() / "b.dat", reinterpret_cast<const std::uint8_t*>(kSecondCollection),
              sizeof kSecondCollection - 1);
    executable() = (folder() / "quorrin.exe").string();
    platform() = defaultPlatform();
    platform().executablePath = [](char* buffer, std::size_t size) {
        const std::string& path = executable();
        if (path.size() + 1 > size) return false;
        std::memcpy(buffer, path.c_str(), path.size() + 1);
        return true;
    };
}

}  // namespace quorrin::fuzz
