// The game end to end through the fake window system: start-up, play, the
// clock, trial mode, the solve, the dialogs and every way a run ends, judged
// by the game's state, the window's pixels and the save file's bytes.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialogs/texts.h"
#include "tests/app/game_fixture.h"
#include "tests/screen/pixels.h"

namespace quorrin::test {
namespace {

using testing::kWhite;

const std::string kLoadFailedBox = std::string(texts::kLoadFailed) + "|" + texts::kInitErrorCaption;

DialogScript pressOk() {
    return {{DialogStep::Press, kControlOk}};
}

// A first run: no save file, the player opens the only collection.
void openAtStart(FakeWindows& windows) {
    windows.dialogScripts.push_back(pressOk());
}

TEST_F(GameTest, NoCollectionBesideTheProgram) {
    for (bool saveFileThere : {false, true}) {
        if (saveFileThere) writeBytes(savePath(), std::string(kSaveHeaderBytes, '\0'));
        Session s;
        s.windows.dialogScripts.push_back(pressOk());
        EXPECT_EQ(s.app.run(), 0);
        EXPECT_EQ(s.windows.errors, std::vector<std::string>{kLoadFailedBox});
        EXPECT_EQ(s.windows.calls, std::vector<std::string>{"dialog 122 -> 2"});
        if (saveFileThere) {
            EXPECT_EQ(readBytes(savePath()), std::string(kSaveHeaderBytes, '\0'));
        } else {
            EXPECT_FALSE(std::filesystem::exists(savePath()));
        }
    }
}

TEST_F(GameTest, StartUpGivesUpWithoutWritingAnything) {
    writeBytes(file("easy.dat"), kSmall);
    {  // the player cancels the first dialog
        Session s;
        s.windows.dialogScripts.push_back({{DialogStep::Press, kControlCancel}});
        EXPECT_EQ(s.app.run(), 0);
        EXPECT_EQ(s.windows.errors, std::vector<std::string>{kLoadFailedBox});
    }
    {  // no window can be made
        Session s;
        openAtStart(s.windows);
        s.windows.windowCanBeMade = false;
        EXPECT_EQ(s.app.run(), 0);
        EXPECT_TRUE(s.windows.errors.empty());
        EXPECT_TRUE(s.app.shutDown());
    }
    EXPECT_FALSE(std::filesystem::exists(savePath()));
}

// From an empty folder with one shipped collection: the first puzzle played
// to the solve by clicks, the next one started by a click, trial mode, the
// run ended, and the game resumed in the next run.
TEST_F(GameTest, WholeGameSolvedSavedAndResumed) {
    shipFirstCollection();
    std::vector<EdgeRef> loop;
    std::vector<std::uint8_t> codesAtExit;
    {
        Session s;
        openAtStart(s.windows);
        s.windows.events.push_back([&](GameApp& app) {
            EXPECT_EQ(app.screen.backBuffer.width, kStartClientWidth);
            EXPECT_EQ(app.screen.backBuffer.height, kStartClientHeight);
            EXPECT_FALSE(app.solved);
            EXPECT_TRUE(s.windows.clockRunning);
            EXPECT_EQ(app.progress.currentPuzzle, 0);
            loop = solutionOf(app.progress.collection.puzzles[0]);
            ASSERT_FALSE(loop.empty());
            for (EdgeRef e : loop) clickEdge(s.windows, e);
            s.windows.events.push_back([&](GameApp& after) {
                // Solved by the last click: the banner in the middle, the
                // toolbar strip blank, the clear time kept and written.
                EXPECT_TRUE(after.solved);
                EXPECT_TRUE(after.bannerShown());
                EXPECT_FALSE(s.windows.clockRunning);
                EXPECT_TRUE(s.windows.showsBackBuffer());
                for (std::int32_t x = 0; x < kStartClientWidth; x += 7) {
                    EXPECT_EQ(testing::pixelAt(s.windows.window, x, 16), kWhite);
                }
                EXPECT_NE(testing::pixelAt(s.windows.window, 216, 232), kWhite);
                ProgressStore saved;
                ASSERT_TRUE(readSave(saved));
                EXPECT_EQ(saved.records.at(0).clearTimes[0], 3);
                EXPECT_EQ(saved.resumeState, kNoResume);
            });
            // Any click moves on, also one on the blank toolbar strip.
            clickAt(s.windows, 10, 10);
            s.windows.events.push_back([](GameApp& after) {
                EXPECT_FALSE(after.solved);
                EXPECT_EQ(after.progress.currentPuzzle, 1);
                EXPECT_EQ(after.elapsed, 0);
            });
            ticks(s.windows, 5);
            clickEdge(s.windows, EdgeRef{0, 0});
            clickButton(s.windows, 2);  // arm
            clickEdge(s.windows, EdgeRef{0, 1}, true);
            clickEdge(s.windows, EdgeRef{1, 0});
            s.windows.events.push_back([&](GameApp& after) {
                EXPECT_EQ(after.trialState, Started);
                EXPECT_EQ(after.trialOrigin, (EdgeRef{0, 1}));
                codesAtExit = after.board.codes;
            });
        });
        ticks(s.windows, 3);
        EXPECT_EQ(s.app.run(), 0);
        EXPECT_TRUE(s.app.shutDown());
    }
    ProgressStore saved;
    ASSERT_TRUE(readSave(saved));
    EXPECT_STREQ(saved.collectionName, "first.dat");
    EXPECT_EQ(saved.currentPuzzle, 1);
    EXPECT_EQ(saved.resumeState, Started);
    EXPECT_EQ(saved.originVertex, 0);
    EXPECT_EQ(saved.originOrientation, 1);
    EXPECT_EQ(saved.elapsedSeconds, 5);
    EXPECT_EQ(saved.records.at(0).clearTimes[0], 3);

    // The next run resumes: marks, clock and trial as they were; a roll back
    // returns to the board as resumed (no snapshot is kept in the file).
    Session s;
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_FALSE(app.solved);
        EXPECT_TRUE(s.windows.clockRunning);
        EXPECT_EQ(app.board.codes, codesAtExit);
        EXPECT_EQ(app.elapsed, 5);
        EXPECT_EQ(app.trialState, Started);
        EXPECT_TRUE(s.windows.showsBackBuffer());
    });
    ticks(s.windows, 1);
    clickEdge(s.windows, EdgeRef{2, 0});
    clickButton(s.windows, 3);  // roll back
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(app.trialState, Off);
        EXPECT_FALSE(app.trialOrigin.valid());
        EXPECT_EQ(app.board.codes, codesAtExit);
        EXPECT_EQ(app.elapsed, 6);
    });
    EXPECT_EQ(s.app.run(), 0);
    EXPECT_TRUE(s.windows.errors.empty());
}

