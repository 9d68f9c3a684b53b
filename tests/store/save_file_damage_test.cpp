// Damaged, truncated and foreign save files, and writes that fail.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "store_fixtures.h"

namespace quorrin {
namespace {

using test::Game;
using test::poked;
using test::readBytes;

class DamagedSaveFile : public test::StoreTest {
  protected:
    // A save file of a game in progress on puzzle 1 (3 x 2 cells) of
    // "easy.dat", trial started at the down edge of vertex 5, 600 seconds on
    // the clock, with two records (the current one first).
    void SetUp() override {
        test::StoreTest::SetUp();
        ProgressStore store;
        Game game;
        openFirst(store, game);
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
        test::writeBytes(savePath(), bytes);
        return game.start(store);
    }

    // Start-up with bytes as the save file drops the saved game and starts
    // puzzle afresh; the number of records kept.
    std::size_t expectFresh(const std::string& bytes, int puzzle) {
        ProgressStore store;
        Game game;
        EXPECT_TRUE(startWith(bytes, store, game));
        EXPECT_TRUE(game.solved);
        EXPECT_EQ(store.currentPuzzle, puzzle);
        Board fresh;
        fresh.load(store.collection.puzzles[puzzle]);
        EXPECT_EQ(game.board.codes, fresh.codes);
        return store.records.size();
    }

    // Start-up with bytes as the save file resumes the saved game; the
    // number of records kept.
    std::size_t expectResumed(const std::string& bytes, TrialMode trial, bool origin, int elapsed) {
        ProgressStore store;
        Game game;
        EXPECT_TRUE(startWith(bytes, store, game));
        EXPECT_FALSE(game.solved);
        EXPECT_EQ(game.trial, trial);
        EXPECT_EQ(game.origin, (origin ? EdgeRef{5, 1} : EdgeRef{}));
        EXPECT_EQ(game.elapsed, elapsed);
        EXPECT_EQ(game.board.codes, codes);
        EXPECT_EQ(game.board.snapshot, codes);
        return store.records.size();
    }

