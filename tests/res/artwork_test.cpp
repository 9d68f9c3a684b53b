// The committed artwork: the button faces (bitmap 129), the clock sheet with
// the clear banner (bitmap 131) and the icon. The screen copies fixed
// rectangles out of the bitmaps, some with their white left out, so sizes,
// places, the white background and the colours are checked pixel by pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "screen/bitmap.h"
#include "screen/surface.h"

namespace quorrin {
namespace {

struct Rgb {
    int r, g, b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
};

constexpr Rgb kWhite{255, 255, 255}, kBlack{0, 0, 0}, kBrown{185, 122, 87};

std::vector<std::uint8_t> readFile(const std::string& name) {
    std::ifstream file(std::string(QUORRIN_SOURCE_DIR "/res/") + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

std::uint32_t u32(const std::vector<std::uint8_t>& v, std::size_t at) {
    return v.at(at) | v.at(at + 1) << 8 | v.at(at + 2) << 16 | std::uint32_t{v.at(at + 3)} << 24;
}

// The file as the resource compiler embeds it: 14-byte file header, 40-byte
// info header, 24-bit, uncompressed, bottom-up, no colour table; read as the
// program reads it, from the packed form.
Surface readArtwork(const char* name, int width, int height) {
    const std::vector<std::uint8_t> f = readFile(name);
    const std::size_t rowBytes = static_cast<std::size_t>((3 * width + 3) & ~3);
    EXPECT_EQ(f.size(), 54 + rowBytes * static_cast<std::size_t>(height)) << name;
    // clang-format off
    const std::uint32_t fields[][2] = {{2, static_cast<std::uint32_t>(f.size())}, {10, 54},
        {14, 40}, {18, static_cast<std::uint32_t>(width)}, {22, static_cast<std::uint32_t>(height)},
        {26, 1 | 24 << 16}, {30, 0}, {46, 0}};
    // clang-format on
    EXPECT_TRUE(f.size() > 54 && f[0] == 'B' && f[1] == 'M');
    for (const auto& field : fields) EXPECT_EQ(u32(f, field[0]), field[1]) << name << field[0];
    Surface s;
    EXPECT_TRUE(f.size() > 14 && readPackedBitmap(f.data() + 14, f.size() - 14, s));
    return s;
}

Rgb pixel(const Surface& s, int x, int y) {
    const std::uint8_t* p = s.row(y) + 3 * x;
    return {p[2], p[1], p[0]};
}

// Pixels of the colour in the rectangle x0..x1, y0..y1 (inclusive).
int count(const Surface& s, int x0, int y0, int x1, int y1, Rgb colour) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) n += pixel(s, x, y) == colour;
    return n;
}

bool allWhite(const Surface& s, int x0, int y0, int x1, int y1) {
    return count(s, x0, y0, x1, y1, kWhite) == (x1 - x0 + 1) * (y1 - y0 + 1);
}

// Whether c lies between white and brown, as a soft edge of brown on white.
bool brownOnWhite(Rgb c) {
    const int t = 255 - c.r, reds = 255 - kBrown.r;
    const auto expect = [&](int ink) { return 255 - (255 - ink) * t / reds; };
    return t >= 0 && t <= reds && std::abs(c.g - expect(kBrown.g)) <= 3 &&
           std::abs(c.b - expect(kBrown.b)) <= 3;
}

TEST(Artwork, ButtonFaces) {
    const Surface s = readArtwork("buttons.bmp", 900, 30);
    ASSERT_EQ(s.width * s.height, 900 * 30);
    const Rgb face[2] = {{239, 228, 176}, {224, 204, 121}},
              shadow[2] = {{127, 127, 127}, {63, 63, 63}};
    const Rgb orange[2] = {{255, 127, 66}, {255, 63, 17}};
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE("face " + std::to_string(k));
        const int x = 90 * k, hot = k >= 5 ? 1 : 0;
        // The flat face and the shadow right of and below it in the colours of
        // this look, none of the other look's.
        EXPECT_GT(count(s, x, 0, x + 89, 29, face[hot]), 1200);
        EXPECT_EQ(count(s, x, 0, x + 89, 29, face[1 - hot]), 0);
        EXPECT_EQ(count(s, x, 0, x + 89, 29, shadow[1 - hot]), 0);
        EXPECT_GE(count(s, x + 80, 8, x + 89, 22, shadow[hot]), 20);
        EXPECT_GE(count(s, x + 10, 24, x + 80, 29, shadow[hot]), 100);
        EXPECT_EQ(count(s, x, 0, x + 44, 14, shadow[hot]), 0);
        // A black outline left and at the top; white corners outside the shape.
        EXPECT_GE(count(s, x, 8, x + 3, 22, kBlack), 10);
        EXPECT_GE(count(s, x + 10, 0, x + 80, 3, kBlack), 50);
        for (int cx : {x, x + 88})
            for (int cy : {0, 28}) EXPECT_TRUE(allWhite(s, cx, cy, cx + 1, cy + 1));
        // Captions: orange on faces 3 and 4, redder on 8 and 9; black elsewhere.
        const bool isOrange = k % 5 >= 3;
        const int o = count(s, x + 6, 4, x + 81, 23, orange[hot]);
        EXPECT_EQ(count(s, x + 6, 4, x + 81, 23, orange[1 - hot]), 0);
        EXPECT_EQ(o >= 15, isOrange);
        EXPECT_EQ(count(s, x + 6, 4, x + 81, 23, kBlack) >= 15, !isOrange);
    }
}

TEST(Artwork, ClockDigitsBlankAndColon) {
    const Surface s = readArtwork("clock.bmp", 293, 106);
    ASSERT_EQ(s.width * s.height, 293 * 106);
    // Digits 0 to 9 at x = 15 d: brown with soft edges, the border of each
    // cell white, no two alike.
    std::vector<std::vector<std::uint8_t>> cells;
    for (int d = 0; d < 10; ++d) {
        SCOPED_TRACE("digit " + std::to_string(d));
        const int x0 = 15 * d, x1 = x0 + 14;
        EXPECT_GE(count(s, x0, 0, x1, 18, kBrown), 20);
        int soft = 0;
        std::vector<std::uint8_t> cell;
        for (int y = 0; y < 19; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const Rgb c = pixel(s, x, y);
                soft += !(c == kWhite) && !(c == kBrown);
                EXPECT_TRUE(brownOnWhite(c)) << x << "," << y;
            }
            cell.insert(cell.end(), s.row(y) + 3 * x0, s.row(y) + 3 * x1 + 3);
        }
        EXPECT_GE(soft, 10);
        EXPECT_TRUE(allWhite(s, x0, 0, x0, 18) && allWhite(s, x1, 0, x1, 18) &&
                    allWhite(s, x0, 0, x1, 0) && allWhite(s, x0, 18, x1, 18));
        for (const auto& other : cells) EXPECT_NE(other, cell);
        cells.push_back(cell);
    }
    EXPECT_TRUE(allWhite(s, 150, 0, 164, 18)) << "blank digit";
    EXPECT_TRUE(allWhite(s, 173, 0, 292, 18)) << "right of the colon";
    // The colon at x = 165 to 172: brown, clear of the cell's sides, two dots
    // apart.
    EXPECT_GE(count(s, 166, 0, 171, 18, kBrown), 4);
    EXPECT_TRUE(allWhite(s, 165, 0, 165, 18) && allWhite(s, 172, 0, 172, 18));
    int first = -1, last = -1;
    bool whiteAfterInk = false, gap = false;
    for (int y = 0; y < 19; ++y) {
        const bool white = allWhite(s, 165, y, 172, y);
        whiteAfterInk = whiteAfterInk || (white && first >= 0);
        gap = gap || (!white && whiteAfterInk);
        if (!white && first < 0) first = y;
        if (!white) last = y;
        for (int x = 165; x <= 172; ++x) EXPECT_TRUE(brownOnWhite(pixel(s, x, y)));
    }
    EXPECT_TRUE(first >= 0 && last > first + 2 && gap);
}

