// Shared by the glyph tests: outline sets built from polygons, and sheets
// rendered by the rasterizer and by the reference.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "glyphs/outline_set.h"
#include "reference_rasterizer.h"

namespace quorrin {
namespace testing {

struct Point {
    std::int32_t x, y;  // outline units, 12 fractional bits
};

// Builds the edge table of outlines given as closed polygons.
class OutlineBuilder {
  public:
    // Starts the next outline; contours added afterwards belong to it.
    void beginOutline() { start_.push_back(static_cast<std::int32_t>(xTop_.size())); }
    void addContour(const std::vector<Point>& corners) {
        if (start_.empty()) beginOutline();
        for (std::size_t i = 0; i < corners.size(); ++i) {
            Point a = corners[i], b = corners[(i + 1) % corners.size()];
            if (a.y == b.y) continue;
            direction_.push_back(b.y < a.y ? 1 : -1);
            if (b.y < a.y) std::swap(a, b);
            xTop_.push_back(a.x);
            yTop_.push_back(a.y);
            yBottom_.push_back(b.y);
            inverseSlope_.push_back(static_cast<std::int32_t>(
                std::lround(4096.0 * (double{1} * b.x - a.x) / (double{1} * b.y - a.y))));
        }
    }
    // An axis-parallel rectangle, clockwise on screen unless reversed.
    void addRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                 bool reversed = false) {
        if (reversed) std::swap(x0, x1);
        addContour({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
    }
    // Ends the set, empty outlines added up to kOutlineCount unless `pad` is
    // false.
    const OutlineSet& finish(bool pad = true) {
        while (pad && start_.size() < static_cast<std::size_t>(kOutlineCount)) beginOutline();
        const int outlines = static_cast<int>(start_.size());
        start_.push_back(static_cast<std::int32_t>(xTop_.size()));
        for (auto* v : {&xTop_, &yTop_, &yBottom_, &inverseSlope_}) v->reserve(1);
        direction_.reserve(1);
        set_ = {xTop_.data(),
                yTop_.data(),
                yBottom_.data(),
                inverseSlope_.data(),
                direction_.data(),
                start_.data(),
                static_cast<int>(xTop_.size()),
                outlines};
        return set_;
    }

  private:
    std::vector<std::int32_t> xTop_, yTop_, yBottom_, inverseSlope_, start_;
    std::vector<std::int8_t> direction_;
    OutlineSet set_{};
};

constexpr std::uint8_t kUntouched = 0x5A;

template <typename Rasterizer>
std::vector<std::uint8_t> renderSheet(Rasterizer& raster, int e) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(glyphSheetStride(e)) * e, kUntouched);
    raster.renderSheet(e, glyphSheetStride(e), pixels.data());
    return pixels;
}

inline std::vector<std::uint8_t> referenceSheet(int e, const OutlineSet& set = builtinOutlines()) {
    reference::Rasterizer ref(set);
    return renderSheet(ref, e);
}

// Names the first differing byte instead of dumping a whole sheet.
inline ::testing::AssertionResult sameSheet(const std::vector<std::uint8_t>& got,
                                            const std::vector<std::uint8_t>& want, int e) {
    if (got == want) return ::testing::AssertionSuccess();
    const auto i = static_cast<std::size_t>(
        std::mismatch(got.begin(), got.end(), want.begin(), want.end()).first - got.begin());
    const std::size_t stride = static_cast<std::size_t>(glyphSheetStride(e));
    return ::testing::AssertionFailure()
           << "side " << e << ": row " << i / stride << " byte " << i % stride << " (glyph "
           << i % stride / 3 / e << ") differs";
}

}  // namespace testing
}  // namespace quorrin
