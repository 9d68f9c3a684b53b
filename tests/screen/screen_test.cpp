// The screen: layout, hit-testing and drawing, checked on the back buffer's
// pixels, with resource bitmaps and glyphs whose pixels tell where they came
// from.
#include "screen/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "glyphs/glyph_rasterizer.h"
#include "pixels.h"
#include "store/puzzle_collection.h"

namespace quorrin {
namespace {

using testing::Colour;
using testing::kWhite;
using testing::pixelAt;
using testing::setPixel;

// Blue and green hold the source x, red the source y (never 255: never white).
Colour sourceColour(int x, int y) {
    return {static_cast<std::uint8_t>(x & 0xFF), static_cast<std::uint8_t>(x >> 8),
            static_cast<std::uint8_t>(y)};
}

Surface codedSheet(int w, int h) {
    Surface s;
    EXPECT_TRUE(s.create(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(s, x, y, sourceColour(x, y));
    return s;
}

// The two resource bitmaps as coded pictures of their real sizes; the banner
// has a white hole at its pixel (5, 5).
BitmapLoader codedLoader(int* calls = nullptr) {
    return [calls](int id, Surface& out) {
        if (calls != nullptr) ++*calls;
        if (id == kButtonBitmapId) out = codedSheet(900, 30);
        if (id == kClockBitmapId) {
            out = codedSheet(293, 106);
            setPixel(out, 5, kBannerY + 5, kWhite);
        }
        return id == kButtonBitmapId || id == kClockBitmapId;
    };
}

// A board of w x h cells, without clues unless they are given.
Board makeBoard(int w, int h, std::vector<std::uint8_t> clues = {}) {
    PuzzleEntry entry;
    entry.width = w;
    entry.height = h;
    if (clues.empty()) clues.assign(static_cast<std::size_t>((w + 1) * (h + 1)), kNoClue);
    entry.clues = clues;
    Board board;
    board.load(entry);
    return board;
}

std::vector<int> metrics(const Screen& s) {
    return {s.pitch, s.hitMargin, s.glyphSize, s.originX, s.originY, s.toolbarX, s.clockX};
}

TEST(ScreenLayout, MarginAndGlyphSizeByPitch) {
    const int table[][3] = {{1, 0, 1},   {2, 0, 2},   {3, 0, 3},   {20, 3, 21},
                            {39, 6, 40}, {40, 6, 42}, {51, 8, 53}, {465, 73, 482}};
    for (const auto& row : table) {
        EXPECT_EQ(scaleByFactor(row[0], kHitMarginFactorBits), row[1]) << row[0];
        EXPECT_EQ(scaleByFactor(row[0], kGlyphSizeFactorBits), row[2]) << row[0];
    }
    // At every pitch: single-precision steps with the nearest floats to
    // 14.5 / 93 and 96.5 / 93 (in double precision 465 would give 483).
    const float margin = static_cast<float>(14.5 / 93.0), glyph = static_cast<float>(96.5 / 93.0);
    for (int a = 0; a <= 70000; ++a) {
        volatile float m = static_cast<float>(a) * margin, g = static_cast<float>(a) * glyph;
        volatile float mRounded = m + 0.5f, gRounded = g + 0.5f;
        ASSERT_EQ(scaleByFactor(a, kHitMarginFactorBits), static_cast<int>(mRounded)) << a;
        ASSERT_EQ(scaleByFactor(a, kGlyphSizeFactorBits), static_cast<int>(gRounded)) << a;
    }
}

TEST(ScreenLayout, ExampleClientSizes) {
    struct Case {
        int cw, ch, w, h;
        std::vector<int> want;  // pitch, margin, glyph, origin x and y, toolbar x, clock x
    };
    const Case cases[] = {
        {432, 464, 10, 10, {39, 6, 40, 20, 52, 2, 362}},
        {800, 600, 10, 10, {51, 8, 53, 143, 59, 143, 585}},
        {470, 500, 15, 10, {29, 5, 30, 16, 120, 16, 383}},  // W x a = 435: toolbar on the board
        {470, 500, 14, 10, {31, 5, 32, 17, 110, 2, 362}},   // W x a = 434: it stays left
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.cw) + "x" + std::to_string(c.ch));
        Screen screen;
        ASSERT_TRUE(screen.resize(c.cw, c.ch, makeBoard(c.w, c.h)));
        EXPECT_EQ(metrics(screen), c.want);
        EXPECT_EQ(screen.backBuffer.width, c.cw);
        EXPECT_EQ(screen.backBuffer.height, c.ch);
        // The glyph sheet: the 53 glyphs of that side, and its runs.
        const int e = c.want[2], stride = glyphSheetStride(e);
        ASSERT_EQ(screen.glyphSheet.width, 53 * e);
        ASSERT_EQ(screen.glyphSheet.height, e);
        std::vector<std::uint8_t> sheet(static_cast<std::size_t>(stride) * e);
        GlyphRasterizer().renderSheet(e, stride, sheet.data());
        for (int y = 0; y < e; ++y)
            ASSERT_TRUE(std::equal(sheet.begin() + y * stride, sheet.begin() + y * stride + 159 * e,
                                   screen.glyphSheet.row(y)));
        OpaqueRuns runs;
        findOpaqueRuns(screen.glyphSheet, runs);
        EXPECT_EQ(screen.glyphRuns.rowStart, runs.rowStart);
    }
}

TEST(ScreenLayout, GlyphsTooLargeForOneRowOfTheSheetStillDrawTheBoard) {
    // A 0 x 0 board at the last glyph side whose 53 glyphs fit side by side
    // in a surface, the first that does not, and one more. Its vertex drawn
    // hovered (glyph 40) under an exact 2 (glyph 51), the two in the second
    // row of a two-row sheet: the pixels of the sheet rendered in one row.
    const struct {
        int cw, ch, e, rows;
    } cases[] = {{1191, 1223, 1236, 1}, {1192, 1224, 1237, 2}, {2560, 1380, 1399, 2}};
    for (const auto& c : cases) {
        Board board = makeBoard(0, 0);
        board.codes[0] = 8;
        board.clues[0] = 2 + kClueExact;
        Screen screen;
        ASSERT_TRUE(screen.resize(c.cw, c.ch, board));
        ASSERT_EQ(screen.glyphSize, c.e);
        ASSERT_EQ(screen.glyphSheet.height, c.rows * c.e);
        screen.drawBoard(board, EdgeRef{0, 0}, EdgeRef{});
        const int e = c.e, k = screen.pitch / 5, stride = glyphSheetStride(e);
        std::vector<std::uint8_t> sheet(static_cast<std::size_t>(stride) * e);
        GlyphRasterizer().renderSheet(e, stride, sheet.data());
        for (int y = screen.originY; y < c.ch; ++y)
            for (int x = screen.originX; x < c.cw; ++x) {
                const int gx = x - screen.originX, gy = y - screen.originY;
                const bool clue = gx >= k && gy >= k;
                const std::uint8_t* p =
                    &sheet[static_cast<std::size_t>(gy) * stride + 3 * ((clue ? 51 : 40) * e + gx)];
                const Colour glyph{p[0], p[1], p[2]};
                ASSERT_EQ(pixelAt(screen.backBuffer, x, y),
                          gx < e && gy < e && (clue || glyph != kWhite) ? glyph : kWhite)
                    << c.e << ": " << x << "," << y;
            }
    }
    // From side 8192 on no surface holds the glyphs: no sheet, nothing drawn.
    Screen screen;
    ASSERT_TRUE(screen.resize(7895, 7927, makeBoard(0, 0)));
    EXPECT_EQ(screen.glyphSize, 8192);
    EXPECT_TRUE(screen.glyphSheet.empty());
}

TEST(ScreenLayout, ResizeSkipsSmallAndUnchangedSizesReleaseAndPitchZero) {
    Screen screen;
    int loads = 0;
    screen.bitmapLoader = codedLoader(&loads);
    const Board board = makeBoard(10, 10);
    const int small[][2] = {{31, 500}, {500, 31}, {0, 0}, {-5, -5}};
    for (const auto& size : small) EXPECT_FALSE(screen.resize(size[0], size[1], board));
    EXPECT_TRUE(screen.backBuffer.empty());
    ASSERT_TRUE(screen.resize(432, 464, board));
    EXPECT_EQ(loads, 2);
    const std::vector<int> before = metrics(screen);
    setPixel(screen.backBuffer, 200, 200, {1, 2, 3});  // a layout would clear it
    for (const auto& size : small) EXPECT_FALSE(screen.resize(size[0], size[1], board));
    EXPECT_FALSE(screen.resize(432, 464, board));
    EXPECT_EQ(metrics(screen), before);
    EXPECT_EQ(pixelAt(screen.backBuffer, 200, 200), (Colour{1, 2, 3}));
    EXPECT_TRUE(screen.resize(32, 32, board));
    EXPECT_EQ(screen.backBuffer.width + screen.backBuffer.height, 64);
    // Another size lays out anew; the bitmaps are kept.
    ASSERT_TRUE(screen.resize(432, 464, board));
    EXPECT_EQ(pixelAt(screen.backBuffer, 200, 200), kWhite);
    EXPECT_EQ(loads, 2);
    // After release, and at pitch 0 without bitmaps, nothing is hit and no
    // board is drawn.
    screen.release();
    EXPECT_TRUE(screen.backBuffer.empty() && screen.buttonSheet.empty() &&
                screen.clockSheet.empty() && screen.glyphSheet.empty() && !screen.rasterizer);
    EdgeRef edge;
    EXPECT_FALSE(screen.hitTest(board, 100, 100, edge));
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    screen.drawToolbar(false, -1);
    screen.drawClock(0);
    screen.drawClearBanner();
    screen.bitmapLoader = nullptr;
    Board big = makeBoard(44, 44);
    ASSERT_TRUE(screen.resize(40, 60, big));  // 40 / 45 = 0
    EXPECT_EQ(screen.pitch, 0);
    EXPECT_TRUE(screen.glyphSheet.empty());
    for (int y = -2; y < 62; ++y)
        for (int x = -2; x < 42; ++x) ASSERT_FALSE(screen.hitTest(big, x, y, edge));
    big.codes[0] = 8;
    screen.drawBoard(big, EdgeRef{0, 1}, EdgeRef{1, 0});
    screen.drawToolbar(true, 3);
    screen.drawClock(3599);
    screen.drawClearBanner();
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(pixelAt(screen.backBuffer, x, y), kWhite);
}

// A 10 x 10 board in 432 x 464 with coded bitmaps and a coded glyph sheet:
// vertex glyph g has a mark (g, 0, 0) at (1, 1) and one (g, 1, 0) in its far
// corner, all else white; clue glyph g is opaque, (g, 100 + x, y) at (x, y).
class ScreenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        screen.bitmapLoader = codedLoader();
        ASSERT_TRUE(screen.resize(432, 464, board));
        ASSERT_EQ(e - 1, a);
        Surface& sheet = screen.glyphSheet;
        sheet.fillWhite();
        for (int g = 0; g < 53; ++g) {
            const auto b = static_cast<std::uint8_t>(g);
            const int gx = screen.glyphX(g), gy = screen.glyphY(g);
            setPixel(sheet, gx + 1, gy + 1, {b, 0, 0});
            setPixel(sheet, gx + e - 1, gy + e - 1, {b, 1, 0});
            for (int y = 0; g >= 41 && y < e; ++y)
                for (int x = 0; x < e; ++x)
                    setPixel(sheet, gx + x, gy + y,
                             {b, static_cast<std::uint8_t>(100 + x), static_cast<std::uint8_t>(y)});
        }
        findOpaqueRuns(screen.glyphSheet, screen.glyphRuns);
    }
    Colour at(int x, int y) const { return pixelAt(screen.backBuffer, x, y); }
    // The edge under a point as vertex * 2 + vertical, -1 for none.
    int hit(int x, int y) {
        EdgeRef edge;
        const bool found = screen.hitTest(board, x, y, edge);
        EXPECT_EQ(found, edge.vertex >= 0);
        return found ? edge.vertex * 2 + edge.vertical : -1;
    }
    int vertexX(int n) const { return 20 + n % 11 * a; }
    int vertexY(int n) const { return 52 + n / 11 * a; }
    // The glyph drawn for vertex n, -1 for none.
    int glyphAt(int n) const {
        const Colour c = at(vertexX(n) + 1, vertexY(n) + 1);
        return c.g == 0 && c.r == 0 ? c.b : -1;
    }
    // The clue glyph drawn in the cell of vertex n, from its pixel (k, k).
    int clueAt(int n) const {
        const Colour c = at(vertexX(n) + k, vertexY(n) + k);
        return c.g == 100 + k && c.r == k ? c.b : -1;
    }
    void set(int vertex, int code) {
        board.codes[static_cast<std::size_t>(vertex)] = static_cast<std::uint8_t>(code);
        board.updateClueStates();
    }
    void draw(EdgeRef hover = {}, EdgeRef origin = {}) { screen.drawBoard(board, hover, origin); }
    void paint(Colour c) {
        for (int y = 0; y < 464; ++y)
            for (int x = 0; x < 432; ++x) setPixel(screen.backBuffer, x, y, c);
    }
    // The source column and row shown at (x, y), -1 for white.
    int sourceAt(int x, int y) const {
        return at(x, y) == kWhite ? -1 : at(x, y).b | at(x, y).g << 8;
    }
    int sourceRow(int x, int y) const { return at(x, y).r; }

