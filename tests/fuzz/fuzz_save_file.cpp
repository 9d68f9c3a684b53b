// Fuzz target: the input is the save file beside the executable, in a folder
// that also holds the two collections of fixtures/. Start-up reads it as the
// game does. The game is then saved as it stands or played a little first
// (a fresh start, clicks, trial mode, a solve), and a second start-up reads
// the save back.
//
// Properties: whatever start-up takes is within the limits, and its board is
// a fresh one or (resumed) the file's grid exactly; the save read back gives
// the same store (records, name, current puzzle) and the same game (board,
// clock, trial state and origin); saving that again writes the same bytes.
//
// With QUORRIN_SAVE_COPY set, the save written is copied there: that is how
// tools/make-fuzz-corpus.sh has the store write the seed save files.
#include <iterator>
#include <memory>

#include "fuzz_support.h"
#include "store/platform.h"
#include "store/progress_store.h"

using namespace quorrin;

namespace {

// The game state that start-up hands over and shut-down saves.
struct Game {
    std::int32_t elapsed = 0;
    bool solved = true;
    TrialMode trial = Off;
    EdgeRef origin;
    Board board;
};

// The records of want are the first ones of got.
void checkRecords(const ProgressStore& got, const ProgressStore& want) {
    for (std::size_t i = 0; i < want.records.size(); ++i) {
        const ProgressRecord &a = got.records.at(i), &b = want.records[i];
        FUZZ_CHECK(a.identity == b.identity &&
                   std::equal(a.clearTimes, a.clearTimes + kMaxPuzzles, b.clearTimes));
    }
}

// Start-up from the file, which must leave a store and a game within the
// limits: a fresh board of the current puzzle, or (resumed) the file's grid
// exactly with clock, trial state and origin in range.
bool start(ProgressStore& store, Game& game, const std::uint8_t* file) {
    if (!store.loadAtStartup(game.elapsed, game.solved, game.trial, game.origin, game.board))
        return false;
    FUZZ_CHECK(store.currentRecord >= 0 && store.currentRecord < store.recordCount);
    FUZZ_CHECK(store.currentPuzzle >= 0 && store.currentPuzzle < store.collection.puzzleCount);
    checkBoard(game.board);
    Board fresh;
    fresh.load(store.collection.puzzles[store.currentPuzzle]);
    FUZZ_CHECK(game.board.codes.size() == fresh.codes.size() &&
               game.board.snapshot == game.board.codes);
    const std::uint8_t* grid = game.solved ? fresh.codes.data() : file + 88;
    FUZZ_CHECK(std::equal(game.board.codes.begin(), game.board.codes.end(), grid));
    FUZZ_CHECK(game.solved || std::all_of(grid + fresh.codes.size(), file + kSaveHeaderBytes,
                                          [](int b) { return b == 0; }));
    for (std::size_t v = 0; v < fresh.clues.size(); ++v)
        FUZZ_CHECK((game.board.clues[v] | 12) == (fresh.clues[v] | 12));
    FUZZ_CHECK(game.elapsed >= 0 && game.elapsed <= (game.solved ? 0 : kMaxElapsed));
    FUZZ_CHECK(game.trial >= Off && game.trial <= (game.solved ? Off : Started));
    FUZZ_CHECK(game.origin.valid() ? game.board.hasEdge(game.origin) && !game.solved
                                   : game.origin == EdgeRef{});
    FUZZ_CHECK(game.trial != Started || game.origin.valid());
    return true;
}

// Maybe a fresh start of the current puzzle, then clicks with trial mode as
// the game handles them, the clock, and maybe a solve.
void play(ProgressStore& store, Game& game, Choices& choices) {
    if (game.solved || choices.below(2) == 0) {
        game = Game{};
        game.board.load(store.collection.puzzles[store.currentPuzzle]);
    }
    for (int i = static_cast<int>(choices.below(24)); i > 0; --i) {
        const EdgeRef edge = pickEdge(choices, game.board);
        if (choices.below(8) == 0) {
            // The trial button: arm, or keep or roll back a trial.
            if (game.trial == Off) game.board.takeSnapshot();
            if (game.trial != Off && choices.below(2) == 0) game.board.rollBack();
            game.trial = game.trial == Off ? Armed : Off;
            game.origin = EdgeRef{};
        } else if (game.board.hasEdge(edge)) {
            choices.below(4) == 0 ? game.board.crossEdge(edge) : game.board.markEdge(edge);
            game.origin = game.trial == Armed ? edge : game.origin;
            game.trial = game.trial == Armed ? Started : game.trial;
        }
    }
    game.elapsed = static_cast<std::int32_t>(choices.below(kMaxElapsed + 1));
    game.solved = choices.below(4) == 0;
    auto& times = store.currentProgress()->clearTimes;
    if (game.solved) times[store.currentPuzzle] = static_cast<std::int16_t>(game.elapsed);
}

std::vector<std::uint8_t> saved(ProgressStore& store, const Game& g) {
    FUZZ_CHECK(store.writeSaveFile(g.board, g.solved ? kNoResume : g.trial, g.origin, g.elapsed));
    std::ifstream in(scratch("quorrin.sav"), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    std::filesystem::copy(QUORRIN_FUZZ_FIXTURES, scratch(""));
    platform() = defaultPlatform();
    platform().executablePath = [](char* buffer, std::size_t size) {
        static const std::string path = scratch("quorrin.exe").string();
        std::strncpy(buffer, path.c_str(), size);
        return path.size() < size;
    };
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    writeFile(scratch("quorrin.sav"), data, size);
    auto store = std::make_unique<ProgressStore>();
    Game game;
    if (!start(*store, game, data)) return 0;
    // The collection in use may be the save file itself (its name says so):
    // then every save changes it, and a round trip cannot be the same.
    std::error_code ec;
    if (std::filesystem::equivalent(scratch(store->collectionName), scratch("quorrin.sav"), ec))
        return 0;
    Choices choices(data, size);
    const bool played = choices.below(2) == 0;
    if (played) play(*store, game, choices);
    const std::vector<std::uint8_t> written = saved(*store, game);
    if (const char* copy = std::getenv("QUORRIN_SAVE_COPY"))
        writeFile(copy, written.data(), written.size());

    // The same store; a game saved as solved moves on to the next uncleared
    // puzzle, and one saved unsolved comes back as it was.
    auto again = std::make_unique<ProgressStore>();
    Game resumed;
    FUZZ_CHECK(start(*again, resumed, written.data()));
    FUZZ_CHECK(again->records.size() == store->records.size());
    checkRecords(*again, *store);
    FUZZ_CHECK(std::strcmp(again->collectionName, store->collectionName) == 0);
    FUZZ_CHECK(again->currentRecord == store->currentRecord);
    if (game.solved) store->selectNextUncleared();
    FUZZ_CHECK(again->currentPuzzle == store->currentPuzzle && resumed.solved == game.solved);
    if (game.solved) return 0;
    FUZZ_CHECK(resumed.board.codes == game.board.codes && resumed.elapsed == game.elapsed);
    FUZZ_CHECK(resumed.trial == game.trial && resumed.origin == game.origin);
    FUZZ_CHECK(played || resumed.board.snapshot == game.board.snapshot);
    FUZZ_CHECK(saved(*again, resumed) == written);
    return 0;
}
