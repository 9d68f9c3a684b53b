// Random play through the fake window system: events a player (and the
// window system) can cause, made from a seed so that a session can be
// played again, and the checks that must hold after every one of them.
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "tests/app/game_fixture.h"

namespace quorrin::test {

struct RandomEvent {
    enum Kind { Move, Left, Right, Tick, Resize, Command, Solve, EndSession } kind = Tick;
    std::int32_t x = 0, y = 0;  // a point, or a client size; x < 0: the edge numbered y
    int command = 0;
    std::uint32_t answers = 0;  // random bits for the confirmations and the dialog
};

// count events; client sizes up to maxWidth x maxHeight.
std::vector<RandomEvent> randomEvents(std::uint32_t seed, int count, std::int32_t maxWidth,
                                      std::int32_t maxHeight);

// Queue the events on the session's message loop.
void queueEvents(Session& session, const std::vector<RandomEvent>& events);

// What must hold after every event: the window shows the back buffer, the
// back buffer is what drawing the game's state from scratch gives, and the
// board's codes and clue states agree. Empty when all holds; else what not.
std::string checkScreenAndBoard(const GameApp& app, const FakeWindows& windows);

// The game written to the save file and read back as a new run would: the
// same game in play (or, after a solve, the same clear times). Empty when
// it is; else what differs.
std::string checkSaveRoundTrip(GameApp& app);

}  // namespace quorrin::test