    Board board = makeBoard(10, 10);
    Screen screen;
    const int e = 40, a = 39, k = 7;
};

TEST_F(ScreenTest, HitCellsAndClientPoints) {
    // Point (rx, ry) of the hit cell of the vertex in (row, column), the cell
    // starting 6 up and left of the vertex; half a pitch is 20. The diagonals:
    // rx = ry counts as rx <= ry, rx + ry = 20 as the far side. None from the
    // left in column 0 nor from above in row 0; no horizontal edge in column
    // 10, no vertical one in row 10.
    // clang-format off
    const int cells[][5] = {
        {2, 3, 20, 20, 51}, {2, 3, 21, 20, 50}, {2, 3, 21, 21, -1}, {2, 3, 8, 2, 29},
        {2, 3, 6, 6, 48}, {2, 3, 0, 0, 48}, {2, 3, 38, 20, 50}, {2, 3, 20, 38, 51},
        {2, 3, 38, 38, -1}, {2, 3, 5, 5, 48}, {2, 3, 10, 10, 51}, {2, 3, 11, 9, 50},
        {2, 3, 11, 8, 29}, {4, 0, 2, 6, -1}, {4, 0, 6, 2, 67}, {0, 4, 6, 2, -1}, {0, 4, 2, 6, 6},
        {3, 10, 30, 5, -1}, {3, 10, 5, 30, 87}, {10, 3, 5, 30, -1}, {10, 3, 30, 5, 226}};
    const int points[][3] = {{161, 132, 50}, {139, 154, 51}, {162, 155, -1}, {435, 132, -1},
        {13, 57, -1}, {-30000, 100, -1}, {100, INT_MAX, -1}, {INT_MIN, INT_MIN, -1}};
    // clang-format on
    for (const auto& c : cells)
        EXPECT_EQ(hit(14 + 39 * c[1] + c[2], 46 + 39 * c[0] + c[3]), c[4])
            << c[0] << "," << c[1] << " at " << c[2] << "," << c[3];
    for (const auto& p : points) EXPECT_EQ(hit(p[0], p[1]), p[2]) << p[0] << "," << p[1];
    // Only edges of the board are hit, and each of them somewhere.
    std::vector<int> seen(2 * 121, 0);
    const auto exists = [](int h) { return h % 2 ? h / 2 / 11 < 10 : h / 2 % 11 < 10; };
    for (int y = 0; y < 464; ++y)
        for (int x = 0; x < 432; ++x) {
            const int h = hit(x, y);
            if (h < 0) continue;
            ASSERT_TRUE(h < 242 && exists(h)) << x << "," << y;
            ++seen[static_cast<std::size_t>(h)];
        }
    for (int h = 0; h < 242; ++h) EXPECT_EQ(seen[static_cast<std::size_t>(h)] > 0, exists(h)) << h;
}

