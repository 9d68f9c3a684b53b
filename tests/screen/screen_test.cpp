#include "screen/screen.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "glyphs/glyph_rasterizer.h"
#include "store/puzzle_collection.h"

namespace quorrin {
namespace {

struct Colour {
    std::uint8_t b, g, r;
    bool operator==(const Colour& o) const { return b == o.b && g == o.g && r == o.r; }
    bool operator!=(const Colour& o) const { return !(*this == o); }
};

constexpr Colour kWhite{255, 255, 255};

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

// Pictures whose every pixel tells where it came from: blue and green hold
// the source x, red the source y (never 255, so never white).
Colour sourceColour(int x, int y) {
    return {static_cast<std::uint8_t>(x & 0xFF), static_cast<std::uint8_t>(x >> 8),
            static_cast<std::uint8_t>(y)};
}
int sourceX(Colour c) {
    return c.b | c.g << 8;
}

Surface codedSheet(int w, int h) {
    Surface s;
    EXPECT_TRUE(s.create(w, h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) setPixel(s, x, y, sourceColour(x, y));
    return s;
}

// A board of W x H cells without clues (or with the clue grid given).
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

// The two resource bitmaps as coded pictures of the real sizes; the banner
// rows of the clock sheet hold a white hole at banner pixel (5, 5).
BitmapLoader codedLoader(int* calls = nullptr) {
    return [calls](int id, Surface& out) {
        if (calls != nullptr) ++*calls;
        if (id == kButtonBitmapId) {
            out = codedSheet(900, 30);
            return true;
        }
        if (id == kClockBitmapId) {
            out = codedSheet(293, 106);
            setPixel(out, 5, kBannerY + 5, kWhite);
            return true;
        }
        return false;
    };
}

struct Layout {
    int pitch, margin, glyph, originX, originY, toolbarX, clockX;
};

Layout layoutOf(const Screen& s) {
    return {s.pitch, s.hitMargin, s.glyphSize, s.originX, s.originY, s.toolbarX, s.clockX};
}

void expectLayout(const Screen& s, const Layout& want) {
    EXPECT_EQ(s.pitch, want.pitch);
    EXPECT_EQ(s.hitMargin, want.margin);
    EXPECT_EQ(s.glyphSize, want.glyph);
    EXPECT_EQ(s.originX, want.originX);
    EXPECT_EQ(s.originY, want.originY);
    EXPECT_EQ(s.toolbarX, want.toolbarX);
    EXPECT_EQ(s.clockX, want.clockX);
}

// ---------------------------------------------------------------- layout

TEST(ScreenLayoutTest, FactorsAreTheNearestFloats) {
    float margin, glyph;
    std::memcpy(&margin, &kHitMarginFactorBits, 4);
    std::memcpy(&glyph, &kGlyphSizeFactorBits, 4);
    EXPECT_EQ(margin, static_cast<float>(14.5 / 93.0));
    EXPECT_EQ(glyph, static_cast<float>(96.5 / 93.0));
}

TEST(ScreenLayoutTest, MarginAndGlyphSizeByPitch) {
    const int table[][3] = {{1, 0, 1},   {2, 0, 2},   {3, 0, 3},   {20, 3, 21},
                            {39, 6, 40}, {40, 6, 42}, {51, 8, 53}, {465, 73, 482}};
    for (const auto& row : table) {
        EXPECT_EQ(scaleByFactor(row[0], kHitMarginFactorBits), row[1]) << row[0];
        EXPECT_EQ(scaleByFactor(row[0], kGlyphSizeFactorBits), row[2]) << row[0];
    }
    // The rounding to single precision matters: in double precision pitch
    // 465 gives 482.999...
    EXPECT_EQ(static_cast<int>(465 * (96.5 / 93.0) + 0.5), 483);
}

TEST(ScreenLayoutTest, SinglePrecisionAtEveryPitch) {
    float margin, glyph;
    std::memcpy(&margin, &kHitMarginFactorBits, 4);
    std::memcpy(&glyph, &kGlyphSizeFactorBits, 4);
    for (int a = 0; a <= 70000; ++a) {
        // Each result stored to a volatile float: rounded once per operation.
        volatile float p1 = static_cast<float>(a) * margin;
        volatile float s1 = p1 + 0.5f;
        volatile float p2 = static_cast<float>(a) * glyph;
        volatile float s2 = p2 + 0.5f;
        ASSERT_EQ(scaleByFactor(a, kHitMarginFactorBits), static_cast<int>(s1)) << a;
        ASSERT_EQ(scaleByFactor(a, kGlyphSizeFactorBits), static_cast<int>(s2)) << a;
    }
}

TEST(ScreenLayoutTest, ExampleClientSizes) {
    struct Case {
        int cw, ch, w, h;
        Layout want;
    };
    const Case cases[] = {
        {432, 464, 10, 10, {39, 6, 40, 20, 52, 2, 362}},
        {800, 600, 10, 10, {51, 8, 53, 143, 59, 143, 585}},
        // W x a = 435: the toolbar moves to the board.
        {470, 500, 15, 10, {29, 5, 30, 16, 120, 16, 383}},
        // W x a = 434: it stays at the left.
        {470, 500, 14, 10, {31, 5, 32, 17, 110, 2, 362}},
    };
    for (const Case& c : cases) {
        Screen screen;
        const Board board = makeBoard(c.w, c.h);
        ASSERT_TRUE(screen.resize(c.cw, c.ch, board));
        SCOPED_TRACE(std::to_string(c.cw) + "x" + std::to_string(c.ch));
        expectLayout(screen, c.want);
        EXPECT_EQ(screen.backBuffer.width, c.cw);
        EXPECT_EQ(screen.backBuffer.height, c.ch);
        EXPECT_EQ(screen.backBuffer.stride % 4, 0);
        // The glyph sheet: 53 glyphs side by side, the rasterizer's stride.
        EXPECT_EQ(screen.glyphSheet.width, 53 * c.want.glyph);
        EXPECT_EQ(screen.glyphSheet.height, c.want.glyph);
        EXPECT_EQ(screen.glyphSheet.stride, glyphSheetStride(c.want.glyph));
    }
}

TEST(ScreenLayoutTest, LayoutClearsTheBackBufferAndFollowsTheBoard) {
    Screen screen;
    Board board = makeBoard(10, 10);
    ASSERT_TRUE(screen.resize(432, 464, board));
    setPixel(screen.backBuffer, 0, 0, {1, 2, 3});
    setPixel(screen.backBuffer, 431, 463, {1, 2, 3});
    board = makeBoard(20, 5);
    screen.layout(board);
    EXPECT_EQ(pixelAt(screen.backBuffer, 0, 0), kWhite);
    EXPECT_EQ(pixelAt(screen.backBuffer, 431, 463), kWhite);
    EXPECT_EQ(screen.pitch, 20);  // min(432 / 21, 432 / 6)
    EXPECT_EQ(screen.glyphSize, 21);
}

TEST(ScreenLayoutTest, SmallSizesAreIgnored) {
    Screen screen;
    const Board board = makeBoard(10, 10);
    EXPECT_FALSE(screen.resize(31, 500, board));
    EXPECT_FALSE(screen.resize(500, 31, board));
    EXPECT_FALSE(screen.resize(0, 0, board));
    EXPECT_TRUE(screen.backBuffer.empty());
    EXPECT_FALSE(screen.rasterizer);

    ASSERT_TRUE(screen.resize(432, 464, board));
    const Layout before = layoutOf(screen);
    EXPECT_FALSE(screen.resize(31, 500, board));
    EXPECT_FALSE(screen.resize(500, 31, board));
    EXPECT_FALSE(screen.resize(-5, -5, board));
    EXPECT_EQ(screen.backBuffer.width, 432);
    EXPECT_EQ(screen.backBuffer.height, 464);
    expectLayout(screen, before);

    EXPECT_TRUE(screen.resize(32, 32, board));
    EXPECT_EQ(screen.backBuffer.width, 32);
    EXPECT_EQ(screen.backBuffer.height, 32);
}

TEST(ScreenLayoutTest, SameSizeIsNotLaidOutAgain) {
    Screen screen;
    int loads = 0;
    screen.bitmapLoader = codedLoader(&loads);
    const Board board = makeBoard(10, 10);
    ASSERT_TRUE(screen.resize(432, 464, board));
    EXPECT_EQ(loads, 2);
    // A mark that a layout would clear.
    setPixel(screen.backBuffer, 200, 200, {1, 2, 3});
    EXPECT_FALSE(screen.resize(432, 464, board));
    EXPECT_EQ(pixelAt(screen.backBuffer, 200, 200), (Colour{1, 2, 3}));
    // A new size lays out again; the bitmaps are kept.
    ASSERT_TRUE(screen.resize(433, 464, board));
    EXPECT_EQ(pixelAt(screen.backBuffer, 200, 200), kWhite);
    EXPECT_EQ(loads, 2);
    EXPECT_EQ(screen.buttonSheet.width, 900);
    EXPECT_EQ(screen.clockSheet.height, 106);
}

TEST(ScreenLayoutTest, PitchZeroLeavesNothingToHitOrDraw) {
    Screen screen;
    screen.bitmapLoader = codedLoader();
    Board board = makeBoard(44, 44);
    ASSERT_TRUE(screen.resize(40, 60, board));  // 40 / 45 = 0
    EXPECT_EQ(screen.pitch, 0);
    EXPECT_EQ(screen.glyphSize, 0);
    EXPECT_TRUE(screen.glyphSheet.empty());
    EdgeRef edge;
    for (int y = -2; y < 62; ++y)
        for (int x = -2; x < 42; ++x) EXPECT_FALSE(screen.hitTest(board, x, y, edge));
    EXPECT_EQ(edge.vertex, -1);
    board.codes[0] = 8;
    screen.drawBoard(board, EdgeRef{0, 1}, EdgeRef{1, 0});
    screen.drawToolbar(true, 3);
    screen.drawClock(3599);
    screen.drawClearBanner();
    // The board area below the toolbar strip is white.
    for (int y = 32; y < 60; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(pixelAt(screen.backBuffer, x, y), kWhite);
}

TEST(ScreenLayoutTest, ReleaseFreesEverything) {
    Screen screen;
    screen.bitmapLoader = codedLoader();
    const Board board = makeBoard(5, 5);
    ASSERT_TRUE(screen.resize(300, 300, board));
    screen.release();
    EXPECT_TRUE(screen.backBuffer.empty());
    EXPECT_TRUE(screen.buttonSheet.empty());
    EXPECT_TRUE(screen.clockSheet.empty());
    EXPECT_TRUE(screen.glyphSheet.empty());
    EXPECT_FALSE(screen.rasterizer);
    EdgeRef edge;
    EXPECT_FALSE(screen.hitTest(board, 100, 100, edge));
    // Drawing after release touches nothing.
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    screen.drawToolbar(false, -1);
    screen.drawClock(0);
    screen.drawClearBanner();
}

// ------------------------------------------------------------ hit-testing

class HitTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(screen.resize(432, 464, board)); }
    // The edge under client point (x, y), -1 for none, as vertex * 2 + vertical.
    int hit(int x, int y) {
        EdgeRef edge;
        const bool found = screen.hitTest(board, x, y, edge);
        EXPECT_EQ(found, edge.vertex >= 0);
        return found ? edge.vertex * 2 + edge.vertical : -1;
    }
    // Point (rx, ry) of the hit cell of vertex (row, column).
    int hitInCell(int row, int column, int rx, int ry) {
        return hit(20 - 6 + column * 39 + rx, 52 - 6 + row * 39 + ry);
    }
    static int horizontal(int vertex) { return vertex * 2; }
    static int vertical(int vertex) { return vertex * 2 + 1; }

    Board board = makeBoard(10, 10);
    Screen screen;
};

TEST_F(HitTest, WithinTheHitCellOfAVertex) {
    EXPECT_EQ(hitInCell(2, 3, 20, 20), vertical(25));
    EXPECT_EQ(hitInCell(2, 3, 21, 20), horizontal(25));
    EXPECT_EQ(hitInCell(2, 3, 21, 21), -1);
    EXPECT_EQ(hitInCell(2, 3, 8, 2), vertical(14));
    EXPECT_EQ(hitInCell(2, 3, 6, 6), horizontal(24));
    // The diagonals: rx = ry counts as rx <= ry, rx + ry = h as the far side.
    EXPECT_EQ(hitInCell(2, 3, 5, 5), horizontal(24));
    EXPECT_EQ(hitInCell(2, 3, 10, 10), vertical(25));
    EXPECT_EQ(hitInCell(2, 3, 11, 9), horizontal(25));
    EXPECT_EQ(hitInCell(2, 3, 11, 8), vertical(14));
    EXPECT_EQ(hitInCell(2, 3, 0, 0), horizontal(24));
    EXPECT_EQ(hitInCell(2, 3, 38, 20), horizontal(25));
    EXPECT_EQ(hitInCell(2, 3, 20, 38), vertical(25));
    EXPECT_EQ(hitInCell(2, 3, 38, 38), -1);
}

TEST_F(HitTest, ClientPoints) {
    EXPECT_EQ(hit(161, 132), horizontal(25));
    EXPECT_EQ(hit(139, 154), vertical(25));
    EXPECT_EQ(hit(162, 155), -1);
    EXPECT_EQ(hit(435, 132), -1);
    EXPECT_EQ(hit(13, 57), -1);
    EXPECT_EQ(hit(-30000, 100), -1);
    EXPECT_EQ(hit(100, 2147483647), -1);
    EXPECT_EQ(hit(-2147483647 - 1, -2147483647 - 1), -1);
}

TEST_F(HitTest, NoEdgesOffTheBoard) {
    // Column 0: the triangle of the edge from the left has none.
    EXPECT_EQ(hitInCell(4, 0, 2, 6), -1);
    EXPECT_EQ(hitInCell(4, 0, 6, 2), vertical(33));
    // Row 0: the triangle of the edge from above has none.
    EXPECT_EQ(hitInCell(0, 4, 6, 2), -1);
    EXPECT_EQ(hitInCell(0, 4, 2, 6), horizontal(3));
    // Column W has no horizontal edge, row H no vertical one.
    EXPECT_EQ(hitInCell(3, 10, 30, 5), -1);
    EXPECT_EQ(hitInCell(3, 10, 5, 30), vertical(43));
    EXPECT_EQ(hitInCell(10, 3, 5, 30), -1);
    EXPECT_EQ(hitInCell(10, 3, 30, 5), horizontal(113));
}

TEST_F(HitTest, EveryEdgeIsReachableAndEveryHitExists) {
    std::vector<int> seen(static_cast<std::size_t>(2 * 121), 0);
    for (int y = 0; y < 464; ++y)
        for (int x = 0; x < 432; ++x) {
            const int h = hit(x, y);
            if (h < 0) continue;
            const int vertex = h / 2, row = vertex / 11, column = vertex % 11;
            ASSERT_LT(vertex, 121);
            if (h % 2 == 1)
                ASSERT_LT(row, 10) << x << "," << y;
            else
                ASSERT_LT(column, 10) << x << "," << y;
            ++seen[static_cast<std::size_t>(h)];
        }
    int edges = 0;
    for (int v = 0; v < 121; ++v) {
        if (v % 11 < 10) {
            EXPECT_GT(seen[static_cast<std::size_t>(2 * v)], 0) << v;
            ++edges;
        }
        if (v / 11 < 10) {
            EXPECT_GT(seen[static_cast<std::size_t>(2 * v + 1)], 0) << v;
            ++edges;
        }
    }
    EXPECT_EQ(edges, 220);
}

// ------------------------------------------------------------ board glyphs

// A screen whose glyph sheet is replaced by a coded one: vertex glyph g has
// a single mark of colour (g, 0, 0) at (1, 1) and one of colour (g, 1, 0) at
// its far corner (e - 1, e - 1), all else white; clue glyph g is opaque all
// over, colour (g, 2, y) with y its row.
class BoardDrawing : public ::testing::Test {
  protected:
    void SetUp() override {
        screen.bitmapLoader = codedLoader();
        ASSERT_TRUE(screen.resize(432, 464, board));
        e = screen.glyphSize;
        a = screen.pitch;
        ASSERT_EQ(e, 40);
        Surface& sheet = screen.glyphSheet;
        sheet.fillWhite();
        for (int g = 0; g < 41; ++g) {
            setPixel(sheet, g * e + 1, 1, {static_cast<std::uint8_t>(g), 0, 0});
            setPixel(sheet, g * e + e - 1, e - 1, {static_cast<std::uint8_t>(g), 1, 0});
        }
        for (int g = 41; g < 53; ++g)
            for (int y = 0; y < e; ++y)
                for (int x = 0; x < e; ++x)
                    setPixel(sheet, g * e + x, y,
                             {static_cast<std::uint8_t>(g), 2, static_cast<std::uint8_t>(y)});
        findOpaqueRuns(sheet, screen.glyphRuns);
    }

