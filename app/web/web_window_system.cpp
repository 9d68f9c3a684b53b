#include "app/web/web_window_system.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "app/game_app.h"
#include "dialogs/dialogs.h"

namespace quorrin {
namespace web {

namespace {

constexpr int kClockPeriod = 1000;

// A dialog on the page, as the dialogs' logic sees it. The lines of the
// lists are kept here, in Shift_JIS, as a list box keeps them; the page
// shows them and reports which line is selected with every control event.
class PageDialog : public DialogControls {
  public:
    PageDialog(PageBridge& page, WebWindowSystem& windows) : page_(page), windows_(windows) {}

    void setText(int control, const std::string& text) override {
        page_.setControlText(control, text);
    }
    void setTabStops(int list, const int* stops, int count) override {
        List& l = listOf(list);
        l.tabStops.assign(stops, stops + std::max(count, 0));
    }
    void clearList(int list) override {
        List& l = listOf(list);
        l.lines.clear();
        l.selected = -1;
        show(l);
    }
    void addLine(int list, const std::string& line) override {
        List& l = listOf(list);
        l.lines.push_back(line);
        show(l);
    }
    void selectLine(int list, int index) override {
        List& l = listOf(list);
        l.selected = index >= 0 && static_cast<std::size_t>(index) < l.lines.size() ? index : -1;
        page_.selectListLine(list, l.selected);
    }
    int selectedLine(int list) const override {
        const List* l = find(list);
        return l != nullptr ? l->selected : -1;
    }
    std::string lineText(int list, int index) const override {
        const List* l = find(list);
        if (l == nullptr || index < 0 || static_cast<std::size_t>(index) >= l->lines.size()) {
            return std::string();
        }
        return l->lines[static_cast<std::size_t>(index)];
    }
    bool confirm(const char* text, const char* caption) override {
        return windows_.confirm(text, caption);
    }
    void end(int result) override {
        ended_ = true;
        result_ = result;
    }

    // The page's selection, as reported with a control event.
    void noteSelection(int list, int index) {
        List* l = findMutable(list);
        if (l == nullptr) return;
        l->selected = index >= 0 && static_cast<std::size_t>(index) < l->lines.size() ? index : -1;
    }
    // Lines are sent to the page once the handler that added them returns.
    void flush() {
        for (List& l : lists_) {
            if (!l.changed) continue;
            l.changed = false;
            page_.setListLines(l.id, l.lines, l.tabStops.data(),
                               static_cast<int>(l.tabStops.size()));
            page_.selectListLine(l.id, l.selected);
        }
    }
    bool ended() const { return ended_; }
    int result() const { return result_; }

  private:
    struct List {
        int id = 0;
        std::vector<std::string> lines;
        std::vector<int> tabStops;
        int selected = -1;
        bool changed = false;
    };

    List& listOf(int id) {
        if (List* l = findMutable(id)) return *l;
        lists_.push_back(List{});
        lists_.back().id = id;
        return lists_.back();
    }
    List* findMutable(int id) {
        for (List& l : lists_) {
            if (l.id == id) return &l;
        }
        return nullptr;
    }
    const List* find(int id) const {
        for (const List& l : lists_) {
            if (l.id == id) return &l;
        }
        return nullptr;
    }
    static void show(List& l) { l.changed = true; }

