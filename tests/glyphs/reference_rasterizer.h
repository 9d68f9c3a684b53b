// A plain, unoptimised glyph rasterizer used as the oracle of the tests and
// of the benchmark: every step exactly as the rasterizer is meant to work,
// with no shortcuts (one mask per layer, every edge tested on every sample row,
// every pixel blended).
#pragma once

#include <cstdint>
#include <vector>

#include "glyphs/glyph_palette.h"
#include "glyphs/outline_set.h"

namespace quorrin {
namespace reference {

class Rasterizer {
  public:
    Rasterizer();
    explicit Rasterizer(const OutlineSet& outlines);
    void setGlyphSize(int e);
    void fillOutline(int outline, std::uint8_t* mask, int widthSamples, int rows, int strideBytes);
    void paintBase(std::uint8_t* glyph, int stride, int e, int outline, GlyphColour colour,
                   std::uint8_t* mask);
    void paintOverlay(std::uint8_t* glyph, int stride, int e, int outline, GlyphColour colour,
                      std::uint8_t* mask);
    void renderSheet(int e, int stride, std::uint8_t* pixels);

    // Largest number of crossings seen on one sample row since construction.
    int mostCrossings() const { return mostCrossings_; }

  private:
    const OutlineSet& set_;
    std::vector<std::int32_t> scaledXTop_;
    std::vector<std::int32_t> scaledYTop_;
    std::vector<std::int32_t> scaledYBottom_;
    std::int32_t crossingX_[32];
    std::int8_t crossingDirection_[32];
    int crossingCount_ = 0;
    int mostCrossings_ = 0;
};

}  // namespace reference
}  // namespace quorrin