    int vertexX(int n) const { return screen.originX + (n % (board.width + 1)) * a; }
    int vertexY(int n) const { return screen.originY + (n / (board.width + 1)) * a; }

    // The glyph drawn for vertex n, read from its mark.
    int glyphAt(int n) const {
        const Colour c = pixelAt(screen.backBuffer, vertexX(n) + 1, vertexY(n) + 1);
        EXPECT_EQ(c.g, 0) << "no vertex glyph at " << n;
        return c.b;
    }
    // The clue glyph drawn in the cell of vertex n, -1 for none.
    int clueAt(int n) const {
        const int k = a / 5;
        const Colour c = pixelAt(screen.backBuffer, vertexX(n) + k, vertexY(n) + k);
        if (c.g != 2) return -1;
        EXPECT_EQ(c.r, k);  // the square starts at the glyph's row k
        return c.b;
    }

    void set(int vertex, int code) {
        board.codes[static_cast<std::size_t>(vertex)] = static_cast<std::uint8_t>(code);
        board.updateClueStates();
    }

    Board board = makeBoard(10, 10);
    Screen screen;
    int e = 0, a = 0;
};

TEST_F(BoardDrawing, PlainVerticesUseTheirCode) {
    for (int code = 0; code <= 8; ++code) set(code * 12, code);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    for (int code = 0; code <= 8; ++code) EXPECT_EQ(glyphAt(code * 12), code);
    for (int n = 0; n < 121; ++n) EXPECT_EQ(glyphAt(n), n % 12 == 0 && n / 12 <= 8 ? n / 12 : 0);
}

TEST_F(BoardDrawing, HoverGlyphs) {
    screen.drawBoard(board, EdgeRef{25, 1}, EdgeRef{});
    EXPECT_EQ(glyphAt(25), 23);
    screen.drawBoard(board, EdgeRef{25, 0}, EdgeRef{});
    EXPECT_EQ(glyphAt(25), 32);
    set(25, 7);
    screen.drawBoard(board, EdgeRef{25, 1}, EdgeRef{});
    EXPECT_EQ(glyphAt(25), 30);
    screen.drawBoard(board, EdgeRef{25, 0}, EdgeRef{});
    EXPECT_EQ(glyphAt(25), 39);
    EXPECT_EQ(glyphAt(24), 0);
}

TEST_F(BoardDrawing, TrialOriginComesBeforeTheHover) {
    // A horizontal Line at vertex 40 as the trial origin.
    set(40, 6);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{40, 0});
    EXPECT_EQ(glyphAt(40), 20);
    // The hover elsewhere is shown, on the origin's vertex it is not.
    screen.drawBoard(board, EdgeRef{41, 0}, EdgeRef{40, 0});
    EXPECT_EQ(glyphAt(40), 20);
    EXPECT_EQ(glyphAt(41), 32);
    screen.drawBoard(board, EdgeRef{40, 1}, EdgeRef{40, 0});
    EXPECT_EQ(glyphAt(40), 20);
    // The edge made Empty: the plain code, and still no hover there.
    set(40, 0);
    screen.drawBoard(board, EdgeRef{40, 0}, EdgeRef{40, 0});
    EXPECT_EQ(glyphAt(40), 0);
    screen.drawBoard(board, EdgeRef{40, 1}, EdgeRef{40, 0});
    EXPECT_EQ(glyphAt(40), 0);
}

TEST_F(BoardDrawing, TrialOriginGlyphsByCode) {
    for (int code = 0; code <= 8; ++code) {
        set(50, code);
        screen.drawBoard(board, EdgeRef{}, EdgeRef{50, 1});
        EXPECT_EQ(glyphAt(50), code % 3 != 0 ? code + 8 : code) << code;
        screen.drawBoard(board, EdgeRef{}, EdgeRef{50, 0});
        EXPECT_EQ(glyphAt(50), code >= 3 ? code + 14 : code) << code;
    }
}

TEST_F(BoardDrawing, ClueGlyphsByState) {
    std::vector<std::uint8_t> clues(121, kNoClue);
    clues[12] = 2;  // cell (1, 1)
    clues[0] = 0;
    board = makeBoard(10, 10, clues);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    EXPECT_EQ(clueAt(12), 43);  // no lines yet
    EXPECT_EQ(clueAt(0), 49);   // zero clue, exact from the start
    EXPECT_EQ(clueAt(13), -1);
    // Top and left sides: exactly two.
    set(12, 8);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    EXPECT_EQ(clueAt(12), 51);
    // And the right side: three, one too many.
    set(13, 2);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    EXPECT_EQ(clueAt(12), 47);
}

TEST_F(BoardDrawing, ClueSquareKeepsTheVertexAndIsCoveredByLaterVertices) {
    std::vector<std::uint8_t> clues(121, kNoClue);
    clues[12] = 3;
    board = makeBoard(10, 10, clues);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    const int k = a / 5, x = vertexX(12), y = vertexY(12);
    // The inset rows and columns are not the clue's.
    EXPECT_NE(pixelAt(screen.backBuffer, x + k - 1, y + k).g, 2);
    EXPECT_NE(pixelAt(screen.backBuffer, x + k, y + k - 1).g, 2);
    EXPECT_EQ(pixelAt(screen.backBuffer, x + e - 1, y + e - 1).g, 2);
    // The vertex to the right, drawn later, puts its mark back over the clue.
    EXPECT_EQ(glyphAt(13), 0);
    EXPECT_EQ(glyphAt(23), 0);
}

TEST_F(BoardDrawing, WhiteGlyphPixelsAreLeftOut) {
    // The far corner mark of vertex 0 lies inside the square of vertex 12,
    // whose glyph is white there: it stays.
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    ASSERT_EQ(e - 1 - a, 0);
    EXPECT_EQ(pixelAt(screen.backBuffer, vertexX(12), vertexY(12)), (Colour{0, 1, 0}));
}

TEST_F(BoardDrawing, ClearsTheBoardAreaButNothingAboveOrLeft) {
    Surface& back = screen.backBuffer;
    const Colour paint{9, 9, 9};
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x) setPixel(back, x, y, paint);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    EXPECT_EQ(pixelAt(back, screen.originX - 1, 300), paint);
    EXPECT_EQ(pixelAt(back, 300, screen.originY - 1), paint);
    EXPECT_EQ(pixelAt(back, 5, 5), paint);
    EXPECT_EQ(pixelAt(back, back.width - 1, back.height - 1), kWhite);
    EXPECT_EQ(pixelAt(back, screen.originX + 20, screen.originY + 20), kWhite);
}

