// The history of steps against a model that keeps every state whole: random
// actions of every kind (marks, crosses, arming, commit, roll back,
// restart), undone and redone at random, each undo and redo compared with
// the state the model kept, then a board of another size; and its size for
// the largest boards. (Clearing it: the game's scenarios, where another
// puzzle starts without steps.)
#include <gtest/gtest.h>

#include <random>
#include <tuple>

#include "app/history.h"
#include "board/puzzle_entry.h"

namespace quorrin::test {
namespace {

struct Game {
    Board board;
    TrialMode trial = Off;
    EdgeRef origin;
    GameState state() { return GameState{board, trial, origin}; }
};

using Whole = std::tuple<std::vector<std::uint8_t>, std::vector<std::uint8_t>,
                         std::vector<std::uint8_t>, TrialMode, std::int32_t, std::uint8_t>;
Whole whole(const Game& g) {
    return {g.board.codes, g.board.clues,   g.board.snapshot,
            g.trial,       g.origin.vertex, g.origin.vertical};
}

PuzzleEntry puzzle(std::int32_t width, std::int32_t height, std::mt19937& random) {
    PuzzleEntry entry;
    entry.width = width;
    entry.height = height;
    entry.clues.assign(static_cast<std::size_t>((width + 1) * (height + 1)), kNoClue);
    for (std::int32_t r = 0; r < height; ++r)
        for (std::int32_t c = 0; c < width; ++c)
            if (random() % 3 == 0)
                entry.clues[static_cast<std::size_t>(r * (width + 1) + c)] =
                    static_cast<std::uint8_t>(random() % 4);
    return entry;
}

// One action of the player, as the game's handlers make it: 0-59 a left
// click, 60-89 a right click, then arming or commit, roll back, restart.
void act(Game& g, const PuzzleEntry& entry, std::uint32_t roll, std::uint32_t where) {
    const std::int32_t columns = g.board.width + 1;
    EdgeRef e{static_cast<std::int32_t>(where % static_cast<std::uint32_t>(g.board.vertexCount())),
              static_cast<std::uint8_t>(where >> 16 & 1)};
    if (!g.board.hasEdge(e)) e = EdgeRef{e.vertex - e.vertex % columns, 0};
    if (roll < 90) {
        roll < 60 ? g.board.markEdge(e) : g.board.crossEdge(e);
        if (g.trial == Armed) {
            g.trial = Started;
            g.origin = e;
        }
    } else if (roll < 95) {
        if (g.trial == Off) {
            g.trial = Armed;
            g.board.takeSnapshot();
        } else {
            g.trial = Off;
            g.origin = EdgeRef{};
        }
    } else if (roll < 99) {
        if (g.trial == Off) return;
        g.trial = Off;
        g.origin = EdgeRef{};
        g.board.rollBack();
    } else {
        g.board.load(entry);
        g.trial = Off;
        g.origin = EdgeRef{};
    }
}

TEST(History, UndoAndRedoBringBackEveryStateExactly) {
    std::mt19937 random(11);
    for (const auto& [width, height] : {std::pair{1, 1}, std::pair{5, 4}, std::pair{62, 31}}) {
        SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
        const PuzzleEntry entry = puzzle(width, height, random);
        Game g;
        g.board.load(entry);
        History history;
        std::vector<Whole> states{whole(g)};  // the model: every state, and where we are
        std::size_t at = 0;
        for (int i = 0; i < 20000; ++i) {
            const auto roll = static_cast<std::uint32_t>(random() % 130);
            if (roll < 100) {
                history.begin(g.state());
                act(g, entry, roll, static_cast<std::uint32_t>(random()));
                const bool changed = whole(g) != states[at];
                ASSERT_EQ(history.end(g.state()), changed) << i;
                if (changed) {
                    states.resize(at + 1);
                    states.push_back(whole(g));
                    ++at;
                }
            } else {
                const bool back = roll < 118;
                const bool can = back ? at > 0 : at + 1 < states.size();
                ASSERT_EQ(back ? history.canUndo() : history.canRedo(), can) << i;
                ASSERT_EQ(back ? history.undo(g.state()) : history.redo(g.state()), can) << i;
                if (can) at += back ? -1 : 1;
                ASSERT_TRUE(whole(g) == states[at]) << i << (back ? " undo" : " redo");
            }
        }
        EXPECT_EQ(history.steps(), states.size() - 1);
        // All the way back and forth again.
        while (history.undo(g.state())) ASSERT_TRUE(whole(g) == states[--at]);
        EXPECT_EQ(at, 0u);
        while (history.redo(g.state())) ASSERT_TRUE(whole(g) == states[++at]);
        EXPECT_EQ(at, states.size() - 1);
        // A board of another size (which the game never brings into one
        // history) makes no step of the whole board: every step is forgotten.
        history.begin(g.state());
        g.board.load(puzzle(width + 1, height, random));
        EXPECT_FALSE(history.end(g.state()));
        EXPECT_FALSE(history.canUndo() || history.canRedo());
    }
}

// The largest board with clues, 100,000 steps: marks in the main, now and
// then a trial armed, committed or rolled back, and a restart. Its bytes,
// and those of the same count of marks alone, a few bytes a step.
TEST(History, HundredThousandStepsOnTheLargestBoardStayUnderTenMegabytes) {
    std::mt19937 random(3);
    const PuzzleEntry entry = puzzle(62, 31, random);
    for (const std::uint32_t kinds : {90u, 100u}) {
        Game g;
        g.board.load(entry);
        History history;
        for (int steps = 0; steps < 100000;) {
            history.begin(g.state());
            act(g, entry, static_cast<std::uint32_t>(random()) % kinds,
                static_cast<std::uint32_t>(random()));
            steps += history.end(g.state()) ? 1 : 0;
        }
        ASSERT_EQ(history.steps(), 100000u);
        const double perStep = static_cast<double>(history.bytes()) / 100000.0;
        RecordProperty(kinds == 90 ? "bytes_per_mark" : "bytes_per_step", std::to_string(perStep));
        EXPECT_LT(history.bytes(), 10u * 1000 * 1000);
        if (kinds == 90) {
            EXPECT_LE(perStep, 8.0);
        }
    }
}

}  // namespace
}  // namespace quorrin::test
