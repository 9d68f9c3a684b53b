// A temporary folder per test with the executable "quorrin.exe" in it, files
// of raw bytes, the game state start-up hands to the store, and the identity
// of a collection's text.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "store/platform.h"
#include "store/progress_store.h"
#include "store/puzzle_collection.h"
#include "tests/store/game_state.h"

namespace quorrin::test {

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
    ASSERT_TRUE(out.good()) << path;
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// bytes with values written little-endian: {offset, value, number of bytes}.
struct Poke {
    std::size_t at;
    std::uint32_t value;
    int bytes;
};
inline std::string poked(std::string bytes, const std::vector<Poke>& pokes) {
    for (const Poke& p : pokes) {
        for (int i = 0; i < p.bytes; ++i)
            bytes[p.at + std::size_t(i)] = static_cast<char>(p.value >> (8 * i));
    }
    return bytes;
}

// The identity of a collection whose text read is bytes (the CRC itself is
// held to its check value in tests/store/collection_test.cpp).
inline std::uint32_t identityOf(const std::string& bytes) {
    return identityUpdate(kIdentityStart, reinterpret_cast<const unsigned char*>(bytes.data()),
                          bytes.size());
}

inline std::string& fakeExecutable() {
    static std::string path;
    return path;
}

// Three small puzzles: 2 x 2, 3 x 2 and 1 x 1.
inline const std::string kEasy = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/.\n";

class StoreTest : public ::testing::Test {
  protected:
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder =
            std::filesystem::temp_directory_path() /
            (std::string("quorrin-") + info->name() + "-" + std::to_string(std::random_device()()));
        std::filesystem::create_directories(folder);
        // The separator the platform writes, so that the folder length is
        // measured as it is in the program.
        fakeExecutable() = (folder / "quorrin.exe").string();
        platform() = defaultPlatform();
        platform().executablePath = [](char* buffer, std::size_t size) {
            const std::string& path = fakeExecutable();
            if (path.empty() || path.size() + 1 > size) return false;
            std::memcpy(buffer, path.c_str(), path.size() + 1);
            return true;
        };
    }
    void TearDown() override {
        platform() = defaultPlatform();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path file(const char* name) const { return folder / name; }
    std::filesystem::path savePath() const { return folder / "quorrin.sav"; }

    // First run: no save file; the player opens "easy.dat", which holds kEasy.
    void openFirst(ProgressStore& store, Game& game) {
        writeBytes(file("easy.dat"), kEasy);
        ASSERT_FALSE(game.start(store));
        ASSERT_TRUE(store.setCollectionName("easy.dat"));
        ASSERT_TRUE(store.loadCollection());
        store.selectNextUncleared();
        game.board.load(store.collection.puzzles[store.currentPuzzle]);
        game.solved = false;
    }

    std::filesystem::path folder;
};

}  // namespace quorrin::test
