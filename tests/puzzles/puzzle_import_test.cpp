#include "puzzle_import.h"

#include <gtest/gtest.h>

#include "loop_generator.h"

namespace quorrin {
namespace {

LoopPuzzle importOk(const std::string& text) {
    LoopPuzzle p;
    std::string error;
    EXPECT_TRUE(importPuzzle(text, p, error)) << text << ": " << error;
    return p;
}

std::string refusal(const std::string& text) {
    LoopPuzzle p;
    std::string error;
    EXPECT_FALSE(importPuzzle(text, p, error)) << text;
    EXPECT_FALSE(error.empty()) << text;
    return error;
}

// The URL body in the densest form the table allows, written independently
// of the importer.
std::string encodeUrlBody(const LoopPuzzle& p) {
    std::string out;
    const auto& k = p.clues;
    size_t i = 0;
    while (i < k.size()) {
        if (k[i] >= 0) {
            size_t gap = 0;
            while (gap < 2 && i + 1 + gap < k.size() && k[i + 1 + gap] < 0) ++gap;
            out.push_back(static_cast<char>((gap == 0 ? '0' : gap == 1 ? '5' : 'a') + k[i]));
            i += 1 + gap;
        } else {
            size_t run = 0;
            while (run < 20 && i + run < k.size() && k[i + run] < 0) ++run;
            out.push_back(static_cast<char>('g' + run - 1));
            i += run;
        }
    }
    return out;
}

TEST(PuzzleImportTest, UrlDecodingTable) {
    // 3 columns, 4 rows = 12 cells.
    // 3 columns, 4 rows: 0 1 2 | 3 h=two empties | 5=clue 0 + one empty |
    // c=clue 2 + two empties | g=one empty.
    LoopPuzzle p = importOk("https://example.org/p?slither/3/4/0123h5cg");
    ASSERT_EQ(p.width, 3);
    ASSERT_EQ(p.height, 4);
    EXPECT_EQ(p.clues, (std::vector<std::int8_t>{0, 1, 2, 3, -1, -1, 0, -1, 2, -1, -1, -1}));
    // One cell more than the board holds is refused.
    refusal("https://example.org/p?slither/3/4/0123h5c8");
    // Every letter of the empty runs.
    for (char ch = 'g'; ch <= 'z'; ++ch) {
        int run = ch - 'g' + 1;
        LoopPuzzle r = importOk("?t/" + std::to_string(run + 1) + "/1/" + std::string(1, ch) + "1");
        ASSERT_EQ(r.width * r.height, run + 1);
        EXPECT_EQ(r.clue(0, run), 1);
        EXPECT_EQ(r.clueCount(), 1);
    }
    // a-d: clue then two empties; 5-8: clue then one empty.
    EXPECT_EQ(importOk("?t/3/2/ac").clues, (std::vector<std::int8_t>{0, -1, -1, 2, -1, -1}));
    EXPECT_EQ(importOk("?t/4/2/d6c").clues,
              (std::vector<std::int8_t>{3, -1, -1, 1, -1, 2, -1, -1}));
    // A trailing "/" is accepted.
    EXPECT_EQ(importOk("?t/1/1/3/").clues, (std::vector<std::int8_t>{3}));
}

TEST(PuzzleImportTest, UrlRefusals) {
    EXPECT_NE(refusal("?t/2/2/0124").find("4"), std::string::npos);
    EXPECT_NE(refusal("?t/2/2/90").find("4"), std::string::npos);
    EXPECT_NE(refusal("?t/3/2/e").find("4"), std::string::npos);
    EXPECT_NE(refusal("?t/2/2/01.2").find("unknown"), std::string::npos);
    refusal("?t/2/2/012");    // too few cells
    refusal("?t/2/2/01235");  // a clue then an empty past the end
    refusal("?t/2/2/0f");     // f is not in the table
    refusal("?t/2/2/01 2");   // space
    refusal("?t/0/2/");       // no columns
    refusal("?t/63/1/z");     // wider than a collection line
    refusal("?t/44/45/z");    // (W+1)x(H+1) > 2048
    refusal("?t/2/2");        // no body
    refusal("?t/x/2/01");     // bad number
}

TEST(PuzzleImportTest, GameIdTable) {
    LoopPuzzle p = importOk("5x2t0:a1b2c3a");
    ASSERT_EQ(p.width, 5);
    ASSERT_EQ(p.height, 2);
    EXPECT_EQ(p.clues, (std::vector<std::int8_t>{-1, 1, -1, -1, 2, -1, -1, -1, 3, -1}));
    refusal("3x3:0z");  // a run past the end of the board
    LoopPuzzle runs = importOk("27x1:z0");
    EXPECT_EQ(runs.clue(0, 26), 0);
    EXPECT_EQ(runs.clueCount(), 1);
    EXPECT_EQ(importOk("2x2t0de:0123").clues, (std::vector<std::int8_t>{0, 1, 2, 3}));
}

TEST(PuzzleImportTest, GameIdRefusals) {
    EXPECT_NE(refusal("2x2t0:0124").find("4"), std::string::npos);
    refusal("2x2t1:0123");   // another grid type
    refusal("2x2t0:012");    // too few cells
    refusal("2x2t0:0123a");  // too many
    refusal("2x2t0:01-3");
    refusal("2x2t0");  // no description
    refusal("0x2:");
    refusal("80x1:zzzb");
}

TEST(PuzzleImportTest, GeneratedPuzzlesRoundTrip) {
    for (std::uint64_t seed = 1; seed <= 10; ++seed) {
        GeneratorOptions o;
        o.width = 8 + static_cast<int>(seed);
        o.height = 6;
        o.grade = kGradeMedium;
        o.seed = seed;
        GeneratedPuzzle g;
        ASSERT_TRUE(generatePuzzle(o, g));
        std::string url = "https://example.org/p?slither/" + std::to_string(o.width) + "/" +
                          std::to_string(o.height) + "/" + encodeUrlBody(g.puzzle);
        LoopPuzzle back = importOk(url);
        EXPECT_EQ(back.width, o.width);
        EXPECT_EQ(back.height, o.height);
        EXPECT_EQ(back.clues, g.puzzle.clues) << url;
    }
}

}  // namespace
}  // namespace quorrin
