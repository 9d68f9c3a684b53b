// The screen: layout, hit-testing and drawing at several client sizes, by
// their exact metrics and the hash of the hit map, a drawn frame and the
// glyphs of the vertices. (Areas drawn alone are held against a full redraw after
// every event of the app's random sessions.)
#include "screen/screen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "board/board.h"
#include "pixels.h"

namespace quorrin {
namespace {

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
        int loads = 0;
        screen.bitmapLoader = [&loads](int id, Surface& out) {
            ++loads;
            return folderBitmapLoader(QUORRIN_SOURCE_DIR "/res")(id, out);
        };
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
        for (int pass = 0; pass <= c.banner; ++pass) {  // the banner over the frame
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
        // Grids one byte short: the board area is only cleared.
        board.clues.pop_back();
        screen.drawBoard(board, EdgeRef{}, EdgeRef{});
        for (int y = screen.originY; y < c.ch; ++y)
            for (int x = screen.originX; x < c.cw; ++x)
                ASSERT_EQ(testing::pixelAt(screen.backBuffer, x, y), testing::kWhite);
        // A new size lays out anew with the bitmaps already read; after a
        // release nothing is held and nothing hit.
        EXPECT_TRUE(screen.resize(32, 32, board) && loads == 2);
        screen.release();
        EXPECT_TRUE(screen.backBuffer.empty() && screen.buttonSheet.empty() &&
                    screen.clockSheet.empty() && screen.glyphSheet.empty() && !screen.rasterizer);
        EXPECT_EQ(screen.pitch + screen.originY + screen.clockX, 0);
    }
}

}  // namespace
}  // namespace quorrin
