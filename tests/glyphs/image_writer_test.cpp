// The preview tools' image files: a BMP and a PNG of a small picture, read
// back byte by byte.
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

using Bytes = std::vector<std::uint8_t>;

// 3 x 2 pixels, blue, green, red, rows of 12 bytes whose 3 bytes of padding
// must not show up anywhere.
const Bytes kPixels = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                       10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};

// Writes the picture and reads the file back.
Bytes written(const char* name) {
    const std::string path = ::testing::TempDir() + name;
    EXPECT_TRUE(writeImage24(path, 3, 2, 12, kPixels.data()));
    std::ifstream f(path, std::ios::binary);
    Bytes b{std::istreambuf_iterator<char>(f), {}};
    std::remove(path.c_str());
    return b;
}

std::uint32_t le32(const Bytes& b, std::size_t at) {
    return b.at(at) | b.at(at + 1) << 8 | b.at(at + 2) << 16 | std::uint32_t{b.at(at + 3)} << 24;
}
std::uint32_t be32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b.at(at)} << 24 | b.at(at + 1) << 16 | b.at(at + 2) << 8 | b.at(at + 3);
}

TEST(ImageWriter, BmpIsTopDownWithPaddedRows) {
    const Bytes b = written("quorrin_writer_test.bmp");
    ASSERT_EQ(b.size(), 54u + 2 * 12);
    EXPECT_TRUE(b[0] == 'B' && b[1] == 'M' && b[28] == 24);
    EXPECT_EQ(le32(b, 2), b.size());
    EXPECT_EQ(le32(b, 10), 54u);
    EXPECT_EQ(le32(b, 18), 3u);
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 22)), -2);  // top-down
    EXPECT_EQ(Bytes(b.begin() + 54, b.end()), (Bytes{1,  2,  3,  4,  5,  6,  7,  8,  9,  0, 0, 0,
                                                     10, 11, 12, 13, 14, 15, 16, 17, 18, 0, 0, 0}));
}

TEST(ImageWriter, PngHoldsTheRgbRows) {
    const Bytes b = written("quorrin_writer_test.png");
    ASSERT_GT(b.size(), 8u);
    EXPECT_EQ(Bytes(b.begin(), b.begin() + 8),
              (Bytes{0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A}));
    // The chunks, each CRC over type and data; IDAT holds the deflate stream.
    Bytes z;
    std::string types;
    for (std::size_t at = 8; at + 12 <= b.size(); at += 12 + be32(b, at)) {
        const std::uint32_t n = be32(b, at);
        const std::string type(b.begin() + at + 4, b.begin() + at + 8);
        types += type + " ";
        std::uint32_t crc = 0xFFFFFFFFu;
        for (std::size_t i = at + 4; i < at + 8 + n; ++i) {
            crc ^= b[i];
            for (int k = 0; k < 8; ++k) crc = (crc & 1) ? 0xEDB88320u ^ (crc >> 1) : crc >> 1;
        }
        EXPECT_EQ(~crc, be32(b, at + 8 + n)) << type;
        // IHDR: 3 x 2, 8 bits per channel, RGB.
        EXPECT_TRUE(type != "IHDR" || (be32(b, at + 8) == 3 && be32(b, at + 12) == 2 &&
                                       b[at + 16] == 8 && b[at + 17] == 2));
        if (type == "IDAT") z.insert(z.end(), b.begin() + at + 8, b.begin() + at + 8 + n);
    }
    EXPECT_EQ(types, "IHDR IDAT IEND ");
    // One final stored block of 20 bytes: the rows, each after filter 0, R,G,B.
    ASSERT_EQ(z.size(), 2u + 5 + 2 * 10 + 4);
    EXPECT_TRUE(z[2] == 1 && (z[3] | z[4] << 8) == 20);
    EXPECT_EQ(Bytes(z.begin() + 7, z.begin() + 27),
              (Bytes{0, 3, 2, 1, 6, 5, 4, 9, 8, 7, 0, 12, 11, 10, 15, 14, 13, 18, 17, 16}));
}

TEST(ImageWriter, RefusesNonsense) {
    EXPECT_FALSE(writeBmp24(::testing::TempDir() + "x.bmp", 0, 1, 3, kPixels.data()));
    EXPECT_FALSE(writePng24(::testing::TempDir() + "x.png", 3, 2, 8, kPixels.data()));
    EXPECT_FALSE(writePng24(::testing::TempDir() + "x.png", 1, 1, 3, nullptr));
}

}  // namespace
}  // namespace quorrin
