// Anti-aliased rasterizer of the built-in glyph outlines, and the renderer of
// the glyph sheet: the 53 glyphs in rows of one 24-bit image.
//
// Everything is integer arithmetic in fixed point with 12 fractional bits.
// An outline is scan-converted with 8 x 8 samples per pixel (non-zero winding,
// a sample is covered when its centre lies on or between two crossings), the
// covered samples of a pixel are counted (0 to 64) and the colour is blended
// by that count.
#pragma once

#include <cstdint>
#include <memory>

#include "glyphs/glyph_palette.h"
#include "glyphs/glyph_recipes.h"
#include "glyphs/outline_set.h"

namespace quorrin {

// Row stride in bytes of a sheet of glyph side e: 3 x 53e rounded up to 4.
inline int glyphSheetStride(int e) {
    return (159 * e + 3) & ~3;
}

// Largest glyph side for which every fixed-point value fits in 32 bits.
constexpr int kMaxGlyphSize = 65535;

// Where the glyphs lie in a sheet: rows of `columns` glyphs of side `side`,
// glyph g in column g % columns of glyph row g / columns. Cells after the
// last glyph of the last row are white.
struct GlyphSheetGrid {
    int side = 0;
    int columns = 0;
    int rows = 0;

    bool empty() const { return side <= 0 || columns <= 0 || rows <= 0; }
    int width() const { return columns * side; }
    int height() const { return rows * side; }
    // Bytes per pixel row: 3 x width rounded up to 4.
    int stride() const { return (3 * width() + 3) & ~3; }
    int glyphX(int g) const { return g % columns * side; }
    int glyphY(int g) const { return g / columns * side; }
};

// The grid of glyph side e in a sheet at most maxWidth pixels wide: all 53
// glyphs in one row when they fit, otherwise as few rows as the width allows,
// as evenly filled as they can be. Empty when not even one glyph fits.
GlyphSheetGrid glyphSheetGrid(int e, int maxWidth);

// Scale from outline units to samples (8 per pixel) at glyph side e, with 12
// fractional bits: floor(32768 e / 1458).
inline std::int32_t glyphScaleFactor(int e) {
    return static_cast<std::int32_t>(std::int64_t{32768} * e / kOutlineSide);
}

class GlyphRasterizer {
  public:
    GlyphRasterizer();  // rasterizes the built-in outlines
    // Rasterizes the given outline set, which must outlive the rasterizer.
    // Outline numbers the set lacks (it may hold fewer than kOutlineCount)
    // are taken as empty outlines: they cover no sample.
    explicit GlyphRasterizer(const OutlineSet& outlines);
    ~GlyphRasterizer();
    GlyphRasterizer(const GlyphRasterizer&) = delete;
    GlyphRasterizer& operator=(const GlyphRasterizer&) = delete;

    // Scales every edge of the outline set to glyph side e (0 to
    // kMaxGlyphSize; other values are taken as 0).
    void setGlyphSize(int e);
    int glyphSize() const { return size_; }

    // ORs the samples covered by `outline` into `mask` (zeroed by the caller):
    // `rows` mask rows of `strideBytes` bytes, one bit per sample, bit 7 the
    // leftmost; no sample at column widthSamples or beyond is set.
    void fillOutline(int outline, std::uint8_t* mask, int widthSamples, int rows, int strideBytes);

    // Writes every pixel of the e x e glyph at `glyph` (B,G,R, row stride
    // `stride`): white without an outline, else `colour` blended onto white
    // by the outline's coverage. `mask` holds 8e^2 bytes of scratch.
    void paintBase(std::uint8_t* glyph, int stride, int e, int outline, GlyphColour colour,
                   std::uint8_t* mask);

    // Blends `colour` over the glyph's current pixels by the coverage of
    // `outline`. `mask` holds 8e^2 bytes of scratch.
    void paintOverlay(std::uint8_t* glyph, int stride, int e, int outline, GlyphColour colour,
                      std::uint8_t* mask);

    // Renders the 53 glyphs at side e into `pixels` (stride * e bytes, rows top
    // down, B,G,R); glyph g covers pixel columns g*e .. g*e+e-1. Every glyph
    // pixel is written, the row padding is not. e = 0 writes nothing, and so
    // does a stride too small for 53e pixels.
    void renderSheet(int e, int stride, std::uint8_t* pixels);
    // The same in the arrangement of `grid` (stride * grid.height() bytes):
    // glyph g with its top-left pixel at (grid.glyphX(g), grid.glyphY(g)).
    // Every pixel of the grid's width is written, the row padding is not.
    // An empty grid or a stride too small for its width writes nothing.
    void renderSheet(const GlyphSheetGrid& grid, int stride, std::uint8_t* pixels);

  private:
    void fillGlyphMask(int outline, std::uint8_t* mask, int e);
    static int pixelCoverage(const std::uint8_t* mask, int e, int x, int y);

    struct Impl;
    std::unique_ptr<Impl> impl_;
    int size_ = 0;
};

}  // namespace quorrin
