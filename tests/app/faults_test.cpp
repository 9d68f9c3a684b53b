// Faults of the operating system, injected through the platform services
// and the file system: a full disk while saving, a save file another
// program holds, a collection file that goes away between the listing and
// the open. The old save file stays whole, and the player is asked before
// the run's progress is given up.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/texts.h"
#include "tests/app/game_fixture.h"

namespace quorrin::test {
namespace {

const std::string kSaveQuestion = std::string(texts::kSaveFailed) + "|" + texts::kSaveErrorCaption;

bool& replaceRefused() {
    static bool refused = false;
    return refused;
}

class FaultTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        replaceRefused() = false;
        platform().replaceFile = [](const char* source, const char* target) {
            return !replaceRefused() && defaultPlatform().replaceFile(source, target);
        };
        writeBytes(file("easy.dat"), kSmall);
        // A save file of an earlier run, with a game in play.
        Session first;
        first.windows.dialogScripts.push_back({{DialogStep::Press, kControlOk}});
        clickEdge(first.windows, EdgeRef{0, 0});
        first.app.run();
        earlier = readBytes(savePath());
        ASSERT_EQ(earlier.size(), kSaveHeaderBytes + kRecordBytes);
    }
    std::string earlier;
};

TEST_F(FaultTest, SaveFileThatCannotBeReplacedIsKeptAndThePlayerAsked) {
    // The answers to "save again?": at once no, or once yes and then no.
    for (const std::deque<bool>& answers :
         {std::deque<bool>{false}, std::deque<bool>{true, false}}) {
        writeBytes(savePath(), earlier);
        Session s;
        s.windows.answers = answers;
        clickEdge(s.windows, EdgeRef{1, 1});
        s.windows.events.push_back([&](GameApp&) { replaceRefused() = true; });
        ticks(s.windows, 60);  // the minute's save fails too, silently
        s.windows.events.push_back([&](GameApp&) { EXPECT_TRUE(s.windows.questions.empty()); });
        s.app.run();
        replaceRefused() = false;
        EXPECT_EQ(s.windows.questions, std::vector<std::string>(answers.size(), kSaveQuestion));
        EXPECT_EQ(readBytes(savePath()), earlier);  // whole, never half written
        EXPECT_FALSE(std::filesystem::exists(file("quorrin.sav.tmp")));
    }
}

TEST_F(FaultTest, FullDiskAtExitThenRoomMadeAndSavedOnRetry) {
#ifdef _WIN32
    GTEST_SKIP() << "a full disk is made with /dev/full";
#else
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    Session s;
    clickEdge(s.windows, EdgeRef{1, 1});
    s.windows.events.push_back([&](GameApp&) {
        // Every write of the temporary file now fails as on a full disk.
        std::filesystem::create_symlink("/dev/full", file("quorrin.sav.tmp"));
    });
    s.windows.answers.push_back(true);
    FakeWindows& windows = s.windows;
    s.app.run();
    EXPECT_EQ(windows.questions, std::vector<std::string>{kSaveQuestion});
    // The failed write took its temporary file (the link) away, so the
    // retry found room and the progress is kept.
    ProgressStore saved;
    ASSERT_TRUE(readSave(saved));
    EXPECT_NE(readBytes(savePath()), earlier);
    EXPECT_EQ(saved.resumeState, Off);
#endif
}

TEST_F(FaultTest, SaveThatNeverSucceedsLeavesTheOldSaveWhole) {
    Session s;
    clickEdge(s.windows, EdgeRef{1, 1});
    s.windows.answers = {true, true, false};
    s.windows.events.push_back([&](GameApp&) {
        // A folder where the temporary file would go: no write can succeed.
        std::filesystem::create_directory(file("quorrin.sav.tmp"));
    });
    s.app.run();
    EXPECT_EQ(s.windows.questions.size(), 3u);
    EXPECT_EQ(readBytes(savePath()), earlier);
    std::filesystem::remove(file("quorrin.sav.tmp"));
}

TEST_F(FaultTest, CollectionGoneBetweenListingAndOpen) {
    writeBytes(file("gone.dat"), kSmall + "1/1/1/.\n");
    auto vanish = [this] { std::filesystem::remove(file("gone.dat")); };
    {  // during play: the dialog stays open on a double-click, ends with 2
       // on OK, and the game and the store go on as they were
        Session s;
        s.windows.events.push_back([](GameApp& app) { app.onCommand(kCommandOpenCollection); });
        s.windows.dialogScripts.push_back({{DialogStep::Select, 1},
                                           {DialogStep::Run, 0, vanish},
                                           {DialogStep::DoubleClick},
                                           {DialogStep::Press, kControlOk}});
        s.windows.events.push_back([&](GameApp& app) {
            EXPECT_EQ(s.windows.lastDialog.lists[kCollectionList].lines,
                      (std::vector<std::string>{"easy", "gone"}));
            EXPECT_STREQ(app.progress.collectionName, "easy.dat");
            EXPECT_FALSE(app.solved);
            EXPECT_EQ(s.windows.calls.back(), "dialog 122 -> 2");
        });
        s.app.run();
    }
    {  // at start-up, with no save file: the error box, nothing written
        writeBytes(file("gone.dat"), kSmall);
        std::filesystem::remove(file("easy.dat"));
        std::filesystem::remove(savePath());
        Session s;
        s.windows.dialogScripts.push_back(
            {{DialogStep::Run, 0, vanish}, {DialogStep::Press, kControlOk}});
        EXPECT_EQ(s.app.run(), 0);
        EXPECT_EQ(s.windows.errors.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(savePath()));
    }
}

}  // namespace
}  // namespace quorrin::test