TEST(MinimumSize, TheDraggedEdgeStopsTheOppositeStays) {
    const std::int32_t fw = 16, fh = 59;  // a frame with caption and menu
    const WindowRect small{100, 100, 200, 200};
    const WindowRect big{100, 100, 900, 900};
    struct Case {
        int edge;
        WindowRect in, out;
    };
    const std::int32_t w = 432 + fw, h = 464 + fh;
    const Case cases[] = {
        {SizeLeft, small, {200 - w, 100, 200, 100 + h}},
        {SizeRight, small, {100, 100, 100 + w, 100 + h}},
        {SizeTop, small, {100, 200 - h, 100 + w, 200}},
        {SizeTopLeft, small, {200 - w, 200 - h, 200, 200}},
        {SizeTopRight, small, {100, 200 - h, 100 + w, 200}},
        {SizeBottom, small, {100, 100, 100 + w, 100 + h}},
        {SizeBottomLeft, small, {200 - w, 100, 200, 100 + h}},
        {SizeBottomRight, small, {100, 100, 100 + w, 100 + h}},
        {SizeTopLeft, big, big},
        {SizeBottomRight, {0, 0, w, h}, {0, 0, w, h}},
        {SizeLeft, {0, 0, w - 1, h}, {-1, 0, w - 1, h}},
        {SizeTop, {0, 0, w, h - 1}, {0, -1, w, h - 1}},
    };
    for (const Case& c : cases) {
        WindowRect r = c.in;
        keepMinimumSize(c.edge, r, fw, fh);
        EXPECT_EQ((std::vector<std::int32_t>{r.left, r.top, r.right, r.bottom}),
                  (std::vector<std::int32_t>{c.out.left, c.out.top, c.out.right, c.out.bottom}))
            << "edge " << c.edge << " from " << c.in.left << "," << c.in.top;
    }
}

