#include "tests/app/random_session.h"

#include <algorithm>
#include <cstring>
#include <map>

namespace quorrin::test {

namespace {

std::int32_t below(std::mt19937& random, std::int32_t n) {
    return static_cast<std::int32_t>(random() % static_cast<std::uint32_t>(n));
}

// The point of an event: an edge of the board in play, or the point given.
Point pointOf(const GameApp& app, const RandomEvent& e) {
    if (e.x >= 0 || app.screen.pitch < 3) return {e.x, e.y};
    std::vector<EdgeRef> edges;
    for (std::int32_t v = 0; v < app.board.vertexCount(); ++v) {
        for (int vertical = 0; vertical < 2; ++vertical) {
            const EdgeRef edge{v, static_cast<std::uint8_t>(vertical)};
            if (app.board.hasEdge(edge)) edges.push_back(edge);
        }
    }
    if (edges.empty()) return {0, 0};
    return edgePoint(app, edges[static_cast<std::size_t>(e.y) % edges.size()]);
}

// Take the wrong lines away, then click the loop's lines in.
void solve(GameApp& app) {
    static std::map<std::pair<std::string, int>, std::vector<EdgeRef>> solutions;
    const std::int32_t current = app.progress.currentPuzzle;
    const PuzzleEntry& entry = app.progress.collection.puzzles[current];
    if (!entry.playable() || app.screen.pitch < 3) return;
    auto& loop = solutions[{app.progress.collectionName, current}];
    if (loop.empty()) loop = solutionOf(entry);
    for (std::int32_t v = 0; v < app.board.vertexCount(); ++v) {
        for (int vertical = 0; vertical < 2; ++vertical) {
            const EdgeRef edge{v, static_cast<std::uint8_t>(vertical)};
            if (app.board.edgeState(edge) != Line ||
                std::find(loop.begin(), loop.end(), edge) != loop.end()) {
                continue;
            }
            const Point q = edgePoint(app, edge);
            app.onRightClick(q.x, q.y);
        }
    }
    for (EdgeRef edge : loop) {
        for (int k = 0; k < 3 && !app.solved && app.board.edgeState(edge) != Line; ++k) {
            const Point q = edgePoint(app, edge);
            app.onLeftClick(q.x, q.y);
        }
    }
}

DialogScript randomDialog(std::uint32_t bits) {
    std::mt19937 random(bits);
    DialogScript script;
    for (std::int32_t k = below(random, 5); k > 0; --k) {
        const auto kind = static_cast<DialogStep::Kind>(below(random, DialogStep::Run));
        const int controls[] = {kControlOk, kControlCancel, kClearButton};
        const int value = kind == DialogStep::Press ? controls[below(random, 3)] : below(random, 4);
        script.push_back({kind, value});
    }
    return script;
}

}  // namespace

std::vector<RandomEvent> randomEvents(std::uint32_t seed, int count, std::int32_t maxWidth,
                                      std::int32_t maxHeight) {
    std::mt19937 random(seed);
    std::vector<RandomEvent> events;
    for (int i = 0; i < count; ++i) {
        RandomEvent e;
        e.answers = static_cast<std::uint32_t>(random());
        const std::int32_t roll = below(random, 200);
        if (roll < 60) {
            e.kind = RandomEvent::Move;
        } else if (roll < 110) {
            e.kind = RandomEvent::Left;
        } else if (roll < 136) {
            e.kind = RandomEvent::Right;
        } else if (roll < 170) {
            e.kind = RandomEvent::Tick;
        } else if (roll < 178) {
            e.kind = RandomEvent::Resize;
            // Mostly sizes a window has on a desktop; now and then a tiny
            // one, a minimized one or a very large one.
            const std::int32_t size = below(random, 10);
            e.x = size == 0   ? below(random, 40)
                  : size == 1 ? 32 + below(random, maxWidth - 31)
                              : 200 + below(random, 700);
            e.y = size == 0   ? below(random, 40)
                  : size == 1 ? 32 + below(random, maxHeight - 31)
                              : 200 + below(random, 600);
        } else if (roll < 190) {
            e.kind = RandomEvent::Command;
            const int commands[] = {kCommandSelectPuzzle, kCommandAbout, kCommandOpenCollection};
            e.command = commands[below(random, 3)];
        } else if (roll < 198) {
            e.kind = RandomEvent::Solve;
        } else {
            e.kind = RandomEvent::EndSession;
        }
        if (e.kind == RandomEvent::Move || e.kind == RandomEvent::Left ||
            e.kind == RandomEvent::Right) {
            if (below(random, 3) != 0) {  // an edge; else anywhere, toolbar and outside included
                e.x = -1;
                e.y = below(random, 1 << 20);
            } else {
                e.x = below(random, 1000) - 40;
                e.y = below(random, 800) - 40;
            }
        }
        events.push_back(e);
    }
    return events;
}

void queueEvents(Session& session, const std::vector<RandomEvent>& events) {
    FakeWindows& windows = session.windows;
    for (const RandomEvent& e : events) {
        windows.events.push_back([&windows, e](GameApp& app) {
            const Point p = pointOf(app, e);
            switch (e.kind) {
                case RandomEvent::Move:
                    app.onMouseMove(p.x, p.y);
                    break;
                case RandomEvent::Left:
                    windows.answers.assign({(e.answers & 1) != 0});
                    app.onMouseMove(p.x, p.y);
                    app.onLeftClick(p.x, p.y);
                    break;
                case RandomEvent::Right:
                    app.onMouseMove(p.x, p.y);
                    app.onRightClick(p.x, p.y);
                    break;
                case RandomEvent::Tick:
                    // The window system delivers ticks only while the clock runs.
                    if (windows.clockRunning) app.onClockTick();
                    break;
                case RandomEvent::Resize:
                    windows.resize(e.x, e.y);
                    break;
                case RandomEvent::Command:
                    windows.dialogScripts.assign({randomDialog(e.answers)});
                    app.onCommand(e.command);
                    break;
                case RandomEvent::Solve:
                    solve(app);
                    break;
                case RandomEvent::EndSession:
                    app.onEndSession();
                    break;
            }
        });
    }
}

std::string checkScreenAndBoard(const GameApp& app, const FakeWindows& windows) {
    if (!windows.showsBackBuffer()) return "the window does not show the back buffer";

    // The back buffer against the game's state drawn from scratch.
    const Surface& buffer = app.screen.backBuffer;
    if (!buffer.empty()) {
        static Screen reference;
        if (!reference.bitmapLoader) {
            reference.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
        }
        // The glyph sheet is made again only for a new size of client or board.
        static std::int32_t boardWidth = -1, boardHeight = -1;
        if (reference.backBuffer.width != buffer.width ||
            reference.backBuffer.height != buffer.height || boardWidth != app.board.width ||
            boardHeight != app.board.height) {
            reference.resize(buffer.width, buffer.height, app.board);
            reference.layout(app.board);
            boardWidth = app.board.width;
            boardHeight = app.board.height;
        } else {
            reference.backBuffer.fillWhite();
        }
        reference.drawToolbar(app.trialState != Off, app.hoverButton);
        reference.drawBoard(app.board, app.drawnHover(), app.trialOrigin);
        reference.drawClock(app.elapsed);
        if (app.bannerShown()) reference.drawClearBanner();
        for (std::int32_t y = 0; y < buffer.height; ++y) {
            if (std::memcmp(buffer.row(y), reference.backBuffer.row(y),
                            static_cast<std::size_t>(buffer.width) * 3) != 0) {
                return "back buffer row " + std::to_string(y) + " differs from a full redraw";
            }
        }
    }

    // Codes within 0..8, nothing leading off the board, clue states as
    // counted anew.
    const Board& board = app.board;
    const std::int32_t columns = board.width + 1;
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        const int code = board.codes[static_cast<std::size_t>(v)];
        if (code > 8) return "vertex " + std::to_string(v) + " has code " + std::to_string(code);
        if (v % columns == board.width && code / 3 != Empty) return "a line off the right side";
        if (v / columns == board.height && code % 3 != Empty) return "a line off the bottom";
    }
    Board recounted = board;
    recounted.updateClueStates();
    if (recounted.clues != board.clues) return "clue states differ from a recount";
    if (app.trialState == Off && app.trialOrigin.valid()) return "a trial origin without a trial";
    return std::string();
}

std::string checkSaveRoundTrip(GameApp& app) {
    if (!app.save()) return "the save file could not be written";
    ProgressStore store;
    Game loaded;  // what start-up hands to the store
    if (!loaded.start(store)) return "the save does not load";
    if (store.records.size() != app.progress.records.size()) return "records lost";
    for (std::size_t i = 0; i < store.records.size(); ++i) {
        if (std::memcmp(&store.records[i].clearTimes, &app.progress.records[i].clearTimes,
                        sizeof store.records[i].clearTimes) != 0 ||
            store.records[i].identity != app.progress.records[i].identity) {
            return "record " + std::to_string(i) + " differs";
        }
    }
    if (app.solved) return loaded.solved ? std::string() : "a solved game came back in play";
    if (loaded.solved) return "the game in play did not come back";
    if (store.currentPuzzle != app.progress.currentPuzzle) return "another puzzle came back";
    if (loaded.board.codes != app.board.codes || loaded.board.clues != app.board.clues)
        return "other marks";
    if (loaded.elapsed != app.elapsed) return "another clock";
    if (loaded.trial != app.trialState || loaded.origin != app.trialOrigin) return "another trial";
    return std::string();
}

}  // namespace quorrin::test