TEST_F(BoardDrawing, DamagedGridsDrawNothingWrong) {
    board.codes[3] = 200;
    board.clues[4] = 77;
    screen.drawBoard(board, EdgeRef{3, 1}, EdgeRef{4, 0});
    EXPECT_EQ(pixelAt(screen.backBuffer, vertexX(3) + 1, vertexY(3) + 1), kWhite);
    EXPECT_EQ(clueAt(4), -1);
    board.codes.resize(10);
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});  // grids too short: no glyphs at all
    EXPECT_EQ(pixelAt(screen.backBuffer, vertexX(0) + 1, vertexY(0) + 1), kWhite);
}

TEST(ScreenDrawing, RealGlyphsLookLikeTheBoard) {
    // With the rendered sheet: a Line edge shows ink along it, an empty one
    // nothing, and the clue digit lands inside its cell.
    Screen screen;
    std::vector<std::uint8_t> clues(121, kNoClue);
    clues[12] = 1;
    Board board = makeBoard(10, 10, clues);
    ASSERT_TRUE(screen.resize(432, 464, board));
    board.codes[0] = 6;  // Line to the right of vertex 0
    board.updateClueStates();
    screen.drawBoard(board, EdgeRef{}, EdgeRef{});
    const Surface& back = screen.backBuffer;
    const int a = screen.pitch, x0 = screen.originX, y0 = screen.originY;
    const int dot = a * 132 / 1405;  // the dot's centre within its glyph
    auto dark = [&](int x, int y) {
        const Colour c = pixelAt(back, x, y);
        return c.b < 100 && c.g < 100 && c.r < 100;
    };
    EXPECT_TRUE(dark(x0 + dot, y0 + dot));          // dot of vertex 0
    EXPECT_TRUE(dark(x0 + a / 2, y0 + dot));        // line to its right
    EXPECT_FALSE(dark(x0 + dot, y0 + a / 2));       // nothing below it
    EXPECT_TRUE(dark(x0 + a + dot, y0 + a + dot));  // dot of vertex 12
    int digitPixels = 0;
    for (int y = y0 + a + a / 4; y < y0 + 2 * a - a / 4; ++y)
        for (int x = x0 + a + a / 4; x < x0 + 2 * a - a / 4; ++x)
            digitPixels += pixelAt(back, x, y) == kWhite ? 0 : 1;
    EXPECT_GT(digitPixels, 20);
}

