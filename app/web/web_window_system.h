// The browser's window system: the main window is a <canvas> of the page,
// the menu, the dialogs and the message boxes are HTML, the clock is a
// page timer.
//
// The page never calls into the game. Everything that happens on the page
// (a pointer event, a click in the menu, a clock tick, a resize, a button or
// a list line in a dialog) becomes an event in the page's queue, and the
// game takes the events one at a time, as a Win32 program takes its
// messages: the main loop here, and a loop of the same kind inside each
// dialog and message box, which goes on delivering the clock's ticks (and
// resizes) while it waits for the player's answer. Waiting for the next
// event is the one place where the game's stack is suspended (Asyncify) and
// the browser's own event loop runs.
//
// What the page does is behind PageBridge, so that this file is standard
// C++: the browser build implements the bridge with JavaScript, the tests
// with a script of events.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "app/window_system.h"

namespace quorrin {

namespace web {

// What the page reports, in the order it happened.
struct PageEvent {
    enum Kind : int {
        None = 0,
        Tick = 1,           // the clock's timer
        PointerMove = 2,    // a, b: client pixels
        LeftDown = 3,       // a, b: client pixels (a tap)
        RightDown = 4,      // a, b: client pixels (a long press)
        Resize = 5,         // a, b: the new client size in device pixels
        Command = 6,        // a: menu command number
        DialogControl = 7,  // a: control, b: notification, c: the list's selected line
        Answer = 8,         // a: 1 for OK, 0 for Cancel, in a message box
        Hidden = 9,         // the page was hidden or is being closed
        Key = 10,           // a: key code, b: modifier bits, c: 1 for a repeat
    };
    int kind = None;
    std::int32_t a = 0;
    std::int32_t b = 0;
    std::int32_t c = 0;
};

// Modifier bits of a Key event.
constexpr std::int32_t kKeyShift = 1;
constexpr std::int32_t kKeyControl = 2;

// What a key pressed over the board does: a key of the game's, or the undo
// or redo shortcut (Ctrl+Z; Ctrl+Y, Ctrl+Shift+Z), as on Windows. Key codes
// are the page's (KeyboardEvent.keyCode), which are the Windows virtual-key
// codes for every key here. False for a key that does nothing.
struct KeyAction {
    bool isCommand = false;
    int command = 0;  // when isCommand
    Key key = Key::Left;
};
bool keyAction(std::int32_t code, std::int32_t modifiers, KeyAction& action);

// Commands the page's menu has besides the game's own.
constexpr int kCommandExportSave = 901;

// Everything the game asks of the page. Texts are Shift_JIS; the page
// converts them.
class PageBridge {
  public:
    virtual ~PageBridge() = default;
    // The next event; waits (the stack suspended) until there is one.
    virtual PageEvent nextEvent() = 0;
    // Make the canvas width x height device pixels (its old pixels go).
    virtual void sizeCanvas(std::int32_t width, std::int32_t height) = 0;
    // The client size the page gives the game now, in device pixels.
    virtual void clientSize(std::int32_t& width, std::int32_t& height) = 0;
    // Put width x height pixels, 4 bytes each (red, green, blue, 255), at
    // (x, y) of the canvas.
    virtual void putPixels(const std::uint8_t* rgba, std::int32_t x, std::int32_t y,
                           std::int32_t width, std::int32_t height) = 0;
    virtual void startTimer(int milliseconds) = 0;
    virtual void stopTimer() = 0;
    // A message box: its buttons are OK only, or OK and Cancel. Its answer
    // comes as an Answer event.
    virtual void openMessageBox(const std::string& text, const std::string& caption,
                                bool withCancel) = 0;
    virtual void closeMessageBox() = 0;
    // Dialog dialogId on the page; its controls as DialogControls sees them.
    virtual void openDialog(int dialogId) = 0;
    virtual void closeDialog() = 0;
    virtual void setControlText(int control, const std::string& text) = 0;
    virtual void setListLines(int list, const std::vector<std::string>& lines, const int* tabStops,
                              int tabStopCount) = 0;
    virtual void selectListLine(int list, int index) = 0;
    // The main window is there (true) or gone (false): the menu and the
    // canvas answer the player, or the page says the game has ended.
    virtual void showMainWindow(bool shown) = 0;
    // Hand the save file's bytes to the page (a download of quorrin.sav).
    virtual void exportSave(const std::string& path) = 0;
    // Whether the menu's 元に戻す and やり直し are enabled.
    virtual void enableUndo(bool undo, bool redo) = 0;
};

// BGR rows of a 24-bit surface into RGBA: the area x, y, width x height
// of source (clipped to it) into out, width x height x 4 bytes. False
// when nothing of the area lies on the surface; area is then set to the
// clipped area.
bool toRgba(const Surface& source, PixelRect& area, std::vector<std::uint8_t>& out);

class WebWindowSystem : public WindowSystem {
  public:
    explicit WebWindowSystem(PageBridge& page) : page_(page) {}

    void setApp(GameApp* app) { app_ = app; }
    // The save file's path, for the export command.
    void setSavePath(const std::string& path) { savePath_ = path; }

    bool createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) override;
    int runMessageLoop() override;
    void destroyMainWindow() override;
    void present(const Surface& backBuffer, const PixelRect& area) override;
    void startClock() override;
    void stopClock() override;
    bool confirm(const char* text, const char* caption) override;
    void showError(const char* text, const char* caption) override;
    int runDialog(int dialogId, ProgressStore* store) override;

    bool mainWindowShown() const { return exists_; }
    std::int32_t clientWidth() const { return width_; }
    std::int32_t clientHeight() const { return height_; }

  private:
    // An event that arrives while a dialog or a message box waits: the
    // clock, a resize and the page being hidden reach the game; the main
    // window's mouse, keys and menu do not (the modal box covers them).
    void deliverWhileModal(const PageEvent& event);
    // Deliver one event in the main loop.
    void deliver(const PageEvent& event);
    // Tell the page whether undo and redo would do anything now, when
    // that changed (as Windows asks the game when its menu opens).
    void showUndoState();
    void resizeTo(std::int32_t width, std::int32_t height);
    // A message box's loop: true for OK.
    bool messageBox(const char* text, const char* caption, bool withCancel);

    PageBridge& page_;
    GameApp* app_ = nullptr;
    std::string savePath_;
    bool exists_ = false;
    bool quit_ = false;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::vector<std::uint8_t> rgba_;
    int undoShown_ = -1;  // undo and redo as last shown: bit 0 undo, bit 1 redo
};

}  // namespace web
}  // namespace quorrin
