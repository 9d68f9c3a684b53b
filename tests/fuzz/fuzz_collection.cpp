// Fuzz target: the input is a collection file, read as the game reads it.
// Every puzzle is loaded onto a board and played with clicks and whole loops
// that the input's tail chooses.
//
// Properties: a collection holds 1 to 30 entries, each loading onto a board
// within the limits; a board keeps its codes, borders and clue states right
// through every action; the solution check agrees with the puzzle tools' loop
// check. (How the reader cuts a text into lines and what a click does are the
// store's and the board's unit tests; areas drawn alone against a full redraw
// are the screen's tests and the app's soak.)
#include "fuzz_support.h"
#include "loop_generator.h"

using namespace quorrin;

namespace {

// Choices taken from the input's bytes read backwards from its end (so that
// mutations of the tail steer them), then from a generator: a number in
// [0, bound) for bound up to 65536, one byte, two above 256.
struct Choices {
    const std::uint8_t* data;
    std::size_t left;
    std::uint64_t state = 0;
    std::uint32_t below(std::uint32_t bound) {
        state = state * 6364136223846793005u + 1442695040888963407u;
        const std::uint32_t byte = left > 0 ? data[--left] : std::uint32_t(state >> 56);
        return (bound > 256 ? byte << 8 | below(256) : byte) % bound;
    }
};

// An edge for the board's actions: now and then one that is not on the board
// (a vertex out of range, vertical 2), which the actions must ignore.
EdgeRef pickEdge(Choices& choices, const Board& board) {
    const std::int32_t odd = choices.below(16) == 0 ? 3 : 0;
    const std::int32_t count = board.vertexCount() + 2 * odd;
    const auto vertex = static_cast<std::int32_t>(choices.below(std::uint32_t(count))) - odd;
    return EdgeRef{vertex, static_cast<std::uint8_t>(choices.below(odd ? 3 : 2))};
}

// The board's lines as the tools' edges (one byte an edge) and its clues as
// the tools' puzzle.
bool solvedByLoopCheck(const Board& board) {
    const int w = board.width, h = board.height;
    LoopPuzzle puzzle(w, h);
    LoopSolution edges(static_cast<std::size_t>(edgeCount(w, h)));
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        const int r = v / (w + 1), c = v % (w + 1);
        if (c < w) edges[horizontalEdge(w, r, c)] = board.codes[v] / 3 == Line;
        if (r < h) edges[verticalEdge(w, h, r, c)] = board.codes[v] % 3 == Line;
        if (r < h && c < w && board.clues[v] != kNoClue) puzzle.setClue(r, c, board.clues[v] & 3);
    }
    return isLoopSolution(puzzle, edges);
}

// A whole loop around a random region drawn with lines and no other mark,
// so that the solution check meets solved boards too.
void drawLoop(Board& board, Choices& choices) {
    const int w = board.width, h = board.height;
    LoopRandom rng(choices.below(65536));
    const LoopSolution loop = regionOutline(w, h, makeLoopRegion(w, h, rng));
    for (std::int32_t v = 0; v < board.vertexCount(); ++v) {
        const int r = v / (w + 1), c = v % (w + 1);
        const bool right = c < w && loop[horizontalEdge(w, r, c)];
        const bool down = r < h && loop[verticalEdge(w, h, r, c)];
        board.codes[v] = static_cast<std::uint8_t>(3 * (right ? Line : 0) + (down ? Line : 0));
    }
    board.updateClueStates();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratch("collection.dat").string();
    writeFile(path, data, size);
    PuzzleCollection collection;
    std::uint32_t identity = 0;
    FUZZ_CHECK(collection.read(path.c_str(), identity) == (collection.puzzleCount > 0));
    FUZZ_CHECK(collection.puzzleCount <= kMaxPuzzles);

    // Every action costs a pass over the board: at most 160 an input.
    Choices choices{data, size};
    for (std::int32_t i = 0; i < collection.puzzleCount; ++i) {
        Board board;
        board.load(collection.puzzles[i]);
        // Clicks of either button and whole loops, with the solution check
        // after one in four and after the last.
        const int actions = static_cast<int>(choices.below(160 / collection.puzzleCount + 1));
        for (int a = 0; a <= actions; ++a) {
            const std::uint32_t action = a == 0 ? 8 : choices.below(8);
            if (action == 0 && board.width > 0 && board.height > 0) drawLoop(board, choices);
            if (action == 1) board.crossEdge(pickEdge(choices, board));
            if (action > 1 && action < 8) board.markEdge(pickEdge(choices, board));
            checkBoard(board);
            if (a == actions || choices.below(4) == 0)
                FUZZ_CHECK(board.isSolved() == solvedByLoopCheck(board));
        }
    }
    return 0;
}