// ------------------------------------------------------- toolbar and clock

class Chrome : public ::testing::Test {
  protected:
    void SetUp() override {
        screen.bitmapLoader = codedLoader();
        ASSERT_TRUE(screen.resize(432, 464, board));
    }
    // Which column of the button sheet pixel (x, y) of the back buffer shows,
    // -1 when white.
    int sourceAt(int x, int y) const {
        const Colour c = pixelAt(screen.backBuffer, x, y);
        return c == kWhite ? -1 : sourceX(c);
    }
    Board board = makeBoard(10, 10);
    Screen screen;
};

TEST_F(Chrome, ToolbarWithoutTrialButtons) {
    screen.drawToolbar(true, -1);  // the fourth place shown first
    screen.drawToolbar(false, -1);
    const int x0 = screen.toolbarX;
    EXPECT_EQ(sourceAt(x0, 2), 0);
    EXPECT_EQ(sourceAt(x0 + 89, 31), 89);
    EXPECT_EQ(sourceAt(x0 + 90, 2), 90);
    EXPECT_EQ(sourceAt(x0 + 180, 2), 180);
    EXPECT_EQ(sourceAt(x0 + 270, 2), -1);
    EXPECT_EQ(sourceAt(x0 + 359, 31), -1);
    EXPECT_EQ(sourceAt(x0 + 10, 0), -1);
    EXPECT_EQ(sourceAt(x0 + 10, 1), -1);
    EXPECT_EQ(sourceAt(0, 10), -1);
    // The source rows: 30 of them, from row 0.
    EXPECT_EQ(pixelAt(screen.backBuffer, x0 + 5, 2).r, 0);
    EXPECT_EQ(pixelAt(screen.backBuffer, x0 + 5, 31).r, 29);

    screen.drawToolbar(false, 2);
    EXPECT_EQ(sourceAt(x0 + 180, 2), 630);
    EXPECT_EQ(sourceAt(x0, 2), 0);
    screen.drawToolbar(false, 3);  // no fourth button to hover
    EXPECT_EQ(sourceAt(x0 + 270, 2), -1);
}

