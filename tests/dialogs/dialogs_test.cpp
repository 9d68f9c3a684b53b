// The dialogs' logic on a dialog in memory: the About box, where a dialog
// goes on screen, the open-collection listing and loading, and the puzzle
// list byte for byte with choosing and erasing.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <tuple>

#include "dialogs/texts.h"
#include "tests/dialogs/fake_dialog.h"
#include "tests/store/store_fixtures.h"

namespace quorrin::test {
namespace {

TEST(AboutDialogTest, OkAndCancelEndIt) {
    for (auto [control, handled, result] :
         {std::tuple{kControlOk, true, 1}, std::tuple{kControlCancel, true, 2},
          std::tuple{3, false, 0}}) {
        FakeDialog dialog;
        AboutDialog about;
        EXPECT_TRUE(about.init(dialog));
        EXPECT_EQ(about.command(control, 0, dialog), handled) << control;
        EXPECT_EQ(dialog.result, result) << control;
    }
}

TEST(CentreDialogTest, CentredOverTheOwnerThenIntoTheWorkArea) {
    struct Case {
        std::int32_t width, height;
        ScreenRect owner, work;
        std::int32_t x, y;
    };
    const ScreenRect screen{0, 0, 1920, 1040}, small{0, 0, 800, 600};
    const Case cases[] = {
        {200, 100, {100, 100, 501, 401}, screen, 200, 200},  // centred
        // Halves truncate toward zero.
        {100, 100, {-301, -303, 0, 0}, {-1000, -1000, 1000, 1000}, -200, -201},
        {200, 100, {-300, -200, 100, 200}, screen, 0, 0},        // owner off the top left
        {300, 200, {1800, 900, 2400, 1300}, screen, 1620, 840},  // off the bottom right
        // Larger than the work area: the left (top) edge wins when the
        // centred position lies before it, else the right (bottom) edge.
        {1000, 700, small, small, 0, 0},
        {1000, 700, {400, 300, 1200, 900}, small, -200, -100},
        // Sums beyond 32 bits.
        {100,
         100,
         {INT_MAX - 647, INT_MIN, INT_MAX, INT_MIN + 100},
         {0, INT_MIN, INT_MAX, 0},
         INT_MAX - 374,
         INT_MIN},
    };
    for (const Case& k : cases) {
        const ScreenPoint at = centreDialog(k.width, k.height, k.owner, k.work);
        EXPECT_EQ(at.x, k.x) << k.owner.left;
        EXPECT_EQ(at.y, k.y) << k.owner.top;
    }
}

// The names the Windows layer lists for "*.dat" (any case), in its order.
std::vector<std::string>& listed() {
    static std::vector<std::string> names;
    return names;
}

const std::string kLongest = std::string(59, 'n') + ".dat";  // 63 bytes

class OpenCollectionDialogTest : public StoreTest {
  protected:
    // The store as start-up leaves it without a save file: no collection.
    void SetUp() override {
        StoreTest::SetUp();
        platform().listCollectionFiles = [](const char*, std::vector<std::string>& names) {
            names = listed();
            return true;
        };
        Game game;
        ASSERT_FALSE(game.start(store));
    }
    ProgressStore store;
};

TEST_F(OpenCollectionDialogTest, ListsExactDatNamesAndSelectsTheCurrentOne) {
    // Only names it leaves out: the dialog ends while it opens.
    listed() = {".dat", "c.DAT", "m" + kLongest};
    FakeDialog closed;
    EXPECT_TRUE(OpenCollectionDialog(store).init(closed));
    EXPECT_EQ(closed.result, kDialogCancel);
    EXPECT_TRUE(closed.lists[kCollectionList].lines.empty());
    // The current collection byte for byte, else the first name.
    listed() = {".dat", "B.dat", "a.dat", "c.DAT", "m" + kLongest, kLongest, "x.dat"};
    for (auto [current, selected] : {std::pair{"", 0}, std::pair{"a.dat", 1}, std::pair{"x.dat", 3},
                                     std::pair{"A.dat", 0}, std::pair{"c.DAT", 0}}) {
        ASSERT_TRUE(store.setCollectionName(current));
        FakeDialog fresh;
        EXPECT_TRUE(OpenCollectionDialog(store).init(fresh));
        EXPECT_EQ(fresh.result, 0);
        EXPECT_EQ(fresh.lists[kCollectionList].lines,
                  (std::vector<std::string>{"B", "a", std::string(59, 'n'), "x"}));
        EXPECT_EQ(fresh.lists[kCollectionList].selected, selected) << current;
    }
}

TEST_F(OpenCollectionDialogTest, LoadsTheChosenFileOrLeavesTheStoreAsItWas) {
    const std::string next = "1/1/1/0\n2/1/1/1\n";
    listed() = {"easy.dat", "empty.dat", "next.dat", kLongest};
    for (const std::string& name : listed()) {
        writeBytes(folder / name, name == "easy.dat" ? kEasy : name == "empty.dat" ? "" : next);
    }
    // easy.dat in play at its third puzzle; next's text seen before, its
    // first puzzle cleared.
    ASSERT_TRUE(store.setCollectionName("easy.dat"));
    ASSERT_TRUE(store.loadCollection());
    store.currentPuzzle = 2;
    store.records.push_back(ProgressRecord{identityOf(next), {30}});
    const ProgressStore before = store;

    // control, notification, line chosen ("" none; one not listed is added)
    // -> handled, result; loaded when the result is 1.
    struct Case {
        int control, notification;
        std::string line;
        bool handled;
        int result;
    };
    for (const Case& k : {Case{kControlOk, 0, "next", true, kDialogOk},
                          Case{kCollectionList, kListDoubleClick, "next", true, kDialogOk},
                          Case{kControlOk, 0, std::string(59, 'n'), true, kDialogOk},
                          Case{kControlOk, 0, "empty", true, kDialogCancel},
                          Case{kCollectionList, kListDoubleClick, "empty", false, 0},
                          Case{kCollectionList, 1, "next", false, 0},
                          Case{kControlCancel, 0, "next", true, kDialogCancel},
                          Case{kControlOk, 0, "", true, kDialogCancel},
                          Case{kControlOk, 0, "gone", true, kDialogCancel},
                          Case{kControlOk, 0, std::string(60, 'n'), true, kDialogCancel}}) {
        store = before;
        FakeDialog shown;
        OpenCollectionDialog open(store);
        ASSERT_TRUE(open.init(shown));
        auto& lines = shown.lists[kCollectionList].lines;
        const auto index = std::find(lines.begin(), lines.end(), k.line) - lines.begin();
        if (index == static_cast<std::ptrdiff_t>(lines.size()) && !k.line.empty())
            lines.push_back(k.line);
        shown.selectLine(kCollectionList, k.line.empty() ? -1 : static_cast<int>(index));

        EXPECT_EQ(open.command(k.control, k.notification, shown), k.handled) << k.line;
        EXPECT_EQ(shown.result, k.result) << k.line;
        if (k.result == kDialogOk) {
            EXPECT_EQ(store.collectionName, k.line + ".dat");
            EXPECT_EQ(store.collection.puzzleCount, 2);
            EXPECT_EQ(store.currentRecord, 1);
            EXPECT_EQ(store.currentPuzzle, 1);  // the first uncleared one
        } else {
            EXPECT_TRUE(store.encodeSaveFile() == before.encodeSaveFile()) << k.line;
            EXPECT_EQ(store.collection.puzzleCount, 3) << k.line;
            EXPECT_EQ(store.currentRecord, 0) << k.line;
        }
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

TEST(DialogTextTest, PuzzleLinesAndTitleExactBytes) {
    // index, width, height, difficulty, clear time -> the line. Times are
    // held to 59:59; 0 and negative ones (a damaged save file) show "－";
    // fields of any size are written whole.
    struct Case {
        int index, width, height, difficulty, time;
        std::string line;
    };
    for (const Case& k : {
             Case{2, 10, 10, 2, 125, line("  3", "10 x 10", "2", "02:05")},
             Case{0, 2, 3, 0, 0, line("  1", " 2 x  3", "0", kDash)},
             Case{9, 1, 1, 3, 1, line(" 10", " 1 x  1", "3", "00:01")},
             Case{29, 10, 10, 2, 3599, line(" 30", "10 x 10", "2", "59:59")},
             Case{2, 10, 10, 2, 3600, line("  3", "10 x 10", "2", "59:59")},
             Case{2, 10, 10, 2, 32767, line("  3", "10 x 10", "2", "59:59")},
             Case{2, 10, 10, 2, -1, line("  3", "10 x 10", "2", kDash)},
             Case{INT_MAX, INT_MIN, INT_MAX, -1, -32768,
                  line("2147483647", "-2147483648 x 2147483647", "-1", kDash)},
         }) {
        PuzzleEntry entry;
        entry.width = k.width;
        entry.height = k.height;
        entry.difficulty = k.difficulty;
        EXPECT_EQ(puzzleLine(k.index, entry, static_cast<std::int16_t>(k.time)), k.line) << k.time;
    }
    // The title drops the last four bytes of the file name.
    for (auto [name, title] : {std::pair{"easy.dat", "easy"}, std::pair{"x.dat", "x"},
                               std::pair{"abcd", ""}, std::pair{"abc", ""}, std::pair{"", ""}}) {
        ProgressStore store;
        ASSERT_TRUE(store.setCollectionName(name));
        EXPECT_EQ(collectionTitle(store), title) << name;
    }
}

class SelectPuzzleDialogTest : public StoreTest {
  protected:
    // easy.dat in play at its third puzzle; the second cleared in 125 s.
    void SetUp() override {
        StoreTest::SetUp();
        Game game;
        openFirst(store, game);
        store.records[0].clearTimes[1] = 125;
        store.records[0].clearTimes[29] = 7;  // a slot beyond the puzzles
        store.currentPuzzle = 2;
        ASSERT_TRUE(chooser.init(dialog));
    }
    // The list's lines with the second puzzle's time.
    std::vector<std::string> lines(const std::string& time) {
        return {line("  1", " 2 x  2", "1", kDash), line("  2", " 3 x  2", "2", time),
                line("  3", " 1 x  1", "3", kDash)};
    }
    ProgressStore store;
    SelectPuzzleDialog chooser{store};
    FakeDialog dialog;
};

TEST_F(SelectPuzzleDialogTest, ShowsChoosesAndErases) {
    EXPECT_EQ(dialog.texts[kCollectionTitle], "easy");
    EXPECT_EQ(dialog.lists[kPuzzleList].tabStops, (std::vector<int>{20, 52, 96}));
    EXPECT_EQ(dialog.lists[kPuzzleList].lines, lines("02:05"));
    EXPECT_EQ(dialog.lists[kPuzzleList].selected, 2);

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

    // クリア answered Cancel changes nothing; OK erases the current
    // collection's times in memory and shows the list anew, the current
    // puzzle selected; the dialog stays open.
    const std::string question = std::string(texts::kClearQuestion) + "|" + texts::kConfirmCaption;
    store.records.push_back(ProgressRecord{1, {99}});  // another collection's
    dialog.result = 0;
    dialog.selectLine(kPuzzleList, 0);  // the player moves the selection
    const std::vector<std::uint8_t> saved = store.encodeSaveFile();
    EXPECT_TRUE(chooser.command(kClearButton, 0, dialog));
    EXPECT_EQ(dialog.questions, std::vector<std::string>{question});
    EXPECT_EQ(dialog.lists[kPuzzleList].lines, lines("02:05"));
    EXPECT_EQ(dialog.lists[kPuzzleList].selected, 0);
    EXPECT_TRUE(store.encodeSaveFile() == saved);

    dialog.answer = true;
    EXPECT_TRUE(chooser.command(kClearButton, 0, dialog));
    EXPECT_EQ(dialog.questions.size(), 2u);
    EXPECT_EQ(dialog.lists[kPuzzleList].lines, lines(kDash));
    EXPECT_EQ(dialog.lists[kPuzzleList].selected, 2);
    for (std::int16_t time : store.records[0].clearTimes) EXPECT_EQ(time, 0);
    EXPECT_EQ(store.records[1].clearTimes[0], 99);
    EXPECT_EQ(dialog.result, 0);
}

}  // namespace
}  // namespace quorrin::test
