// Fuzz target: the input as a packed bitmap (as the program's resources hold
// them), as a .bmp file, and as the .bmp file made of it with a file header
// in front.
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
// pixels bytes after it, compared row by row with the input.
void checkRead(bool read, const Surface& s, const std::uint8_t* info, std::uint64_t pixels,
               std::size_t size) {
    FUZZ_CHECK(read ? s.width > 0 && s.height > 0 : s.empty() && s.pixels.empty());
    FUZZ_CHECK(s.width <= kMaxSurfaceSide && s.height <= kMaxSurfaceSide);
    FUZZ_CHECK(!read || (s.stride == surfaceRowBytes(s.width) &&
                         s.pixels.size() == s.stride * std::size_t(s.height)));
    const auto height = static_cast<std::int32_t>(read ? le32(info + 8) : 0);
    FUZZ_CHECK(!read || (le32(info + 4) == static_cast<std::uint32_t>(s.width) &&
                         std::abs(std::int64_t{height}) == s.height));
    for (std::int32_t y = 0; y < s.height; ++y) {
        const std::uint64_t from =
            pixels + std::uint64_t(s.stride) * (height < 0 ? y : s.height - 1 - y);
        FUZZ_CHECK(from + s.width * 3 <= size &&
                   std::memcmp(s.row(y), info + from, s.width * 3) == 0);
        FUZZ_CHECK(
            std::all_of(s.row(y) + s.width * 3, s.row(y) + s.stride, [](int b) { return b == 0; }));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string path = scratch("bitmap.bmp").string();
    // The packed form, its pixels past the info header and the colour table;
    // a read replaces whatever the surface held.
    Surface packed;
    packed.create(3, 3);
    const bool packedRead = readPackedBitmap(data, size, packed);
    const std::uint64_t at = size >= 40 ? le32(data) + std::uint64_t{le32(data + 32)} * 4 : 0;
    checkRead(packedRead, packed, data, at, size);

    // The input as a .bmp file.
    writeFile(path, data, size);
    Surface file;
    const bool fileRead = readBitmapFile(path.c_str(), file);
    FUZZ_CHECK(!fileRead || (size >= 54 && data[0] == 'B' && data[1] == 'M'));
    checkRead(fileRead, file, data + 14, fileRead ? le32(data + 10) - 14 : 0, size - 14);

    // The packed form behind a file header whose pixel offset is at + 14:
    // read the same as the packed form.
    if (size < 40 || at + 14 > 0xFFFFFFFFu) return 0;
    std::vector<std::uint8_t> bytes = {'B', 'M'};
    for (const std::uint64_t field : {14 + size, std::uint64_t{0}, at + 14})
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(field >> 8 * i));
    bytes.insert(bytes.end(), data, data + size);
    writeFile(path, bytes.data(), bytes.size());
    Surface wrapped;
    FUZZ_CHECK(readBitmapFile(path.c_str(), wrapped) == packedRead);
    FUZZ_CHECK(wrapped.width == packed.width && wrapped.height == packed.height);
    FUZZ_CHECK(wrapped.stride == packed.stride && wrapped.pixels == packed.pixels);
    return 0;
}