// A game of the 2 x 2 puzzle of kEasy in play, with the events the test adds.
class PlayTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        writeBytes(file("easy.dat"), kSmall);
        openAtStart(s.windows);
    }
    Session s;
};

TEST_F(PlayTest, ClockStopsAt5959AndTheClearTimeIs3599) {
    ticks(s.windows, 3700);
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(app.elapsed, kMaxElapsed);
        EXPECT_TRUE(s.windows.showsBackBuffer());
        for (EdgeRef e : solutionOf(app.progress.collection.puzzles[0])) clickEdge(s.windows, e);
        s.windows.events.push_back([](GameApp& after) {
            EXPECT_TRUE(after.solved);
            EXPECT_EQ(after.progress.currentProgress()->clearTimes[0], 3599);
        });
    });
    s.app.run();
}

TEST_F(PlayTest, SolvedStateOnlyMovesOnWrappingRound) {
    // Puzzle 1 solved; clicks then go to puzzle 2, back to 0 (wrapping), and
    // when all are cleared nothing happens.
    s.windows.events.push_back([](GameApp& app) {
        app.progress.currentPuzzle = 1;
        app.startPuzzle();
    });
    auto solveCurrent = [&](FakeWindows& w) {
        w.events.push_back([&w](GameApp& app) {
            auto loop = solutionOf(app.progress.collection.puzzles[app.progress.currentPuzzle]);
            for (auto it = loop.rbegin(); it != loop.rend(); ++it) {
                const EdgeRef e = *it;
                w.events.push_front([e](GameApp& a) {
                    const Point p = edgePoint(a, e);
                    a.onLeftClick(p.x, p.y);
                });
            }
        });
    };
    std::vector<std::int32_t> order;
    for (int round = 0; round < 3; ++round) {
        ticks(s.windows, 2);
        solveCurrent(s.windows);
        s.windows.events.push_back([&](GameApp& app) {
            ASSERT_TRUE(app.solved);
            const int presents = s.windows.presents;
            const Point p = edgePoint(app, EdgeRef{0, 0});
            app.onMouseMove(p.x, p.y);
            app.onRightClick(p.x, p.y);
            EXPECT_EQ(s.windows.presents, presents);  // nothing reacts
            app.onLeftClick(300, 300);
            order.push_back(app.progress.currentPuzzle);
        });
    }
    s.windows.events.push_back([](GameApp& app) {
        EXPECT_TRUE(app.solved);  // every puzzle cleared: the click did nothing
        for (int i = 0; i < 3; ++i) EXPECT_EQ(app.progress.currentProgress()->clearTimes[i], 2);
    });
    s.app.run();
    EXPECT_EQ(order, (std::vector<std::int32_t>{2, 0, 0}));
}

TEST_F(PlayTest, RestartAsksFirst) {
    ticks(s.windows, 4);
    clickEdge(s.windows, EdgeRef{1, 0});
    clickButton(s.windows, 2);
    s.windows.answers = {false, true};
    std::vector<std::uint8_t> marked;
    s.windows.events.push_back([&](GameApp& app) {
        marked = app.board.codes;
        const int presents = s.windows.presents;
        clickButton(s.windows, 1);
        s.windows.events.push_back([&, presents](GameApp& after) {  // Cancel: nothing at all
            EXPECT_EQ(after.board.codes, marked);
            EXPECT_EQ(after.elapsed, 4);
            EXPECT_EQ(after.trialState, Armed);
            EXPECT_EQ(s.windows.presents, presents + 1);  // the hover only
        });
        clickButton(s.windows, 1);
        s.windows.events.push_back([&](GameApp& after) {  // OK: afresh
            EXPECT_NE(after.board.codes, marked);
            EXPECT_EQ(after.elapsed, 0);
            EXPECT_EQ(after.trialState, Off);
            EXPECT_EQ(s.windows.questions.size(), 2u);
            EXPECT_EQ(s.windows.questions[0],
                      std::string(texts::kRestartQuestion) + "|" + texts::kConfirmCaption);
        });
    });
    s.app.run();
}

