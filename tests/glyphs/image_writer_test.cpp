// The preview tools' image files: a BMP and a PNG of a small picture, read
// back byte by byte.

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "image_writer.h"

namespace quorrin {
namespace {

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(f), {});
}

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (std::uint32_t{b[at + 3]} << 24);
}
std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return (std::uint32_t{b[at]} << 24) | (b[at + 1] << 16) | (b[at + 2] << 8) | b[at + 3];
}

// 3 x 2 pixels, B,G,R, rows of 12 bytes (3 bytes of padding that must not
// show up anywhere).
const int kWidth = 3, kHeight = 2, kStride = 12;
const std::vector<std::uint8_t> kPixels = {
    1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,  // top row
    10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE,
};

std::string tempPath(const char* name) {
    return ::testing::TempDir() + name;
}

TEST(ImageWriter, BmpIsTopDownWithPaddedRows) {
    const std::string path = tempPath("quorrin_writer_test.bmp");
    ASSERT_TRUE(writeBmp24(path, kWidth, kHeight, kStride, kPixels.data()));
    const auto b = readFile(path);
    std::remove(path.c_str());
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 22)), -2);  // top-down
    EXPECT_EQ(b[28], 24);
    const std::vector<std::uint8_t> rows(b.begin() + 54, b.end());
    EXPECT_EQ(rows, (std::vector<std::uint8_t>{1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                               10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}));
}

TEST(ImageWriter, PngHoldsTheRgbRows) {
    const std::string path = tempPath("quorrin_writer_test.png");
    ASSERT_TRUE(writeImage24(path, kWidth, kHeight, kStride, kPixels.data()));
    const auto b = readFile(path);
    std::remove(path.c_str());
    ASSERT_GT(b.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin(), b.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
    // Walk the chunks; each CRC covers the type and the data.
    std::vector<std::uint8_t> z;
    std::size_t at = 8;
    std::string types;
    while (at + 12 <= b.size()) {
        const std::uint32_t n = be32(b, at);
        const std::string type(b.begin() + at + 4, b.begin() + at + 8);
        types += type + " ";
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = at + 4; i < at + 8 + n; ++i) {
            crc ^= b[i];
            for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        EXPECT_EQ(~crc, be32(b, at + 8 + n)) << type;
        if (type == "IHDR") {
            EXPECT_EQ(be32(b, at + 8), 3u);
            EXPECT_EQ(be32(b, at + 12), 2u);
            EXPECT_EQ(b[at + 16], 8);  // bits per channel
            EXPECT_EQ(b[at + 17], 2);  // RGB
        }
        if (type == "IDAT") z.insert(z.end(), b.begin() + at + 8, b.begin() + at + 8 + n);
        at += 12 + n;
    }
    EXPECT_EQ(types, "IHDR IDAT IEND ");
    // One stored deflate block: header, then the filtered rows, R,G,B.
    ASSERT_EQ(z.size(), 2u + 5 + 2 * 10 + 4);
    EXPECT_EQ(z[2], 1);  // final, stored
    EXPECT_EQ(z[3] | (z[4] << 8), 20);
    const std::vector<std::uint8_t> raw(z.begin() + 7, z.begin() + 27);
    EXPECT_EQ(raw, (std::vector<std::uint8_t>{0, 3,  2,  1,  6,  5,  4,  9,  8,  7,
                                              0, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
}

TEST(ImageWriter, RefusesNonsense) {
    EXPECT_FALSE(writeBmp24(tempPath("x.bmp"), 0, 1, 3, kPixels.data()));
    EXPECT_FALSE(writePng24(tempPath("x.png"), 3, 2, 8, kPixels.data()));  // stride < 3 * width
    EXPECT_FALSE(writePng24(tempPath("x.png"), 1, 1, 3, nullptr));
}

}  // namespace
}  // namespace quorrin
