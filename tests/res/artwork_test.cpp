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
#include <tuple>
#include <vector>

#include "screen/bitmap.h"

namespace quorrin {
namespace {

TEST(Artwork, BitmapsAndIcon) {
    // Name, the size it reads at (the icon: none), FNV-1a hash of the file.
    for (const auto& [name, width, height, hash] :
         {std::tuple{"buttons.bmp", 900, 30, 3506745752997156594u},
          {"clock.bmp", 293, 106, 5884330159489785655u},
          {"quorrin.ico", 0, 0, 17416262324705604592u}}) {
        std::ifstream in(std::string(QUORRIN_SOURCE_DIR "/res/") + name, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::uint64_t h = 14695981039346656037ull;
        for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
        Surface s;
        readPackedBitmap(bytes.data() + 14, bytes.size() - 14, s);
        EXPECT_TRUE(h == hash && s.width == width && s.height == height) << name;
    }
}

}  // namespace
}  // namespace quorrin
