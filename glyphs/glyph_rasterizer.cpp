#include "glyphs/glyph_rasterizer.h"

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
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

// Floor of v / 4096: the signed shift by 12 that the fixed-point arithmetic
// uses, written so that it does not depend on how the compiler shifts
// negative values. Shifting v + 2^62 as an unsigned number and taking 2^50
// off again gives the floor for every v from -2^62 up, without a branch.
inline std::int64_t floor12(std::int64_t v) {
    constexpr std::uint64_t kBias = std::uint64_t{1} << 62;
    return static_cast<std::int64_t>((static_cast<std::uint64_t>(v) + kBias) >> 12) -
           static_cast<std::int64_t>(kBias >> 12);
}

// (a * b) >> 12 with the product in 64 bits, taken as 32 bits.
inline std::int32_t mulShift(std::int64_t a, std::int64_t b) {
    return static_cast<std::int32_t>(floor12(a * b));
}

inline std::uint8_t blendBase(int c, std::uint8_t colour) {
    return static_cast<std::uint8_t>(((64 - c) * 255 + colour * c) >> 6);
}

inline std::uint8_t blendOver(int c, std::uint8_t old, std::uint8_t colour) {
    return static_cast<std::uint8_t>((old * (64 - c) + colour * c) >> 6);
}

// A run of pixels of equal coverage (1 to 64) on one pixel row of an
// outline's box. Pixels that no run names have coverage 0.
struct Run {
    std::int32_t x;  // from the box's left side
    std::int32_t length;
    std::int32_t coverage;
};

// The coverage of an outline at one glyph size, as runs per pixel row of its
// bounding box in the glyph.
struct Coverage {
    int x0 = 0, y0 = 0, width = 0, height = 0;
    std::vector<Run> runs;
    std::vector<std::size_t> rowRuns;  // row r's runs: rowRuns[r] .. rowRuns[r + 1] - 1
    bool empty() const { return width <= 0 || height <= 0; }
};

// A colour blended onto white at every coverage, and a row of it for runs of
// full coverage.
struct Paint {
    GlyphColour colour{};
    std::uint8_t onWhite[65][3];
    std::vector<std::uint8_t> solid;
};

// An edge while it crosses the sample rows, kept in order of x.
struct ActiveEdge {
    std::int64_t x;     // crossing on the current row
    std::int32_t step;  // inverse slope: change of x from one row to the next
    std::int32_t endRow;
    std::int32_t direction;
};

// One layer of one glyph in the sheet. A layer whose box meets the box of no
// layer drawn before it in the same glyph lands on white; otherwise it is
// blended pixel by pixel over what is there.
struct Op {
    int x0, y0, y1;  // sheet pixel column of the box, rows y0 .. y1 - 1 of its glyph row
    const Coverage* coverage;
    std::size_t paint;
    bool blend;
};

}  // namespace

struct GlyphRasterizer::Impl {
    explicit Impl(const OutlineSet& outlines) : set(outlines) {}
    const OutlineSet& set;
    int edgeCount = 0;
    // Outline k's edges: edgeFrom[k] .. edgeTo[k] - 1 of the table, and the
    // same edges by their upper end from byTop[sortedFrom[k]] on. Empty for
    // an outline the set lacks.
    int edgeFrom[kOutlineCount] = {};
    int edgeTo[kOutlineCount] = {};
    int sortedFrom[kOutlineCount] = {};
    std::vector<std::int32_t> scaledXTop;
    std::vector<std::int32_t> scaledYTop;
    std::vector<std::int32_t> scaledYBottom;
    std::int32_t crossingX[kMaxCrossings] = {};
    std::int8_t crossingDir[kMaxCrossings] = {};
    int crossingCount = 0;

    // The sheet renderer's working state, kept between renders so that a
    // render allocates nothing once the buffers have grown.
    std::vector<std::int32_t> firstRow;  // per edge: first active sample row
    std::vector<std::int32_t> endRow;    // per edge: one past the last
    std::vector<std::int64_t> firstX;    // per edge: x on its first active row
    std::vector<int> byTop;              // edges of each outline by their upper end
    std::vector<int> order;              // the active edges of one outline by first row
    std::vector<ActiveEdge> active;      // edges crossing the current sample row
    std::vector<std::int32_t> partial;   // per pixel column: samples in edge pixels
    std::vector<std::int32_t> step;      // per pixel column: change of full-pixel samples
    std::vector<int> touched;            // pixel columns where the coverage changes
    std::vector<std::uint8_t> isTouched;
    Coverage coverage[kOutlineCount];
    std::vector<Paint> paints;  // the first paintCount are this render's
    std::size_t paintCount = 0;
    std::vector<Op> ops;
    std::vector<std::size_t> rowOps;  // glyph row r's ops: rowOps[r] .. rowOps[r + 1] - 1

