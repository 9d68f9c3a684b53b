// The glyph sheet: bit-identical to the reference rasterizer, and what the
// glyphs look like.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>
#include <vector>

#include "glyph_test_util.h"

namespace quorrin {
namespace {

using testing::kUntouched;
using testing::referenceSheet;
using testing::renderSheet;
using testing::sameSheet;

TEST(GlyphSheet, IdenticalToTheReferenceAtEverySize) {
    // One rasterizer for all sizes: nothing an earlier size left may show.
    // The reference writes every glyph pixel and no row padding, so this
    // also checks that the padding stays untouched.
    GlyphRasterizer raster;
    std::vector<int> sides = {200, 363, 482};
    for (int e = 0; e <= 130; ++e) sides.push_back(e);
    for (int e : sides) ASSERT_TRUE(sameSheet(renderSheet(raster, e), referenceSheet(e), e));
}

TEST(GlyphSheet, RenderAtOneSizeThenAnotherEqualsAFirstRender) {
    const int pairs[][2] = {{363, 40}, {40, 91}, {91, 7}, {1, 130}};
    for (const auto& sizes : pairs) {
        GlyphRasterizer used, fresh;
        renderSheet(used, sizes[0]);
        std::vector<std::uint8_t> scratch(8 * 20 * 20);
        used.setGlyphSize(sizes[0] + 3);
        used.fillOutline(OutlineDigit3, scratch.data(), 8 * 20, 8 * 20, 20);
        EXPECT_TRUE(sameSheet(renderSheet(used, sizes[1]), renderSheet(fresh, sizes[1]), sizes[1]));
    }
}

TEST(GlyphSheet, WritesNothingWithoutASizeOrRoom) {
    GlyphRasterizer raster;
    std::vector<std::uint8_t> pixels(4096, kUntouched);
    raster.renderSheet(0, 0, pixels.data());
    raster.renderSheet(0, 64, pixels.data());
    raster.renderSheet(-3, 64, pixels.data());
    raster.renderSheet(10, 100, pixels.data());  // a stride short of 53 glyphs
    raster.renderSheet(1, 4, nullptr);
    EXPECT_EQ(pixels, std::vector<std::uint8_t>(4096, kUntouched));
    EXPECT_EQ(glyphSheetStride(0), 0);
    EXPECT_EQ(glyphSheetStride(7), 1116);
}

TEST(GlyphSheet, AnyGridHoldsTheReferenceGlyphsInOrder) {
    // Rows of any length, the last one short or left empty: cell by cell the
    // reference's one-row sheet, white after the last glyph, padding untouched.
    GlyphRasterizer raster;
    for (int e : {1, 7, 40}) {
        const auto want = referenceSheet(e);
        const std::size_t oneRow = static_cast<std::size_t>(glyphSheetStride(e));
        for (const auto& [columns, rows] : {std::pair{53, 2}, {27, 2}, {8, 7}, {1, 53}}) {
            const GlyphSheetGrid grid{e, columns, rows};
            const int stride = grid.stride() + 4;
            std::vector<std::uint8_t> got(static_cast<std::size_t>(stride) * grid.height(),
                                          kUntouched);
            raster.renderSheet(grid, stride, got.data());
            for (int y = 0; y < grid.height(); ++y)
                for (int x = 0; x < stride; ++x) {
                    const int g = y / e * columns + x / 3 / e;
                    const std::uint8_t byte =
                        x >= 3 * grid.width() ? kUntouched
                        : g >= kGlyphCount
                            ? 255
                            : want[(y % e) * oneRow + 3 * static_cast<std::size_t>(g) * e +
                                   x % (3 * e)];
                    ASSERT_EQ(got[static_cast<std::size_t>(y) * stride + x], byte)
                        << e << " in " << columns << " columns: " << x << "," << y;
                }
        }
    }
    std::vector<std::uint8_t> pixels(4096, kUntouched);  // 52 cells for 53 glyphs
    raster.renderSheet(GlyphSheetGrid{5, 26, 2}, 400, pixels.data());
    EXPECT_EQ(pixels, std::vector<std::uint8_t>(4096, kUntouched));
}

TEST(GlyphSheet, ShapesAndColours) {
    GlyphRasterizer raster;
    const int e = 200;
    const auto s = renderSheet(raster, e);
    // Pixel of glyph g at a point in outline units, as blue, green, red.
    const auto pixel = [&](int g, double ux, double uy) {
        const std::size_t i = static_cast<std::size_t>(static_cast<int>(uy * e / 1458)) *
                                  static_cast<std::size_t>(glyphSheetStride(e)) +
                              3 * static_cast<std::size_t>(g * e + static_cast<int>(ux * e / 1458));
        return std::vector<int>{s[i], s[i + 1], s[i + 2]};
    };
    const std::vector<int> white{255, 255, 255}, grey{88, 87, 91}, ink{38, 38, 38},
        green{71, 176, 112}, hover{128, 128, 128}, orange{39, 127, 255}, pale{174, 198, 191};
    // The dot; a line's middle; the middle of a cross, whose bars overlap
    // and fill once; a disc; the stroke of a 1; the hole of a 0; empty edges.
    // clang-format off
    const struct { int glyph; double ux, uy; const std::vector<int>& bgr; } cases[] = {
        {0, 132.16, 132.16, grey}, {2, 131.84, 800, ink}, {6, 800, 131.84, ink},
        {10, 131.84, 800, green}, {38, 800, 131.84, hover}, {1, 132.16, 793.28, ink},
        {17, 793.28, 132.16, green}, {23, 132.16, 793.28, hover}, {32, 793.28, 132.16, hover},
        {42, 793.92, 800, ink}, {46, 793.92, 800, orange}, {50, 793.92, 800, pale},
        {41, 793.28, 793.6, white}, {45, 700, 600, white}, {49, 793.28, 793.6, white},
        {0, 131.84, 800, white}, {0, 800, 131.84, white}};
    // clang-format on
    for (const auto& c : cases) EXPECT_EQ(pixel(c.glyph, c.ux, c.uy), c.bgr) << c.glyph;
    for (int g : {41, 45, 49}) EXPECT_NE(pixel(g, 590, 793.6), white) << g;  // the 0's left stroke
}

TEST(GlyphRecipes, MarksFollowTheEdgeStatesAndHighlights) {
    const GlyphRecipes& r = glyphRecipes();
    const int down[3] = {kNoOutline, OutlineCrossDown, OutlineLineDown};
    const int right[3] = {kNoOutline, OutlineCrossRight, OutlineLineRight};
    using Layer = std::pair<int, GlyphColour>;
    for (int g = 0; g <= 40; ++g) {
        SCOPED_TRACE(g);
        if (g == 11 || g == 14) {  // never drawn
            EXPECT_EQ(r.baseOutline[g] & r.layer1Outline[g] & r.layer2Outline[g], kNoOutline);
            continue;
        }
        // Plain, trial origin down or right, hovered down or right.
        const int kind = g < 9 ? 0 : g < 17 ? 1 : g < 23 ? 2 : g < 32 ? 3 : 4;
        const int code = g - std::vector<int>{0, 8, 14, 23, 32}[static_cast<std::size_t>(kind)];
        Layer d{down[code % 3], kind == 1 ? TrialGreen : kind == 3 ? HoverGrey : Ink};
        Layer rt{right[code / 3], kind == 2 ? TrialGreen : kind == 4 ? HoverGrey : Ink};
        // A hovered empty edge shows a disc, drawn over the other mark.
        if (kind == 3 && d.first == kNoOutline) d.first = OutlineDiscDown;
        if (kind == 4 && rt.first == kNoOutline) rt.first = OutlineDiscRight;
        std::vector<Layer> layers;
        for (const Layer& l :
             d.first == OutlineDiscDown ? std::vector<Layer>{rt, d} : std::vector<Layer>{d, rt})
            if (l.first != kNoOutline) layers.push_back(l);
        layers.resize(2, Layer{kNoOutline, White});  // an absent layer is white
        EXPECT_TRUE(r.baseOutline[g] == OutlineDot && r.baseColour[g] == DotGrey &&
                    Layer(r.layer1Outline[g], r.layer1Colour[g]) == layers[0] &&
                    Layer(r.layer2Outline[g], r.layer2Colour[g]) == layers[1]);
    }
    const GlyphColour clueColours[3] = {Ink, OverOrange, ExactPale};
    for (int g = kGlyphClue; g < kGlyphCount; ++g) {
        EXPECT_EQ(r.baseOutline[g], OutlineDigit0 + (g - kGlyphClue) % 4);
        EXPECT_EQ(r.baseColour[g], clueColours[(g - kGlyphClue) / 4]);
        EXPECT_EQ(r.layer1Outline[g] & r.layer2Outline[g], kNoOutline);
    }
}

TEST(GlyphSheet, RandomOutlinesMatchTheReference) {
    // Polygons with corners on grids fine enough to put crossings and corners
    // on sample centres at side 729, overlapping, nested, reversed and
    // reaching out of the glyph; whole sheets and single outlines compared.
    std::uint32_t state = 12345;
    const auto next = [&state] {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    };
    for (int round = 0; round < 6; ++round) {
        testing::OutlineBuilder b;
        for (int o = 0; o < kOutlineCount; ++o) {
            b.beginOutline();
            for (std::uint32_t c = 0, contours = 1 + next() % 3; c < contours; ++c) {
                std::vector<testing::Point> points;
                for (std::uint32_t k = 0, corners = 3 + next() % 5; k < corners; ++k) {
                    // -100 to 1560 units in steps of 1/8 unit or of 1 unit.
                    const std::int32_t step = next() % 2 ? 512 : 4096;
                    const std::int32_t lo = -100 * 4096 / step, hi = 1560 * 4096 / step;
                    const auto pick = [&] {
                        return (lo + static_cast<std::int32_t>(
                                         next() % static_cast<std::uint32_t>(hi - lo))) *
                               step;
                    };
                    const std::int32_t x = pick();
                    points.push_back({x, k > 0 && next() % 4 == 0 ? points.back().y : pick()});
                }
                b.addContour(points);
            }
        }
        const OutlineSet& set = b.finish();
        for (int e : {1, 9, 31, 64, 729}) {
            if (e == 729 && round >= 2) continue;
            GlyphRasterizer raster(set);
            ASSERT_TRUE(sameSheet(renderSheet(raster, e), referenceSheet(e, set), e)) << round;
            reference::Rasterizer ref(set);
            ref.setGlyphSize(e);
            const std::size_t bytes = static_cast<std::size_t>(8 * e) * static_cast<std::size_t>(e);
            for (int o = 0; o < kOutlineCount && e < 100; ++o) {
                std::vector<std::uint8_t> got(bytes, 0), want(bytes, 0);
                raster.fillOutline(o, got.data(), 8 * e, 8 * e, e);
                ref.fillOutline(o, want.data(), 8 * e, 8 * e, e);
                ASSERT_EQ(got, want) << "round " << round << " outline " << o << " side " << e;
            }
        }
    }
}

}  // namespace
}  // namespace quorrin
