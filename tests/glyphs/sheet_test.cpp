// The glyph sheet: bit-identical to the reference rasterizer, the recipes,
// and what the glyphs must look like.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "reference_rasterizer.h"
#include "test_outlines.h"

namespace quorrin {
namespace {

constexpr std::uint8_t kUntouched = 0x5A;

std::vector<std::uint8_t> sheet(GlyphRasterizer& raster, int e) {
    const int stride = glyphSheetStride(e);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * e, kUntouched);
    raster.renderSheet(e, stride, pixels.data());
    return pixels;
}

std::vector<std::uint8_t> referenceSheet(int e, const OutlineSet& set = builtinOutlines()) {
    const int stride = glyphSheetStride(e);
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(stride) * e, kUntouched);
    reference::Rasterizer ref(set);
    ref.renderSheet(e, stride, pixels.data());
    return pixels;
}

// Reports the first differing pixel instead of a megabyte dump.
::testing::AssertionResult sameSheet(const std::vector<std::uint8_t>& got,
                                     const std::vector<std::uint8_t>& want, int e) {
    if (got.size() != want.size()) return ::testing::AssertionFailure() << "sizes differ";
    const int stride = glyphSheetStride(e);
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (got[i] != want[i]) {
            const int y = static_cast<int>(i / stride);
            const int x = static_cast<int>(i % stride) / 3;
            return ::testing::AssertionFailure()
                   << "side " << e << ": glyph " << x / (e ? e : 1) << " pixel (" << x % e << ", "
                   << y << ") byte " << i % stride % 3 << " is " << int{got[i]} << ", expected "
                   << int{want[i]};
        }
    }
    return ::testing::AssertionSuccess();
}

TEST(GlyphSheet, IdenticalToTheReferenceAtEverySize) {
    GlyphRasterizer raster;
    std::vector<int> sides;
    for (int e = 0; e <= 130; ++e) sides.push_back(e);
    for (int e : {200, 363, 482}) sides.push_back(e);
    for (int e : sides) {
        // One rasterizer for all sizes: what an earlier size left behind
        // must not show.
        ASSERT_TRUE(sameSheet(sheet(raster, e), referenceSheet(e), e));
    }
}

TEST(GlyphSheet, RenderAtOneSizeThenAnotherEqualsAFirstRender) {
    for (auto sizes : {std::vector<int>{363, 40}, {40, 91}, {91, 7}, {1, 130}}) {
        GlyphRasterizer used;
        sheet(used, sizes[0]);
        std::vector<std::uint8_t> scratch(8 * 200 * 200);
        used.setGlyphSize(sizes[0] + 3);
        used.fillOutline(OutlineDigit3, scratch.data(), 8 * 20, 8 * 20, 20);
        GlyphRasterizer fresh;
        EXPECT_TRUE(sameSheet(sheet(used, sizes[1]), sheet(fresh, sizes[1]), sizes[1]));
    }
}

TEST(GlyphSheet, WritesNothingWithoutASizeOrRoom) {
    GlyphRasterizer raster;
    std::vector<std::uint8_t> pixels(4096, kUntouched);
    raster.renderSheet(0, 0, pixels.data());
    raster.renderSheet(0, glyphSheetStride(0), pixels.data());
    raster.renderSheet(-3, 64, pixels.data());
    raster.renderSheet(10, 100, pixels.data());  // stride shorter than 53 glyphs
    raster.renderSheet(1, 4, nullptr);
    for (std::uint8_t b : pixels) ASSERT_EQ(b, kUntouched);
    EXPECT_EQ(glyphSheetStride(0), 0);
    EXPECT_EQ(glyphSheetStride(1), 160);
    EXPECT_EQ(glyphSheetStride(48), 7632);
    EXPECT_EQ(glyphSheetStride(7), 1116);
}

