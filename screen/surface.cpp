#include "screen/surface.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace quorrin {

namespace {

// One axis of a copy after clipping: source start, destination start, length.
struct Span {
    std::int32_t src = 0;
    std::int32_t dst = 0;
    std::int32_t length = 0;
};

// Clip a copy of `length` pixels from s in a source of srcSize to d in a
// destination of dstSize, so that both ends stay inside both. 64-bit
// arithmetic: the caller's numbers may be anything.
bool clipAxis(std::int64_t s, std::int64_t d, std::int64_t length, std::int64_t srcSize,
              std::int64_t dstSize, Span& out) {
    if (length <= 0 || srcSize <= 0 || dstSize <= 0) return false;
    if (s < 0) {
        d -= s;
        length += s;
        s = 0;
    }
    if (d < 0) {
        s -= d;
        length += d;
        d = 0;
    }
    length = std::min({length, srcSize - s, dstSize - d});
    if (length <= 0) return false;
    out.src = static_cast<std::int32_t>(s);
    out.dst = static_cast<std::int32_t>(d);
    out.length = static_cast<std::int32_t>(length);
    return true;
}

bool clipCopy(const Surface& src, const Surface& dst, std::int32_t sx, std::int32_t sy,
              std::int32_t w, std::int32_t h, std::int32_t dx, std::int32_t dy, Span& x, Span& y) {
    return clipAxis(sx, dx, w, src.width, dst.width, x) &&
           clipAxis(sy, dy, h, src.height, dst.height, y);
}

inline bool isWhite(const std::uint8_t* p) {
    return (p[0] & p[1] & p[2]) == 0xFF;
}

inline std::size_t bytes(std::int32_t pixelCount) {
    return static_cast<std::size_t>(pixelCount) * 3u;
}

// The first pixel at or after i (before end) that is not white. Eight white
// pixels (24 bytes) are passed over at a time.
inline std::int32_t skipWhite(const std::uint8_t* row, std::int32_t i, std::int32_t end) {
    while (end - i >= 8) {
        std::uint64_t words[3];
        std::memcpy(words, row + bytes(i), sizeof words);
        if ((words[0] & words[1] & words[2]) != ~std::uint64_t{0}) break;
        i += 8;
    }
    while (i < end && isWhite(row + bytes(i))) ++i;
    return i;
}

}  // namespace

bool Surface::create(std::int32_t w, std::int32_t h) {
    if (w <= 0 || w > kMaxSurfaceSide) {
        release();
        return false;
    }
    return create(w, h, static_cast<std::int32_t>(surfaceRowBytes(w)));
}

bool Surface::create(std::int32_t w, std::int32_t h, std::int32_t rowStride) {
    if (w <= 0 || h <= 0 || w > kMaxSurfaceSide || h > kMaxSurfaceSide ||
        rowStride < 3 * static_cast<std::int64_t>(w) || rowStride % 4 != 0) {
        release();
        return false;
    }
    const std::uint64_t size =
        static_cast<std::uint64_t>(rowStride) * static_cast<std::uint64_t>(h);
    if (size > std::numeric_limits<std::size_t>::max() / 2) {
        release();
        return false;
    }
    // The old contents are not kept: storage that is too small (or far too
    // large) is given up before the new size is made, so nothing is copied.
    const std::size_t byteCount = static_cast<std::size_t>(size);
    if (byteCount > pixels.capacity() || byteCount < pixels.capacity() / 4)
        std::vector<std::uint8_t>().swap(pixels);
    try {
        pixels.resize(byteCount);
    } catch (const std::bad_alloc&) {
        release();
        return false;
    }
    width = w;
    height = h;
    stride = rowStride;
    return true;
}

void Surface::release() {
    width = 0;
    height = 0;
    stride = 0;
    std::vector<std::uint8_t>().swap(pixels);
}

void Surface::fillWhite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h) {
    Span sx, sy;
    // A fill is a copy from an unbounded white source.
    const std::int64_t unbounded = std::numeric_limits<std::int32_t>::max();
    if (!clipAxis(0, x, w, unbounded, width, sx) || !clipAxis(0, y, h, unbounded, height, sy))
        return;
    for (std::int32_t r = 0; r < sy.length; ++r)
        std::memset(row(sy.dst + r) + bytes(sx.dst), 0xFF, bytes(sx.length));
}

