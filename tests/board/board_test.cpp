// Loading and restoring boards, borders, edges and the trial snapshot.
#include <gtest/gtest.h>

#include <vector>

#include "board_fixtures.h"

namespace quorrin {
namespace {

using namespace test;

TEST(BoardLoad, ZeroCluesArePreCrossed) {
    // A corner cell; cells touching at a corner, both ways; cells side by
    // side sharing one side, both ways.
    for (auto [rows, crosses] :
         {std::pair{"0../.../...", 4}, std::pair{"0../.0./...", 8}, std::pair{".0./0../...", 8},
          std::pair{".../.00/...", 7}, std::pair{".../.0./.0.", 7}}) {
        const Board b = loaded(entryOf(rows));
        int n = 0;
        for (std::uint8_t code : b.codes) n += (code / 3 == Cross) + (code % 3 == Cross);
        EXPECT_EQ(n, crosses) << rows;
        EXPECT_EQ(b.snapshot, b.codes);  // a rollBack keeps the crosses
    }
    EXPECT_EQ(clueAt(loaded(entryOf("0.")), 0, 0), kClueExact);
}

TEST(BoardLoad, SizesThatCannotMakeABoardGiveZeroByZero) {
    for (auto [w, h] : {std::pair{0, 0}, std::pair{-1, 3}, std::pair{3, -5}, std::pair{100, 100},
                        std::pair{2047, 1}, std::pair{INT32_MAX, INT32_MAX}}) {
        PuzzleEntry e;  // no grid at all
        e.width = w;
        e.height = h;
        Board b = loaded(e);
        EXPECT_EQ(b.width, 0);
        EXPECT_EQ(b.height, 0);
        EXPECT_EQ(b.borders, std::vector<std::uint8_t>{2});
        EXPECT_EQ(b.clues, std::vector<std::uint8_t>{kNoClue});
        b.markEdge(EdgeRef{0, 0});  // no edge: ignored
        b.crossEdge(EdgeRef{0, 1});
        EXPECT_EQ(b.codes, std::vector<std::uint8_t>{0});
        EXPECT_FALSE(b.isSolved());
    }
    PuzzleEntry big;  // the largest that fits: 1024 x 2 vertices
    big.width = 1023;
    big.height = 1;
    EXPECT_EQ(loaded(big).vertexCount(), 2048);
}

TEST(BoardLoad, StrayClueBytesAndShortGridsReadAsNoClue) {
    PuzzleEntry e = entryOf("1./..");
    e.clues[1] = 7;     // not a clue value
    e.clues[2] = 3;     // a pad slot
    e.clues.resize(4);  // shorter than the 3 x 3 grid
    const Board b = loaded(e);
    EXPECT_EQ(b.clues, (std::vector<std::uint8_t>{1, 255, 255, 255, 255, 255, 255, 255, 255}));
}

TEST(BoardEdges, ReferencesToNoEdgeAreIgnored) {
    Board b = emptyBoard(3, 1);  // 4 x 2 vertices
    ASSERT_TRUE(b.hasEdge(EdgeRef{3, 1}));
    // Column W, row H, out of range, no such orientation.
    for (const EdgeRef e :
         {EdgeRef{3, 0}, EdgeRef{4, 1}, EdgeRef{-1, 0}, EdgeRef{8, 0}, EdgeRef{0, 2}}) {
        EXPECT_FALSE(b.hasEdge(e)) << e.vertex << "," << int(e.vertical);
        b.markEdge(e);
        b.crossEdge(e);
        EXPECT_EQ(b.edgeState(e), Empty);
    }
    EXPECT_EQ(b.codes, std::vector<std::uint8_t>(8, 0));
}

TEST(BoardRestore, SavedCodesWithTheirClueStatesAndSnapshot) {
    const PuzzleEntry e = entryOf("3./.0");
    Board played = loaded(e);
    for (const E line : {E{0, 0, false}, E{0, 0, true}, E{1, 0, false}})
        setEdge(played, line, Line);
    const std::vector<std::uint8_t> saved = played.codes;

    Board r = loaded(entryOf("...."));  // an earlier, different puzzle
    r.restore(e, saved.data());
    EXPECT_EQ(r.codes, saved);
    EXPECT_EQ(clueAt(r, 0, 0), 3 + kClueExact);
    EXPECT_EQ(clueAt(r, 1, 1), kClueExact);
    EXPECT_EQ(r.borders, played.borders);
    // A rollBack goes back to the board as restored.
    r.markEdge(edgeOf(r, {0, 2, true}));
    r.crossEdge(edgeOf(r, {1, 0, false}));
    r.rollBack();
    EXPECT_EQ(r.codes, saved);
    EXPECT_EQ(clueAt(r, 0, 0), 3 + kClueExact);

    // Not codes (9, 255), right edges in column W, down edges in row H.
    const std::vector<std::uint8_t> damaged{9, 255, 8, 0, 5, 0, 8, 0, 4};
    r.restore(entryOf("../.."), damaged.data());
    EXPECT_EQ(r.codes, (std::vector<std::uint8_t>{0, 0, 2, 0, 5, 0, 6, 0, 0}));
}

TEST(BoardSnapshot, RollBackRestoresSnapshotAndClueStates) {
    Board b = loaded(entryOf("1./.."));
    b.markEdge(edgeOf(b, {0, 1, false}));
    b.takeSnapshot();
    const auto codes = b.codes;
    const auto clues = b.clues;
    b.rollBack();  // right after the snapshot: nothing changes
    EXPECT_EQ(b.codes, codes);
    b.markEdge(edgeOf(b, {1, 0, false}));
    EXPECT_EQ(clueAt(b, 0, 0), 1 + kClueExact);
    b.rollBack();
    EXPECT_EQ(b.codes, codes);
    EXPECT_EQ(b.clues, clues);
}

}  // namespace
}  // namespace quorrin