TEST_F(ScreenTest, GlyphByCodeHoverAndTrialOrigin) {
    for (int n = 0; n < 121; ++n) set(n, n % 9);
    draw();
    for (int n = 0; n < 121; ++n) ASSERT_EQ(glyphAt(n), n % 9) << n;
    const EdgeRef none, down{40, 1}, right{40, 0};
    for (int code = 0; code <= 8; ++code) {
        set(40, code);
        const int trialDown = code % 3 != 0 ? code + 8 : code;
        const int trialRight = code >= 3 ? code + 14 : code;
        // clang-format off
        // The trial origin comes first: no hover on its vertex.
        const struct { EdgeRef hover, origin; int glyph; } cases[] = {
            {none, none, code}, {down, none, code + 23}, {right, none, code + 32},
            {none, down, trialDown}, {none, right, trialRight}, {right, down, trialDown},
            {down, right, trialRight}, {right, right, trialRight}};
        // clang-format on
        for (const auto& c : cases) {
            draw(c.hover, c.origin);
            EXPECT_EQ(glyphAt(40), c.glyph) << code;
            EXPECT_EQ(glyphAt(41), 5);
        }
    }
    // A hover beside the trial origin shows.
    draw(EdgeRef{41, 0}, right);
    EXPECT_EQ(glyphAt(40), 22);
    EXPECT_EQ(glyphAt(41), 5 + 32);
}

