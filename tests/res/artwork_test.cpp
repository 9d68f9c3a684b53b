// The committed artwork: the button faces (bitmap 129), the clock sheet with
// the clear banner (bitmap 131) and the icon (icon 104). The screen copies
// fixed rectangles out of the two bitmaps, some of them with their pure white
// pixels left out, so sizes, places, the white background and the colours
// are checked here pixel by pixel.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "screen/bitmap.h"
#include "screen/surface.h"

namespace quorrin {
namespace {

struct Rgb {
    int r;
    int g;
    int b;
    bool operator==(const Rgb& o) const { return r == o.r && g == o.g && b == o.b; }
    bool operator!=(const Rgb& o) const { return !(*this == o); }
};

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kFace{239, 228, 176};
constexpr Rgb kFaceHot{224, 204, 121};
constexpr Rgb kShadow{127, 127, 127};
constexpr Rgb kShadowHot{63, 63, 63};
constexpr Rgb kOrange{255, 127, 66};
constexpr Rgb kOrangeHot{255, 63, 17};
constexpr Rgb kBrown{185, 122, 87};
constexpr Rgb kMagenta{224, 0, 128};
constexpr Rgb kPink{244, 64, 192};
constexpr Rgb kViolet{128, 96, 128};

std::string resPath(const char* name) {
    return std::string(QUORRIN_SOURCE_DIR "/res/") + name;
}

std::vector<std::uint8_t> readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file),
                                     std::istreambuf_iterator<char>());
}

std::uint32_t u32(const std::vector<std::uint8_t>& v, std::size_t at) {
    return static_cast<std::uint32_t>(v.at(at)) | static_cast<std::uint32_t>(v.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(v.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(v.at(at + 3)) << 24;
}

std::uint16_t u16(const std::vector<std::uint8_t>& v, std::size_t at) {
    return static_cast<std::uint16_t>(v.at(at) | v.at(at + 1) << 8);
}

Rgb pixel(const Surface& s, int x, int y) {
    const std::uint8_t* p = s.row(y) + 3 * x;  // blue, green, red
    return Rgb{p[2], p[1], p[0]};
}

struct Rect {
    int x0, y0, x1, y1;  // inclusive
};

int count(const Surface& s, Rect r, Rgb colour) {
    int n = 0;
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x) n += pixel(s, x, y) == colour ? 1 : 0;
    return n;
}

bool allWhite(const Surface& s, Rect r) {
    return count(s, r, kWhite) == (r.x1 - r.x0 + 1) * (r.y1 - r.y0 + 1);
}

// The bounding box of the pixels in r that differ from `background`; x0 > x1
// when there are none.
Rect boundsOfOthers(const Surface& s, Rect r, Rgb background) {
    Rect b{r.x1 + 1, r.y1 + 1, r.x0 - 1, r.y0 - 1};
    for (int y = r.y0; y <= r.y1; ++y)
        for (int x = r.x0; x <= r.x1; ++x)
            if (pixel(s, x, y) != background) {
                if (x < b.x0) b.x0 = x;
                if (y < b.y0) b.y0 = y;
                if (x > b.x1) b.x1 = x;
                if (y > b.y1) b.y1 = y;
            }
    return b;
}

// Whether c lies on the way from white to `ink`, as an anti-aliased edge of
// ink drawn on white does (each channel the same fraction of the way).
bool blendOfWhiteAnd(Rgb c, Rgb ink, int tolerance) {
    const int reds = 255 - ink.r;  // the channel that changes most for brown
    const int t = 255 - c.r;       // how far red went, out of `reds`
    if (t < 0 || t > reds) return false;
    const auto expect = [&](int inkChannel) { return 255 - (255 - inkChannel) * t / reds; };
    return std::abs(c.g - expect(ink.g)) <= tolerance && std::abs(c.b - expect(ink.b)) <= tolerance;
}

// The raw file: a 14-byte file header and a 40-byte info header, 24-bit
// BI_RGB, bottom-up, no colour table, the pixels right after the headers.
// The resource compiler embeds the file as it is and the program reads the
// packed form from the resource, so nothing fancier may be in it.
void expectPlainBitmapFile(const std::string& path, int width, int height) {
    const std::vector<std::uint8_t> f = readFile(path);
    const std::size_t rowBytes = static_cast<std::size_t>((3 * width + 3) & ~3);
    ASSERT_EQ(f.size(), 54 + rowBytes * static_cast<std::size_t>(height)) << path;
    EXPECT_EQ(f[0], 'B');
    EXPECT_EQ(f[1], 'M');
    EXPECT_EQ(u32(f, 2), f.size());
    EXPECT_EQ(u32(f, 10), 54u);                                 // pixel offset
    EXPECT_EQ(u32(f, 14), 40u);                                 // BITMAPINFOHEADER
    EXPECT_EQ(u32(f, 18), static_cast<std::uint32_t>(width));   // width
    EXPECT_EQ(u32(f, 22), static_cast<std::uint32_t>(height));  // positive: bottom-up
    EXPECT_EQ(u16(f, 26), 1);                                   // planes
    EXPECT_EQ(u16(f, 28), 24);                                  // bits per pixel
    EXPECT_EQ(u32(f, 30), 0u);                                  // BI_RGB
    EXPECT_EQ(u32(f, 46), 0u);                                  // no colour table

    // The packed form, as the program finds it in its resources, reads the
    // same as the file.
    Surface fromFile;
    Surface packed;
    ASSERT_TRUE(readBitmapFile(path.c_str(), fromFile));
    ASSERT_TRUE(readPackedBitmap(f.data() + 14, f.size() - 14, packed));
    EXPECT_EQ(packed.width, fromFile.width);
    EXPECT_EQ(packed.height, fromFile.height);
    EXPECT_EQ(packed.pixels, fromFile.pixels);
}

class ButtonFaces : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(readBitmapFile(resPath("buttons.bmp").c_str(), sheet)); }

    // Face k in sheet coordinates; k = 5 to 9 are the hovered looks of 0 to 4.
    static Rect face(int k) { return Rect{90 * k, 0, 90 * k + 89, 29}; }
    // Where a caption may lie: well inside the button, clear of its outline,
    // its bevel and its rounded corners.
    static Rect captionArea(int k) { return Rect{90 * k + 6, 4, 90 * k + 81, 23}; }

    Surface sheet;
};

