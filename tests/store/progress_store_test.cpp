// The progress store: the save file's exact bytes, start-up from intact,
// truncated and damaged save files, the next uncleared puzzle. (Writes that
// fail: the fault scenarios in tests/app; collections opened in turn:
// tests/dialogs.)
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

    // Start-up with bytes as the save file, summed up: whether it started,
    // the puzzle, then "resumed" (the saved board and its snapshot), the
    // trial state, origin vertex and clock, or "fresh" (the puzzle as
    // loaded, solved stays true); then the records kept and the first
    // record's first three clear times.
    std::string startWith(const std::string& bytes) {
        test::writeBytes(savePath(), bytes);
        ProgressStore s;
        Game g;
        std::string out = g.start(s) ? "puzzle " + std::to_string(s.currentPuzzle) : "failed";
        Board fresh;
        fresh.load(s.collection.puzzles[std::max(s.currentPuzzle, 0) % kMaxPuzzles]);
        if (!g.solved && g.board.codes == game.board.codes && g.board.snapshot == g.board.codes) {
            const char* trials[] = {"off", "armed", "started", "?"};
            out += std::string(" resumed ") + trials[std::min(std::uint32_t(g.trial), 3u)] + " " +
                   std::to_string(g.origin.vertex) + " " + std::to_string(g.elapsed);
        } else if (g.solved && g.board.codes == fresh.codes) {
            out += " fresh";
        }
        out += ", " + std::to_string(s.records.size()) + " records";
        for (int i = 0; i < 3 && !s.records.empty(); ++i)
            out += " " + std::to_string(s.records[0].clearTimes[i]);
        return out;
    }

    ProgressStore store;
    Game game;
    std::string good;
};

TEST_F(SavedGame, ExactBytes) {
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
    // The longest name, no trial origin, a negative clock, no records.
    const std::string longest = std::string(59, 'n') + ".dat";
    ASSERT_TRUE(store.setCollectionName(longest.c_str()));
    store.records.clear();
    ASSERT_TRUE(store.writeSaveFile(game.board, kNoResume, EdgeRef{}, -2));
    EXPECT_EQ(readBytes(savePath()).substr(0, 88),
              longest + std::string("\0\0\0\0\0\x01\0\0\0\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF\0\0\0\0"
                                    "\xFE\xFF\xFF\xFF",
                                    25));
}

// Truncated and damaged files. Shorter than the header reads as missing;
// the whole records present are kept, a new one made for the text when none
// is. A record count that is negative or above the records present, a
// current puzzle outside the collection, a resume
// state other than -1..2, grids of no board (not codes, a right edge in
// column W, a down edge in row H, bytes beyond the 12-byte grid of puzzle 1)
// and an origin that is no edge (the trial back to armed) are not trusted;
// bytes 81 to 83 beside the orientation are ignored; the clock is held to
// 0..3599.
TEST_F(SavedGame, TruncatedAndDamaged) {
    const std::string resumed = "puzzle 1 resumed started 5 600, 2 records 0 0 99";
    const std::string armed = "puzzle 1 resumed armed -1 600, 2 records 0 0 99";
    const std::string fresh = "puzzle 1 fresh, 2 records 0 0 99";
    const std::string missing = "failed, 0 records";
    const struct {
        std::size_t size;
        std::vector<test::Poke> pokes;
        std::string expected;
    } cases[] = {
        {2264, {}, resumed},
        {0, {}, missing},
        {2135, {}, missing},
        {2136, {}, "puzzle 1 fresh, 1 records 0 0 0"},
        {2199, {}, "puzzle 1 fresh, 1 records 0 0 0"},
        {2200, {}, "puzzle 1 resumed started 5 600, 1 records 0 0 99"},
        {2263, {}, "puzzle 1 resumed started 5 600, 1 records 0 0 99"},
        {2264, {{64, 0xFFFFFFFF, 4}}, resumed},
        {2264, {{64, 0x80000000, 4}}, resumed},
        {2264, {{64, 3, 4}}, resumed},
        {2264, {{64, 1, 4}}, "puzzle 1 resumed started 5 600, 1 records 0 0 99"},
        {2264, {{68, 3, 4}}, "puzzle 0 fresh, 2 records 0 0 99"},
        {2264, {{68, 0xFFFFFFFF, 4}}, "puzzle 0 fresh, 2 records 0 0 99"},
        {2264, {{72, 3, 4}}, fresh},
        {2264, {{72, 0xFFFFFFFE, 4}}, fresh},
        {2264, {{88 + 4, 9, 1}}, fresh},
        {2264, {{88 + 3, 6, 1}}, fresh},
        {2264, {{88 + 9, 2, 1}}, fresh},
        {2264, {{88 + 12, 1, 1}}, fresh},
        {2264, {{88 + 2047, 1, 1}}, fresh},
        {2264, {{76, 12, 4}}, armed},
        {2264, {{76, 8, 4}}, armed},
        {2264, {{76, 0xFFFFFFFE, 4}}, armed},
        {2264, {{76, 3, 4}, {80, 0, 1}}, armed},
        {2264, {{80, 2, 1}}, armed},
        {2264, {{72, 0, 4}, {76, 99, 4}}, "puzzle 1 resumed off -1 600, 2 records 0 0 99"},
        {2264, {{81, 7, 1}, {83, 1, 1}}, resumed},
        {2264, {{84, 0xFFFFFFFF, 4}}, "puzzle 1 resumed started 5 0, 2 records 0 0 99"},
        {2264, {{84, 3600, 4}}, "puzzle 1 resumed started 5 3599, 2 records 0 0 99"},
        {2264, {{84, 3599, 4}}, "puzzle 1 resumed started 5 3599, 2 records 0 0 99"},
    };
    for (const auto& k : cases) {
        EXPECT_EQ(startWith(poked(good, k.pokes).substr(0, k.size)), k.expected)
            << k.size << " " << (k.pokes.empty() ? 0 : k.pokes[0].at);
    }
    // A name without NUL: no collection, the records kept for the next.
    EXPECT_EQ(startWith(std::string(64, 'e') + good.substr(64)), "failed, 2 records 0 0 99");
    // A count that lies is written back true; clear times are kept as they
    // stand, whatever their value, and written back so.
    const std::string odd = poked(good, {{2140, 0xFFFF, 2}, {2142, 3600, 2}, {2144, 3599, 2}});
    EXPECT_EQ(startWith(poked(odd, {{64, 9, 4}})),
              "puzzle 1 resumed started 5 600, 2 records -1 3600 3599");
    ProgressStore s;
    ASSERT_TRUE(game.start(s));
    ASSERT_TRUE(s.writeSaveFile(game.board, game.trial, game.origin, game.elapsed));
    EXPECT_EQ(readBytes(savePath()), odd);
    // No save path, no write. (A collection that cannot be read: the
    // dialogs' tests and the app's scenarios; the listing: below.)
    EXPECT_FALSE(ProgressStore().writeSaveFile(game.board, Off, EdgeRef{}, 0));
    // A program folder so deep that a collection's name does not fit beside it.
    test::fakeExecutable() = std::string(480, 'd') + "/quorrin.exe";
    ProgressStore deep;
    EXPECT_FALSE(game.start(deep));
    ASSERT_TRUE(deep.setCollectionName((std::string(40, 'n') + ".dat").c_str()));
    EXPECT_FALSE(deep.loadCollection());
}

