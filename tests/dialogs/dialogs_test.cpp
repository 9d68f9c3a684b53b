// The dialogs' logic on a dialog in memory: the About box, where a dialog
// goes on screen, the open-collection listing and loading, and the puzzle
// list byte for byte with choosing and erasing.
#include <gtest/gtest.h>

#include <climits>
#include <tuple>

#include "dialogs/texts.h"
#include "tests/dialogs/fake_dialog.h"
#include "tests/store/store_fixtures.h"

namespace quorrin::test {
namespace {

TEST(AboutDialogTest, OkAndCancelEndItAndDialogsGoOverTheirOwner) {
    // The About box ends with OK's or Cancel's number; other controls are not its.
    for (int control : {kControlOk, kControlCancel, 3}) {
        FakeDialog dialog;
        EXPECT_TRUE(AboutDialog().init(dialog));
        EXPECT_EQ(AboutDialog().command(control, 0, dialog), control != 3) << control;
        EXPECT_EQ(dialog.result, control != 3 ? control : 0) << control;
    }
    // width, height, owner's left, top, right, bottom, work area's -> corner.
    const std::int32_t cases[][12] = {
        {200, 100, 100, 100, 501, 401, 0, 0, 1920, 1040, 200, 200},  // centred
        // Halves truncate toward zero.
        {100, 100, -301, -303, 0, 0, -1000, -1000, 1000, 1000, -200, -201},
        {200, 100, -300, -200, 100, 200, 0, 0, 1920, 1040, 0, 0},        // owner off the top left
        {300, 200, 1800, 900, 2400, 1300, 0, 0, 1920, 1040, 1620, 840},  // off the bottom right
        // Larger than the work area: the left (top) edge wins when the
        // centred position lies before it, else the right (bottom) edge.
        {1000, 700, 0, 0, 800, 600, 0, 0, 800, 600, 0, 0},
        {1000, 700, 400, 300, 1200, 900, 0, 0, 800, 600, -200, -100},
        // Sums beyond 32 bits.
        {100, 100, INT_MAX - 647, INT_MIN, INT_MAX, INT_MIN + 100, 0, INT_MIN, INT_MAX, 0,
         INT_MAX - 374, INT_MIN},
    };
    for (const auto& k : cases) {
        const ScreenPoint at =
            centreDialog(k[0], k[1], {k[2], k[3], k[4], k[5]}, {k[6], k[7], k[8], k[9]});
        EXPECT_EQ(std::pair(at.x, at.y), std::pair(k[10], k[11])) << k[2] << "," << k[3];
    }
}

TEST_F(StoreTest, OpenCollectionListsExactDatNamesAndLoadsTheChosenOne) {
    // The names the Windows layer lists for "*.dat" (any case), in its order.
    static std::vector<std::string> listed;
    platform().listCollectionFiles = [](const char*, std::vector<std::string>& names) {
        names = listed;
        return true;
    };
    ProgressStore store;
    Game game;
    ASSERT_FALSE(game.start(store));  // no save file: no collection
    // The current collection -> the line selected: the names it leaves out;
    // the current byte for byte, else the first. (That it ends while it
    // opens with no line and stays open with some: the game's scenarios.)
    const std::string n59(59, 'n'), longest = n59 + ".dat";  // 63 bytes
    listed = {".dat", "B.dat", "a.dat", "c.DAT", "m" + longest, longest, "x.dat"};
    for (auto [current, selected] :
         {std::pair{"", 0}, {"a.dat", 1}, {"x.dat", 3}, {"A.dat", 0}, {"c.DAT", 0}}) {
        ASSERT_TRUE(store.setCollectionName(current));
        FakeDialog fresh;
        EXPECT_TRUE(OpenCollectionDialog(store).init(fresh));
        EXPECT_EQ(fresh.lists[kCollectionList].lines,
                  (std::vector<std::string>{"B", "a", n59, "x"}));
        EXPECT_EQ(fresh.lists[kCollectionList].selected, selected) << current;
    }

    // easy.dat in play at its third puzzle; next's text seen before, its
    // first puzzle cleared.
    const std::string next = "1/1/1/0\n2/1/1/1\n";
    listed = {"easy.dat", "empty.dat", "next.dat", longest};
    for (const std::string& name : listed) {
        writeBytes(folder / name, name == "easy.dat" ? kEasy : name == "empty.dat" ? "" : next);
    }
    ASSERT_TRUE(store.setCollectionName("easy.dat"));
    ASSERT_TRUE(store.loadCollection());
    store.currentPuzzle = 2;
    store.records.push_back(ProgressRecord{identityOf(next), {30}});
    const ProgressStore before = store;
    // control, notification, the line chosen ("" none) -> handled, result;
    // the collection loaded when the result is 1.
    for (auto [control, notification, line, handled, result] :
         {std::tuple{kControlOk, 0, std::string("next"), true, kDialogOk},
          {kCollectionList, kListDoubleClick, "next", true, kDialogOk},
          {kControlOk, 0, n59, true, kDialogOk},
          {kControlOk, 0, "empty", true, kDialogCancel},
          {kCollectionList, kListDoubleClick, "empty", false, 0},
          {kCollectionList, 1, "next", false, 0},
          {kControlCancel, 0, "next", true, kDialogCancel},
          {kControlOk, 0, "", true, kDialogCancel},
          {kControlOk, 0, "gone", true, kDialogCancel},
          {kControlOk, 0, n59 + "n", true, kDialogCancel}}) {
        store = before;
        FakeDialog shown;
        if (!line.empty()) shown.addLine(kCollectionList, line);
        shown.selectLine(kCollectionList, 0);
        EXPECT_EQ(OpenCollectionDialog(store).command(control, notification, shown), handled)
            << line;
        EXPECT_EQ(shown.result, result) << line;
        const bool loaded = result == kDialogOk;
        EXPECT_EQ(store.collectionName, loaded ? line + ".dat" : "easy.dat") << line;
        EXPECT_EQ(store.collection.puzzleCount, loaded ? 2 : 3) << line;
        EXPECT_EQ(store.currentRecord, loaded ? 1 : 0) << line;
        // The first uncleared puzzle of the new one, or the store as it was.
        EXPECT_EQ(store.currentPuzzle, loaded ? 1 : 2) << line;
        EXPECT_TRUE(loaded || store.encodeSaveFile() == before.encodeSaveFile()) << line;
    }
}

const std::string kDifficulty = "\x93\xef\x88\xd5\x93\x78";                 // 難易度
const std::string kClearTime = "\x83\x4e\x83\x8a\x83\x41\x8e\x9e\x8a\xd4";  // クリア時間
const std::string kDash = "\x81\x7c";                                       // －

// A puzzle line: "number:\tsize\t難易度 difficulty\tクリア時間 time".
std::string line(const std::string& number, const char* size, const char* difficulty,
                 const std::string& time) {
    return number + ":\t" + size + "\t" + kDifficulty + " " + difficulty + "\t" + kClearTime + " " +
           time;
}

// The line of puzzle index, width x height, of the difficulty, cleared in
// time seconds.
std::string lineOf(int index, int width, int height, int difficulty, int time) {
    PuzzleEntry entry;
    entry.width = width;
    entry.height = height;
    entry.difficulty = difficulty;
    return puzzleLine(index, entry, static_cast<std::int16_t>(time));
}

TEST(DialogTextTest, PuzzleLinesExactBytes) {
    // index, width, height, difficulty, clear time -> the line. Times are
    // held to 59:59, negative ones too (above 32767 read without sign, as
    // another build may write them); only 0 shows "－"; fields of any size
    // are written whole.
    for (auto [index, width, height, difficulty, time, text] : {
             std::tuple{2, 10, 10, 2, 125, line("  3", "10 x 10", "2", "02:05")},
             std::tuple{0, 2, 3, 0, 0, line("  1", " 2 x  3", "0", kDash)},
             std::tuple{9, 1, 1, 3, 1, line(" 10", " 1 x  1", "3", "00:01")},
             std::tuple{29, 10, 10, 2, 3599, line(" 30", "10 x 10", "2", "59:59")},
             std::tuple{2, 10, 10, 2, 3600, line("  3", "10 x 10", "2", "59:59")},
             std::tuple{2, 10, 10, 2, -1, line("  3", "10 x 10", "2", "59:59")},
             std::tuple{2, 10, 10, 2, -32768, line("  3", "10 x 10", "2", "59:59")},
             std::tuple{INT_MAX, INT_MIN, INT_MAX, -1, 32767,
                        line("2147483647", "-2147483648 x 2147483647", "-1", "59:59")},
         }) {
        EXPECT_EQ(lineOf(index, width, height, difficulty, time), text) << time;
    }
}

TEST_F(StoreTest, SelectPuzzleShowsChoosesAndErases) {
    // easy.dat in play at its third puzzle; the second cleared in 125 s.
    ProgressStore store;
    Game game;
    openFirst(store, game);
    store.records[0].clearTimes[1] = 125;
    store.records[0].clearTimes[29] = 7;  // a slot beyond the puzzles
    store.currentPuzzle = 2;
    SelectPuzzleDialog chooser{store};
    FakeDialog dialog;
    ASSERT_TRUE(chooser.init(dialog));
    auto lines = [](const std::string& time) {  // with the second puzzle's time
        return std::vector<std::string>{line("  1", " 2 x  2", "1", kDash),
                                        line("  2", " 3 x  2", "2", time),
                                        line("  3", " 1 x  1", "3", kDash)};
    };
    EXPECT_EQ(dialog.texts[kCollectionTitle], "easy");  // the name without ".dat"
    EXPECT_EQ(dialog.lists[kPuzzleList].tabStops, (std::vector<int>{20, 52, 96}));
    EXPECT_EQ(dialog.lists[kPuzzleList].lines, lines("02:05"));
    EXPECT_EQ(dialog.lists[kPuzzleList].selected, 2);

    // control, notification, line selected -> handled, result, current puzzle.
    for (auto [control, notification, selected, handled, result, current] :
         {std::tuple{kControlOk, 0, 1, true, kDialogOk, 1},
          {kControlOk, 0, -1, true, kDialogCancel, 2},
          {kControlCancel, 0, 0, true, kDialogCancel, 2},
          {kPuzzleList, kListDoubleClick, 0, false, kDialogOk, 0},
          {kPuzzleList, kListDoubleClick, -1, false, 0, 2},
          {kPuzzleList, 1, 0, false, 0, 2},
          {kCollectionTitle, 0, 1, false, 0, 2}}) {
        store.currentPuzzle = 2;
        dialog.result = 0;
        dialog.selectLine(kPuzzleList, selected);
        EXPECT_EQ(chooser.command(control, notification, dialog), handled) << control;
        EXPECT_EQ(dialog.result, result) << control;
        EXPECT_EQ(store.currentPuzzle, current) << control;
    }

    // クリア answered OK erases the current collection's times in memory, all
    // its slots, and shows the list anew. (That the current puzzle is then
    // selected and the dialog stays open, and クリア answered Cancel: the
    // dialog scenario in tests/app.)
    store.records.push_back(ProgressRecord{1, {99}});  // another collection's
    dialog.result = 0;
    dialog.answer = true;
    dialog.selectLine(kPuzzleList, 0);  // the player moves the selection
    EXPECT_TRUE(chooser.command(kClearButton, 0, dialog));
    EXPECT_EQ(dialog.lists[kPuzzleList].lines, lines(kDash));
    const std::string question = std::string(texts::kClearQuestion) + "|" + texts::kConfirmCaption;
    EXPECT_EQ(dialog.questions, std::vector<std::string>{question});
    for (std::int16_t time : store.records[0].clearTimes) EXPECT_EQ(time, 0);
    EXPECT_EQ(store.records[1].clearTimes[0], 99);
}

}  // namespace
}  // namespace quorrin::test
