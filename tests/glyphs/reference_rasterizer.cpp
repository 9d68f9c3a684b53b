#include "reference_rasterizer.h"

#include <cstring>

#include "glyphs/glyph_recipes.h"

namespace quorrin {
namespace reference {
namespace {

const std::uint8_t kStartMasks[8] = {0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01};
const std::uint8_t kEndMasks[8] = {0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};

int bitCount(int v) {
    int n = 0;
    for (; v != 0; v >>= 1) n += v & 1;
    return n;
}

struct BitCountTable {
    std::uint8_t n[256];
    BitCountTable() {
        for (int i = 0; i < 256; ++i) n[i] = static_cast<std::uint8_t>(bitCount(i));
    }
};
const BitCountTable kBits;

int coverage(const std::uint8_t* mask, int e, int x, int y) {
    int c = 0;
    for (int k = 0; k < 8; ++k) c += kBits.n[mask[(8 * y + k) * e + x]];
    return c;
}

}  // namespace

Rasterizer::Rasterizer() : Rasterizer(builtinOutlines()) {}

Rasterizer::Rasterizer(const OutlineSet& outlines)
    : set_(outlines),
      scaledXTop_(static_cast<std::size_t>(set_.edgeCount)),
      scaledYTop_(static_cast<std::size_t>(set_.edgeCount)),
      scaledYBottom_(static_cast<std::size_t>(set_.edgeCount)) {}

void Rasterizer::setGlyphSize(int e) {
    const std::int32_t s = 32768 * e / 1458;
    for (int i = 0; i < set_.edgeCount; ++i) {
        scaledXTop_[i] = static_cast<std::int32_t>((std::int64_t{set_.xTop[i]} * s) >> 12);
        scaledYTop_[i] = static_cast<std::int32_t>((std::int64_t{set_.yTop[i]} * s) >> 12);
        scaledYBottom_[i] = static_cast<std::int32_t>((std::int64_t{set_.yBottom[i]} * s) >> 12);
    }
}

void Rasterizer::fillOutline(int outline, std::uint8_t* mask, int widthSamples, int rows,
                             int strideBytes) {
    std::uint8_t* row = mask;
    for (int k = 0; k < rows; ++k) {
        const std::int32_t y = 2048 + 4096 * k;
        crossingCount_ = 0;
        for (int i = set_.start[outline]; i < set_.start[outline + 1]; ++i) {
            if (!(scaledYTop_[i] <= y && y < scaledYBottom_[i])) continue;
            const std::int32_t x =
                scaledXTop_[i] +
                static_cast<std::int32_t>(
                    (std::int64_t{y - scaledYTop_[i]} * set_.inverseSlope[i]) >> 12);
            int at = crossingCount_;
            while (at > 0 && crossingX_[at - 1] > x) {
                crossingX_[at] = crossingX_[at - 1];
                crossingDirection_[at] = crossingDirection_[at - 1];
                --at;
            }
            crossingX_[at] = x;
            crossingDirection_[at] = set_.direction[i];
            ++crossingCount_;
            if (crossingCount_ > mostCrossings_) mostCrossings_ = crossingCount_;
        }
        int sum = 0;
        int first = 0;
        for (int i = 0; i < crossingCount_; ++i) {
            sum += crossingDirection_[i];
            if (sum != 0) continue;
            int a = (crossingX_[first] + 2047) >> 12;
            if (a < 0) a = 0;
            int b = (crossingX_[i] - 2048) >> 12;
            if (b > widthSamples - 1) b = widthSamples - 1;
            if (a <= b) {
                const int h = a >> 3;
                const int p = b >> 3;
                if (h == p) {
                    row[h] |= static_cast<std::uint8_t>(kStartMasks[a & 7] & kEndMasks[b & 7]);
                } else {
                    row[h] |= kStartMasks[a & 7];
                    for (int j = h + 1; j < p; ++j) row[j] = 0xFF;
                    row[p] |= kEndMasks[b & 7];
                }
            }
            first = i + 1;
        }
        row += strideBytes;
    }
}

void Rasterizer::paintBase(std::uint8_t* glyph, int stride, int e, int outline, GlyphColour colour,
                           std::uint8_t* mask) {
    if (e <= 0) return;  // no pixels, and no mask to clear
    if (outline < 0) {
        for (int y = 0; y < e; ++y)
            for (int x = 0; x < 3 * e; ++x) glyph[y * stride + x] = 255;
        return;
    }
    std::memset(mask, 0, static_cast<std::size_t>(8 * e * e));
    fillOutline(outline, mask, 8 * e, 8 * e, e);
    const int channel[3] = {colour.blue, colour.green, colour.red};
    for (int y = 0; y < e; ++y)
        for (int x = 0; x < e; ++x) {
            const int c = coverage(mask, e, x, y);
            for (int k = 0; k < 3; ++k)
                glyph[y * stride + 3 * x + k] =
                    static_cast<std::uint8_t>(((64 - c) * 255 + channel[k] * c) >> 6);
        }
}

void Rasterizer::paintOverlay(std::uint8_t* glyph, int stride, int e, int outline,
                              GlyphColour colour, std::uint8_t* mask) {
    if (e <= 0) return;
    std::memset(mask, 0, static_cast<std::size_t>(8 * e * e));
    fillOutline(outline, mask, 8 * e, 8 * e, e);
    const int channel[3] = {colour.blue, colour.green, colour.red};
    for (int y = 0; y < e; ++y)
        for (int x = 0; x < e; ++x) {
            const int c = coverage(mask, e, x, y);
            for (int k = 0; k < 3; ++k) {
                std::uint8_t& p = glyph[y * stride + 3 * x + k];
                p = static_cast<std::uint8_t>((p * (64 - c) + channel[k] * c) >> 6);
            }
        }
}

void Rasterizer::renderSheet(int e, int stride, std::uint8_t* pixels) {
    setGlyphSize(e);
    std::vector<std::uint8_t> mask(static_cast<std::size_t>(8 * e * e));
    const GlyphRecipes& r = glyphRecipes();
    for (int g = 0; g < kGlyphCount; ++g) {
        std::uint8_t* glyph = pixels + 3 * e * g;
        paintBase(glyph, stride, e, r.baseOutline[g], r.baseColour[g], mask.data());
        if (r.layer1Outline[g] >= 0)
            paintOverlay(glyph, stride, e, r.layer1Outline[g], r.layer1Colour[g], mask.data());
        if (r.layer2Outline[g] >= 0)
            paintOverlay(glyph, stride, e, r.layer2Outline[g], r.layer2Colour[g], mask.data());
    }
}

}  // namespace reference
}  // namespace quorrin
