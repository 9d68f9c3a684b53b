// The progress store: the save file's exact bytes, start-up from intact,
// truncated and damaged save files, the next uncleared puzzle, a record per
// collection text. (Writes that fail: tests/app/faults_test.cpp.)
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store_fixtures.h"

namespace quorrin {
namespace {

using test::Game;
using test::identityOf;
using test::poked;
using test::readBytes;

// A game in progress on puzzle 1 (3 x 2 cells) of "easy.dat", trial started
// at the down edge of vertex 5, 600 seconds on the clock, two records (the
// current one first), saved.
class SavedGame : public test::StoreTest {
  protected:
    void SetUp() override {
        test::StoreTest::SetUp();
        openFirst(store, game);
        store.records.push_back(ProgressRecord{0xABCDEF01u, {0, 0, 0, 0, 321}});
        store.records[0].clearTimes[2] = 99;
        store.currentPuzzle = 1;
        game.board.load(store.collection.puzzles[1]);
        game.board.markEdge(EdgeRef{0, 0});
        game.board.markEdge(EdgeRef{5, 1});
        ASSERT_TRUE(store.writeSaveFile(game.board, Started, EdgeRef{5, 1}, 600));
        good = readBytes(savePath());
        ASSERT_EQ(good.size(), 2136u + 128u);
    }

    // Start-up with bytes as the save file: outcome -2 when it fails, -1 when
    // the saved game resumes as given, else the puzzle that starts afresh.
    // Returns the number of records kept.
    std::size_t expectStart(const std::string& bytes, int outcome, TrialMode trial = Started,
                            bool origin = true, int elapsed = 600) {
        test::writeBytes(savePath(), bytes);
        ProgressStore s;
        Game g;
        EXPECT_EQ(g.start(s), outcome != -2);
        EXPECT_EQ(g.solved, outcome != -1);
        if (outcome == -1) {
            EXPECT_EQ(g.trial, trial);
            EXPECT_EQ(g.origin, (origin ? EdgeRef{5, 1} : EdgeRef{}));
            EXPECT_EQ(g.elapsed, elapsed);
            EXPECT_EQ(g.board.codes, game.board.codes);
            EXPECT_EQ(g.board.snapshot, game.board.codes);
        } else if (outcome >= 0) {
            EXPECT_EQ(s.currentPuzzle, outcome);
            Board fresh;
            fresh.load(s.collection.puzzles[outcome]);
            EXPECT_EQ(g.board.codes, fresh.codes);
        }
        return s.records.size();
    }

