// Loading, restoring and the clue states of the board.
#include <gtest/gtest.h>

#include <vector>

#include "board_fixtures.h"

namespace quorrin {
namespace {

using test::clueAt;
using test::codeAt;
using test::countEdges;
using test::downOf;
using test::entryOf;
using test::rightOf;
using test::setEdge;

TEST(BoardLoad, ZeroClueInCornerCrossesAllFourSides) {
    Board b;
    b.load(entryOf({"0..", "...", "..."}));
    EXPECT_EQ(b.edgeState(rightOf(b, 0, 0)), Cross);
    EXPECT_EQ(b.edgeState(downOf(b, 0, 0)), Cross);
    EXPECT_EQ(b.edgeState(downOf(b, 0, 1)), Cross);
    EXPECT_EQ(b.edgeState(rightOf(b, 1, 0)), Cross);
    EXPECT_EQ(countEdges(b, Cross), 4);
    EXPECT_EQ(codeAt(b, 0, 0), 4);
    EXPECT_EQ(codeAt(b, 0, 1), 1);
    EXPECT_EQ(codeAt(b, 1, 0), 3);
    EXPECT_EQ(clueAt(b, 0, 0), 8);
}

TEST(BoardLoad, ZeroCluesTouchingAtACornerCrossEightSides) {
    // Both diagonal orientations; the shared corner ends with code 4.
    Board a;
    a.load(entryOf({"0..", ".0.", "..."}));
    EXPECT_EQ(countEdges(a, Cross), 8);
    EXPECT_EQ(codeAt(a, 1, 1), 4);

    Board b;
    b.load(entryOf({".0.", "0..", "..."}));
    EXPECT_EQ(countEdges(b, Cross), 8);
    EXPECT_EQ(codeAt(b, 1, 1), 4);
    EXPECT_EQ(b.edgeState(rightOf(b, 1, 0)), Cross);  // top of the lower cell
    EXPECT_EQ(b.edgeState(downOf(b, 0, 2)), Cross);   // right of the upper cell
}

TEST(BoardLoad, ZeroCluesSideBySideShareOneSide) {
    Board b;
    b.load(entryOf({"...", ".00", "..."}));
    EXPECT_EQ(countEdges(b, Cross), 7);
    Board v;
    v.load(entryOf({"...", ".0.", ".0."}));
    EXPECT_EQ(countEdges(v, Cross), 7);
}

TEST(BoardLoad, ClueStatesAfterLoad) {
    Board b;
    b.load(entryOf({"0123", "...."}));
    EXPECT_EQ(clueAt(b, 0, 0), 8);
    EXPECT_EQ(clueAt(b, 0, 1), 1);
    EXPECT_EQ(clueAt(b, 0, 2), 2);
    EXPECT_EQ(clueAt(b, 0, 3), 3);
    for (int r = 0; r <= 2; ++r) {
        for (int c = 0; c <= 4; ++c) {
            if (r == 0 && c < 4) continue;
            EXPECT_EQ(clueAt(b, r, c), kNoClue) << r << "," << c;
        }
    }
    EXPECT_FALSE(b.isSolved());
}

TEST(BoardLoad, EmptyPuzzleGivesSingleVertex) {
    PuzzleEntry e;  // 0 x 0, no grid at all
    Board b;
    b.load(e);
    EXPECT_EQ(b.vertexCount(), 1);
    ASSERT_EQ(b.borders.size(), 1u);
    EXPECT_EQ(b.borders[0], 2);
    EXPECT_EQ(b.clues[0], kNoClue);
    EXPECT_FALSE(b.hasEdge(EdgeRef{0, 0}));
    EXPECT_FALSE(b.hasEdge(EdgeRef{0, 1}));
    b.markEdge(EdgeRef{0, 0});  // no edge: ignored
    EXPECT_EQ(b.codes[0], 0);
    EXPECT_FALSE(b.isSolved());
}

TEST(BoardLoad, SizesThatCannotMakeABoardGiveZeroByZero) {
    for (auto [w, h] : {std::pair{-1, 3}, std::pair{3, -5}, std::pair{100, 100}, std::pair{2047, 1},
                        std::pair{INT32_MAX, INT32_MAX}}) {
        PuzzleEntry e;
        e.width = w;
        e.height = h;
        Board b;
        b.load(e);
        EXPECT_EQ(b.width, 0);
        EXPECT_EQ(b.height, 0);
        EXPECT_EQ(b.vertexCount(), 1);
    }
    // The largest board that fits: 1023 x 1 has 2048 vertices.
    PuzzleEntry big;
    big.width = 1023;
    big.height = 1;
    big.clues.assign(2048, 255);
    Board b;
    b.load(big);
    EXPECT_EQ(b.vertexCount(), 2048);
}

TEST(BoardLoad, StrayClueBytesAndShortGridsReadAsNoClue) {
    PuzzleEntry e = entryOf({"1.", ".."});
    e.clues[1] = 7;     // not a clue value
    e.clues[2] = 3;     // a pad slot
    e.clues.resize(4);  // shorter than the 3 x 3 grid
    Board b;
    b.load(e);
    ASSERT_EQ(b.clues.size(), 9u);
    EXPECT_EQ(b.clues[0], 1);
    for (std::size_t i = 1; i < 9; ++i) EXPECT_EQ(b.clues[i], kNoClue) << i;
}

TEST(BoardBorders, Classes) {
    Board one = test::emptyBoard(1, 1);
    for (std::uint8_t c : one.borders) EXPECT_EQ(c, 2);
    Board b = test::emptyBoard(3, 2);
    EXPECT_EQ(b.borders[1 * 4 + 2], 0);
    EXPECT_EQ(b.borders[0 * 4 + 1], 1);
    EXPECT_EQ(b.borders[1 * 4 + 3], 1);
    EXPECT_EQ(b.borders[2 * 4 + 3], 2);
}

TEST(BoardClues, StatusFollowsLineSides) {
    Board b;
    b.load(entryOf({"...", ".2.", "..."}));
    setEdge(b, rightOf(b, 1, 1), Line);
    EXPECT_EQ(clueAt(b, 1, 1), 2);
    setEdge(b, downOf(b, 1, 1), Line);
    EXPECT_EQ(clueAt(b, 1, 1), 10);
    setEdge(b, downOf(b, 1, 2), Line);
    EXPECT_EQ(clueAt(b, 1, 1), 6);
    b.updateClueStates();
    EXPECT_EQ(clueAt(b, 1, 1), 6);  // recomputing keeps the value
    setEdge(b, rightOf(b, 2, 1), Line);
    EXPECT_EQ(clueAt(b, 1, 1), 6);  // four sides: still over
    setEdge(b, rightOf(b, 1, 1), Cross);
    setEdge(b, downOf(b, 1, 1), Empty);
    EXPECT_EQ(clueAt(b, 1, 1), 10);
}

TEST(BoardRestore, ClueStatesComeFromSavedLines) {
    Board fresh;
    const PuzzleEntry e = entryOf({"3.", ".0"});
    fresh.load(e);
    Board b = fresh;
    setEdge(b, rightOf(b, 0, 0), Line);
    setEdge(b, downOf(b, 0, 0), Line);
    setEdge(b, rightOf(b, 1, 0), Line);
    const std::vector<std::uint8_t> saved = b.codes;

    Board r;
    r.load(entryOf({"...."}));  // an earlier, different puzzle
    r.restore(e, saved.data());
    EXPECT_EQ(r.width, 2);
    EXPECT_EQ(r.codes, saved);
    EXPECT_EQ(clueAt(r, 0, 0), 11);
    EXPECT_EQ(clueAt(r, 1, 1), 8);
    EXPECT_EQ(r.borders, fresh.borders);
    EXPECT_EQ(r.snapshot, saved);
}

TEST(BoardRestore, RepairsCodesThatNameNoEdge) {
    const PuzzleEntry e = entryOf({"..", ".."});  // 3 x 3 vertices
    std::vector<std::uint8_t> saved(9, 0);
    saved[0] = 9;    // not a code
    saved[1] = 255;  // not a code
    saved[2] = 8;    // column W: right edge leads off the board
    saved[6] = 8;    // row H: down edge leads off the board
    saved[8] = 4;    // bottom-right corner: both edges off
    saved[4] = 5;    // fine: right Cross, down Line
    Board b;
    b.restore(e, saved.data());
    const std::vector<std::uint8_t> expected{0, 0, 2, 0, 5, 0, 6, 0, 0};
    EXPECT_EQ(b.codes, expected);
    EXPECT_TRUE(b.traceSingleLoop() == false);
}

TEST(BoardSnapshot, RollBackRightAfterSnapshotChangesNothing) {
    Board b;
    b.load(entryOf({"1.", ".2"}));
    b.markEdge(rightOf(b, 0, 0));
    const auto codes = b.codes;
    const auto clues = b.clues;
    b.takeSnapshot();
    b.rollBack();
    EXPECT_EQ(b.codes, codes);
    EXPECT_EQ(b.clues, clues);
}

TEST(BoardSnapshot, RollBackRestoresSnapshotAndClueStates) {
    Board b;
    b.load(entryOf({"1.", ".."}));
    b.takeSnapshot();
    b.markEdge(rightOf(b, 1, 0));
    EXPECT_EQ(clueAt(b, 0, 0), 9);
    b.rollBack();
    EXPECT_EQ(b.edgeState(rightOf(b, 1, 0)), Empty);
    EXPECT_EQ(clueAt(b, 0, 0), 1);
}

TEST(BoardSnapshot, RollBackAfterRestoreGivesTheBoardAsResumed) {
    const PuzzleEntry e = entryOf({"1.", ".."});
    Board played;
    played.load(e);
    played.markEdge(rightOf(played, 1, 0));
    const auto saved = played.codes;

    Board b;
    b.restore(e, saved.data());
    b.markEdge(downOf(b, 0, 2));
    b.crossEdge(rightOf(b, 1, 0));
    b.rollBack();
    EXPECT_EQ(b.codes, saved);
    EXPECT_EQ(clueAt(b, 0, 0), 9);
}

TEST(BoardEdges, HasEdgeAndEdgeState) {
    Board b = test::emptyBoard(2, 1);  // 3 x 2 vertices
    EXPECT_TRUE(b.hasEdge(EdgeRef{0, 0}));
    EXPECT_TRUE(b.hasEdge(EdgeRef{2, 1}));
    EXPECT_FALSE(b.hasEdge(EdgeRef{2, 0}));  // column W
    EXPECT_FALSE(b.hasEdge(EdgeRef{3, 1}));  // row H
    EXPECT_FALSE(b.hasEdge(EdgeRef{-1, 0}));
    EXPECT_FALSE(b.hasEdge(EdgeRef{6, 0}));
    EXPECT_FALSE(b.hasEdge(EdgeRef{0, 2}));
    EXPECT_EQ(b.edgeState(EdgeRef{6, 0}), Empty);
    b.crossEdge(EdgeRef{2, 0});
    b.markEdge(EdgeRef{5, 1});
    b.markEdge(EdgeRef{-1, 0});
    for (std::uint8_t c : b.codes) EXPECT_EQ(c, 0);
}

}  // namespace
}  // namespace quorrin