TEST(GlyphSheet, WritesEveryGlyphPixelButNoPadding) {
    GlyphRasterizer raster;
    for (int e : {1, 3, 7, 48}) {
        const auto pixels = sheet(raster, e);
        const int stride = glyphSheetStride(e);
        for (int y = 0; y < e; ++y) {
            for (int i = 159 * e; i < stride; ++i)
                ASSERT_EQ(pixels[static_cast<std::size_t>(y) * stride + i], kUntouched);
        }
        // With kUntouched not a possible result of any blend here, every
        // glyph byte must have been written: the reference agrees byte for
        // byte, and it writes every glyph pixel.
        EXPECT_TRUE(sameSheet(pixels, referenceSheet(e), e));
    }
}

struct Pixel {
    std::uint8_t blue, green, red;
    bool white() const { return blue == 255 && green == 255 && red == 255; }
};

Pixel pixelAt(const std::vector<std::uint8_t>& s, int e, int glyph, int x, int y) {
    const std::size_t i = static_cast<std::size_t>(y) * glyphSheetStride(e) +
                          3 * (static_cast<std::size_t>(glyph) * e + x);
    return {s[i], s[i + 1], s[i + 2]};
}

// Pixel of glyph g at a point given in outline units.
Pixel pixelAtUnits(const std::vector<std::uint8_t>& s, int e, int glyph, double ux, double uy) {
    return pixelAt(s, e, glyph, static_cast<int>(ux * e / 1458), static_cast<int>(uy * e / 1458));
}

bool is(Pixel p, GlyphColour c) {
    return p.blue == c.blue && p.green == c.green && p.red == c.red;
}

TEST(GlyphSheet, WhiteGlyphsAndDotlessDigits) {
    GlyphRasterizer raster;
    for (int e : {12, 48, 100}) {
        const auto s = sheet(raster, e);
        for (int glyph : {11, 14})
            for (int y = 0; y < e; ++y)
                for (int x = 0; x < e; ++x) ASSERT_TRUE(pixelAt(s, e, glyph, x, y).white());
        // No dot: the top-left quarter of every clue glyph is white.
        for (int glyph = 41; glyph < 53; ++glyph)
            for (int y = 0; y < e / 4; ++y)
                for (int x = 0; x < e / 4; ++x) ASSERT_TRUE(pixelAt(s, e, glyph, x, y).white());
    }
}

TEST(GlyphSheet, ColoursOfTheShapes) {
    GlyphRasterizer raster;
    const int e = 200;
    const auto s = sheet(raster, e);
    // Dot centre, a line's middle, the crossing of a cross, a disc's centre.
    EXPECT_TRUE(is(pixelAtUnits(s, e, 0, 132.16, 132.16), DotGrey));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 2, 131.84, 800), Ink));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 6, 800, 131.84), Ink));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 10, 131.84, 800), TrialGreen));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 38, 800, 131.84), HoverGrey));
    // The two bars of a cross overlap in the middle and fill it once.
    EXPECT_TRUE(is(pixelAtUnits(s, e, 1, 132.16, 793.28), Ink));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 17, 793.28, 132.16), TrialGreen));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 23, 132.16, 793.28), HoverGrey));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 32, 793.28, 132.16), HoverGrey));
    // Digits: the stroke of the 1, and the hole of the 0 left empty.
    EXPECT_TRUE(is(pixelAtUnits(s, e, 42, 793.92, 800), Ink));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 46, 793.92, 800), OverOrange));
    EXPECT_TRUE(is(pixelAtUnits(s, e, 50, 793.92, 800), ExactPale));
    for (int glyph : {41, 45, 49}) {
        EXPECT_TRUE(pixelAtUnits(s, e, glyph, 793.28, 793.6).white());
        EXPECT_TRUE(pixelAtUnits(s, e, glyph, 700, 600).white());
        EXPECT_FALSE(pixelAtUnits(s, e, glyph, 590, 793.6).white());  // the left stroke
    }
    // Empty edges leave the glyph white where their mark would be.
    EXPECT_TRUE(pixelAtUnits(s, e, 0, 131.84, 800).white());
    EXPECT_TRUE(pixelAtUnits(s, e, 0, 800, 131.84).white());
}

