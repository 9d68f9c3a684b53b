// Fuzz target: the input is a collection file, read as the game reads it.
// Every puzzle is loaded onto a board and played with clicks that the input's
// tail chooses.
//
// Properties: a collection holds 1 to 30 entries, each loading onto a board
// within the limits; a board keeps its codes, borders and clue states right
// through every click and its solution check. (How the reader cuts a text into
// lines, what a click does and when a board is solved are the store's, the
// board's and the puzzle tools' unit tests; areas drawn alone against a full
// redraw are the screen's tests and the app's soak.)
#include "fuzz_support.h"

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

// An edge for the board's actions, now and then one off the board (vertical
// 2, or a vertex past the end), which the actions must ignore.
EdgeRef pickEdge(Choices& choices, const Board& board) {
    const auto vertex = choices.below(std::uint32_t(board.vertexCount()) + 2);
    return EdgeRef{static_cast<std::int32_t>(vertex), static_cast<std::uint8_t>(choices.below(3))};
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
        // Clicks of either button, the first the board as loaded, with the
        // solution check now and then and after the last.
        const int actions = static_cast<int>(choices.below(160 / collection.puzzleCount + 1));
        for (int a = 0; a <= actions; ++a) {
            const std::uint32_t action = a == 0 ? 8 : choices.below(8);
            if (action == 1) board.crossEdge(pickEdge(choices, board));
            if (action > 1 && action < 8) board.markEdge(pickEdge(choices, board));
            if (a == actions || choices.below(4) == 0) board.isSolved();
            checkBoard(board);
        }
    }
    return 0;
}
