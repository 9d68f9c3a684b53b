// Fuzz target: the input is a collection file, read as the game reads it.
// Every puzzle is loaded onto a board and played with clicks and whole loops
// that the input's tail chooses; for one input in eight one board is drawn.
//
// Properties: the collection's entry count and identity are those of a
// reading done here; entries are within the limits; a loaded board holds the
// entry's clues with a zero's sides crossed; a board keeps its codes, borders
// and clue states right through every action; the solution check agrees with
// a recount; a partial redraw leaves the pixels a full redraw does.
#include <numeric>

#include "fuzz_support.h"
#include "screen/screen.h"

using namespace quorrin;

namespace {

// The text as the reader sees it: CR LF as LF, up to a 0x1A; cut into lines
// after every LF and after 2047 bytes; the first 30 lines; each line's bytes
// up to its first NUL make up the identity.
std::uint32_t expectedIdentity(const std::uint8_t* data, std::size_t size, int& lines) {
    std::vector<std::uint8_t> text;
    for (std::size_t i = 0; i < size && data[i] != 0x1A; ++i) {
        if (data[i] != '\r' || i + 1 == size || data[i + 1] != '\n') text.push_back(data[i]);
    }
    std::uint32_t reg = kIdentityStart;
    for (auto at = text.begin(), end = at; at != text.end() && lines < kMaxPuzzles; ++lines) {
        const auto limit = text.end() - at > kMaxLineBytes ? at + kMaxLineBytes : text.end();
        end = std::find(at, limit, '\n');
        end = end == limit ? limit : end + 1;
        reg = identityUpdate(reg, &*at, std::find(at, end, 0) - at);
        at = end;
    }
    return reg;
}

// The solution check done another way: every clue exact, every vertex on
// zero or two lines, and the lines one connected loop.
bool solvedByRecount(const Board& board) {
    std::vector<std::int32_t> parent(board.codes.size()), degree(board.codes.size());
    std::iota(parent.begin(), parent.end(), 0);
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

// Lines around a rectangle of cells, over the board's marks or alone (then
// one loop), so that the solution check meets solved boards too.
void rectangle(Board& board, Choices& choices) {
    const std::int32_t r0 = choices.range(0, board.height - 1),
                       r1 = choices.range(r0, board.height - 1);
    const std::int32_t c0 = choices.range(0, board.width - 1),
                       c1 = choices.range(c0, board.width - 1);
    if (choices.below(2) == 0) std::fill(board.codes.begin(), board.codes.end(), std::uint8_t{0});
    const auto line = [&](std::int32_t r, std::int32_t c, int vertical) {
        board.setEdgeState(EdgeRef{r * (board.width + 1) + c, static_cast<std::uint8_t>(vertical)},
                           Line);
    };
    for (std::int32_t c = c0; c <= c1; ++c) {
        line(r0, c, 0);
        line(r1 + 1, c, 0);
    }
    for (std::int32_t r = r0; r <= r1; ++r) {
        line(r, c0, 1);
        line(r, c1 + 1, 1);
    }
}

// The board drawn at a small size, then clicks drawn as a partial redraw of a
// rectangle each: that leaves the pixels a full redraw leaves inside the
// rectangle and changes nothing outside it.
void draw(Board& board, Choices& choices) {
    Screen screen;
    screen.bitmapLoader = [](int id, Surface& out) {
        FUZZ_CHECK(out.create(id == kButtonBitmapId ? 900 : 293, id == kButtonBitmapId ? 30 : 106));
        for (std::size_t i = 0; i < out.pixels.size(); ++i)
            out.pixels[i] = static_cast<std::uint8_t>(i * 7 % 251);
        return id == kButtonBitmapId || id == kClockBitmapId;
    };
    const std::int32_t w = choices.range(64, 200), h = choices.range(64, 200);
    FUZZ_CHECK(screen.resize(w, h, board));
    const Surface& back = screen.backBuffer;
    FUZZ_CHECK(back.width == w && back.height == h && back.stride == surfaceRowBytes(w));
    EdgeRef origin = pickEdge(choices, board);
    if (choices.below(2) == 0 || !board.hasEdge(origin)) origin = EdgeRef{};
    screen.drawToolbar(choices.below(2) == 0, choices.range(-1, kButtonPlaces - 1));
    screen.drawClock(choices.range(-2, 3601));
    screen.drawBoard(board, EdgeRef{}, origin);
    for (int i = static_cast<int>(choices.below(4)); i > 0; --i) {
        EdgeRef hover;
        if (!screen.hitTest(board, choices.range(-8, w + 8), choices.range(-8, h + 8), hover))
            hover = EdgeRef{};
        FUZZ_CHECK(!hover.valid() || board.hasEdge(hover));
        board.markEdge(hover);
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
    int lines = 0;
    const std::uint32_t expected = expectedIdentity(data, size, lines);
    FUZZ_CHECK(collection.read(path.c_str(), identity) == (lines > 0));
    FUZZ_CHECK(collection.puzzleCount == lines && (lines == 0 || identity == expected));

    // Every action costs a pass over the board: at most 160 an input. Drawing
    // costs more than the rest together: one input in eight draws a puzzle.
    Choices choices(data, size);
    const std::uint32_t drawn = choices.below(8 * kMaxPuzzles);
    int budget = 160;
    for (std::int32_t i = 0; i < lines; ++i) {
        const PuzzleEntry& entry = collection.puzzles[i];
        checkEntry(entry);
        Board board;
        board.load(entry);
        // The entry's clues and no marks but a zero's crossed sides.
        for (std::size_t v = 0; v < board.codes.size(); ++v) {
            FUZZ_CHECK((board.clues[v] | 12) == (entry.clues[v] | 12));
            FUZZ_CHECK(board.codes[v] < 3 * Line && board.codes[v] % 3 != Line);
            FUZZ_CHECK(entry.clues[v] != 0 || board.codes[v] == 3 * Cross + Cross);
        }
        // Clicks of either button and whole loops, with the solution check
        // after one in four and after the last.
        const int actions = std::min(static_cast<int>(choices.below(48)), budget);
        budget -= actions;
        for (int a = 0; a <= actions; ++a) {
            const std::uint32_t action = a == 0 ? 8 : choices.below(8);
            if (action == 0 && board.width > 0 && board.height > 0) rectangle(board, choices);
            if (action == 1) board.crossEdge(pickEdge(choices, board));
            if (action > 1 && action < 8) board.markEdge(pickEdge(choices, board));
            checkBoard(board);
            if (a == actions || choices.below(4) == 0)
                FUZZ_CHECK(board.isSolved() == solvedByRecount(board));
        }
        if (drawn == static_cast<std::uint32_t>(i)) draw(board, choices);
    }
    return 0;
}