TEST_F(Chrome, ToolbarWithTrialButtons) {
    const int x0 = screen.toolbarX;
    screen.drawToolbar(true, -1);
    EXPECT_EQ(sourceAt(x0, 2), 0);
    EXPECT_EQ(sourceAt(x0 + 90, 2), 90);
    EXPECT_EQ(sourceAt(x0 + 180, 2), 270);
    EXPECT_EQ(sourceAt(x0 + 270, 2), 360);
    EXPECT_EQ(sourceAt(x0 + 359, 2), 449);
    const int hoveredFaces[] = {450, 540, 720, 810};
    for (int b = 0; b < 4; ++b) {
        screen.drawToolbar(true, b);
        for (int place = 0; place < 4; ++place) {
            const int plain[] = {0, 90, 270, 360};
            EXPECT_EQ(sourceAt(x0 + 90 * place, 2), place == b ? hoveredFaces[b] : plain[place]);
        }
    }
}

TEST_F(Chrome, ToolbarFillStopsAtTheButtons) {
    // The clock lies right of the four places and survives a toolbar redraw.
    screen.drawClock(0);
    screen.drawToolbar(false, -1);
    EXPECT_EQ(sourceAt(screen.clockX + 20, 11), 5);  // minutes digit 0, its sixth column
}