    PageBridge& page_;
    WebWindowSystem& windows_;
    std::vector<List> lists_;
    bool ended_ = false;
    int result_ = kDialogCancel;
};

// The dialog's logic, made anew for every event as a dialog procedure
// would: the store-bound dialogs keep no state besides the store.
bool initDialog(int dialogId, ProgressStore* store, PageDialog& dialog) {
    switch (dialogId) {
        case kOpenCollectionDialogId:
            return store != nullptr && OpenCollectionDialog(*store).init(dialog);
        case kSelectPuzzleDialogId:
            return store != nullptr && SelectPuzzleDialog(*store).init(dialog);
        case kAboutDialogId:
            return AboutDialog().init(dialog);
        default:
            return false;
    }
}

void commandDialog(int dialogId, ProgressStore* store, int control, int notification,
                   PageDialog& dialog) {
    switch (dialogId) {
        case kOpenCollectionDialogId:
            OpenCollectionDialog(*store).command(control, notification, dialog);
            break;
        case kSelectPuzzleDialogId:
            SelectPuzzleDialog(*store).command(control, notification, dialog);
            break;
        default:
            AboutDialog().command(control, notification, dialog);
            break;
    }
}

// The list of a dialog, the one whose selection comes with its events.
int listOfDialog(int dialogId) {
    switch (dialogId) {
        case kOpenCollectionDialogId:
            return kCollectionList;
        case kSelectPuzzleDialogId:
            return kPuzzleList;
        default:
            return 0;
    }
}

}  // namespace

bool keyAction(std::int32_t code, std::int32_t modifiers, KeyAction& action) {
    action = KeyAction{};
    constexpr std::int32_t kZ = 'Z';
    constexpr std::int32_t kY = 'Y';
    if ((modifiers & kKeyControl) != 0) {
        // Shortcuts only: with Ctrl a key is not one of the game's.
        const bool shift = (modifiers & kKeyShift) != 0;
        if (code == kZ && !shift) {
            action.command = kCommandUndo;
        } else if (code == kY || (code == kZ && shift)) {
            action.command = kCommandRedo;
        } else {
            return false;
        }
        action.isCommand = true;
        return true;
    }
    static constexpr struct {
        std::int32_t code;
        Key key;
    } kKeys[] = {{37, Key::Left},    {39, Key::Right},   {38, Key::Up},      {40, Key::Down},
                 {32, Key::Space},   {13, Key::Enter},   {'X', Key::X},      {46, Key::Delete},
                 {'1', Key::Digit1}, {'2', Key::Digit2}, {'3', Key::Digit3}, {'4', Key::Digit4},
                 {97, Key::Digit1},  {98, Key::Digit2},  {99, Key::Digit3},  {100, Key::Digit4}};
    for (const auto& entry : kKeys) {
        if (entry.code != code) continue;
        action.key = entry.key;
        return true;
    }
    return false;
}

bool toRgba(const Surface& source, PixelRect& area, std::vector<std::uint8_t>& out) {
    const std::int32_t left = std::max(area.x, 0);
    const std::int32_t top = std::max(area.y, 0);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t{area.x} + area.width, source.width);
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{area.y} + area.height, source.height);
    if (source.empty() || left >= right || top >= bottom) return false;
    area = PixelRect{left, top, static_cast<std::int32_t>(right - left),
                     static_cast<std::int32_t>(bottom - top)};
    out.resize(static_cast<std::size_t>(area.width) * static_cast<std::size_t>(area.height) * 4);
    // One 32-bit store per pixel, in the byte order red, green, blue, 255
    // on the little-endian machine the page runs on.
    std::uint8_t* to = out.data();
    for (std::int32_t y = top; y < bottom; ++y) {
        const std::uint8_t* from = source.row(y) + static_cast<std::ptrdiff_t>(left) * 3;
        for (std::int32_t x = 0; x < area.width; ++x) {
            const std::uint32_t pixel = 0xFF000000u | (std::uint32_t{from[0]} << 16) |
                                        (std::uint32_t{from[1]} << 8) | from[2];
            std::memcpy(to, &pixel, 4);
            to += 4;
            from += 3;
        }
    }
    return true;
}

bool WebWindowSystem::createMainWindow(std::int32_t, std::int32_t) {
    // The main window is the page: it has the page's size, not the size a
    // new window opens with (a maximized window, so to speak).
    exists_ = true;
    quit_ = false;
    undoShown_ = -1;
    page_.showMainWindow(true);
    std::int32_t width = 0;
    std::int32_t height = 0;
    page_.clientSize(width, height);
    resizeTo(width, height);
    return true;
}

int WebWindowSystem::runMessageLoop() {
    while (!quit_) {
        showUndoState();
        deliver(page_.nextEvent());
    }
    return 0;
}

void WebWindowSystem::showUndoState() {
    if (app_ == nullptr || !exists_) return;
    const int state = (app_->canUndo() ? 1 : 0) | (app_->canRedo() ? 2 : 0);
    if (state == undoShown_) return;
    undoShown_ = state;
    page_.enableUndo((state & 1) != 0, (state & 2) != 0);
}

void WebWindowSystem::destroyMainWindow() {
    if (!exists_) return;
    if (app_ != nullptr) app_->onDestroy();
    exists_ = false;
    quit_ = true;
    page_.stopTimer();
    page_.showMainWindow(false);
}

