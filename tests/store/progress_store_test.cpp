// The progress store: records, the next uncleared puzzle, collection files,
// and the save file written and read back.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "store_fixtures.h"

namespace quorrin {
namespace {

using test::Game;
using test::identityOf;
using test::kEasy;
using test::poked;
using test::readBytes;
using test::writeBytes;

using ProgressStoreTest = test::StoreTest;

TEST_F(ProgressStoreTest, SavePathAndFolder) {
    const std::string exe = test::fakeExecutable();
    // The test folder; no separator; too short to take an extension; longer
    // than 512 bytes.
    for (auto [path, save, folderLength] :
         {std::tuple{exe, exe.substr(0, exe.size() - 3) + "sav", exe.size() - 11},
          std::tuple{std::string("game.exe"), std::string("game.sav"), std::size_t{0}},
          std::tuple{std::string("ab"), std::string(), std::size_t{0}},
          std::tuple{std::string(600, 'x'), std::string(), std::size_t{0}}}) {
        test::fakeExecutable() = path;
        ProgressStore store;
        Game game;
        EXPECT_FALSE(game.start(store));  // no save file
        EXPECT_TRUE(game.solved);
        EXPECT_EQ(store.savePath, save);
        EXPECT_EQ(store.folderLength, static_cast<std::int32_t>(folderLength));
        if (save.empty()) {
            EXPECT_FALSE(store.writeSaveFile(game.board, kNoResume, EdgeRef{}, 0));
        }
    }
}

TEST_F(ProgressStoreTest, FirstRunWritesExactly2200Bytes) {
    ProgressStore store;
    Game game;
    openFirst(store, game);
    game.board.markEdge(EdgeRef{1, 1});
    store.records[0].clearTimes[1] = 0x1234;
    store.records[0].clearTimes[29] = 3599;
    ASSERT_TRUE(store.writeSaveFile(game.board, Armed, EdgeRef{}, 754));

    std::string expected(2200, '\0');
    expected.replace(0, 8, "easy.dat");
    expected = poked(expected, {{64, 1, 4},                    // records
                                {68, 0, 4},                    // current puzzle
                                {72, 1, 4},                    // resume state: trial armed
                                {76, 0xFFFFFFFF, 4},           // no trial origin
                                {84, 754, 4},                  // clock
                                {88 + 1, 2, 1},                // the grid: a Line below vertex 1
                                {2136, identityOf(kEasy), 4},  // the record
                                {2136 + 4 + 2, 0x1234, 2},     // clear times of puzzles 1 and 29
                                {2136 + 4 + 58, 3599, 2}});
    const std::string written = readBytes(savePath());
    EXPECT_EQ(written.size(), 2200u);
    const auto diff =
        std::mismatch(written.begin(), written.end(), expected.begin(), expected.end());
    EXPECT_TRUE(written == expected)
        << "first difference at byte " << (diff.first - written.begin());
    EXPECT_FALSE(std::filesystem::exists(folder / "quorrin.sav.tmp"));

    // A started trial's origin and orientation, a negative clock: little-endian.
    ASSERT_TRUE(store.writeSaveFile(game.board, Started, EdgeRef{0x010203, 1}, -2));
    EXPECT_EQ(readBytes(savePath()).substr(72, 16),
              std::string("\x02\0\0\0\x03\x02\x01\0\x01\0\0\0\xFE\xFF\xFF\xFF", 16));
}

TEST_F(ProgressStoreTest, TrialGameRoundTrip) {
    ProgressStore store;
    Game game;
    openFirst(store, game);
    store.currentPuzzle = 1;
    game.board.load(store.collection.puzzles[1]);  // 3 x 2
    game.board.markEdge(EdgeRef{0, 0});
    game.board.takeSnapshot();  // trial armed ...
    const EdgeRef origin{5, 1};
    game.board.markEdge(origin);  // ... and started
    game.board.crossEdge(EdgeRef{6, 0});
    ASSERT_TRUE(store.writeSaveFile(game.board, Started, origin, 1234));

    ProgressStore next;
    Game resumed;
    ASSERT_TRUE(resumed.start(next));
    EXPECT_FALSE(resumed.solved);
    EXPECT_EQ(resumed.trial, Started);
    EXPECT_EQ(resumed.origin, origin);
    EXPECT_EQ(resumed.elapsed, 1234);
    EXPECT_EQ(next.currentPuzzle, 1);
    EXPECT_EQ(resumed.board.codes, game.board.codes);
    EXPECT_EQ(resumed.board.clues, game.board.clues);
    // Rolling back the resumed trial gives the board as it was resumed.
    resumed.board.markEdge(EdgeRef{2, 1});
    resumed.board.rollBack();
    EXPECT_EQ(resumed.board.codes, game.board.codes);
    // Written again unchanged, the file is the same.
    const std::string first = readBytes(savePath());
    ASSERT_TRUE(next.writeSaveFile(resumed.board, resumed.trial, resumed.origin, resumed.elapsed));
    EXPECT_TRUE(readBytes(savePath()) == first);
}

TEST_F(ProgressStoreTest, StartUpGoesToTheNextUnclearedPuzzle) {
    ProgressStore store;
    Game game;
    openFirst(store, game);
    // Saved puzzle, cleared puzzles -> the puzzle start-up begins (its width).
    // The saved one is tried first, then the search wraps round; every
    // puzzle cleared, the saved one starts again. Slots beyond the
    // collection do not count, and an index outside it searches from 0.
    struct Case {
        std::int32_t from;
        std::vector<int> cleared;
        std::int32_t selected, width;
    };
    for (const Case& k :
         {Case{1, {}, 1, 3}, Case{1, {1}, 2, 1}, Case{1, {1, 2}, 0, 2}, Case{29, {0, 2}, 1, 3},
          Case{-4, {0, 2}, 1, 3}, Case{2, {0, 1, 2}, 2, 1}}) {
        std::fill_n(store.records[0].clearTimes, kMaxPuzzles, std::int16_t{0});
        for (int i : k.cleared) store.records[0].clearTimes[i] = 5;
        store.currentPuzzle = k.from;
        ASSERT_TRUE(store.writeSaveFile(game.board, kNoResume, EdgeRef{}, 40));
        ProgressStore next;
        Game started;
        ASSERT_TRUE(started.start(next));
        EXPECT_TRUE(started.solved);  // the puzzle starts afresh
        EXPECT_EQ(next.currentPuzzle, k.selected) << k.from;
        EXPECT_EQ(started.board.width, k.width) << k.from;
    }
    EXPECT_FALSE(store.selectNextUncleared());  // every puzzle cleared: no change
    EXPECT_EQ(store.currentPuzzle, 2);
    store.currentRecord = 5;  // no such record
    EXPECT_FALSE(store.selectNextUncleared());
}

TEST_F(ProgressStoreTest, ARecordPerCollectionText) {
    ProgressStore store;
    Game game;
    openFirst(store, game);
    store.records[0].clearTimes[0] = 11;
    store.currentPuzzle = 2;
    game.board.load(store.collection.puzzles[2]);
    ASSERT_TRUE(store.writeSaveFile(game.board, Off, EdgeRef{}, 100));

    // One byte changed: a new record, the game dropped, and the puzzle at
    // the saved index starts afresh.
    const std::string changed = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/3\n";
    writeBytes(file("easy.dat"), changed);
    ProgressStore second;
    Game g2;
    ASSERT_TRUE(g2.start(second));
    EXPECT_TRUE(g2.solved);
    ASSERT_EQ(second.records.size(), 2u);
    EXPECT_EQ(second.currentRecord, 1);
    EXPECT_EQ(second.records[1].identity, identityOf(changed));
    EXPECT_EQ(second.currentPuzzle, 2);
    EXPECT_EQ(second.resumeState, kNoResume);
    ASSERT_TRUE(second.writeSaveFile(g2.board, kNoResume, EdgeRef{}, 0));

    // The old text again: its record comes back into use.
    writeBytes(file("easy.dat"), kEasy);
    ProgressStore third;
    ASSERT_TRUE(g2.start(third));
    EXPECT_EQ(third.currentRecord, 0);
    EXPECT_EQ(third.records.size(), 2u);

    // The collection gone: start-up fails, and the records stay for the
    // collection opened next.
    std::filesystem::remove(file("easy.dat"));
    ProgressStore last;
    Game g3;
    EXPECT_FALSE(g3.start(last));
    EXPECT_TRUE(g3.solved);
    ASSERT_EQ(last.records.size(), 2u);
    EXPECT_EQ(last.records[0].clearTimes[0], 11);
    // A failed load leaves the collection in play alone.
    writeBytes(file("a.dat"), kEasy);
    writeBytes(file("empty.dat"), "");
    ASSERT_TRUE(last.setCollectionName("a.dat"));
    ASSERT_TRUE(last.loadCollection());
    EXPECT_EQ(last.currentRecord, 0);
    for (const char* name : {"easy.dat", "empty.dat"}) {
        ASSERT_TRUE(last.setCollectionName(name));
        EXPECT_FALSE(last.loadCollection());
        EXPECT_EQ(last.collection.puzzleCount, 3);
    }
}

TEST_F(ProgressStoreTest, CollectionNamesAndFiles) {
    for (const char* name : {"b.dat", "a.dat", "notes.txt", "c.DAT"}) writeBytes(file(name), "1\n");
    std::filesystem::create_directories(folder / "dir.dat");
    ProgressStore store;
    Game game;
    game.start(store);
    EXPECT_EQ(store.collectionFiles(), (std::vector<std::string>{"a.dat", "b.dat"}));

    EXPECT_FALSE(store.setCollectionName(std::string(64, 'a').c_str()));
    EXPECT_TRUE(store.setCollectionName(std::string(63, 'a').c_str()));
    EXPECT_TRUE(store.setCollectionName("x.dat"));
    EXPECT_EQ(std::string(store.collectionName, 64), "x.dat" + std::string(59, '\0'));
    // A folder that leaves no room for the name, or longer than the path.
    std::memset(store.savePath, 'f', 510);
    store.folderLength = 510;
    EXPECT_FALSE(store.loadCollection());
    store.folderLength = 9999;
    EXPECT_FALSE(store.loadCollection());
    EXPECT_TRUE(store.collectionFiles().empty());
}

}  // namespace
}  // namespace quorrin
