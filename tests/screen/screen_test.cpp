// The screen: surfaces (sizes; the fill and the copies against a plain
// pixel-by-pixel reference on random pictures and rectangles), bitmaps of
// every form read and damage refused; layout, hit-testing and drawing at
// several client sizes, by their exact metrics and the hash of the hit map,
// a drawn frame and the glyphs of the vertices; areas drawn alone (random
// rectangles) against a full redraw. (The app's soak holds its own areas
// against a full redraw after every event.)
#include "screen/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "board/board.h"
#include "screen/bitmap.h"

namespace quorrin {
namespace {

// Pixel access: colours in the surfaces' byte order (blue, green, red).
using Colour = std::array<std::uint8_t, 3>;
constexpr Colour kWhite{255, 255, 255};

Colour pixelAt(const Surface& s, int x, int y) {
    const std::uint8_t* p = s.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

void setPixel(Surface& s, int x, int y, Colour c) {
    std::copy(c.begin(), c.end(), s.row(y) + 3 * x);
}

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
    const auto pick = [&rng](int lo, int hi) { return lo + int(rng() % unsigned(hi - lo + 1)); };
    // Random pixels, a third of them white and some nearly white, or (sparse)
    // mostly white, like a glyph sheet; the row padding a marker.
    const Colour light[] = {kWhite, kWhite, {255, 255, 254}, {254, 255, 255}};
    const auto picture = [&](int w, int h, bool sparse) {
        Surface s;
        EXPECT_TRUE(s.create(w, h));
        std::fill(s.pixels.begin(), s.pixels.end(), std::uint8_t{0xA5});
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const int kind = pick(0, sparse ? 23 : 5), r = pick(0, 255);
                const Colour c{std::uint8_t(r), std::uint8_t(r / 2), std::uint8_t(r + 9)};
                setPixel(s, x, y, kind < 4 ? light[kind] : c);
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
        // Now and then within one surface, the rectangle shifted a little.
        const bool self = kind > 0 && round % 7 == 0;
        const int sx = self ? pick(-2, 8) : coordinate(-12),
                  sy = self ? pick(-2, 8) : coordinate(-12), w = coordinate(-2), h = coordinate(-2),
                  dx = self ? sx + pick(-3, 3) : coordinate(-12),
                  dy = self ? sy + pick(-2, 2) : coordinate(-12);
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
        ASSERT_EQ(dst.pixels, expected.pixels) << "round " << round;
    }
}

// One 4-byte little-endian field of a file changed: where, and to what.
using Patch = std::pair<std::size_t, std::uint32_t>;

void patch(std::vector<std::uint8_t>& v, Patch p) {
    for (std::size_t i = 0; i < 4; ++i)
        v[p.first + i] = static_cast<std::uint8_t>(p.second >> 8 * i);
}

// Reads bytes into a surface that held something: as a .bmp file (form 0)
// or, without the 14-byte file header, as the packed form (form 1).
bool read(int form, const std::vector<std::uint8_t>& bytes, Surface& s) {
    const std::string path = ::testing::TempDir() + "quorrin_screen_test.bmp";
    EXPECT_TRUE(s.create(2, 2));
    if (form == 1) return readPackedBitmap(bytes.data() + 14, bytes.size() - 14, s);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    return readBitmapFile(path.c_str(), s);
}

// Whether a read gave the pixels of `file` from byte `at` on, as many as its
// header says, rows bottom-up for a positive height, the row padding zero;
// for `at` 0, whether it was refused and left the surface empty.
bool holds(bool read, const Surface& s, const std::vector<std::uint8_t>& file, std::size_t at) {
    if (at == 0) return !read && s.empty();
    std::int32_t w, h;
    std::memcpy(&w, &file[18], 4);
    std::memcpy(&h, &file[22], 4);
    bool same = read && s.width == w && s.height == std::abs(h) && s.stride == (3 * w + 3) / 4 * 4;
    for (int y = 0; same && y < s.height; ++y) {
        const std::uint8_t* row =
            &file[at + std::size_t(s.stride) * (h < 0 ? y : s.height - 1 - y)];
        for (int x = 0; x < s.stride; ++x) same = same && s.row(y)[x] == (x < 3 * w ? row[x] : 0);
    }
    return same;
}

TEST(Bitmap, ReadsEveryFormAndRefusesDamage) {
    // A file of 5 x 3 pixels after a colour table of two entries, rows
    // bottom-up, the last row without its padding. Every other byte is its
    // position times 7: the fields the reader needs not, and the pixels.
    std::vector<std::uint8_t> good(62 + 16 * 3 - 1);
    for (std::size_t p = 0; p < good.size(); ++p) good[p] = static_cast<std::uint8_t>(7 * p);
    // clang-format off
    for (Patch p : {Patch{0, 'B' | 'M' << 8}, {10, 62}, {14, 40}, {18, 5}, {22, 3},
                    {26, 1 | 24 << 16}, {30, 0}, {46, 2}})
        patch(good, p);
    // clang-format on
    // One field changed, and where the pixels are then read from as a file
    // and as the packed form (0: refused). Pixels: unchanged, top-down,
    // narrower and lower, the pixel offset into the colour table (the packed
    // form does without it), no colour table, one beyond the data. Damage:
    // not "BM", pixel offsets in the headers or beyond the file; header
    // sizes, widths, heights, planes, bit counts, compression; data short.
    // clang-format off
    const struct { Patch change; std::size_t file, packed; } cases[] = {
        {{0, 'B' | 'M' << 8}, 62, 62}, {{22, -3u}, 62, 62}, {{18, 1}, 62, 62}, {{18, 2}, 62, 62},
        {{18, 3}, 62, 62}, {{18, 4}, 62, 62}, {{22, -2u}, 62, 62}, {{22, 1}, 62, 62},
        {{10, 54}, 54, 62}, {{46, 0}, 62, 54}, {{46, 0x40000000u}, 62, 0},
        {{0, 'B' | 'A' << 8}, 0, 62}, {{10, 0}, 0, 62}, {{10, 20}, 0, 62}, {{10, 53}, 0, 62},
        {{10, 63}, 0, 62}, {{10, 0x7FFFFFFFu}, 0, 62}, {{10, 0xFFFFFFFFu}, 0, 62},
        {{14, 12}, 0, 0}, {{14, 56}, 0, 0}, {{14, 41}, 0, 0}, {{14, 108}, 0, 0}, {{18, 0}, 0, 0},
        {{18, -1u}, 0, 0}, {{18, 70000}, 0, 0}, {{18, 6}, 0, 0}, {{22, 0}, 0, 0},
        {{22, 0x80000000u}, 0, 0}, {{22, 70000}, 0, 0}, {{22, 4}, 0, 0}, {{26, 2 | 24 << 16}, 0, 0},
        {{26, 24 << 16}, 0, 0}, {{26, 1 | 32 << 16}, 0, 0}, {{26, 1 | 8 << 16}, 0, 0},
        {{26, 1 | 16 << 16}, 0, 0}, {{30, 1}, 0, 0}, {{30, 3}, 0, 0}};
    // clang-format on
    Surface s;
    for (const auto& c : cases)
        for (int form : {0, 1}) {
            std::vector<std::uint8_t> data = good;
            patch(data, c.change);
            EXPECT_TRUE(holds(read(form, data, s), s, data, form ? c.packed : c.file))
                << c.change.first << " " << c.change.second << " form " << form;
        }
    // Every prefix short of the last pixel, each in a buffer of its own for
    // the sanitizer; as files, none and some.
    for (std::size_t n = 14; n < good.size(); ++n)
        EXPECT_TRUE(holds(read(1, {good.begin(), good.begin() + long(n)}, s), s, good, 0)) << n;
    for (std::size_t n : {std::size_t{0}, std::size_t{53}, good.size() - 1})
        EXPECT_TRUE(holds(read(0, {good.begin(), good.begin() + long(n)}, s), s, good, 0)) << n;
    // No file, no path, no data.
    EXPECT_FALSE(readBitmapFile("/nonexistent/quorrin.bmp", s) || readBitmapFile(nullptr, s) ||
                 readPackedBitmap(nullptr, 100, s));
}

void mix(std::uint64_t& hash, std::int64_t value) {
    hash = (hash ^ static_cast<std::uint64_t>(value)) * 1099511628211ull;
}

TEST(Screen, LayoutHitMapAndFrameAtClientSizes) {
    // Per client size and board: pitch, hit margin, glyph side, origin x and
    // y, toolbar x, clock x, rows of the glyph sheet; then the FNV-1a hash
    // of the hit map and then of the frame drawn (the committed bitmaps, a random
    // hover and trial origin) with the toolbar (trial buttons shown, button
    // hovered), the clock at some seconds and perhaps the clear banner.
    // clang-format off
    const struct { int cw, ch, w, h; std::vector<int> metrics; int trial, hovered, seconds, banner;
                   std::uint64_t hash; } cases[] = {
        {432, 464, 10, 10, {39, 6, 40, 20, 52, 2, 362, 1}, 0, -1, 0, 0, 5471860092268190591u},
        // W x a = 435: toolbar and clock go over the board; 434: they stay.
        {470, 500, 15, 10, {29, 5, 30, 16, 120, 16, 383, 1}, 1, 3, 600, 0, 17463580285250171905u},
        {470, 500, 14, 10, {31, 5, 32, 17, 110, 2, 362, 1}, 0, 2, 3599, 1, 18297601376602273203u},
        // A banner needs 293 x 87 pixels.
        {293, 87, 3, 1, {27, 4, 28, 105, 45, 2, 362, 1}, 1, 1, -5, 1, 15984228764980089229u},
        {292, 300, 6, 8, {29, 5, 30, 58, 49, 2, 362, 1}, 0, 3, 100000, 1, 6924004683647758529u},
        {300, 86, 2, 1, {27, 4, 28, 122, 44, 2, 362, 1}, 1, 2, 61, 1, 13495963725686041871u},
        // Pitch 0: no glyph sheet, nothing hit, no board drawn.
        {40, 60, 44, 44, {0, 0, 0, 0, 32, 2, 362, 0}, 1, 0, 754, 0, 15522865831348658402u},
        // At pitch 465 the glyph side is 482 (483 in double precision); a
        // glyph of 1237 no longer fits 53 times in one row of the sheet.
        {465, 497, 0, 0, {465, 73, 482, 215, 247, 2, 362, 1}, 1, 3, 65, 0, 17614487833330259607u},
        {1192, 1224, 0, 0, {1192, 186, 1237, 551, 583, 2, 362, 2}, 0, 0, 3000, 0,
         16011617256096070191u}};
    // clang-format on
    std::mt19937 rng(99);
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.cw) + "x" + std::to_string(c.ch));
        // A board of random vertex codes and clue states, a few out of range.
        Board board;
        board.width = c.w;
        board.height = c.h;
        for (int n = 0; n < (c.w + 1) * (c.h + 1); ++n) {
            board.codes.push_back(static_cast<std::uint8_t>(rng() % 10));
            const auto clue = static_cast<std::uint8_t>(rng() % 14);
            board.clues.push_back(clue == 12 ? kNoClue : clue == 13 ? 77 : clue);
        }
        Screen screen;
        screen.bitmapLoader = folderBitmapLoader(QUORRIN_SOURCE_DIR "/res");
        // Sizes below 32 and the size in use are not laid out.
        EXPECT_FALSE(screen.resize(31, c.ch, board) || screen.resize(c.cw, 31, board));
        ASSERT_TRUE(screen.resize(c.cw, c.ch, board));
        EXPECT_FALSE(screen.resize(c.cw, c.ch, board));
        EXPECT_EQ((std::vector<int>{screen.pitch, screen.hitMargin, screen.glyphSize,
                                    screen.originX, screen.originY, screen.toolbarX, screen.clockX,
                                    screen.glyphSheet.height / std::max(screen.glyphSize, 1)}),
                  c.metrics);
        // Every client point and a little around, and points far out.
        std::uint64_t hash = 14695981039346656037ull;
        for (int y = -2; y < c.ch + 2; ++y)
            for (int x = -2; x < c.cw + 2; ++x) {
                EdgeRef edge{7, 1};
                const bool hit = screen.hitTest(board, x, y, edge);
                mix(hash, hit + 4 * edge.vertex + 2 * edge.vertical);
            }
        for (const int far : {INT_MIN, -30000, INT_MAX}) {
            EdgeRef edge;
            mix(hash,
                screen.hitTest(board, far, 100, edge) + 2 * screen.hitTest(board, 100, far, edge));
        }
        const int vertices = (c.w + 1) * (c.h + 1);
        screen.drawBoard(board, EdgeRef{static_cast<int>(rng() % vertices), 1},
                         EdgeRef{static_cast<int>(rng() % vertices), 0});
        screen.drawToolbar(c.trial, c.hovered);
        screen.drawClock(c.seconds);
        // The banner over the frame, whose toolbar strip it clears (its top
        // row blacked out first, which no artwork shows).
        for (int pass = 0; pass <= c.banner; ++pass) {
            if (pass == 1) std::fill_n(screen.backBuffer.row(0), 3 * c.cw, std::uint8_t{0});
            if (pass == 1) screen.drawClearBanner();
            for (int y = 0; y < c.ch; ++y)
                for (int x = 0; x < 3 * c.cw; ++x) mix(hash, screen.backBuffer.row(y)[x]);
        }
        // Then the glyph of each vertex: plain, or its own or another
        // vertex's edge (down or right) hovered or the trial origin.
        for (int n = 0; n < vertices; ++n)
            for (int k = 0; k < 9; ++k)
                mix(hash, Screen::vertexGlyph(board, n, EdgeRef{n + (k % 3 == 0), k % 3 == 1},
                                              EdgeRef{n + (k / 3 == 0), k / 3 == 1}));
        EXPECT_EQ(hash, c.hash);
        // Areas drawn alone after the marks changed, some reaching out of the
        // client area: inside, the pixels of a full redraw; outside, the
        // pixels that were there.
        std::mt19937 areas(static_cast<unsigned>(c.cw));
        const auto pick = [&areas](int n) { return static_cast<int>(areas() % unsigned(n)); };
        for (int k = 0; k < 8; ++k) {
            for (int n = 0; n < vertices; n += 1 + pick(4))
                board.codes[n] = static_cast<std::uint8_t>(pick(10));
            const EdgeRef hover{pick(vertices), 0}, origin{k, 1};
            const int x = pick(c.cw + 20) - 10, y = pick(c.ch + 20) - 10, w = 1 + pick(c.cw),
                      h = 1 + pick(c.ch);
            Surface want = screen.backBuffer;
            screen.drawBoardArea(board, hover, origin, x, y, w, h);
            const Surface partial = screen.backBuffer;
            screen.drawBoard(board, hover, origin);
            for (int py = std::max(y, 0); py < std::min(y + h, c.ch); ++py)
                for (int px = std::max(x, 0); px < std::min(x + w, c.cw); ++px)
                    setPixel(want, px, py, pixelAt(screen.backBuffer, px, py));
            ASSERT_EQ(partial.pixels, want.pixels) << x << "," << y << " " << w << "x" << h;
        }
        // Grids one byte short: the board area is only cleared.
        board.clues.pop_back();
        screen.drawBoard(board, EdgeRef{}, EdgeRef{});
        for (int y = screen.originY; y < c.ch; ++y)
            for (int x = screen.originX; x < c.cw; ++x)
                ASSERT_EQ(pixelAt(screen.backBuffer, x, y), kWhite);
    }
}

}  // namespace
}  // namespace quorrin
