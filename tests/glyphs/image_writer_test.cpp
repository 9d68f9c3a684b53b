// The preview tools' image files of a 3 x 2 picture, whose row padding (0xEE)
// must not show, compared byte for byte by their FNV-1a hash; nonsense is
// refused.
#include "image_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace quorrin {
namespace {

TEST(ImageWriter, BmpAndPngByteForByte) {
    const std::uint8_t pixels[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                                   10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    const struct {
        const char* name;
        std::size_t size;
        std::uint64_t hash;
    } files[] = {{"quorrin_writer_test.bmp", 78, 41558776922106040u},
                 {"quorrin_writer_test.png", 88, 3933542968460202497u}};
    for (const auto& f : files) {
        const std::string path = ::testing::TempDir() + f.name;
        ASSERT_TRUE(writeImage24(path, 3, 2, 12, pixels));
        std::ifstream in(path, std::ios::binary);
        const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
        std::uint64_t h = 14695981039346656037ull;
        for (std::uint8_t b : bytes) h = (h ^ b) * 1099511628211ull;
        EXPECT_EQ(bytes.size(), f.size) << f.name;
        EXPECT_EQ(h, f.hash) << f.name;
        // std::remove(path.c_str());
    }
    EXPECT_FALSE(writeBmp24(::testing::TempDir() + "x.bmp", 0, 1, 3, pixels));
    EXPECT_FALSE(writePng24(::testing::TempDir() + "x.png", 3, 2, 8, pixels));
    EXPECT_FALSE(writePng24(::testing::TempDir() + "x.png", 1, 1, 3, nullptr));
}

}  // namespace
}  // namespace quorrin
