// screencheck CLIENT.bmp COLLECTION INDEX [MARK]...
//
// Compares a screenshot of the game's client area (a 24-bit .bmp file of
// exactly the client area) pixel for pixel with what the screen code draws at
// that size for puzzle INDEX of the collection file, fresh, with the MARKs:
//
//   line:E, cross:E   edge E marked; E is h:R:C, the edge right of the dot in
//                     row R, column C, or v:R:C, the edge below it
//   hover:E           edge E lit, as under the pointer
//   banner            the clear banner shown
//
// Everything but the clock must match exactly; the clock must show some time
// from 0:00 to 59:59 exactly (which time is the fast tests' business). On a
// match prints one line for the caller's shell: the layout (pitch, margin,
// origin ox,oy), the board's vertex codes as a save file keeps them
// (trailing zeros left out) and the clock's seconds. Exit status 0 on a
// match, 1 on a mismatch (saying where), 2 on bad input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "board/board.h"
#include "screen/bitmap.h"
#include "screen/screen.h"
#include "store/puzzle_collection.h"

namespace {

// Pixels of the shot unlike the back buffer inside the rectangle; where
// the first one lies in `first`.
long differences(const quorrin::Surface& shot, const quorrin::Surface& back, int rx, int ry, int rw,
                 int rh, std::string& first) {
    long count = 0;
    for (int y = ry; y < ry + rh; ++y) {
        for (int x = rx; x < rx + rw; ++x) {
            if (std::memcmp(shot.row(y) + 3 * x, back.row(y) + 3 * x, 3) == 0) continue;
            if (count++ == 0) first = "the first at " + std::to_string(x) + "," + std::to_string(y);
        }
    }
    return count;
}

}  // namespace

int main(int argc, char** argv) {
    quorrin::Surface shot;
    static quorrin::PuzzleCollection collection;
    std::uint32_t identity = 0;
    const int index = argc >= 4 ? std::atoi(argv[3]) : -1;
    if (argc < 4 || !quorrin::readBitmapFile(argv[1], shot) ||
        !collection.read(argv[2], identity) || index < 0 || index >= collection.puzzleCount) {
        std::fprintf(stderr, "usage: screencheck CLIENT.bmp COLLECTION INDEX [MARK]...\n");
        return 2;
    }
    quorrin::Board board;
    board.load(collection.puzzles[index]);
    quorrin::EdgeRef hover;
    bool banner = false;
    for (int i = 4; i < argc; ++i) {
        char what[8] = {}, kind = 0;
        int row = 0, column = 0;
        const bool parsed =
            std::sscanf(argv[i], "%7[a-z]:%c:%d:%d", what, &kind, &row, &column) == 4;
        const quorrin::EdgeRef edge{row * (board.width + 1) + column,
                                    static_cast<std::uint8_t>(kind == 'v' ? 1 : 0)};
        // A mark off the board is taken for a word of its own: unknown.
        const std::string mark = parsed && board.hasEdge(edge) ? what : argv[i];
        if (mark == "banner") {
            banner = true;
        } else if (mark == "hover") {
            hover = edge;
        } else if (mark == "line" || mark == "cross") {
            board.setEdgeState(edge, mark == "line" ? quorrin::Line : quorrin::Cross);
        } else {
            std::fprintf(stderr, "screencheck: what is %s?\n", argv[i]);
            return 2;
        }
    }

    quorrin::Screen screen;
    screen.bitmapLoader = quorrin::folderBitmapLoader(QUORRIN_RES_DIR);
    if (!screen.resize(shot.width, shot.height, board)) {
        std::fprintf(stderr, "screencheck: no screen of %d x %d\n", shot.width, shot.height);
        return 2;
    }
    screen.drawToolbar(false, -1);
    screen.drawClock(0);
    screen.drawBoard(board, hover, quorrin::EdgeRef{});
    if (banner) screen.drawClearBanner();
    // The clock at the first time from 0:00 to 59:59 it matches at (the
    // banner covers it); then the whole window must match.
    std::string first;
    int seconds = banner ? -1 : 0;
    for (; seconds >= 0 && seconds < 3600; ++seconds) {
        screen.drawClock(seconds);
        if (differences(shot, screen.backBuffer, screen.clockX, quorrin::kClockY,
                        quorrin::kClockWidth, quorrin::kClockSpriteHeight, first) == 0) {
            break;
        }
    }
    const long count = differences(shot, screen.backBuffer, 0, 0, shot.width, shot.height, first);
    if (count != 0) {
        std::printf("mismatch: %ld pixels differ (%s)\n", count, first.c_str());
        return 1;
    }
    std::string codes;
    for (const std::uint8_t code : board.codes) codes += static_cast<char>('0' + code);
    codes.erase(codes.find_last_not_of('0') + 1);
    std::printf("pitch=%d margin=%d ox=%d oy=%d codes=%s clock=%d\n", screen.pitch,
                screen.hitMargin, screen.originX, screen.originY, codes.c_str(), seconds);
    return 0;
}
