// Surfaces and bitmaps: sizes; the fill and the copies against a plain
// pixel-by-pixel reference on random pictures and rectangles; bitmaps of
// every form read, damage refused.
#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "pixels.h"
#include "screen/bitmap.h"

namespace quorrin {
namespace {

using testing::Colour;
using testing::kWhite;
using testing::pixelAt;
using testing::setPixel;

TEST(Surface, CreatePadsRowsAndRefusesUnusableSizes) {
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
        EXPECT_EQ(s.stride + s.empty(), c[3] + (c[3] == 0)) << c[0] << "x" << c[1];
    }
}

TEST(Surface, FillAndCopiesMatchThePixelByPixelReference) {
    std::mt19937 rng(12345);
    const auto pick = [&rng](int lo, int hi) {
        return lo + static_cast<int>(rng() % (hi - lo + 1));
    };
    // Random pixels, a third of them white and some nearly white, or (sparse)
    // mostly white, like a glyph sheet; the row padding a marker.
    const auto picture = [&](int w, int h, bool sparse) {
        Surface s;
        EXPECT_TRUE(s.create(w, h));
        std::fill(s.pixels.begin(), s.pixels.end(), std::uint8_t{0xA5});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int kind = pick(0, sparse ? 23 : 5), r = pick(0, 255);
                setPixel(s, x, y,
                         kind < 2    ? kWhite
                         : kind == 2 ? Colour{255, 255, 254}
                         : kind == 3
                             ? Colour{254, 255, 255}
                             : Colour{std::uint8_t(r), std::uint8_t(r / 2), std::uint8_t(r + 9)});
            }
        return s;
    };
    // Mostly around the pictures, now and then an extreme.
    const auto coordinate = [&](int lo) {
        const int k = pick(0, 15);
        return k == 0 ? INT_MIN : k == 1 ? INT_MAX : pick(lo, 50);
    };
    for (int round = 0; round < 8000; ++round) {
        // White fill, copy, transparent copy, the same with the source's runs
        // and with runs that do not fit the source (the copy searches instead).
        const int kind = round % 5;
        const Surface src = picture(pick(1, 47), pick(1, 9), round / 5 % 2 == 1);
        Surface dst = picture(pick(1, 41), pick(1, 11), false);
        OpaqueRuns runs;
        findOpaqueRuns(kind == 4 ? picture(src.width, src.height + 1, false) : src, runs);
        int sx = coordinate(-12), sy = coordinate(-12), w = coordinate(-2), h = coordinate(-2),
            dx = coordinate(-12), dy = coordinate(-12);
        // Now and then within one surface, the rectangle shifted a little.
        const bool self = kind > 0 && round % 7 == 0;
        if (self) {
            sx = pick(-2, 8);
            sy = pick(-2, 8);
            dx = sx + pick(-3, 3);
            dy = sy + pick(-2, 2);
        }
        // Every destination pixel looks up the one that would land on it
        // (the fill: from an unbounded white source).
        const Surface before = dst, &from = self ? before : src;
        Surface expected = dst;
        for (int ty = 0; ty < dst.height; ++ty)
            for (int tx = 0; tx < dst.width; ++tx) {
                const long long i = tx - 1LL * dx, j = ty - 1LL * dy, x = sx + i, y = sy + j;
                if (i < 0 || j < 0 || i >= w || j >= h) continue;
                if (kind > 0 && (x < 0 || y < 0 || x >= from.width || y >= from.height)) continue;
                const Colour c = kind == 0 ? kWhite : pixelAt(from, int(x), int(y));
                if (kind < 2 || c != kWhite) setPixel(expected, tx, ty, c);
            }
        if (kind == 0) dst.fillWhite(dx, dy, w, h);
        if (kind == 1) dst.copyFrom(self ? dst : src, sx, sy, w, h, dx, dy);
        if (kind == 2) dst.copyTransparentFrom(self ? dst : src, sx, sy, w, h, dx, dy);
        if (kind >= 3) dst.copyTransparentFrom(self ? dst : src, runs, sx, sy, w, h, dx, dy);
        ASSERT_EQ(dst.pixels, expected.pixels)
            << "round " << round << " src " << src.width << "x" << src.height << " dst "
            << dst.width << "x" << dst.height << " (" << sx << "," << sy << ") " << w << "x" << h
            << " to (" << dx << "," << dy << ")" << (self ? " within" : "");
    }
}