TEST_F(Chrome, ClockPieces) {
    struct Case {
        int seconds;
        int sources[5];
    };
    const Case cases[] = {
        {0, {150, 0, 165, 0, 0}},
        {65, {150, 15, 165, 0, 75}},
        {600, {15, 0, 165, 0, 0}},
        {3599, {75, 135, 165, 75, 135}},
    };
    const int offsets[] = {0, 15, 30, 38, 53};
    const int widths[] = {15, 15, 8, 15, 15};
    for (const Case& c : cases) {
        screen.layout(board);
        screen.drawClock(c.seconds);
        const int x = screen.clockX;
        for (int p = 0; p < 5; ++p) {
            for (int i = 0; i < widths[p]; ++i) {
                ASSERT_EQ(sourceAt(x + offsets[p] + i, 11), c.sources[p] + i)
                    << c.seconds << "s piece " << p;
                ASSERT_EQ(pixelAt(screen.backBuffer, x + offsets[p] + i, 29).r, 18);
            }
        }
        EXPECT_EQ(sourceAt(x - 1, 11), -1);
        EXPECT_EQ(sourceAt(x + 68, 11), -1);
        EXPECT_EQ(sourceAt(x + 5, 10), -1);
        EXPECT_EQ(sourceAt(x + 5, 30), -1);
    }
}