    void computeCoverage(int outline, int e);
    std::size_t paint(GlyphColour colour, int e);
    void renderGlyphRow(const Op* first, const Op* last, int e, int stride, std::uint8_t* top,
                        std::size_t rowBytes) const;
};

GlyphRasterizer::GlyphRasterizer() : GlyphRasterizer(builtinOutlines()) {}

GlyphRasterizer::GlyphRasterizer(const OutlineSet& outlines) : impl_(new Impl(outlines)) {
    Impl& m = *impl_;
    const OutlineSet& set = m.set;
    m.edgeCount = std::max(set.edgeCount, 0);
    const std::size_t n = static_cast<std::size_t>(m.edgeCount);
    m.scaledXTop.assign(n, 0);
    m.scaledYTop.assign(n, 0);
    m.scaledYBottom.assign(n, 0);
    // Only the start entries the set has are read: a set of fewer outlines
    // leaves the rest empty, and so does a range outside the edge table.
    const int held = set.start == nullptr ? 0 : std::clamp(set.outlineCount, 0, kOutlineCount);
    for (int o = 0; o < held; ++o) {
        const std::int32_t from = set.start[o];
        const std::int32_t to = set.start[o + 1];
        if (from < 0 || from > to || to > m.edgeCount) continue;
        m.edgeFrom[o] = from;
        m.edgeTo[o] = to;
        // Scaling keeps the order of the upper ends, so the order of the
        // edges by their first sample row is the same at every size.
        m.sortedFrom[o] = static_cast<int>(m.byTop.size());
        for (int i = from; i < to; ++i) m.byTop.push_back(i);
        std::stable_sort(m.byTop.begin() + m.sortedFrom[o], m.byTop.end(),
                         [&set](int a, int b) { return set.yTop[a] < set.yTop[b]; });
    }
}

GlyphRasterizer::~GlyphRasterizer() = default;

