// Fuzz target: the input is the save file beside the executable, in a folder
// that also holds the two collections of fixtures/. Start-up reads it as the
// game does. The game is saved at once, and a second start-up reads the save
// back. (The game's own changes between start-up and saving, clicks and
// trial mode, are the app's session tests and the soak.)
//
// Properties: whatever start-up takes is within the limits, and its board is
// a fresh one or (resumed) the file's grid exactly; the save read back gives
// the same store (records, name, current puzzle, game) and, saved again, the
// same bytes.
//
// With QUORRIN_SAVE_COPY set, the save written is copied there: that is how
// tools/make-fuzz-corpus.sh has the store write the seed save files.
#include <iterator>

#include "fuzz_support.h"
#include "store/platform.h"
#include "store/progress_store.h"
#include "tests/store/game_state.h"

using namespace quorrin;

namespace {

using test::Game;

// Start-up from the file, which must leave a store and a game within the
// limits: a fresh board of the current puzzle, or (resumed) the file's grid
// exactly with clock, trial state and origin in range.
bool start(ProgressStore& store, Game& game, const std::uint8_t* file) {
    if (!game.start(store)) return false;
    FUZZ_CHECK(store.currentRecord >= 0 && store.currentRecord < store.recordCount);
    FUZZ_CHECK(store.currentPuzzle >= 0 && store.currentPuzzle < store.collection.puzzleCount);
    checkBoard(game.board);
    Board fresh;
    fresh.load(store.collection.puzzles[store.currentPuzzle]);
    const std::uint8_t* grid = game.solved ? fresh.codes.data() : file + 88;
    FUZZ_CHECK(game.board.snapshot == game.board.codes &&
               game.board.clues.size() == fresh.clues.size() &&
               std::equal(game.board.codes.begin(), game.board.codes.end(), grid));
    FUZZ_CHECK(game.elapsed >= 0 && game.elapsed <= (game.solved ? 0 : kMaxElapsed));
    FUZZ_CHECK(game.trial >= Off && game.trial <= (game.solved ? Off : Started));
    FUZZ_CHECK(game.origin.valid() ? game.board.hasEdge(game.origin) && !game.solved
                                   : game.origin == EdgeRef{} && game.trial != Started);
    return true;
}

std::vector<std::uint8_t> saved(ProgressStore& store, const Game& g) {
    FUZZ_CHECK(store.writeSaveFile(g.board, g.solved ? kNoResume : g.trial, g.origin, g.elapsed));
    std::ifstream in(scratch("quorrin.sav"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::copy(QUORRIN_FUZZ_FIXTURES, scratch(""));
    platform().executablePath = [](char* buffer, std::size_t size) {
        static const std::string path = scratch("quorrin.exe").string();
        std::strncpy(buffer, path.c_str(), size);
        return path.size() < size;
    };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeFile(scratch("quorrin.sav"), data, size);
    ProgressStore store, again;
    Game game, resumed;
    if (!start(store, game, data)) return 0;
    // The collection in use may be the save file itself (its name says so):
    // then every save changes it, and a round trip cannot be the same.
    std::error_code ec;
    if (std::filesystem::equivalent(scratch(store.collectionName), scratch("quorrin.sav"), ec))
        return 0;
    const std::vector<std::uint8_t> written = saved(store, game);
    if (const char* copy = std::getenv("QUORRIN_SAVE_COPY"))
        writeFile(copy, written.data(), written.size());

    // The same store (a game saved as solved moves on to the next uncleared
    // puzzle), and a game saved unsolved comes back as it was: saved again,
    // it writes the same bytes.
    FUZZ_CHECK(start(again, resumed, written.data()) && resumed.solved == game.solved);
    if (game.solved) store.selectNextUncleared();
    FUZZ_CHECK(again.encodeSaveFile() == store.encodeSaveFile());
    FUZZ_CHECK(again.currentRecord == store.currentRecord);
    FUZZ_CHECK(game.solved || saved(again, resumed) == written);
    return 0;
}
