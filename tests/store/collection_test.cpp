// Parsing collection lines, reading collection files and their identity.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "store/puzzle_collection.h"
#include "store_fixtures.h"

namespace quorrin {
namespace {

using test::identityOf;
using Grid = std::vector<std::uint8_t>;
constexpr std::uint8_t N = 255;

PuzzleEntry parsed(const std::string& line) {
    PuzzleEntry e;
    e.parseLine(line.c_str());
    return e;
}

TEST(Identity, CheckValue) {
    const unsigned char digits[] = "123456789";
    EXPECT_EQ(identityUpdate(kIdentityStart, digits, 9), 0x1CF96D7Cu);
    // The register runs on across pieces.
    EXPECT_EQ(identityUpdate(identityUpdate(kIdentityStart, digits, 4), digits + 4, 5),
              0x1CF96D7Cu);
    EXPECT_EQ(identityOf("123456789"), 0x1CF96D7Cu);  // the reference agrees
}

TEST(ParseLine, ExampleLine) {
    const PuzzleEntry e = parsed("2/3/4/3.2./..1./0.3.\n");
    EXPECT_EQ(e.difficulty, 2);
    EXPECT_EQ(e.height, 3);
    EXPECT_EQ(e.width, 4);
    EXPECT_EQ(e.clues, (Grid{3, N, 2, N, N, N, N, 1, N, N, 0, N, 3, N, N, N, N, N, N, N}));
    EXPECT_TRUE(e.playable());
}

TEST(ParseLine, EmptyLinesAndSizesOutsideTheLimitsGiveZeroByZero) {
    for (const char* line :
         {"\n", "", static_cast<const char*>(nullptr), "1", "1/0/3/111\n", "1/3/0/1/1/1\n",
          "1/-1/4/1111\n", "1/2/-5/11/11\n", "1/100/100/1\n", "1/1/1024/1\n",
          "1/99999999999/99999999999/1\n", "1/-2147483648/-1/1\n"}) {
        PuzzleEntry e = parsed("0/5/5/11111\n");  // a grid to replace
        e.parseLine(line);
        const std::string text = line != nullptr ? line : "(null)";
        EXPECT_EQ(e.width, 0) << text;
        EXPECT_EQ(e.height, 0) << text;
        EXPECT_EQ(e.clues, Grid{N}) << text;
        EXPECT_FALSE(e.playable());
        EXPECT_EQ(e.difficulty, text[0] == '1' ? 1 : 0);
    }
    // The largest grids that fit.
    EXPECT_EQ(parsed("1/1/1023/1\n").clues.size(), 2048u);
    EXPECT_EQ(parsed("1/31/63/1\n").clues.size(), 2048u);
}

TEST(ParseLine, NumberFieldsReadLikeAtoi) {
    for (auto [field, value] :
         {std::pair{" 12ab", 12}, std::pair{"abc", 0}, std::pair{"\t+7", 7}, std::pair{"-3", -3},
          std::pair{"- 5", 0}, std::pair{"99999999999999", INT32_MAX},
          std::pair{"-99999999999999", INT32_MIN}, std::pair{"-2147483648", INT32_MIN}}) {
        EXPECT_EQ(parsed(std::string(field) + "/1/1").difficulty, value) << field;
    }
    EXPECT_EQ(parsed("1/ 2x/3 y/123/...\n").width, 3);
}

TEST(ParseLine, RowFields) {
    // Extra characters are ignored; a 5 takes no cell; spaces and Shift_JIS
    // bytes are skipped; a missing or blank row is empty.
    EXPECT_EQ(parsed("0/1/3/1230\n").clues, (Grid{1, 2, 3, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/1/4/15.2\n").clues, (Grid{1, N, 2, N, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/1/3/ 1\x82\xa0 2\r\n").clues, (Grid{1, 2, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/2/2/   /3\n").clues, (Grid{N, N, N, 3, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/2/2/12//").clues, (Grid{1, 2, N, N, N, N, N, N, N}));
    EXPECT_EQ(parsed("0/1/2/12/33/33\n").clues, (Grid{1, 2, N, N, N, N}));
}

TEST(ParseLine, FieldsAreReadUpToTheir63rdByte) {
    // A row of 70 cells: only the first 63 bytes of the field count.
    const PuzzleEntry e = parsed("0/1/70/" + std::string(70, '1') + "\n");
    ASSERT_EQ(e.clues.size(), 71u * 2u);
    for (int c = 0; c < 70; ++c) EXPECT_EQ(e.clues[static_cast<std::size_t>(c)], c < 63 ? 1 : N);
    // Digits after byte 63 of a number are not read, and the next field
    // still starts after the next "/".
    EXPECT_EQ(parsed(std::string(63, ' ') + "5/2/2/11/22\n").clues,
              (Grid{1, 1, N, 2, 2, N, N, N, N}));
    EXPECT_EQ(parsed("1/1/" + std::string(62, '0') + "2/1\n").width, 2);
}

TEST(ParseLine, RandomLinesGiveSoundGrids) {
    std::mt19937 rng(7);
    const char alphabet[] = "0123456789/./-+ \t\r\n\x82\xa0x";
    PuzzleEntry e;  // reused: each line replaces the grid before it
    for (int round = 0; round < 20000; ++round) {
        // Mostly small sizes up front, then anything.
        std::string line =
            "1/" + std::to_string(int(rng() % 40) - 3) + "/" + std::to_string(int(rng() % 70) - 3);
        for (std::size_t i = rng() % 200; i > 0; --i)
            line += alphabet[rng() % (sizeof alphabet - 1)];
        e.parseLine(line.c_str());
        ASSERT_EQ(e.width == 0, e.height == 0) << line;
        ASSERT_GE(e.width, 0) << line;
        const std::size_t stride = static_cast<std::size_t>(e.width) + 1;
        ASSERT_EQ(e.clues.size(), stride * (static_cast<std::size_t>(e.height) + 1));
        ASSERT_LE(e.clues.size(), 2048u);
        for (std::size_t i = 0; i < e.clues.size(); ++i) {
            const bool pad = i % stride == stride - 1 || i + stride >= e.clues.size();
            ASSERT_TRUE(e.clues[i] == N || (!pad && e.clues[i] <= 3)) << line;
        }
    }
}

class CollectionRead : public test::StoreTest {
  protected:
    // Read text as a collection file; identity in id.
    bool readText(const std::string& text, PuzzleCollection& c, std::uint32_t& id) {
        test::writeBytes(file("c.dat"), text);
        return c.read(file("c.dat").string().c_str(), id);
    }
};

TEST_F(CollectionRead, LinesAndIdentity) {
    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += std::to_string(i) + "/1/1/1\n";
    const std::string nul("1/1/1/2\0/junk/3\n2/1/1/1\n", 24);
    struct Case {
        std::string text;
        int count;         // lines read; 0 when the read fails
        std::string read;  // the text as read, which the identity covers
    };
    std::vector<Case> cases = {
        {"1/1/1/2\n1/1/1/3\n", 2, "1/1/1/2\n1/1/1/3\n"},
        {"1/1/1/2\r\n1/1/1/3\r\n", 2, "1/1/1/2\n1/1/1/3\n"},         // CR LF reads as LF
        {"1/1/1/2\r\r\n1/1/1/3\n", 2, "1/1/1/2\r\n1/1/1/3\n"},       // a lone CR stays ...
        {"1/1/1/2\r1/1/1/3\n", 1, "1/1/1/2\r1/1/1/3\n"},             // ... and ends no line
        {"1/1/1/2\n1/1/1/3", 2, "1/1/1/2\n1/1/1/3"},                 // last line without LF
        {"1/1/1/2\n1/1/1/3\n\n", 3, "1/1/1/2\n1/1/1/3\n\n"},         // an empty line: 0 x 0
        {"1/1/1/2\n1/1/1/3\x1A\n1/1/1/1\n", 2, "1/1/1/2\n1/1/1/3"},  // 0x1A ends the text
        {"1/1/1/2\r\x1A", 1, "1/1/1/2\r"},
        {"\x1A"
         "1/1/1/2\n",
         0, ""},
        {"", 0, ""},
        {thirty + "30/1/1/1\n31/2/2/33\n", 30, thirty},  // at most 30 lines
        {nul, 2, "1/1/1/22/1/1/1\n"},                    // a NUL ends a line's content
        {std::string(2046, ' ') + "\n", 1, std::string(2046, ' ') + "\n"},  // pieces of 2047 bytes
        {std::string(2047, ' ') + "\n", 2, std::string(2047, ' ') + "\n"},
    };
    // CR LF pairs at every offset around a 4096-byte read buffer boundary; the
    // long line comes in pieces of 2047 bytes.
    for (std::size_t pad = 4080; pad < 4092; ++pad) {
        const std::string line = "1/1/1/2/" + std::string(pad, 'x');
        cases.push_back(
            {line + "\r\n1/1/1/3\r\n", int(pad + 9 + 2046) / 2047 + 1, line + "\n1/1/1/3\n"});
    }
    for (const Case& k : cases) {
        PuzzleCollection c;
        std::uint32_t id = 77;
        EXPECT_EQ(readText(k.text, c, id), k.count > 0) << k.text.substr(0, 40);
        EXPECT_EQ(c.puzzleCount, k.count) << k.text.substr(0, 40);
        EXPECT_EQ(id, k.count > 0 ? identityOf(k.read) : 77u) << k.text.substr(0, 40);
    }
}

TEST_F(CollectionRead, WhatTheLinesHold) {
    PuzzleCollection c;
    std::uint32_t id = 0;
    ASSERT_TRUE(readText("1/1/1/2\n1/1/1/3\n\n", c, id));
    EXPECT_EQ(c.puzzles[1].clues[0], 3);
    EXPECT_FALSE(c.puzzles[2].playable());
    // A long line comes in pieces of 2047 bytes: the first is a puzzle, the
    // rest (spaces and the LF) is 0 x 0.
    ASSERT_TRUE(readText("4/1/3/123" + std::string(2990, ' ') + "\n1/1/1/0\n", c, id));
    ASSERT_EQ(c.puzzleCount, 3);
    EXPECT_EQ(c.puzzles[0].clues, (Grid{1, 2, 3, N, N, N, N, N}));
    EXPECT_EQ(c.puzzles[1].width, 0);
    EXPECT_EQ(c.puzzles[2].clues[0], 0);
    // A missing file leaves the collection and the identity alone.
    EXPECT_FALSE(c.read(file("missing.dat").string().c_str(), id));
    EXPECT_FALSE(c.read(nullptr, id));
    EXPECT_EQ(id, identityOf("4/1/3/123" + std::string(2990, ' ') + "\n1/1/1/0\n"));
    EXPECT_EQ(c.puzzleCount, 3);
}

}  // namespace
}  // namespace quorrin
