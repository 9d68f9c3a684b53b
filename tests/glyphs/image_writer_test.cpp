// The preview tools' image files of a 3 x 2 picture, whose row padding (0xEE)
// must not show: the BMP file byte for byte by its FNV-1a hash, the PNG file
// read back by libpng pixel for pixel; nonsense is refused.
#include "image_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include <fstream>
#include <vector>

namespace quorrin {
namespace {

TEST(ImageWriter, BmpByteForBytePngPixelForPixel) {
    const std::uint8_t pixels[] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  0xEE, 0xEE, 0xEE,
                                   10, 11, 12, 13, 14, 15, 16, 17, 18, 0xEE, 0xEE, 0xEE};
    const std::string path = ::testing::TempDir() + "quorrin_writer_test.";
    ASSERT_TRUE(writeImage24(path + "bmp", 3, 2, 12, pixels) &&
                writeImage24(path + "png", 3, 2, 12, pixels));
    std::ifstream in(path + "bmp", std::ios::binary);
    std::uint64_t h = 14695981039346656037ull;
    for (char c; in.get(c);) h = (h ^ static_cast<std::uint8_t>(c)) * 1099511628211ull;
    EXPECT_EQ(h, 41558776922106040u);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    std::vector<std::uint8_t> rgb(18);
    ASSERT_TRUE(png_image_begin_read_from_file(&image, (path + "png").c_str()) &&
                image.width == 3 && image.height == 2 && image.format == PNG_FORMAT_RGB &&
                png_image_finish_read(&image, nullptr, rgb.data(), 9, nullptr));
    EXPECT_EQ(rgb, (std::vector<std::uint8_t>{3, 2, 1, 6, 5, 4, 9, 8, 7, 12, 11, 10, 15, 14, 13, 18,
                                              17, 16}));
    EXPECT_FALSE(writeBmp24(path + "bmp", 0, 1, 3, pixels) ||
                 writePng24(path + "png", 3, 2, 8, pixels) ||
                 writePng24(path + "png", 1, 1, 3, nullptr) ||
                 writePng24("/nonexistent/folder/x.png", 3, 2, 12, pixels));
}

}  // namespace
}  // namespace quorrin