TEST_F(ScreenTest, CluesByStateInsetByAFifthOfThePitch) {
    std::vector<std::uint8_t> clues(121, kNoClue);
    clues[12] = 2;
    clues[0] = 0;
    board = makeBoard(10, 10, clues);
    draw();
    EXPECT_EQ(clueAt(12), 43);  // no lines yet
    EXPECT_EQ(clueAt(0), 49);   // a zero is exact from the start
    EXPECT_EQ(clueAt(13), -1);
    set(12, 8);  // lines on the top and left sides: exactly two
    draw();
    EXPECT_EQ(clueAt(12), 51);
    set(13, 2);  // and on the right side: one too many
    draw();
    EXPECT_EQ(clueAt(12), 47);
    // Above and left of the inset square the vertex's own glyph shows; the
    // vertices drawn later put their marks over the square.
    const int x = vertexX(12), y = vertexY(12);
    EXPECT_EQ(at(x + k - 1, y + k), kWhite);
    EXPECT_EQ(at(x + k, y + k - 1), kWhite);
    EXPECT_EQ(at(x + e - 2, y + e - 2), (Colour{47, static_cast<std::uint8_t>(100 + e - 2),
                                                static_cast<std::uint8_t>(e - 2)}));
    EXPECT_EQ(glyphAt(13), 2);
    EXPECT_EQ(glyphAt(23), 0);
}