void put(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (std::size_t i = 0; i < 4; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

// A .bmp file of w x h pixels, pixel (x, y) the bytes 40x + 7y + 0, 1, 2,
// rows in the order asked for, after `table` colour table entries and `gap`
// bytes; without its first 14 bytes the packed form (when gap is 0).
std::vector<std::uint8_t> bitmap(int w, int h, bool topDown, unsigned table, unsigned gap) {
    const std::size_t rowBytes = static_cast<std::size_t>((3 * w + 3) & ~3),
                      at = 54 + 4 * table + gap;
    std::vector<std::uint8_t> v(at + rowBytes * static_cast<std::size_t>(h), 0xEE);
    for (std::size_t i = 0; i < 54; i += 2) put(v, i, 0);
    v[0] = 'B';
    v[1] = 'M';
    put(v, 10, static_cast<std::uint32_t>(at));
    put(v, 14, 40);
    put(v, 18, static_cast<std::uint32_t>(w));
    put(v, 22, static_cast<std::uint32_t>(topDown ? -h : h));
    put(v, 26, 1 | 24 << 16);
    put(v, 46, table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            v[at + static_cast<std::size_t>(topDown ? y : h - 1 - y) * rowBytes + x] =
                static_cast<std::uint8_t>(40 * (x / 3) + 7 * y + x % 3);
    return v;
}

// Whether s holds that picture, its row padding zero.
bool isPicture(const Surface& s, int w, int h) {
    bool same = s.width == w && s.height == h && s.stride % 4 == 0;
    for (int y = 0; same && y < h; ++y)
        for (int x = 0; x < s.stride; ++x)
            same = same && s.row(y)[x] == (x < 3 * w ? (40 * (x / 3) + 7 * y + x % 3) % 256 : 0);
    return same;
}

bool readFile(const std::string& path, const std::vector<std::uint8_t>& bytes, Surface& s) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return readBitmapFile(path.c_str(), s);
}

TEST(Bitmap, ReadsEveryFormAndRefusesDamage) {
    Surface s;
    // Packed: rows either way, past a colour table, the last row without
    // its padding.
    for (int w : {1, 2, 3, 4, 5, 17})
        for (bool topDown : {false, true})
            for (unsigned table : {0u, 2u}) {
                auto data = bitmap(w, 3, topDown, table, 0);
                if (w % 4 != 0) data.pop_back();
                EXPECT_TRUE(readPackedBitmap(data.data() + 14, data.size() - 14, s) &&
                            isPicture(s, w, 3))
                    << w << " " << topDown << " " << table;
            }
    // Header sizes, width, height, planes, bit count, compression, a colour
    // table beyond the data (offset, value, bytes); then every prefix short
    // of the last pixel, each in a buffer of its own for the sanitizer.
    // clang-format off
    const std::uint32_t changes[][3] = {{0, 12, 4}, {0, 56, 4}, {0, 41, 4}, {4, 0, 4},
        {4, 0xFFFFFFFFu, 4}, {4, 70000, 4}, {8, 0, 4}, {8, 0x80000000u, 4}, {8, 70000, 4},
        {12, 2, 2}, {12, 0, 2}, {14, 32, 2}, {14, 8, 2}, {14, 16, 2}, {16, 1, 4}, {16, 3, 4},
        {32, 0x40000000u, 4}};
    // clang-format on
    const std::size_t n = std::size(changes);
    const auto good = bitmap(5, 3, true, 0, 0);
    for (std::size_t i = 0; i < n + good.size() - 15; ++i) {
        std::vector<std::uint8_t> data(good.begin() + 14,
                                       i < n ? good.end() : good.begin() + long(i - n + 14));
        if (i < n) {
            auto field = data.begin() + changes[i][0];
            for (std::uint32_t k = 0, v = changes[i][1]; k < changes[i][2]; ++k, v >>= 8)
                field[k] = static_cast<std::uint8_t>(v);
        }
        ASSERT_TRUE(s.create(2, 2));
        EXPECT_FALSE(readPackedBitmap(data.data(), data.size(), s) || !s.empty()) << i;
    }
    EXPECT_FALSE(readPackedBitmap(nullptr, 100, s));
    // Files: the pixels where the file header says; pixel offsets inside the
    // headers or beyond the file, not "BM", the pixels cut short, no bytes.
    const std::string folder = ::testing::TempDir(), path = folder + "quorrin_screen_test.bmp";
    for (unsigned gap : {0u, 3u, 84u})
        EXPECT_TRUE(readFile(path, bitmap(7, 4, false, 0, gap), s) && isPicture(s, 7, 4)) << gap;
    std::vector<std::vector<std::uint8_t>> bad(8, bitmap(7, 4, false, 0, 0));
    const std::uint32_t offsets[] = {0u, 20u, 53u, 0x7FFFFFFFu, 0xFFFFFFFFu};
    for (std::size_t i = 0; i < 5; ++i) put(bad[i], 10, offsets[i]);
    bad[5][1] = 'A';
    bad[6].resize(bad[6].size() - 21);
    bad[7].clear();
    for (const auto& file : bad) EXPECT_FALSE(readFile(path, file, s) || !s.empty());
    std::remove(path.c_str());
    EXPECT_FALSE(readBitmapFile(path.c_str(), s) || readBitmapFile(nullptr, s));
    // The folder loader knows the two bitmaps by their resource numbers.
    readFile(folder + "clock.bmp", bitmap(3, 2, false, 0, 0), s);
    const BitmapLoader load = folderBitmapLoader(folder);
    EXPECT_TRUE(load(kClockBitmapId, s) && isPicture(s, 3, 2));
    EXPECT_FALSE(load(130, s) || !s.empty());
    std::remove((folder + "clock.bmp").c_str());
}

}  // namespace
}  // namespace quorrin
