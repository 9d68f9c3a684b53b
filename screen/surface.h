// Off-screen 24-bit images: the back buffer, the glyph sheet and the two
// resource bitmaps. The pixel layout is the one of a device-independent
// bitmap with a top-down header (negative height): 3 bytes per pixel in the
// order blue, green, red, the first row at the top, each row padded to a
// multiple of 4 bytes. The window layer hands `pixels` to the window system
// unchanged.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace quorrin {

// Largest side of any surface, in pixels. Client sizes arrive as 16-bit
// values, and no bitmap or glyph sheet of ours comes near this.
constexpr std::int32_t kMaxSurfaceSide = 65535;

// Bytes in one padded row of a 24-bit image of the given width.
constexpr std::int64_t surfaceRowBytes(std::int64_t width) {
    return (width * 3 + 3) & ~std::int64_t{3};
}

// The runs of non-white pixels of every row of a surface, found once so that
// a surface which is copied often with its white left out (the glyph sheet)
// does not have to be searched for white pixels at every copy.
struct OpaqueRuns {
    struct Run {
        std::int32_t begin;  // first non-white pixel
        std::int32_t end;    // one past the last
    };
    std::vector<Run> runs;              // all rows, row by row, left to right
    std::vector<std::size_t> rowStart;  // index of each row's first run; height + 1 entries

    bool empty() const { return rowStart.empty(); }
    void clear() {
        runs.clear();
        rowStart.clear();
    }
};

struct Surface {
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t stride = 0;           // bytes per row, a multiple of 4
    std::vector<std::uint8_t> pixels;  // stride x height bytes

    // Make the surface width x height with the natural row stride. The old
    // contents are not kept; the new contents are undefined. False (and an
    // empty surface) for a size that is not positive, too large, or that
    // cannot be allocated.
    bool create(std::int32_t w, std::int32_t h);
    // The same with a given row stride (a multiple of 4, at least 3 x w).
    bool create(std::int32_t w, std::int32_t h, std::int32_t rowStride);
    void release();
    bool empty() const { return width <= 0 || height <= 0; }

    std::uint8_t* row(std::int32_t y) {
        return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    }
    const std::uint8_t* row(std::int32_t y) const {
        return pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(stride);
    }

    // Paint the w x h rectangle at (x, y) white. Clipped to the surface.
    void fillWhite(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
    void fillWhite() { fillWhite(0, 0, width, height); }

    // Copy the w x h rectangle of src at (sx, sy) to (dx, dy). The rectangle
    // is clipped to both surfaces: only pixels that lie inside the source and
    // land inside this surface are copied, each to its own place.
    void copyFrom(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t w,
                  std::int32_t h, std::int32_t dx, std::int32_t dy);
    // The same, leaving out the source's pure white pixels (255, 255, 255).
    void copyTransparentFrom(const Surface& src, std::int32_t sx, std::int32_t sy, std::int32_t w,
                             std::int32_t h, std::int32_t dx, std::int32_t dy);
    // The same as copyTransparentFrom, with the non-white runs of src found
    // beforehand by findOpaqueRuns (src must not have changed since).
    void copyTransparentFrom(const Surface& src, const OpaqueRuns& srcRuns, std::int32_t sx,
                             std::int32_t sy, std::int32_t w, std::int32_t h, std::int32_t dx,
                             std::int32_t dy);
};

// Find the runs of non-white pixels of every row of the surface.
void findOpaqueRuns(const Surface& surface, OpaqueRuns& out);

}  // namespace quorrin