TEST_F(ScreenTest, WhiteLeftOutOnlyTheBoardAreaClearedDamagedGridsSkipped) {
    const Colour grey{9, 9, 9};
    paint(grey);
    draw();
    EXPECT_EQ(at(19, 300), grey);
    EXPECT_EQ(at(300, 51), grey);
    EXPECT_EQ(at(431, 463), kWhite);
    EXPECT_EQ(at(40, 72), kWhite);
    // Vertex 0's far corner mark lies on vertex 12's, white in its glyph.
    EXPECT_EQ(at(vertexX(12), vertexY(12)), (Colour{0, 1, 0}));
    // Codes and clues out of range draw nothing; grids too short, nothing at all.
    board.codes[3] = 200;
    board.clues[4] = 77;
    draw(EdgeRef{3, 1}, EdgeRef{4, 0});
    EXPECT_EQ(at(vertexX(3) + 1, vertexY(3) + 1), kWhite);
    EXPECT_EQ(clueAt(4), -1);
    board.codes.resize(10);
    draw();
    EXPECT_EQ(at(vertexX(0) + 1, vertexY(0) + 1), kWhite);
}

TEST_F(ScreenTest, ToolbarWithAndWithoutTrialButtons) {
    // Trial buttons shown, button hovered, the sheet's x at each place (-1 white).
    // clang-format off
    const struct { bool trial; int hovered; int faces[4]; } cases[] = {
        {false, -1, {0, 90, 180, -1}}, {false, 2, {0, 90, 630, -1}}, {false, 3, {0, 90, 180, -1}},
        {true, -1, {0, 90, 270, 360}}, {true, 0, {450, 90, 270, 360}},
        {true, 1, {0, 540, 270, 360}}, {true, 2, {0, 90, 720, 360}}, {true, 3, {0, 90, 270, 810}}};
    // clang-format on
    screen.drawClock(0);  // right of the four places, it stays
    for (const auto& c : cases) {
        screen.drawToolbar(!c.trial, 0);
        screen.drawToolbar(c.trial, c.hovered);
        for (int place = 0; place < 4; ++place) {
            const int x = screen.toolbarX + 90 * place, face = c.faces[place];
            for (int i : {0, 89}) {
                EXPECT_EQ(sourceAt(x + i, 2), face < 0 ? -1 : face + i) << place;
                EXPECT_EQ(sourceAt(x + i, 31), face < 0 ? -1 : face + i) << place;
                EXPECT_EQ(sourceAt(x + i, 1), -1);
            }
        }
        EXPECT_EQ(sourceRow(screen.toolbarX + 5, 2), 0);
        EXPECT_EQ(sourceRow(screen.toolbarX + 5, 31), 29);
    }
    EXPECT_EQ(sourceAt(0, 10), -1);
    EXPECT_EQ(sourceAt(screen.clockX + 20, 11), 5);
}

