#include "screen/bitmap.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace quorrin {
namespace {

void putU32(std::vector<std::uint8_t>& v, std::size_t at, std::uint32_t x) {
    for (int i = 0; i < 4; ++i) v[at + i] = static_cast<std::uint8_t>(x >> (8 * i));
}

void putU16(std::vector<std::uint8_t>& v, std::size_t at, std::uint16_t x) {
    v[at] = static_cast<std::uint8_t>(x);
    v[at + 1] = static_cast<std::uint8_t>(x >> 8);
}

// The colour of pixel (x, y) of the test pictures, as blue, green, red.
std::uint8_t channel(int x, int y, int c) {
    return static_cast<std::uint8_t>(40 * x + 7 * y + c);
}

// A packed bitmap w x h, rows in the order asked for, with `tableEntries`
// colour table entries between header and pixels.
std::vector<std::uint8_t> packedBitmap(int w, int h, bool topDown, std::uint32_t tableEntries = 0) {
    const std::size_t rowBytes = static_cast<std::size_t>((3 * w + 3) & ~3);
    const std::size_t pixelsAt = 40 + 4 * tableEntries;
    std::vector<std::uint8_t> v(pixelsAt + rowBytes * static_cast<std::size_t>(h), 0xEE);
    putU32(v, 0, 40);
    putU32(v, 4, static_cast<std::uint32_t>(w));
    putU32(v, 8, static_cast<std::uint32_t>(topDown ? -h : h));
    putU16(v, 12, 1);
    putU16(v, 14, 24);
    putU32(v, 16, 0);
    putU32(v, 20, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(h)));
    for (int i = 24; i < 32; ++i) v[static_cast<std::size_t>(i)] = 0;
    putU32(v, 32, tableEntries);
    putU32(v, 36, 0);
    for (int y = 0; y < h; ++y) {
        const int fileRow = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                v[pixelsAt + static_cast<std::size_t>(fileRow) * rowBytes + 3u * x + c] =
                    channel(x, y, c);
    }
    return v;
}

std::vector<std::uint8_t> bitmapFile(const std::vector<std::uint8_t>& packed, std::size_t gap) {
    std::vector<std::uint8_t> v(14, 0);
    v[0] = 'B';
    v[1] = 'M';
    const std::size_t pixelsAt = 14 + 40 + gap;
    putU32(v, 2, static_cast<std::uint32_t>(packed.size() + 14 + gap));
    putU32(v, 10, static_cast<std::uint32_t>(pixelsAt));
    v.insert(v.end(), packed.begin(), packed.begin() + 40);
    v.insert(v.end(), gap, 0x33);
    v.insert(v.end(), packed.begin() + 40, packed.end());
    return v;
}

void expectPicture(const Surface& s, int w, int h) {
    ASSERT_EQ(s.width, w);
    ASSERT_EQ(s.height, h);
    ASSERT_EQ(s.stride % 4, 0);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            for (int c = 0; c < 3; ++c)
                ASSERT_EQ(s.row(y)[3 * x + c], channel(x, y, c)) << x << "," << y << "," << c;
}

std::string tempPath(const char* name) {
    return std::string(::testing::TempDir()) + "quorrin_screen_" + name;
}

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

TEST(BitmapTest, ReadsBottomUpAndTopDownRows) {
    for (int w : {1, 2, 3, 4, 5, 17}) {
        for (bool topDown : {false, true}) {
            const auto data = packedBitmap(w, 3, topDown);
            Surface s;
            ASSERT_TRUE(readPackedBitmap(data.data(), data.size(), s)) << w << " " << topDown;
            expectPicture(s, w, 3);
        }
    }
}

TEST(BitmapTest, SkipsTheColourTable) {
    const auto data = packedBitmap(3, 2, false, 2);
    Surface s;
    ASSERT_TRUE(readPackedBitmap(data.data(), data.size(), s));
    expectPicture(s, 3, 2);
}

TEST(BitmapTest, LastRowNeedsNoPadding) {
    auto data = packedBitmap(5, 2, false);  // rows of 15 bytes padded to 16
    data.pop_back();
    Surface s;
    ASSERT_TRUE(readPackedBitmap(data.data(), data.size(), s));
    expectPicture(s, 5, 2);
}

TEST(BitmapTest, RejectsAnyShorterData) {
    const auto data = packedBitmap(5, 3, true);
    Surface s;
    for (std::size_t n = 0; n + 1 < data.size(); ++n) {
        // Copied so that the sanitizer sees any read past the end.
        const std::vector<std::uint8_t> prefix(data.begin(), data.begin() + static_cast<long>(n));
        EXPECT_FALSE(readPackedBitmap(prefix.data(), prefix.size(), s)) << n;
        EXPECT_TRUE(s.empty());
    }
    EXPECT_FALSE(readPackedBitmap(nullptr, 100, s));
}