TEST(GlyphRecipesTable, FollowsTheRule) {
    const GlyphRecipes& r = glyphRecipes();
    // Marks of an edge state (0 Empty, 1 Cross, 2 Line) below and to the right.
    const int downMark[3] = {kNoOutline, OutlineCrossDown, OutlineLineDown};
    const int rightMark[3] = {kNoOutline, OutlineCrossRight, OutlineLineRight};
    struct Layer {
        int outline;
        GlyphColour colour;
    };
    for (int g = 0; g <= 40; ++g) {
        SCOPED_TRACE(g);
        if (g == 11 || g == 14) {
            EXPECT_EQ(r.baseOutline[g], kNoOutline);
            EXPECT_EQ(r.layer1Outline[g], kNoOutline);
            EXPECT_EQ(r.layer2Outline[g], kNoOutline);
            continue;
        }
        int code = g;
        GlyphColour downColour = Ink, rightColour = Ink;
        bool hoverDown = false, hoverRight = false;
        if (g >= kGlyphHoverRight) {
            code = g - kGlyphHoverRight;
            rightColour = HoverGrey;
            hoverRight = true;
        } else if (g >= kGlyphHoverDown) {
            code = g - kGlyphHoverDown;
            downColour = HoverGrey;
            hoverDown = true;
        } else if (g >= 17) {
            code = g - kGlyphTrialRight;
            rightColour = TrialGreen;
        } else if (g >= 9) {
            code = g - kGlyphTrialDown;
            downColour = TrialGreen;
        }
        std::vector<Layer> layers;
        Layer down{downMark[code % 3], downColour};
        Layer right{rightMark[code / 3], rightColour};
        if (hoverDown && down.outline == kNoOutline) down.outline = OutlineDiscDown;
        if (hoverRight && right.outline == kNoOutline) right.outline = OutlineDiscRight;
        const bool downIsDisc = down.outline == OutlineDiscDown;
        if (downIsDisc) {
            if (right.outline != kNoOutline) layers.push_back(right);
            layers.push_back(down);
        } else {
            if (down.outline != kNoOutline) layers.push_back(down);
            if (right.outline != kNoOutline) layers.push_back(right);
        }
        EXPECT_EQ(r.baseOutline[g], OutlineDot);
        EXPECT_EQ(r.baseColour[g], DotGrey);
        layers.resize(2, Layer{kNoOutline, White});
        EXPECT_EQ(r.layer1Outline[g], layers[0].outline);
        EXPECT_EQ(r.layer2Outline[g], layers[1].outline);
        if (layers[0].outline != kNoOutline) {
            EXPECT_EQ(r.layer1Colour[g], layers[0].colour);
        }
        if (layers[1].outline != kNoOutline) {
            EXPECT_EQ(r.layer2Colour[g], layers[1].colour);
        }
    }
    const GlyphColour clueColours[3] = {Ink, OverOrange, ExactPale};
    for (int g = kGlyphClue; g < kGlyphCount; ++g) {
        EXPECT_EQ(r.baseOutline[g], OutlineDigit0 + (g - kGlyphClue) % 4);
        EXPECT_EQ(r.baseColour[g], clueColours[(g - kGlyphClue) / 4]);
        EXPECT_EQ(r.layer1Outline[g], kNoOutline);
        EXPECT_EQ(r.layer2Outline[g], kNoOutline);
    }
}

