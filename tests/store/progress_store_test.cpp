// The progress store: records, the next uncleared puzzle, and the save file
// written and read back.
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

std::uint32_t referenceIdentity(const std::string& text) {
    std::uint32_t reg = 0xFFFFFFFFu;
    for (unsigned char b : text) {
        reg ^= b;
        for (int i = 0; i < 8; ++i) reg = (reg & 1u) ? (reg >> 1) ^ 0x82F63B78u : reg >> 1;
    }
    return reg;
}

void put32(std::string& bytes, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<char>(v >> (8 * i));
}

using ProgressStoreTest = test::StoreTest;

TEST_F(ProgressStoreTest, SavePathAndFolder) {
    ProgressStore store;
    Game game;
    EXPECT_FALSE(game.start(store));
    const std::string exe = test::fakeExecutable();
    EXPECT_EQ(std::string(store.savePath), exe.substr(0, exe.size() - 3) + "sav");
    EXPECT_EQ(store.folderLength,
              static_cast<std::int32_t>(exe.size() - std::string("quorrin.exe").size()));
    EXPECT_TRUE(game.solved);
    EXPECT_TRUE(store.records.empty());

    test::fakeExecutable() = "game.exe";  // no separator
    ProgressStore bare;
    EXPECT_FALSE(game.start(bare));
    EXPECT_STREQ(bare.savePath, "game.sav");
    EXPECT_EQ(bare.folderLength, 0);

    test::fakeExecutable() = "ab";  // too short to take an extension
    ProgressStore tiny;
    EXPECT_FALSE(game.start(tiny));
    EXPECT_FALSE(tiny.writeSaveFile(game.board, -1, EdgeRef{}, 0));

    test::fakeExecutable() = std::string(600, 'x');  // does not fit 512 bytes
    ProgressStore longPath;
    EXPECT_FALSE(game.start(longPath));
    EXPECT_EQ(longPath.savePath[0], '\0');
}

TEST_F(ProgressStoreTest, FirstRunWritesExactly2200Bytes) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    ASSERT_EQ(store.records.size(), 1u);
    EXPECT_EQ(store.records[0].identity, referenceIdentity(kEasy));
    EXPECT_EQ(store.currentPuzzle, 0);
    game.board.markEdge(EdgeRef{1, 1});
    store.records[0].clearTimes[1] = 0x1234;
    store.records[0].clearTimes[29] = 3599;
    store.currentPuzzle = 0;
    ASSERT_TRUE(store.writeSaveFile(game.board, Armed, EdgeRef{}, 754));

    std::string expected(2200, '\0');
    expected.replace(0, 8, "easy.dat");
    put32(expected, 64, 1);
    put32(expected, 68, 0);
    put32(expected, 72, 1);
    put32(expected, 76, 0xFFFFFFFFu);
    put32(expected, 84, 754);
    for (std::size_t i = 0; i < game.board.codes.size(); ++i) {
        expected[88 + i] = static_cast<char>(game.board.codes[i]);
    }
    ASSERT_EQ(game.board.codes.size(), 9u);
    EXPECT_EQ(game.board.codes[1], 2);
    put32(expected, 2136, referenceIdentity(kEasy));
    expected[2136 + 4 + 2] = 0x34;
    expected[2136 + 4 + 3] = 0x12;
    expected[2136 + 4 + 58] = static_cast<char>(3599 & 0xFF);
    expected[2136 + 4 + 59] = static_cast<char>(3599 >> 8);
    const std::string written = readBytes(savePath());
    EXPECT_EQ(written.size(), 2200u);
    EXPECT_TRUE(written == expected);
    for (std::size_t i = 0; i < written.size() && i < expected.size(); ++i) {
        if (written[i] != expected[i]) {
            ADD_FAILURE() << "first difference at byte " << i;
            break;
        }
    }
    // The temporary file is gone.
    EXPECT_FALSE(std::filesystem::exists(folder / "quorrin.sav.tmp"));
}

TEST_F(ProgressStoreTest, OriginOrientationAndNegativeValuesAreLittleEndian) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    ASSERT_TRUE(store.writeSaveFile(game.board, Started, EdgeRef{0x010203, 1}, -2));
    const std::string bytes = readBytes(savePath());
    ASSERT_EQ(bytes.size(), 2200u);
    EXPECT_EQ(bytes.substr(72, 4), std::string("\x02\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(76, 4), std::string("\x03\x02\x01\x00", 4));
    EXPECT_EQ(bytes.substr(80, 4), std::string("\x01\x00\x00\x00", 4));
    EXPECT_EQ(bytes.substr(84, 4), std::string("\xFE\xFF\xFF\xFF", 4));
}

TEST_F(ProgressStoreTest, TrialGameRoundTrip) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    store.currentPuzzle = 1;
    game.board.load(store.collection.puzzles[1]);  // 3 x 2
    game.board.markEdge(EdgeRef{0, 0});
    game.board.takeSnapshot();  // trial armed ...
    const std::vector<std::uint8_t> snapshot = game.board.codes;
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
    EXPECT_EQ(resumed.board.width, 3);
    EXPECT_EQ(resumed.board.height, 2);
    EXPECT_EQ(resumed.board.codes, game.board.codes);
    EXPECT_EQ(resumed.board.clues, game.board.clues);
    EXPECT_EQ(resumed.board.borders, game.board.borders);
    // Rolling back the resumed trial gives the board as it was resumed.
    resumed.board.markEdge(EdgeRef{2, 1});
    resumed.board.rollBack();
    EXPECT_EQ(resumed.board.codes, game.board.codes);
    EXPECT_NE(resumed.board.codes, snapshot);
    // Written again unchanged, the file is the same.
    const std::string first = readBytes(savePath());
    ASSERT_TRUE(next.writeSaveFile(resumed.board, resumed.trial, resumed.origin, resumed.elapsed));
    EXPECT_TRUE(readBytes(savePath()) == first);
}

