#include "screen/surface.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace quorrin {
namespace {

constexpr std::uint8_t kPadding = 0xA5;

struct Colour {
    std::uint8_t b, g, r;
};

Colour pixelAt(const Surface& s, int x, int y) {
    const std::uint8_t* p = s.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

void setPixel(Surface& s, int x, int y, Colour c) {
    std::uint8_t* p = s.row(y) + 3 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

bool isWhite(Colour c) {
    return c.b == 255 && c.g == 255 && c.r == 255;
}

// A surface of random pixels, about a third of them pure white and some only
// nearly white, its row padding set to a marker that no operation may touch.
// A sparse one has white stretches of 0 to 19 pixels between short
// stretches of other pixels, the look of a glyph sheet.
Surface randomSurface(std::mt19937& rng, int w, int h, bool sparse = false) {
    Surface s;
    EXPECT_TRUE(s.create(w, h));
    std::fill(s.pixels.begin(), s.pixels.end(), kPadding);
    for (int y = 0; y < h; ++y) {
        int white = 0, other = 0;
        for (int x = 0; x < w; ++x) {
            if (sparse && white == 0 && other == 0) {
                white = static_cast<int>(rng() % 20);
                other = 1 + static_cast<int>(rng() % 3);
            }
            auto kind = rng() % 6;
            if (sparse) {
                if (white > 0) {
                    --white;
                    kind = 0;
                } else {
                    --other;
                    kind = 2 + kind % 4;
                }
            }
            Colour c{static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                     static_cast<std::uint8_t>(rng())};
            if (kind < 2) c = {255, 255, 255};
            if (kind == 2) c = {255, 255, 254};
            if (kind == 3) c = {254, 255, 255};
            setPixel(s, x, y, c);
        }
    }
    return s;
}

// Obviously correct copies: every destination pixel looks up the source
// pixel that would land on it.
void referenceCopy(Surface& dst, const Surface& src, int sx, int sy, int w, int h, int dx, int dy,
                   bool transparent) {
    for (int ty = 0; ty < dst.height; ++ty)
        for (int tx = 0; tx < dst.width; ++tx) {
            const long long i = static_cast<long long>(tx) - dx,
                            j = static_cast<long long>(ty) - dy;
            if (i < 0 || j < 0 || i >= w || j >= h) continue;
            const long long x = sx + i, y = sy + j;
            if (x < 0 || y < 0 || x >= src.width || y >= src.height) continue;
            const Colour c = pixelAt(src, static_cast<int>(x), static_cast<int>(y));
            if (transparent && isWhite(c)) continue;
            setPixel(dst, tx, ty, c);
        }
}

TEST(SurfaceTest, RowsArePaddedToFourBytes) {
    Surface s;
    const int widths[] = {1, 2, 3, 4, 5, 53 * 7, 431};
    for (int w : widths) {
        ASSERT_TRUE(s.create(w, 3));
        EXPECT_EQ(s.stride % 4, 0) << w;
        EXPECT_GE(s.stride, 3 * w);
        EXPECT_LT(s.stride, 3 * w + 4);
        EXPECT_EQ(s.pixels.size(), static_cast<std::size_t>(s.stride) * 3u);
    }
    EXPECT_EQ(surfaceRowBytes(1), 4);
    EXPECT_EQ(surfaceRowBytes(5), 16);
    EXPECT_EQ(surfaceRowBytes(4), 12);
}

TEST(SurfaceTest, RejectsUnusableSizes) {
    Surface s;
    ASSERT_TRUE(s.create(4, 4));
    EXPECT_FALSE(s.create(0, 5));
    EXPECT_TRUE(s.empty());
    EXPECT_TRUE(s.pixels.empty());
    EXPECT_FALSE(s.create(5, 0));
    EXPECT_FALSE(s.create(-3, 5));
    EXPECT_FALSE(s.create(kMaxSurfaceSide + 1, 1));
    EXPECT_FALSE(s.create(1, kMaxSurfaceSide + 1));
    // A given stride must hold the row and keep the 4-byte alignment.
    EXPECT_FALSE(s.create(10, 2, 28));
    EXPECT_FALSE(s.create(10, 2, 30));
    EXPECT_TRUE(s.create(10, 2, 32));
    EXPECT_EQ(s.stride, 32);
    EXPECT_EQ(s.pixels.size(), 64u);
}

TEST(SurfaceTest, FillWhiteIsClippedAndKeepsPadding) {
    std::mt19937 rng(7);
    struct Rect {
        int x, y, w, h;
    };
    const Rect rects[] = {{2, 1, 3, 2},     {-5, -5, 8, 7},
                          {6, 4, 100, 100}, {-1000, 2, 5, 1},
                          {0, 0, 0, 5},     {3, 3, -2, 4},
                          {0, 0, 7, 5},     {-2147483647, -2147483647, 2147483647, 2147483647}};
    for (const Rect& r : rects) {
        Surface s = randomSurface(rng, 7, 5);
        Surface expected = s;
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 7; ++x) {
                const long long rx = x - static_cast<long long>(r.x);
                const long long ry = y - static_cast<long long>(r.y);
                if (rx >= 0 && ry >= 0 && rx < r.w && ry < r.h)
                    setPixel(expected, x, y, {255, 255, 255});
            }
        s.fillWhite(r.x, r.y, r.w, r.h);
        EXPECT_EQ(s.pixels, expected.pixels) << r.x << "," << r.y << " " << r.w << "x" << r.h;
    }
}

TEST(SurfaceTest, CopiesMatchPixelByPixelReference) {
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> coord(-12, 50);
    std::uniform_int_distribution<int> extent(-2, 50);
    for (int round = 0; round < 6000; ++round) {
        const bool sparse = (round / 3) % 2 == 1;
        const Surface src = randomSurface(rng, 1 + static_cast<int>(rng() % 47),
                                          1 + static_cast<int>(rng() % 9), sparse);
        Surface dst =
            randomSurface(rng, 1 + static_cast<int>(rng() % 41), 1 + static_cast<int>(rng() % 11));
        OpaqueRuns runs;
        findOpaqueRuns(src, runs);
        const int sx = coord(rng), sy = coord(rng), w = extent(rng), h = extent(rng);
        const int dx = coord(rng), dy = coord(rng);
        const int kind = round % 3;

        Surface expected = dst;
        referenceCopy(expected, src, sx, sy, w, h, dx, dy, kind != 0);
        if (kind == 0) dst.copyFrom(src, sx, sy, w, h, dx, dy);
        if (kind == 1) dst.copyTransparentFrom(src, sx, sy, w, h, dx, dy);
        if (kind == 2) dst.copyTransparentFrom(src, runs, sx, sy, w, h, dx, dy);
        ASSERT_EQ(dst.pixels, expected.pixels)
            << "kind " << kind << " src " << src.width << "x" << src.height << " dst " << dst.width
            << "x" << dst.height << " rect (" << sx << "," << sy << ") " << w << "x" << h << " to ("
            << dx << "," << dy << ")";
    }
}

TEST(SurfaceTest, ExtremeCoordinatesNeverReachOutside) {
    std::mt19937 rng(3);
    const Surface src = randomSurface(rng, 9, 4);
    OpaqueRuns runs;
    findOpaqueRuns(src, runs);
    const int big = 2147483647, small = -2147483647 - 1;
    const int values[] = {small, -9, 0, 3, big};
    for (int a : values)
        for (int b : values)
            for (int c : values) {
                Surface dst = randomSurface(rng, 6, 5);
                Surface expected = dst;
                referenceCopy(expected, src, a, 0, b, 4, c, 1, false);
                dst.copyFrom(src, a, 0, b, 4, c, 1);
                ASSERT_EQ(dst.pixels, expected.pixels);
                dst.copyTransparentFrom(src, 0, a, 9, b, c, 0);
                dst.copyTransparentFrom(src, runs, b, c, a, 4, 0, a);
                dst.fillWhite(a, b, c, a);
            }
}

TEST(SurfaceTest, EmptySurfacesTakePartInNothing) {
    std::mt19937 rng(5);
    Surface none;
    Surface s = randomSurface(rng, 4, 4);
    const Surface before = s;
    s.copyFrom(none, 0, 0, 4, 4, 0, 0);
    s.copyTransparentFrom(none, 0, 0, 4, 4, 0, 0);
    EXPECT_EQ(s.pixels, before.pixels);
    none.copyFrom(s, 0, 0, 4, 4, 0, 0);
    none.fillWhite();
    EXPECT_TRUE(none.pixels.empty());
}

TEST(SurfaceTest, RunsThatDoNotFitTheSourceFallBackToTheSearch) {
    std::mt19937 rng(9);
    const Surface src = randomSurface(rng, 8, 6);
    const Surface other = randomSurface(rng, 8, 3);
    OpaqueRuns stale;
    findOpaqueRuns(other, stale);
    Surface dst = randomSurface(rng, 8, 6);
    Surface expected = dst;
    referenceCopy(expected, src, 0, 0, 8, 6, 0, 0, true);
    dst.copyTransparentFrom(src, stale, 0, 0, 8, 6, 0, 0);
    EXPECT_EQ(dst.pixels, expected.pixels);
}

TEST(SurfaceTest, OverlappingCopiesWithinOneSurface) {
    std::mt19937 rng(11);
    const int shifts[][2] = {{1, 1}, {-1, -1}, {2, 0}, {-2, 0}, {0, 2}, {0, -2}, {3, -1}};
    for (const auto& shift : shifts)
        for (int transparent = 0; transparent < 2; ++transparent) {
            Surface s = randomSurface(rng, 10, 8);
            Surface expected = s;
            const Surface original = s;
            referenceCopy(expected, original, 2, 2, 6, 4, 2 + shift[0], 2 + shift[1],
                          transparent != 0);
            if (transparent)
                s.copyTransparentFrom(s, 2, 2, 6, 4, 2 + shift[0], 2 + shift[1]);
            else
                s.copyFrom(s, 2, 2, 6, 4, 2 + shift[0], 2 + shift[1]);
            EXPECT_EQ(s.pixels, expected.pixels) << shift[0] << "," << shift[1];
        }
}

TEST(SurfaceTest, RunsMatchAPixelByPixelSearch) {
    std::mt19937 rng(21);
    for (int round = 0; round < 500; ++round) {
        const Surface s = randomSurface(rng, 1 + static_cast<int>(rng() % 70),
                                        1 + static_cast<int>(rng() % 5), round % 2 == 0);
        OpaqueRuns runs;
        findOpaqueRuns(s, runs);
        std::vector<OpaqueRuns::Run> expected;
        std::vector<std::size_t> rowStart;
        for (int y = 0; y < s.height; ++y) {
            rowStart.push_back(expected.size());
            for (int x = 0; x < s.width; ++x) {
                if (isWhite(pixelAt(s, x, y))) continue;
                if (x > 0 && !isWhite(pixelAt(s, x - 1, y)))
                    ++expected.back().end;
                else
                    expected.push_back({x, x + 1});
            }
        }
        rowStart.push_back(expected.size());
        ASSERT_EQ(runs.rowStart, rowStart);
        ASSERT_EQ(runs.runs.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            ASSERT_EQ(runs.runs[i].begin, expected[i].begin);
            ASSERT_EQ(runs.runs[i].end, expected[i].end);
        }
    }
}

}  // namespace
}  // namespace quorrin
