#include "screen/screen.h"

#include <algorithm>
#include <cstring>

#include "glyphs/glyph_rasterizer.h"
#include "glyphs/glyph_recipes.h"

namespace quorrin {

namespace {

// Glyph numbers of the sheet, as the board drawing picks them.
constexpr int kMaxVertexCode = 8;
constexpr int kMaxClueState = 11;

// Whether the board's grids hold a byte for every vertex of its size.
bool hasGrids(const Board& board) {
    if (board.width < 0 || board.height < 0) return false;
    const std::int64_t vertices = (static_cast<std::int64_t>(board.width) + 1) *
                                  (static_cast<std::int64_t>(board.height) + 1);
    return static_cast<std::int64_t>(board.codes.size()) >= vertices &&
           static_cast<std::int64_t>(board.clues.size()) >= vertices;
}

}  // namespace

std::int32_t scaleByFactor(std::int32_t pitch, std::uint32_t factorBits) {
    float factor;
    static_assert(sizeof factor == sizeof factorBits, "32-bit float");
    std::memcpy(&factor, &factorBits, sizeof factor);
    // Each step is exact in double precision (a pitch has far fewer than 29
    // significant bits) and then rounded once to single precision, so the
    // result is that of single-precision arithmetic on every compiler,
    // whatever it does about fused multiply-adds or excess precision.
    const float product =
        static_cast<float>(static_cast<double>(pitch) * static_cast<double>(factor));
    const float sum = static_cast<float>(static_cast<double>(product) + 0.5);
    return static_cast<std::int32_t>(sum);
}

Screen::Screen() = default;
Screen::~Screen() = default;

bool Screen::resize(std::int32_t width, std::int32_t height, const Board& board) {
    if (width < kMinClientSide || height < kMinClientSide) return false;
    if (!backBuffer.empty() && backBuffer.width == width && backBuffer.height == height)
        return false;
    if (!rasterizer) rasterizer = std::make_unique<GlyphRasterizer>();
    if (buttonSheet.empty() && bitmapLoader) {
        if (!bitmapLoader(kButtonBitmapId, buttonSheet)) buttonSheet.release();
    }
    if (clockSheet.empty() && bitmapLoader) {
        if (!bitmapLoader(kClockBitmapId, clockSheet)) clockSheet.release();
    }
    // A size that cannot be had leaves an empty back buffer: nothing is drawn
    // and nothing is hit until the next usable size.
    backBuffer.create(width, height);
    layout(board);
    return true;
}

void Screen::layout(const Board& board) {
    backBuffer.fillWhite();
    glyphSheet.release();
    glyphRuns.clear();
    pitch = 0;
    glyphSize = 0;
    hitMargin = 0;
    originX = 0;
    originY = kToolbarHeight;
    toolbarX = 2;
    clockX = 362;
    if (backBuffer.empty() || board.width < 0 || board.height < 0) return;

    const std::int64_t w = board.width;
    const std::int64_t h = board.height;
    const std::int64_t cw = backBuffer.width;
    const std::int64_t ch = backBuffer.height;
    const std::int64_t a = std::min(cw / (w + 1), (ch - kToolbarHeight) / (h + 1));
    if (a <= 0) return;  // too small for one pixel per grid step

    pitch = static_cast<std::int32_t>(a);
    hitMargin = scaleByFactor(pitch, kHitMarginFactorBits);
    glyphSize = scaleByFactor(pitch, kGlyphSizeFactorBits);
    const std::int64_t e = glyphSize;
    originX = static_cast<std::int32_t>((cw - w * a - 2 * (e - a)) / 2);
    originY =
        static_cast<std::int32_t>((ch - kToolbarHeight - h * a - 2 * (e - a)) / 2 + kToolbarHeight);

    if (w * a >= 435) {
        toolbarX = originX;
        clockX = static_cast<std::int32_t>(originX + w * a - kClockWidth);
    }

    // The glyph sheet is rendered straight into its surface: the surface's
    // row stride is the sheet's. The glyphs lie side by side in one row up to
    // side 1236; larger glyphs take several rows, up to side 8191 (8 x 7
    // glyphs). Beyond that no surface holds them all, and the board is not
    // drawn.
    if (!rasterizer) rasterizer = std::make_unique<GlyphRasterizer>();
    const GlyphSheetGrid grid = glyphSheetGrid(glyphSize, kMaxSurfaceSide);
    if (!grid.empty() && e <= kMaxGlyphSize && grid.height() <= kMaxSurfaceSide &&
        glyphSheet.create(grid.width(), grid.height(), grid.stride())) {
        rasterizer->renderSheet(grid, glyphSheet.stride, glyphSheet.pixels.data());
        findOpaqueRuns(glyphSheet, glyphRuns);
    }
}

std::int32_t Screen::glyphX(int g) const {
    const std::int32_t columns = glyphSize > 0 ? glyphSheet.width / glyphSize : 0;
    return columns > 0 ? g % columns * glyphSize : 0;
}

std::int32_t Screen::glyphY(int g) const {
    const std::int32_t columns = glyphSize > 0 ? glyphSheet.width / glyphSize : 0;
    return columns > 0 ? g / columns * glyphSize : 0;
}

bool Screen::hitTest(const Board& board, std::int32_t x, std::int32_t y, EdgeRef& edge) const {
    edge = EdgeRef{};
    const std::int64_t a = pitch;
    const std::int64_t w = board.width;
    const std::int64_t h = board.height;
    if (a <= 0 || w < 0 || h < 0) return false;

    const std::int64_t u = static_cast<std::int64_t>(x) - originX + hitMargin;
    const std::int64_t v = static_cast<std::int64_t>(y) - originY + hitMargin;
    if (u < 0 || v < 0) return false;
    const std::int64_t c = u / a;
    const std::int64_t r = v / a;
    if (c > w || r > h) return false;
    const std::int64_t half = (a + 1) / 2;
    const std::int64_t rx = u - c * a;
    const std::int64_t ry = v - r * a;

    std::int64_t row = r;
    std::int64_t column = c;
    bool vertical;
    if (rx > half) {
        if (ry > half) return false;  // inside a cell
        vertical = false;
    } else if (ry >= half) {
        vertical = true;
    } else if (rx > ry) {
        // The corner square around the dot, split by its diagonals.
        vertical = rx + ry < half;
        if (vertical) row = r - 1;  // the edge arriving from above
    } else {
        vertical = rx + ry >= half;
        if (!vertical) column = c - 1;  // the edge arriving from the left
    }

    if (vertical ? (row < 0 || row >= h) : (column < 0 || column >= w)) return false;
    edge.vertex = static_cast<std::int32_t>(column + row * (w + 1));
    edge.vertical = vertical ? 1 : 0;
    return true;
}

void Screen::release() {
    backBuffer.release();
    buttonSheet.release();
    clockSheet.release();
    glyphSheet.release();
    glyphRuns.clear();
    rasterizer.reset();
    pitch = 0;
    glyphSize = 0;
    originX = 0;
    originY = 0;
    hitMargin = 0;
    toolbarX = 0;
    clockX = 0;
}

int Screen::vertexGlyph(const Board& board, std::int32_t n, EdgeRef hover, EdgeRef origin) {
    const int code = board.codes[static_cast<std::size_t>(n)];
    if (code > kMaxVertexCode) return kNoGlyph;
    if (n == origin.vertex) {
        // The hover is not shown on the trial origin's vertex.
        if (origin.vertical) return code % 3 != 0 ? code + kGlyphTrialDown : code;
        return code >= 3 ? code + kGlyphTrialRight : code;
    }
    if (n == hover.vertex) return code + (hover.vertical ? kGlyphHoverDown : kGlyphHoverRight);
    return code;
}

void Screen::drawBoard(const Board& board, EdgeRef hover, EdgeRef origin) {
    drawBoardArea(board, hover, origin, originX, originY, backBuffer.width - originX,
                  backBuffer.height - originY);
}

void Screen::drawBoardArea(const Board& board, EdgeRef hover, EdgeRef origin, std::int32_t x,
                           std::int32_t y, std::int32_t w, std::int32_t h) {
    if (backBuffer.empty()) return;
    // The board owns everything right of and below its origin.
    const std::int32_t left = std::max(x, originX);
    const std::int32_t top = std::max(y, originY);
    const std::int32_t right = std::min(x + w, backBuffer.width);
    const std::int32_t bottom = std::min(y + h, backBuffer.height);
    if (left >= right || top >= bottom) return;
    backBuffer.fillWhite(left, top, right - left, bottom - top);
    if (pitch <= 0 || glyphSheet.empty() || !hasGrids(board)) return;

    // Each copy is cut to the area; the vertices are drawn in the same order
    // as for the whole board, so overlapping glyphs stack the same way.
    auto copy = [&](bool opaque, std::int32_t sx, std::int32_t sy, std::int32_t cw, std::int32_t ch,
                    std::int32_t dx, std::int32_t dy) {
        const std::int32_t l = std::max(dx, left);
        const std::int32_t t = std::max(dy, top);
        const std::int32_t r = std::min(dx + cw, right);
        const std::int32_t b = std::min(dy + ch, bottom);
        if (l >= r || t >= b) return;
        sx += l - dx;
        sy += t - dy;
        if (opaque) {
            backBuffer.copyFrom(glyphSheet, sx, sy, r - l, b - t, l, t);
        } else {
            backBuffer.copyTransparentFrom(glyphSheet, glyphRuns, sx, sy, r - l, b - t, l, t);
        }
    };

    const std::int32_t a = pitch;
    const std::int32_t e = glyphSize;
    const std::int32_t inset = a / 5;
    const std::int32_t columns = board.width + 1;
    // Vertices whose square [origin + k a, origin + k a + e) meets the area.
    auto firstIndex = [&](std::int32_t from, std::int32_t origin0) {
        const std::int32_t reach = from - origin0 - e;  // k a > reach
        return reach < 0 ? 0 : reach / a;
    };
    const std::int32_t j0 = firstIndex(left, originX);
    const std::int32_t j1 = std::min(board.width, (right - originX) / a);
    const std::int32_t i0 = firstIndex(top, originY);
    const std::int32_t i1 = std::min(board.height, (bottom - originY) / a);
    for (std::int32_t i = i0; i <= i1; ++i) {
        const std::int32_t vy = originY + i * a;
        for (std::int32_t j = j0; j <= j1; ++j) {
            const std::int32_t n = j + i * columns;
            const std::int32_t vx = originX + j * a;
            const int glyph = vertexGlyph(board, n, hover, origin);
            if (glyph != kNoGlyph) copy(false, glyphX(glyph), glyphY(glyph), e, e, vx, vy);
            // A clue covers its cell opaquely, all but the top and left rows
            // of its square, which keep the vertex's own dot and lines.
            // 255 (no clue) and the other bytes above the states draw nothing.
            const int clue = board.clues[static_cast<std::size_t>(n)];
            if (clue <= kMaxClueState) {
                const int g = kGlyphClue + clue;
                copy(true, glyphX(g) + inset, glyphY(g) + inset, e - inset, e - inset, vx + inset,
                     vy + inset);
            }
        }
    }
}

void Screen::drawToolbar(bool trialButtonsShown, std::int32_t hovered) {
    const std::int32_t x0 = toolbarX;
    backBuffer.fillWhite(0, 0, x0 + kButtonPlaces * kButtonWidth, kToolbarHeight);
    auto button = [&](std::int32_t place, std::int32_t face) {
        const std::int32_t sx = face * kButtonWidth + (hovered == place ? kButtonHoverOffset : 0);
        backBuffer.copyFrom(buttonSheet, sx, 0, kButtonWidth, kButtonHeight,
                            x0 + place * kButtonWidth, kButtonY);
    };
    button(0, 0);  // choose a puzzle
    button(1, 1);  // start over
    if (trialButtonsShown) {
        button(2, 3);  // commit the trial
        button(3, 4);  // discard the trial
    } else {
        button(2, 2);  // start a trial; the fourth place stays white
    }
}

void Screen::drawClock(std::int32_t seconds) {
    const std::int32_t s = std::clamp<std::int32_t>(seconds, 0, 3599);
    const std::int32_t minutes = s / 60;
    const std::int32_t rest = s % 60;
    struct Piece {
        std::int32_t x, width, sourceX;
    };
    const Piece pieces[] = {
        {0, kDigitWidth, minutes >= 10 ? kDigitWidth * (minutes / 10) : kBlankDigitX},
        {15, kDigitWidth, kDigitWidth * (minutes % 10)},
        {30, kColonWidth, kColonX},
        {38, kDigitWidth, kDigitWidth * (rest / 10)},
        {53, kDigitWidth, kDigitWidth * (rest % 10)},
    };
    for (const Piece& p : pieces) {
        backBuffer.copyFrom(clockSheet, p.sourceX, 0, p.width, kClockSpriteHeight, clockX + p.x,
                            kClockY);
    }
}

void Screen::drawClearBanner() {
    if (backBuffer.empty()) return;
    backBuffer.fillWhite(0, 0, backBuffer.width, kToolbarHeight);
    if (backBuffer.width < kBannerWidth || backBuffer.height < kBannerHeight) return;
    backBuffer.copyTransparentFrom(clockSheet, 0, kBannerY, kBannerWidth, kBannerHeight,
                                   (backBuffer.width - kBannerWidth) / 2,
                                   (backBuffer.height - kBannerHeight) / 2);
}

}  // namespace quorrin
