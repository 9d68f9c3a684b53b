// The built-in outlines: where the shapes lie, their edges and directions.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "glyph_test_util.h"

namespace quorrin {
namespace {

TEST(GlyphOutlines, ExtentsEdgesAndDirections) {
    // Extent in outline units, edges, edges running upward, and the signed
    // area in square units (negative: clockwise on screen, holes subtracted).
    // clang-format off
    const struct { double x0, x1, y0, y1; int edges, up; double area; } table[kOutlineCount] = {
        {75.52, 188.80, 75.52, 188.80, 46, 23, -12502},         // dot
        {82.56, 181.12, 226.56, 1436.16, 46, 23, -118871},      // line down
        {226.56, 1436.16, 82.56, 181.12, 46, 23, -118871},      // line right
        {-0.16, 264.48, 660.96, 925.60, 48, 24, -41384},        // cross down
        {660.96, 925.60, -0.16, 264.48, 48, 24, -41384},        // cross right
        {0.00, 264.32, 661.12, 925.44, 92, 46, -54829},         // disc down
        {661.12, 925.44, 0.00, 264.32, 92, 46, -54829},         // disc right
        {529.28, 1057.28, 392.96, 1194.24, 236, 118, -221203},  // 0
        {529.28, 1057.28, 401.28, 1185.28, 85, 46, -185253},    // 1
        {517.76, 1069.44, 401.28, 1185.28, 180, 92, -230266},   // 2
        {512.00, 1074.56, 392.96, 1194.24, 312, 172, -244433}}; // 3
    // clang-format on
    const OutlineSet& set = builtinOutlines();
    ASSERT_EQ(set.start[0], 0);
    ASSERT_EQ(set.start[kOutlineCount], set.edgeCount);
    for (int o = 0; o < kOutlineCount; ++o) {
        SCOPED_TRACE(o);
        double x0 = 1e9, x1 = -1e9, y0 = 1e9, y1 = -1e9, area = 0;
        std::int64_t climb = 0;  // closed contours rise as far as they fall
        int up = 0;
        for (int i = set.start[o]; i < set.start[o + 1]; ++i) {
            ASSERT_LT(set.yTop[i], set.yBottom[i]);
            ASSERT_TRUE(set.direction[i] == 1 || set.direction[i] == -1);
            const double height = (set.yBottom[i] - set.yTop[i]) / 4096.0,
                         top = set.xTop[i] / 4096.0,
                         bottom = top + height * set.inverseSlope[i] / 4096.0;
            x0 = std::min({x0, top, bottom});
            x1 = std::max({x1, top, bottom});
            y0 = std::min(y0, set.yTop[i] / 4096.0);
            y1 = std::max(y1, set.yBottom[i] / 4096.0);
            area += set.direction[i] * (top + bottom) / 2 * height;
            climb += set.direction[i] * std::int64_t{set.yBottom[i] - set.yTop[i]};
            up += set.direction[i] > 0;
        }
        const auto& want = table[o];
        EXPECT_EQ(set.start[o + 1] - set.start[o], want.edges);
        EXPECT_EQ(up, want.up);
        EXPECT_EQ(climb, 0);
        EXPECT_NEAR(area, want.area, 2);
        EXPECT_NEAR(x0, want.x0, 0.01);
        EXPECT_NEAR(x1, want.x1, 0.01);
        EXPECT_NEAR(y0, want.y0, 0.01);
        EXPECT_NEAR(y1, want.y1, 0.01);
    }
}

TEST(GlyphOutlines, TheZeroHasItsSidesWhereTheTableSays) {
    // The row through the middle of the 0 crosses its outer and inner sides.
    const OutlineSet& set = builtinOutlines();
    const double y = 793.6 * kFixedOne;
    std::vector<double> xs;
    for (int i = set.start[OutlineDigit0]; i < set.start[OutlineDigit0 + 1]; ++i)
        if (set.yTop[i] <= y && y < set.yBottom[i])
            xs.push_back((set.xTop[i] + (y - set.yTop[i]) * set.inverseSlope[i] / kFixedOne) /
                         kFixedOne);
    std::sort(xs.begin(), xs.end());
    const std::vector<double> want{529.28, 650.24, 935.68, 1057.28};
    ASSERT_EQ(xs.size(), want.size());
    for (std::size_t k = 0; k < xs.size(); ++k) EXPECT_NEAR(xs[k], want[k], 0.01) << k;
}

TEST(GlyphOutlines, FewCrossingsOnAnyRow) {
    // The rasterizers keep up to 32 crossings a row; the shapes stay far below.
    reference::Rasterizer ref;
    for (int e : {10, 48, 100, 363}) testing::renderSheet(ref, e);
    EXPECT_LE(ref.mostCrossings(), 8);
}

}  // namespace
}  // namespace quorrin
