// session OUTDIR [COLLECTION [WxH [STEP]]]
//
// Plays a scripted game in OUTDIR, which gets a copy of the collection (the
// first shipped one by default) beside a pretend executable: the collection
// opened at the first start, a line, a cross and a refused line, trial mode
// with a mark, the first puzzle solved by clicks. After each step the window
// as the player sees it goes to OUTDIR/NN-step.png. With WxH the client area
// is sized so first, as a player would size the window. Every input goes
// to OUTDIR/inputs.txt as it is given (tick; move, left or right with client
// x and y; shot with the step's name; resize; exit), for another window
// system to play the same session. With STEP the pointer goes only to points
// whose coordinates are multiples of STEP (2 for a page at twice the pixel
// density, whose pointer has whole CSS pixels).
#include <algorithm>
#include <cstdio>
#include <cstdlib>
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

std::FILE*& inputLog() {
    static std::FILE* file = nullptr;
    return file;
}
std::int32_t& pointerStep() {
    static std::int32_t step = 1;
    return step;
}

void logInput(const char* what, std::int32_t x = -1, std::int32_t y = -1) {
    if (inputLog() == nullptr) return;
    if (x < 0) {
        std::fprintf(inputLog(), "%s\n", what);
    } else {
        std::fprintf(inputLog(), "%s %d %d\n", what, static_cast<int>(x), static_cast<int>(y));
    }
}
void move(GameApp& app, std::int32_t x, std::int32_t y) {
    logInput("move", x, y);
    app.onMouseMove(x, y);
}
void left(GameApp& app, std::int32_t x, std::int32_t y) {
    logInput("left", x, y);
    app.onLeftClick(x, y);
}
void right(GameApp& app, std::int32_t x, std::int32_t y) {
    logInput("right", x, y);
    app.onRightClick(x, y);
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
                if ((cx + dx) % pointerStep() != 0 || (cy + dy) % pointerStep() != 0) continue;
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
    if (argc > 4) pointerStep() = std::max(1, std::atoi(argv[4]));
    inputLog() = std::fopen((out / "inputs.txt").string().c_str(), "w");
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
            logInput((std::string("shot ") + name).c_str());
            char file[64];
            std::snprintf(file, sizeof file, "%02d-%s.png", ++shots, name);
            const Surface& w = windows.window;
            ok = writePng24((out / file).string(), w.width, w.height, w.stride, w.pixels.data()) &&
                 ok;
            std::printf("%s\n", (out / file).string().c_str());
        });
    };
    auto click = [&](EdgeRef edge, bool rightButton) {
        windows.events.push_back([edge, rightButton](GameApp& a) {
            std::int32_t x, y;
            if (!pointOn(a, edge, x, y)) return;
            move(a, x, y);
            rightButton ? right(a, x, y) : left(a, x, y);
        });
    };
    auto tick = [&](int n) {
        for (int i = 0; i < n; ++i)
            windows.events.push_back([](GameApp& a) {
                logInput("tick");
                a.onClockTick();
            });
    };

    int width = 0, height = 0;
    if (argc > 3 && std::sscanf(argv[3], "%dx%d", &width, &height) == 2)
        windows.events.push_back([&](GameApp&) {
            if (inputLog() != nullptr) std::fprintf(inputLog(), "resize %d %d\n", width, height);
            windows.resize(width, height);
        });
    shot("start");
    tick(7);
    click(EdgeRef{7, 0}, false);  // a line
    click(EdgeRef{8, 1}, true);   // a cross
    shot("line-and-cross");
    // A toolbar button: the middle of its face, on the pointer's grid.
    auto button = [&](std::int32_t index) {
        windows.events.push_back([index](GameApp& a) {
            std::int32_t x = a.screen.toolbarX + index * 90 + 45;
            x -= x % pointerStep();
            move(a, x, 16);
            left(a, x, 16);
        });
    };
    button(2);
    click(EdgeRef{14, 1}, false);
    shot("trial");
    button(3);
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
                    if (!onLoop && a.board.edgeState(e) == Line && pointOn(a, e, px, py)) {
                        move(a, px, py);
                        right(a, px, py);
                    }
                    if (onLoop && a.board.edgeState(e) != Line) {
                        windows.events.push_front([e](GameApp& g) {
                            std::int32_t x, y;
                            if (!pointOn(g, e, x, y) || g.solved) return;
                            move(g, x, y);
                            // A line the rules refuse for now turns into a
                            // cross: three clicks at most, and on to the next.
                            for (int k = 0; k < 3 && g.board.edgeState(e) != Line && !g.solved; ++k)
                                left(g, x, y);
                        });
                    }
                }
    });
    shot("solved");
    windows.events.push_back([](GameApp& a) {
        move(a, 200, 200);
        left(a, 200, 200);
    });
    shot("next-puzzle");
    const int code = app.run();
    logInput("exit");
    if (inputLog() != nullptr) std::fclose(inputLog());
    std::printf("exit code %d, save file %s\n", code, (out / "quorrin.sav").string().c_str());
    return ok ? code : 1;
}
