// The Windows side of the game's window system: the process-wide state the
// window procedure and the dialog procedures reach the game through, the
// main window's procedure, and the WindowSystem that the game drives.
//
// This layer only moves data between Windows and the portable code: every
// message goes to a GameApp handler, every request of the game becomes a
// Win32 call.
#pragma once

#include <windows.h>

#include <cstdint>

#include "app/window_system.h"

namespace quorrin {

class GameApp;

namespace win32 {

// What the whole process shares, set once at start-up. The game pointer is
// cleared when the main window is destroyed; no message reaches the game
// after that.
struct Shell {
    HINSTANCE instance = nullptr;  // for every resource load
    HWND mainWindow = nullptr;     // from its creation until it is gone
    GameApp* app = nullptr;
    // Window size minus client size, measured once after the window is
    // made; the minimum window size is kept with them.
    std::int32_t frameWidth = 0;
    std::int32_t frameHeight = 0;
    wchar_t className[64] = {};  // string 101
    wchar_t title[64] = {};      // string 102
};

Shell& shell();

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// A message box of the game's Shift_JIS text and caption, its buttons
// labelled in Japanese too, as on a Japanese system, where the system has
// those labels. Returns the button pressed.
int messageBox(HWND owner, const char* text, const char* caption, UINT type);

class Win32WindowSystem : public WindowSystem {
  public:
    // showCommand: how the program was asked to show its window.
    explicit Win32WindowSystem(int showCommand) : showCommand_(showCommand) {}

    bool createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) override;
    int runMessageLoop() override;
    void destroyMainWindow() override;
    void present(const Surface& backBuffer, const PixelRect& area) override;
    void startClock() override;
    void stopClock() override;
    bool confirm(const char* text, const char* caption) override;
    void showError(const char* text, const char* caption) override;
    int runDialog(int dialogId, ProgressStore* store) override;

  private:
    int showCommand_;
};

}  // namespace win32
}  // namespace quorrin
