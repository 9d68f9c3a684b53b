// Fuzz target: the input is the save file beside the executable, in a folder
// that also holds two fixed collections. Start-up reads it as the game does;
// when that fails, the player opens a collection as the open-collection
// dialog does. The game then either is saved as it stands or is played a
// little first (a fresh start of the puzzle, clicks, trial mode), is saved,
// and a second start-up reads the save back.
//
// Properties: whatever start-up takes from the file is within the limits
// (board, clock, trial state and origin, clear times, records as the file
// holds them); a resumed board is the file's grid exactly; the save read
// back gives the same store (records, name, current puzzle) and the same
// game (board, clock, trial state and origin); saving again writes the same
// bytes.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

#include "board/board.h"
#include "fuzz_support.h"
#include "save_fixture.h"
#include "store/platform.h"
#include "store/progress_store.h"
#include "store/puzzle_collection.h"
#include "store/trial_mode.h"

namespace quorrin::fuzz {
namespace {

namespace fs = std::filesystem;

std::uint32_t le32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The records as the file holds them: as many as its count says when it
// holds that many, else every whole record it holds; times outside
// 0..3599 read as not cleared.
std::vector<ProgressRecord> fileRecords(const std::uint8_t* data, std::size_t size) {
    std::vector<ProgressRecord> records;
    if (size < kSaveHeaderBytes) return records;
    const auto stored = static_cast<std::int32_t>(le32(data + 64));
    const std::size_t present = (size - kSaveHeaderBytes) / kRecordBytes;
    const std::size_t count = stored >= 0 && static_cast<std::size_t>(stored) <= present
                                  ? static_cast<std::size_t>(stored)
                                  : present;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* at = data + kSaveHeaderBytes + i * kRecordBytes;
        ProgressRecord record;
        record.identity = le32(at);
        for (int t = 0; t < kMaxPuzzles; ++t) {
            const auto time = static_cast<std::int16_t>(at[4 + 2 * t] | at[5 + 2 * t] << 8);
            record.clearTimes[t] = time >= 0 && time <= kMaxElapsed ? time : std::int16_t{0};
        }
        records.push_back(record);
    }
    return records;
}

// Decoding and encoding the header and records by themselves: what a
// decode takes, an encode writes, and the bytes written decode to the same
// store and encode to themselves.
void checkCodec(const std::uint8_t* data, std::size_t size) {
    auto first = std::make_unique<ProgressStore>();
    if (!first->decodeSaveFile(data, size)) {
        FUZZ_CHECK(size < kSaveHeaderBytes);
        return;
    }
    const std::vector<std::uint8_t> bytes = first->encodeSaveFile();
    FUZZ_CHECK(bytes.size() == kSaveHeaderBytes + kRecordBytes * first->records.size());
    auto second = std::make_unique<ProgressStore>();
    FUZZ_CHECK(second->decodeSaveFile(bytes.data(), bytes.size()));
    FUZZ_CHECK(std::memcmp(first->collectionName, second->collectionName, kNameBytes) == 0);
    FUZZ_CHECK(first->currentPuzzle == second->currentPuzzle);
    FUZZ_CHECK(first->resumeState == second->resumeState);
    FUZZ_CHECK(first->originVertex == second->originVertex);
    FUZZ_CHECK(first->originOrientation == second->originOrientation);
    FUZZ_CHECK(first->elapsedSeconds == second->elapsedSeconds);
    FUZZ_CHECK(std::memcmp(first->savedGrid, second->savedGrid, kSavedGridBytes) == 0);
    FUZZ_CHECK(first->records.size() == second->records.size());
    FUZZ_CHECK(second->encodeSaveFile() == bytes);
}

bool sameRecord(const ProgressRecord& a, const ProgressRecord& b) {
    return a.identity == b.identity &&
           std::memcmp(a.clearTimes, b.clearTimes, sizeof a.clearTimes) == 0;
}

void checkRecords(const ProgressStore& store) {
    FUZZ_CHECK(store.recordCount >= 0);
    FUZZ_CHECK(static_cast<std::size_t>(store.recordCount) == store.records.size());
    for (const ProgressRecord& record : store.records) {
        for (const std::int16_t time : record.clearTimes)
            FUZZ_CHECK(time >= 0 && time <= kMaxElapsed);
    }
}

// What start-up left: a store and a game within the limits.
void checkStarted(const ProgressStore& store, const Game& game, const std::uint8_t* data,
                  std::size_t size) {
    checkRecords(store);
    FUZZ_CHECK(store.currentRecord >= 0 && store.currentRecord < store.recordCount);
    FUZZ_CHECK(store.collection.puzzleCount >= 1 && store.collection.puzzleCount <= kMaxPuzzles);
    FUZZ_CHECK(store.currentPuzzle >= 0 && store.currentPuzzle < store.collection.puzzleCount);
    const PuzzleEntry& entry = store.collection.puzzles[store.currentPuzzle];
    checkEntry(entry);
    checkBoard(game.board);
    FUZZ_CHECK(game.board.width == entry.width && game.board.height == entry.height);
    FUZZ_CHECK(game.board.snapshot == game.board.codes);
    if (game.solved) {
        // A fresh start of the puzzle: the board as a load leaves it.
        Board fresh;
        fresh.load(entry);
        FUZZ_CHECK(fresh.codes == game.board.codes && fresh.clues == game.board.clues);
        FUZZ_CHECK(game.elapsed == 0 && game.trial == Off && !game.origin.valid());
        return;
    }
    // A resumed game: the file's grid exactly, and the rest within range.
    FUZZ_CHECK(size >= kSaveHeaderBytes);
    FUZZ_CHECK(std::equal(game.board.codes.begin(), game.board.codes.end(), data + 88));
    for (std::size_t i = game.board.codes.size(); i < kSavedGridBytes; ++i) {
        FUZZ_CHECK(data[88 + i] == 0);
    }
    FUZZ_CHECK(game.elapsed >= 0 && game.elapsed <= kMaxElapsed);
    FUZZ_CHECK(game.trial == Off || game.trial == Armed || game.trial == Started);
    FUZZ_CHECK(!game.origin.valid() || game.board.hasEdge(game.origin));
    FUZZ_CHECK(game.origin.valid() || (game.origin.vertex == -1 && game.origin.vertical == 0));
    if (game.trial == Started) FUZZ_CHECK(game.origin.valid());
}

// Start-up found nothing to go on from: the player opens a collection, and
// start-up loads its first uncleared puzzle.
void openCollection(ProgressStore& store, Game& game, const char* name) {
    FUZZ_CHECK(store.setCollectionName(name));
    FUZZ_CHECK(store.loadCollection());
    store.currentPuzzle = 0;
    store.selectNextUncleared();
    game.board.load(store.collection.puzzles[std::clamp(store.currentPuzzle, 0, kMaxPuzzles - 1)]);
}

// A fresh start of the current puzzle, then some clicks with trial mode as
// the game handles them, and maybe a solve.
void play(ProgressStore& store, Game& game, Choices& choices) {
    if (game.solved || choices.below(2) == 0) {
        game.board.load(
            store.collection.puzzles[std::clamp(store.currentPuzzle, 0, kMaxPuzzles - 1)]);
        game.solved = false;
        game.trial = Off;
        game.origin = EdgeRef{};
        game.elapsed = 0;
    }
    const int clicks = static_cast<int>(choices.below(24));
    for (int i = 0; i < clicks; ++i) {
        const std::uint32_t what = choices.below(8);
        if (what == 0) {
            // The trial button: arm, or keep / roll back a trial.
            if (game.trial == Off) {
                game.board.takeSnapshot();
                game.trial = Armed;
            } else {
                if (choices.below(2) == 0) game.board.rollBack();
                game.trial = Off;
                game.origin = EdgeRef{};
            }
            continue;
        }
        if (game.board.vertexCount() <= 1) continue;
        const EdgeRef edge = pickEdge(choices, game.board);
        if (!game.board.hasEdge(edge)) continue;
        if (what < 6) {
            game.board.markEdge(edge);
        } else {
            game.board.crossEdge(edge);
        }
        if (game.trial == Armed) {
            game.trial = Started;
            game.origin = edge;
        }
    }
    game.elapsed = static_cast<std::int32_t>(choices.below(kMaxElapsed + 1));
    if (choices.below(4) == 0) {
        // A solve: its clear time is kept, and the game is saved as solved.
        game.solved = true;
        ProgressRecord* record = store.currentProgress();
        FUZZ_CHECK(record != nullptr);
        record->clearTimes[store.currentPuzzle] = static_cast<std::int16_t>(game.elapsed);
    }
}

// The collection in use is the save file itself (its name may say so): then
// every save changes the collection, and a round trip cannot be the same.
bool collectionIsSaveFile(const ProgressStore& store) {
    std::error_code ec;
    const fs::path named = folder() / std::string(store.collectionName);
    return fs::equivalent(named, folder() / "quorrin.sav", ec) ||
           fs::equivalent(named, folder() / "quorrin.sav.tmp", ec);
}

}  // namespace
}  // namespace quorrin::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    quorrin::fuzz::setUpFolder();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorrin;
    using namespace quorrin::fuzz;
    const fs::path save = folder() / "quorrin.sav";
    std::error_code ec;
    fs::remove(folder() / "quorrin.sav.tmp", ec);
    writeFile(save, data, size);
    Choices choices(data, size);
    checkCodec(data, size);

    auto store = std::make_unique<ProgressStore>();
    Game game;
    const bool started = game.start(*store);
    checkRecords(*store);
    const std::vector<ProgressRecord> inFile = fileRecords(data, size);
    FUZZ_CHECK(store->records.size() == inFile.size() ||
               store->records.size() == inFile.size() + 1);
    for (std::size_t i = 0; i < inFile.size(); ++i) {
        FUZZ_CHECK(sameRecord(store->records[i], inFile[i]));
    }
    if (started) {
        checkStarted(*store, game, data, size);
    } else {
        FUZZ_CHECK(game.solved && game.elapsed == 0 && game.trial == Off);
        openCollection(*store, game, choices.below(4) == 0 ? "b.dat" : "easy.dat");
        // The game starts the puzzle chosen.
        game.solved = false;
        checkBoard(game.board);
    }
    if (collectionIsSaveFile(*store)) return 0;

    const bool played = choices.below(2) == 0;
    if (played) play(*store, game, choices);
    checkBoard(game.board);

    FUZZ_CHECK(store->writeSaveFile(game.board, game.resume(), game.origin, game.elapsed));
    const std::vector<std::uint8_t> written = readFile(save);
    FUZZ_CHECK(written.size() == kSaveHeaderBytes + kRecordBytes * store->records.size());
    FUZZ_CHECK(!fs::exists(folder() / "quorrin.sav.tmp"));

    auto again = std::make_unique<ProgressStore>();
    Game resumed;
    FUZZ_CHECK(resumed.start(*again));
    checkStarted(*again, resumed, written.data(), written.size());

    // The same store.
    FUZZ_CHECK(again->records.size() == store->records.size());
    for (std::size_t i = 0; i < store->records.size(); ++i) {
        FUZZ_CHECK(sameRecord(again->records[i], store->records[i]));
    }
    FUZZ_CHECK(std::memcmp(again->collectionName, store->collectionName, kNameBytes) == 0);
    FUZZ_CHECK(again->currentRecord == store->currentRecord);
    const std::int32_t puzzleBefore = store->currentPuzzle;
    if (game.solved) {
        // A game saved as solved moves on to the next uncleared puzzle.
        store->selectNextUncleared();
    }
    FUZZ_CHECK(again->currentPuzzle == store->currentPuzzle);

    // The same game.
    FUZZ_CHECK(resumed.solved == game.solved);
    if (!game.solved) {
        FUZZ_CHECK(resumed.board.width == game.board.width);
        FUZZ_CHECK(resumed.board.height == game.board.height);
        FUZZ_CHECK(resumed.board.codes == game.board.codes);
        FUZZ_CHECK(resumed.board.clues == game.board.clues);
        FUZZ_CHECK(resumed.elapsed == game.elapsed);
        // A started trial whose origin is the edge it started on.
        FUZZ_CHECK(resumed.trial == game.trial);
        FUZZ_CHECK(resumed.origin == game.origin);
        if (!played) FUZZ_CHECK(resumed.board.snapshot == game.board.snapshot);
    } else if (again->currentPuzzle == puzzleBefore && !played) {
        // Nothing played on a puzzle started afresh: the same fresh board.
        FUZZ_CHECK(resumed.board.codes == game.board.codes);
    }

    // Saving the read-back game writes the same bytes again.
    FUZZ_CHECK(
        again->writeSaveFile(resumed.board, resumed.resume(), resumed.origin, resumed.elapsed));
    const std::vector<std::uint8_t> rewritten = readFile(save);
    if (!game.solved) FUZZ_CHECK(rewritten == written);
    return 0;
}
