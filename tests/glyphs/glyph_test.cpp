// The glyph rasterizer against the plain reference rasterizer: random outline
// sets and the built-in outlines, whole sheets, single masks and glyphs
// painted layer by layer; the sheet's grid for a size. (The built-in sheet's exact
// pixels are in the screen tests' frames, drawn at many pitches.)
#include <gtest/gtest.h>

#include <array>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "glyphs/glyph_rasterizer.h"
#include "reference_rasterizer.h"

namespace quorrin {
namespace {

constexpr std::uint8_t kUntouched = 0x5A;  // row padding nobody may write

template <typename Rasterizer>
std::vector<std::uint8_t> sheet(Rasterizer& raster, int e) {
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(glyphSheetStride(e)) * e, kUntouched);
    raster.renderSheet(e, glyphSheetStride(e), pixels.data());
    return pixels;
}

TEST(GlyphRasterizer, MatchesTheReferenceOnRandomOutlines) {
    // Random outline sets: each outline a handful of unpaired edges of either
    // direction, on top of each other, reaching out of the glyph, so that
    // spans open and close in every order. Half the edges have their ends on
    // whole units, half on the sample centres and the lines between them at
    // side `exact`. Now and then a set of fewer or more outlines than the
    // glyphs use, or one start entry spoilt (two outlines without edges).
    std::mt19937 rng(2024);
    const auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    for (int round = 0; round < 12; ++round) {
        const int exact = std::array{9, 31, 64}[round % 3];
        const auto coordinate = [&](bool onSamples) {
            const std::int64_t t = std::int64_t{pick(-exact, 17 * exact)} * 2048 * 4096,
                               scale = glyphScaleFactor(exact);
            if (!onSamples) return pick(-100, 1560) * 4096;
            return static_cast<std::int32_t>(t >= 0 ? (t + scale - 1) / scale : t / scale);
        };
        // The edge table: x at the upper end, y of both ends, slopes; starts.
        std::vector<std::int32_t> x, y0, y1, dx, start;
        std::vector<std::int8_t> up;
        for (int o = 0, count = round % 4 == 3 ? pick(0, 13) : kOutlineCount; o <= count; ++o) {
            start.push_back(static_cast<std::int32_t>(x.size()));
            for (int k = o < count ? pick(0, 12) : 0; k > 0; --k) {
                const bool onSamples = pick(0, 1);
                const std::int32_t top = coordinate(onSamples), bottom = coordinate(onSamples);
                if (top >= bottom) continue;
                x.push_back(coordinate(onSamples));
                y0.push_back(top);
                y1.push_back(bottom);
                dx.push_back(pick(0, 2) ? pick(-20000, 20000) : 0);
                up.push_back(static_cast<std::int8_t>(pick(0, 1) ? 1 : -1));
            }
        }
        if (round % 4 == 2)
            start[static_cast<std::size_t>(pick(1, 10))] = pick(0, 1) ? -1 : 1 << 30;
        const int n = static_cast<int>(x.size()), outlines = static_cast<int>(start.size()) - 1;
        const OutlineSet set{x.data(),  y0.data(),    y1.data(), dx.data(),
                             up.data(), start.data(), n,         outlines};
        GlyphRasterizer raster(set);
        reference::Rasterizer ref(set);
        for (int e : {1, 9, 31, 64}) {
            SCOPED_TRACE("round " + std::to_string(round) + " side " + std::to_string(e));
            const std::vector<std::uint8_t> want = sheet(ref, e);
            ASSERT_TRUE(sheet(raster, e) == want);
            // The same painted glyph by glyph, on scratch masks never cleared.
            std::vector<std::uint8_t> painted(want.size(), kUntouched), scratch(8 * e * e, 0xA5);
            const GlyphRecipes& r = glyphRecipes();
            const int stride = glyphSheetStride(e);
            raster.setGlyphSize(e);
            for (int g = 0; g < kGlyphCount; ++g) {
                std::uint8_t* glyph = &painted[static_cast<std::size_t>(3 * e * g)];
                raster.paintBase(glyph, stride, e, r.baseOutline[g], r.baseColour[g],
                                 scratch.data());
                for (const auto& [o, c] : {std::pair{r.layer1Outline[g], r.layer1Colour[g]},
                                           {r.layer2Outline[g], r.layer2Colour[g]}})
                    raster.paintOverlay(glyph, stride, e, o, c, scratch.data());
            }
            ASSERT_TRUE(painted == want);
            // Every outline number's mask, cut to a random width and height.
            ref.setGlyphSize(e);
            for (int o = -1; o <= kOutlineCount; ++o) {
                const int width = 1 + static_cast<int>(rng() % (8u * e + 20)),
                          rows = 1 + static_cast<int>(rng() % (8u * e + 8)),
                          maskStride = (width + 7) / 8 + static_cast<int>(rng() % 3);
                std::vector<std::uint8_t> got(static_cast<std::size_t>(rows * maskStride)),
                    mask(got);
                raster.fillOutline(o, got.data(), width, rows, maskStride);
                ref.fillOutline(o, mask.data(), width, rows, maskStride);
                ASSERT_EQ(got, mask) << "outline " << o;
            }
        }
    }
}

TEST(GlyphRasterizer, BuiltInSheetAtEverySize) {
    // One rasterizer for all sizes, up and down: nothing an earlier size
    // left may show, and the row padding stays untouched.
    GlyphRasterizer raster;
    reference::Rasterizer ref;
    for (int e = 0; e <= 30; ++e) {
        const int side = e % 2 ? e : 60 - e;
        ASSERT_TRUE(sheet(raster, side) == sheet(ref, side)) << side;
    }
}

TEST(GlyphSheet, GridsSizesAndRefusals) {
    GlyphRasterizer raster;
    raster.renderSheet(1, 160, nullptr);  // no buffer: nothing written
    // The grid for a side and a largest width: one row while all 53 fit,
    // else as few rows as possible, as evenly filled as can be; sides beyond
    // 0 to 65535 are taken as 0.
    // clang-format off
    const std::array<int, 4> sizes[] = {{40, 65535, 53, 1}, {1236, 65535, 53, 1},
        {1237, 65535, 27, 2}, {8192, 65535, 7, 8}, {10, 10, 1, 53}, {10, 9, 0, 0}, {0, 100, 0, 0},
        {715827882, INT_MAX, 0, 0}};
    // clang-format on
    for (const auto& g : sizes) {
        const GlyphSheetGrid grid = glyphSheetGrid(g[0], g[1]);
        EXPECT_EQ((std::vector<int>{grid.side, grid.columns, grid.rows}),
                  (std::vector<int>{g[2] ? g[0] : 0, g[2], g[3]}))
            << g[0] << " in " << g[1];
    }
    for (const auto& [e, kept] : {std::pair{65535, 65535}, {65536, 0}, {-1, 0}}) {
        raster.setGlyphSize(e);
        EXPECT_EQ(raster.glyphSize(), kept);
    }
}

}  // namespace
}  // namespace quorrin
