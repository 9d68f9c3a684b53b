// The browser's window system with a scripted page: the events the page
// reports reach the game in order, in the main loop and in the loops of
// dialogs and message boxes (the clock also while they wait, the mouse
// not), the canvas follows the client size down to the game's minimum, and
// what the game draws reaches the canvas.
#include "app/web/web_window_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/web/file_names.h"
#include "dialogs/dialogs.h"
#include "screen/bitmap.h"

namespace quorrin::web {
namespace {

namespace fs = std::filesystem;

using Kind = PageEvent::Kind;

// The page: a script of events, a record of what the game asked for, and a
// canvas of RGBA pixels. When the script runs out the player closes the
// game with the menu's 終了; a game that still waits after that (a dialog or
// a box that never closed) fails the test at once instead of hanging.
class ScriptedPage : public PageBridge {
  public:
    std::deque<PageEvent> events;
    std::function<void()> beforeTake;               // before each event is taken
    std::function<void(const PageEvent&)> onEvent;  // before each event is handed over
    std::vector<std::string> log;
    std::int32_t pageWidth = 800;
    std::int32_t pageHeight = 600;
    std::int32_t canvasWidth = 0;
    std::int32_t canvasHeight = 0;
    std::vector<std::uint8_t> canvas;  // RGBA
    bool timerRunning = false;
    bool boxOpen = false;
    int dialogOpen = 0;
    std::vector<std::string> lines;  // of the last list sent
    int takesPastScript = 0;

    PageEvent nextEvent() override {
        if (beforeTake) beforeTake();
        PageEvent event{Kind::Command, kCommandExit, 0, 0};
        if (!events.empty()) {
            event = events.front();
            events.pop_front();
        } else if (++takesPastScript > 100) {
            throw std::runtime_error("the script ran out and the game still waits");
        }
        if (onEvent) onEvent(event);
        return event;
    }
    void sizeCanvas(std::int32_t width, std::int32_t height) override {
        canvasWidth = width;
        canvasHeight = height;
        canvas.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4, 0);
        log.push_back("canvas " + std::to_string(width) + "x" + std::to_string(height));
    }
    void clientSize(std::int32_t& width, std::int32_t& height) override {
        width = pageWidth;
        height = pageHeight;
    }
    void putPixels(const std::uint8_t* rgba, std::int32_t x, std::int32_t y, std::int32_t width,
                   std::int32_t height) override {
        ASSERT_GE(x, 0);
        ASSERT_GE(y, 0);
        ASSERT_LE(x + width, canvasWidth);
        ASSERT_LE(y + height, canvasHeight);
        for (std::int32_t row = 0; row < height; ++row) {
            std::copy_n(rgba + static_cast<std::size_t>(row) * width * 4, width * 4,
                        canvas.begin() + (static_cast<std::size_t>(y + row) * canvasWidth + x) * 4);
        }
    }
    void startTimer(int milliseconds) override {
        timerRunning = true;
        log.push_back("timer " + std::to_string(milliseconds));
    }
    void stopTimer() override { timerRunning = false; }
    void openMessageBox(const std::string& text, const std::string& caption,
                        bool withCancel) override {
        boxOpen = true;
        log.push_back("box " + text + "|" + caption + (withCancel ? "|cancel" : ""));
    }
    void closeMessageBox() override {
        boxOpen = false;
        log.push_back("box closed");
    }
    void openDialog(int dialogId) override {
        dialogOpen = dialogId;
        log.push_back("dialog " + std::to_string(dialogId));
    }
    void closeDialog() override {
        log.push_back("dialog closed " + std::to_string(dialogOpen));
        dialogOpen = 0;
    }
    void setControlText(int control, const std::string& text) override {
        log.push_back("text " + std::to_string(control) + " " + text);
    }
    void setListLines(int list, const std::vector<std::string>& all, const int*,
                      int tabStopCount) override {
        lines = all;
        log.push_back("list " + std::to_string(list) + " " + std::to_string(all.size()) + " " +
                      std::to_string(tabStopCount));
    }
    void selectListLine(int, int) override {}
    void showMainWindow(bool shown) override { log.push_back(shown ? "shown" : "ended"); }
    void exportSave(const std::string& path) override { log.push_back("export " + path); }
    void enableUndo(bool undo, bool redo) override {
        log.push_back(std::string("undo ") + (undo ? "1" : "0") + " " + (redo ? "1" : "0"));
    }

