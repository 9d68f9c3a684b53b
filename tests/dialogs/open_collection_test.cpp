// The open-collection dialog: which files it lists and preselects, and what
// loading the chosen one does to the store.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "dialogs/dialogs.h"
#include "fake_dialog.h"
#include "tests/store/store_fixtures.h"

namespace quorrin {
namespace {

// The folder as the Windows layer enumerates "*.dat": in any case, the bare
// name ".dat" too; regular files, sorted byte by byte.
bool windowsListing(const char* folder, std::vector<std::string>& names) {
    names.clear();
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string name = entry.path().filename().string();
        std::string tail = name.substr(name.size() < 4 ? 0 : name.size() - 4);
        for (char& c : tail) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (entry.is_regular_file() && tail == ".dat") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return true;
}

const std::string kLongest = std::string(59, 'n') + ".dat";  // 63 bytes

class OpenCollectionDialogTest : public test::StoreTest {
  protected:
    // The store as start-up leaves it without a save file: no collection.
    void SetUp() override {
        StoreTest::SetUp();
        platform().listCollectionFiles = windowsListing;
        test::Game game;
        ASSERT_FALSE(game.start(store));
    }
    void write(const std::string& name, const std::string& text) {
        test::writeBytes(folder / name, text);
    }
    ProgressStore store;
};

TEST_F(OpenCollectionDialogTest, ListsExactDatNamesAndSelectsTheCurrentOne) {
    // Nothing to list: the dialog ends while it opens.
    for (const std::string& unlisted :
         {std::string("c.DAT"), std::string(".dat"), "m" + kLongest}) {
        test::FakeDialog closed;
        EXPECT_TRUE(OpenCollectionDialog(store).init(closed));
        EXPECT_EQ(closed.result, kDialogCancel);
        EXPECT_TRUE(closed.lists[kCollectionList].lines.empty());
        write(unlisted, test::kEasy);
    }
    for (const std::string& name :
         {std::string("x.dat"), std::string("a.dat"), kLongest, std::string("B.dat")}) {
        write(name, test::kEasy);
    }
    std::filesystem::create_directories(folder / "dir.dat");
    // The current collection byte for byte, else the first name.
    for (auto [current, selected] : {std::pair{"", 0}, std::pair{"a.dat", 1}, std::pair{"x.dat", 3},
                                     std::pair{"A.dat", 0}, std::pair{"c.DAT", 0}}) {
        ASSERT_TRUE(store.setCollectionName(current));
        test::FakeDialog fresh;
        EXPECT_TRUE(OpenCollectionDialog(store).init(fresh));
        EXPECT_EQ(fresh.result, 0);
        EXPECT_EQ(fresh.lists[kCollectionList].lines,
                  (std::vector<std::string>{"B", "a", std::string(59, 'n'), "x"}));
        EXPECT_EQ(fresh.lists[kCollectionList].selected, selected) << current;
    }
}

TEST_F(OpenCollectionDialogTest, LoadsTheChosenFileOrLeavesTheStoreAsItWas) {
    const std::string next = "1/1/1/0\n2/1/1/1\n";
    for (auto [name, text] :
         {std::pair{std::string("easy.dat"), test::kEasy}, std::pair{std::string("next.dat"), next},
          std::pair{kLongest, next}, std::pair{std::string("empty.dat"), std::string()}}) {
        write(name, text);
    }
    // easy.dat in play at its third puzzle; next's text seen before, its
    // first puzzle cleared.
    ASSERT_TRUE(store.setCollectionName("easy.dat"));
    ASSERT_TRUE(store.loadCollection());
    store.currentPuzzle = 2;
    store.records.push_back(ProgressRecord{test::identityOf(next), {30}});
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
        test::FakeDialog shown;
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

}  // namespace
}  // namespace quorrin