    ProgressStore store;
    Game game;
    std::string good;
};

TEST_F(SavedGame, ExactBytesAndRoundTrip) {
    std::string expected(2264, '\0');
    expected.replace(0, 8, "easy.dat");
    expected = poked(expected, {{64, 2, 4},      // records
                                {68, 1, 4},      // current puzzle
                                {72, 2, 4},      // resume state: trial started
                                {76, 5, 4},      // trial origin
                                {80, 1, 1},      // its orientation
                                {84, 600, 4},    // clock
                                {88, 6, 1},      // the grid: vertex 0 right Line
                                {88 + 5, 2, 1},  // vertex 5 down Line
                                {2136, identityOf(test::kEasy), 4},  // the records
                                {2136 + 4 + 4, 99, 2},
                                {2200, 0xABCDEF01u, 4},
                                {2200 + 4 + 8, 321, 2}});
    const auto diff = std::mismatch(good.begin(), good.end(), expected.begin(), expected.end());
    EXPECT_TRUE(good == expected) << "first difference at byte " << (diff.first - good.begin());
    EXPECT_FALSE(std::filesystem::exists(folder / "quorrin.sav.tmp"));
    // Resumed and written again unchanged: the same bytes.
    ProgressStore next;
    Game resumed;
    ASSERT_TRUE(resumed.start(next));
    ASSERT_TRUE(next.writeSaveFile(resumed.board, resumed.trial, resumed.origin, resumed.elapsed));
    EXPECT_TRUE(readBytes(savePath()) == good);
    // No trial origin, a negative clock, no records.
    store.records.clear();
    ASSERT_TRUE(store.writeSaveFile(game.board, kNoResume, EdgeRef{}, -2));
    EXPECT_EQ(
        readBytes(savePath()).substr(64, 24),
        std::string("\0\0\0\0\x01\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\0\xFE\xFF\xFF\xFF",
                    24));
}

// Truncated files: shorter than the header reads as missing; the whole
// records present are kept; without one, a new record for the text.
TEST_F(SavedGame, Truncations) {
    for (std::size_t size : {0, 2135}) EXPECT_EQ(expectStart(good.substr(0, size), -2), 0u);
    for (std::size_t size : {2136, 2199}) EXPECT_EQ(expectStart(good.substr(0, size), 1), 1u);
    for (std::size_t size : {2200, 2263}) EXPECT_EQ(expectStart(good.substr(0, size), -1), 1u);
}

// One field damaged at a time: {offset, bytes, values} and the outcome.
TEST_F(SavedGame, DamagedFields) {
    const std::size_t grid = 88;  // puzzle 1 is 3 x 2 cells: 4 x 3 vertices
    const struct {
        std::size_t at;
        int bytes;
        std::vector<std::uint32_t> values;
        int outcome;
        TrialMode trial;
        bool origin;
        int elapsed;
        std::size_t records;
    } cases[] = {
        // A record count that is negative or more than the file holds.
        {64, 4, {0xFFFFFFFF, 0x80000000, 3, 0x7FFFFFFF}, -1, Started, true, 600, 2},
        {64, 4, {1}, -1, Started, true, 600, 1},
        // The current puzzle outside the collection; a resume state other
        // than -1..2: the saved game dropped.
        {68, 4, {3, 0x7FFFFFFF, 0xFFFFFFFF}, 0, Off, false, 0, 2},
        {72, 4, {3, 0xFFFFFFFE, 0x80000000}, 1, Off, false, 0, 2},
        // Grids of no board: not codes, a right edge in column W, a down edge
        // in row H, bytes beyond the 12-byte grid.
        {grid + 4, 1, {9, 0xFF}, 1, Off, false, 0, 2},
        {grid + 3, 1, {6}, 1, Off, false, 0, 2},
        {grid + 9, 1, {2}, 1, Off, false, 0, 2},
        {grid + 12, 1, {1}, 1, Off, false, 0, 2},
        {grid + 2047, 1, {1}, 1, Off, false, 0, 2},
        // An origin that is no edge: dropped, the started trial back to armed.
        {76, 4, {12, 8, 0xFFFFFFFE, 0x7FFFFFFF}, -1, Armed, false, 600, 2},
        {80, 1, {2}, -1, Armed, false, 600, 2},
        // Bytes 81 to 83 beside the orientation are ignored.
        {81, 1, {7}, -1, Started, true, 600, 2},
        {83, 1, {1}, -1, Started, true, 600, 2},
        // The clock held to 0..3599.
        {84, 4, {0xFFFFFFFF, 0x80000000}, -1, Started, true, 0, 2},
        {84, 4, {3599, 3600, 0x7FFFFFFF}, -1, Started, true, 3599, 2},
    };
    for (const auto& k : cases) {
        for (const std::uint32_t value : k.values) {
            SCOPED_TRACE(std::to_string(k.at) + "=" + std::to_string(value));
            EXPECT_EQ(expectStart(poked(good, {{k.at, value, k.bytes}}), k.outcome, k.trial,
                                  k.origin, k.elapsed),
                      k.records);
        }
    }
    // Clear times outside 0..3599 read as not cleared; a count that lies is
    // written back true.
    ASSERT_EQ(expectStart(poked(good, {{64, 9, 4}, {2140, 0xFFFF, 2}, {2142, 3600, 2}}), -1), 2u);
    ProgressStore s;
    ASSERT_TRUE(game.start(s));
    EXPECT_EQ(std::vector<int>(s.records[0].clearTimes, s.records[0].clearTimes + 3),
              (std::vector<int>{0, 0, 99}));
    ASSERT_TRUE(s.writeSaveFile(game.board, game.trial, game.origin, game.elapsed));
    EXPECT_EQ(readBytes(savePath()).substr(64, 4), good.substr(64, 4));
    // An origin in column W; in trial state Off a bad origin is just dropped.
    expectStart(poked(good, {{76, 3, 4}, {80, 0, 1}}), -1, Armed, false);
    expectStart(poked(good, {{72, 0, 4}, {76, 99, 4}}), -1, Off, false);
    // A name without NUL: no collection, the records kept for the next one.
    EXPECT_EQ(expectStart(std::string(64, 'e') + good.substr(64), -2), 2u);
}

// Start-up after a saved game was dropped: the saved puzzle if uncleared,
// else the next uncleared one, wrapping round; every puzzle cleared, the
// saved one. Slots beyond the collection do not count; an index outside it
// searches from 0.
TEST_F(SavedGame, StartsTheNextUnclearedPuzzle) {
    for (auto [from, cleared, selected] :
         {std::tuple{1, std::vector<int>{}, 1}, std::tuple{1, std::vector<int>{1}, 2},
          std::tuple{1, std::vector<int>{1, 2}, 0}, std::tuple{29, std::vector<int>{0, 2}, 1},
          std::tuple{-4, std::vector<int>{0, 2}, 1}, std::tuple{2, std::vector<int>{0, 1, 2}, 2}}) {
        std::fill_n(store.records[0].clearTimes, kMaxPuzzles, std::int16_t{0});
        for (int i : cleared) store.records[0].clearTimes[i] = 5;
        store.currentPuzzle = from;
        ASSERT_TRUE(store.writeSaveFile(game.board, kNoResume, EdgeRef{}, 40));
        ProgressStore next;
        Game started;
        ASSERT_TRUE(started.start(next));
        EXPECT_TRUE(started.solved);
        EXPECT_EQ(next.currentPuzzle, selected) << from;
    }
    EXPECT_FALSE(store.selectNextUncleared());  // every puzzle cleared: no change
    EXPECT_EQ(store.currentPuzzle, 2);
    store.currentRecord = 5;  // no such record
    EXPECT_FALSE(store.selectNextUncleared());
}

// A collection text changed by one byte gets a record of its own and drops
// the saved game; the old text finds its record again; a collection that is
// gone or empty fails to load and leaves the one in play alone.
TEST_F(SavedGame, ARecordPerCollectionText) {
    const std::string changed = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/3\n";
    test::writeBytes(file("easy.dat"), changed);
    EXPECT_EQ(expectStart(good, 1), 3u);
    ProgressStore s;
    ASSERT_TRUE(game.start(s));
    EXPECT_EQ(s.currentRecord, 2);
    EXPECT_EQ(s.records[2].identity, identityOf(changed));
    test::writeBytes(file("easy.dat"), test::kEasy);
    ASSERT_TRUE(s.loadCollection());
    EXPECT_EQ(s.currentRecord, 0);
    EXPECT_EQ(s.records.size(), 3u);
    test::writeBytes(file("empty.dat"), "");
    for (const char* name : {"missing.dat", "empty.dat"}) {
        ASSERT_TRUE(s.setCollectionName(name));
        EXPECT_FALSE(s.loadCollection());
        EXPECT_EQ(s.collection.puzzleCount, 3);
    }
    EXPECT_FALSE(s.setCollectionName(std::string(64, 'a').c_str()));
    EXPECT_TRUE(s.setCollectionName(std::string(63, 'a').c_str()));
}

}  // namespace
}  // namespace quorrin
