// Reading 24-bit bitmaps, packed and from files; damaged data is refused
// without a read outside it.
#include "screen/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace quorrin {
namespace {

void put(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

std::uint8_t channel(int x, int y, int c) {
    return static_cast<std::uint8_t>(40 * x + 7 * y + c);
}

// A packed w x h bitmap, rows in the order asked for, `table` colour table
// entries between the header and the pixels.
std::vector<std::uint8_t> packedBitmap(int w, int h, bool topDown = false, unsigned table = 0) {
    const std::size_t rowBytes = static_cast<std::size_t>((3 * w + 3) & ~3);
    const std::size_t pixelsAt = 40 + 4 * table;
    std::vector<std::uint8_t> v(pixelsAt + rowBytes * static_cast<std::size_t>(h), 0xEE);
    for (std::size_t at = 0; at < 40; at += 4) put(v, at, 0);
    put(v, 0, 40);
    put(v, 4, static_cast<std::uint32_t>(w));
    put(v, 8, static_cast<std::uint32_t>(topDown ? -h : h));
    put(v, 12, 1, 2);
    put(v, 14, 24, 2);
    put(v, 32, table);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            v[pixelsAt + static_cast<std::size_t>(topDown ? y : h - 1 - y) * rowBytes +
              static_cast<std::size_t>(x)] = channel(x / 3, y, x % 3);
    return v;
}

// The same as a .bmp file, `gap` bytes between the headers and the pixels.
std::vector<std::uint8_t> bitmapFile(const std::vector<std::uint8_t>& packed, unsigned gap = 0) {
    std::vector<std::uint8_t> v(14, 0);
    v[0] = 'B';
    v[1] = 'M';
    put(v, 2, static_cast<std::uint32_t>(packed.size() + 14 + gap));
    put(v, 10, 54 + gap);
    v.insert(v.end(), packed.begin(), packed.begin() + 40);
    v.insert(v.end(), gap, 0x33);
    v.insert(v.end(), packed.begin() + 40, packed.end());
    return v;
}

bool isPicture(const Surface& s, int w, int h) {
    if (s.width != w || s.height != h || s.stride % 4 != 0) return false;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < 3 * w; ++x)
            if (s.row(y)[x] != channel(x / 3, y, x % 3)) return false;
    return true;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
}

TEST(BitmapTest, ReadsRowsInEitherOrderPastAColourTable) {
    for (int w : {1, 2, 3, 4, 5, 17})
        for (bool topDown : {false, true})
            for (unsigned table : {0u, 2u}) {
                auto data = packedBitmap(w, 3, topDown, table);
                if (w % 4 != 0) data.pop_back();  // the last row needs no padding
                Surface s;
                EXPECT_TRUE(readPackedBitmap(data.data(), data.size(), s) && isPicture(s, w, 3))
                    << w << " " << topDown << " " << table;
            }
}

TEST(BitmapTest, RefusesDamagedOrShortData) {
    // Header sizes, width, height, planes, bit count, compression, and a
    // colour table beyond the data: offset, value, bytes.
    // clang-format off
    const std::uint32_t changes[][3] = {{0, 12, 4}, {0, 56, 4}, {0, 41, 4}, {4, 0, 4},
        {4, 0xFFFFFFFFu, 4}, {4, 70000, 4}, {8, 0, 4}, {8, 0x80000000u, 4}, {8, 70000, 4},
        {12, 2, 2}, {12, 0, 2}, {14, 32, 2}, {14, 8, 2}, {14, 16, 2}, {16, 1, 4}, {16, 3, 4},
        {32, 0x40000000u, 4}};
    // clang-format on
    const std::size_t n = std::size(changes);
    const auto good = packedBitmap(5, 3, true);
    Surface s;
    // Each change, then every prefix short of the last pixel, each in a buffer
    // of its own so that the sanitizer sees a read past its end.
    for (std::size_t i = 0; i < n + good.size() - 1; ++i) {
        const std::size_t size = i < n ? good.size() : i - n;
        std::vector<std::uint8_t> data(good.begin(), good.begin() + static_cast<long>(size));
        if (i < n) put(data, changes[i][0], changes[i][1], static_cast<int>(changes[i][2]));
        ASSERT_TRUE(s.create(2, 2));
        EXPECT_FALSE(readPackedBitmap(data.data(), data.size(), s)) << i;
        EXPECT_TRUE(s.empty()) << i;
    }
    EXPECT_FALSE(readPackedBitmap(nullptr, 100, s));
}

TEST(BitmapTest, FilesHonourThePixelOffsetAndRefuseBadHeaders) {
    const std::string folder = ::testing::TempDir(), path = folder + "quorrin_screen_test.bmp";
    const auto packed = packedBitmap(7, 4);
    Surface s;
    for (unsigned gap : {0u, 3u, 84u}) {
        writeFile(path, bitmapFile(packed, gap));
        EXPECT_TRUE(readBitmapFile(path.c_str(), s) && isPicture(s, 7, 4)) << gap;
    }
    // Pixel offsets inside the headers or beyond the file, not "BM", the
    // pixels cut short, no bytes at all.
    std::vector<std::vector<std::uint8_t>> bad;
    for (std::uint32_t offset : {0u, 20u, 53u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        bad.push_back(bitmapFile(packed));
        put(bad.back(), 10, offset);
    }
    bad.push_back(bitmapFile(packed));
    bad.back()[1] = 'A';
    bad.push_back(bitmapFile(packed));
    bad.back().resize(bad.back().size() - 21);
    bad.emplace_back();
    for (const auto& file : bad) {
        writeFile(path, file);
        EXPECT_FALSE(readBitmapFile(path.c_str(), s));
        EXPECT_TRUE(s.empty());
    }
    std::remove(path.c_str());
    EXPECT_FALSE(readBitmapFile(path.c_str(), s));
    EXPECT_FALSE(readBitmapFile(nullptr, s));
    // The folder loader knows the two bitmaps by their resource numbers.
    writeFile(folder + "clock.bmp", bitmapFile(packedBitmap(3, 2)));
    const BitmapLoader load = folderBitmapLoader(folder);
    EXPECT_TRUE(load(kClockBitmapId, s) && isPicture(s, 3, 2));
    EXPECT_FALSE(load(130, s));
    EXPECT_TRUE(s.empty());
    std::remove((folder + "clock.bmp").c_str());
}

}  // namespace
}  // namespace quorrin
