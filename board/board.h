// The puzzle in play: its size, clue states, edge states, trial snapshot and
// border classes, each a flat byte grid of (W+1) x (H+1) entries indexed by
// vertex (row * (W+1) + column).
#pragma once

#include <cstdint>
#include <vector>

namespace quorrin {

struct PuzzleEntry;

// State of one edge.
enum EdgeState : std::uint8_t { Empty = 0, Cross = 1, Line = 2 };

// One edge, named by the vertex that owns it: the edge to its right
// (vertical 0) or the edge below it (vertical 1). vertex -1 names no edge.
struct EdgeRef {
    std::int32_t vertex = -1;
    std::uint8_t vertical = 0;

    bool valid() const { return vertex >= 0; }
    friend bool operator==(const EdgeRef& a, const EdgeRef& b) {
        return a.vertex == b.vertex && a.vertical == b.vertical;
    }
    friend bool operator!=(const EdgeRef& a, const EdgeRef& b) { return !(a == b); }
};

// A vertex code is 3 x (state of the right edge) + (state of the down edge),
// 0 to 8; the same number is the glyph that draws the vertex.
constexpr int vertexCode(EdgeState right, EdgeState down) {
    return 3 * right + down;
}

// Clue state byte: 255 no clue; otherwise value (0..3) + 4 when over,
// + 8 when exact.
constexpr std::uint8_t kNoClue = 255;
constexpr std::uint8_t kClueOver = 4;
constexpr std::uint8_t kClueExact = 8;

// Largest grid a board may have: (W+1) x (H+1) vertices, the size of the
// grid area of the save file.
constexpr std::int32_t kMaxVertices = 2048;

// The board sizes there are: at least one cell each way, and a grid of at
// most kMaxVertices vertices. Any 64-bit sizes may be asked about.
constexpr bool boardSizeFits(std::int64_t width, std::int64_t height) {
    return width >= 1 && height >= 1 && width < kMaxVertices && height < kMaxVertices &&
           (width + 1) * (height + 1) <= kMaxVertices;
}

class Board {
  public:
    std::int32_t width = 0;              // W, cell columns
    std::int32_t height = 0;             // H, cell rows
    std::vector<std::uint8_t> clues;     // clue state per cell slot, pads 255
    std::vector<std::uint8_t> codes;     // vertex code per vertex
    std::vector<std::uint8_t> snapshot;  // copy of codes for trial mode
    std::vector<std::uint8_t> borders;   // directions off the board per vertex

    // Number of vertices, (W+1) x (H+1); 0 before the first load.
    std::int32_t vertexCount() const { return static_cast<std::int32_t>(codes.size()); }

    // Set up a fresh game of the puzzle, zero clues pre-crossed. An entry
    // whose size boardSizeFits refuses gives a 0 x 0 board (one vertex, no
    // edges).
    void load(const PuzzleEntry& entry);
    // Set up a saved game: the first (W+1) x (H+1) bytes of savedCodes.
    // Codes above 8 become 0 and edges leading off the board become Empty.
    // The snapshot holds the restored codes, so a rollBack returns to the
    // board as it was restored.
    void restore(const PuzzleEntry& entry, const std::uint8_t* savedCodes);
    void updateClueStates();
    void computeBorders();
    void takeSnapshot();
    void rollBack();

    // Left click: step Empty -> Line -> Cross -> Empty, refusing impossible lines.
    // A reference to no edge of the board is ignored.
    void markEdge(EdgeRef e);
    // Right click: Empty -> Cross, Cross or Line -> Empty. A reference to no
    // edge of the board is ignored.
    void crossEdge(EdgeRef e);

    // One closed loop and every clue exact. Leaves codes unchanged.
    bool isSolved();
    // The Line edges form one loop (every vertex has 0 or 2 Line edges).
    bool traceSingleLoop();

    // State of an existing edge; Empty for a reference to no edge.
    EdgeState edgeState(EdgeRef e) const;
    // Put an existing edge into a state directly, without the marking rules,
    // then recompute the clue states. A reference to no edge changes nothing.
    void setEdgeState(EdgeRef e, EdgeState state);

    // True when e names an edge of this board (vertex in range, vertical 0 or
    // 1, and the edge does not lead off the board).
    bool hasEdge(EdgeRef e) const;
    // Line edges at v over all four directions.
    int linesAt(std::int32_t v) const;
    // Closed directions at v: crossed edges plus directions off the board.
    int blockedAt(std::int32_t v) const;
};

}  // namespace quorrin
