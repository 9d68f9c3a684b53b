// Surfaces: their sizes, and the fill, the copies and the opaque runs against
// a plain pixel-by-pixel reference on random pictures and rectangles.
#include "screen/surface.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <random>
#include <string>

#include "pixels.h"

namespace quorrin {
namespace {

using testing::Colour;
using testing::kWhite;
using testing::pixelAt;
using testing::setPixel;

TEST(SurfaceTest, CreatePadsRowsAndRefusesUnusableSizes) {
    // Width, height, stride asked for (0: the natural one), stride made (0: refused).
    // clang-format off
    const int cases[][4] = {{1, 3, 0, 4}, {4, 3, 0, 12}, {5, 3, 0, 16}, {431, 2, 0, 1296},
        {10, 2, 32, 32}, {10, 2, 28, 0}, {10, 2, 30, 0}, {0, 5, 0, 0}, {5, 0, 0, 0},
        {-3, 5, 0, 0}, {65536, 1, 0, 0}, {1, 65536, 0, 0}};
    // clang-format on
    for (const auto& c : cases) {
        Surface s;
        ASSERT_TRUE(s.create(4, 4));
        EXPECT_EQ(c[2] != 0 ? s.create(c[0], c[1], c[2]) : s.create(c[0], c[1]), c[3] != 0);
        EXPECT_EQ(s.pixels.size(), static_cast<std::size_t>(c[3] * (c[3] != 0 ? c[1] : 0)));
        EXPECT_EQ(s.stride, c[3]) << c[0] << "x" << c[1];
    }
}

// Random pixels, a third of them white and some nearly white, the row padding
// a marker that nothing may touch; a sparse picture is mostly white, with
// short stretches of others, like a glyph sheet.
Surface randomSurface(std::mt19937& rng, int w, int h, bool sparse = false) {
    Surface s;
    EXPECT_TRUE(s.create(w, h));
    std::fill(s.pixels.begin(), s.pixels.end(), std::uint8_t{0xA5});
    const auto byte = [&rng] { return static_cast<std::uint8_t>(rng()); };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto kind = rng() % (sparse ? 24 : 6);
            setPixel(s, x, y,
                     kind == 2                ? Colour{255, 255, 254}
                     : kind == 3              ? Colour{254, 255, 255}
                     : kind == 4 || kind == 5 ? Colour{byte(), byte(), byte()}
                                              : kWhite);
        }
    return s;
}

// The obviously correct copy (without a source: the white fill): every
// destination pixel looks up the pixel that would land on it.
void referenceCopy(Surface& dst, const Surface* src, long long sx, long long sy, long long w,
                   long long h, long long dx, long long dy, bool transparent) {
    for (int ty = 0; ty < dst.height; ++ty)
        for (int tx = 0; tx < dst.width; ++tx) {
            const long long i = tx - dx, j = ty - dy, x = sx + i, y = sy + j;
            if (i < 0 || j < 0 || i >= w || j >= h) continue;
            if (src == nullptr) {
                setPixel(dst, tx, ty, kWhite);
                continue;
            }
            if (x < 0 || y < 0 || x >= src->width || y >= src->height) continue;
            const Colour c = pixelAt(*src, static_cast<int>(x), static_cast<int>(y));
            if (!(transparent && c == kWhite)) setPixel(dst, tx, ty, c);
        }
}

// The non-white runs, pixel by pixel.
OpaqueRuns referenceRuns(const Surface& s) {
    OpaqueRuns r;
    for (int y = 0; y < s.height; ++y) {
        r.rowStart.push_back(r.runs.size());
        for (int x = 0; x < s.width; ++x) {
            if (pixelAt(s, x, y) == kWhite) continue;
            if (x > 0 && pixelAt(s, x - 1, y) != kWhite)
                ++r.runs.back().end;
            else
                r.runs.push_back({x, x + 1});
        }
    }
    r.rowStart.push_back(r.runs.size());
    return r;
}

TEST(SurfaceTest, FillCopiesAndRunsMatchThePixelByPixelReference) {
    std::mt19937 rng(12345);
    const auto pick = [&rng](int lo, int hi) {
        return lo + static_cast<int>(rng() % (hi - lo + 1));
    };
    // Mostly around the pictures, now and then an extreme.
    const auto coordinate = [&](int lo, int hi) {
        const int k = pick(0, 15);
        return k == 0 ? INT_MIN : k == 1 ? INT_MAX : pick(lo, hi);
    };
    for (int round = 0; round < 8000; ++round) {
        // White fill, copy, transparent copy, the same with the source's runs
        // and with runs that do not fit the source (the copy searches instead).
        const int kind = round % 5;
        const Surface src = randomSurface(rng, pick(1, 47), pick(1, 9), round / 5 % 2 == 1);
        Surface dst = randomSurface(rng, pick(1, 41), pick(1, 11));
        OpaqueRuns runs;
        findOpaqueRuns(src, runs);
        const OpaqueRuns want = referenceRuns(src);
        ASSERT_EQ(runs.rowStart, want.rowStart);
        for (std::size_t i = 0; i < want.runs.size(); ++i)
            ASSERT_TRUE(runs.runs[i].begin == want.runs[i].begin &&
                        runs.runs[i].end == want.runs[i].end);
        if (kind == 4) findOpaqueRuns(randomSurface(rng, src.width, src.height + 1), runs);

        int sx = coordinate(-12, 50), sy = coordinate(-12, 50), w = coordinate(-2, 50),
            h = coordinate(-2, 50), dx = coordinate(-12, 50), dy = coordinate(-12, 50);
        // Now and then within one surface, the rectangle shifted a little.
        const bool self = kind > 0 && round % 7 == 0;
        if (self) {
            sx = pick(-2, 8);
            sy = pick(-2, 8);
            dx = sx + pick(-3, 3);
            dy = sy + pick(-2, 2);
        }
        const Surface before = dst;
        const Surface& from = self ? dst : src;
        Surface expected = dst;
        referenceCopy(expected,
                      kind == 0 ? nullptr
                      : self    ? &before
                                : &src,
                      sx, sy, w, h, dx, dy, kind > 1);
        if (kind == 0) dst.fillWhite(dx, dy, w, h);
        if (kind == 1) dst.copyFrom(from, sx, sy, w, h, dx, dy);
        if (kind == 2) dst.copyTransparentFrom(from, sx, sy, w, h, dx, dy);
        if (kind >= 3) dst.copyTransparentFrom(from, runs, sx, sy, w, h, dx, dy);
        ASSERT_EQ(dst.pixels, expected.pixels)
            << "round " << round << " src " << src.width << "x" << src.height << " dst "
            << dst.width << "x" << dst.height << " (" << sx << "," << sy << ") " << w << "x" << h
            << " to (" << dx << "," << dy << ")" << (self ? " within" : "");
    }
}

}  // namespace
}  // namespace quorrin