TEST_F(ScreenTest, ClockDigits) {
    // clang-format off
    const struct { int seconds; int sources[5]; } cases[] = {
        {0, {150, 0, 165, 0, 0}}, {65, {150, 15, 165, 0, 75}}, {600, {15, 0, 165, 0, 0}},
        {3599, {75, 135, 165, 75, 135}}, {-5, {150, 0, 165, 0, 0}},
        {100000, {75, 135, 165, 75, 135}}};
    // clang-format on
    const int offsets[] = {0, 15, 30, 38, 53}, widths[] = {15, 15, 8, 15, 15};
    for (const auto& c : cases) {
        screen.layout(board);
        screen.drawClock(c.seconds);
        const int x = screen.clockX;
        for (int p = 0; p < 5; ++p)
            for (int i = 0; i < widths[p]; ++i) {
                ASSERT_EQ(sourceAt(x + offsets[p] + i, 11), c.sources[p] + i) << c.seconds << p;
                ASSERT_EQ(sourceRow(x + offsets[p] + i, 29), 18);
            }
        EXPECT_EQ(sourceAt(x - 1, 11) & sourceAt(x + 68, 11), -1);
        EXPECT_EQ(sourceAt(x + 5, 10) & sourceAt(x + 5, 30), -1);
    }
}

TEST_F(ScreenTest, ClearBannerInTheMiddle) {
    const Colour grey{9, 9, 9};
    paint(grey);
    screen.drawClearBanner();
    EXPECT_EQ(at(69, 188), sourceColour(0, 19));
    EXPECT_EQ(at(69 + 292, 188 + 86), sourceColour(292, 105));
    // Around it, and at its white pixel (5, 5), the board still shows.
    const int around[][2] = {{68, 188}, {69, 187}, {362, 188}, {69, 275}, {74, 193}, {0, 32}};
    for (const auto& p : around) EXPECT_EQ(at(p[0], p[1]), grey) << p[0] << "," << p[1];
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 432; ++x) ASSERT_EQ(at(x, y), kWhite);
    // A client narrower than 293 or lower than 87 gets no banner.
    const int small[][2] = {{292, 300}, {300, 86}};
    for (const auto& size : small) {
        ASSERT_TRUE(screen.resize(size[0], size[1], board));
        screen.drawClearBanner();
        for (int y = 0; y < size[1]; ++y)
            for (int x = 0; x < size[0]; ++x) ASSERT_EQ(at(x, y), kWhite);
    }
}

}  // namespace
}  // namespace quorrin
