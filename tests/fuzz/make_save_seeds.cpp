// Writes the seed save files of the save-file target: games saved by the
// store itself in the target's folder (fresh, played, in trial mode, solved,
// several records, every puzzle cleared), and a few damaged copies.
//
//   make_save_seeds OUTPUT-FOLDER
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "board/board.h"
#include "fuzz_support.h"
#include "save_fixture.h"
#include "store/progress_store.h"

namespace {

using namespace quorrin;
using namespace quorrin::fuzz;
namespace fs = std::filesystem;

// Opens the collection as the player does at a first start, starts its
// puzzle `puzzle`, lets `play` act on the game, and saves.
std::vector<std::uint8_t> savedGame(const char* collection, int puzzle,
                                    const std::function<void(ProgressStore&, Game&)>& play,
                                    const char* then = nullptr) {
    std::error_code ec;
    fs::remove(folder() / "quorrin.sav", ec);
    ProgressStore store;
    Game game;
    FUZZ_CHECK(!game.start(store));
    FUZZ_CHECK(store.setCollectionName(collection));
    FUZZ_CHECK(store.loadCollection());
    if (then != nullptr) {
        // A second collection opened later in the run.
        FUZZ_CHECK(store.setCollectionName(then));
        FUZZ_CHECK(store.loadCollection());
    }
    store.currentPuzzle = puzzle;
    game.board.load(store.collection.puzzles[puzzle]);
    game.solved = false;
    play(store, game);
    FUZZ_CHECK(game.save(store));
    return readFile(folder() / "quorrin.sav");
}

void mark(Game& game, std::int32_t vertex, int vertical) {
    game.board.markEdge(EdgeRef{vertex, static_cast<std::uint8_t>(vertical)});
}

void put32(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
        bytes[at + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(value >> 8 * i);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_save_seeds OUTPUT-FOLDER\n");
        return 2;
    }
    const fs::path out = argv[1];
    fs::create_directories(out);
    setUpFolder();
    const auto write = [&out](const char* name, const std::vector<std::uint8_t>& bytes) {
        writeFile(out / name, bytes.data(), bytes.size());
    };
    const auto nothing = [](ProgressStore&, Game&) {};

    write("fresh.sav", savedGame("easy.dat", 0, nothing));
    write("played.sav", savedGame("easy.dat", 1, [](ProgressStore&, Game& g) {
              mark(g, 0, 0);
              mark(g, 0, 1);
              g.board.crossEdge(EdgeRef{5, 1});
              g.elapsed = 75;
          }));
    write("armed.sav", savedGame("easy.dat", 0, [](ProgressStore&, Game& g) {
              mark(g, 1, 0);
              g.board.takeSnapshot();
              g.trial = Armed;
              g.elapsed = 3599;
          }));
    write("started.sav", savedGame("easy.dat", 1, [](ProgressStore&, Game& g) {
              g.board.takeSnapshot();
              g.trial = Started;
              g.origin = EdgeRef{2, 1};
              mark(g, 2, 1);
              g.elapsed = 600;
          }));
    write("solved.sav", savedGame("easy.dat", 2, [](ProgressStore& s, Game& g) {
              mark(g, 0, 0);
              mark(g, 0, 1);
              g.elapsed = 42;
              g.solved = true;
              s.currentProgress()->clearTimes[s.currentPuzzle] = 42;
          }));
    write("wide.sav", savedGame("easy.dat", 4, [](ProgressStore&, Game& g) {
              for (std::int32_t v = 12; v < 20; ++v) mark(g, v, v % 2);
              g.board.takeSnapshot();
              g.trial = Started;
              g.origin = EdgeRef{15, 0};
              mark(g, 15, 0);
              g.elapsed = 1234;
          }));
    write("largest.sav", savedGame("easy.dat", 5, [](ProgressStore&, Game& g) {
              for (std::int32_t v = 0; v < g.board.vertexCount(); v += 37) mark(g, v, v % 2);
              g.elapsed = 3000;
          }));
    write("empty-line.sav", savedGame("easy.dat", 3, nothing));
    write("two-records.sav", savedGame(
                                 "easy.dat", 1,
                                 [](ProgressStore& s, Game& g) {
                                     s.records[0].clearTimes[0] = 12;
                                     s.records[0].clearTimes[2] = 3599;
                                     mark(g, 1, 1);
                                 },
                                 "b.dat"));
    write("all-cleared.sav", savedGame("b.dat", 0, [](ProgressStore& s, Game& g) {
              s.currentProgress()->clearTimes[0] = 30;
              s.currentProgress()->clearTimes[1] = 31;
              g.solved = true;
          }));

    // Damaged copies of a played game.
    const std::vector<std::uint8_t> good = savedGame("easy.dat", 4, [](ProgressStore& s, Game& g) {
        s.currentProgress()->clearTimes[1] = 7;
        mark(g, 3, 0);
        g.trial = Started;
        g.origin = EdgeRef{3, 0};
    });
    std::vector<std::uint8_t> bytes = good;
    bytes.resize(kSaveHeaderBytes);
    write("no-records.sav", bytes);
    bytes = good;
    put32(bytes, 64, 5);
    write("count-too-large.sav", bytes);
    put32(bytes, 64, 0xFFFFFFFFu);
    write("count-negative.sav", bytes);
    bytes = good;
    put32(bytes, 68, 29);
    write("puzzle-outside.sav", bytes);
    bytes = good;
    put32(bytes, 72, 7);
    write("resume-unknown.sav", bytes);
    bytes = good;
    put32(bytes, 76, 10);  // the right edge of the last vertex of a row
    write("origin-off-board.sav", bytes);
    bytes = good;
    bytes[88 + 5] = 9;
    write("code-too-large.sav", bytes);
    bytes = good;
    bytes[88 + 10] = 6;  // a line to the right of the last column
    write("line-off-board.sav", bytes);
    bytes = good;
    put32(bytes, 84, 0x80000000u);
    write("clock-negative.sav", bytes);
    bytes = good;
    for (std::size_t i = 0; i < 64; ++i) bytes[i] = 'x';
    write("name-without-nul.sav", bytes);
    bytes = good;
    bytes[0] = 'g';
    bytes[1] = 'o';
    write("collection-missing.sav", bytes);
    bytes = good;
    bytes[kSaveHeaderBytes + 4] = 0xFF;
    bytes[kSaveHeaderBytes + 5] = 0xFF;
    write("time-negative.sav", bytes);
    bytes = good;
    bytes.resize(100);
    write("short.sav", bytes);
    return 0;
}
