// Fuzz target: the input is a collection file. It is read as the game reads
// it; every puzzle read is loaded onto a board and played with clicks (and
// loops drawn whole) that the input's tail chooses, and for one input in
// eight one of the boards is drawn at a small client size.
//
// Properties: a collection holds 1 to 30 entries, each a board within the
// limits or the 0 x 0 entry, under the identity of the text as read; a
// board keeps its codes, borders and clue states right through every click;
// a click changes its one edge only, the way the marking rules say; the
// solution check agrees with a recount and leaves the board as it was; a
// partial redraw leaves the pixels a full redraw does.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "board/board.h"
#include "fuzz_support.h"
#include "screen/screen.h"
#include "store/puzzle_collection.h"

namespace quorrin::fuzz {
namespace {

// The text as the reader sees it: CR LF as LF, up to a 0x1A; cut into lines
// after every LF and after 2047 bytes; the first 30 lines; each line's bytes
// up to its first NUL make up the identity.
std::uint32_t expectedIdentity(const std::uint8_t* data, std::size_t size, int& lines) {
    std::vector<std::uint8_t> text;
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0x1A) break;
        if (data[i] == '\r' && i + 1 < size && data[i + 1] == '\n') continue;
        text.push_back(data[i]);
    }
    std::uint32_t reg = kIdentityStart;
    lines = 0;
    std::size_t at = 0;
    while (at < text.size() && lines < kMaxPuzzles) {
        std::size_t end = at;
        while (end < text.size() && end - at < static_cast<std::size_t>(kMaxLineBytes)) {
            if (text[end++] == '\n') break;
        }
        std::size_t content = at;
        while (content < end && text[content] != 0) ++content;
        reg = identityUpdate(reg, text.data() + at, content - at);
        ++lines;
        at = end;
    }
    return reg;
}

// Bytes of one edge's vertex other than the edge's own state.
int otherState(std::uint8_t code, int vertical) {
    return vertical == 0 ? downState(code) : rightState(code);
}
int ownState(std::uint8_t code, int vertical) {
    return vertical == 0 ? rightState(code) : downState(code);
}

void checkLoaded(const PuzzleEntry& entry, const Board& board) {
    checkBoard(board);
    FUZZ_CHECK(board.width == entry.width && board.height == entry.height);
    const std::int32_t stride = board.width + 1;
    for (std::int32_t r = 0; r < board.height; ++r) {
        for (std::int32_t c = 0; c < board.width; ++c) {
            const auto n = static_cast<std::size_t>(r * stride + c);
            const std::uint8_t want = entry.clues[n];
            const std::uint8_t clue = board.clues[n];
            FUZZ_CHECK(want == 255 ? clue == kNoClue : (clue != kNoClue && (clue & 3) == want));
            if (want == 0) {
                // A zero clue starts with its four sides crossed.
                FUZZ_CHECK(rightState(board.codes[n]) == Cross);
                FUZZ_CHECK(downState(board.codes[n]) == Cross);
                FUZZ_CHECK(downState(board.codes[n + 1]) == Cross);
                FUZZ_CHECK(rightState(board.codes[n + static_cast<std::size_t>(stride)]) == Cross);
            }
        }
    }
    for (const std::uint8_t code : board.codes) {
        FUZZ_CHECK(rightState(code) != Line && downState(code) != Line);
    }
    FUZZ_CHECK(board.snapshot == board.codes);
}

// Lines around a random group of cells grown from one cell, and no other
// line: one loop when the group is in one piece without holes or corner
// contacts, so that the solution check also meets boards that are solved
// (the fuzzer finds clues that fit) and loops of many shapes.
void outline(Board& board, Choices& choices) {
    const std::int32_t w = board.width, h = board.height, stride = w + 1;
    if (w < 1 || h < 1) return;
    std::vector<std::uint8_t> in(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0);
    std::int32_t r = choices.range(0, h - 1), c = choices.range(0, w - 1);
    const int cells = 1 + static_cast<int>(choices.below(16));
    for (int i = 0; i < cells; ++i) {
        in[static_cast<std::size_t>(r * w + c)] = 1;
        switch (choices.below(4)) {
            case 0:
                r = std::min(r + 1, h - 1);
                break;
            case 1:
                r = std::max(r - 1, 0);
                break;
            case 2:
                c = std::min(c + 1, w - 1);
                break;
            default:
                c = std::max(c - 1, 0);
                break;
        }
    }
    const auto inside = [&](std::int32_t row, std::int32_t col) {
        return row >= 0 && row < h && col >= 0 && col < w &&
               in[static_cast<std::size_t>(row * w + col)] != 0;
    };
    for (std::int32_t row = 0; row <= h; ++row) {
        for (std::int32_t col = 0; col <= w; ++col) {
            std::uint8_t& code = board.codes[static_cast<std::size_t>(row * stride + col)];
            // The edge right of the dot lies between the cells above and
            // below it; the edge below the dot between those left and right.
            int right = rightState(code) == Cross ? Cross : Empty;
            int down = downState(code) == Cross ? Cross : Empty;
            if (col < w && inside(row - 1, col) != inside(row, col)) right = Line;
            if (row < h && inside(row, col - 1) != inside(row, col)) down = Line;
            code = static_cast<std::uint8_t>(3 * right + down);
        }
    }
    board.updateClueStates();
}

