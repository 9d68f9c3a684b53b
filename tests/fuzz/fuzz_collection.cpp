// Fuzz target: the input is a collection file, read as the game reads it.
// Every puzzle is loaded onto a board and played with clicks and whole loops
// that the input's tail chooses; for one input in eight one board is drawn.
//
// Properties: a collection holds 1 to 30 entries, each loading onto a board
// within the limits; a board
// keeps its codes, borders and clue states right through every action; the
// solution check agrees with a recount; a partial redraw leaves the pixels a
// full redraw does. (How the reader cuts a text into lines and what a click
// does are the store's and the board's unit tests.)
#include "fuzz_support.h"
#include "screen/screen.h"

using namespace quorrin;

namespace {

// The solution check done another way: every clue exact, every vertex on
// zero or two lines, and the lines one connected loop.
bool solvedByRecount(const Board& board) {
    std::vector<std::int32_t> parent(board.codes.size()), degree(board.codes.size());
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) parent[v] = v;
    const auto find = [&parent](std::int32_t v) {
        while (parent[v] != v) v = parent[v] = parent[parent[v]];
        return v;
    };
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        if (board.clues[v] != kNoClue && (board.clues[v] & kClueExact) == 0) return false;
        const bool right = board.codes[v] / 3 == Line, down = board.codes[v] % 3 == Line;
        for (const std::int32_t u : {right ? v + 1 : v, down ? v + board.width + 1 : v}) {
            degree[v] += u != v;
            degree[u] += u != v;
            parent[find(v)] = find(u);
        }
    }
    std::int32_t root = -1;
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        if (degree[v] == 0) continue;
        if (degree[v] != 2 || (root >= 0 && find(v) != root)) return false;
        root = find(v);
    }
    return root >= 0;
}

// Lines around a group of cells grown from one cell by random steps, and no
// other mark: one loop when the group is in one piece without holes or
// corner contacts, so that the solution check meets solved boards too.
void outline(Board& board, Choices& choices) {
    const std::int32_t w = board.width, h = board.height;
    std::vector<bool> in(static_cast<std::size_t>(w * h));
    std::int32_t r = choices.range(0, h - 1), c = choices.range(0, w - 1);
    for (int i = static_cast<int>(choices.below(16)); i >= 0; --i) {
        in[r * w + c] = true;
        const std::uint32_t step = choices.below(4);
        r = std::clamp(r + (step == 0) - (step == 1), 0, h - 1);
        c = std::clamp(c + (step == 2) - (step == 3), 0, w - 1);
    }
    const auto inside = [&](std::int32_t row, std::int32_t col) {
        return row >= 0 && row < h && col >= 0 && col < w && in[row * w + col];
    };
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        // Right of a dot: between the cells above and below it; below a dot:
        // between the cells left and right of it.
        const std::int32_t row = v / (w + 1), col = v % (w + 1);
        const bool right = col < w && inside(row - 1, col) != inside(row, col);
        const bool down = row < h && inside(row, col - 1) != inside(row, col);
        board.codes[v] = static_cast<std::uint8_t>(3 * (right ? Line : 0) + (down ? Line : 0));
    }
    board.updateClueStates();
}

// The board drawn at a small size, then clicks drawn as a partial redraw of a
// rectangle each: that leaves the pixels a full redraw leaves inside the
// rectangle and changes nothing outside it.
void draw(Board& board, Choices& choices) {
    Screen screen;
    screen.bitmapLoader = [](int id, Surface& out) {
        FUZZ_CHECK(out.create(id == kButtonBitmapId ? 900 : 293, id == kButtonBitmapId ? 30 : 106));
        for (std::size_t i = 0; i < out.pixels.size(); ++i) out.pixels[i] = i * 7 % 251 & 0xFF;
        return id == kButtonBitmapId || id == kClockBitmapId;
    };
    const std::int32_t w = choices.range(64, 200), h = choices.range(64, 200);
    FUZZ_CHECK(screen.resize(w, h, board));
    const Surface& back = screen.backBuffer;
    FUZZ_CHECK(back.width == w && back.height == h && back.stride == surfaceRowBytes(w));
    for (int i = static_cast<int>(choices.below(4)); i >= 0; --i) {
        // A click where the pointer is, which may also be a trial's origin.
        EdgeRef hover;
        const std::int32_t px = choices.range(-8, w + 8), py = choices.range(-8, h + 8);
        FUZZ_CHECK(screen.hitTest(board, px, py, hover) == board.hasEdge(hover));
        board.markEdge(hover);
        const EdgeRef origin = choices.below(2) == 0 ? hover : EdgeRef{};
        Surface want = back;
        const std::int32_t rx = choices.range(-4, w), ry = choices.range(-4, h);
        const std::int32_t rw = choices.range(0, w), rh = choices.range(0, h);
        screen.drawBoardArea(board, hover, origin, rx, ry, rw, rh);
        const Surface partial = back;
        screen.drawBoard(board, hover, origin);
        const std::int32_t x0 = std::max(rx, 0), x1 = std::min(rx + rw, w);
        for (std::int32_t y = std::max(ry, 0); y < std::min(ry + rh, h) && x0 < x1; ++y)
            std::memcpy(want.row(y) + 3 * x0, back.row(y) + 3 * x0, 3 * (x1 - x0));
        FUZZ_CHECK(partial.pixels == want.pixels);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratch("collection.dat").string();
    writeFile(path, data, size);
    PuzzleCollection collection;
    std::uint32_t identity = 0;
    FUZZ_CHECK(collection.read(path.c_str(), identity) == (collection.puzzleCount > 0));
    FUZZ_CHECK(collection.puzzleCount <= kMaxPuzzles);

    // Every action costs a pass over the board: at most 160 an input. Drawing
    // costs more than the rest together: one input in eight draws its last
    // puzzle.
    Choices choices{data, size};
    for (std::int32_t i = 0; i < collection.puzzleCount; ++i) {
        Board board;
        board.load(collection.puzzles[i]);
        // Clicks of either button and whole loops, with the solution check
        // after one in four and after the last.
        const int actions = static_cast<int>(choices.below(160 / collection.puzzleCount + 1));
        for (int a = 0; a <= actions; ++a) {
            const std::uint32_t action = a == 0 ? 8 : choices.below(8);
            if (action == 0 && board.width > 0 && board.height > 0) outline(board, choices);
            if (action == 1) board.crossEdge(pickEdge(choices, board));
            if (action > 1 && action < 8) board.markEdge(pickEdge(choices, board));
            checkBoard(board);
            if (a == actions || choices.below(4) == 0)
                FUZZ_CHECK(board.isSolved() == solvedByRecount(board));
        }
        if (i + 1 == collection.puzzleCount && choices.below(8) == 0) draw(board, choices);
    }
    return 0;
}
