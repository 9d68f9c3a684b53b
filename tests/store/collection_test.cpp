// Parsing collection lines, reading collection files and their identity.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "store/puzzle_collection.h"
#include "temp_folder.h"

namespace quorrin {
namespace {

using Grid = std::vector<std::uint8_t>;
constexpr std::uint8_t N = 255;

PuzzleEntry parsed(const std::string& line) {
    PuzzleEntry e;
    e.parseLine(line.c_str());
    return e;
}

// Standard CRC-32C, bit by bit.
std::uint32_t referenceCrc32c(const std::string& bytes) {
    std::uint32_t reg = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
        reg ^= b;
        for (int i = 0; i < 8; ++i) reg = (reg & 1u) ? (reg >> 1) ^ 0x82F63B78u : reg >> 1;
    }
    return ~reg;
}

TEST(Identity, CheckValue) {
    const unsigned char digits[] = "123456789";
    EXPECT_EQ(identityUpdate(kIdentityStart, digits, 9), 0x1CF96D7Cu);
    EXPECT_EQ(~identityUpdate(kIdentityStart, digits, 9), 0xE3069283u);
    // The register runs on across pieces.
    const std::uint32_t split =
        identityUpdate(identityUpdate(kIdentityStart, digits, 4), digits + 4, 5);
    EXPECT_EQ(split, 0x1CF96D7Cu);
}

TEST(ParseLine, ExampleLine) {
    const PuzzleEntry e = parsed("2/3/4/3.2./..1./0.3.\n");
    EXPECT_EQ(e.difficulty, 2);
    EXPECT_EQ(e.height, 3);
    EXPECT_EQ(e.width, 4);
    const Grid expected{3, N, 2, N, N, N, N, 1, N, N, 0, N, 3, N, N, N, N, N, N, N};
    EXPECT_EQ(e.clues, expected);
    EXPECT_TRUE(e.playable());
}

TEST(ParseLine, EmptyLineIsZeroByZero) {
    for (const char* line : {"\n", "", "0/0/0\n", "7\n"}) {
        const PuzzleEntry e = parsed(line);
        EXPECT_EQ(e.width, 0) << line;
        EXPECT_EQ(e.height, 0);
        EXPECT_EQ(e.clues, Grid{N});
        EXPECT_FALSE(e.playable());
    }
    EXPECT_EQ(parsed("7\n").difficulty, 7);
}

TEST(ParseLine, NumberFieldsReadLikeAtoi) {
    EXPECT_EQ(parsed(" 12ab/1/1").difficulty, 12);
    EXPECT_EQ(parsed("abc/1/1").difficulty, 0);
    EXPECT_EQ(parsed("\t+7/1/1").difficulty, 7);
    EXPECT_EQ(parsed("-3/1/1").difficulty, -3);
    EXPECT_EQ(parsed("99999999999999/1/1").difficulty, INT32_MAX);
    EXPECT_EQ(parsed("-99999999999999/1/1").difficulty, INT32_MIN);
    EXPECT_EQ(parsed("-2147483648/1/1").difficulty, INT32_MIN);
    EXPECT_EQ(parsed("2147483647/1/1").difficulty, INT32_MAX);
    EXPECT_EQ(parsed("- 5/1/1").difficulty, 0);
    const PuzzleEntry e = parsed("1/ 2x/3 y/123/...\n");
    EXPECT_EQ(e.height, 2);
    EXPECT_EQ(e.width, 3);
}

TEST(ParseLine, RowFields) {
    // Extra characters are ignored; a 5 takes no cell; spaces and Shift_JIS
    // bytes are skipped; a missing or blank row is empty.
    EXPECT_EQ(parsed("0/1/3/1230\n").clues, (Grid{1, 2, 3, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/1/4/15.2\n").clues, (Grid{1, N, 2, N, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/1/3/ 1\x82\xa0 2\r\n").clues, (Grid{1, 2, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/2/2/   /3\n").clues, (Grid{N, N, N, 3, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/2/2/12").clues, (Grid{1, 2, N, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/2/2/12//").clues, (Grid{1, 2, N, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/1/2/12/33/33\n").clues, (Grid{1, 2, N, N, N, N}));
}

TEST(ParseLine, FieldsAreReadUpToTheir63rdByte) {
    // A row of 70 cells: only the first 63 bytes of the field count.
    const std::string row(70, '1');
    const PuzzleEntry e = parsed("0/1/70/" + row + "\n");
    ASSERT_EQ(e.width, 70);
    ASSERT_EQ(e.clues.size(), 71u * 2u);
    for (int c = 0; c < 70; ++c) EXPECT_EQ(e.clues[static_cast<std::size_t>(c)], c < 63 ? 1 : N);
    // A long number field: digits after byte 63 are not read, and the next
    // field still starts after the next "/".
    const PuzzleEntry f = parsed(std::string(63, ' ') + "5/2/2/11/22\n");
    EXPECT_EQ(f.difficulty, 0);
    EXPECT_EQ(f.clues, (Grid{1, 1, N, 2, 2, N, N, N, N}));
    const PuzzleEntry g = parsed("1/1/" + std::string(62, '0') + "2/1\n");
    EXPECT_EQ(g.width, 2);
}

TEST(ParseLine, SizesOutsideTheLimitsGiveAnUnplayablePuzzle) {
    for (const char* line :
         {"1/0/3/111\n", "1/3/0/1/1/1\n", "1/-1/4/1111\n", "1/2/-5/11/11\n", "1/100/100/1\n",
          "1/1/1024/1\n", "1/99999999999/99999999999/1\n", "1/-2147483648/-1/1\n"}) {
        const PuzzleEntry e = parsed(line);
        EXPECT_EQ(e.width, 0) << line;
        EXPECT_EQ(e.height, 0) << line;
        EXPECT_EQ(e.clues, Grid{N}) << line;
        EXPECT_EQ(e.difficulty, 1);
    }
    // The largest grids that fit.
    EXPECT_EQ(parsed("1/1/1023/1\n").clues.size(), 2048u);
    EXPECT_EQ(parsed("1/31/63/1\n").clues.size(), 2048u);
    EXPECT_EQ(parsed("1/1/1/1\n").clues.size(), 4u);
}

TEST(ParseLine, ReplacesThePreviousGrid) {
    PuzzleEntry e;
    e.parseLine("0/5/5/11111\n");
    e.parseLine("0/1/1/2\n");
    EXPECT_EQ(e.clues, (Grid{2, N, N, N}));
    e.parseLine(nullptr);
    EXPECT_EQ(e.clues, Grid{N});
}

TEST(ParseLine, RandomLinesGiveSoundGrids) {
    std::mt19937 rng(7);
    const char alphabet[] = "0123456789/./-+ \t\r\n\x82\xa0x";
    for (int round = 0; round < 20000; ++round) {
        std::string line;
        const std::size_t length = rng() % 200;
        // Mostly small numbers up front, then anything.
        line += std::to_string(static_cast<int>(rng() % 40) - 3) + "/" +
                std::to_string(static_cast<int>(rng() % 40) - 3) + "/" +
                std::to_string(static_cast<int>(rng() % 70) - 3);
        for (std::size_t i = 0; i < length; ++i) line += alphabet[rng() % (sizeof alphabet - 1)];
        PuzzleEntry e;
        e.parseLine(line.c_str());
        ASSERT_GE(e.width, 0) << line;
        ASSERT_GE(e.height, 0) << line;
        ASSERT_EQ(e.playable(), e.width > 0);
        ASSERT_EQ(e.playable(), e.height > 0);
        const std::size_t stride = static_cast<std::size_t>(e.width) + 1;
        ASSERT_EQ(e.clues.size(), stride * (static_cast<std::size_t>(e.height) + 1));
        ASSERT_LE(e.clues.size(), 2048u);
        for (std::size_t i = 0; i < e.clues.size(); ++i) {
            const bool pad =
                i % stride == stride - 1 || i / stride == static_cast<std::size_t>(e.height);
            ASSERT_TRUE(e.clues[i] == N || (!pad && e.clues[i] <= 3)) << line;
        }
    }
}

class CollectionRead : public test::TempFolderTest {
  protected:
    // Read text as a collection file; identity in id.
    bool readText(const std::string& text, PuzzleCollection& c, std::uint32_t& id) {
        const auto path = file("c.dat");
        test::writeBytes(path, text);
        return c.read(path.string().c_str(), id);
    }
    std::uint32_t identityOf(const std::string& text) {
        PuzzleCollection c;
        std::uint32_t id = 0;
        EXPECT_TRUE(readText(text, c, id));
        return id;
    }
};

TEST_F(CollectionRead, IdentityIsTheComplementOfCrc32cOfTheTextRead) {
    const std::string text = "1/2/2/12/3.\n2/1/1/0\n";
    EXPECT_EQ(identityOf(text), ~referenceCrc32c(text));
    EXPECT_EQ(identityOf("123456789"), 0x1CF96D7Cu);
}

TEST_F(CollectionRead, LineEnds) {
    const std::uint32_t lf = identityOf("1/1/1/2\n1/1/1/3\n");
    EXPECT_EQ(identityOf("1/1/1/2\r\n1/1/1/3\r\n"), lf);
    EXPECT_NE(identityOf("1/1/1/2\r\r\n1/1/1/3\n"), lf);
    // A lone CR is a byte of the line: the same identity as the text with it.
    EXPECT_EQ(identityOf("1/1/1/2\r\r\n1/1/1/3\n"), ~referenceCrc32c("1/1/1/2\r\n1/1/1/3\n"));
    PuzzleCollection c;
    std::uint32_t id = 0;
    ASSERT_TRUE(readText("1/1/1/2\r1/1/1/3\n", c, id));
    EXPECT_EQ(c.puzzleCount, 1);  // a lone CR does not end the line
    // A last line without LF is read and hashed without one.
    ASSERT_TRUE(readText("1/1/1/2\n1/1/1/3", c, id));
    EXPECT_EQ(c.puzzleCount, 2);
    EXPECT_EQ(c.puzzles[1].clues[0], 3);
    EXPECT_EQ(id, ~referenceCrc32c("1/1/1/2\n1/1/1/3"));
    // An extra LF adds a 0 x 0 puzzle and changes the identity.
    ASSERT_TRUE(readText("1/1/1/2\n1/1/1/3\n\n", c, id));
    EXPECT_EQ(c.puzzleCount, 3);
    EXPECT_EQ(c.puzzles[2].width, 0);
    EXPECT_NE(id, lf);
}

TEST_F(CollectionRead, CrLfSplitAcrossReadBuffers) {
    // Put CR LF pairs at every offset around a 4096-byte boundary.
    for (int pad = 4088; pad < 4100; ++pad) {
        std::string text = "1/1/1/2/" + std::string(static_cast<std::size_t>(pad - 8), 'x');
        text += "\r\n1/1/1/3\r\n";
        std::string expected = text;
        for (std::size_t i; (i = expected.find("\r\n")) != std::string::npos;) expected.erase(i, 1);
        PuzzleCollection c;
        std::uint32_t id = 0;
        ASSERT_TRUE(readText(text, c, id));
        EXPECT_EQ(id, ~referenceCrc32c(expected)) << pad;
        // The long line comes in pieces of 2047 bytes, then the short one.
        EXPECT_EQ(c.puzzleCount, (pad + 1 + 2046) / 2047 + 1) << pad;
    }
}

TEST_F(CollectionRead, SubstituteByteEndsTheText) {
    PuzzleCollection c;
    std::uint32_t id = 0;
    ASSERT_TRUE(readText("1/1/1/2\n1/1/1/3\x1A\n1/1/1/1\n", c, id));
    EXPECT_EQ(c.puzzleCount, 2);
    EXPECT_EQ(id, ~referenceCrc32c("1/1/1/2\n1/1/1/3"));
    EXPECT_FALSE(
        readText("\x1A"
                 "1/1/1/2\n",
                 c, id));
    EXPECT_EQ(c.puzzleCount, 0);
    EXPECT_FALSE(readText("", c, id));
    EXPECT_EQ(c.puzzleCount, 0);
    // CR before the end of the text stays a byte.
    ASSERT_TRUE(readText("1/1/1/2\r\x1A", c, id));
    EXPECT_EQ(id, ~referenceCrc32c("1/1/1/2\r"));
}

TEST_F(CollectionRead, AtMostThirtyLines) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += std::to_string(i) + "/1/1/1\n";
    PuzzleCollection c;
    std::uint32_t id30 = 0, id31 = 0, id31b = 0;
    ASSERT_TRUE(readText(text, c, id30));
    EXPECT_EQ(c.puzzleCount, 30);
    ASSERT_TRUE(readText(text + "30/1/1/1\n", c, id31));
    EXPECT_EQ(c.puzzleCount, 30);
    EXPECT_EQ(c.puzzles[29].difficulty, 29);
    ASSERT_TRUE(readText(text + "31/2/2/33\n", c, id31b));
    EXPECT_EQ(id31, id30);
    EXPECT_EQ(id31b, id30);
}

TEST_F(CollectionRead, LongLinesComeInPiecesOf2047Bytes) {
    const std::string first = "4/1/3/123" + std::string(2990, ' ');  // 2999 bytes + LF
    PuzzleCollection c;
    std::uint32_t id = 0;
    ASSERT_TRUE(readText(first + "\n1/1/1/0\n", c, id));
    ASSERT_EQ(c.puzzleCount, 3);
    EXPECT_EQ(c.puzzles[0].width, 3);
    EXPECT_EQ(c.puzzles[0].clues[2], 3);
    EXPECT_EQ(c.puzzles[1].width, 0);  // the rest: spaces and the LF
    EXPECT_EQ(c.puzzles[2].clues[0], 0);
    EXPECT_EQ(id, ~referenceCrc32c(first + "\n1/1/1/0\n"));
    // Exactly 2047 bytes with the LF are one line; 2048 are two.
    ASSERT_TRUE(readText(std::string(2046, ' ') + "\n", c, id));
    EXPECT_EQ(c.puzzleCount, 1);
    ASSERT_TRUE(readText(std::string(2047, ' ') + "\n", c, id));
    EXPECT_EQ(c.puzzleCount, 2);
}

TEST_F(CollectionRead, NulEndsTheContentOfItsLine) {
    std::string text = "1/1/1/2";
    text += '\0';
    text += "/junk/3\n2/1/1/1\n";
    PuzzleCollection c;
    std::uint32_t id = 0;
    ASSERT_TRUE(readText(text, c, id));
    EXPECT_EQ(c.puzzleCount, 2);
    EXPECT_EQ(c.puzzles[0].clues[0], 2);
    EXPECT_EQ(c.puzzles[1].difficulty, 2);
    EXPECT_EQ(id, ~referenceCrc32c("1/1/1/22/1/1/1\n"));
}

TEST_F(CollectionRead, MissingFileLeavesTheCollectionAlone) {
    PuzzleCollection c;
    std::uint32_t id = 77;
    ASSERT_TRUE(readText("1/1/1/2\n3/1/1/1\n", c, id));
    const std::uint32_t first = id;
    EXPECT_FALSE(c.read(file("missing.dat").string().c_str(), id));
    EXPECT_EQ(id, first);
    EXPECT_EQ(c.puzzleCount, 2);
    EXPECT_FALSE(c.read(nullptr, id));
    // A second, shorter file: later slots keep the first file's puzzles.
    ASSERT_TRUE(readText("5/1/1/0\n", c, id));
    EXPECT_EQ(c.puzzleCount, 1);
    EXPECT_EQ(c.puzzles[1].difficulty, 3);
}

}  // namespace
}  // namespace quorrin
