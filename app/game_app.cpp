#include "app/game_app.h"

#include <algorithm>
#include <cstring>

#include "dialogs/dialogs.h"
#include "dialogs/texts.h"

namespace quorrin {

namespace {

// Toolbar button under client point (x, y): -1 off the toolbar row or left
// of the first button; indices past the buttons shown are returned as well.
std::int32_t toolbarButtonAt(const Screen& screen, std::int32_t x, std::int32_t y) {
    if (y < kButtonY || y > kToolbarHeight - 1 || x < screen.toolbarX) return -1;
    return (x - screen.toolbarX) / kButtonWidth;
}

// Grow a to cover b.
void unite(PixelRect& a, const PixelRect& b) {
    const std::int32_t right = std::max(a.x + a.width, b.x + b.width);
    const std::int32_t bottom = std::max(a.y + a.height, b.y + b.height);
    a.x = std::min(a.x, b.x);
    a.y = std::min(a.y, b.y);
    a.width = right - a.x;
    a.height = bottom - a.y;
}

// Whether two rectangles overlap or touch.
bool touching(const PixelRect& a, const PixelRect& b) {
    return a.x <= b.x + b.width && b.x <= a.x + a.width && a.y <= b.y + b.height &&
           b.y <= a.y + a.height;
}

// The first edge of the board for the keyboard's cursor: the top-left one.
EdgeRef firstEdge(const Board& board) {
    for (const std::uint8_t vertical : {std::uint8_t{0}, std::uint8_t{1}}) {
        if (board.hasEdge(EdgeRef{0, vertical})) return EdgeRef{0, vertical};
    }
    return EdgeRef{};
}

// The edge an arrow key moves the cursor to from edge e. On a grid of half
// the dot pitch the edge right of the dot in row r, column c lies at
// (2c + 1, 2r) and the edge below it at (2c, 2r + 1). Left and right go to
// the next edge of the same kind in the row; up and down alternate between
// a row of horizontal and a row of vertical edges, along the left side of
// the cell column, so that down and up again come back. At the board's
// outline the cursor stays.
EdgeRef cursorStep(const Board& board, EdgeRef e, Key key) {
    const std::int32_t columns = board.width + 1;
    std::int32_t x = 2 * (e.vertex % columns) + (e.vertical != 0 ? 0 : 1);
    std::int32_t y = 2 * (e.vertex / columns) + (e.vertical != 0 ? 1 : 0);
    if (key == Key::Left || key == Key::Right) {
        x += key == Key::Left ? -2 : 2;
    } else {
        y += key == Key::Up ? -1 : 1;
        x += y % 2 == 0 ? 1 : -1;
        if (y % 2 == 0 && x > 2 * board.width - 1) x -= 2;  // the last column's vertical edge
    }
    if (x < 0 || y < 0 || x > 2 * board.width || y > 2 * board.height) return e;
    const EdgeRef to{(y / 2) * columns + x / 2, static_cast<std::uint8_t>(y % 2)};
    return board.hasEdge(to) ? to : e;
}

}  // namespace

void keepMinimumSize(int edge, WindowRect& rect, std::int32_t frameWidth,
                     std::int32_t frameHeight) {
    const bool top = edge == SizeTop || edge == SizeTopLeft || edge == SizeTopRight;
    const bool left = edge == SizeLeft || edge == SizeTopLeft || edge == SizeBottomLeft;
    if ((rect.bottom - rect.top) - frameHeight - kToolbarHeight <
        kStartClientHeight - kToolbarHeight) {
        if (top) {
            rect.top = rect.bottom - frameHeight - kStartClientHeight;
        } else {
            rect.bottom = rect.top + frameHeight + kStartClientHeight;
        }
    }
    if ((rect.right - rect.left) - frameWidth < kStartClientWidth) {
        if (left) {
            rect.left = rect.right - frameWidth - kStartClientWidth;
        } else {
            rect.right = rect.left + frameWidth + kStartClientWidth;
        }
    }
}

GameApp::GameApp(WindowSystem& windows) : windows_(windows) {}

int GameApp::run() {
    if (!progress.loadAtStartup(elapsed, solved, trialState, trialOrigin, board)) {
        // No saved progress to go on from: the player picks a collection
        // before the window exists.
        if (windows_.runDialog(kOpenCollectionDialogId, &progress) != kDialogOk) {
            windows_.showError(texts::kLoadFailed, texts::kInitErrorCaption);
            shutdown();
            return 0;
        }
        const std::int32_t current = std::clamp(progress.currentPuzzle, 0, kMaxPuzzles - 1);
        board.load(progress.collection.puzzles[current]);
    }
    if (!windows_.createMainWindow(kStartClientWidth, kStartClientHeight)) {
        shutdown();
        return 0;
    }
    if (solved) {
        startPuzzle();
    } else {
        screen.layout(board);
        forgetDrawnBoard();
        windows_.startClock();
        redrawAll();
    }
    const int code = windows_.runMessageLoop();
    if (!shutDown_) shutdown();
    return code;
}

void GameApp::startPuzzle() {
    history_.clear();
    cursor_ = EdgeRef{};
    keysLead_ = false;
    loadPuzzle();
}

void GameApp::loadPuzzle() {
    if (!solved) windows_.stopClock();
    const std::int32_t current = std::clamp(progress.currentPuzzle, 0, kMaxPuzzles - 1);
    board.load(progress.collection.puzzles[current]);
    screen.layout(board);
    forgetDrawnBoard();
    solved = false;
    trialState = Off;
    hoverButton = -1;
    trialOrigin = EdgeRef{};
    hoverEdge = EdgeRef{};
    elapsed = 0;
    noteChange();
    windows_.startClock();
    redrawAll();
}

void GameApp::redrawAll() {
    showToolbar();
    showBoard(hoverEdge);
    showClock();
    present();
}

void GameApp::present() {
    const Surface& buffer = screen.backBuffer;
    if (buffer.empty()) {
        dirty_.clear();
        fullCopy_ = false;
        return;
    }
    if (fullCopy_ || redrawMode == RedrawMode::Full) {
        windows_.present(buffer, PixelRect{0, 0, buffer.width, buffer.height});
    } else {
        for (const PixelRect& area : dirty_) windows_.present(buffer, area);
    }
    dirty_.clear();
    fullCopy_ = false;
}

void GameApp::shutdown() {
    if (shutDown_) return;
    shutDown_ = true;
    if (!solved) windows_.stopClock();
    // The last chance to keep this run's progress: when the save file
    // cannot be written (a full disk, a file held by another program), the
    // player may make room and try again. The old save file stays whole
    // either way.
    if (window) {
        while (!save() && windows_.confirm(texts::kSaveFailed, texts::kSaveErrorCaption)) {
        }
    }
    board = Board{};
    screen.release();
    progress.records.clear();
    progress.records.shrink_to_fit();
    progress.collection = PuzzleCollection{};
    forgetDrawnBoard();
    dirty_.clear();
}

bool GameApp::save() {
    if (!window) return false;
    const std::int32_t resume = solved ? kNoResume : static_cast<std::int32_t>(trialState);
    // A failed write is tried again a minute later, not at every tick.
    ticksSinceSave_ = 0;
    if (!progress.writeSaveFile(board, resume, trialOrigin, elapsed)) return false;
    unsaved_ = false;
    return true;
}

void GameApp::onSize(std::int32_t width, std::int32_t height) {
    if (shutDown_) return;
    window = true;
    if (screen.resize(width, height, board)) {
        forgetDrawnBoard();
    } else if (bannerShown_) {
        // The same size (a window restored from the taskbar) or one too
        // small to draw: the back buffer still holds the solved board under
        // its banner. Drawing toolbar and board again would leave the part
        // of the banner outside the board area standing.
        fullCopy_ = true;
        present();
        return;
    }
    redrawAll();
}

void GameApp::onPaint() {
    const Surface& buffer = screen.backBuffer;
    if (!buffer.empty()) windows_.present(buffer, PixelRect{0, 0, buffer.width, buffer.height});
}

bool GameApp::onCommand(int command) {
    switch (command) {
        case kCommandSelectPuzzle:
            runDialog(kSelectPuzzleDialogId);
            return true;
        case kCommandExit:
            windows_.destroyMainWindow();
            return true;
        case kCommandAbout:
            windows_.runDialog(kAboutDialogId, nullptr);
            return true;
        case kCommandOpenCollection:
            runDialog(kOpenCollectionDialogId);
            return true;
        case kCommandUndo:
        case kCommandRedo:
            takeBack(command == kCommandRedo);
            return true;
        default:
            return false;
    }
}

void GameApp::runDialog(int dialogId) {
    // The dialogs change the store directly; whatever they changed is saved
    // at once, so that erased clear times or a new collection survive a
    // crash.
    const ProgressRecord* record = progress.currentProgress();
    const ProgressRecord before = record != nullptr ? *record : ProgressRecord{};
    const int result = windows_.runDialog(dialogId, &progress);
    if (shutDown_) return;
    if (result == kDialogOk) startPuzzle();
    const ProgressRecord* after = progress.currentProgress();
    const bool erased =
        after != nullptr && record != nullptr &&
        std::memcmp(before.clearTimes, after->clearTimes, sizeof before.clearTimes) != 0;
    if (result == kDialogOk || erased) save();
}

void GameApp::onClockTick() {
    if (shutDown_) return;
    if (elapsed < kMaxElapsed) {
        ++elapsed;
        noteChange();
    }
    showClock();
    present();
    if (!solved && ++ticksSinceSave_ >= kAutosaveTicks && unsaved_) save();
}

void GameApp::onMouseMove(std::int32_t x, std::int32_t y) {
    if (solved || shutDown_) return;
    // Window systems also report a pointer that did not move (a window
    // above it went away): the edge the keys lit stays lit then.
    if (keysLead_ && x == pointerX_ && y == pointerY_) return;
    keysLead_ = false;
    pointerX_ = x;
    pointerY_ = y;
    const std::int32_t button = toolbarButtonAt(screen, x, y);
    if (button != hoverButton) {
        hoverButton = button;
        showToolbar();
        present();
    }
    EdgeRef edge;
    screen.hitTest(board, x, y, edge);
    if (edge == hoverEdge) return;
    hoverEdge = edge;
    showBoard(hoverEdge);
    present();
}

void GameApp::onLeftClick(std::int32_t x, std::int32_t y) {
    if (shutDown_) return;
    if (solved) {
        nextPuzzle();
        return;
    }
    if (y >= kButtonY && y <= kToolbarHeight - 1) {
        pressButton(toolbarButtonAt(screen, x, y));
        return;
    }
    EdgeRef edge;
    if (screen.hitTest(board, x, y, edge)) markAt(edge);
}

void GameApp::nextPuzzle() {
    if (progress.selectNextUncleared()) startPuzzle();
}

void GameApp::pressButton(std::int32_t button) {
    switch (button) {
        case 0:
            onCommand(kCommandSelectPuzzle);
            break;
        case 1:
            if (windows_.confirm(texts::kRestartQuestion, texts::kConfirmCaption)) {
                // A step like any other: undo brings the marks and the trial
                // back (not the clock).
                history_.begin(state());
                loadPuzzle();
                history_.end(state());
            }
            break;
        case 2:
            history_.begin(state());
            if (trialState != Off) {  // keep the trial's marks
                trialState = Off;
                trialOrigin = EdgeRef{};
                showToolbar();
                showBoard(hoverEdge);
                showClock();
            } else {
                trialState = Armed;
                board.takeSnapshot();
                showToolbar();
            }
            history_.end(state());
            noteChange();
            present();
            break;
        case 3:
            if (trialState == Off) break;
            history_.begin(state());
            trialState = Off;
            trialOrigin = EdgeRef{};
            board.rollBack();
            history_.end(state());
            showToolbar();
            showBoard(hoverEdge);
            showClock();
            noteChange();
            present();
            break;
        default:
            break;
    }
}

// One click's mark as a step of the history; the first mark after arming
// is the trial's origin.
void GameApp::markStep(EdgeRef edge, bool cross) {
    history_.begin(state());
    if (cross) {
        board.crossEdge(edge);
    } else {
        board.markEdge(edge);
    }
    if (trialState == Armed) {
        trialState = Started;
        trialOrigin = edge;
    }
    history_.end(state());
    noteChange();
}

void GameApp::markAt(EdgeRef edge) {
    markStep(edge, false);
    showBoard(edge);
    if (board.isSolved()) {
        solve();
    } else {
        present();
    }
}

void GameApp::crossAt(EdgeRef edge) {
    markStep(edge, true);
    showBoard(hoverEdge);
    present();
}

void GameApp::takeBack(bool redo) {
    if (solved || shutDown_) return;
    const bool trialShown = trialState != Off;
    if (!(redo ? history_.redo(state()) : history_.undo(state()))) return;
    noteChange();
    if ((trialState != Off) != trialShown) {
        showToolbar();
        showBoard(hoverEdge);
        showClock();
    } else {
        showBoard(hoverEdge);
    }
    present();
}

bool GameApp::onKey(Key key, bool repeated) {
    if (shutDown_) return false;
    switch (key) {
        case Key::Left:
        case Key::Right:
        case Key::Up:
        case Key::Down:
            if (solved) return false;
            moveCursor(key);
            return true;
        case Key::Space:
        case Key::Enter:
            if (repeated) return true;
            if (solved) {
                nextPuzzle();
            } else if (hoverEdge.valid()) {
                markAt(hoverEdge);
            }
            return true;
        case Key::X:
        case Key::Delete:
            if (solved) return false;
            if (!repeated && hoverEdge.valid()) crossAt(hoverEdge);
            return true;
        case Key::Digit1:
        case Key::Digit2:
        case Key::Digit3:
        case Key::Digit4:
            if (solved) return false;
            if (repeated) return true;
            pressButton(static_cast<std::int32_t>(key) - static_cast<std::int32_t>(Key::Digit1));
            return true;
    }
    return false;
}

void GameApp::moveCursor(Key key) {
    // Nothing lit: the first press lights the cursor's edge (the one the
    // keys lit last, or the top-left one) without moving it.
    EdgeRef to;
    if (hoverEdge.valid()) {
        to = cursorStep(board, hoverEdge, key);
    } else {
        to = board.hasEdge(cursor_) ? cursor_ : firstEdge(board);
    }
    if (!to.valid()) return;
    cursor_ = to;
    keysLead_ = true;
    hoverEdge = to;
    showBoard(hoverEdge);
    present();
}

void GameApp::solve() {
    windows_.stopClock();
    solved = true;
    history_.clear();  // a solved puzzle is not played on
    ProgressRecord* record = progress.currentProgress();
    if (record != nullptr && progress.currentPuzzle >= 0 && progress.currentPuzzle < kMaxPuzzles) {
        record->clearTimes[progress.currentPuzzle] = static_cast<std::int16_t>(elapsed & 0xFFFF);
    }
    screen.drawClearBanner();
    forgetDrawnBoard();
    bannerShown_ = true;
    fullCopy_ = true;
    present();
    // The clear time is kept at once, not only at the end of the run.
    save();
}

void GameApp::onRightClick(std::int32_t x, std::int32_t y) {
    if (solved || shutDown_) return;
    EdgeRef edge;
    if (screen.hitTest(board, x, y, edge)) crossAt(edge);
}

void GameApp::onDestroy() {
    shutdown();
}

void GameApp::onEndSession() {
    if (!shutDown_) save();
}

void GameApp::showToolbar() {
    screen.drawToolbar(trialState != Off, hoverButton);
    markDirty(PixelRect{0, 0, screen.toolbarX + kButtonPlaces * kButtonWidth, kToolbarHeight});
}

void GameApp::showClock() {
    screen.drawClock(elapsed);
    markDirty(PixelRect{screen.clockX, kClockY, kClockWidth, kClockSpriteHeight});
}

void GameApp::showBoard(EdgeRef hover) {
    drawnHover_ = hover;
    const Surface& buffer = screen.backBuffer;
    const PixelRect boardArea{screen.originX, screen.originY, buffer.width - screen.originX,
                              buffer.height - screen.originY};
    const std::int32_t count = board.vertexCount();
    const bool cacheable = redrawMode == RedrawMode::Partial && screen.pitch > 0 &&
                           !screen.glyphSheet.empty() && count > 0 &&
                           static_cast<std::int32_t>(board.clues.size()) >= count;
    if (!cacheable) {
        bannerShown_ = false;
        screen.drawBoard(board, hover, trialOrigin);
        forgetDrawnBoard();
        markDirty(boardArea);
        return;
    }

    const bool whole = static_cast<std::int32_t>(drawnGlyphs_.size()) != count;
    if (whole) {
        bannerShown_ = false;
        screen.drawBoard(board, hover, trialOrigin);
        drawnGlyphs_.assign(static_cast<std::size_t>(count), 0);
        drawnClues_.assign(static_cast<std::size_t>(count), 0);
        markDirty(boardArea);
    }
    const std::int32_t columns = board.width + 1;
    const std::int32_t a = screen.pitch;
    const std::int32_t e = screen.glyphSize;
    for (std::int32_t n = 0; n < count; ++n) {
        const std::size_t i = static_cast<std::size_t>(n);
        const auto glyph =
            static_cast<std::uint8_t>(Screen::vertexGlyph(board, n, hover, trialOrigin));
        const std::uint8_t clue = board.clues[i];
        if (!whole && glyph == drawnGlyphs_[i] && clue == drawnClues_[i]) continue;
        drawnGlyphs_[i] = glyph;
        drawnClues_[i] = clue;
        if (whole) continue;
        // Everything the vertex draws lies in its glyph's square.
        const PixelRect square{screen.originX + (n % columns) * a,
                               screen.originY + (n / columns) * a, e, e};
        screen.drawBoardArea(board, hover, trialOrigin, square.x, square.y, square.width,
                             square.height);
        markDirty(square);
    }
}

void GameApp::markDirty(const PixelRect& area) {
    const Surface& buffer = screen.backBuffer;
    PixelRect r = area;
    const std::int32_t right = std::min(r.x + r.width, buffer.width);
    const std::int32_t bottom = std::min(r.y + r.height, buffer.height);
    r.x = std::max(r.x, 0);
    r.y = std::max(r.y, 0);
    r.width = right - r.x;
    r.height = bottom - r.y;
    if (r.width <= 0 || r.height <= 0) return;
    // Neighbouring areas go to the window in one copy; a grown area may
    // reach areas it did not touch before, so the search starts again.
    for (auto it = dirty_.begin(); it != dirty_.end();) {
        if (touching(*it, r)) {
            unite(r, *it);
            dirty_.erase(it);
            it = dirty_.begin();
        } else {
            ++it;
        }
    }
    dirty_.push_back(r);
}

void GameApp::forgetDrawnBoard() {
    drawnGlyphs_.clear();
    drawnClues_.clear();
    fullCopy_ = true;
    bannerShown_ = false;
}

}  // namespace quorrin