void Surface::copyFrom(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t w,
                       std::int32_t h, std::int32_t dx, std::int32_t dy) {
    Span x, y;
    if (!clipCopy(src, *this, sx, sy, w, h, dx, dy, x, y)) return;
    const std::size_t n = bytes(x.length);
    if (&src == this && y.dst > y.src) {
        // Overlapping copy within one surface: take the rows bottom-up.
        for (std::int32_t r = y.length - 1; r >= 0; --r)
            std::memmove(row(y.dst + r) + bytes(x.dst), src.row(y.src + r) + bytes(x.src), n);
        return;
    }
    for (std::int32_t r = 0; r < y.length; ++r)
        std::memmove(row(y.dst + r) + bytes(x.dst), src.row(y.src + r) + bytes(x.src), n);
}

void Surface::copyTransparentFrom(const Surface& src, std::int32_t sx, std::int32_t sy,
                                  std::int32_t w, std::int32_t h, std::int32_t dx,
                                  std::int32_t dy) {
    Span x, y;
    if (!clipCopy(src, *this, sx, sy, w, h, dx, dy, x, y)) return;
    if (&src == this) {
        // Within one surface: take the source out first, so that no pixel is
        // read after it has been written.
        Surface copy;
        if (!copy.create(x.length, y.length)) return;
        copy.copyFrom(src, x.src, y.src, x.length, y.length, 0, 0);
        copyTransparentFrom(copy, 0, 0, x.length, y.length, x.dst, y.dst);
        return;
    }
    for (std::int32_t r = 0; r < y.length; ++r) {
        const std::uint8_t* s = src.row(y.src + r) + bytes(x.src);
        std::uint8_t* d = row(y.dst + r) + bytes(x.dst);
        std::int32_t i = 0;
        while (i < x.length) {
            i = skipWhite(s, i, x.length);
            const std::int32_t begin = i;
            while (i < x.length && !isWhite(s + bytes(i))) ++i;
            if (i > begin) std::memcpy(d + bytes(begin), s + bytes(begin), bytes(i - begin));
        }
    }
}

void Surface::copyTransparentFrom(const Surface& src, const OpaqueRuns& srcRuns, std::int32_t sx,
                                  std::int32_t sy, std::int32_t w, std::int32_t h, std::int32_t dx,
                                  std::int32_t dy) {
    if (&src == this || srcRuns.rowStart.size() != static_cast<std::size_t>(src.height) + 1u ||
        srcRuns.rowStart.back() != srcRuns.runs.size()) {
        copyTransparentFrom(src, sx, sy, w, h, dx, dy);
        return;
    }
    Span x, y;
    if (!clipCopy(src, *this, sx, sy, w, h, dx, dy, x, y)) return;
    const std::int32_t left = x.src;
    const std::int32_t right = x.src + x.length;
    const OpaqueRuns::Run* const all = srcRuns.runs.data();
    for (std::int32_t r = 0; r < y.length; ++r) {
        const std::size_t sourceRow = static_cast<std::size_t>(y.src) + static_cast<std::size_t>(r);
        const OpaqueRuns::Run* run = all + srcRuns.rowStart[sourceRow];
        const OpaqueRuns::Run* const last = all + srcRuns.rowStart[sourceRow + 1];
        // The first run that reaches past the left edge of the rectangle.
        run = std::upper_bound(run, last, left, [](std::int32_t value, const OpaqueRuns::Run& a) {
            return value < a.end;
        });
        const std::uint8_t* s = src.row(y.src + r);
        std::uint8_t* d = row(y.dst + r) + bytes(x.dst);
        for (; run != last && run->begin < right; ++run) {
            const std::int32_t begin = std::max(run->begin, left);
            const std::int32_t end = std::min(run->end, right);
            std::memcpy(d + bytes(begin - left), s + bytes(begin), bytes(end - begin));
        }
    }
}

void findOpaqueRuns(const Surface& surface, OpaqueRuns& out) {
    out.clear();
    if (surface.empty()) return;
    out.rowStart.reserve(static_cast<std::size_t>(surface.height) + 1u);
    for (std::int32_t r = 0; r < surface.height; ++r) {
        out.rowStart.push_back(out.runs.size());
        const std::uint8_t* s = surface.row(r);
        std::int32_t i = 0;
        while (i < surface.width) {
            i = skipWhite(s, i, surface.width);
            const std::int32_t begin = i;
            while (i < surface.width && !isWhite(s + bytes(i))) ++i;
            if (i > begin) out.runs.push_back({begin, i});
        }
    }
    out.rowStart.push_back(out.runs.size());
}

}  // namespace quorrin
