// The rasterizer's arithmetic and span rules on small hand-made outlines,
// checked on the production rasterizer and on the reference one alike.

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "reference_rasterizer.h"
#include "test_outlines.h"

namespace quorrin {
namespace {

using testing::OutlineBuilder;

// At glyph side 729 the scale is exactly 4: an outline coordinate v becomes
// 4v in samples, so a test can put a crossing on any sample position S
// (12 fractional bits) by giving the outline S / 4.
constexpr int kExactSide = 729;
constexpr std::int32_t at(std::int32_t samplePosition) {
    return samplePosition / 4;
}
constexpr std::int32_t kSample = 4096;

TEST(GlyphScale, FactorIsTruncatedAndScalesEdges) {
    EXPECT_EQ(glyphScaleFactor(48), 1078);
    EXPECT_EQ(glyphScaleFactor(100), 2247);
    EXPECT_EQ(glyphScaleFactor(0), 0);
    EXPECT_EQ(glyphScaleFactor(kExactSide), 16384);
    EXPECT_EQ(glyphScaleFactor(kMaxGlyphSize), 1472874);

    reference::Rasterizer ref;
    ref.setGlyphSize(48);
    EXPECT_EQ(ref.scaleFactor(), 1078);
    ref.setGlyphSize(100);
    EXPECT_EQ(ref.scaleFactor(), 2247);
}

// Fills one outline into a small mask with both rasterizers; they must agree.
std::vector<std::uint8_t> fill(const OutlineSet& set, int widthSamples, int rows, int stride,
                               int e = kExactSide) {
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(rows) * stride, 0);
    GlyphRasterizer raster(set);
    raster.setGlyphSize(e);
    raster.fillOutline(0, mask.data(), widthSamples, rows, stride);
    std::vector<std::uint8_t> expected(mask.size(), 0);
    reference::Rasterizer ref(set);
    ref.setGlyphSize(e);
    ref.fillOutline(0, expected.data(), widthSamples, rows, stride);
    EXPECT_EQ(mask, expected);
    return mask;
}

std::vector<std::uint8_t> fillRect(std::int32_t x0, std::int32_t y0, std::int32_t x1,
                                   std::int32_t y1, int widthSamples = 32, int rows = 2,
                                   int stride = 4) {
    OutlineBuilder b;
    b.addRect(at(x0), at(y0), at(x1), at(y1));
    return fill(b.finish(), widthSamples, rows, stride);
}

TEST(GlyphSpans, SampleCentresOnCrossingsAreCovered) {
    const std::int32_t top = 0, bottom = 2 * kSample;  // sample rows 0 and 1
    // 8.0 to 16.0 samples: columns 8..15, exactly pixel column 1.
    EXPECT_EQ(fillRect(8 * kSample, top, 16 * kSample, bottom),
              (std::vector<std::uint8_t>{0, 0xFF, 0, 0, 0, 0xFF, 0, 0}));
    // 8.5 to 9.0: the centre of column 8 lies on the left crossing.
    EXPECT_EQ(fillRect(8 * kSample + 2048, top, 9 * kSample, bottom),
              (std::vector<std::uint8_t>{0, 0x80, 0, 0, 0, 0x80, 0, 0}));
    // Both crossings at the same x: covered only when that x is a centre.
    EXPECT_EQ(fillRect(8 * kSample + 2048, top, 8 * kSample + 2048, bottom),
              (std::vector<std::uint8_t>{0, 0x80, 0, 0, 0, 0x80, 0, 0}));
    EXPECT_EQ(fillRect(9 * kSample, top, 9 * kSample, bottom), (std::vector<std::uint8_t>(8, 0)));
    // Just short of a centre on either side: not covered.
    EXPECT_EQ(fillRect(3 * kSample + 2052, top, 5 * kSample + 2044, bottom),
              (std::vector<std::uint8_t>{0x08, 0, 0, 0, 0x08, 0, 0, 0}));
    // Start and end within one byte, and across several bytes.
    EXPECT_EQ(fillRect(2 * kSample, top, 6 * kSample, bottom),
              (std::vector<std::uint8_t>{0x3C, 0, 0, 0, 0x3C, 0, 0, 0}));
    EXPECT_EQ(fillRect(5 * kSample, top, 27 * kSample, bottom),
              (std::vector<std::uint8_t>{0x07, 0xFF, 0xFF, 0xE0, 0x07, 0xFF, 0xFF, 0xE0}));
}

TEST(GlyphSpans, UpperEndOnARowCentreIsActiveLowerEndIsNot) {
    // y from the centre of sample row 1 to the centre of row 3: rows 1 and 2.
    const auto mask = fillRect(0, kSample + 2048, 8 * kSample, 3 * kSample + 2048, 8, 4, 1);
    EXPECT_EQ(mask, (std::vector<std::uint8_t>{0, 0xFF, 0xFF, 0}));
    // A shared corner on a row centre is counted once: a diamond whose left
    // and right corners lie on the centre of row 2 fills that row once.
    OutlineBuilder b;
    b.addContour({{at(8 * kSample), at(0)},
                  {at(16 * kSample), at(2 * kSample + 2048)},
                  {at(8 * kSample), at(5 * kSample)},
                  {at(0), at(2 * kSample + 2048)}});
    const auto diamond = fill(b.finish(), 16, 5, 2);
    EXPECT_EQ(diamond[4], 0xFF);
    EXPECT_EQ(diamond[5], 0xFF);
}

TEST(GlyphSpans, ClippedAtTheGlyphsSides) {
    // Reaching left of the glyph starts at column 0, right of it ends at the
    // last column; nothing is written beyond widthSamples.
    EXPECT_EQ(fillRect(-5 * kSample, 0, 40 * kSample, kSample, 12, 1, 3),
              (std::vector<std::uint8_t>{0xFF, 0xF0, 0}));
    EXPECT_EQ(fillRect(-9 * kSample, 0, -1 * kSample, kSample, 12, 1, 3),
              (std::vector<std::uint8_t>{0, 0, 0}));
    EXPECT_EQ(fillRect(12 * kSample, 0, 20 * kSample, kSample, 12, 1, 3),
              (std::vector<std::uint8_t>{0, 0, 0}));
    // Rows above the glyph are never produced, rows below are not asked for.
    EXPECT_EQ(fillRect(0, -3 * kSample, 8 * kSample, 9 * kSample, 8, 2, 1),
              (std::vector<std::uint8_t>{0xFF, 0xFF}));
}

TEST(GlyphSpans, NonZeroWinding) {
    OutlineBuilder b;
    // Two overlapping rectangles running the same way fill their union once;
    // a rectangle running the other way inside a third one leaves a hole.
    b.addRect(at(0), at(0), at(6 * kSample), at(kSample));
    b.addRect(at(4 * kSample), at(0), at(10 * kSample), at(kSample));
    b.addRect(at(16 * kSample), at(0), at(32 * kSample), at(kSample));
    b.addRect(at(20 * kSample), at(0), at(28 * kSample), at(kSample), true);
    EXPECT_EQ(fill(b.finish(), 32, 1, 4), (std::vector<std::uint8_t>{0xFF, 0xC0, 0xF0, 0x0F}));
}

TEST(GlyphSpans, SlantedEdgesFollowTheInverseSlope) {
    // A triangle: the crossing moves by the inverse slope from row to row.
    OutlineBuilder b;
    b.addContour({{at(0), at(0)}, {at(16 * kSample), at(8 * kSample)}, {at(0), at(8 * kSample)}});
    const auto mask = fill(b.finish(), 16, 8, 2);
    for (int k = 0; k < 8; ++k) {
        // Row k's right crossing is at 2k + 1 samples: columns 0 .. 2k.
        const int last = 2 * k;
        const std::uint16_t bits = static_cast<std::uint16_t>(0xFFFF << (15 - last));
        EXPECT_EQ(mask[2 * k], bits >> 8) << "row " << k;
        EXPECT_EQ(mask[2 * k + 1], bits & 0xFF) << "row " << k;
    }
}

// A glyph whose only outline covers `columns` x `rows` samples of pixel
// (0, 0), painted as a base and then overlaid.
struct PixelCase {
    int columns;
    int rows;
};

std::vector<std::uint8_t> paint(PixelCase c, GlyphColour base, const GlyphColour* overlay) {
    OutlineBuilder b;
    b.addRect(at(0), at(0), at(c.columns * kSample), at(c.rows * kSample));
    const OutlineSet& set = b.finish();
    const int e = kExactSide;
    const int stride = 3 * e;
    std::vector<std::uint8_t> glyph(static_cast<std::size_t>(stride) * e, 7);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(8) * e * e, 0xAA);
    GlyphRasterizer raster(set);
    raster.setGlyphSize(e);
    if (overlay == nullptr) {
        raster.paintBase(glyph.data(), stride, e, 0, base, mask.data());
    } else {
        raster.paintBase(glyph.data(), stride, e, kNoOutline, base, mask.data());
        raster.paintOverlay(glyph.data(), stride, e, 0, *overlay, mask.data());
    }
    // Every other pixel is white.
    for (std::size_t i = 3; i < glyph.size(); ++i)
        if (glyph[i] != 255) {
            ADD_FAILURE() << "byte " << i << " is " << int{glyph[i]};
            break;
        }
    return {glyph[0], glyph[1], glyph[2]};
}

