#include "tests/app/fake_windows.h"

#include <cstring>
#include <functional>
#include <string_view>

namespace quorrin::test {

namespace {

// A colour the game never draws: a window area that was never copied to
// shows it.
void paintUncopied(Surface& s) {
    for (std::int32_t y = 0; y < s.height; ++y) {
        std::uint8_t* row = s.row(y);
        for (std::int32_t x = 0; x < s.width; ++x) {
            row[3 * x] = 0x11;
            row[3 * x + 1] = 0xEE;
            row[3 * x + 2] = 0x77;
        }
    }
}

}  // namespace

bool FakeWindows::createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) {
    calls.push_back("createMainWindow");
    if (!windowCanBeMade) return false;
    exists = true;
    // As on Windows: a size notification while the window is made, then
    // the game's own size.
    resize(defaultWidth, defaultHeight);
    resize(clientWidth, clientHeight);
    return true;
}

void FakeWindows::resize(std::int32_t width, std::int32_t height) {
    if (width > 0 && height > 0) {
        window.create(width, height);
        paintUncopied(window);
    } else {
        window.release();
    }
    app->onSize(width, height);
    // A new size makes the window system repaint the whole client area.
    app->onPaint();
}

int FakeWindows::runMessageLoop() {
    calls.push_back("runMessageLoop");
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
    calls.push_back("destroyMainWindow");
    exists = false;
    app->onDestroy();
}

void FakeWindows::present(const Surface& backBuffer, const PixelRect& area) {
    ++presents;
    presentedBytes += std::int64_t{area.width} * area.height * 3;
    window.copyFrom(backBuffer, area.x, area.y, area.width, area.height, area.x, area.y);
}

bool FakeWindows::confirm(const char* text, const char* caption) {
    questions.push_back(std::string(text) + "|" + caption);
    if (answers.empty()) return false;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
}

void FakeWindows::showError(const char* text, const char* caption) {
    errors.push_back(std::string(text) + "|" + caption);
}

int FakeWindows::runDialog(int dialogId, ProgressStore* store) {
    DialogScript script;
    if (!dialogScripts.empty()) {
        script = std::move(dialogScripts.front());
        dialogScripts.pop_front();
    }
    lastDialog = FakeDialog{};
    FakeDialog& dialog = lastDialog;
    const int list = dialogId == kOpenCollectionDialogId ? kCollectionList : kPuzzleList;
    auto init = [&] {
        if (dialogId == kOpenCollectionDialogId) OpenCollectionDialog(*store).init(dialog);
        if (dialogId == kSelectPuzzleDialogId) SelectPuzzleDialog(*store).init(dialog);
    };
    auto command = [&](int control, int notification) {
        if (dialogId == kOpenCollectionDialogId) {
            OpenCollectionDialog(*store).command(control, notification, dialog);
        } else if (dialogId == kSelectPuzzleDialogId) {
            SelectPuzzleDialog(*store).command(control, notification, dialog);
        } else {
            AboutDialog().command(control, notification, dialog);
        }
    };
    init();
    for (const DialogStep& step : script) {
        if (dialog.result != 0) break;
        switch (step.kind) {
            case DialogStep::Select:
                dialog.selectLine(list, step.value);
                break;
            case DialogStep::Press:
                command(step.value, 0);
                break;
            case DialogStep::DoubleClick:
                command(list, kListDoubleClick);
                break;
            case DialogStep::Tick:
                if (clockRunning) app->onClockTick();
                break;
            case DialogStep::Answer:
                dialog.answer = step.value != 0;
                break;
            case DialogStep::Run:
                step.action();
                break;
        }
    }
    const int result = dialog.result != 0 ? dialog.result : kDialogCancel;
    calls.push_back("dialog " + std::to_string(dialogId) + " -> " + std::to_string(result));
    return result;
}

bool FakeWindows::showsBackBuffer() const {
    const Surface& b = app->screen.backBuffer;
    // A window below the smallest client size the game draws is minimized
    // or hidden: there is nothing to see.
    if (window.width < kMinClientSide || window.height < kMinClientSide) return true;
    if (b.width != window.width || b.height != window.height) return false;
    for (std::int32_t y = 0; y < b.height; ++y) {
        if (std::memcmp(b.row(y), window.row(y), static_cast<std::size_t>(b.width) * 3) != 0) {
            return false;
        }
    }
    return true;
}

std::uint64_t surfaceHash(const Surface& s) {
    std::uint64_t h =
        static_cast<std::uint64_t>(s.width) << 32 | static_cast<std::uint32_t>(s.height);
    for (std::int32_t y = 0; y < s.height; ++y) {
        const std::string_view row(reinterpret_cast<const char*>(s.row(y)),
                                   static_cast<std::size_t>(s.width) * 3);
        h = (h ^ std::hash<std::string_view>{}(row)) * 1099511628211ull;
    }
    return h;
}

}  // namespace quorrin::test
