// Fuzz target: the input as a packed bitmap (as the program's resources hold
// them), and as the .bmp file made of it with a file header in front.
//
// Properties: a bitmap read is a surface within the limits with the natural
// row stride and its padding zeroed; a failed read leaves an empty surface;
// the packed bitmap and the file made of it read the same. (Which input rows
// land where, and damaged file headers, are the screen tests' table.)
#include "fuzz_support.h"
#include "screen/bitmap.h"

using namespace quorrin;

namespace {

std::uint32_t le32(const std::uint8_t* at) {
    return at[0] | at[1] << 8 | at[2] << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // A read replaces whatever the surface held.
    Surface packed, wrapped;
    packed.create(3, 3);
    const bool read = readPackedBitmap(data, size, packed);
    const std::int32_t w = packed.width, h = packed.height;
    FUZZ_CHECK(read ? w > 0 && h > 0 && w <= kMaxSurfaceSide && h <= kMaxSurfaceSide &&
                          packed.stride == surfaceRowBytes(w) &&
                          packed.pixels.size() == packed.stride * std::size_t(h)
                    : packed.empty() && packed.pixels.empty());
    for (std::int32_t y = 0; y < h; ++y)
        FUZZ_CHECK(std::count(packed.row(y) + w * 3, packed.row(y) + packed.stride, 0) ==
                   packed.stride - w * 3);

    // The packed form behind a file header whose pixel offset points past the
    // info header and the colour table.
    const std::uint64_t at = size >= 40 ? le32(data) + std::uint64_t{le32(data + 32)} * 4 + 14 : 0;
    if (size < 40 || at > 0xFFFFFFFFu) return 0;
    std::vector<std::uint8_t> bytes = {'B', 'M'};
    for (const std::uint64_t field : {14 + size, std::uint64_t{0}, at})
        for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<std::uint8_t>(field >> 8 * i));
    bytes.insert(bytes.end(), data, data + size);
    static const std::string path = scratch("bitmap.bmp").string();
    writeFile(path, bytes.data(), bytes.size());
    FUZZ_CHECK(readBitmapFile(path.c_str(), wrapped) == read);
    FUZZ_CHECK(wrapped.width == w && wrapped.height == h && wrapped.pixels == packed.pixels);
    return 0;
}
