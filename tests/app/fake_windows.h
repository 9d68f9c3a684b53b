// The window system in memory: a window whose pixels are what the game
// copied to it, a clock that ticks when the script says so, message boxes
// and dialogs answered from a script (the dialogs run their real logic on a
// FakeDialog), and a record of what the game asked for.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "tests/dialogs/fake_dialog.h"

namespace quorrin::test {

// What the player does inside one dialog, in order. A script that runs out
// before the dialog ended closes it as Cancel would.
struct DialogStep {
    enum Kind { Select, Press, DoubleClick, Tick, Answer, Run } kind;
    int value = 0;  // the line, the control, or the answer (1 OK, 0 Cancel)
    std::function<void()> action = nullptr;  // Run: something else happens meanwhile
};
using DialogScript = std::vector<DialogStep>;

class FakeWindows : public WindowSystem {
  public:
    bool windowCanBeMade = true;
    // The message loop: each event runs with the game, in order; when they
    // are used up the player closes the window.
    std::deque<std::function<void(GameApp&)>> events;
    std::deque<bool> answers;  // to confirm(); none left: Cancel
    std::deque<DialogScript> dialogScripts;
    std::function<void(GameApp&)> afterEvent;  // after every event of the loop

    GameApp* app = nullptr;
    Surface window;  // the client area as the player sees it
    bool exists = false;
    bool clockRunning = false;
    int presents = 0;
    std::vector<std::string> errors;     // text|caption of each error box
    std::vector<std::string> questions;  // text|caption of each confirmation
    FakeDialog lastDialog;               // the controls of the last dialog run

    bool createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) override;
    int runMessageLoop() override;
    void destroyMainWindow() override;
    void present(const Surface& backBuffer, const PixelRect& area) override;
    void startClock() override { clockRunning = true; }
    void stopClock() override { clockRunning = false; }
    bool confirm(const char* text, const char* caption) override;
    void showError(const char* text, const char* caption) override {
        errors.push_back(std::string(text) + "|" + caption);
    }
    int runDialog(int dialogId, ProgressStore* store) override;

    // A new client size, as the player dragging the frame gives it.
    void resize(std::int32_t width, std::int32_t height);
    // The window's pixels equal the back buffer's.
    bool showsBackBuffer() const;
};

// The same size and the same pixels.
bool samePixels(const Surface& a, const Surface& b);

}  // namespace quorrin::test
