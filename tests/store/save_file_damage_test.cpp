// Damaged, truncated and foreign save files, and writes that fail.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "game_fixture.h"

namespace quorrin {
namespace {

using test::Game;
using test::kEasy;
using test::readBytes;
using test::writeBytes;

void put32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

class DamagedSaveFile : public test::StoreTest {
  protected:
    // A save file of a game in progress on puzzle 1 (3 x 2 cells) of
    // "easy.dat", trial started at the down edge of vertex 5, with two
    // records (the current one first).
    void SetUp() override {
        test::StoreTest::SetUp();
        writeCollection("easy.dat", kEasy);
        ProgressStore store;
        Game game;
        openFirst(store, "easy.dat", game);
        ProgressRecord other;
        other.identity = 0xABCDEF01u;
        other.clearTimes[4] = 321;
        store.records.push_back(other);
        store.records[0].clearTimes[2] = 99;
        store.currentPuzzle = 1;
        game.board.load(store.collection.puzzles[1]);
        game.board.markEdge(EdgeRef{0, 0});
        game.board.markEdge(EdgeRef{5, 1});
        codes = game.board.codes;
        ASSERT_TRUE(store.writeSaveFile(game.board, Started, EdgeRef{5, 1}, 600));
        good = readBytes(savePath());
        ASSERT_EQ(good.size(), 2136u + 128u);
    }

    // Start with bytes as the save file.
    bool startWith(const std::string& bytes, ProgressStore& store, Game& game) {
        writeBytes(savePath(), bytes);
        return game.start(store);
    }

    // The file as written resumes; check the start of a fresh puzzle.
    void expectFreshStart(const ProgressStore& store, const Game& game, int puzzle) {
        EXPECT_TRUE(game.solved);
        EXPECT_EQ(store.currentPuzzle, puzzle);
        EXPECT_EQ(game.trial, Off);
        EXPECT_EQ(game.elapsed, 0);
        Board fresh;
        fresh.load(store.collection.puzzles[puzzle]);
        EXPECT_EQ(game.board.codes, fresh.codes);
    }

    std::string good;
    std::vector<std::uint8_t> codes;
};

TEST_F(DamagedSaveFile, IntactFileResumes) {
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(good, store, game));
    EXPECT_FALSE(game.solved);
    EXPECT_EQ(game.trial, Started);
    EXPECT_EQ(game.origin, (EdgeRef{5, 1}));
    EXPECT_EQ(game.elapsed, 600);
    EXPECT_EQ(game.board.codes, codes);
    EXPECT_EQ(store.records.size(), 2u);
}

TEST_F(DamagedSaveFile, EveryTruncationIsSafe) {
    for (std::size_t size = 0; size < good.size(); ++size) {
        ProgressStore store;
        Game game;
        const bool started = startWith(good.substr(0, size), store, game);
        if (size < 2136) {
            EXPECT_FALSE(started) << size;  // treated as missing
            EXPECT_TRUE(store.records.empty());
            EXPECT_TRUE(game.solved);
            EXPECT_EQ(store.collectionName[0], '\0');
            continue;
        }
        // The whole records present are kept. The current one is first, so
        // the game resumes as soon as it is there.
        const std::size_t whole = (size - 2136) / 64;
        ASSERT_TRUE(started) << size;
        if (whole == 0) {
            EXPECT_EQ(store.records.size(), 1u);  // a new record for the text
            expectFreshStart(store, game, 1);
        } else {
            EXPECT_EQ(store.records.size(), whole) << size;
            EXPECT_FALSE(game.solved);
            EXPECT_EQ(game.board.codes, codes);
        }
    }
}

TEST_F(DamagedSaveFile, RecordCountsThatLie) {
    for (std::uint32_t count : {0xFFFFFFFFu, 0x80000000u, 3u, 1000000u, 0x7FFFFFFFu}) {
        std::string bytes = good;
        put32(bytes, 64, count);
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game)) << count;
        ASSERT_EQ(store.records.size(), 2u) << count;  // what the file holds
        EXPECT_EQ(store.records[1].identity, 0xABCDEF01u);
        EXPECT_EQ(store.records[1].clearTimes[4], 321);
        EXPECT_FALSE(game.solved);
        // Written back with the true count.
        ASSERT_TRUE(store.writeSaveFile(game.board, game.trial, game.origin, game.elapsed));
        EXPECT_TRUE(readBytes(savePath()) == good);
    }
    // A smaller count than records present: the count is believed.
    std::string bytes = good;
    put32(bytes, 64, 1);
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(bytes, store, game));
    EXPECT_EQ(store.records.size(), 1u);
}

