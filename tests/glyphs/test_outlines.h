// Outline sets built in the tests: rectangles and polygons given by their
// corners, turned into the edge table the rasterizer reads.
#pragma once

#include <cstdint>
#include <vector>

#include "glyphs/outline_set.h"

namespace quorrin {
namespace testing {

struct Point {
    std::int32_t x;  // outline units, 12 fractional bits
    std::int32_t y;
};

class OutlineBuilder {
  public:
    // Starts the next outline; contours added afterwards belong to it.
    void beginOutline();
    // A closed polygon; its edges go in corner order.
    void addContour(const std::vector<Point>& corners);
    // An axis-parallel rectangle, clockwise on screen (or the other way).
    void addRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 bool reversed = false);
    // Ends the set (empty outlines are added up to `outlines`) and returns it;
    // the builder keeps the arrays it points into.
    const OutlineSet& finish(int outlines = kOutlineCount);

  private:
    std::vector<std::int32_t> xTop_, yTop_, yBottom_, inverseSlope_;
    std::vector<std::int8_t> direction_;
    std::vector<std::int32_t> start_;
    OutlineSet set_{};
};

}  // namespace testing
}  // namespace quorrin