TEST_F(ProgressStoreTest, ClockAt3599IsRestored) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    ASSERT_TRUE(store.writeSaveFile(game.board, Off, EdgeRef{}, 3599));
    ProgressStore next;
    Game resumed;
    ASSERT_TRUE(resumed.start(next));
    EXPECT_EQ(resumed.elapsed, 3599);
    EXPECT_EQ(resumed.trial, Off);
    EXPECT_FALSE(resumed.origin.valid());
}

TEST_F(ProgressStoreTest, AfterASolveTheNextUnclearedPuzzleStarts) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    store.currentPuzzle = 1;
    store.records[0].clearTimes[1] = 40;  // puzzle 1 solved
    store.records[0].clearTimes[2] = 50;
    ASSERT_TRUE(store.writeSaveFile(game.board, -1, EdgeRef{}, 40));

    ProgressStore next;
    Game started;
    ASSERT_TRUE(started.start(next));
    EXPECT_TRUE(started.solved);       // start-up starts the puzzle afresh
    EXPECT_EQ(next.currentPuzzle, 0);  // wrapped round to the start
    EXPECT_EQ(started.board.width, 2);

    // Every puzzle cleared: the saved puzzle starts again.
    next.records[0].clearTimes[0] = 9;
    next.currentPuzzle = 2;
    ASSERT_TRUE(next.writeSaveFile(started.board, -1, EdgeRef{}, 9));
    ProgressStore third;
    Game again;
    ASSERT_TRUE(again.start(third));
    EXPECT_EQ(third.currentPuzzle, 2);
    EXPECT_EQ(again.board.width, 1);
}

TEST_F(ProgressStoreTest, SelectNextUncleared) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    ProgressRecord& r = store.records[0];
    store.currentPuzzle = 1;
    EXPECT_TRUE(store.selectNextUncleared());
    EXPECT_EQ(store.currentPuzzle, 1);  // the current one is tested first
    r.clearTimes[1] = 5;
    EXPECT_TRUE(store.selectNextUncleared());
    EXPECT_EQ(store.currentPuzzle, 2);
    r.clearTimes[2] = 5;
    EXPECT_TRUE(store.selectNextUncleared());
    EXPECT_EQ(store.currentPuzzle, 0);
    r.clearTimes[0] = 5;
    EXPECT_FALSE(store.selectNextUncleared());
    EXPECT_EQ(store.currentPuzzle, 0);
    // Times of slots beyond the collection do not count, and an index
    // outside the collection is searched from the start.
    r.clearTimes[1] = 0;
    store.currentPuzzle = 29;
    EXPECT_TRUE(store.selectNextUncleared());
    EXPECT_EQ(store.currentPuzzle, 1);
    store.currentPuzzle = -4;
    EXPECT_TRUE(store.selectNextUncleared());
    EXPECT_EQ(store.currentPuzzle, 1);
    store.currentRecord = 5;  // no such record
    EXPECT_FALSE(store.selectNextUncleared());
}