TEST_F(DamagedSaveFile, ClearTimesOutOfRangeReadAsNotCleared) {
    std::string bytes = good;
    bytes[2136 + 4 + 0] = '\xFF';  // -1 at puzzle 0
    bytes[2136 + 4 + 1] = '\xFF';
    bytes[2136 + 4 + 2] = '\x10';  // 3600 at puzzle 1
    bytes[2136 + 4 + 3] = '\x0E';
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(bytes, store, game));
    EXPECT_EQ(store.records[0].clearTimes[0], 0);
    EXPECT_EQ(store.records[0].clearTimes[1], 0);
    EXPECT_EQ(store.records[0].clearTimes[2], 99);
}

TEST_F(DamagedSaveFile, NameWithoutNul) {
    std::string bytes = good;
    for (std::size_t i = 0; i < 64; ++i) bytes[i] = 'e';
    ProgressStore store;
    Game game;
    EXPECT_FALSE(startWith(bytes, store, game));
    EXPECT_TRUE(game.solved);
    EXPECT_EQ(store.records.size(), 2u);  // kept for the collection opened next
    EXPECT_EQ(store.collectionName[0], '\0');
    // Garbage after a proper name is zeroed.
    std::string tail = good;
    tail[40] = 'z';
    ProgressStore other;
    Game g;
    ASSERT_TRUE(startWith(tail, other, g));
    EXPECT_EQ(other.collectionName[40], '\0');
}

TEST_F(DamagedSaveFile, CurrentPuzzleOutsideTheCollection) {
    for (std::uint32_t index : {3u, 30u, 0x7FFFFFFFu, 0xFFFFFFFFu, 0x80000000u}) {
        std::string bytes = good;
        put32(bytes, 68, index);
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game)) << index;
        expectFreshStart(store, game, 0);
    }
    // Without a game to resume too; puzzle 0 is uncleared, so it starts.
    std::string bytes = good;
    put32(bytes, 68, 77);
    put32(bytes, 72, 0xFFFFFFFFu);
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(bytes, store, game));
    expectFreshStart(store, game, 0);
}

TEST_F(DamagedSaveFile, ResumeStateOutOfRange) {
    for (std::uint32_t state : {3u, 0xFFFFFFFEu, 0x80000000u, 1000u}) {
        std::string bytes = good;
        put32(bytes, 72, state);
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game)) << state;
        expectFreshStart(store, game, 1);
    }
}

TEST_F(DamagedSaveFile, GridThatIsNotABoardOfThePuzzle) {
    const std::size_t grid = 88;
    const std::size_t stride = 4;  // puzzle 1 is 3 x 2 cells
    struct Damage {
        std::size_t at;
        char code;
    };
    for (const Damage d : {Damage{grid + 4, 9}, Damage{grid + 0, '\xFF'},
                           Damage{grid + 3, 6},               // right edge in column W
                           Damage{grid + 2 * stride + 1, 2},  // down edge in row H
                           Damage{grid + 12, 1},              // beyond the 12-byte grid
                           Damage{grid + 2047, 1}}) {
        std::string bytes = good;
        bytes[d.at] = d.code;
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game)) << d.at;
        expectFreshStart(store, game, 1);
    }
}