    void script(std::initializer_list<PageEvent> more) {
        events.insert(events.end(), more.begin(), more.end());
    }
    bool logged(const std::string& entry) const {
        return std::find(log.begin(), log.end(), entry) != log.end();
    }
    std::vector<std::string> entries(const std::string& prefix) const {
        std::vector<std::string> found;
        std::copy_if(log.begin(), log.end(), std::back_inserter(found),
                     [&](const std::string& e) { return e.rfind(prefix, 0) == 0; });
        return found;
    }
};

int saves = 0;

// A game folder with the first shipped collection, the page's file hooks on
// it, and the game on a scripted page.
class WebGame : public ::testing::Test {
  protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("quorrin-web-" +
                  std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder);
        fs::copy_file(fs::path(QUORRIN_SOURCE_DIR) / "puzzles/01_first_steps.dat",
                      folder / "01_first_steps.dat");
        saves = 0;
        platform() = pagePlatform(folder.string() + "/", [](const char*) { ++saves; });
        windows = std::make_unique<WebWindowSystem>(page);
        app = std::make_unique<GameApp>(*windows);
        app->screen.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
        windows->setApp(app.get());
        windows->setSavePath(folder.string() + "/quorrin.sav");
    }
    void TearDown() override {
        windows->setApp(nullptr);
        platform() = defaultPlatform();
        fs::remove_all(folder);
    }

    // The first start's dialog answered with OK on the first collection.
    void chooseFirstCollection() { page.events.push_back({Kind::DialogControl, kControlOk, 0, 0}); }
    // A client point on an edge of the board, and the edge.
    bool edgePoint(std::int32_t& x, std::int32_t& y, EdgeRef& edge) const {
        for (y = app->screen.originY; y < page.canvasHeight; ++y) {
            for (x = app->screen.originX; x < page.canvasWidth; ++x) {
                if (app->screen.hitTest(app->board, x, y, edge)) return true;
            }
        }
        return false;
    }
    // Run the game with the events queued so far, plus those `more` adds
    // once the board is there.
    void run(std::function<void()> more = nullptr) {
        bool added = false;
        if (more) {
            page.beforeTake = [&, more] {
                if (!added && windows->mainWindowShown()) {
                    added = true;
                    more();
                }
            };
        }
        code = app->run();
        page.beforeTake = nullptr;
        page.onEvent = nullptr;
    }

    fs::path folder;
    ScriptedPage page;
    std::unique_ptr<WebWindowSystem> windows;
    std::unique_ptr<GameApp> app;
    int code = -1;
};

// The canvas has the page's size, never below the game's minimum, and
// shows the back buffer.
TEST_F(WebGame, FirstStartAsksForACollectionThenFillsThePage) {
    page.pageWidth = 300;
    chooseFirstCollection();
    int different = -1;
    run([&] {
        page.script({{Kind::Resize, 100, 900}, {Kind::Resize, 1200, 700}, {Kind::Tick}});
        page.onEvent = [&](const PageEvent& event) {
            if (event.kind != Kind::Command) return;  // the menu's 終了
            const Surface& buffer = app->screen.backBuffer;
            ASSERT_EQ(buffer.width, page.canvasWidth);
            ASSERT_EQ(buffer.height, page.canvasHeight);
            different = 0;
            for (std::int32_t y = 0; y < buffer.height; ++y) {
                for (std::int32_t x = 0; x < buffer.width; ++x) {
                    // RGBA on the canvas, BGR in the back buffer.
                    const std::uint8_t* p = buffer.row(y) + x * 3;
                    const std::uint8_t* q =
                        &page.canvas[(std::size_t(y) * page.canvasWidth + x) * 4];
                    different += q[0] != p[2] || q[1] != p[1] || q[2] != p[0] || q[3] != 255;
                }
            }
        };
    });
    EXPECT_EQ(different, 0);
    EXPECT_EQ(code, 0);
    ASSERT_GE(page.log.size(), 4u);
    EXPECT_EQ(
        std::vector<std::string>(page.log.begin(), page.log.begin() + 4),
        (std::vector<std::string>{"dialog 122", "list 121 1 0", "dialog closed 122", "shown"}));
    EXPECT_EQ(page.lines, std::vector<std::string>{"01_first_steps"});
    EXPECT_EQ(page.entries("canvas"),
              (std::vector<std::string>{"canvas 432x600", "canvas 432x900", "canvas 1200x700"}));
    EXPECT_TRUE(page.logged("timer 1000"));
    EXPECT_EQ(page.log.back(), "ended");
    EXPECT_FALSE(page.timerRunning);
    EXPECT_TRUE(fs::exists(folder / "quorrin.sav"));
    EXPECT_GE(saves, 1);
}