    std::string good;
    std::vector<std::uint8_t> codes;
};

TEST_F(DamagedSaveFile, EveryTruncationIsSafe) {
    for (std::size_t size = 0; size <= good.size(); ++size) {
        SCOPED_TRACE(size);
        const std::string bytes = good.substr(0, size);
        if (size < 2136) {  // shorter than the header: treated as missing
            ProgressStore store;
            Game game;
            EXPECT_FALSE(startWith(bytes, store, game));
            EXPECT_TRUE(store.records.empty());
            EXPECT_TRUE(game.solved);
            EXPECT_EQ(store.collectionName[0], '\0');
        } else if (size < 2136 + 64) {  // no record: a new one for the text
            EXPECT_EQ(expectFresh(bytes, 1), 1u);
        } else {  // the whole records present are kept, the current one first
            EXPECT_EQ(expectResumed(bytes, Started, true, 600), (size - 2136) / 64);
        }
    }
}

TEST_F(DamagedSaveFile, RecordCountsThatLie) {
    for (std::uint32_t count : {0xFFFFFFFFu, 0x80000000u, 3u, 1000000u, 0x7FFFFFFFu, 1u}) {
        // Also clear times -1, 3600 (read as not cleared) and 3599 for puzzles
        // 0 to 2.
        const std::string bytes = poked(
            good,
            {{64, count, 4}, {2136 + 4, 0xFFFF, 2}, {2136 + 6, 3600, 2}, {2136 + 8, 3599, 2}});
        ProgressStore store;
        Game game;
        ASSERT_TRUE(startWith(bytes, store, game)) << count;
        EXPECT_FALSE(game.solved);
        const std::int16_t* times = store.records[0].clearTimes;
        EXPECT_EQ(std::vector<int>(times, times + 3), (std::vector<int>{0, 0, 3599}));
        if (count == 1) {  // fewer than the file holds: believed
            EXPECT_EQ(store.records.size(), 1u);
            continue;
        }
        ASSERT_EQ(store.records.size(), 2u) << count;  // what the file holds
        EXPECT_EQ(store.records[1].identity, 0xABCDEF01u);
        EXPECT_EQ(store.records[1].clearTimes[4], 321);
        // Written back with the true count.
        ASSERT_TRUE(store.writeSaveFile(game.board, game.trial, game.origin, game.elapsed));
        EXPECT_EQ(readBytes(savePath()).substr(64, 4), good.substr(64, 4));
    }
}

TEST_F(DamagedSaveFile, LargeFilesKeepEveryRecordByteForByte) {
    // The good file's two records and enough more to pass the 100,000 that a
    // save file was once read up to, each of its own identity and clear
    // times. A count below what the file holds is believed, one above it or
    // negative is not; either way load and save give back the records kept.
    const std::uint32_t kRecords = 100003;
    std::string records = good.substr(2136);
    records.resize(std::size_t{64} * kRecords);
    for (std::size_t i = 128; i < records.size(); i += 2) {  // 16-bit values 0 to 3599
        records[i] = static_cast<char>(i / 2 % 3600);
        records[i + 1] = static_cast<char>(i / 2 % 3600 >> 8);
    }
    const struct {
        std::uint32_t count, kept;
    } cases[] = {
        {kRecords, kRecords}, {100001, 100001}, {0xFFFFFFFFu, kRecords}, {0x7FFFFFFFu, kRecords}};
    for (const auto& c : cases) {
        ProgressStore store;
        Game game;
        ASSERT_TRUE(
            startWith(poked(good, {{64, c.count, 4}}).substr(0, 2136) + records, store, game));
        ASSERT_EQ(store.records.size(), c.kept);
        ASSERT_TRUE(store.writeSaveFile(game.board, game.trial, game.origin, game.elapsed));
        EXPECT_TRUE(readBytes(savePath()) ==
                    poked(good, {{64, c.kept, 4}}).substr(0, 2136) + records.substr(0, 64 * c.kept))
            << c.count;
    }
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
    bytes = good;
    bytes[40] = 'z';
    ASSERT_TRUE(startWith(bytes, store, game));
    EXPECT_EQ(store.collectionName[40], '\0');
}

TEST_F(DamagedSaveFile, HeaderFieldsOutOfRange) {
    const std::size_t grid = 88;  // puzzle 1 is 3 x 2 cells: 4 x 3 vertices
    struct Case {
        std::size_t at;
        int bytes;
        std::vector<std::uint32_t> values;
        int fresh;  // the saved game is dropped and this puzzle starts; -1 resumed
        TrialMode trial;
        bool origin;  // the trial origin kept
        int elapsed;
    };
    const Case cases[] = {
        // The current puzzle outside the collection; a resume state other
        // than -1..2.
        {68, 4, {3, 30, 0x7FFFFFFF, 0xFFFFFFFF, 0x80000000}, 0, Off, false, 0},
        {72, 4, {3, 0xFFFFFFFE, 0x80000000, 1000}, 1, Off, false, 0},
        // Grids of no board: not codes, a right edge in column W, a down edge
        // in row H, bytes beyond the 12-byte grid.
        {grid + 4, 1, {9, 0xFF}, 1, Off, false, 0},
        {grid + 3, 1, {6}, 1, Off, false, 0},
        {grid + 9, 1, {2}, 1, Off, false, 0},
        {grid + 12, 1, {1}, 1, Off, false, 0},
        {grid + 2047, 1, {1}, 1, Off, false, 0},
        // An origin that is no edge: dropped, the started trial back to armed.
        {76, 4, {12, 8, 0xFFFFFFFE, 0x7FFFFFFF, 0xFFFFFFFF}, -1, Armed, false, 600},
        {80, 1, {2}, -1, Armed, false, 600},
        // Bytes 81 to 83 beside the orientation are ignored.
        {81, 1, {7}, -1, Started, true, 600},
        {83, 1, {1}, -1, Started, true, 600},
        // The clock held to 0..3599.
        {84, 4, {0xFFFFFFFF, 0x80000000}, -1, Started, true, 0},
        {84, 4, {3599, 3600, 0x7FFFFFFF}, -1, Started, true, 3599},
    };
    for (const Case& k : cases) {
        for (const std::uint32_t value : k.values) {
            SCOPED_TRACE(std::to_string(k.at) + "=" + std::to_string(value));
            const std::string bytes = poked(good, {{k.at, value, k.bytes}});
            if (k.fresh >= 0) {
                expectFresh(bytes, k.fresh);
            } else {
                expectResumed(bytes, k.trial, k.origin, k.elapsed);
            }
        }
    }
    // An origin in column W; in trial state Off a bad origin is just dropped.
    expectResumed(poked(good, {{76, 3, 4}, {80, 0, 1}}), Armed, false, 600);
    expectResumed(poked(good, {{72, 0, 4}, {76, 99, 4}}), Off, false, 600);
}

TEST_F(DamagedSaveFile, RandomBytesNeverCrash) {
    std::mt19937 rng(99);
    for (int round = 0; round < 300; ++round) {
        std::string bytes = good;
        for (int flips = 1 + static_cast<int>(rng() % 40); flips > 0; --flips) {
            // Mostly in the header, where the damage matters.
            bytes[rng() % 4 == 0 ? rng() % bytes.size() : rng() % 2136] = static_cast<char>(rng());
        }
        bytes.resize(bytes.size() - rng() % 100);
        ProgressStore store;
        Game game;
        if (startWith(bytes, store, game) && !game.solved) {
            // Whatever resumed is a sound board.
            for (std::uint8_t code : game.board.codes) ASSERT_LE(code, 8);
            ASSERT_TRUE(!game.origin.valid() || game.board.hasEdge(game.origin));
            ASSERT_TRUE(game.trial >= Off && game.trial <= Started);
            game.board.isSolved();
            game.board.rollBack();
        }
    }
}

bool failingReplace(const char*, const char*) {
    return false;
}

TEST_F(DamagedSaveFile, FailedWritesLeaveTheOldFile) {
    ProgressStore store;
    Game game;
    ASSERT_TRUE(startWith(good, store, game));
    game.board.markEdge(EdgeRef{2, 1});
    platform().replaceFile = failingReplace;
    EXPECT_FALSE(store.writeSaveFile(game.board, Started, game.origin, 700));
    EXPECT_TRUE(readBytes(savePath()) == good);
    EXPECT_FALSE(std::filesystem::exists(folder / "quorrin.sav.tmp"));
    // A temporary file that cannot be created.
    platform().replaceFile = defaultPlatform().replaceFile;
    std::filesystem::create_directories(folder / "quorrin.sav.tmp");
    EXPECT_FALSE(store.writeSaveFile(game.board, Off, EdgeRef{}, 1));
    EXPECT_TRUE(readBytes(savePath()) == good);
}

}  // namespace
}  // namespace quorrin