TEST_F(PlayTest, TrialCommitKeepsRollBackRestoresButtonThreeOffDoesNothing) {
    std::vector<std::uint8_t> armed, clues;
    clickButton(s.windows, 3);  // not shown while off
    s.windows.events.push_back([](GameApp& app) { EXPECT_EQ(app.trialState, Off); });
    clickEdge(s.windows, EdgeRef{0, 0});
    clickButton(s.windows, 2);
    s.windows.events.push_back([&](GameApp& app) {
        armed = app.board.codes;
        clues = app.board.clues;
    });
    clickEdge(s.windows, EdgeRef{1, 1});
    clickEdge(s.windows, EdgeRef{3, 0}, true);
    s.windows.events.push_back([](GameApp& app) {
        EXPECT_EQ(app.trialOrigin, (EdgeRef{1, 1}));  // the first edge stays the origin
    });
    clickButton(s.windows, 3);
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(app.board.codes, armed);
        EXPECT_EQ(app.board.clues, clues);
        EXPECT_EQ(app.trialState, Off);
    });
    clickButton(s.windows, 2);
    clickEdge(s.windows, EdgeRef{1, 1});
    clickButton(s.windows, 2);  // commit
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_NE(app.board.codes, armed);
        EXPECT_EQ(app.trialState, Off);
        EXPECT_FALSE(app.trialOrigin.valid());
    });
    s.app.run();
}

TEST_F(PlayTest, PuzzleDialogChoosesClearsAndTheClockGoesOn) {
    ticks(s.windows, 1);
    s.windows.events.push_back(
        [](GameApp& app) { app.progress.currentProgress()->clearTimes[1] = 61; });
    // Line 3 chosen with OK: puzzle 3 afresh, and the choice written at once.
    clickButton(s.windows, 0);
    s.windows.dialogScripts.push_back({{DialogStep::Tick},
                                       {DialogStep::Tick},
                                       {DialogStep::Select, 2},
                                       {DialogStep::Press, kControlOk}});
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(app.progress.currentPuzzle, 2);
        EXPECT_EQ(app.elapsed, 0);
        const std::string line = s.windows.lastDialog.lists[kPuzzleList].lines.at(1);
        EXPECT_EQ(line.substr(line.size() - 6), " 01:01");
        ProgressStore saved;
        ASSERT_TRUE(readSave(saved));
        EXPECT_EQ(saved.currentPuzzle, 2);
        app.onClockTick();
    });
    // The clock runs on while the dialog is open; Cancel changes nothing;
    // クリア answered Cancel keeps the times; OK erases and writes them.
    clickButton(s.windows, 0);
    s.windows.dialogScripts.push_back({{DialogStep::Tick},
                                       {DialogStep::Answer, 0},
                                       {DialogStep::Press, kClearButton},
                                       {DialogStep::Press, kControlCancel}});
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(app.elapsed, 2);
        EXPECT_TRUE(s.windows.showsBackBuffer());
        EXPECT_EQ(app.progress.currentProgress()->clearTimes[1], 61);
    });
    clickButton(s.windows, 0);
    s.windows.dialogScripts.push_back({{DialogStep::Select, 0},
                                       {DialogStep::Answer, 1},
                                       {DialogStep::Press, kClearButton},
                                       {DialogStep::Press, kControlCancel}});
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(app.progress.currentProgress()->clearTimes[1], 0);
        EXPECT_EQ(s.windows.lastDialog.lists[kPuzzleList].selected, 2);
        EXPECT_EQ(app.progress.currentPuzzle, 2);
        ProgressStore saved;
        ASSERT_TRUE(readSave(saved));
        EXPECT_EQ(saved.records.at(0).clearTimes[1], 0);
    });
    // A double-click chooses too.
    clickButton(s.windows, 0);
    s.windows.dialogScripts.push_back({{DialogStep::Select, 1}, {DialogStep::DoubleClick}});
    s.windows.events.push_back([](GameApp& app) { EXPECT_EQ(app.progress.currentPuzzle, 1); });
    s.app.run();
}