TEST_F(ButtonFaces, FileIsAPlain24BitBitmapOfTenFaces) {
    expectPlainBitmapFile(resPath("buttons.bmp"), 900, 30);
    EXPECT_EQ(sheet.width, 900);
    EXPECT_EQ(sheet.height, 30);
}

TEST_F(ButtonFaces, EachFaceHasItsOwnFaceAndShadowColours) {
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE("face " + std::to_string(k));
        const bool hot = k >= 5;
        const Rect f = face(k);
        const int x = f.x0;
        // A large flat face in exactly the face colour, and none of the other
        // look's colours anywhere on the face.
        EXPECT_GT(count(sheet, f, hot ? kFaceHot : kFace), 1200);
        EXPECT_EQ(count(sheet, f, hot ? kFace : kFaceHot), 0);
        EXPECT_EQ(count(sheet, f, hot ? kShadow : kShadowHot), 0);
        // The shadow shows to the right and below the button, not above or to
        // the left of it.
        const Rgb shadow = hot ? kShadowHot : kShadow;
        EXPECT_GE(count(sheet, Rect{x + 80, 8, x + 89, 22}, shadow), 20) << "right";
        EXPECT_GE(count(sheet, Rect{x + 10, 24, x + 80, 29}, shadow), 100) << "below";
        EXPECT_EQ(count(sheet, Rect{x, 0, x + 44, 14}, shadow), 0) << "upper left";
        // A black outline on the left and at the top.
        EXPECT_GE(count(sheet, Rect{x, 8, x + 3, 22}, kBlack), 10) << "left outline";
        EXPECT_GE(count(sheet, Rect{x + 10, 0, x + 80, 3}, kBlack), 50) << "top outline";
    }
}

TEST_F(ButtonFaces, CornersAreWhiteOutsideTheRoundedShape) {
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE("face " + std::to_string(k));
        const Rect f = face(k);
        EXPECT_TRUE(allWhite(sheet, Rect{f.x0, f.y0, f.x0 + 1, f.y0 + 1}));
        EXPECT_TRUE(allWhite(sheet, Rect{f.x1 - 1, f.y0, f.x1, f.y0 + 1}));
        EXPECT_TRUE(allWhite(sheet, Rect{f.x0, f.y1 - 1, f.x0 + 1, f.y1}));
        EXPECT_TRUE(allWhite(sheet, Rect{f.x1 - 1, f.y1 - 1, f.x1, f.y1}));
    }
}

