#include "tests/app/fake_windows.h"

#include <algorithm>
#include <cstring>

namespace quorrin::test {

bool FakeWindows::createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) {
    if (!windowCanBeMade) return false;
    exists = true;
    // As on Windows: a size notification of the default size while the
    // window is made, then the game's own size.
    resize(1000, 700);
    resize(clientWidth, clientHeight);
    return true;
}

void FakeWindows::resize(std::int32_t width, std::int32_t height) {
    window.release();
    // A grey the game never fills an area with: what was never copied.
    if (window.create(width, height)) std::fill(window.pixels.begin(), window.pixels.end(), 0x5A);
    app->onSize(width, height);
    // A new size makes the window system repaint the whole client area.
    app->onPaint();
}

int FakeWindows::runMessageLoop() {
    while (exists && !events.empty()) {
        auto event = std::move(events.front());
        events.pop_front();
        event(*app);
        if (afterEvent && exists) afterEvent(*app);
    }
    if (exists) destroyMainWindow();  // the close box
    return 0;
}

void FakeWindows::destroyMainWindow() {
    exists = false;
    app->onDestroy();
}

void FakeWindows::present(const Surface& backBuffer, const PixelRect& area) {
    ++presents;
    window.copyFrom(backBuffer, area.x, area.y, area.width, area.height, area.x, area.y);
}

bool FakeWindows::confirm(const char* text, const char* caption) {
    questions.push_back(std::string(text) + "|" + caption);
    const bool answer = !answers.empty() && answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
}

int FakeWindows::runDialog(int dialogId, ProgressStore* store) {
    DialogScript script;
    if (!dialogScripts.empty()) {
        script = std::move(dialogScripts.front());
        dialogScripts.pop_front();
    }
    FakeDialog& dialog = lastDialog = FakeDialog{};
    const bool open = dialogId == kOpenCollectionDialogId,
               select = dialogId == kSelectPuzzleDialogId;
    const int list = open ? kCollectionList : kPuzzleList;
    // As the dialog procedures do: the logic made anew for every message.
    auto command = [&](int control, int notification) {
        if (open) OpenCollectionDialog(*store).command(control, notification, dialog);
        if (select) SelectPuzzleDialog(*store).command(control, notification, dialog);
        if (!open && !select) AboutDialog().command(control, notification, dialog);
    };
    if (open) OpenCollectionDialog(*store).init(dialog);
    if (select) SelectPuzzleDialog(*store).init(dialog);
    for (const DialogStep& step : script) {
        if (dialog.result != 0) break;
        if (step.kind == DialogStep::Select) dialog.selectLine(list, step.value);
        if (step.kind == DialogStep::Press) command(step.value, 0);
        if (step.kind == DialogStep::DoubleClick) command(list, kListDoubleClick);
        if (step.kind == DialogStep::Tick && clockRunning) app->onClockTick();
        if (step.kind == DialogStep::Answer) dialog.answer = step.value != 0;
        if (step.kind == DialogStep::Run) step.action();
    }
    return dialog.result != 0 ? dialog.result : kDialogCancel;
}

bool FakeWindows::showsBackBuffer() const {
    // A window below the smallest client size the game draws is minimized
    // or hidden: there is nothing to see.
    return window.width < kMinClientSide || window.height < kMinClientSide ||
           samePixels(app->screen.backBuffer, window);
}

bool samePixels(const Surface& a, const Surface& b) {
    if (a.width != b.width || a.height != b.height) return false;
    for (std::int32_t y = 0; y < a.height; ++y) {
        if (std::memcmp(a.row(y), b.row(y), static_cast<std::size_t>(a.width) * 3) != 0)
            return false;
    }
    return true;
}

}  // namespace quorrin::test
