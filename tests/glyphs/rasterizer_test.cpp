// The rasterizer's arithmetic on small hand-made outlines: scale, span rules,
// winding and blending, against exact figures and the reference.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "glyph_test_util.h"

namespace quorrin {
namespace {

using testing::OutlineBuilder;

// At glyph side 729 the scale is exactly 4: at(S) is the outline coordinate
// that lands on sample position S (12 fractional bits).
constexpr int kExactSide = 729;
constexpr std::int32_t at(std::int32_t samplePosition) {
    return samplePosition / 4;
}
constexpr std::int32_t S = 4096, H = 2048;  // a sample, half a sample

TEST(GlyphScale, FactorIsTruncated) {
    EXPECT_EQ(glyphScaleFactor(48), 1078);
    EXPECT_EQ(glyphScaleFactor(100), 2247);
    EXPECT_EQ(glyphScaleFactor(kExactSide), 16384);
    EXPECT_EQ(glyphScaleFactor(kMaxGlyphSize), 1472874);
}

// Outline 0 filled into a small mask by both rasterizers, which must agree.
std::vector<std::uint8_t> fill(const OutlineSet& set, int widthSamples, int rows, int stride) {
    std::vector<std::uint8_t> got(static_cast<std::size_t>(rows * stride), 0), want = got;
    GlyphRasterizer raster(set);
    reference::Rasterizer ref(set);
    raster.setGlyphSize(kExactSide);
    ref.setGlyphSize(kExactSide);
    raster.fillOutline(0, got.data(), widthSamples, rows, stride);
    ref.fillOutline(0, want.data(), widthSamples, rows, stride);
    EXPECT_EQ(got, want);
    return got;
}

TEST(GlyphSpans, SampleCentresOnCrossingsAndTheGlyphsEdges) {
    struct Case {
        std::int32_t x0, y0, x1, y1;  // a rectangle, in sample positions
        int widthSamples, rows, stride;
        std::vector<std::uint8_t> mask;
    };
    // clang-format off
    const Case cases[] = {
        // Columns 8 to 15 on rows 0 and 1: the centre of column 8 lies on the
        // left crossing, that of column 16 on the right one.
        {8 * S, 0, 16 * S, 2 * S, 32, 2, 4, {0, 0xFF, 0, 0, 0, 0xFF, 0, 0}},
        {8 * S + H, 0, 9 * S, S, 32, 1, 4, {0, 0x80, 0, 0}},
        // Both crossings on one x: covered only when that x is a centre.
        {8 * S + H, 0, 8 * S + H, S, 32, 1, 4, {0, 0x80, 0, 0}},
        {9 * S, 0, 9 * S, S, 32, 1, 4, {0, 0, 0, 0}},
        // Just short of a centre on either side.
        {3 * S + H + 4, 0, 5 * S + H - 4, S, 32, 1, 4, {0x08, 0, 0, 0}},
        // Within one byte, and across several.
        {2 * S, 0, 6 * S, S, 32, 1, 4, {0x3C, 0, 0, 0}},
        {5 * S, 0, 27 * S, S, 32, 1, 4, {0x07, 0xFF, 0xFF, 0xE0}},
        // The upper end on a row centre is in, the lower end is not.
        {0, S + H, 8 * S, 3 * S + H, 8, 4, 1, {0, 0xFF, 0xFF, 0}},
        // Clipped to columns 0 to widthSamples - 1, and to rows from 0.
        {-5 * S, 0, 40 * S, S, 12, 1, 3, {0xFF, 0xF0, 0}},
        {-9 * S, 0, -S, S, 12, 1, 3, {0, 0, 0}},
        {12 * S, 0, 20 * S, S, 12, 1, 3, {0, 0, 0}},
        {0, -3 * S, 8 * S, 9 * S, 8, 2, 1, {0xFF, 0xFF}}};
    // clang-format on
    for (const Case& c : cases) {
        OutlineBuilder b;
        b.addRect(at(c.x0), at(c.y0), at(c.x1), at(c.y1));
        EXPECT_EQ(fill(b.finish(), c.widthSamples, c.rows, c.stride), c.mask)
            << c.x0 << "," << c.y0 << " " << c.x1 << "," << c.y1;
    }
    // A corner shared by two edges on a row centre counts once: a diamond
    // with its side corners on the centre of row 2 fills that row.
    OutlineBuilder b;
    b.addContour(
        {{at(8 * S), 0}, {at(16 * S), at(2 * S + H)}, {at(8 * S), at(5 * S)}, {0, at(2 * S + H)}});
    const auto diamond = fill(b.finish(), 16, 5, 2);
    EXPECT_EQ(diamond[4] & diamond[5], 0xFF);
}

TEST(GlyphSpans, NonZeroWinding) {
    // Two overlapping rectangles running the same way fill their union once;
    // one running the other way inside a third leaves a hole.
    OutlineBuilder b;
    b.addRect(0, 0, at(6 * S), at(S));
    b.addRect(at(4 * S), 0, at(10 * S), at(S));
    b.addRect(at(16 * S), 0, at(32 * S), at(S));
    b.addRect(at(20 * S), 0, at(28 * S), at(S), true);
    EXPECT_EQ(fill(b.finish(), 32, 1, 4), (std::vector<std::uint8_t>{0xFF, 0xC0, 0xF0, 0x0F}));
}

TEST(GlyphSpans, SpansMeetingOnASampleCentreSetItOnce) {
    // Two rectangles side by side at side 16, sharing a side on the centre
    // of sample column 8: one span ends and the next begins on that column.
    const int e = 16;
    const auto scalesTo = [e](std::int64_t target) {
        const std::int64_t s = glyphScaleFactor(e);
        return static_cast<std::int32_t>((target * 4096 + s - 1) / s);
    };
    const std::int32_t middle = scalesTo(8 * S + H), right = scalesTo(16 * S),
                       bottom = scalesTo(8 * S);
    for (bool leftFirst : {true, false}) {
        OutlineBuilder b;
        if (leftFirst) b.addRect(0, 0, middle, bottom);
        b.addRect(middle, 0, right, bottom);
        if (!leftFirst) b.addRect(0, 0, middle, bottom);
        const OutlineSet& set = b.finish();
        GlyphRasterizer raster(set);
        const auto got = testing::renderSheet(raster, e);
        EXPECT_TRUE(testing::sameSheet(got, testing::referenceSheet(e, set), e));
        // Pixels 0 and 1 of row 0 fully covered, then white.
        EXPECT_EQ(std::vector<std::uint8_t>(got.begin(), got.begin() + 9),
                  (std::vector<std::uint8_t>{88, 87, 91, 88, 87, 91, 255, 255, 255}));
    }
}

TEST(GlyphOutlineSets, OutlinesASetLacksOrCannotReachAreEmpty) {
    // A set of rectangles naming `outlines` outlines, one start entry spoilt
    // or none, draws as the full set with the outlines it lacks and those
    // `empty` left without edges.
    const auto rect = [](OutlineBuilder& b, int o) {
        b.beginOutline();
        b.addRect((60 + 90 * o) * S, (40 + 70 * o) * S, (700 + 50 * o) * S, (1400 - 30 * o) * S);
    };
    const struct {
        int outlines, entry, value;
        std::vector<int> empty;
    } cases[] = {{3, -1, 0, {}}, {13, -1, 0, {}}, {11, 8, 1 << 30, {7, 8}}, {11, 4, -1, {3, 4}}};
    for (const auto& c : cases) {
        OutlineBuilder given, full;
        for (int o = 0; o < c.outlines; ++o) rect(given, o);
        for (int o = 0; o < std::min(c.outlines, kOutlineCount); ++o)
            std::count(c.empty.begin(), c.empty.end(), o) ? full.beginOutline() : rect(full, o);
        OutlineSet set = given.finish(false);
        std::vector<std::int32_t> start(set.start, set.start + c.outlines + 1);
        if (c.entry >= 0) start[static_cast<std::size_t>(c.entry)] = c.value;
        set.start = start.data();
        GlyphRasterizer raster(set);
        reference::Rasterizer ref(full.finish());
        const int e = 31;
        EXPECT_TRUE(
            testing::sameSheet(testing::renderSheet(raster, e), testing::renderSheet(ref, e), e));
        for (int o = 0; o < kOutlineCount; ++o) {
            std::vector<std::uint8_t> got(8 * e * e), want(got.size());
            raster.fillOutline(o, got.data(), 8 * e, 8 * e, e);
            ref.fillOutline(o, want.data(), 8 * e, 8 * e, e);
            EXPECT_EQ(got, want) << c.outlines << " outlines, outline " << o;
        }
    }
}

TEST(GlyphBlending, BaseAndOverlayByCoverage) {
    // Outlines covering 4 x 8, 4 x 4, 8 x 8, 6 x 8 and 2 x 8 samples of pixel (0, 0).
    OutlineBuilder b;
    const int sizes[][2] = {{4, 8}, {4, 4}, {8, 8}, {6, 8}, {2, 8}};
    for (const auto& size : sizes) {
        b.beginOutline();
        b.addRect(0, 0, at(size[0] * S), at(size[1] * S));
    }
    GlyphRasterizer raster(b.finish());
    raster.setGlyphSize(kExactSide);
    const int e = kExactSide;
    // clang-format off
    const struct { int base; GlyphColour baseColour; int overlay; GlyphColour colour;
                   std::vector<std::uint8_t> bgr; } cases[] = {
        {0, Ink, kNoOutline, White, {146, 146, 146}},
        {1, Ink, kNoOutline, White, {200, 200, 200}},
        {2, Ink, kNoOutline, White, {38, 38, 38}},
        {kNoOutline, White, 3, TrialGreen, {117, 195, 147}},  // RGB (147, 195, 117)
        {0, Ink, 4, TrialGreen, {127, 153, 137}}};  // (146 * 48 + channel * 16) >> 6
    // clang-format on
    std::vector<std::uint8_t> glyph(static_cast<std::size_t>(3 * e * e)),
        mask(8 * glyph.size() / 3);
    for (const auto& c : cases) {
        std::fill(glyph.begin(), glyph.end(), std::uint8_t{7});
        std::fill(mask.begin(), mask.end(), std::uint8_t{0xAA});
        raster.paintBase(glyph.data(), 3 * e, e, c.base, c.baseColour, mask.data());
        if (c.overlay != kNoOutline)
            raster.paintOverlay(glyph.data(), 3 * e, e, c.overlay, c.colour, mask.data());
        EXPECT_EQ(std::vector<std::uint8_t>(glyph.begin(), glyph.begin() + 3), c.bgr);
        EXPECT_TRUE(std::all_of(glyph.begin() + 3, glyph.end(), [](int v) { return v == 255; }));
    }
}

}  // namespace
}  // namespace quorrin
