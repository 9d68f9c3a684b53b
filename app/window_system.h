// All the game knows of the window system. The Windows layer implements it
// with the Win32 API; the tests implement it with a fake that records what
// the game asked for and keeps the window's pixels.
//
// The window system calls back into the game through the GameApp handlers
// (onSize, onPaint, onCommand, onClockTick, the mouse, onKey, onDestroy,
// onEndSession), one event at a time, on the game's one thread: also while
// createMainWindow, runMessageLoop, confirm or runDialog run. It maps its
// own keys onto the game's Key and its undo and redo shortcuts and menu
// items onto kCommandUndo and kCommandRedo, and asks GameApp::canUndo and
// canRedo whenever it shows those items.
#pragma once

#include <cstdint>

#include "screen/surface.h"

namespace quorrin {

struct ProgressStore;

// A rectangle of client pixels: top-left corner, width and height.
struct PixelRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
};

class WindowSystem {
  public:
    virtual ~WindowSystem() = default;

    // Make the main window and show it: class, window, a client area of
    // clientWidth x clientHeight, shown and updated. The window's first size
    // notification (GameApp::onSize) arrives before this returns. False when
    // no window could be made.
    virtual bool createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) = 0;
    // Deliver events until the main window is gone; the quit code (0).
    virtual int runMessageLoop() = 0;
    // Destroy the main window: GameApp::onDestroy runs before this returns.
    virtual void destroyMainWindow() = 0;

    // Copy the area of the back buffer to the same place in the window's
    // client area, at once.
    virtual void present(const Surface& backBuffer, const PixelRect& area) = 0;

    // The one-second clock: GameApp::onClockTick every 1000 ms from start
    // until stop, also while a dialog or a message box is open.
    virtual void startClock() = 0;
    virtual void stopClock() = 0;

    // An OK / Cancel question owned by the main window; true for OK.
    virtual bool confirm(const char* text, const char* caption) = 0;
    // An error box with an OK button only, with no owner window.
    virtual void showError(const char* text, const char* caption) = 0;

    // Run dialog 116, 117 or 122 modally, owned by the main window when it
    // exists, on the store (null for the version box). Its result: 1 OK,
    // 2 otherwise.
    virtual int runDialog(int dialogId, ProgressStore* store) = 0;
};

}  // namespace quorrin
