// The dialogs' logic: listing and loading collections, the puzzle list, and
// where a dialog goes on screen.
#include "dialogs/dialogs.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>

#include "dialogs/texts.h"

namespace quorrin {

namespace {

std::string nameOf(const ProgressStore& store) {
    return std::string(store.collectionName, boundedLength(store.collectionName, kNameBytes));
}

// The current collection's record, or null when there is none.
const ProgressRecord* currentRecordOf(const ProgressStore& store) {
    if (store.currentRecord < 0 ||
        static_cast<std::size_t>(store.currentRecord) >= store.records.size()) {
        return nullptr;
    }
    return &store.records[static_cast<std::size_t>(store.currentRecord)];
}

// The puzzle whose line is selected in the puzzle list, -1 for none.
int chosenPuzzle(const DialogControls& dialog, const ProgressStore& store) {
    const int selected = dialog.selectedLine(kPuzzleList);
    return (selected >= 0 && selected < store.collection.puzzleCount) ? selected : -1;
}

// The clear time as the list shows it: minutes and seconds, held to 59:59.
std::string clearTimeText(std::int16_t clearTime) {
    // Beyond 59:59, or negative (above 3600 as 16 bits without sign, from
    // another build or a hand-made file): cleared, shown as 59:59.
    if (clearTime == 0) return texts::kNotCleared;
    if (clearTime < 0 || clearTime > kMaxElapsed) return "59:59";
    char text[16];
    if (std::snprintf(text, sizeof text, "%02d:%02d", clearTime / 60, clearTime % 60) < 0) {
        return std::string();
    }
    return text;
}

std::int32_t saturated(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

// One axis of centreDialog: the start of size units centred over
// [ownerStart, ownerEnd), then moved into [workStart, workEnd) once.
std::int32_t placeOnAxis(std::int32_t size, std::int32_t ownerStart, std::int32_t ownerEnd,
                         std::int32_t workStart, std::int32_t workEnd) {
    const std::int64_t extent = size;
    // Integer division truncates toward zero, also for negative sums.
    std::int64_t start = (static_cast<std::int64_t>(ownerStart) + ownerEnd - extent) / 2;
    if (start < workStart) {
        start = workStart;
    } else if (start + extent > workEnd) {
        start = workEnd - extent;
    }
    return saturated(start);
}

}  // namespace

OpenCollectionDialog::Listing OpenCollectionDialog::listing() const {
    Listing result;
    const std::string current = nameOf(store_);
    for (const std::string& name : store_.collectionFiles()) {
        if (name == current) result.selected = static_cast<int>(result.names.size());
        result.names.push_back(name.substr(0, name.size() - kCollectionSuffixBytes));
    }
    return result;
}

bool OpenCollectionDialog::init(DialogControls& dialog) {
    const Listing shown = listing();
    if (shown.names.empty()) {
        dialog.end(kDialogCancel);
        return true;
    }
    for (const std::string& name : shown.names) dialog.addLine(kCollectionList, name);
    dialog.selectLine(kCollectionList, shown.selected);
    return true;
}

bool OpenCollectionDialog::command(int control, int notification, DialogControls& dialog) {
    switch (control) {
        case kControlOk:
            dialog.end(loadChosenCollection(dialog, kCollectionList, store_) ? kDialogOk
                                                                             : kDialogCancel);
            return true;
        case kControlCancel:
            dialog.end(kDialogCancel);
            return true;
        case kCollectionList:
            // A double-click on a file that cannot be loaded leaves the
            // dialog open for another choice.
            if (notification != kListDoubleClick) return false;
            if (!loadChosenCollection(dialog, kCollectionList, store_)) return false;
            dialog.end(kDialogOk);
            return true;
        default:
            return false;
    }
}

bool loadChosenCollection(const DialogControls& dialog, int list, ProgressStore& store) {
    const int selected = dialog.selectedLine(list);
    if (selected < 0) return false;

    // The line as a list box hands it over: up to its first NUL, at most 63
    // bytes; then the suffix, which must leave room for the NUL.
    char name[kNameBytes] = {};
    const std::string text = dialog.lineText(list, selected);
    const std::size_t length = boundedLength(text.c_str(), std::min(text.size(), kNameBytes - 1));
    if (length == 0 || length + kCollectionSuffixBytes >= kNameBytes) return false;
    const std::string file = text.substr(0, length) + kCollectionSuffix;
    std::memcpy(name, file.c_str(), file.size() + 1);

    // loadCollection reads the name from the store. When the file cannot be
    // loaded, the collection, its record and the puzzle in play are as they
    // were, and so is the name: the save file goes on naming the collection
    // in play.
    char previous[kNameBytes];
    std::memcpy(previous, store.collectionName, kNameBytes);
    std::memcpy(store.collectionName, name, kNameBytes);
    if (!store.loadCollection()) {
        std::memcpy(store.collectionName, previous, kNameBytes);
        return false;
    }
    store.currentPuzzle = 0;
    store.selectNextUncleared();  // every puzzle cleared: the first one
    return true;
}

bool SelectPuzzleDialog::init(DialogControls& dialog) {
    dialog.setText(kCollectionTitle, collectionTitle(store_));
    fillPuzzleList(dialog, kPuzzleList, store_);
    return true;
}

bool SelectPuzzleDialog::command(int control, int notification, DialogControls& dialog) {
    switch (control) {
        case kControlOk: {
            const int chosen = chosenPuzzle(dialog, store_);
            if (chosen >= 0) store_.currentPuzzle = chosen;
            dialog.end(chosen >= 0 ? kDialogOk : kDialogCancel);
            return true;
        }
        case kControlCancel:
            dialog.end(kDialogCancel);
            return true;
        case kPuzzleList:
            // Never reported as handled, so the list box's own handling of
            // the click goes on.
            if (notification == kListDoubleClick) {
                const int chosen = chosenPuzzle(dialog, store_);
                if (chosen >= 0) {
                    store_.currentPuzzle = chosen;
                    dialog.end(kDialogOk);
                }
            }
            return false;
        case kClearButton:
            if (dialog.confirm(texts::kClearQuestion, texts::kConfirmCaption)) {
                // Only the current collection's record, and only in memory
                // until the save file is written; the dialog's Cancel does
                // not bring the times back.
                if (ProgressRecord* record = store_.currentProgress()) {
                    std::fill_n(record->clearTimes, kMaxPuzzles, std::int16_t{0});
                }
                dialog.clearList(kPuzzleList);
                fillPuzzleList(dialog, kPuzzleList, store_);
            }
            return true;
        default:
            return false;
    }
}

std::string collectionTitle(const ProgressStore& store) {
    const std::string name = nameOf(store);
    return name.size() < kCollectionSuffixBytes
               ? std::string()
               : name.substr(0, name.size() - kCollectionSuffixBytes);
}

std::string puzzleLine(int index, const PuzzleEntry& entry, std::int16_t clearTime) {
    const std::string time = clearTimeText(clearTime);
    // Puzzles are numbered from 1; the top index shows as itself.
    const int number = index < std::numeric_limits<int>::max() ? index + 1 : index;
    const int length = std::snprintf(nullptr, 0, texts::kPuzzleLineFormat, number, entry.width,
                                     entry.height, entry.difficulty, time.c_str());
    if (length <= 0) return std::string();
    std::string line(static_cast<std::size_t>(length) + 1, '\0');
    if (std::snprintf(line.data(), line.size(), texts::kPuzzleLineFormat, number, entry.width,
                      entry.height, entry.difficulty, time.c_str()) != length) {
        return std::string();
    }
    line.resize(static_cast<std::size_t>(length));
    return line;
}

void fillPuzzleList(DialogControls& dialog, int list, const ProgressStore& store) {
    dialog.setTabStops(list, kPuzzleListTabStops, 3);
    const ProgressRecord* record = currentRecordOf(store);
    const int count = std::clamp(store.collection.puzzleCount, 0, kMaxPuzzles);
    for (int i = 0; i < count; ++i) {
        const std::int16_t time = record != nullptr ? record->clearTimes[i] : std::int16_t{0};
        dialog.addLine(list, puzzleLine(i, store.collection.puzzles[i], time));
    }
    dialog.selectLine(list, store.currentPuzzle);
}

bool AboutDialog::command(int control, int, DialogControls& dialog) {
    if (control != kControlOk && control != kControlCancel) return false;
    dialog.end(control);
    return true;
}

ScreenPoint centreDialog(std::int32_t width, std::int32_t height, const ScreenRect& owner,
                         const ScreenRect& workArea) {
    ScreenPoint corner;
    corner.x = placeOnAxis(width, owner.left, owner.right, workArea.left, workArea.right);
    corner.y = placeOnAxis(height, owner.top, owner.bottom, workArea.top, workArea.bottom);
    return corner;
}

}  // namespace quorrin
