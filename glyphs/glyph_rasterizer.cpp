#include "glyphs/glyph_rasterizer.h"

#include <cstddef>
#include <cstring>
#include <vector>

namespace quorrin {
namespace {

constexpr int kMaxCrossings = 32;

// 0xFF shifted right by the first column's bit, and the bits from the left up
// to and including the last column's bit.
constexpr std::uint8_t kStartMask[8] = {0xFF, 0x7F, 0x3F, 0x1F, 0x0F, 0x07, 0x03, 0x01};
constexpr std::uint8_t kEndMask[8] = {0x80, 0xC0, 0xE0, 0xF0, 0xF8, 0xFC, 0xFE, 0xFF};

struct BitCounts {
    std::uint8_t n[256];
    constexpr BitCounts() : n() {
        for (int i = 0; i < 256; ++i) {
            int c = 0;
            for (int b = i; b != 0; b >>= 1) c += b & 1;
            n[i] = static_cast<std::uint8_t>(c);
        }
    }
};
constexpr BitCounts kBitCounts;

// (a * b) >> 12 in 64 bits, rounding toward minus infinity.
inline std::int32_t mulShift(std::int64_t a, std::int64_t b) {
    std::int64_t p = a * b;
    // Right shift of a negative value: floor division by 4096, written out
    // so that it does not depend on the compiler's shift of negative values.
    std::int64_t q = p >= 0 ? p / 4096 : -((-p + 4095) / 4096);
    return static_cast<std::int32_t>(q);
}

// Floor of v / 4096 for a 32-bit value.
inline std::int32_t shift12(std::int32_t v) {
    return v >= 0 ? v / 4096 : -((-v + 4095) / 4096);
}

inline std::uint8_t blendBase(int c, std::uint8_t colour) {
    return static_cast<std::uint8_t>(((64 - c) * 255 + colour * c) >> 6);
}

inline std::uint8_t blendOver(int c, std::uint8_t old, std::uint8_t colour) {
    return static_cast<std::uint8_t>((old * (64 - c) + colour * c) >> 6);
}

}  // namespace

struct GlyphRasterizer::Impl {
    const OutlineSet& set = builtinOutlines();
    std::vector<std::int32_t> scaledXTop;
    std::vector<std::int32_t> scaledYTop;
    std::vector<std::int32_t> scaledYBottom;
    std::int32_t crossingX[kMaxCrossings] = {};
    std::int8_t crossingDir[kMaxCrossings] = {};
    int crossingCount = 0;
    std::vector<std::uint8_t> mask;
};

GlyphRasterizer::GlyphRasterizer() : impl_(new Impl) {
    const std::size_t n = static_cast<std::size_t>(impl_->set.edgeCount);
    impl_->scaledXTop.assign(n, 0);
    impl_->scaledYTop.assign(n, 0);
    impl_->scaledYBottom.assign(n, 0);
}

GlyphRasterizer::~GlyphRasterizer() = default;

void GlyphRasterizer::setGlyphSize(int e) {
    if (e < 0 || e > kMaxGlyphSize) e = 0;
    size_ = e;
    const std::int64_t s = (std::int64_t{32768} * e) / kOutlineSide;
    const OutlineSet& set = impl_->set;
    for (int i = 0; i < set.edgeCount; ++i) {
        impl_->scaledXTop[i] = mulShift(set.xTop[i], s);
        impl_->scaledYTop[i] = mulShift(set.yTop[i], s);
        impl_->scaledYBottom[i] = mulShift(set.yBottom[i], s);
    }
}

void GlyphRasterizer::fillOutline(int outline, std::uint8_t* mask, int widthSamples, int rows,
                                  int strideBytes) {
    if (outline < 0 || outline >= kOutlineCount || mask == nullptr) return;
    Impl& m = *impl_;
    const OutlineSet& set = m.set;
    const int first = set.start[outline];
    const int end = set.start[outline + 1];
    std::uint8_t* row = mask;
    for (int k = 0; k < rows; ++k, row += strideBytes) {
        const std::int32_t y = 2048 + 4096 * k;
        m.crossingCount = 0;
        for (int i = first; i < end; ++i) {
            if (m.scaledYTop[i] > y || y >= m.scaledYBottom[i]) continue;
            if (m.crossingCount == kMaxCrossings) break;
            const std::int32_t x =
                m.scaledXTop[i] + mulShift(y - m.scaledYTop[i], set.inverseSlope[i]);
            int j = m.crossingCount;
            while (j > 0 && m.crossingX[j - 1] > x) {
                m.crossingX[j] = m.crossingX[j - 1];
                m.crossingDir[j] = m.crossingDir[j - 1];
                --j;
            }
            m.crossingX[j] = x;
            m.crossingDir[j] = set.direction[i];
            ++m.crossingCount;
        }
        int sum = 0;
        int spanFirst = 0;
        for (int i = 0; i < m.crossingCount; ++i) {
            sum += m.crossingDir[i];
            if (sum != 0) continue;
            int a = shift12(m.crossingX[spanFirst] + 2047);
            int b = shift12(m.crossingX[i] - 2048);
            if (a < 0) a = 0;
            if (b > widthSamples - 1) b = widthSamples - 1;
            spanFirst = i + 1;
            if (a > b) continue;
            const int h = a >> 3;
            const int p = b >> 3;
            if (h == p) {
                row[h] |= static_cast<std::uint8_t>(kStartMask[a & 7] & kEndMask[b & 7]);
            } else {
                row[h] |= kStartMask[a & 7];
                if (p - h > 1) std::memset(row + h + 1, 0xFF, static_cast<std::size_t>(p - h - 1));
                row[p] |= kEndMask[b & 7];
            }
        }
    }
}

void GlyphRasterizer::paintBase(std::uint8_t* glyph, int stride, int e, int outline,
                                GlyphColour colour, std::uint8_t* mask) {
    if (glyph == nullptr || e <= 0) return;
    if (outline < 0 || outline >= kOutlineCount || mask == nullptr) {
        for (int y = 0; y < e; ++y)
            std::memset(glyph + static_cast<std::ptrdiff_t>(y) * stride, 255,
                        static_cast<std::size_t>(3 * e));
        return;
    }
    const std::size_t maskBytes = static_cast<std::size_t>(8) * e * e;
    std::memset(mask, 0, maskBytes);
    fillOutline(outline, mask, 8 * e, 8 * e, e);
    for (int y = 0; y < e; ++y) {
        std::uint8_t* px = glyph + static_cast<std::ptrdiff_t>(y) * stride;
        const std::uint8_t* mrow = mask + static_cast<std::size_t>(8) * y * e;
        for (int x = 0; x < e; ++x, px += 3) {
            int c = 0;
            for (int k = 0; k < 8; ++k) c += kBitCounts.n[mrow[k * e + x]];
            px[0] = blendBase(c, colour.blue);
            px[1] = blendBase(c, colour.green);
            px[2] = blendBase(c, colour.red);
        }
    }
}

void GlyphRasterizer::paintOverlay(std::uint8_t* glyph, int stride, int e, int outline,
                                   GlyphColour colour, std::uint8_t* mask) {
    if (glyph == nullptr || e <= 0 || outline < 0 || outline >= kOutlineCount || mask == nullptr)
        return;
    const std::size_t maskBytes = static_cast<std::size_t>(8) * e * e;
    std::memset(mask, 0, maskBytes);
    fillOutline(outline, mask, 8 * e, 8 * e, e);
    for (int y = 0; y < e; ++y) {
        std::uint8_t* px = glyph + static_cast<std::ptrdiff_t>(y) * stride;
        const std::uint8_t* mrow = mask + static_cast<std::size_t>(8) * y * e;
        for (int x = 0; x < e; ++x, px += 3) {
            int c = 0;
            for (int k = 0; k < 8; ++k) c += kBitCounts.n[mrow[k * e + x]];
            px[0] = blendOver(c, px[0], colour.blue);
            px[1] = blendOver(c, px[1], colour.green);
            px[2] = blendOver(c, px[2], colour.red);
        }
    }
}

void GlyphRasterizer::renderSheet(int e, int stride, std::uint8_t* pixels) {
    if (e <= 0 || e > kMaxGlyphSize || pixels == nullptr || stride < 159 * e) return;
    setGlyphSize(e);
    Impl& m = *impl_;
    m.mask.assign(static_cast<std::size_t>(8) * e * e, 0);
    const GlyphRecipes& r = glyphRecipes();
    for (int g = 0; g < kGlyphCount; ++g) {
        std::uint8_t* glyph = pixels + static_cast<std::size_t>(3) * e * g;
        paintBase(glyph, stride, e, r.baseOutline[g], r.baseColour[g], m.mask.data());
        if (r.layer1Outline[g] >= 0)
            paintOverlay(glyph, stride, e, r.layer1Outline[g], r.layer1Colour[g], m.mask.data());
        if (r.layer2Outline[g] >= 0)
            paintOverlay(glyph, stride, e, r.layer2Outline[g], r.layer2Colour[g], m.mask.data());
    }
}

}  // namespace quorrin
