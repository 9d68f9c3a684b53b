// Fuzz target: the input as a packed bitmap (as the program's resources hold
// them), and as the .bmp file made of it with a file header in front. (The
// file header's own damage is the screen tests' table.)
//
// Properties: a bitmap read is a surface of the header's size within the
// limits, with the natural row stride, whose pixels are the input's 24-bit
// rows in the order the header's height gives, padding zeroed; a failed read
// leaves an empty surface; the packed bitmap and the file made of it read
// the same.
#include "fuzz_support.h"
#include "screen/bitmap.h"

using namespace quorrin;

namespace {

std::uint32_t le32(const std::uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

// The surface read (or not) from the info header at info, whose pixels start
// pixels bytes after it and whose input ends size bytes after it.
void checkRead(bool read, const Surface& s, const std::uint8_t* info, std::uint64_t pixels,
               std::size_t size) {
    FUZZ_CHECK(read ? s.width > 0 && s.height > 0 : s.empty() && s.pixels.empty());
    if (!read) return;
    const std::int32_t w = s.width, h = s.height, height = std::int32_t(le32(info + 8));
    FUZZ_CHECK(le32(info + 4) == std::uint32_t(w) && std::abs(std::int64_t{height}) == h);
    FUZZ_CHECK(w <= kMaxSurfaceSide && h <= kMaxSurfaceSide && s.stride == surfaceRowBytes(w));
    FUZZ_CHECK(s.pixels.size() == s.stride * std::size_t(h));
    for (std::int32_t y = 0; y < h; ++y) {
        const auto from = pixels + s.stride * std::uint64_t(height < 0 ? y : h - 1 - y);
        FUZZ_CHECK(from + w * 3 <= size);
        FUZZ_CHECK(std::memcmp(s.row(y), info + from, w * 3) == 0);
        FUZZ_CHECK(std::count(s.row(y) + w * 3, s.row(y) + s.stride, 0) == s.stride - w * 3);
    }
}

// The bytes as a .bmp file, read.
bool readAsFile(const std::uint8_t* data, std::size_t size, Surface& out) {
    static const std::string path = scratch("bitmap.bmp").string();
    writeFile(path, data, size);
    return readBitmapFile(path.c_str(), out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // The packed form, its pixels past the info header and the colour table;
    // a read replaces whatever the surface held.
    Surface packed, wrapped;
    packed.create(3, 3);
    const bool packedRead = readPackedBitmap(data, size, packed);
    const std::uint64_t at = size >= 40 ? le32(data) + std::uint64_t{le32(data + 32)} * 4 : 0;
    checkRead(packedRead, packed, data, at, size);

    // The packed form behind a file header whose pixel offset is at + 14:
    // read the same as the packed form.
    if (size < 40 || at + 14 > 0xFFFFFFFFu) return 0;
    std::vector<std::uint8_t> bytes = {'B', 'M'};
    for (const std::uint64_t field : {14 + size, std::uint64_t{0}, at + 14})
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(field >> 8 * i));
    bytes.insert(bytes.end(), data, data + size);
    FUZZ_CHECK(readAsFile(bytes.data(), bytes.size(), wrapped) == packedRead);
    FUZZ_CHECK(wrapped.width == packed.width && wrapped.height == packed.height);
    FUZZ_CHECK(wrapped.stride == packed.stride && wrapped.pixels == packed.pixels);
    return 0;
}