TEST_F(Chrome, ClockHoldsItsRange) {
    screen.drawClock(-5);
    EXPECT_EQ(sourceAt(screen.clockX + 53, 11), 0);
    screen.drawClock(100000);
    EXPECT_EQ(sourceAt(screen.clockX, 11), 75);
    EXPECT_EQ(sourceAt(screen.clockX + 53, 11), 135);
}

TEST_F(Chrome, ClearBanner) {
    Surface& back = screen.backBuffer;
    const Colour paint{9, 9, 9};
    for (int y = 0; y < back.height; ++y)
        for (int x = 0; x < back.width; ++x) setPixel(back, x, y, paint);
    screen.drawClearBanner();
    EXPECT_EQ(pixelAt(back, 69, 188), sourceColour(0, 19));
    EXPECT_EQ(pixelAt(back, 69 + 292, 188 + 86), sourceColour(292, 105));
    EXPECT_EQ(pixelAt(back, 68, 188), paint);
    EXPECT_EQ(pixelAt(back, 69, 187), paint);
    EXPECT_EQ(pixelAt(back, 69 + 293, 188), paint);
    EXPECT_EQ(pixelAt(back, 69, 188 + 87), paint);
    // The banner's white pixel leaves the board showing.
    EXPECT_EQ(pixelAt(back, 69 + 5, 188 + 5), paint);
    // The whole toolbar strip is white.
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < back.width; ++x) ASSERT_EQ(pixelAt(back, x, y), kWhite);
    EXPECT_EQ(pixelAt(back, 0, 32), paint);
}

