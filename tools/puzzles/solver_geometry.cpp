#include "solver_geometry.h"

#include <algorithm>

#include "loop_solver.h"

namespace quorrin {
namespace detail {

void Geometry::build(int width, int height) {
    w = width;
    h = height;
    cells = w * h;
    dots = (w + 1) * (h + 1);
    edges = edgeCount(w, h);
    edgeDots.assign(static_cast<size_t>(edges), {-1, -1});
    edgeCells.assign(static_cast<size_t>(edges), {-1, -1});
    cellEdges.assign(static_cast<size_t>(cells), {-1, -1, -1, -1});
    cellCorners.assign(static_cast<size_t>(cells), {-1, -1, -1, -1});
    dotEdges.assign(static_cast<size_t>(dots), {-1, -1, -1, -1});
    quadEdges.assign(static_cast<size_t>(dots), {});
    quadCells.assign(static_cast<size_t>(dots), {-1, -1, -1, -1});
    offBoard.assign(static_cast<size_t>(dots), 0);
    edgeShift.assign(static_cast<size_t>(edges), {0, 0});
    offBoardBits.assign(static_cast<size_t>(dots), 0);
    itemRow.assign(static_cast<size_t>(cells + dots), 0);
    itemCol.assign(static_cast<size_t>(cells + dots), 0);
    dotStep = {-(w + 1), 1, w + 1, -1};
    for (int i = 0; i < cells; ++i) {
        itemRow[static_cast<size_t>(i)] = static_cast<std::int16_t>(i / w);
        itemCol[static_cast<size_t>(i)] = static_cast<std::int16_t>(i % w);
    }
    for (int v = 0; v < dots; ++v) {
        itemRow[static_cast<size_t>(cells + v)] = static_cast<std::int16_t>(v / (w + 1));
        itemCol[static_cast<size_t>(cells + v)] = static_cast<std::int16_t>(v % (w + 1));
    }
    auto dot = [&](int r, int c) { return r * (w + 1) + c; };
    auto cell = [&](int r, int c) { return (r >= 0 && r < h && c >= 0 && c < w) ? r * w + c : -1; };
    for (int r = 0; r <= h; ++r) {
        for (int c = 0; c < w; ++c) {
            int e = horizontalEdge(w, r, c);
            edgeDots[static_cast<size_t>(e)] = {dot(r, c), dot(r, c + 1)};
            edgeCells[static_cast<size_t>(e)] = {cell(r - 1, c), cell(r, c)};
        }
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c <= w; ++c) {
            int e = verticalEdge(w, h, r, c);
            edgeDots[static_cast<size_t>(e)] = {dot(r, c), dot(r + 1, c)};
            edgeCells[static_cast<size_t>(e)] = {cell(r, c - 1), cell(r, c)};
        }
    }
    for (int r = 0; r < h; ++r) {
        for (int c = 0; c < w; ++c) {
            cellEdges[static_cast<size_t>(cell(r, c))] = {
                horizontalEdge(w, r, c), verticalEdge(w, h, r, c + 1), horizontalEdge(w, r + 1, c),
                verticalEdge(w, h, r, c)};
            cellCorners[static_cast<size_t>(cell(r, c))] = {dot(r, c), dot(r, c + 1),
                                                            dot(r + 1, c + 1), dot(r + 1, c)};
        }
    }
    for (int r = 0; r <= h; ++r) {
        for (int c = 0; c <= w; ++c) {
            size_t v = static_cast<size_t>(dot(r, c));
            auto& de = dotEdges[v];
            de[0] = r > 0 ? verticalEdge(w, h, r - 1, c) : -1;
            de[1] = c < w ? horizontalEdge(w, r, c) : -1;
            de[2] = r < h ? verticalEdge(w, h, r, c) : -1;
            de[3] = c > 0 ? horizontalEdge(w, r, c - 1) : -1;
            quadEdges[v] = {{{de[0], de[3]}, {de[0], de[1]}, {de[2], de[1]}, {de[2], de[3]}}};
            quadCells[v] = {cell(r - 1, c - 1), cell(r - 1, c), cell(r, c), cell(r, c - 1)};
            int off = 0;
            unsigned bits = 0;
            for (size_t d = 0; d < 4; ++d) {
                off += de[d] < 0 ? 1 : 0;
                bits |= de[d] < 0 ? 3u << (2 * d) : 0u;
                if (de[d] >= 0) {
                    const size_t e = static_cast<size_t>(de[d]);
                    edgeShift[e][edgeDots[e][0] == static_cast<int>(v) ? 0 : 1] =
                        static_cast<std::uint8_t>(2 * d);
                }
            }
            offBoard[v] = static_cast<std::uint8_t>(off);
            offBoardBits[v] = static_cast<std::uint8_t>(bits);
        }
    }
}

}  // namespace detail
}  // namespace quorrin
