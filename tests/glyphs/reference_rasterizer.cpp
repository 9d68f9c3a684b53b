#include "reference_rasterizer.h"

#include <algorithm>
#include <bitset>
#include <utility>
#include <vector>

#include "glyphs/glyph_recipes.h"

namespace quorrin::reference {

void Rasterizer::fillOutline(int outline, std::uint8_t* mask, int widthSamples, int rows,
                             int strideBytes) const {
    // An outline number the set lacks, or whose edge range is not in the
    // table, has no edges.
    const bool held = outline >= 0 && outline < std::min(set_.outlineCount, kOutlineCount) &&
                      0 <= set_.start[outline] && set_.start[outline] <= set_.start[outline + 1] &&
                      set_.start[outline + 1] <= set_.edgeCount;
    const auto scaled = [this](std::int64_t v) { return v * scale_ >> 12; };
    for (int k = 0; k < rows; ++k) {
        // The crossings of the sample row's centre line, left to right.
        const std::int64_t y = 2048 + std::int64_t{4096} * k;
        std::vector<std::pair<std::int64_t, int>> crossings;
        for (int i = held ? set_.start[outline] : 0; held && i < set_.start[outline + 1]; ++i) {
            const std::int64_t top = scaled(set_.yTop[i]);
            if (top <= y && y < scaled(set_.yBottom[i]))
                crossings.emplace_back(
                    scaled(set_.xTop[i]) + ((y - top) * set_.inverseSlope[i] >> 12),
                    set_.direction[i]);
        }
        std::stable_sort(crossings.begin(), crossings.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        // Spans from where the winding leaves 0 to where it comes back: every
        // sample whose centre lies on or between the two crossings.
        int winding = 0;
        std::size_t first = 0;
        for (std::size_t i = 0; i < crossings.size(); ++i) {
            winding += crossings[i].second;
            if (winding != 0) continue;
            const std::int64_t from = crossings[first].first, to = crossings[i].first;
            for (std::int64_t c = std::max<std::int64_t>(0, (from >> 12) - 1);
                 c < widthSamples && 4096 * c + 2048 <= to; ++c)
                if (4096 * c + 2048 >= from)
                    mask[k * strideBytes + c / 8] |= static_cast<std::uint8_t>(0x80 >> c % 8);
            first = i + 1;
        }
    }
}

void Rasterizer::renderSheet(int e, int stride, std::uint8_t* pixels) {
    setGlyphSize(e);
    const GlyphRecipes& r = glyphRecipes();
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(8 * e * e));
    for (int g = 0; g < kGlyphCount; ++g) {
        const int outlines[] = {r.baseOutline[g], r.layer1Outline[g], r.layer2Outline[g]};
        const GlyphColour colours[] = {r.baseColour[g], r.layer1Colour[g], r.layer2Colour[g]};
        for (int layer = 0; layer < kLayersPerGlyph; ++layer) {
            // The base is blended onto white (no outline: all white), each
            // overlay onto what lies below it.
            if (layer > 0 && outlines[layer] < 0) continue;
            std::fill(mask.begin(), mask.end(), std::uint8_t{0});
            fillOutline(outlines[layer], mask.data(), 8 * e, 8 * e, e);
            const int bgr[] = {colours[layer].blue, colours[layer].green, colours[layer].red};
            for (int y = 0; y < e; ++y)
                for (int x = 0; x < e; ++x) {
                    int c = 0;  // covered samples, 0 to 64
                    for (int k = 0; k < 8; ++k)
                        c += static_cast<int>(std::bitset<8>(mask[(8 * y + k) * e + x]).count());
                    for (int i = 0; i < 3; ++i) {
                        std::uint8_t& p = pixels[y * stride + 3 * (g * e + x) + i];
                        const int below = layer == 0 ? 255 : p;
                        p = static_cast<std::uint8_t>((below * (64 - c) + bgr[i] * c) >> 6);
                    }
                }
        }
    }
}

}  // namespace quorrin::reference
