// A game in a temporary folder beside its collection files, run through the
// fake window system, and what tests need around it: the point that hits an
// edge, a puzzle's solution as edges, the save file as the store reads it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/game_app.h"
#include "screen/bitmap.h"
#include "tests/app/fake_windows.h"
#include "tests/store/store_fixtures.h"

namespace quorrin::test {

// The fake window system and the game on it.
struct Session {
    FakeWindows windows;
    GameApp app{windows};

    explicit Session(RedrawMode mode = RedrawMode::Partial) {
        windows.app = &app;
        app.redrawMode = mode;
        app.screen.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
    }
};

struct Point {
    std::int32_t x, y;
};

// A client point whose hit-test gives the edge.
Point edgePoint(const GameApp& app, EdgeRef edge);

// The edges of a solution of the puzzle.
std::vector<EdgeRef> solutionOf(const PuzzleEntry& entry);

// Moves the pointer to the edge and clicks it, as the player does.
void clickEdge(FakeWindows& windows, EdgeRef edge, bool right = false);
// Moves the pointer to the point and clicks it.
void clickAt(FakeWindows& windows, std::int32_t x, std::int32_t y, bool right = false);
// A left click on toolbar button i.
void clickButton(FakeWindows& windows, int button);
void ticks(FakeWindows& windows, int count);

// Three small puzzles, each with a solution: 2 x 2, 3 x 2 and 1 x 1.
inline const std::string kSmall = "1/2/2/3./..\n2/2/3/.2./1..\n3/1/1/.\n";

class GameTest : public StoreTest {
  protected:
    // The first shipped collection, as "first.dat".
    void shipFirstCollection();
    // The save file as the store reads it back; false when there is none.
    bool readSave(ProgressStore& saved) const;
};

}  // namespace quorrin::test
