// The fixed geometry of one board size for the loop solver: which dots and
// cells each edge joins, which edges and dots each cell and dot has, the
// pairs of edges that meet at each dot (its quadrants), and the row and
// column of every item of the propagation queue. Built once per solver; the
// rules, the lookahead and the search read it in their inner loops, so it is
// all tables and no arithmetic.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "loop_solver.h"

namespace quorrin {
namespace detail {

// Fixed geometry of one board size.
struct Geometry {
    int w = 0, h = 0;
    int cells = 0, dots = 0, edges = 0;
    std::vector<std::array<int, 2>> edgeDots;   // the two dots of an edge
    std::vector<std::array<int, 2>> edgeCells;  // the cells on either side, -1 off the board
    std::vector<std::array<int, 4>> cellEdges;  // top, right, bottom, left
    // The dots at a cell's corners: top-left, top-right, bottom-right, bottom-left.
    std::vector<std::array<int, 4>> cellCorners;
    std::vector<std::array<int, 4>> dotEdges;  // up, right, down, left; -1 off the board
    // Quadrants of a dot: 0 up-left, 1 up-right, 2 down-right, 3 down-left.
    std::vector<std::array<std::array<int, 2>, 4>> quadEdges;
    std::vector<std::array<int, 4>> quadCells;
    std::vector<std::uint8_t> offBoard;  // directions of a dot that lead off the board
    // Two set bits for each edge of a dot that is off the board.
    std::vector<std::uint8_t> offBoardBits;
    // Where an edge's state sits in each of its dots' edge bits (State::dotBits).
    std::vector<std::array<std::uint8_t, 2>> edgeShift;
    // Row and column of every item of the propagation queue: the cells, then
    // the dots.
    std::vector<std::int16_t> itemRow, itemCol;
    // From a dot to the dot one step up, right, down and left (as dotEdges).
    std::array<int, 4> dotStep{};

    void build(int width, int height);

    // The edge between two neighbouring dots, -1 for dots that are none.
    int edgeBetween(int a, int b) const {
        const size_t ia = static_cast<size_t>(cells + a), ib = static_cast<size_t>(cells + b);
        const int ra = itemRow[ia], ca = itemCol[ia], rb = itemRow[ib], cb = itemCol[ib];
        if (ra == rb && (ca - cb == 1 || cb - ca == 1))
            return horizontalEdge(w, ra, std::min(ca, cb));
        if (ca == cb && (ra - rb == 1 || rb - ra == 1))
            return verticalEdge(w, h, std::min(ra, rb), ca);
        return -1;
    }
};

}  // namespace detail
}  // namespace quorrin