// One click (or trial action) on the board, checked against the rules.
void act(Board& board, Choices& choices) {
    const std::vector<std::uint8_t> before = board.codes;
    const EdgeRef e = pickEdge(choices, board);
    const bool real = board.hasEdge(e);
    const std::uint32_t action = choices.below(9);
    int expectState = -1;  // the edge's state after the action, when known
    switch (action) {
        case 0:
        case 1:
        case 2: {
            board.markEdge(e);
            if (!real) break;
            const int was = ownState(before[static_cast<std::size_t>(e.vertex)], e.vertical);
            const int now = board.edgeState(e);
            if (was == Empty) {
                FUZZ_CHECK(now == Line || now == Cross);
                if (now == Line) {
                    // A line never makes a third line at either end.
                    const std::int32_t other = e.vertex + (e.vertical == 0 ? 1 : board.width + 1);
                    FUZZ_CHECK(board.linesAt(e.vertex) <= 2 && board.linesAt(other) <= 2);
                }
                expectState = now;
            } else {
                expectState = was == Line ? Cross : Empty;
            }
            break;
        }
        case 3:
        case 4: {
            board.crossEdge(e);
            if (!real) break;
            const int was = ownState(before[static_cast<std::size_t>(e.vertex)], e.vertical);
            expectState = was == Empty ? Cross : Empty;
            break;
        }
        case 5: {
            const auto state = static_cast<EdgeState>(choices.below(3));
            board.setEdgeState(e, state);
            if (real) expectState = state;
            break;
        }
        case 6:
            board.takeSnapshot();
            FUZZ_CHECK(board.snapshot == board.codes);
            return;
        case 7:
            board.rollBack();
            FUZZ_CHECK(board.snapshot == board.codes);
            checkBoard(board);
            return;
        default:
            outline(board, choices);
            checkBoard(board);
            return;
    }
    // Only the edge acted on may change.
    for (std::size_t v = 0; v < before.size(); ++v) {
        if (!real || static_cast<std::int32_t>(v) != e.vertex) {
            FUZZ_CHECK(board.codes[v] == before[v]);
            continue;
        }
        FUZZ_CHECK(otherState(board.codes[v], e.vertical) == otherState(before[v], e.vertical));
        FUZZ_CHECK(ownState(board.codes[v], e.vertical) == expectState);
    }
    checkBoard(board);
}

void checkSolutionCheck(Board& board) {
    const std::vector<std::uint8_t> before = board.codes;
    const bool solved = board.isSolved();
    FUZZ_CHECK(board.codes == before);
    FUZZ_CHECK(solved == solvedByRecount(board));
}

Surface sheet(std::int32_t w, std::int32_t h) {
    Surface s;
    FUZZ_CHECK(s.create(w, h));
    for (std::size_t i = 0; i < s.pixels.size(); ++i)
        s.pixels[i] = static_cast<std::uint8_t>(i * 7 % 251);
    return s;
}

// Sheets of the resource bitmaps' sizes with pixels that are never white,
// made once.
BitmapLoader syntheticBitmaps() {
    return [](int id, Surface& out) {
        static const Surface sheets[2] = {sheet(900, 30), sheet(293, 106)};
        if (id != kButtonBitmapId && id != kClockBitmapId) return false;
        out = sheets[id == kButtonBitmapId ? 0 : 1];
        return true;
    };
}

EdgeRef hoverAt(const Screen& screen, const Board& board, Choices& choices) {
    EdgeRef edge;
    const std::int32_t x = choices.range(-8, screen.backBuffer.width + 8);
    const std::int32_t y = choices.range(-8, screen.backBuffer.height + 8);
    if (screen.hitTest(board, x, y, edge)) {
        FUZZ_CHECK(board.hasEdge(edge));
        return edge;
    }
    return EdgeRef{};
}

