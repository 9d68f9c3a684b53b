// The game state that start-up hands to the store, and collection texts.
#pragma once

#include <string>

#include "board/board.h"
#include "store/progress_store.h"
#include "temp_folder.h"

namespace quorrin::test {

struct Game {
    std::int32_t elapsed = 0;
    bool solved = true;
    TrialMode trial = Off;
    EdgeRef origin;
    Board board;

    bool start(ProgressStore& store) {
        return store.loadAtStartup(elapsed, solved, trial, origin, board);
    }
};

// Three small puzzles.
inline const std::string kEasy = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/2\n";

class StoreTest : public TempFolderTest {
  protected:
    // First run: no save file; the player opens a collection.
    void openFirst(ProgressStore& store, const char* name, Game& game) {
        ASSERT_FALSE(game.start(store));
        ASSERT_TRUE(store.setCollectionName(name));
        ASSERT_TRUE(store.loadCollection());
        store.selectNextUncleared();
        game.board.load(store.collection.puzzles[store.currentPuzzle]);
        game.solved = false;
    }
    void writeCollection(const char* name, const std::string& text) {
        writeBytes(file(name), text);
    }
};

}  // namespace quorrin::test