TEST_F(ButtonFaces, CaptionColoursBelongToTheirFaces) {
    // Faces 3 and 4 (トライ決定, トライ消去) have orange captions, redder when
    // hovered (8 and 9); the others have black ones.
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE("face " + std::to_string(k));
        const Rect area = captionArea(k);
        const int base = k % 5;
        const bool orange = base == 3 || base == 4;
        const bool hot = k >= 5;
        const int orangeNormal = count(sheet, area, kOrange);
        const int orangeHot = count(sheet, area, kOrangeHot);
        const int black = count(sheet, area, kBlack);
        if (orange) {
            EXPECT_GE(hot ? orangeHot : orangeNormal, 15);
            EXPECT_EQ(hot ? orangeNormal : orangeHot, 0);
            EXPECT_EQ(black, 0);
        } else {
            EXPECT_GE(black, 15);
            EXPECT_EQ(orangeNormal + orangeHot, 0);
        }
    }
}

TEST_F(ButtonFaces, CaptionsAreCentredAndFitWithMargins) {
    for (int k = 0; k < 10; ++k) {
        SCOPED_TRACE("face " + std::to_string(k));
        const Rgb faceColour = k >= 5 ? kFaceHot : kFace;
        const Rect area = captionArea(k);
        const Rect ink = boundsOfOthers(sheet, area, faceColour);
        ASSERT_LE(ink.x0, ink.x1) << "no caption";
        // Not cut by the search area: a margin of face colour all round.
        EXPECT_GT(ink.x0, area.x0);
        EXPECT_LT(ink.x1, area.x1);
        EXPECT_GT(ink.y0, area.y0);
        EXPECT_LT(ink.y1, area.y1);
        // Centred on the button's inside, x 2 to 85 and y 2 to 25 of the face.
        const double cx = (ink.x0 + ink.x1) / 2.0 - 90 * k;
        const double cy = (ink.y0 + ink.y1) / 2.0;
        EXPECT_NEAR(cx, 43.5, 1.5);
        EXPECT_NEAR(cy, 13.5, 1.5);
        // Big enough to read: 5 kanji or kana of 12 pixels or more.
        const int chars[] = {5, 4, 3, 5, 5};
        EXPECT_GE(ink.x1 - ink.x0 + 1, chars[k % 5] * 12 - 4);
        EXPECT_GE(ink.y1 - ink.y0 + 1, 10);
    }
}

TEST_F(ButtonFaces, HoveredLooksHaveTheSameShapeAndCaptionPlace) {
    for (int k = 0; k < 5; ++k) {
        SCOPED_TRACE("face " + std::to_string(k));
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 90; ++x)
                ASSERT_EQ(pixel(sheet, 90 * k + x, y) == kWhite,
                          pixel(sheet, 450 + 90 * k + x, y) == kWhite)
                    << "at " << x << ", " << y;
        const Rect a = boundsOfOthers(sheet, captionArea(k), kFace);
        const Rect b = boundsOfOthers(sheet, captionArea(k + 5), kFaceHot);
        EXPECT_EQ(a.x0 + 450, b.x0);
        EXPECT_EQ(a.x1 + 450, b.x1);
        EXPECT_EQ(a.y0, b.y0);
        EXPECT_EQ(a.y1, b.y1);
    }
}

class ClockSheet : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(readBitmapFile(resPath("clock.bmp").c_str(), sheet)); }
    Surface sheet;
};

TEST_F(ClockSheet, FileIsAPlain24BitBitmap) {
    expectPlainBitmapFile(resPath("clock.bmp"), 293, 106);
    EXPECT_EQ(sheet.width, 293);
    EXPECT_EQ(sheet.height, 106);
}