TEST(Artwork, ClearBannerColoursOnWhite) {
    const Surface s = readArtwork("clock.bmp", 293, 106);
    ASSERT_EQ(s.width * s.height, 293 * 106);
    // A white margin all round keeps the letters whole when white is left out.
    EXPECT_TRUE(allWhite(s, 0, 19, 292, 20) && allWhite(s, 0, 104, 292, 105));
    EXPECT_TRUE(allWhite(s, 0, 19, 1, 105) && allWhite(s, 291, 19, 292, 105));
    EXPECT_GT(count(s, 0, 19, 292, 105, {224, 0, 128}), 1000);   // magenta
    EXPECT_GT(count(s, 0, 19, 292, 105, {244, 64, 192}), 300);   // pink highlights
    EXPECT_GT(count(s, 0, 19, 292, 105, {128, 96, 128}), 1000);  // grey-violet outline
}

TEST(Artwork, IconHasA48PixelImage) {
    const std::vector<std::uint8_t> f = readFile("quorrin.ico");
    ASSERT_GE(f.size(), 6u);
    EXPECT_EQ(u32(f, 0), 0x10000u);  // reserved, then 1: an icon
    const std::size_t n = f[4] | f[5] << 8;
    bool has48 = false;
    for (std::size_t i = 0; i < n; ++i) {
        const std::size_t e = 6 + 16 * i;
        const int w = f.at(e) == 0 ? 256 : f[e], h = f.at(e + 1) == 0 ? 256 : f[e + 1];
        EXPECT_TRUE(w == h && w <= 48) << i;
        has48 = has48 || w == 48;
        const std::uint64_t size = u32(f, e + 8), at = u32(f, e + 12);
        ASSERT_LE(at + size, f.size());
        // A PNG, or a 32-bit DIB of twice the height (colours and mask).
        EXPECT_TRUE(f.at(at) == 0x89 ||
                    (u32(f, at) == 40 && u32(f, at + 4) == static_cast<std::uint32_t>(w) &&
                     u32(f, at + 8) == static_cast<std::uint32_t>(2 * h) && f.at(at + 14) == 32));
    }
    EXPECT_TRUE(has48);
}

}  // namespace
}  // namespace quorrin
