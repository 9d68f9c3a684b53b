// Random sessions through the fake window system: events a player (and the
// window system) can cause, made from a seed so that a session can be played
// again. After every event the window shows the back buffer, the back buffer
// is what drawing the game's state from scratch gives, the board is
// consistent and the save file brings the same game back; and a session
// drawn with partial redraws leaves the same pixels after every event as
// the same session drawn whole on every change.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string_view>

#include "tests/app/game_fixture.h"

namespace quorrin::test {
namespace {

// Take the wrong lines away, then click the loop's lines in.
void solve(GameApp& app) {
    if (!app.progress.collection.puzzles[app.progress.currentPuzzle].playable() ||
        app.screen.pitch < 3)
        return;
    const std::vector<EdgeRef> loop = solutionOf(app);
    for (EdgeRef edge : edgesOf(app.board)) {
        if (app.board.edgeState(edge) != Line ||
            std::find(loop.begin(), loop.end(), edge) != loop.end())
            continue;
        const Point p = edgePoint(app, edge);
        app.onRightClick(p.x, p.y);
    }
    for (EdgeRef edge : loop) {
        for (int k = 0; k < 3 && !app.solved && app.board.edgeState(edge) != Line; ++k) {
            const Point p = edgePoint(app, edge);
            app.onLeftClick(p.x, p.y);
        }
    }
}

// One random event. The same random numbers are drawn whatever the game's
// state, so that a seed gives the same events in both redraw modes.
void randomEvent(GameApp& app, FakeWindows& windows, std::mt19937& random, std::int32_t maxWidth,
                 std::int32_t maxHeight) {
    std::uint32_t r[6];
    for (std::uint32_t& n : r) n = static_cast<std::uint32_t>(random());
    const std::uint32_t roll = r[0] % 200;
    auto below = [](std::uint32_t n, std::int32_t limit) {
        return static_cast<std::int32_t>(n % static_cast<std::uint32_t>(limit));
    };
    // Mostly an edge of the board; else anywhere, toolbar and outside included.
    Point p{below(r[1], 1000) - 40, below(r[2], 800) - 40};
    const std::vector<EdgeRef> edges = edgesOf(app.board);
    if (r[3] % 3 != 0 && app.screen.pitch >= 3 && !edges.empty())
        p = edgePoint(app, edges[r[4] % edges.size()]);
    if (roll < 136) app.onMouseMove(p.x, p.y);
    if (roll >= 60 && roll < 110) {
        windows.answers.assign({(r[5] & 1) != 0});
        app.onLeftClick(p.x, p.y);
    } else if (roll >= 110 && roll < 136) {
        app.onRightClick(p.x, p.y);
    } else if (roll >= 136 && roll < 170) {
        if (windows.clockRunning) app.onClockTick();  // only while the clock runs
    } else if (roll >= 170 && roll < 178) {
        // Mostly sizes a window has on a desktop; now and then a tiny one,
        // a minimized one or a very large one.
        const std::uint32_t size = r[1] % 10;
        windows.resize(size == 0   ? below(r[2], 40)
                       : size == 1 ? 32 + below(r[2], maxWidth - 31)
                                   : 200 + below(r[2], 700),
                       size == 0   ? below(r[3], 40)
                       : size == 1 ? 32 + below(r[3], maxHeight - 31)
                                   : 200 + below(r[3], 600));
    } else if (roll >= 178 && roll < 190) {
        std::mt19937 steps(r[5]);
        DialogScript script;
        for (auto k = steps() % 5; k > 0; --k) {
            const auto kind = static_cast<DialogStep::Kind>(steps() % DialogStep::Run);
            const int controls[] = {kControlOk, kControlCancel, kClearButton};
            const int value = static_cast<int>(steps() % (kind == DialogStep::Press ? 3 : 4));
            script.push_back({kind, kind == DialogStep::Press ? controls[value] : value});
        }
        windows.dialogScripts.assign({script});
        const int commands[] = {kCommandSelectPuzzle, kCommandAbout, kCommandOpenCollection};
        app.onCommand(commands[r[4] % 3]);
    } else if (roll >= 190 && roll < 198) {
        solve(app);
    } else if (roll >= 198) {
        app.onEndSession();
    }
}

// What must hold after every event; empty when all does, else what not.
std::string fault(GameApp& app, const FakeWindows& windows) {
    if (!windows.showsBackBuffer()) return "the window does not show the back buffer";
    // The back buffer against the game's state drawn from scratch; the glyph
    // sheet is made again only for a new size of client or board.
    const Surface& buffer = app.screen.backBuffer;
    static Screen reference;
    static std::int32_t boardWidth = -1, boardHeight = -1;
    if (!buffer.empty()) {
        if (reference.backBuffer.width != buffer.width ||
            reference.backBuffer.height != buffer.height || boardWidth != app.board.width ||
            boardHeight != app.board.height) {
            reference.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
            reference.resize(buffer.width, buffer.height, app.board);
            reference.layout(app.board);
            boardWidth = app.board.width;
            boardHeight = app.board.height;
        }
        reference.backBuffer.fillWhite();
        reference.drawToolbar(app.trialState != Off, app.hoverButton);
        reference.drawBoard(app.board, app.drawnHover(), app.trialOrigin);
        reference.drawClock(app.elapsed);
        if (app.bannerShown()) reference.drawClearBanner();
        for (std::int32_t y = 0; y < buffer.height; ++y) {
            if (std::memcmp(buffer.row(y), reference.backBuffer.row(y),
                            static_cast<std::size_t>(buffer.width) * 3) != 0)
                return "back buffer row " + std::to_string(y) + " differs from a full redraw";
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

    // The game written to the save file and read back as a new run would:
    // the same game in play, or after a solve the same clear times.
    if (!app.save()) return "the save file could not be written";
    ProgressStore store;
    Game loaded;
    if (!loaded.start(store)) return "the save does not load";
    if (store.records.size() != app.progress.records.size()) return "records lost";
    for (std::size_t i = 0; i < store.records.size(); ++i) {
        if (std::memcmp(&store.records[i], &app.progress.records[i], sizeof store.records[i]) != 0)
            return "record " + std::to_string(i) + " differs";
    }
    if (app.solved != loaded.solved) return "solved or in play changed";
    if (app.solved) return std::string();
    if (store.currentPuzzle != app.progress.currentPuzzle) return "another puzzle came back";
    if (loaded.board.codes != board.codes || loaded.board.clues != board.clues)
        return "other marks";
    if (loaded.elapsed != app.elapsed) return "another clock";
    if (loaded.trial != app.trialState || loaded.origin != app.trialOrigin) return "another trial";
    return std::string();
}

// Play count random events of the seed in the mode, checking after each;
// the hash of the back buffer after every event.
std::vector<std::size_t> play(RedrawMode mode, std::uint32_t seed, int count, std::int32_t maxWidth,
                              std::int32_t maxHeight) {
    Session s(mode);
    s.windows.dialogScripts.push_back({{DialogStep::Press, kControlOk}});
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) {
        s.windows.events.push_back(
            [&](GameApp& app) { randomEvent(app, s.windows, random, maxWidth, maxHeight); });
    }
    std::vector<std::size_t> hashes;
    s.windows.afterEvent = [&](GameApp& app) {
        const std::string problem = fault(app, s.windows);
        EXPECT_EQ(problem, "") << "seed " << seed << ", event " << hashes.size();
        if (!problem.empty()) s.windows.events.clear();  // stop at the first fault
        const Surface& b = app.screen.backBuffer;
        hashes.push_back(std::hash<std::string_view>{}(std::string_view(
                             reinterpret_cast<const char*>(b.pixels.data()), b.pixels.size())) ^
                         (static_cast<std::size_t>(b.width) * 31 + b.height));
    };
    s.app.run();
    EXPECT_EQ(hashes.size(), static_cast<std::size_t>(count)) << "seed " << seed;
    return hashes;
}

class RandomSessionTest : public StoreTest {
  protected:
    void SetUp() override {
        StoreTest::SetUp();
        writeBytes(file("easy.dat"), "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/.\n");
        std::filesystem::copy_file(QUORRIN_SOURCE_DIR "/puzzles/01_first_steps.dat",
                                   file("first.dat"));
    }
};

TEST_F(RandomSessionTest, PartialRedrawsGiveTheSamePixelsAsFullOnes) {
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        std::filesystem::remove(savePath());
        const std::vector<std::size_t> full = play(RedrawMode::Full, seed, 250, 1600, 1000);
        std::filesystem::remove(savePath());
        const std::vector<std::size_t> partial = play(RedrawMode::Partial, seed, 250, 1600, 1000);
        ASSERT_EQ(full.size(), partial.size());
        for (std::size_t i = 0; i < full.size(); ++i)
            ASSERT_EQ(full[i], partial[i]) << "seed " << seed << ", event " << i;
    }
}

// QUORRIN_SOAK_EVENTS=100000 QUORRIN_SOAK_SEED=n for a long run.
TEST_F(RandomSessionTest, SoakEveryEventKeepsScreenBoardAndSaveFileRight) {
    const char* count = std::getenv("QUORRIN_SOAK_EVENTS");
    const char* seed = std::getenv("QUORRIN_SOAK_SEED");
    play(RedrawMode::Partial,
         seed ? static_cast<std::uint32_t>(std::strtoul(seed, nullptr, 10)) : 7u,
         count ? std::atoi(count) : 1500, 3840, 2160);
}

}  // namespace
}  // namespace quorrin::test