TEST_F(ClockSheet, DigitsAreSoftBrownInTheirCellsWithWhiteBetween) {
    std::vector<std::vector<Rgb>> cells;
    for (int d = 0; d < 10; ++d) {
        SCOPED_TRACE("digit " + std::to_string(d));
        const Rect cell{15 * d, 0, 15 * d + 14, 18};
        EXPECT_GE(count(sheet, cell, kBrown), 20);
        int edges = 0;
        std::vector<Rgb> pixels;
        for (int y = cell.y0; y <= cell.y1; ++y)
            for (int x = cell.x0; x <= cell.x1; ++x) {
                const Rgb c = pixel(sheet, x, y);
                pixels.push_back(c);
                if (c == kWhite || c == kBrown) continue;
                ++edges;
                EXPECT_TRUE(blendOfWhiteAnd(c, kBrown, 3))
                    << "at " << x << ", " << y << ": " << c.r << " " << c.g << " " << c.b;
            }
        EXPECT_GE(edges, 10) << "anti-aliased edges";
        // The clock puts cells side by side: the first and last column and the
        // top and bottom row of each cell stay white.
        EXPECT_TRUE(allWhite(sheet, Rect{cell.x0, 0, cell.x0, 18}));
        EXPECT_TRUE(allWhite(sheet, Rect{cell.x1, 0, cell.x1, 18}));
        EXPECT_TRUE(allWhite(sheet, Rect{cell.x0, 0, cell.x1, 0}));
        EXPECT_TRUE(allWhite(sheet, Rect{cell.x0, 18, cell.x1, 18}));
        for (std::size_t e = 0; e < cells.size(); ++e)
            EXPECT_NE(cells[e], pixels) << "same picture as digit " << e;
        cells.push_back(pixels);
    }
}

TEST_F(ClockSheet, DigitsShareOneBaseline) {
    // Digits of a lining face all sit on one line and are of one height
    // (within a pixel of anti-aliasing); a digit out of line would jump as
    // the clock runs.
    const Rect zero = boundsOfOthers(sheet, Rect{0, 0, 14, 18}, kWhite);
    for (int d = 1; d < 10; ++d) {
        SCOPED_TRACE("digit " + std::to_string(d));
        const Rect b = boundsOfOthers(sheet, Rect{15 * d, 0, 15 * d + 14, 18}, kWhite);
        EXPECT_NEAR(b.y1, zero.y1, 1);
        EXPECT_NEAR(b.y0, zero.y0, 1);
    }
    EXPECT_GE(zero.y1 - zero.y0 + 1, 12);
}

TEST_F(ClockSheet, BlankColonAndTheRestOfTheRow) {
    EXPECT_TRUE(allWhite(sheet, Rect{150, 0, 164, 18})) << "blank digit";
    EXPECT_TRUE(allWhite(sheet, Rect{173, 0, 292, 18})) << "right of the colon";
    // The colon: two brown dots, one above the other, inside its 8 x 19 cell.
    const Rect colon{165, 0, 172, 18};
    EXPECT_GE(count(sheet, colon, kBrown), 4);
    const Rect ink = boundsOfOthers(sheet, colon, kWhite);
    ASSERT_LE(ink.x0, ink.x1);
    EXPECT_GT(ink.x0, colon.x0);
    EXPECT_LT(ink.x1, colon.x1);
    int upper = 0;
    int lower = 0;
    bool gap = false;
    const int middle = (ink.y0 + ink.y1) / 2;
    for (int y = ink.y0; y <= ink.y1; ++y) {
        const bool white = allWhite(sheet, Rect{colon.x0, y, colon.x1, y});
        if (y == middle) gap = white;
        if (!white) (y < middle ? upper : lower) += 1;
    }
    EXPECT_TRUE(gap) << "the two dots are apart";
    EXPECT_GT(upper, 1);
    EXPECT_GT(lower, 1);
    for (int y = colon.y0; y <= colon.y1; ++y)
        for (int x = colon.x0; x <= colon.x1; ++x) {
            const Rgb c = pixel(sheet, x, y);
            EXPECT_TRUE(c == kWhite || blendOfWhiteAnd(c, kBrown, 3)) << x << ", " << y;
        }
}

