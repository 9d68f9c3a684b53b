// Fuzz target: the input as a packed bitmap (as the program's resources hold
// them), as a .bmp file, and as the .bmp file made of it with a file header
// in front.
//
// Properties: a bitmap read is a consistent surface (a size within the
// limits, the natural row stride, stride x height bytes) whose pixels are the
// input's 24-bit rows in the order the header's height gives, with zero
// padding; a failed read leaves an empty surface; the packed bitmap and the
// file made of it read the same.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "screen/bitmap.h"
#include "screen/surface.h"

namespace quorrin::fuzz {
namespace {

std::uint32_t le32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

void checkEmpty(const Surface& s) {
    FUZZ_CHECK(s.empty() && s.pixels.empty());
}

// The surface read from the info header at info, whose pixels start at
// pixels: every row of it, padding included, compared with the input.
void checkRead(const Surface& s, const std::uint8_t* info, const std::uint8_t* pixels,
               const std::uint8_t* end) {
    FUZZ_CHECK(s.width > 0 && s.height > 0);
    FUZZ_CHECK(s.width <= kMaxSurfaceSide && s.height <= kMaxSurfaceSide);
    FUZZ_CHECK(s.stride == surfaceRowBytes(s.width));
    FUZZ_CHECK(s.pixels.size() == static_cast<std::size_t>(s.stride) * s.height);

    const auto width = static_cast<std::int32_t>(le32(info + 4));
    const auto height = static_cast<std::int32_t>(le32(info + 8));
    FUZZ_CHECK(width == s.width);
    FUZZ_CHECK(height == s.height || height == -static_cast<std::int64_t>(s.height));
    const bool topDown = height < 0;
    const auto rowBytes = static_cast<std::size_t>(s.stride);
    const std::size_t pixelBytes = static_cast<std::size_t>(s.width) * 3;
    for (std::int32_t y = 0; y < s.height; ++y) {
        const std::int32_t fileRow = topDown ? y : s.height - 1 - y;
        const std::uint8_t* from = pixels + static_cast<std::size_t>(fileRow) * rowBytes;
        FUZZ_CHECK(from + pixelBytes <= end);
        FUZZ_CHECK(std::memcmp(s.row(y), from, pixelBytes) == 0);
        for (std::size_t i = pixelBytes; i < rowBytes; ++i) FUZZ_CHECK(s.row(y)[i] == 0);
    }
}

bool sameSurface(const Surface& a, const Surface& b) {
    return a.width == b.width && a.height == b.height && a.stride == b.stride &&
           a.pixels == b.pixels;
}

}  // namespace
}  // namespace quorrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorrin;
    using namespace quorrin::fuzz;
    static const std::string path = (ScratchFolder::get() / "bitmap.bmp").string();

    // The packed form.
    Surface packed;
    packed.create(3, 3);  // a read replaces whatever the surface held
    const bool packedRead = readPackedBitmap(data, size, packed);
    if (packedRead) {
        const std::uint32_t header = le32(data);
        const std::uint64_t at = std::uint64_t{header} + std::uint64_t{le32(data + 32)} * 4;
        FUZZ_CHECK(at <= size);
        checkRead(packed, data, data + at, data + size);
    } else {
        checkEmpty(packed);
    }

    // The input as a .bmp file.
    writeFile(path, data, size);
    Surface file;
    if (readBitmapFile(path.c_str(), file)) {
        FUZZ_CHECK(size >= 54 && data[0] == 'B' && data[1] == 'M');
        const std::uint32_t at = le32(data + 10);
        FUZZ_CHECK(at >= 14 && at <= size);
        checkRead(file, data + 14, data + at, data + size);
    } else {
        checkEmpty(file);
    }

    // The packed form behind a file header whose pixel offset points past
    // the info header and colour table: read the same as the packed form.
    if (size >= 40) {
        const std::uint64_t at =
            14 + std::uint64_t{le32(data)} + std::uint64_t{le32(data + 32)} * 4;
        if (at <= 0xFFFFFFFFu) {
            std::vector<std::uint8_t> bytes(14 + size);
            const std::uint64_t total = bytes.size();
            bytes[0] = 'B';
            bytes[1] = 'M';
            for (int i = 0; i < 4; ++i) {
                bytes[static_cast<std::size_t>(2 + i)] = static_cast<std::uint8_t>(total >> 8 * i);
                bytes[static_cast<std::size_t>(10 + i)] = static_cast<std::uint8_t>(at >> 8 * i);
            }
            std::memcpy(bytes.data() + 14, data, size);
            writeFile(path, bytes.data(), bytes.size());
            Surface wrapped;
            const bool wrappedRead = readBitmapFile(path.c_str(), wrapped);
            FUZZ_CHECK(wrappedRead == packedRead);
            if (wrappedRead) FUZZ_CHECK(sameSurface(wrapped, packed));
        }
    }
    return 0;
}