TEST(GlyphPalette, ColoursAreStoredBlueFirst) {
    EXPECT_EQ(DotGrey, (GlyphColour{88, 87, 91}));
    EXPECT_EQ(Ink, (GlyphColour{38, 38, 38}));
    EXPECT_EQ(TrialGreen, (GlyphColour{71, 176, 112}));
    EXPECT_EQ(HoverGrey, (GlyphColour{128, 128, 128}));
    EXPECT_EQ(OverOrange, (GlyphColour{39, 127, 255}));
    EXPECT_EQ(ExactPale, (GlyphColour{174, 198, 191}));
}

// The outline coordinate that scales to exactly `target` (12 fractional bits
// of a sample) at glyph side e.
std::int32_t scalesTo(std::int32_t target, int e) {
    const std::int64_t s = glyphScaleFactor(e);
    return static_cast<std::int32_t>((std::int64_t{target} * 4096 + s - 1) / s);
}

TEST(GlyphSheet, SpansMeetingOnASampleCentreCountItOnce) {
    // Two rectangles side by side, the shared side on the centre of sample
    // column 8: on every row one span ends and the next begins on that
    // column, whose sample is set once.
    const int e = 16;
    const std::int32_t left = scalesTo(0, e), middle = scalesTo(8 * 4096 + 2048, e),
                       right = scalesTo(16 * 4096, e), bottom = scalesTo(8 * 4096, e);
    for (bool leftFirst : {true, false}) {
        testing::OutlineBuilder b;
        if (leftFirst) b.addRect(left, 0, middle, bottom);
        b.addRect(middle, 0, right, bottom);
        if (!leftFirst) b.addRect(left, 0, middle, bottom);
        const OutlineSet& set = b.finish();
        GlyphRasterizer raster(set);
        const auto got = sheet(raster, e);
        EXPECT_TRUE(sameSheet(got, referenceSheet(e, set), e));
        EXPECT_TRUE(is(pixelAt(got, e, 0, 0, 0), DotGrey));
        EXPECT_TRUE(is(pixelAt(got, e, 0, 1, 0), DotGrey));
        EXPECT_TRUE(pixelAt(got, e, 0, 2, 0).white());
        EXPECT_TRUE(pixelAt(got, e, 0, 0, 1).white());
    }
}

// Random outline sets: polygons with corners on a grid fine enough to put
// crossings and corners exactly on sample centres at side 729 (scale 4),
// overlapping, nested, reversed and reaching out of the glyph, rendered as
// a whole sheet by both rasterizers.
std::uint32_t next(std::uint32_t& state) {
    state = state * 1664525u + 1013904223u;
    return state >> 8;
}

TEST(GlyphSheet, RandomOutlinesMatchTheReference) {
    std::uint32_t state = 12345;
    for (int round = 0; round < 6; ++round) {
        testing::OutlineBuilder b;
        for (int o = 0; o < kOutlineCount; ++o) {
            b.beginOutline();
            const int contours = 1 + static_cast<int>(next(state) % 3);
            for (int c = 0; c < contours; ++c) {
                const int corners = 3 + static_cast<int>(next(state) % 5);
                std::vector<testing::Point> points;
                for (int k = 0; k < corners; ++k) {
                    // -100 .. 1560 units, in steps of 1/8 unit (some coarser).
                    const std::int32_t step = (next(state) % 2) ? 512 : 4096;
                    const std::int32_t lo = -100 * 4096 / step, hi = 1560 * 4096 / step;
                    const auto pick = [&] {
                        return (lo + static_cast<std::int32_t>(next(state) % (hi - lo))) * step;
                    };
                    const std::int32_t x = pick();
                    const std::int32_t y =
                        (k > 0 && next(state) % 4 == 0) ? points.back().y : pick();
                    points.push_back({x, y});
                }
                b.addContour(points);
            }
        }
        const OutlineSet& set = b.finish();
        for (int e : {1, 9, 31, 64, 729}) {
            if (e == 729 && round >= 2) continue;
            GlyphRasterizer raster(set);
            const auto got = sheet(raster, e);
            ASSERT_TRUE(sameSheet(got, referenceSheet(e, set), e)) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace quorrin