TEST_F(ProgressStoreTest, ChangedCollectionGetsANewRecordAndDropsTheGame) {
    writeCollection("easy.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "easy.dat", game);
    store.records[0].clearTimes[0] = 11;
    store.currentPuzzle = 2;
    game.board.load(store.collection.puzzles[2]);
    ASSERT_TRUE(store.writeSaveFile(game.board, Off, EdgeRef{}, 100));

    // One byte changed: a new record, the saved game is not resumed and the
    // puzzle at the saved index starts afresh.
    const std::string changed = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/3\n";
    writeCollection("easy.dat", changed);
    ProgressStore second;
    Game g2;
    ASSERT_TRUE(g2.start(second));
    EXPECT_TRUE(g2.solved);
    ASSERT_EQ(second.records.size(), 2u);
    EXPECT_EQ(second.currentRecord, 1);
    EXPECT_EQ(second.records[1].identity, referenceIdentity(changed));
    EXPECT_EQ(second.records[0].clearTimes[0], 11);
    EXPECT_EQ(second.currentPuzzle, 2);
    EXPECT_EQ(second.resumeState, -1);
    ASSERT_TRUE(second.writeSaveFile(g2.board, -1, EdgeRef{}, 0));
    EXPECT_EQ(readBytes(savePath()).size(), 2136u + 2 * 64u);

    // A shorter text: the saved index lies outside it, so puzzle 0 starts.
    writeCollection("easy.dat", "1/1/1/1\n");
    ProgressStore third;
    Game g3;
    ASSERT_TRUE(g3.start(third));
    EXPECT_EQ(third.currentPuzzle, 0);
    EXPECT_EQ(third.records.size(), 3u);
    ASSERT_TRUE(third.writeSaveFile(g3.board, -1, EdgeRef{}, 0));

    // The old text again: its record comes back into use.
    writeCollection("easy.dat", kEasy);
    ProgressStore fourth;
    Game g4;
    ASSERT_TRUE(g4.start(fourth));
    EXPECT_EQ(fourth.currentRecord, 0);
    EXPECT_EQ(fourth.records.size(), 3u);
    EXPECT_EQ(fourth.currentPuzzle, 1);  // puzzle 0 is cleared in that record
}

TEST_F(ProgressStoreTest, RecordsOfMissingCollectionsAreKept) {
    writeCollection("a.dat", kEasy);
    writeCollection("b.dat", "9/1/1/1\n");
    ProgressStore store;
    Game game;
    openFirst(store, "a.dat", game);
    store.records[0].clearTimes[2] = 77;
    ASSERT_TRUE(store.setCollectionName("b.dat"));
    ASSERT_TRUE(store.loadCollection());
    EXPECT_EQ(store.currentRecord, 1);
    EXPECT_EQ(store.resumeState, -1);
    ASSERT_TRUE(store.writeSaveFile(game.board, -1, EdgeRef{}, 0));
    std::filesystem::remove(file("a.dat"));
    ProgressStore next;
    Game g;
    ASSERT_TRUE(g.start(next));
    ASSERT_EQ(next.records.size(), 2u);
    EXPECT_EQ(next.records[0].clearTimes[2], 77);
    ASSERT_TRUE(next.writeSaveFile(g.board, -1, EdgeRef{}, 0));
    ProgressStore last;
    Game g2;
    ASSERT_TRUE(g2.start(last));
    EXPECT_EQ(last.records[0].identity, referenceIdentity(kEasy));
    EXPECT_EQ(last.records[0].clearTimes[2], 77);
}

TEST_F(ProgressStoreTest, MissingCollectionFailsButKeepsRecords) {
    writeCollection("a.dat", kEasy);
    ProgressStore store;
    Game game;
    openFirst(store, "a.dat", game);
    ASSERT_TRUE(store.writeSaveFile(game.board, Off, EdgeRef{}, 5));
    std::filesystem::remove(file("a.dat"));
    ProgressStore next;
    Game g;
    EXPECT_FALSE(g.start(next));
    EXPECT_TRUE(g.solved);
    EXPECT_EQ(next.records.size(), 1u);
    // A failed load leaves the collection in play alone.
    writeCollection("b.dat", kEasy);
    ASSERT_TRUE(next.setCollectionName("b.dat"));
    ASSERT_TRUE(next.loadCollection());
    EXPECT_EQ(next.currentRecord, 0);
    ASSERT_TRUE(next.setCollectionName("a.dat"));
    EXPECT_FALSE(next.loadCollection());
    EXPECT_EQ(next.collection.puzzleCount, 3);
    writeCollection("empty.dat", "");
    ASSERT_TRUE(next.setCollectionName("empty.dat"));
    EXPECT_FALSE(next.loadCollection());
    EXPECT_EQ(next.collection.puzzleCount, 3);
}

TEST_F(ProgressStoreTest, CollectionNamesAndPaths) {
    ProgressStore store;
    EXPECT_FALSE(store.setCollectionName(std::string(64, 'a').c_str()));
    EXPECT_TRUE(store.setCollectionName(std::string(63, 'a').c_str()));
    EXPECT_TRUE(store.setCollectionName("x.dat"));
    for (std::size_t i = 5; i < 64; ++i) EXPECT_EQ(store.collectionName[i], '\0');
    // A folder that leaves no room for the name.
    std::memset(store.savePath, 'f', 510);
    store.folderLength = 510;
    EXPECT_FALSE(store.loadCollection());
    store.folderLength = 9999;
    EXPECT_FALSE(store.loadCollection());
    EXPECT_TRUE(store.collectionFiles().empty());
}

TEST_F(ProgressStoreTest, ListsCollectionFiles) {
    writeCollection("b.dat", "1\n");
    writeCollection("a.dat", "1\n");
    writeCollection("notes.txt", "1\n");
    writeCollection("c.DAT", "1\n");
    std::filesystem::create_directories(folder / "dir.dat");
    ProgressStore store;
    Game game;
    game.start(store);
    EXPECT_EQ(store.collectionFiles(), (std::vector<std::string>{"a.dat", "b.dat"}));
}

}  // namespace
}  // namespace quorrin
