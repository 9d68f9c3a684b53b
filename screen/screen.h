// The screen: the back buffer the size of the client area, the two resource
// bitmaps, the glyph sheet at the current cell size, the layout of board,
// toolbar and clock, hit-testing, and the drawing of board, toolbar, clock
// and clear banner into the back buffer.
//
// The client area is the toolbar strip, rows 0 to 31, and the board area
// below it. Nothing here talks to the window system: the window layer copies
// `backBuffer` to the window, and supplies the resource bitmaps through
// `bitmapLoader`.
#pragma once

#include <cstdint>
#include <memory>

#include "board/board.h"
#include "screen/bitmap.h"
#include "screen/surface.h"

namespace quorrin {

class GlyphRasterizer;

constexpr std::int32_t kToolbarHeight = 32;
constexpr std::int32_t kMinClientSide = 32;

// Toolbar button faces (bitmap 129): 90 x 30 each, the hovered look 450
// pixels to the right of the plain one.
constexpr std::int32_t kButtonWidth = 90;
constexpr std::int32_t kButtonHeight = 30;
constexpr std::int32_t kButtonHoverOffset = 450;
constexpr std::int32_t kButtonPlaces = 4;
constexpr std::int32_t kButtonY = 2;

// Clock sprites and banner (bitmap 131).
constexpr std::int32_t kClockWidth = 68;
constexpr std::int32_t kClockY = 11;
constexpr std::int32_t kClockSpriteHeight = 19;
constexpr std::int32_t kDigitWidth = 15;
constexpr std::int32_t kColonWidth = 8;
constexpr std::int32_t kBlankDigitX = 150;
constexpr std::int32_t kColonX = 165;
constexpr std::int32_t kBannerY = 19;
constexpr std::int32_t kBannerWidth = 293;
constexpr std::int32_t kBannerHeight = 87;

// The two layout factors, single precision, by their bit patterns: the
// nearest floats to 14.5 / 93 (hit margin) and 96.5 / 93 (glyph side).
constexpr std::uint32_t kHitMarginFactorBits = 0x3E1FA7EAu;
constexpr std::uint32_t kGlyphSizeFactorBits = 0x3F84D134u;

// pitch x factor + 0.5, both steps rounded to single precision, truncated.
std::int32_t scaleByFactor(std::int32_t pitch, std::uint32_t factorBits);

class Screen {
  public:
    Screen();
    ~Screen();
    Screen(const Screen&) = delete;
    Screen& operator=(const Screen&) = delete;

    Surface backBuffer;    // exactly the client area; all drawing goes here
    Surface buttonSheet;   // bitmap 129, the toolbar button faces
    Surface clockSheet;    // bitmap 131, clock digits and clear banner
    Surface glyphSheet;    // the 53 glyphs at glyphSize, in one row or more
    OpaqueRuns glyphRuns;  // the non-white runs of glyphSheet's rows
    std::unique_ptr<GlyphRasterizer> rasterizer;

    std::int32_t pitch = 0;      // pixels from one dot to the next
    std::int32_t glyphSize = 0;  // side of one glyph
    std::int32_t originX = 0;    // top-left corner of vertex 0's glyph
    std::int32_t originY = 0;
    std::int32_t hitMargin = 0;  // shift of a point before hit-testing
    std::int32_t toolbarX = 0;   // x of toolbar button 0
    std::int32_t clockX = 0;     // x of the clock

    // Fills a surface with a resource bitmap (kButtonBitmapId,
    // kClockBitmapId). Set by the owner before the first resize.
    BitmapLoader bitmapLoader;

    // A new client size. Sizes below 32 in either direction and the size
    // already in use are ignored. Otherwise makes what is missing (the
    // rasterizer, the two bitmaps), a new back buffer, and lays out. Returns
    // whether it laid out; the caller then redraws everything.
    bool resize(std::int32_t width, std::int32_t height, const Board& board);

    // Clears the back buffer to white, computes the metrics for this board
    // and renders the glyph sheet anew. A client area too small for one pixel
    // per grid step gives pitch 0: no glyph sheet, and no edge is ever hit.
    void layout(const Board& board);

    // The edge of the board under client point (x, y), if any.
    bool hitTest(const Board& board, std::int32_t x, std::int32_t y, EdgeRef& edge) const;

    // Frees every surface and the rasterizer; the metrics go back to 0.
    void release();

    // The board: a glyph per vertex (with the trial origin's or the hovered
    // edge highlighted) and the clue digits. Either edge may be none.
    void drawBoard(const Board& board, EdgeRef hover, EdgeRef origin);
    // The same, but only the pixels inside the w x h rectangle at (x, y):
    // they come out exactly as drawBoard leaves them, and no pixel outside
    // the rectangle changes. Lets a change of a few vertices be drawn
    // without drawing the whole board.
    void drawBoardArea(const Board& board, EdgeRef hover, EdgeRef origin, std::int32_t x,
                       std::int32_t y, std::int32_t w, std::int32_t h);
    // Top-left pixel of glyph g in glyphSheet, whose rows hold
    // glyphSheet.width / glyphSize glyphs each.
    std::int32_t glyphX(int g) const;
    std::int32_t glyphY(int g) const;
    // The glyph number that draws vertex n with these highlights, or
    // kNoGlyph when its code draws none. With the clue state byte this is
    // all that decides the look of the vertex's square.
    static int vertexGlyph(const Board& board, std::int32_t n, EdgeRef hover, EdgeRef origin);
    static constexpr int kNoGlyph = 255;
    // The toolbar buttons; `hovered` is the button under the pointer, -1 none.
    void drawToolbar(bool trialButtonsShown, std::int32_t hovered);
    // The clock at mm:ss, seconds 0 to 3599 (others are held to that range).
    void drawClock(std::int32_t seconds);
    // The clear banner in the middle of the client area, toolbar cleared.
    void drawClearBanner();
};

}  // namespace quorrin
