// The game state that start-up hands over from the store and shut-down saves,
// for the store's tests and the save-file fuzz target (which has no GoogleTest).
#pragma once

#include <cstdint>

#include "board/board.h"
#include "store/progress_store.h"

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

}  // namespace quorrin::test