TEST(GlyphBlending, BaseAndOverlayFormulas) {
    EXPECT_EQ(paint({4, 8}, Ink, nullptr), (std::vector<std::uint8_t>{146, 146, 146}));
    EXPECT_EQ(paint({4, 4}, Ink, nullptr), (std::vector<std::uint8_t>{200, 200, 200}));
    EXPECT_EQ(paint({8, 8}, Ink, nullptr), (std::vector<std::uint8_t>{38, 38, 38}));
    EXPECT_EQ(paint({1, 1}, Ink, nullptr), (std::vector<std::uint8_t>{251, 251, 251}));
    // RGB (147, 195, 117), stored blue first.
    EXPECT_EQ(paint({6, 8}, White, &TrialGreen), (std::vector<std::uint8_t>{117, 195, 147}));
    EXPECT_EQ(paint({8, 8}, White, &TrialGreen), (std::vector<std::uint8_t>{71, 176, 112}));
}

TEST(GlyphBlending, OverlayBlendsOverWhatIsThere) {
    // Ink at coverage 32 (146), then TrialGreen at coverage 16 over it:
    // (146 * 48 + channel * 16) >> 6 per channel.
    OutlineBuilder b;
    b.addRect(at(0), at(0), at(4 * kSample), at(8 * kSample));
    b.beginOutline();
    b.addRect(at(0), at(0), at(2 * kSample), at(8 * kSample));
    const OutlineSet& set = b.finish();
    const int e = kExactSide;
    std::vector<std::uint8_t> glyph(static_cast<std::size_t>(3) * e * e);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(8) * e * e);
    GlyphRasterizer raster(set);
    raster.setGlyphSize(e);
    raster.paintBase(glyph.data(), 3 * e, e, 0, Ink, mask.data());
    raster.paintOverlay(glyph.data(), 3 * e, e, 1, TrialGreen, mask.data());
    EXPECT_EQ(glyph[0], (146 * 48 + 71 * 16) >> 6);
    EXPECT_EQ(glyph[1], (146 * 48 + 176 * 16) >> 6);
    EXPECT_EQ(glyph[2], (146 * 48 + 112 * 16) >> 6);
    EXPECT_EQ(glyph[3], 255);
}

TEST(GlyphFill, BuiltInOutlinesMatchTheReferenceAtManySizes) {
    GlyphRasterizer raster;
    reference::Rasterizer ref;
    for (int e : {1, 2, 5, 12, 17, 40, 48, 91, 100}) {
        raster.setGlyphSize(e);
        ref.setGlyphSize(e);
        const std::size_t bytes = static_cast<std::size_t>(8) * e * e;
        for (int o = 0; o < kOutlineCount; ++o) {
            std::vector<std::uint8_t> got(bytes, 0), want(bytes, 0);
            raster.fillOutline(o, got.data(), 8 * e, 8 * e, e);
            ref.fillOutline(o, want.data(), 8 * e, 8 * e, e);
            ASSERT_EQ(got, want) << "outline " << o << " at side " << e;
        }
    }
}

}  // namespace
}  // namespace quorrin
