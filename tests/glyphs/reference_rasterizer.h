// A plain, unoptimised glyph rasterizer, the oracle of the tests and of the
// benchmark: every edge tested on every sample row, every covered sample set
// one by one, every pixel of every layer blended from its 64 samples.
#pragma once

#include <cstdint>

#include "glyphs/outline_set.h"

namespace quorrin::reference {

class Rasterizer {
  public:
    explicit Rasterizer(const OutlineSet& outlines = builtinOutlines()) : set_(outlines) {}
    // Scale from outline units to samples, 12 fractional bits: 32768 e / 1458.
    void setGlyphSize(int e) { scale_ = std::int64_t{32768} * e / 1458; }
    // The same contract as GlyphRasterizer::fillOutline.
    void fillOutline(int outline, std::uint8_t* mask, int widthSamples, int rows,
                     int strideBytes) const;
    // The 53 glyphs of side e in one row, as GlyphRasterizer::renderSheet.
    void renderSheet(int e, int stride, std::uint8_t* pixels);

  private:
    const OutlineSet& set_;
    std::int64_t scale_ = 0;
};

}  // namespace quorrin::reference
