// The logic of the three dialogs, without any window: what each dialog puts
// into its controls when it opens, and what it does on each command. The
// window layer's dialog procedures only pass messages to these classes and
// carry out their requests on the real controls through DialogControls.
//
// The two store-bound dialogs keep no state of their own besides the store:
// everything the player sees (the names, the lines, the selection) lives in
// the controls, so a dialog procedure may build the logic object anew for
// every message from the store kept in the dialog's user data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "store/progress_store.h"

namespace quorrin {

// Resource numbers of the dialogs and of their controls.
constexpr int kAboutDialogId = 116;
constexpr int kSelectPuzzleDialogId = 117;
constexpr int kOpenCollectionDialogId = 122;

constexpr int kControlOk = 1;
constexpr int kControlCancel = 2;
constexpr int kCollectionList = 121;   // dialog 122: the collection names
constexpr int kPuzzleList = 118;       // dialog 117: one line per puzzle
constexpr int kClearButton = 119;      // dialog 117: erase the clear times
constexpr int kCollectionTitle = 123;  // dialog 117: the collection's name

// Results a dialog ends with.
constexpr int kDialogOk = 1;
constexpr int kDialogCancel = 2;

// List box notifications the logic reacts to (the window system's values).
constexpr int kListDoubleClick = 2;

// Tab stops of the puzzle list, in dialog units.
constexpr int kPuzzleListTabStops[3] = {20, 52, 96};

// What the dialog logic sees of its dialog window: its controls, a question
// box owned by the dialog, and the end of the dialog. Texts are Shift_JIS.
class DialogControls {
  public:
    virtual ~DialogControls() = default;
    virtual void setText(int control, const std::string& text) = 0;
    virtual void setTabStops(int list, const int* stops, int count) = 0;
    virtual void clearList(int list) = 0;
    virtual void addLine(int list, const std::string& line) = 0;
    virtual void selectLine(int list, int index) = 0;
    // The selected line, -1 for none.
    virtual int selectedLine(int list) const = 0;
    virtual std::string lineText(int list, int index) const = 0;
    // An OK / Cancel question owned by the dialog; true for OK.
    virtual bool confirm(const char* text, const char* caption) = 0;
    // End the modal dialog with this result once the handler returns.
    virtual void end(int result) = 0;
};

// Dialog 122: choose a collection file from the executable's folder.
class OpenCollectionDialog {
  public:
    explicit OpenCollectionDialog(ProgressStore& store) : store_(store) {}

    // The names the list shows (file names without ".dat") and the line to
    // select, from the folder's collection files (ProgressStore::
    // collectionFiles) in the listing's byte order.
    struct Listing {
        std::vector<std::string> names;
        int selected = 0;
    };
    Listing listing() const;

    // WM_INITDIALOG: fill the list, or end with 2 when there is nothing to
    // list. Returns true (the dialog sets the focus itself).
    bool init(DialogControls& dialog);
    // WM_COMMAND: true when handled.
    bool command(int control, int notification, DialogControls& dialog);

  private:
    ProgressStore& store_;
};

// Load the collection whose name is selected in the list, and make its first
// uncleared puzzle (or its first puzzle, when all are cleared) current.
// False with no selection or when the file cannot be loaded; the store is
// then as it was, its collection name included.
bool loadChosenCollection(const DialogControls& dialog, int list, ProgressStore& store);

// Dialog 117: choose a puzzle of the current collection, or erase its clear
// times.
class SelectPuzzleDialog {
  public:
    explicit SelectPuzzleDialog(ProgressStore& store) : store_(store) {}

    bool init(DialogControls& dialog);
    bool command(int control, int notification, DialogControls& dialog);

  private:
    ProgressStore& store_;
};

// The text above the puzzle list: the collection's file name without its
// last four bytes (empty when the name is shorter than that).
std::string collectionTitle(const ProgressStore& store);

// One line of the puzzle list, exactly as the list box gets it: number
// (index + 1), size, difficulty and clear time, which shows "－" when the
// puzzle is not cleared (0) and is held to 59:59 (negative times too).
std::string puzzleLine(int index, const PuzzleEntry& entry, std::int16_t clearTime);

// Fill the puzzle list from the store: tab stops, a line per puzzle read,
// the current puzzle selected.
void fillPuzzleList(DialogControls& dialog, int list, const ProgressStore& store);

// Dialog 116: the version box.
class AboutDialog {
  public:
    bool init(DialogControls&) { return true; }
    bool command(int control, int notification, DialogControls& dialog);
};

// Screen rectangles, edges exclusive on the right and bottom.
struct ScreenRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
};

// Where a dialog of width x height goes: centred over its owner's rectangle
// (the desktop's when it has none), then pushed into the work area on each
// axis once, the left or top edge first. Returns the new top-left corner.
struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
};
ScreenPoint centreDialog(std::int32_t width, std::int32_t height, const ScreenRect& owner,
                         const ScreenRect& workArea);

}  // namespace quorrin
