// The puzzle-selection dialog: its lines byte for byte, choosing a puzzle,
// and erasing the clear times.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "dialogs/texts.h"
#include "fake_dialog.h"
#include "tests/store/store_fixtures.h"

namespace quorrin {
namespace {

const std::string kDifficulty = "\x93\xef\x88\xd5\x93\x78";                 // 難易度
const std::string kClearTime = "\x83\x4e\x83\x8a\x83\x41\x8e\x9e\x8a\xd4";  // クリア時間
const std::string kDash = "\x81\x7c";                                       // －

TEST(DialogTextTest, PuzzleLineExactBytes) {
    PuzzleEntry entry;
    entry.width = 10;
    entry.height = 10;
    entry.difficulty = 2;
    EXPECT_EQ(puzzleLine(2, entry, 125),
              "  3:\t10 x 10\t" + kDifficulty + " 2\t" + kClearTime + " 02:05");
    // A negative time only comes from a damaged save file: not cleared.
    for (auto [time, text] :
         {std::pair{0, kDash}, std::pair{1, std::string("00:01")},
          std::pair{125, std::string("02:05")}, std::pair{3599, std::string("59:59")},
          std::pair{3600, std::string("59:59")}, std::pair{32767, std::string("59:59")},
          std::pair{-1, kDash}}) {
        const std::string line = puzzleLine(2, entry, static_cast<std::int16_t>(time));
        EXPECT_EQ(line.substr(line.rfind(' ') + 1), text) << time;
    }
    // Fields of any size are written whole.
    entry.width = INT_MIN;
    entry.height = INT_MAX;
    entry.difficulty = -1;
    EXPECT_EQ(puzzleLine(INT_MAX, entry, -32768), "2147483647:\t-2147483648 x 2147483647\t" +
                                                      kDifficulty + " -1\t" + kClearTime + " " +
                                                      kDash);
}

TEST(DialogTextTest, CollectionTitleDropsTheLastFourBytes) {
    for (auto [name, title] : {std::pair{"easy.dat", "easy"}, std::pair{"x.dat", "x"},
                               std::pair{"abcd", ""}, std::pair{"abc", ""}, std::pair{"", ""}}) {
        ProgressStore store;
        ASSERT_TRUE(store.setCollectionName(name));
        EXPECT_EQ(collectionTitle(store), title) << name;
    }
}

class SelectPuzzleDialogTest : public test::StoreTest {
  protected:
    // easy.dat in play at its third puzzle; the second cleared in 125 s.
    void SetUp() override {
        StoreTest::SetUp();
        test::Game game;
        openFirst(store, game);
        store.records[0].clearTimes[1] = 125;
        store.records[0].clearTimes[29] = 7;  // a slot beyond the puzzles
        store.currentPuzzle = 2;
        ASSERT_TRUE(chooser.init(dialog));
    }
    std::string line(const char* number, const char* size, char difficulty,
                     const std::string& time) {
        return std::string(number) + ":\t" + size + "\t" + kDifficulty + " " + difficulty + "\t" +
               kClearTime + " " + time;
    }

    ProgressStore store;
    SelectPuzzleDialog chooser{store};
    test::FakeDialog dialog;
};

TEST_F(SelectPuzzleDialogTest, ShowsTheCollectionAndOneLinePerPuzzle) {
    EXPECT_EQ(dialog.texts[kCollectionTitle], "easy");
    const test::FakeDialog::List& list = dialog.lists[kPuzzleList];
    EXPECT_EQ(list.tabStops, (std::vector<int>{20, 52, 96}));
    EXPECT_EQ(list.lines, (std::vector<std::string>{line("  1", " 2 x  2", '1', kDash),
                                                    line("  2", " 3 x  2", '2', "02:05"),
                                                    line("  3", " 1 x  1", '3', kDash)}));
    EXPECT_EQ(list.selected, 2);
}

TEST_F(SelectPuzzleDialogTest, ChoosesTheSelectedPuzzle) {
    // control, notification, line selected -> handled, result, current puzzle.
    struct Case {
        int control, notification, selected;
        bool handled;
        int result, current;
    };
    for (const Case& k :
         {Case{kControlOk, 0, 1, true, kDialogOk, 1},
          Case{kControlOk, 0, -1, true, kDialogCancel, 2},
          Case{kControlCancel, 0, 0, true, kDialogCancel, 2},
          Case{kPuzzleList, kListDoubleClick, 0, false, kDialogOk, 0},
          Case{kPuzzleList, kListDoubleClick, -1, false, 0, 2},
          Case{kPuzzleList, 1, 0, false, 0, 2}, Case{kCollectionTitle, 0, 1, false, 0, 2}}) {
        store.currentPuzzle = 2;
        dialog.result = 0;
        dialog.selectLine(kPuzzleList, k.selected);
        EXPECT_EQ(chooser.command(k.control, k.notification, dialog), k.handled) << k.control;
        EXPECT_EQ(dialog.result, k.result) << k.control;
        EXPECT_EQ(store.currentPuzzle, k.current) << k.control;
    }
}

TEST_F(SelectPuzzleDialogTest, ClearErasesTheTimesOnlyOnOk) {
    const std::string question = std::string(texts::kClearQuestion) + "|" + texts::kConfirmCaption;
    store.records.push_back(ProgressRecord{1, {99}});  // another collection's
    dialog.selectLine(kPuzzleList, 0);                 // the player moves the selection
    const test::FakeDialog::List shown = dialog.lists[kPuzzleList];
    const std::vector<std::uint8_t> saved = store.encodeSaveFile();

    EXPECT_TRUE(chooser.command(kClearButton, 0, dialog));  // Cancel
    EXPECT_EQ(dialog.questions, std::vector<std::string>{question});
    EXPECT_EQ(dialog.lists[kPuzzleList].lines, shown.lines);
    EXPECT_EQ(dialog.lists[kPuzzleList].selected, 0);
    EXPECT_TRUE(store.encodeSaveFile() == saved);

    dialog.answer = true;
    EXPECT_TRUE(chooser.command(kClearButton, 0, dialog));
    EXPECT_EQ(dialog.questions.size(), 2u);
    EXPECT_EQ(dialog.lists[kPuzzleList].lines,
              (std::vector<std::string>{line("  1", " 2 x  2", '1', kDash),
                                        line("  2", " 3 x  2", '2', kDash),
                                        line("  3", " 1 x  1", '3', kDash)}));
    EXPECT_EQ(dialog.lists[kPuzzleList].selected, 2);
    for (std::int16_t time : store.records[0].clearTimes) EXPECT_EQ(time, 0);
    EXPECT_EQ(store.records[1].clearTimes[0], 99);
    EXPECT_EQ(dialog.result, 0);
}

}  // namespace
}  // namespace quorrin
