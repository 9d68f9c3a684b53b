// session OUTDIR [COLLECTION [WxH]]
//
// Plays a scripted game in OUTDIR, which gets a copy of the collection (the
// first shipped one by default) beside a pretend executable: the collection
// opened at the first start, a line, a cross and a refused line, trial mode
// with a mark, the first puzzle solved by clicks. After each step the window
// as the player sees it goes to OUTDIR/NN-step.png. With WxH the client area
// is sized so first, as a player would size the window.
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

#include "image_writer.h"
#include "loop_solver.h"
#include "store/platform.h"
#include "tests/app/fake_windows.h"

namespace {

using namespace quorrin;
namespace fs = std::filesystem;

std::string& exePath() {
    static std::string path;
    return path;
}

// A point that hits the edge, found by searching around its middle.
bool pointOn(const GameApp& app, EdgeRef edge, std::int32_t& x, std::int32_t& y) {
    const Screen& s = app.screen;
    const std::int32_t columns = app.board.width + 1;
    const std::int32_t cx = s.originX + (edge.vertex % columns) * s.pitch +
                            (edge.vertical ? 0 : s.pitch / 2) + s.glyphSize / 2;
    const std::int32_t cy = s.originY + (edge.vertex / columns) * s.pitch +
                            (edge.vertical ? s.pitch / 2 : 0) + s.glyphSize / 2;
    for (std::int32_t d = 0; d < s.pitch; ++d) {
        for (std::int32_t dy = -d; dy <= d; ++dy) {
            for (std::int32_t dx = -d; dx <= d; ++dx) {
                EdgeRef hit;
                if (s.hitTest(app.board, cx + dx, cy + dy, hit) && hit == edge) {
                    x = cx + dx;
                    y = cy + dy;
                    return true;
                }
            }
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: session OUTDIR [COLLECTION [WxH]]\n");
        return 2;
    }
    const fs::path out = fs::absolute(argv[1]);
    const fs::path collection =
        argc > 2 ? fs::path(argv[2]) : fs::path(QUORRIN_SOURCE_DIR "/puzzles/01_first_steps.dat");
    std::error_code ec;
    fs::create_directories(out, ec);
    fs::remove(out / "quorrin.sav", ec);
    fs::copy_file(collection, out / collection.filename(), fs::copy_options::overwrite_existing,
                  ec);
    if (ec) {
        std::fprintf(stderr, "session: cannot copy %s\n", collection.string().c_str());
        return 1;
    }
    exePath() = (out / "quorrin.exe").string();
    platform().executablePath = [](char* buffer, std::size_t size) {
        if (exePath().size() + 1 > size) return false;
        std::memcpy(buffer, exePath().c_str(), exePath().size() + 1);
        return true;
    };

    test::FakeWindows windows;
    GameApp app(windows);
    windows.app = &app;
    app.screen.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
    windows.dialogScripts.push_back({{test::DialogStep::Press, kControlOk}});

    int shots = 0;
    bool ok = true;
    auto shot = [&](const char* name) {
        windows.events.push_back([&, name](GameApp&) {
            char file[64];
            std::snprintf(file, sizeof file, "%02d-%s.png", ++shots, name);
            const Surface& w = windows.window;
            ok = writePng24((out / file).string(), w.width, w.height, w.stride, w.pixels.data()) &&
                 ok;
            std::printf("%s\n", (out / file).string().c_str());
        });
    };
    auto click = [&](EdgeRef edge, bool right) {
        windows.events.push_back([edge, right](GameApp& a) {
            std::int32_t x, y;
            if (!pointOn(a, edge, x, y)) return;
            a.onMouseMove(x, y);
            right ? a.onRightClick(x, y) : a.onLeftClick(x, y);
        });
    };
    auto tick = [&](int n) {
        for (int i = 0; i < n; ++i) windows.events.push_back([](GameApp& a) { a.onClockTick(); });
    };

    int width = 0, height = 0;
    if (argc > 3 && std::sscanf(argv[3], "%dx%d", &width, &height) == 2)
        windows.events.push_back([&](GameApp&) { windows.resize(width, height); });
    shot("start");
    tick(7);
    click(EdgeRef{7, 0}, false);  // a line
    click(EdgeRef{8, 1}, true);   // a cross
    shot("line-and-cross");
    windows.events.push_back(
        [](GameApp& a) { a.onLeftClick(a.screen.toolbarX + 2 * 90 + 45, 16); });
    click(EdgeRef{14, 1}, false);
    shot("trial");
    windows.events.push_back(
        [](GameApp& a) { a.onLeftClick(a.screen.toolbarX + 3 * 90 + 45, 16); });
    tick(20);
    shot("rolled-back");
    windows.events.push_back([&](GameApp& a) {
        // The solution's lines, clicked in after the marks so far are gone.
        const PuzzleEntry& entry = a.progress.collection.puzzles[a.progress.currentPuzzle];
        LoopPuzzle puzzle(entry.width, entry.height);
        for (int r = 0; r < entry.height; ++r)
            for (int c = 0; c < entry.width; ++c) {
                const std::uint8_t clue =
                    entry.clues[static_cast<std::size_t>(r * (entry.width + 1) + c)];
                if (clue <= 3) puzzle.setClue(r, c, clue);
            }
        const LoopAnalysis analysis = analysePuzzle(puzzle);
        for (int r = 0; r <= entry.height; ++r)
            for (int c = 0; c <= entry.width; ++c)
                for (std::uint8_t vertical = 0; vertical < 2; ++vertical) {
                    const EdgeRef e{r * (entry.width + 1) + c, vertical};
                    if (!a.board.hasEdge(e)) continue;
                    const int index = vertical ? verticalEdge(entry.width, entry.height, r, c)
                                               : horizontalEdge(entry.width, r, c);
                    const bool onLoop = analysis.first[static_cast<std::size_t>(index)] != 0;
                    std::int32_t px, py;
                    if (!onLoop && a.board.edgeState(e) == Line && pointOn(a, e, px, py))
                        a.onRightClick(px, py);
                    if (onLoop && a.board.edgeState(e) != Line) {
                        windows.events.push_front([e](GameApp& g) {
                            std::int32_t x, y;
                            if (!pointOn(g, e, x, y) || g.solved) return;
                            // A line the rules refuse for now turns into a
                            // cross: three clicks at most, and on to the next.
                            for (int k = 0; k < 3 && g.board.edgeState(e) != Line && !g.solved; ++k)
                                g.onLeftClick(x, y);
                        });
                    }
                }
    });
    shot("solved");
    windows.events.push_back([](GameApp& a) { a.onLeftClick(200, 200); });
    shot("next-puzzle");
    const int code = app.run();
    std::printf("exit code %d, save file %s\n", code, (out / "quorrin.sav").string().c_str());
    return ok ? code : 1;
}