TEST_F(ClockSheet, BannerHasItsColoursOnWhite) {
    const Rect banner{0, 19, 292, 105};
    // The banner is copied with its white left out: a white margin all round
    // keeps every letter whole.
    EXPECT_TRUE(allWhite(sheet, Rect{0, 19, 292, 20}));
    EXPECT_TRUE(allWhite(sheet, Rect{0, 104, 292, 105}));
    EXPECT_TRUE(allWhite(sheet, Rect{0, 19, 1, 105}));
    EXPECT_TRUE(allWhite(sheet, Rect{291, 19, 292, 105}));
    const int magenta = count(sheet, banner, kMagenta);
    const int pink = count(sheet, banner, kPink);
    const int violet = count(sheet, banner, kViolet);
    EXPECT_GT(magenta, 1000);
    EXPECT_GT(pink, 300);
    EXPECT_GT(violet, 1000);
    // Large: the word spans most of the banner.
    const Rect ink = boundsOfOthers(sheet, banner, kWhite);
    EXPECT_GE(ink.x1 - ink.x0 + 1, 240);
    EXPECT_GE(ink.y1 - ink.y0 + 1, 60);
    // Roughly centred.
    EXPECT_NEAR(ink.x0 - banner.x0, banner.x1 - ink.x1, 6);
    EXPECT_NEAR(ink.y0 - banner.y0, banner.y1 - ink.y1, 6);
}

TEST_F(ClockSheet, BannerHighlightsAreUpAndTheOutlineSeparatesTheLettersFromWhite) {
    long pinkRows = 0;
    long pinkCount = 0;
    long magentaRows = 0;
    long magentaCount = 0;
    for (int y = 20; y < 105; ++y)
        for (int x = 1; x < 292; ++x) {
            const Rgb c = pixel(sheet, x, y);
            if (c != kMagenta && c != kPink) continue;
            if (c == kPink) {
                pinkRows += y;
                ++pinkCount;
            } else {
                magentaRows += y;
                ++magentaCount;
            }
            // No letter pixel touches the white background directly.
            EXPECT_NE(pixel(sheet, x - 1, y), kWhite) << x << ", " << y;
            EXPECT_NE(pixel(sheet, x + 1, y), kWhite) << x << ", " << y;
            EXPECT_NE(pixel(sheet, x, y - 1), kWhite) << x << ", " << y;
            EXPECT_NE(pixel(sheet, x, y + 1), kWhite) << x << ", " << y;
        }
    ASSERT_GT(pinkCount, 0);
    ASSERT_GT(magentaCount, 0);
    // The pink lies on the upper part of the letters.
    EXPECT_LT(static_cast<double>(pinkRows) / static_cast<double>(pinkCount),
              static_cast<double>(magentaRows) / static_cast<double>(magentaCount) - 3.0);
}

// The icon file: an icon directory with a 48 x 48 image and, optionally,
// smaller ones, each a 32-bit DIB (or PNG) inside the file.
TEST(Icon, HasA48PixelImageAndWellFormedEntries) {
    const std::vector<std::uint8_t> f = readFile(resPath("quorrin.ico"));
    ASSERT_GE(f.size(), 6u);
    EXPECT_EQ(u16(f, 0), 0);  // reserved
    EXPECT_EQ(u16(f, 2), 1);  // an icon, not a cursor
    const int n = u16(f, 4);
    ASSERT_GE(n, 1);
    ASSERT_GE(f.size(), 6u + 16u * static_cast<std::size_t>(n));
    bool has48 = false;
    for (int i = 0; i < n; ++i) {
        SCOPED_TRACE("entry " + std::to_string(i));
        const std::size_t e = 6u + 16u * static_cast<std::size_t>(i);
        const int w = f[e] == 0 ? 256 : f[e];
        const int h = f[e + 1] == 0 ? 256 : f[e + 1];
        EXPECT_EQ(w, h);
        EXPECT_LE(w, 48);
        has48 = has48 || w == 48;
        const std::uint32_t size = u32(f, e + 8);
        const std::uint32_t at = u32(f, e + 12);
        ASSERT_LE(static_cast<std::uint64_t>(at) + size, f.size());
        ASSERT_GE(size, 40u);
        if (f[at] == 0x89) continue;  // a PNG image
        EXPECT_EQ(u32(f, at), 40u);
        EXPECT_EQ(u32(f, at + 4), static_cast<std::uint32_t>(w));
        EXPECT_EQ(u32(f, at + 8), static_cast<std::uint32_t>(2 * h));  // colour and mask
        EXPECT_EQ(u16(f, at + 14), 32);
        // 32-bit colours plus the 1-bit mask, rows padded to 4 bytes.
        const std::uint32_t maskRow = static_cast<std::uint32_t>((w + 31) / 32 * 4);
        EXPECT_GE(size, 40u + static_cast<std::uint32_t>(4 * w * h) +
                            maskRow * static_cast<std::uint32_t>(h));
    }
    EXPECT_TRUE(has48);
}

}  // namespace
}  // namespace quorrin
