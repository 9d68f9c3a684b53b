// Random sessions played twice, once drawing only what changed and once
// drawing everything on every change: after every event the back buffers of
// the two are the same, and each window shows its back buffer exactly.
#include <gtest/gtest.h>

#include <map>
#include <random>

#include "tests/app/game_fixture.h"

namespace quorrin::test {
namespace {

struct Event {
    enum Kind { Move, Left, Right, Tick, Resize, Command, Solve } kind;
    std::int32_t x = 0, y = 0;  // a point, or a size; x < 0: an edge picked by y
    int command = 0;
};

std::vector<Event> randomSession(std::uint32_t seed, int length) {
    std::mt19937 random(seed);
    auto below = [&](int n) {
        return static_cast<std::int32_t>(random() % static_cast<unsigned>(n));
    };
    std::vector<Event> events;
    for (int i = 0; i < length; ++i) {
        Event e{};
        const int roll = below(100);
        if (roll < 30) {
            e.kind = Event::Move;
        } else if (roll < 55) {
            e.kind = Event::Left;
        } else if (roll < 68) {
            e.kind = Event::Right;
        } else if (roll < 85) {
            e.kind = Event::Tick;
        } else if (roll < 89) {
            e.kind = Event::Resize;
            const bool large = below(4) == 0;
            e.x = large ? 600 + below(1400) : below(700);
            e.y = large ? 500 + below(700) : below(700);
        } else if (roll < 95) {
            e.kind = Event::Command;
            const int commands[] = {kCommandSelectPuzzle, kCommandAbout, kCommandOpenCollection};
            e.command = commands[below(3)];
        } else {
            e.kind = Event::Solve;
        }
        if (e.kind == Event::Move || e.kind == Event::Left || e.kind == Event::Right) {
            if (below(3) != 0) {  // on an edge; else anywhere, toolbar and outside included
                e.x = -1;
                e.y = below(1 << 20);
            } else {
                e.x = below(760) - 40;
                e.y = below(560) - 40;
            }
        }
        events.push_back(e);
    }
    return events;
}

// The point of the event: an edge of the board in play, or the point given.
Point pointOf(const GameApp& app, const Event& e) {
    if (e.x >= 0 || app.screen.pitch < 3) return {e.x, e.y};
    std::vector<EdgeRef> edges;
    for (std::int32_t v = 0; v < app.board.vertexCount(); ++v) {
        for (int vertical = 0; vertical < 2; ++vertical) {
            if (app.board.hasEdge(EdgeRef{v, static_cast<std::uint8_t>(vertical)}))
                edges.push_back(EdgeRef{v, static_cast<std::uint8_t>(vertical)});
        }
    }
    if (edges.empty()) return {0, 0};
    return edgePoint(app, edges[static_cast<std::size_t>(e.y) % edges.size()]);
}

// Play the session; the hash of the back buffer after every event.
std::vector<std::uint64_t> play(RedrawMode mode, const std::vector<Event>& events,
                                std::uint32_t seed) {
    Session s(mode);
    std::mt19937 answers(seed);
    s.windows.dialogScripts.push_back({{DialogStep::Press, kControlOk}});
    std::map<std::pair<std::string, int>, std::vector<EdgeRef>> solutions;
    for (const Event& e : events) {
        s.windows.events.push_back([&, e](GameApp& app) {
            const Point p = pointOf(app, e);
            switch (e.kind) {
                case Event::Move:
                    app.onMouseMove(p.x, p.y);
                    break;
                case Event::Left:
                    s.windows.answers.push_back(answers() % 2 == 0);
                    app.onMouseMove(p.x, p.y);
                    app.onLeftClick(p.x, p.y);
                    break;
                case Event::Right:
                    app.onMouseMove(p.x, p.y);
                    app.onRightClick(p.x, p.y);
                    break;
                case Event::Tick:
                    app.onClockTick();
                    break;
                case Event::Resize:
                    s.windows.resize(e.x, e.y);
                    break;
                case Event::Command: {
                    DialogScript script;
                    for (auto k = answers() % 5; k > 0; --k) {
                        const auto kind = static_cast<DialogStep::Kind>(answers() % 5);
                        const int controls[] = {kControlOk, kControlCancel, kClearButton};
                        const int value = kind == DialogStep::Press
                                              ? controls[answers() % 3]
                                              : static_cast<int>(answers() % 4);
                        script.push_back({kind, value});
                    }
                    s.windows.dialogScripts.push_back(script);
                    app.onCommand(e.command);
                    break;
                }
                case Event::Solve: {
                    // Wrong lines away, then the loop's lines clicked in.
                    auto& loop =
                        solutions[{app.progress.collectionName, app.progress.currentPuzzle}];
                    if (loop.empty())
                        loop =
                            solutionOf(app.progress.collection.puzzles[app.progress.currentPuzzle]);
                    for (std::int32_t v = 0; v < app.board.vertexCount() && !app.solved; ++v) {
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
                        for (int k = 0; k < 3 && !app.solved && app.board.edgeState(edge) != Line;
                             ++k) {
                            if (app.screen.pitch < 3) break;
                            const Point q = edgePoint(app, edge);
                            app.onLeftClick(q.x, q.y);
                        }
                    }
                    break;
                }
            }
        });
    }
    std::vector<std::uint64_t> hashes;
    s.windows.afterEvent = [&](GameApp& app) {
        EXPECT_TRUE(s.windows.showsBackBuffer()) << "event " << hashes.size();
        hashes.push_back(surfaceHash(app.screen.backBuffer));
    };
    s.app.run();
    return hashes;
}

TEST_F(GameTest, PartialRedrawsGiveTheSamePixelsAsFullOnes) {
    writeBytes(file("easy.dat"), kSmall);
    shipFirstCollection();
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        const std::vector<Event> events = randomSession(seed, 250);
        std::filesystem::remove(savePath());
        const auto full = play(RedrawMode::Full, events, seed);
        std::filesystem::remove(savePath());
        const auto partial = play(RedrawMode::Partial, events, seed);
        ASSERT_EQ(full.size(), partial.size());
        for (std::size_t i = 0; i < full.size(); ++i) {
            ASSERT_EQ(full[i], partial[i]) << "seed " << seed << ", event " << i;
        }
    }
}

}  // namespace
}  // namespace quorrin::test