void checkSurface(const Surface& s) {
    FUZZ_CHECK(s.width > 0 && s.height > 0);
    FUZZ_CHECK(s.stride == surfaceRowBytes(s.width));
    FUZZ_CHECK(s.pixels.size() == static_cast<std::size_t>(s.stride) * s.height);
}

void draw(Board& board, Choices& choices) {
    Screen screen;
    screen.bitmapLoader = syntheticBitmaps();
    const std::int32_t w = choices.range(64, 200), h = choices.range(64, 200);
    FUZZ_CHECK(screen.resize(w, h, board));
    checkSurface(screen.backBuffer);
    FUZZ_CHECK(screen.backBuffer.width == w && screen.backBuffer.height == h);

    EdgeRef origin;
    if (choices.below(2) == 0) {
        origin = pickEdge(choices, board);
        if (!board.hasEdge(origin)) origin = EdgeRef{};
    }
    screen.drawToolbar(choices.below(2) == 0, choices.range(-1, kButtonPlaces - 1));
    screen.drawBoard(board, hoverAt(screen, board, choices), origin);
    screen.drawClock(choices.range(-2, 3601));  // 59:59 and beyond

    // A few clicks, each drawn as a partial redraw of a rectangle around the
    // clicked edge, which must leave the pixels a full redraw leaves.
    const int clicks = static_cast<int>(choices.below(4));
    for (int i = 0; i < clicks; ++i) {
        const EdgeRef hover = hoverAt(screen, board, choices);
        if (hover.valid()) board.markEdge(hover);
        const Surface before = screen.backBuffer;
        const std::int32_t rx = choices.range(-4, w), ry = choices.range(-4, h);
        const std::int32_t rw = choices.range(0, w), rh = choices.range(0, h);
        screen.drawBoardArea(board, hover, origin, rx, ry, rw, rh);
        const Surface partial = screen.backBuffer;
        screen.drawBoard(board, hover, origin);
        const Surface& full = screen.backBuffer;
        for (std::int32_t y = 0; y < h; ++y) {
            const bool rowInside = y >= ry && y < ry + rh;
            for (std::int32_t x = 0; x < w; ++x) {
                const bool inside = rowInside && x >= rx && x < rx + rw;
                const std::uint8_t* want = (inside ? full : before).row(y) + 3 * x;
                const std::uint8_t* got = partial.row(y) + 3 * x;
                FUZZ_CHECK(std::memcmp(want, got, 3) == 0);
            }
        }
    }
    if (choices.below(4) == 0) screen.drawClearBanner();
    if (choices.below(4) == 0) {
        // A second size, as when the window is dragged.
        const std::int32_t w2 = choices.range(32, 200), h2 = choices.range(32, 200);
        screen.resize(w2, h2, board);
        checkSurface(screen.backBuffer);
        screen.drawBoard(board, EdgeRef{}, origin);
    }
    checkBoard(board);
}

}  // namespace
}  // namespace quorrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorrin;
    using namespace quorrin::fuzz;
    static const std::string path = (ScratchFolder::get() / "collection.dat").string();
    writeFile(path, data, size);

    PuzzleCollection collection;
    std::uint32_t identity = 0;
    int lines = 0;
    const std::uint32_t expected = expectedIdentity(data, size, lines);
    const bool read = collection.read(path.c_str(), identity);
    FUZZ_CHECK(read == (lines > 0));
    if (!read) {
        FUZZ_CHECK(collection.puzzleCount == 0);
        return 0;
    }
    FUZZ_CHECK(collection.puzzleCount == lines);
    FUZZ_CHECK(identity == expected);

    Choices choices(data, size);
    // Drawing costs more than everything else together: one puzzle of one
    // input in eight is drawn.
    const auto drawn = static_cast<std::int32_t>(choices.generatedBelow(8 * kMaxPuzzles));
    constexpr int kActionBudget = 160;
    int budget = kActionBudget;
    for (std::int32_t i = 0; i < collection.puzzleCount; ++i) {
        const PuzzleEntry& entry = collection.puzzles[i];
        checkEntry(entry);
        Board board;
        board.load(entry);
        checkLoaded(entry, board);
        // Every action costs a pass over the board: at most kActionBudget of
        // them per input, however many puzzles it holds.
        const int actions = std::min(static_cast<int>(choices.below(48)), budget);
        budget -= actions;
        for (int a = 0; a < actions; ++a) {
            act(board, choices);
            if (choices.below(4) == 0) checkSolutionCheck(board);
        }
        checkSolutionCheck(board);
        if (drawn < kMaxPuzzles && i == drawn % collection.puzzleCount) draw(board, choices);
    }
    return 0;
}
