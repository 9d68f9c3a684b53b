// The committed artwork, byte for byte: the button faces (bitmap 129, 900 x
// 30: five faces of 90 x 30, then their hovered looks), the clock sheet
// (bitmap 131, 293 x 106: the digits 0 to 9 at x = 15 d, a blank digit, the
// colon at x = 165, and from row 19 the clear banner, everything on white
// with white margins, as parts are copied with their white left out) and the
// icon. The bitmaps must read as the program reads its resources: the file
// without its 14-byte header.
#include <gtest/gtest.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "screen/bitmap.h"

namespace quorrin {
namespace {

TEST(Artwork, BitmapsAndIcon) {
    const struct {
        const char* name;
        int width, height;
        std::uint64_t hash;  // FNV-1a of the file
    } files[] = {{"buttons.bmp", 900, 30, 3506745752997156594u},
                 {"clock.bmp", 293, 106, 5884330159489785655u},
                 {"quorrin.ico", 0, 0, 17416262324705604592u}};
    for (const auto& f : files) {
        std::ifstream in(std::string(QUORRIN_SOURCE_DIR "/res/") + f.name, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::uint64_t hash = 14695981039346656037ull;
        for (std::uint8_t b : bytes) hash = (hash ^ b) * 1099511628211ull;
        Surface s;
        EXPECT_EQ(bytes.size() > 14 && readPackedBitmap(bytes.data() + 14, bytes.size() - 14, s),
                  f.width > 0);
        EXPECT_TRUE(hash == f.hash && s.width == f.width && s.height == f.height) << f.name;
    }
}

}  // namespace
}  // namespace quorrin