// Only a collection of the program's folder is opened: a save file naming
// any other place, a device, or no collection file is damaged, even when a
// file of that name is there. The folder's listing keeps the same names.
// (Which names are collection files: the table in collection_test.cpp; 表
// ends in the byte of '\\'.)
TEST_F(SavedGame, OnlyCollectionNamesOpen) {
    std::filesystem::create_directory(file("sub"));
    std::vector<std::string> listed = {"easy.dat"};
    for (auto [name, loads] : {std::pair{"\x95\x5C.dat", true},
                               {"sub/easy.dat", false},
                               {"C:easy.dat", false},
                               {"con.dat", false},
                               {"quorrin.sav", false}}) {
#ifdef _WIN32
        if (loads) continue;  // the C runtime reads such bytes in its code page
#else
        if (std::string(name).find('/') == std::string::npos) {
            // A file is there: the name alone is refused.
            test::writeBytes(file(name), test::kEasy);
            if (loads) listed.push_back(name);
        }
#endif
        ASSERT_TRUE(store.setCollectionName(name));
        EXPECT_EQ(store.loadCollection(), loads) << name;
    }
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ(store.collectionFiles(), listed);
}

// The next uncleared puzzle from the current one on, wrapping round (a
// clear time of -1 or 3600 is cleared, as every time but 0 is); slots
// beyond the collection do not count, an index outside it searches from 0;
// every puzzle cleared (or no record): false, nothing changed.
TEST_F(SavedGame, NextUnclearedPuzzle) {
    for (auto [from, cleared, selected] :
         {std::tuple{1, std::vector<int>{}, 1}, std::tuple{1, std::vector<int>{1}, 2},
          std::tuple{1, std::vector<int>{1, 2}, 0}, std::tuple{29, std::vector<int>{0, 2}, 1},
          std::tuple{-4, std::vector<int>{0, 2}, 1},
          std::tuple{2, std::vector<int>{0, 1, 2}, -1}}) {
        std::fill_n(store.records[0].clearTimes, kMaxPuzzles, std::int16_t{0});
        // Any time but 0 is cleared: negative ones and those past 59:59 too.
        const std::int16_t times[] = {-1, 3600, 5};
        for (std::size_t k = 0; k < cleared.size(); ++k)
            store.records[0].clearTimes[cleared[k]] = times[k % 3];
        store.currentPuzzle = from;
        EXPECT_EQ(store.selectNextUncleared(), selected >= 0) << from;
        EXPECT_EQ(store.currentPuzzle, selected >= 0 ? selected : from) << from;
    }
    store.currentRecord = 5;
    store.currentPuzzle = 0;
    EXPECT_FALSE(store.selectNextUncleared());
}

}  // namespace
}  // namespace quorrin
