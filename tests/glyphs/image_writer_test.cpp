// The preview tools' image files of a 3 x 2 picture, whose row padding (0xEE)
// must not show, byte for byte by their FNV-1a hash; nonsense is refused.
#include "image_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace quorrin {
namespace {

TEST(ImageWriter, BmpAndPngByteForByte) {
    const std::uint8_t pixels[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                                   10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    const std::string path = ::testing::TempDir() + "quorrin_writer_test.";
    for (const auto& [format, hash] :
         {std::pair{"bmp", 41558776922106040u}, {"png", 3933542968460202497u}}) {
        ASSERT_TRUE(writeImage24(path + format, 3, 2, 12, pixels));
        std::ifstream in(path + format, std::ios::binary);
        std::uint64_t h = 14695981039346656037ull;
        for (char c; in.get(c);) h = (h ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
        EXPECT_EQ(h, hash) << format;
        std::remove((path + format).c_str());
    }
    EXPECT_FALSE(writeBmp24(path + "bmp", 0, 1, 3, pixels) ||
                 writePng24(path + "png", 3, 2, 8, pixels) ||
                 writePng24(path + "png", 1, 1, 3, nullptr));
}

}  // namespace
}  // namespace quorrin