void WebWindowSystem::present(const Surface& backBuffer, const PixelRect& area) {
    if (!exists_) return;
    PixelRect clipped = area;
    if (!toRgba(backBuffer, clipped, rgba_)) return;
    page_.putPixels(rgba_.data(), clipped.x, clipped.y, clipped.width, clipped.height);
}

void WebWindowSystem::startClock() {
    // As SetTimer with the same timer: the period starts again.
    if (exists_) page_.startTimer(kClockPeriod);
}

void WebWindowSystem::stopClock() {
    page_.stopTimer();
}

bool WebWindowSystem::confirm(const char* text, const char* caption) {
    return messageBox(text, caption, true);
}

void WebWindowSystem::showError(const char* text, const char* caption) {
    messageBox(text, caption, false);
}

bool WebWindowSystem::messageBox(const char* text, const char* caption, bool withCancel) {
    page_.openMessageBox(text != nullptr ? text : "", caption != nullptr ? caption : "",
                         withCancel);
    bool answer = false;
    for (;;) {
        const PageEvent event = page_.nextEvent();
        if (event.kind == PageEvent::Answer) {
            answer = event.a != 0;
            break;
        }
        deliverWhileModal(event);
    }
    page_.closeMessageBox();
    return answer;
}

int WebWindowSystem::runDialog(int dialogId, ProgressStore* store) {
    if (dialogId != kAboutDialogId && store == nullptr) return kDialogCancel;
    if (dialogId != kAboutDialogId && dialogId != kOpenCollectionDialogId &&
        dialogId != kSelectPuzzleDialogId) {
        return kDialogCancel;
    }
    PageDialog dialog(page_, *this);
    page_.openDialog(dialogId);
    initDialog(dialogId, store, dialog);
    dialog.flush();
    const int list = listOfDialog(dialogId);
    while (!dialog.ended()) {
        const PageEvent event = page_.nextEvent();
        if (event.kind == PageEvent::DialogControl) {
            if (list != 0) dialog.noteSelection(list, event.c);
            commandDialog(dialogId, store, event.a, event.b, dialog);
            dialog.flush();
            continue;
        }
        deliverWhileModal(event);
    }
    page_.closeDialog();
    return dialog.result() == kDialogOk ? kDialogOk : kDialogCancel;
}

void WebWindowSystem::deliverWhileModal(const PageEvent& event) {
    if (app_ == nullptr) return;
    switch (event.kind) {
        case PageEvent::Tick:
            if (exists_) app_->onClockTick();
            break;
        case PageEvent::Resize:
            if (exists_) resizeTo(event.a, event.b);
            break;
        case PageEvent::Hidden:
            app_->onEndSession();
            break;
        default:
            break;
    }
}

void WebWindowSystem::deliver(const PageEvent& event) {
    if (app_ == nullptr || !exists_) return;
    GameApp& app = *app_;
    switch (event.kind) {
        case PageEvent::Tick:
            app.onClockTick();
            break;
        case PageEvent::PointerMove:
            app.onMouseMove(event.a, event.b);
            break;
        case PageEvent::LeftDown:
            app.onLeftClick(event.a, event.b);
            break;
        case PageEvent::RightDown:
            app.onRightClick(event.a, event.b);
            break;
        case PageEvent::Resize:
            resizeTo(event.a, event.b);
            break;
        case PageEvent::Command:
            if (event.a == kCommandExportSave) {
                // The download has the game as it is now.
                app.save();
                if (!savePath_.empty()) page_.exportSave(savePath_);
            } else {
                app.onCommand(event.a);
            }
            break;
        case PageEvent::Hidden:
            app.onEndSession();
            break;
        case PageEvent::Key: {
            KeyAction action;
            if (!keyAction(event.a, event.b, action)) break;
            if (action.isCommand) {
                app.onCommand(action.command);
            } else {
                app.onKey(action.key, event.c != 0);
            }
            break;
        }
        default:
            break;
    }
}

void WebWindowSystem::resizeTo(std::int32_t width, std::int32_t height) {
    // The game's minimum client size; a smaller page scrolls.
    width = std::clamp(width, kStartClientWidth, kMaxSurfaceSide);
    height = std::clamp(height, kStartClientHeight, kMaxSurfaceSide);
    if (width == width_ && height == height_) return;
    width_ = width;
    height_ = height;
    page_.sizeCanvas(width, height);
    if (app_ != nullptr) app_->onSize(width, height);
}

}  // namespace web
}  // namespace quorrin