TEST_F(DamagedSaveFile, TrialOriginThatIsNotAnEdge) {
    struct Origin {
        std::uint32_t vertex;
        char vertical;
    };
    for (const Origin o : {Origin{12, 0}, Origin{3, 0}, Origin{8, 1}, Origin{0xFFFFFFFEu, 0},
                           Origin{0x7FFFFFFFu, 1}, Origin{5, 2}, Origin{0xFFFFFFFFu, 0}}) {
        std::string bytes = good;
        put32(bytes, 76, o.vertex);
        bytes[80] = o.vertical;
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game)) << o.vertex;
        // The board is kept; the started trial goes back to armed with the
        // resumed board as its snapshot.
        EXPECT_FALSE(game.solved);
        EXPECT_EQ(game.trial, Armed);
        EXPECT_FALSE(game.origin.valid());
        EXPECT_EQ(game.board.codes, codes);
        EXPECT_EQ(game.board.snapshot, codes);
    }
    // In trial state Off a bad origin is dropped and the game goes on.
    std::string bytes = good;
    put32(bytes, 72, 0);
    put32(bytes, 76, 99);
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(bytes, store, game));
    EXPECT_EQ(game.trial, Off);
    EXPECT_FALSE(game.origin.valid());
    EXPECT_EQ(game.origin.vertical, 0);
    // Bytes 81 to 83 beside the orientation are ignored.
    std::string padded = good;
    padded[81] = 7;
    padded[83] = 1;
    ProgressStore s2;
    Game g2;
    ASSERT_TRUE(startWith(padded, s2, g2));
    EXPECT_EQ(g2.trial, Started);
    EXPECT_EQ(g2.origin, (EdgeRef{5, 1}));
}

TEST_F(DamagedSaveFile, ClockOutsideItsRange) {
    for (auto [stored, expected] : {std::pair{0xFFFFFFFFu, 0}, std::pair{0x80000000u, 0},
                                    std::pair{3600u, 3599}, std::pair{0x7FFFFFFFu, 3599}}) {
        std::string bytes = good;
        put32(bytes, 84, stored);
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game));
        EXPECT_EQ(game.elapsed, expected);
        EXPECT_FALSE(game.solved);
    }
}

TEST_F(DamagedSaveFile, RandomBytesNeverCrash) {
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = good;
        const int flips = 1 + static_cast<int>(rng() % 40);
        for (int i = 0; i < flips; ++i) {
            // Mostly in the header, where the damage matters.
            const std::size_t at = rng() % 4 == 0 ? rng() % bytes.size() : rng() % 2136;
            bytes[at] = static_cast<char>(rng());
        }
        bytes.resize(bytes.size() - rng() % 100);
        ProgressStore store;
        Game game;
        if (startWith(bytes, store, game) && !game.solved) {
            // Whatever resumed is a sound board.
            for (std::int32_t v = 0; v < game.board.vertexCount(); ++v) {
                ASSERT_LE(game.board.codes[static_cast<std::size_t>(v)], 8);
            }
            ASSERT_TRUE(!game.origin.valid() || game.board.hasEdge(game.origin));
            ASSERT_TRUE(game.trial >= Off && game.trial <= Started);
            game.board.isSolved();
            game.board.rollBack();
        }
    }
}

// ---- Writing ----

bool failingReplace(const char*, const char*) {
    return false;
}

TEST_F(DamagedSaveFile, FailedReplaceLeavesTheOldFile) {
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(good, store, game));
    game.board.markEdge(EdgeRef{2, 1});
    platform().replaceFile = failingReplace;
    EXPECT_FALSE(store.writeSaveFile(game.board, Started, game.origin, 700));
    EXPECT_TRUE(readBytes(savePath()) == good);
    EXPECT_FALSE(std::filesystem::exists(folder / "quorrin.sav.tmp"));
}

TEST_F(DamagedSaveFile, TemporaryFileThatCannotBeCreatedLeavesTheOldFile) {
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(good, store, game));
    std::filesystem::create_directories(folder / "quorrin.sav.tmp");
    EXPECT_FALSE(store.writeSaveFile(game.board, Off, EdgeRef{}, 1));
    EXPECT_TRUE(readBytes(savePath()) == good);
}

TEST_F(DamagedSaveFile, WriteReplacesAnExistingFile) {
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(good, store, game));
    ASSERT_TRUE(store.writeSaveFile(game.board, -1, EdgeRef{}, 0));
    const std::string written = readBytes(savePath());
    ASSERT_EQ(written.size(), good.size());
    EXPECT_EQ(written.substr(72, 4), std::string("\xFF\xFF\xFF\xFF", 4));
    EXPECT_FALSE(std::filesystem::exists(folder / "quorrin.sav.tmp"));
}

}  // namespace
}  // namespace quorrin
