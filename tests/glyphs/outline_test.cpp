// The built-in outlines: sizes, positions and edge counts of the shapes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "reference_rasterizer.h"

namespace quorrin {
namespace {

struct Expected {
    int outline;
    double x0, x1, y0, y1;
    int edges;
};

// Extent of an outline in outline units, from the ends of its edges.
void extent(int outline, double& x0, double& x1, double& y0, double& y1) {
    const OutlineSet& set = builtinOutlines();
    x0 = y0 = 1e9;
    x1 = y1 = -1e9;
    for (int i = set.start[outline]; i < set.start[outline + 1]; ++i) {
        const double top = set.xTop[i] / 4096.0;
        const double bottom =
            top + (set.yBottom[i] - set.yTop[i]) / 4096.0 * set.inverseSlope[i] / 4096.0;
        x0 = std::min({x0, top, bottom});
        x1 = std::max({x1, top, bottom});
        y0 = std::min(y0, set.yTop[i] / 4096.0);
        y1 = std::max(y1, set.yBottom[i] / 4096.0);
    }
}

TEST(GlyphOutlines, ShapesSitWhereTheyBelong) {
    const Expected table[] = {
        {OutlineDot, 75.52, 188.80, 75.52, 188.80, 46},
        {OutlineLineDown, 82.56, 181.12, 226.56, 1436.16, 46},
        {OutlineLineRight, 226.56, 1436.16, 82.56, 181.12, 46},
        {OutlineCrossDown, -0.16, 264.48, 660.96, 925.60, 48},
        {OutlineCrossRight, 660.96, 925.60, -0.16, 264.48, 48},
        {OutlineDiscDown, 0.00, 264.32, 661.12, 925.44, 92},
        {OutlineDiscRight, 661.12, 925.44, 0.00, 264.32, 92},
        {OutlineDigit0, 529.28, 1057.28, 392.96, 1194.24, 236},
        {OutlineDigit1, 529.28, 1057.28, 401.28, 1185.28, 85},
        {OutlineDigit2, 517.76, 1069.44, 401.28, 1185.28, 180},
        {OutlineDigit3, 512.00, 1074.56, 392.96, 1194.24, 312},
    };
    const OutlineSet& set = builtinOutlines();
    ASSERT_EQ(set.start[0], 0);
    ASSERT_EQ(set.start[kOutlineCount], set.edgeCount);
    for (const Expected& want : table) {
        SCOPED_TRACE(want.outline);
        EXPECT_EQ(set.start[want.outline + 1] - set.start[want.outline], want.edges);
        double x0, x1, y0, y1;
        extent(want.outline, x0, x1, y0, y1);
        EXPECT_NEAR(x0, want.x0, 0.01);
        EXPECT_NEAR(x1, want.x1, 0.01);
        EXPECT_NEAR(y0, want.y0, 0.01);
        EXPECT_NEAR(y1, want.y1, 0.01);
    }
}

TEST(GlyphOutlines, EdgesAreWellFormed) {
    const OutlineSet& set = builtinOutlines();
    for (int o = 0; o < kOutlineCount; ++o) {
        int up = 0, down = 0;
        for (int i = set.start[o]; i < set.start[o + 1]; ++i) {
            ASSERT_LT(set.yTop[i], set.yBottom[i]);
            ASSERT_TRUE(set.direction[i] == 1 || set.direction[i] == -1);
            (set.direction[i] > 0 ? up : down) += 1;
        }
        // Closed contours: every contour runs up as far as it runs down, and
        // here no contour doubles back within one side.
        EXPECT_GT(up, 0);
        EXPECT_GT(down, 0);
    }
}

TEST(GlyphOutlines, FewCrossingsOnAnyRow) {
    // The crossing list holds 32 entries; the built-in shapes stay well below.
    reference::Rasterizer ref;
    for (int e : {10, 48, 100, 363}) {
        const int stride = glyphSheetStride(e);
        std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * e);
        ref.renderSheet(e, stride, pixels.data());
    }
    EXPECT_LE(ref.mostCrossings(), 8);
}

}  // namespace
}  // namespace quorrin
