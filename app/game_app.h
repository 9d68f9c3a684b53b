// The game: the one application object, its start-up and shut-down, and the
// handlers of everything the player does in the main window. It talks to
// the window system only through WindowSystem.
#pragma once

#include <cstdint>
#include <vector>

#include "app/history.h"
#include "app/window_system.h"
#include "board/board.h"
#include "screen/screen.h"
#include "store/progress_store.h"
#include "store/trial_mode.h"

namespace quorrin {

// Client size the main window opens with: the toolbar strip above a square
// board area. The window is never made smaller than this.
constexpr std::int32_t kStartClientWidth = 432;
constexpr std::int32_t kStartClientHeight = 464;

// Commands: toolbar button 0 and the menu items.
constexpr int kCommandSelectPuzzle = 113;
constexpr int kCommandExit = 114;
constexpr int kCommandAbout = 115;
constexpr int kCommandOpenCollection = 120;
// Undo and redo: the first two items of the game menu and their shortcuts
// (Ctrl+Z; Ctrl+Y and Ctrl+Shift+Z). canUndo() and canRedo() tell whether
// they would do anything, for a menu that greys its items.
constexpr int kCommandUndo = 124;
constexpr int kCommandRedo = 125;

// The keys the game plays with, whatever the window system calls them. A
// key held down with Ctrl or Alt is not one of them; Ctrl+Z and the other
// shortcuts come as commands.
//   Left Right Up Down   move the keyboard's cursor from edge to edge; it
//                        is lit as the edge under the pointer is, and the
//                        last of pointer and keys decides what is lit.
//                        While nothing is lit the first arrow lights the
//                        edge the keys lit last (at first the top-left
//                        one) without moving
//   Space Enter          a left click on the lit edge; after the solve, the
//                        next puzzle
//   X Delete             a right click on the lit edge
//   Digit1 to Digit4     a left click on toolbar button 0 to 3
enum class Key { Left, Right, Up, Down, Space, Enter, X, Delete, Digit1, Digit2, Digit3, Digit4 };

// The clock's period is one second; the game in play is saved every this
// many ticks when anything changed since the last save.
constexpr std::int32_t kAutosaveTicks = 60;

// How the handlers bring a change to the window. Partial draws only the
// vertices whose look changed and copies only the changed areas; Full draws
// the whole board and copies the whole back buffer on every change. Both
// leave the same pixels in the back buffer and in the window.
enum class RedrawMode { Partial, Full };

// The edge or corner being dragged in a sizing (the window system's values).
enum SizingEdge : int {
    SizeLeft = 1,
    SizeRight = 2,
    SizeTop = 3,
    SizeTopLeft = 4,
    SizeTopRight = 5,
    SizeBottom = 6,
    SizeBottomLeft = 7,
    SizeBottomRight = 8
};

// A window rectangle in screen pixels.
struct WindowRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Correct a proposed window rectangle so that the client area stays at
// least 432 x 464: the dragged edge stops, the opposite edge never moves.
// frameWidth and frameHeight are the window's size minus its client size.
void keepMinimumSize(int edge, WindowRect& rect, std::int32_t frameWidth, std::int32_t frameHeight);

class GameApp {
  public:
    explicit GameApp(WindowSystem& windows);
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    bool window = false;  // the main window's first size notification has arrived
    ProgressStore progress;
    Screen screen;
    std::int32_t elapsed = 0;  // seconds on the clock, 0 to 3599
    Board board;
    bool solved = true;  // no game in play: solved, or none started yet
    TrialMode trialState = Off;
    EdgeRef trialOrigin;
    std::int32_t hoverButton = -1;  // toolbar button under the pointer
    EdgeRef hoverEdge;              // edge under the pointer

    RedrawMode redrawMode = RedrawMode::Partial;

    // The whole run after the application object exists: progress loaded
    // (or a collection asked for), the window made, the game started or
    // resumed, the message loop, shut-down. Returns the exit code.
    int run();

    // Start the current puzzle of the current collection afresh.
    void startPuzzle();
    // Draw toolbar, board and clock, and copy them to the window.
    void redrawAll();
    // Copy what was drawn since the last copy to the window.
    void present();
    // Stop the clock, save when a window existed (asking whether to try
    // again while the save file cannot be written), release everything.
    // Runs once; later calls do nothing.
    void shutdown();
    bool shutDown() const { return shutDown_; }

    // Window events.
    void onSize(std::int32_t width, std::int32_t height);
    void onPaint();
    // A command number; false when it is not one of the game's.
    bool onCommand(int command);
    void onClockTick();
    void onMouseMove(std::int32_t x, std::int32_t y);
    void onLeftClick(std::int32_t x, std::int32_t y);
    void onRightClick(std::int32_t x, std::int32_t y);
    // A key pressed; repeated when the window system repeats a key held
    // down (only the arrows act on repeats). False for a key the game does
    // not use now, which the window system may handle itself.
    bool onKey(Key key, bool repeated);
    // The main window is being destroyed.
    void onDestroy();
    // The operating-system session ends (log-off, shut-down): the window
    // will not be destroyed, so the game is saved as at a normal exit.
    void onEndSession();

    // Write the save file with the game as it is now. True when written.
    bool save();

    // The board's hovered edge as last drawn (a click shows the clicked
    // edge as hovered), and whether the clear banner is on the screen.
    EdgeRef drawnHover() const { return drawnHover_; }
    bool bannerShown() const { return bannerShown_; }

    // Whether kCommandUndo and kCommandRedo would change anything now. The
    // steps are those of the puzzle in play: starting a puzzle or solving
    // one forgets them; a restart is a step.
    bool canUndo() const { return !solved && !shutDown_ && history_.canUndo(); }
    bool canRedo() const { return !solved && !shutDown_ && history_.canRedo(); }
    const History& history() const { return history_; }

  private:
    GameState state() { return GameState{board, trialState, trialOrigin}; }
    void loadPuzzle();
    void nextPuzzle();
    void pressButton(std::int32_t button);
    void markStep(EdgeRef edge, bool cross);
    void markAt(EdgeRef edge);
    void crossAt(EdgeRef edge);
    void takeBack(bool redo);
    void moveCursor(Key key);
    void runDialog(int dialogId);
    void solve();
    void showBoard(EdgeRef hover);
    void showToolbar();
    void showClock();
    void markDirty(const PixelRect& area);
    void forgetDrawnBoard();
    void noteChange() { unsaved_ = true; }

    WindowSystem& windows_;
    bool shutDown_ = false;
    bool unsaved_ = false;
    std::int32_t ticksSinceSave_ = 0;
    EdgeRef drawnHover_;
    bool bannerShown_ = false;
    History history_;

    // The keyboard's cursor: the edge the keys lit last, and whether they
    // lit the edge that is lit now. While they did, the pointer takes the
    // light back only when it moves from where it was last seen.
    EdgeRef cursor_;
    bool keysLead_ = false;
    std::int32_t pointerX_ = INT32_MIN;
    std::int32_t pointerY_ = INT32_MIN;

    // What the board in the back buffer shows: each vertex's glyph number and
    // clue state byte, as drawn last; empty when the board must be drawn
    // whole. Compared with the new look to find what to draw.
    std::vector<std::uint8_t> drawnGlyphs_;
    std::vector<std::uint8_t> drawnClues_;
    // Areas drawn since the last present; a full copy when fullCopy_.
    std::vector<PixelRect> dirty_;
    bool fullCopy_ = false;
};

}  // namespace quorrin