TEST_F(WebGame, TheClockTicksInQuestionsAndDialogsAndTheBoardIgnoresTheMouseAndKeys) {
    chooseFirstCollection();
    std::vector<std::int32_t> elapsed;  // at the first answer, at OK, at the end
    Board before;
    run([&] {
        std::int32_t x = 0, y = 0;
        EdgeRef edge;
        ASSERT_TRUE(edgePoint(x, y, edge));
        ProgressRecord* record = app->progress.currentProgress();
        ASSERT_NE(record, nullptr);
        record->clearTimes[0] = 75;
        before = app->board;
        // 最初から: the question; meanwhile two ticks, a click on the board
        // and a menu command; then Cancel.
        page.script({{Kind::LeftDown, app->screen.toolbarX + kButtonWidth + 45, 16},
                     {Kind::Tick},
                     {Kind::LeftDown, x, y},
                     {Kind::Command, kCommandAbout},
                     {Kind::Tick},
                     {Kind::Answer, 0}});
        // The puzzle dialog: クリア asks, OK there; three ticks in all; the
        // mouse and the game's keys do nothing; line 3, OK.
        page.script({{Kind::Command, kCommandSelectPuzzle},
                     {Kind::Tick},
                     {Kind::DialogControl, kClearButton, 0, 0},
                     {Kind::Tick},
                     {Kind::Answer, 1},
                     {Kind::Tick},
                     {Kind::RightDown, x, y},
                     {Kind::Key, 'Z', kKeyControl, 0},
                     {Kind::DialogControl, kControlOk, 0, 2},
                     {Kind::Hidden}});
        page.onEvent = [&](const PageEvent& event) {
            if (event.kind == Kind::Answer) {
                EXPECT_TRUE(page.boxOpen);
            }
            const bool probe = (event.kind == Kind::Answer && elapsed.empty()) ||
                               (event.kind == Kind::DialogControl && event.a == kControlOk);
            if (probe) {
                EXPECT_EQ(app->board.codes, before.codes);
            }
            if (probe || event.kind == Kind::Hidden) elapsed.push_back(app->elapsed);
        };
    });
    // The chosen puzzle starts afresh at 0:00.
    EXPECT_EQ(elapsed, (std::vector<std::int32_t>{2, 5, 0}));
    EXPECT_FALSE(page.logged("dialog 116"));  // the menu is covered by the box
    EXPECT_TRUE(page.logged("box closed"));
    EXPECT_EQ(app->progress.currentPuzzle, 2);
    EXPECT_TRUE(page.logged("dialog 117"));
    EXPECT_EQ(page.entries("list 118 ").size(), 2u);  // filled, and filled again after the clear
    EXPECT_TRUE(page.logged("list 118 30 3"));
    EXPECT_EQ(page.lines.size(), 30u);
    EXPECT_NE(page.lines[0].find("\x81\x7c"), std::string::npos);  // no clear time any more
    EXPECT_TRUE(page.logged("text 123 01_first_steps"));
}

TEST_F(WebGame, CancelAtTheFirstStartEndsWithAnError) {
    page.script({{Kind::DialogControl, kControlCancel, 0, 0}, {Kind::Answer, 1}});
    run();
    EXPECT_FALSE(page.logged("shown"));
    ASSERT_GE(page.log.size(), 4u);
    EXPECT_EQ(page.log[3].rfind("box ", 0), 0u);
    EXPECT_EQ(page.log[3].find("|cancel"), std::string::npos);
    EXPECT_FALSE(fs::exists(folder / "quorrin.sav"));
}