TEST(ScreenDrawing, NoBannerInASmallClient) {
    Screen screen;
    screen.bitmapLoader = codedLoader();
    const Board board = makeBoard(3, 3);
    ASSERT_TRUE(screen.resize(292, 300, board));
    screen.drawClearBanner();
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 292; ++x) ASSERT_EQ(pixelAt(screen.backBuffer, x, y), kWhite);
    ASSERT_TRUE(screen.resize(300, 86, board));
    screen.drawClearBanner();
    for (int y = 0; y < 86; ++y)
        for (int x = 0; x < 300; ++x) ASSERT_EQ(pixelAt(screen.backBuffer, x, y), kWhite);
}

TEST(ScreenDrawing, ResourceBitmapsFromTheSourceTree) {
    Screen screen;
    screen.bitmapLoader = folderBitmapLoader(std::string(QUORRIN_SOURCE_DIR) + "/res");
    const Board board = makeBoard(10, 10);
    ASSERT_TRUE(screen.resize(432, 464, board));
    ASSERT_EQ(screen.buttonSheet.width, 900);
    ASSERT_EQ(screen.buttonSheet.height, 30);
    ASSERT_EQ(screen.clockSheet.width, 293);
    ASSERT_EQ(screen.clockSheet.height, 106);
    // The blank digit is white; so is everything right of the colon.
    for (int y = 0; y < 19; ++y) {
        for (int x = 150; x < 165; ++x) ASSERT_EQ(pixelAt(screen.clockSheet, x, y), kWhite);
        for (int x = 173; x < 293; ++x) ASSERT_EQ(pixelAt(screen.clockSheet, x, y), kWhite);
    }
    screen.drawToolbar(true, 1);
    screen.drawClock(754);
    screen.drawClearBanner();
    EXPECT_EQ(pixelAt(screen.backBuffer, 100, 15), kWhite);   // toolbar gone
    EXPECT_NE(pixelAt(screen.backBuffer, 216, 232), kWhite);  // the banner's middle shows
}

}  // namespace
}  // namespace quorrin