TEST(BitmapTest, RejectsWhatIsNotAnUncompressed24BitPicture) {
    struct Change {
        std::size_t at;
        std::uint32_t value;
        int bytes;
    };
    const Change changes[] = {
        {0, 12, 4},
        {0, 56, 4},
        {0, 41, 4},  // header sizes
        {4, 0, 4},
        {4, 0xFFFFFFFFu, 4},
        {8, 0, 4},  // width, height
        {8, 0x80000000u, 4},
        {4, 70000, 4},
        {8, 70000, 4},
        {12, 2, 2},
        {12, 0, 2},  // planes
        {14, 32, 2},
        {14, 8, 2},
        {14, 16, 2},  // bit count
        {16, 1, 4},
        {16, 3, 4},            // compression
        {32, 0x40000000u, 4},  // colour table beyond the data
    };
    Surface s;
    for (const Change& c : changes) {
        auto data = packedBitmap(4, 4, false);
        if (c.bytes == 4)
            putU32(data, c.at, c.value);
        else
            putU16(data, c.at, static_cast<std::uint16_t>(c.value));
        EXPECT_FALSE(readPackedBitmap(data.data(), data.size(), s)) << c.at << "=" << c.value;
        EXPECT_TRUE(s.empty());
    }
}

TEST(BitmapTest, RandomDamageNeverReadsOutside) {
    std::mt19937 rng(99);
    const auto good = packedBitmap(6, 5, false);
    Surface s;
    for (int round = 0; round < 5000; ++round) {
        auto data = good;
        const int hits = 1 + static_cast<int>(rng() % 4);
        for (int i = 0; i < hits; ++i) data[rng() % 40] = static_cast<std::uint8_t>(rng());
        data.resize(rng() % (data.size() + 1));
        if (readPackedBitmap(data.data(), data.size(), s)) {
            EXPECT_GT(s.width, 0);
            EXPECT_GT(s.height, 0);
        }
    }
}

TEST(BitmapTest, FileHonoursThePixelOffset) {
    const auto packed = packedBitmap(7, 4, false);
    for (std::size_t gap : {std::size_t{0}, std::size_t{84}, std::size_t{3}}) {
        const std::string path = tempPath("offset.bmp");
        writeFile(path, bitmapFile(packed, gap));
        Surface s;
        ASSERT_TRUE(readBitmapFile(path.c_str(), s)) << gap;
        expectPicture(s, 7, 4);
        std::remove(path.c_str());
    }
}

TEST(BitmapTest, FileRejectsBadHeaders) {
    const auto packed = packedBitmap(7, 4, true);
    const std::string path = tempPath("bad.bmp");
    Surface s;

    auto notBm = bitmapFile(packed, 0);
    notBm[1] = 'A';
    writeFile(path, notBm);
    EXPECT_FALSE(readBitmapFile(path.c_str(), s));

    for (std::uint32_t offset : {0u, 20u, 53u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        auto file = bitmapFile(packed, 0);
        putU32(file, 10, offset);
        writeFile(path, file);
        EXPECT_FALSE(readBitmapFile(path.c_str(), s)) << offset;
    }

    auto shortFile = bitmapFile(packed, 0);
    shortFile.resize(shortFile.size() - 3 * 7);
    writeFile(path, shortFile);
    EXPECT_FALSE(readBitmapFile(path.c_str(), s));

    writeFile(path, {});
    EXPECT_FALSE(readBitmapFile(path.c_str(), s));
    std::remove(path.c_str());

    EXPECT_FALSE(readBitmapFile(tempPath("no-such-file.bmp").c_str(), s));
    EXPECT_FALSE(readBitmapFile(nullptr, s));
}

TEST(BitmapTest, FolderLoaderKnowsTheTwoBitmaps) {
    const std::string folder = std::string(::testing::TempDir());
    const auto packed = packedBitmap(3, 2, false);
    writeFile(folder + "/clock.bmp", bitmapFile(packed, 0));
    const BitmapLoader load = folderBitmapLoader(folder);
    Surface s;
    EXPECT_TRUE(load(kClockBitmapId, s));
    expectPicture(s, 3, 2);
    EXPECT_FALSE(load(130, s));
    EXPECT_TRUE(s.empty());
    std::remove((folder + "/clock.bmp").c_str());
}

}  // namespace
}  // namespace quorrin