TEST_F(WebGame, KeysPlayTheShortcutsUndoAndRedoAndAHiddenPageSaves) {
    chooseFirstCollection();
    std::vector<std::vector<std::uint8_t>> seen;  // the board at each probe (a tick)
    int savesBefore = 0;
    run([&] {
        savesBefore = saves;
        page.script({{Kind::Tick},
                     {Kind::Key, 39, 0, 0},  // → lights an edge
                     {Kind::Key, 32, 0, 0},  // Space: a left click on it
                     {Kind::Hidden},
                     {Kind::Tick},
                     {Kind::Key, 'Z', kKeyControl, 0},
                     {Kind::Tick},
                     {Kind::Key, 'Z', kKeyControl | kKeyShift, 0},
                     {Kind::Tick},
                     {Kind::Key, 'Z', kKeyControl, 0},
                     {Kind::Key, 'Y', kKeyControl, 0},
                     {Kind::Tick}});
        // In a dialog (the About box) the keys are the dialog's: Space marks
        // nothing; a hidden page saves there too. Then the export saves first.
        page.script({{Kind::Command, kCommandAbout},
                     {Kind::Key, 32, 0, 0},
                     {Kind::Key, 'Z', kKeyControl, 0},
                     {Kind::Hidden},
                     {Kind::DialogControl, kControlOk, 0, -1},
                     {Kind::Tick},
                     {Kind::Command, kCommandExportSave}});
        page.onEvent = [&](const PageEvent& event) {
            if (event.kind == Kind::Tick) seen.push_back(app->board.codes);
        };
    });
    ASSERT_EQ(seen.size(), 6u);
    EXPECT_NE(seen[1], seen[0]);  // Space marked the lit edge
    EXPECT_EQ(seen[2], seen[0]);  // Ctrl+Z took it back
    EXPECT_EQ(seen[3], seen[1]);  // Ctrl+Shift+Z brought it again
    EXPECT_EQ(seen[4], seen[1]);  // Ctrl+Z, Ctrl+Y
    EXPECT_EQ(seen[5], seen[1]);  // nothing from the keys in the dialog
    // The menu's items followed: nothing to undo at first, then undo, then
    // redo only, then undo again.
    const std::vector<std::string> shown = page.entries("undo ");
    ASSERT_GE(shown.size(), 4u);
    EXPECT_EQ(std::vector<std::string>(shown.begin(), shown.begin() + 4),
              (std::vector<std::string>{"undo 0 0", "undo 1 0", "undo 0 1", "undo 1 0"}));
    // Two hidden pages, the export and the end.
    EXPECT_EQ(saves - savesBefore, 4);
    EXPECT_TRUE(page.logged("dialog closed 116"));
    EXPECT_TRUE(page.logged("export " + folder.string() + "/quorrin.sav"));
}

TEST(KeyAction, TheGamesKeysAndTheShortcuts) {
    KeyAction a;
    ASSERT_TRUE(keyAction(37, 0, a));
    EXPECT_FALSE(a.isCommand);
    EXPECT_EQ(a.key, Key::Left);
    ASSERT_TRUE(keyAction('X', kKeyShift, a));
    EXPECT_EQ(a.key, Key::X);
    ASSERT_TRUE(keyAction(100, 0, a));
    EXPECT_EQ(a.key, Key::Digit4);
    ASSERT_TRUE(keyAction(13, 0, a));
    EXPECT_EQ(a.key, Key::Enter);
    ASSERT_TRUE(keyAction(46, 0, a));
    EXPECT_EQ(a.key, Key::Delete);
    // Ctrl+Z, Ctrl+Shift+Z and Ctrl+Y: played in
    // KeysPlayTheShortcutsUndoAndRedoAndAHiddenPageSaves.
    EXPECT_FALSE(keyAction('X', kKeyControl, a));  // with Ctrl, not a game key
    EXPECT_FALSE(keyAction(32, kKeyControl, a));
    EXPECT_FALSE(keyAction('Z', 0, a));
    EXPECT_FALSE(keyAction('A', 0, a));
    EXPECT_FALSE(keyAction('5', 0, a));
}

TEST(ToRgba, ConvertsAndClipsTheArea) {
    Surface s;
    ASSERT_TRUE(s.create(3, 2));
    for (std::int32_t y = 0; y < 2; ++y) {
        for (std::int32_t x = 0; x < 3; ++x) {
            std::uint8_t* p = s.row(y) + x * 3;
            p[0] = static_cast<std::uint8_t>(10 * x + y);  // blue
            p[1] = 100;
            p[2] = static_cast<std::uint8_t>(200 + x);  // red
        }
    }
    PixelRect area{1, -1, 5, 2};
    std::vector<std::uint8_t> out;
    ASSERT_TRUE(toRgba(s, area, out));
    EXPECT_EQ(area.x, 1);
    EXPECT_EQ(area.y, 0);
    EXPECT_EQ(area.width, 2);
    EXPECT_EQ(area.height, 1);
    EXPECT_EQ(out, (std::vector<std::uint8_t>{201, 100, 10, 255, 202, 100, 20, 255}));
    PixelRect outside{3, 0, 2, 2};
    EXPECT_FALSE(toRgba(s, outside, out));
    PixelRect none{0, 0, 0, 2};
    EXPECT_FALSE(toRgba(s, none, out));
}

}  // namespace
}  // namespace quorrin::web
