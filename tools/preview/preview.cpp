// Draws what the window would show at a given client size and writes the
// back buffer as a PNG or BMP file: a board with some lines and crosses, a
// hovered edge and a trial origin, the toolbar, the clock and, on request,
// the clear banner.
//
// Usage: preview [options] <client width> <client height> <output.png|.bmp>
//   --board WxH   board size in cells (default 10x10)
//   --banner      draw the clear banner too
//   --seconds S   clock time in seconds (default 754)
//   --res DIR     folder with buttons.bmp and clock.bmp (default: the
//                 source tree's res folder)
//   --puzzle FILE[:N]  show puzzle N (from 0) of a collection file as a
//                 fresh game, instead of the sample board

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "image_writer.h"
#include "screen/screen.h"
#include "store/puzzle_collection.h"

namespace {

using quorrin::Board;
using quorrin::EdgeRef;

int usage() {
    std::fprintf(
        stderr,
        "usage: preview [--board WxH | --puzzle FILE[:N]] [--banner] [--seconds S] [--res DIR] "
        "<width> <height> <output.png|.bmp>\n");
    return 2;
}

void setEdge(Board& board, int row, int column, bool vertical, quorrin::EdgeState state) {
    if (row < 0 || column < 0 || row > board.height || column > board.width) return;
    board.setEdgeState(
        EdgeRef{row * (board.width + 1) + column, vertical ? std::uint8_t{1} : std::uint8_t{0}},
        state);
}

// Lines around a block of cells, crosses along its outside, and clues in
// all three states: met, exceeded and still short.
Board sampleBoard(int w, int h) {
    quorrin::PuzzleEntry entry;
    entry.width = w;
    entry.height = h;
    const int stride = w + 1;
    entry.clues.assign(static_cast<std::size_t>(stride * (h + 1)), quorrin::kNoClue);
    for (int r = 0; r < h; ++r)
        for (int c = 0; c < w; ++c)
            if ((r * 7 + c * 3) % 5 == 0)
                entry.clues[static_cast<std::size_t>(r * stride + c)] =
                    static_cast<std::uint8_t>((r + 2 * c) % 4);
    Board board;
    board.load(entry);

    // The loop around cells rows r0..r1, columns c0..c1.
    const int r0 = h > 2 ? 1 : 0, c0 = w > 2 ? 1 : 0;
    const int r1 = std::max(r0, h / 2), c1 = std::max(c0, (2 * w) / 3);
    for (int c = c0; c <= c1 && c < w; ++c) {
        setEdge(board, r0, c, false, quorrin::Line);
        setEdge(board, r1 + 1, c, false, quorrin::Line);
    }
    for (int r = r0; r <= r1 && r < h; ++r) {
        setEdge(board, r, c0, true, quorrin::Line);
        setEdge(board, r, c1 + 1, true, quorrin::Line);
    }
    // Crosses on the edges leading away from the loop's corners.
    setEdge(board, r0, c0 - 1, false, quorrin::Cross);
    setEdge(board, r0 - 1, c0, true, quorrin::Cross);
    setEdge(board, r1 + 1, c1 + 1, false, quorrin::Cross);
    setEdge(board, r1 + 1, c1 + 1, true, quorrin::Cross);
    return board;
}

}  // namespace

int main(int argc, char** argv) {
    int boardW = 10, boardH = 10, seconds = 754;
    bool banner = false;
    std::string res = QUORRIN_RES_DIR;
    std::string puzzle;
    std::vector<const char*> args;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--banner") == 0) {
            banner = true;
        } else if (std::strcmp(argv[i], "--board") == 0 && i + 1 < argc) {
            if (std::sscanf(argv[++i], "%dx%d", &boardW, &boardH) != 2) return usage();
        } else if (std::strcmp(argv[i], "--seconds") == 0 && i + 1 < argc) {
            seconds = std::atoi(argv[++i]);
        } else if (std::strcmp(argv[i], "--puzzle") == 0 && i + 1 < argc) {
            puzzle = argv[++i];
        } else if (std::strcmp(argv[i], "--res") == 0 && i + 1 < argc) {
            res = argv[++i];
        } else {
            args.push_back(argv[i]);
        }
    }
    if (args.size() != 3) return usage();
    const int width = std::atoi(args[0]), height = std::atoi(args[1]);
    if (boardW < 0 || boardH < 0 || boardW > 200 || boardH > 200) return usage();

    Board board;
    const bool fresh = !puzzle.empty();
    if (fresh) {
        int index = 0;
        const std::size_t colon = puzzle.rfind(':');
        if (colon != std::string::npos && colon + 1 < puzzle.size() &&
            puzzle.find_first_not_of("0123456789", colon + 1) == std::string::npos) {
            index = std::atoi(puzzle.c_str() + colon + 1);
            puzzle.resize(colon);
        }
        static quorrin::PuzzleCollection collection;
        std::uint32_t identity = 0;
        if (!collection.read(puzzle.c_str(), identity) || index >= collection.puzzleCount) {
            std::fprintf(stderr, "preview: no puzzle %d in %s\n", index, puzzle.c_str());
            return 1;
        }
        board.load(collection.puzzles[index]);
        boardW = board.width;
        boardH = board.height;
    } else {
        board = sampleBoard(boardW, boardH);
    }
    quorrin::Screen screen;
    screen.bitmapLoader = quorrin::folderBitmapLoader(res);
    if (!screen.resize(width, height, board)) {
        std::fprintf(stderr, "preview: client size %dx%d is ignored\n", width, height);
        return 1;
    }
    if (screen.buttonSheet.empty() || screen.clockSheet.empty())
        std::fprintf(stderr, "preview: no bitmaps in %s\n", res.c_str());

    // The trial origin on the loop's top edge, the hover on a vertical edge
    // further down.
    const int stride = boardW + 1;
    const int r0 = boardH > 2 ? 1 : 0, c0 = boardW > 2 ? 1 : 0;
    const EdgeRef origin{r0 * stride + c0 + (boardW > 3 ? 1 : 0), 0};
    const EdgeRef hover{std::min(boardH - 1, r0 + 1) * stride + std::max(0, boardW - 1), 1};

    screen.drawToolbar(!fresh, fresh ? -1 : 1);
    screen.drawClock(fresh ? 0 : seconds);
    if (fresh) {
        screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    } else {
        screen.drawBoard(board, boardH > 0 ? hover : EdgeRef{}, boardW > 0 ? origin : EdgeRef{});
    }
    if (banner) screen.drawClearBanner();
    std::printf(
        "client %dx%d board %dx%d: pitch %d glyph %d margin %d origin (%d, %d) "
        "toolbar x %d clock x %d\n",
        width, height, boardW, boardH, screen.pitch, screen.glyphSize, screen.hitMargin,
        screen.originX, screen.originY, screen.toolbarX, screen.clockX);

    const quorrin::Surface& back = screen.backBuffer;
    if (!quorrin::writeImage24(args[2], back.width, back.height, back.stride, back.pixels.data())) {
        std::fprintf(stderr, "preview: cannot write %s\n", args[2]);
        return 1;
    }
    return 0;
}