void GlyphRasterizer::setGlyphSize(int e) {
    if (e < 0 || e > kMaxGlyphSize) e = 0;
    size_ = e;
    const std::int64_t s = glyphScaleFactor(e);
    const OutlineSet& set = impl_->set;
    for (int i = 0; i < impl_->edgeCount; ++i) {
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
    const int first = m.edgeFrom[outline];
    const int end = m.edgeTo[outline];
    std::uint8_t* row = mask;
    for (int k = 0; k < rows; ++k, row += strideBytes) {
        const std::int64_t y = 2048 + std::int64_t{4096} * k;
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
            int a = static_cast<int>(floor12(std::int64_t{m.crossingX[spanFirst]} + 2047));
            int b = static_cast<int>(floor12(std::int64_t{m.crossingX[i]} - 2048));
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

// The zeroed mask of an e x e glyph with the outline's samples set.
void GlyphRasterizer::fillGlyphMask(int outline, std::uint8_t* mask, int e) {
    std::memset(mask, 0, static_cast<std::size_t>(8) * e * e);
    fillOutline(outline, mask, 8 * e, 8 * e, e);
}

// Covered samples of pixel (x, y), 0 to 64: the bytes at column x of mask
// rows 8y to 8y + 7.
int GlyphRasterizer::pixelCoverage(const std::uint8_t* mask, int e, int x, int y) {
    const std::uint8_t* column = mask + static_cast<std::size_t>(8) * y * e + x;
    int c = 0;
    for (int k = 0; k < 8; ++k) c += kBitCounts.n[column[static_cast<std::size_t>(k) * e]];
    return c;
}

void GlyphRasterizer::paintBase(std::uint8_t* glyph, int stride, int e, int outline,
                                GlyphColour colour, std::uint8_t* mask) {
    if (glyph == nullptr || e <= 0) return;
    if (outline < 0 || outline >= kOutlineCount || mask == nullptr) {
        for (int y = 0; y < e; ++y) {
            std::memset(glyph + static_cast<std::ptrdiff_t>(y) * stride, 255,
                        static_cast<std::size_t>(e) * 3);
        }
        return;
    }
    fillGlyphMask(outline, mask, e);
    for (int y = 0; y < e; ++y) {
        std::uint8_t* px = glyph + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < e; ++x, px += 3) {
            const int c = pixelCoverage(mask, e, x, y);
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
    fillGlyphMask(outline, mask, e);
    for (int y = 0; y < e; ++y) {
        std::uint8_t* px = glyph + static_cast<std::ptrdiff_t>(y) * stride;
        for (int x = 0; x < e; ++x, px += 3) {
            const int c = pixelCoverage(mask, e, x, y);
            px[0] = blendOver(c, px[0], colour.blue);
            px[1] = blendOver(c, px[1], colour.green);
            px[2] = blendOver(c, px[2], colour.red);
        }
    }
}

// Scan-converts one outline at glyph side e straight into pixel coverage.
// It produces exactly the samples of fillOutline: each edge's crossing
// moves by its inverse slope from one sample row to the next (the row centres
// are 4096 apart, so the stepped x equals the directly computed one), only
// the edges active on a row are visited, and the covered sample columns of
// each span are counted per pixel instead of being set in a mask.
void GlyphRasterizer::Impl::computeCoverage(int outline, int e) {
    Coverage& cov = coverage[outline];
    cov.width = cov.height = 0;
    const int first = sortedFrom[outline];
    const int end = first + edgeTo[outline] - edgeFrom[outline];
    const std::int32_t rows = 8 * e;
    std::int32_t rowMin = rows;
    std::int32_t rowEnd = 0;
    std::int64_t xMin = INT64_MAX;
    std::int64_t xMax = INT64_MIN;
    order.clear();
    for (int j = first; j < end; ++j) {
        const int i = byTop[j];
        // Active on sample row k when yTop <= 2048 + 4096k < yBottom.
        std::int64_t k0 = floor12(std::int64_t{scaledYTop[i]} - 2048 + 4095);
        std::int64_t k1 = floor12(std::int64_t{scaledYBottom[i]} - 2048 + 4095);
        if (k0 < 0) k0 = 0;
        if (k1 > rows) k1 = rows;
        if (k0 >= k1) continue;
        const std::int64_t y = 2048 + 4096 * k0;
        const std::int64_t x =
            scaledXTop[i] + floor12((y - scaledYTop[i]) * std::int64_t{set.inverseSlope[i]});
        const std::int64_t xLast = x + (k1 - 1 - k0) * std::int64_t{set.inverseSlope[i]};
        firstRow[i] = static_cast<std::int32_t>(k0);
        endRow[i] = static_cast<std::int32_t>(k1);
        firstX[i] = x;
        order.push_back(i);
        if (k0 < rowMin) rowMin = static_cast<std::int32_t>(k0);
        if (k1 > rowEnd) rowEnd = static_cast<std::int32_t>(k1);
        xMin = std::min(xMin, std::min(x, xLast));
        xMax = std::max(xMax, std::max(x, xLast));
    }
    if (order.empty()) return;
    const std::int64_t colMin = std::max<std::int64_t>(floor12(xMin + 2047), 0);
    const std::int64_t colMax = std::min<std::int64_t>(floor12(xMax - 2048), rows - 1);
    if (colMin > colMax) return;

    cov.x0 = static_cast<int>(colMin >> 3);
    cov.width = static_cast<int>(colMax >> 3) - cov.x0 + 1;
    cov.y0 = rowMin >> 3;
    cov.height = ((rowEnd - 1) >> 3) - cov.y0 + 1;
    cov.runs.clear();
    cov.rowRuns.clear();
    isTouched.assign(static_cast<std::size_t>(cov.width) + 1, 0);
    touched.clear();
    auto touch = [this](int column) {
        if (isTouched[column] == 0) {
            isTouched[column] = 1;
            touched.push_back(column);
        }
    };
    partial.assign(static_cast<std::size_t>(cov.width) + 1, 0);
    step.assign(static_cast<std::size_t>(cov.width) + 1, 0);
    const std::int32_t widthSamples = rows;
    const int x0 = cov.x0;

    ActiveEdge* edges = active.data();
    std::size_t n = 0;
    std::size_t next = 0;
    for (std::int32_t k = rowMin; k < rowEnd; ++k) {
        // Drop the edges that ended, take on those that start on this row.
        std::size_t kept = 0;
        for (std::size_t j = 0; j < n; ++j)
            if (edges[j].endRow > k) edges[kept++] = edges[j];
        n = kept;
        while (next < order.size() && firstRow[order[next]] == k) {
            const int i = order[next++];
            edges[n++] = ActiveEdge{firstX[i], set.inverseSlope[i], endRow[i], set.direction[i]};
        }
        // Crossings sorted by x; from one row to the next they seldom change
        // places. The order of equal x does not change the covered samples:
        // a crossing's own x is always covered.
        for (std::size_t j = 1; j < n; ++j) {
            if (edges[j - 1].x <= edges[j].x) continue;
            const ActiveEdge moving = edges[j];
            std::size_t at = j;
            while (at > 0 && edges[at - 1].x > moving.x) {
                edges[at] = edges[at - 1];
                --at;
            }
            edges[at] = moving;
        }
        int sum = 0;
        std::size_t spanFirst = 0;
        std::int64_t lastColumn = -1;
        for (std::size_t j = 0; j < n; ++j) {
            sum += edges[j].direction;
            if (sum != 0) continue;
            std::int64_t a = floor12(edges[spanFirst].x + 2047);
            std::int64_t b = floor12(edges[j].x - 2048);
            spanFirst = j + 1;
            if (a < 0) a = 0;
            if (b > widthSamples - 1) b = widthSamples - 1;
            if (a <= lastColumn) a = lastColumn + 1;  // spans may share one column
            if (a > b) continue;
            lastColumn = b;
            const int pa = static_cast<int>(a >> 3) - x0;
            const int pb = static_cast<int>(b >> 3) - x0;
            touch(pa);
            if (pa == pb) {
                partial[pa] += static_cast<std::int32_t>(b - a + 1);
            } else {
                touch(pa + 1);
                touch(pb);
                partial[pa] += 8 - static_cast<std::int32_t>(a & 7);
                partial[pb] += static_cast<std::int32_t>(b & 7) + 1;
                step[pa + 1] += 8;
                step[pb] -= 8;
            }
        }
        for (std::size_t j = 0; j < n; ++j) edges[j].x += edges[j].step;

        if ((k & 7) == 7 || k + 1 == rowEnd) {
            // Coverage only changes at the touched columns: between them it
            // is the running count of fully covered sample rows.
            std::sort(touched.begin(), touched.end());
            cov.rowRuns.push_back(cov.runs.size());
            const std::size_t rowStart = cov.runs.size();
            auto emit = [&](int x, int length, int c) {
                if (c == 0 || length <= 0) return;
                if (cov.runs.size() > rowStart) {
                    Run& last = cov.runs.back();
                    if (last.coverage == c && last.x + last.length == x) {
                        last.length += length;
                        return;
                    }
                }
                cov.runs.push_back(Run{x, length, c});
            };
            std::int32_t full = 0;
            int x = 0;
            for (int column : touched) {
                emit(x, column - x, full);
                full += step[column];
                emit(column, 1, partial[column] + full);
                partial[column] = 0;
                step[column] = 0;
                isTouched[column] = 0;
                x = column + 1;
            }
            touched.clear();
        }
    }
    cov.rowRuns.push_back(cov.runs.size());
}

std::size_t GlyphRasterizer::Impl::paint(GlyphColour colour, int e) {
    for (std::size_t i = 0; i < paintCount; ++i)
        if (paints[i].colour == colour) return i;
    if (paintCount == paints.size()) paints.emplace_back();
    Paint& p = paints[paintCount];
    p.colour = colour;
    for (int c = 0; c <= 64; ++c) {
        p.onWhite[c][0] = blendBase(c, colour.blue);
        p.onWhite[c][1] = blendBase(c, colour.green);
        p.onWhite[c][2] = blendBase(c, colour.red);
    }
    p.solid.resize(static_cast<std::size_t>(3) * e);
    for (std::size_t i = 0; i < p.solid.size(); i += 3) {
        p.solid[i] = colour.blue;
        p.solid[i + 1] = colour.green;
        p.solid[i + 2] = colour.red;
    }
    return paintCount++;
}

GlyphSheetGrid glyphSheetGrid(int e, int maxWidth) {
    GlyphSheetGrid grid;
    // No wider than a stride in an int can describe.
    maxWidth = std::min(maxWidth, (INT_MAX - 3) / 3);
    if (e <= 0 || maxWidth < e) return grid;
    const int fit = std::min(kGlyphCount, maxWidth / e);
    grid.side = e;
    grid.rows = (kGlyphCount + fit - 1) / fit;
    grid.columns = (kGlyphCount + grid.rows - 1) / grid.rows;
    return grid;
}

void GlyphRasterizer::renderSheet(int e, int stride, std::uint8_t* pixels) {
    renderSheet(GlyphSheetGrid{e, kGlyphCount, 1}, stride, pixels);
}

void GlyphRasterizer::renderSheet(const GlyphSheetGrid& grid, int stride, std::uint8_t* pixels) {
    const int e = grid.side;
    if (grid.empty() || e > kMaxGlyphSize || pixels == nullptr ||
        std::int64_t{grid.columns} * grid.rows < kGlyphCount ||
        stride < std::int64_t{3} * grid.columns * e)
        return;
    setGlyphSize(e);
    Impl& m = *impl_;
    const std::size_t edges = static_cast<std::size_t>(m.edgeCount);
    m.firstRow.resize(edges);
    m.endRow.resize(edges);
    m.firstX.resize(edges);
    m.active.resize(edges);
    for (int o = 0; o < kOutlineCount; ++o) m.computeCoverage(o, e);

    // One operation per drawn layer, glyph row by glyph row.
    m.paintCount = 0;
    m.ops.clear();
    m.rowOps.clear();  // the last row's end is pushed below
    const GlyphRecipes& r = glyphRecipes();
    for (int g = 0; g < kGlyphCount; ++g) {
        if (g % grid.columns == 0) m.rowOps.push_back(m.ops.size());
        const int outlines[kLayersPerGlyph] = {r.baseOutline[g], r.layer1Outline[g],
                                               r.layer2Outline[g]};
        const GlyphColour colours[kLayersPerGlyph] = {r.baseColour[g], r.layer1Colour[g],
                                                      r.layer2Colour[g]};
        const std::size_t glyphOps = m.ops.size();
        for (int layer = 0; layer < kLayersPerGlyph; ++layer) {
            const int o = outlines[layer];
            if (o < 0 || o >= kOutlineCount || m.coverage[o].empty()) continue;
            const Coverage& cov = m.coverage[o];
            const int x0 = grid.glyphX(g) + cov.x0;
            Op op{x0, cov.y0, cov.y0 + cov.height, &cov, m.paint(colours[layer], e), false};
            for (std::size_t j = glyphOps; j < m.ops.size(); ++j) {
                const Op& prior = m.ops[j];
                if (op.x0 < prior.x0 + prior.coverage->width && prior.x0 < op.x0 + cov.width &&
                    op.y0 < prior.y1 && prior.y0 < op.y1)
                    op.blend = true;
            }
            m.ops.push_back(op);
        }
    }

    while (m.rowOps.size() <= static_cast<std::size_t>(grid.rows)) m.rowOps.push_back(m.ops.size());

    // Pixel row by pixel row of each glyph row: white, then every layer's
    // runs on that row. Full coverage gives the colour itself whatever lies
    // below.
    const std::size_t rowBytes = static_cast<std::size_t>(3) * grid.columns * e;
    for (int glyphRow = 0; glyphRow < grid.rows; ++glyphRow) {
        std::uint8_t* top = pixels + static_cast<std::size_t>(glyphRow) *
                                         static_cast<std::size_t>(e) *
                                         static_cast<std::size_t>(stride);
        const Op* first = m.ops.data() + m.rowOps[static_cast<std::size_t>(glyphRow)];
        const Op* last = m.ops.data() + m.rowOps[static_cast<std::size_t>(glyphRow) + 1];
        m.renderGlyphRow(first, last, e, stride, top, rowBytes);
    }
}

// Pixel rows 0 to e - 1 of one glyph row of the sheet, from its layers.
void GlyphRasterizer::Impl::renderGlyphRow(const Op* first, const Op* last, int e, int stride,
                                           std::uint8_t* top, std::size_t rowBytes) const {
    for (int y = 0; y < e; ++y) {
        std::uint8_t* row = top + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
        std::memset(row, 255, rowBytes);
        for (const Op* at = first; at != last; ++at) {
            const Op& op = *at;
            if (y < op.y0 || y >= op.y1) continue;
            const Paint& paint = paints[op.paint];
            const Coverage& cov = *op.coverage;
            std::uint8_t* box = row + static_cast<std::size_t>(op.x0) * 3;
            const std::size_t from = cov.rowRuns[static_cast<std::size_t>(y - op.y0)];
            const std::size_t to = cov.rowRuns[static_cast<std::size_t>(y - op.y0) + 1];
            for (std::size_t i = from; i < to; ++i) {
                const Run& run = cov.runs[i];
                std::uint8_t* dst = box + static_cast<std::size_t>(run.x) * 3;
                const int c = run.coverage;
                if (c == 64) {
                    std::memcpy(dst, paint.solid.data(), static_cast<std::size_t>(run.length) * 3);
                } else if (!op.blend) {
                    for (int j = 0; j < run.length; ++j, dst += 3) {
                        dst[0] = paint.onWhite[c][0];
                        dst[1] = paint.onWhite[c][1];
                        dst[2] = paint.onWhite[c][2];
                    }
                } else {
                    for (int j = 0; j < run.length; ++j, dst += 3) {
                        dst[0] = blendOver(c, dst[0], paint.colour.blue);
                        dst[1] = blendOver(c, dst[1], paint.colour.green);
                        dst[2] = blendOver(c, dst[2], paint.colour.red);
                    }
                }
            }
        }
    }
}

}  // namespace quorrin