TEST_F(PlayTest, AFailedOpenLeavesTheGameAndTheStore) {
    writeBytes(file("broken.dat"), "");
    clickEdge(s.windows, EdgeRef{0, 0});
    std::vector<std::uint8_t> codes;
    s.windows.events.push_back([&](GameApp& app) {
        codes = app.board.codes;
        app.onCommand(kCommandOpenCollection);
    });
    s.windows.dialogScripts.push_back({{DialogStep::Select, 0}, {DialogStep::Press, kControlOk}});
    s.windows.events.push_back([&](GameApp& app) {
        EXPECT_EQ(s.windows.calls.back(), "dialog 122 -> 2");
        EXPECT_STREQ(app.progress.collectionName, "easy.dat");
        EXPECT_EQ(app.progress.collection.puzzleCount, 3);
        EXPECT_EQ(app.board.codes, codes);
        EXPECT_FALSE(app.solved);
    });
    s.app.run();
}

// How a run ends decides what the save file holds.
TEST_F(GameTest, SaveFileAfterEachWayOut) {
    writeBytes(file("easy.dat"), kSmall);
    struct Case {
        const char* name;
        std::function<void(FakeWindows&)> ending;
        std::int32_t resume, elapsed;
    };
    const Case cases[] = {
        {"menu exit",
         [](FakeWindows& w) { w.events.push_back([](GameApp& a) { a.onCommand(kCommandExit); }); },
         Off, 2},
        {"close box", [](FakeWindows&) {}, Off, 2},
        {"session end",
         [](FakeWindows& w) {
             w.events.push_back([](GameApp& a) { a.onEndSession(); });
             // After the session ends nothing else reaches the disk.
             w.events.push_back([](GameApp& a) { a.progress.savePath[0] = '\0'; });
         },
         Off, 2},
        {"armed", [](FakeWindows& w) { clickButton(w, 2); }, Armed, 2},
        {"solved",
         [](FakeWindows& w) {
             w.events.push_back([&w](GameApp& a) {
                 for (EdgeRef e : solutionOf(a.progress.collection.puzzles[0])) {
                     if (a.board.edgeState(e) != Line) clickEdge(w, e);
                 }
             });
         },
         kNoResume, 2},
    };
    for (const Case& c : cases) {
        std::filesystem::remove(savePath());
        Session s;
        openAtStart(s.windows);
        ticks(s.windows, 2);
        clickEdge(s.windows, EdgeRef{0, 0});
        c.ending(s.windows);
        s.app.run();
        ProgressStore saved;
        ASSERT_TRUE(readSave(saved)) << c.name;
        EXPECT_EQ(saved.resumeState, c.resume) << c.name;
        EXPECT_EQ(saved.elapsedSeconds, c.elapsed) << c.name;
    }
}

TEST_F(PlayTest, TheGameInPlayIsWrittenOnceAMinute) {
    ticks(s.windows, 59);
    s.windows.events.push_back(
        [&](GameApp&) { EXPECT_FALSE(std::filesystem::exists(savePath())); });
    ticks(s.windows, 1);
    s.windows.events.push_back([&](GameApp&) {
        ProgressStore saved;
        ASSERT_TRUE(readSave(saved));
        EXPECT_EQ(saved.elapsedSeconds, 60);
        EXPECT_EQ(saved.resumeState, Off);
        std::filesystem::remove(savePath());
    });
    ticks(s.windows, 60);
    s.windows.events.push_back([&](GameApp&) {
        ProgressStore saved;
        ASSERT_TRUE(readSave(saved));
        EXPECT_EQ(saved.elapsedSeconds, 120);
    });
    s.app.run();
}

}  // namespace
}  // namespace quorrin::test
