#include "collection_check.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace quorrin {
namespace {

// A unique 6 x 5 puzzle.
const char kGood[] = "1/5/6/.33.../2.0.22/3...2./..03../.22..0";

class CollectionCheckTest : public ::testing::Test {
  protected:
    std::string path_ = ::testing::TempDir() + "quorrin_check_test.dat";

    void write(const std::string& bytes) {
        std::FILE* f = std::fopen(path_.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
    }
    FileReport check(bool strict = false) {
        CheckOptions o;
        o.difficultyIsGrade = strict;
        return checkCollection(path_, o);
    }
    void TearDown() override { std::remove(path_.c_str()); }
};

TEST_F(CollectionCheckTest, ReportsSizeCluesSolutionsAndGrade) {
    write(std::string(kGood) + "\n");
    FileReport r = check();
    ASSERT_TRUE(r.ok()) << formatReport(r);
    ASSERT_EQ(r.lines.size(), 1u);
    const LineReport& l = r.lines[0];
    EXPECT_EQ(l.width, 6);
    EXPECT_EQ(l.height, 5);
    EXPECT_EQ(l.difficulty, 1);
    EXPECT_EQ(l.clueCount, 13);
    EXPECT_EQ(l.solutions, 1);
    EXPECT_EQ(l.grade, 1);
    EXPECT_TRUE(l.boardAgrees);
    EXPECT_TRUE(l.notes.empty());
    EXPECT_TRUE(check(true).ok());
}

TEST_F(CollectionCheckTest, ReadsLikeTheGame) {
    // CR LF line ends and a last line without LF are fine; a skipped
    // character is only a note, the puzzle stays the same.
    std::string withSkip = kGood;
    withSkip.insert(withSkip.find("2.0.22"), "x");
    write(std::string(kGood) + "\r\n" + withSkip);
    FileReport r = check();
    ASSERT_TRUE(r.ok()) << formatReport(r);
    ASSERT_EQ(r.lines.size(), 2u);
    EXPECT_TRUE(r.lines[0].notes.empty()) << formatReport(r);
    ASSERT_EQ(r.lines[1].notes.size(), 1u);
    EXPECT_NE(r.lines[1].notes[0].find("skipped"), std::string::npos);
    // Text after 0x1A is not read.
    write(std::string(kGood) + "\n\x1A" + "1/2/2/../..\n");
    r = check();
    EXPECT_TRUE(r.ok()) << formatReport(r);
    EXPECT_EQ(r.lines.size(), 1u);
}

TEST_F(CollectionCheckTest, FlagsEveryKindOfProblem) {
    write(std::string(kGood) + "\n1/2/2/../..\n");
    FileReport r = check();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.lines[1].solutions, 2);

    write("1/2/2/33/33\n");
    EXPECT_EQ(check().lines[0].solutions, 0);

    write(std::string(kGood) + std::string(70, ' ') + "\n");
    r = check();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.lines[0].solutions, 1);  // still readable, but outside the limits

    write("1/45/44/\n");  // (W+1)x(H+1) above 2048
    EXPECT_FALSE(check().ok());

    write(std::string(kGood) + "\n\n");
    r = check();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.lines.size(), 2u);

    std::string many;
    for (int i = 0; i < 31; ++i) many += std::string(kGood) + "\n";
    write(many);
    r = check();
    EXPECT_FALSE(r.ok());
    EXPECT_EQ(r.lines.size(), 30u);

    // Difficulty field other than the grade: an error only when asked.
    write("3" + std::string(kGood + 1) + "\n");
    EXPECT_TRUE(check().ok());
    EXPECT_FALSE(check(true).ok());

    std::remove(path_.c_str());
    r = check();
    EXPECT_FALSE(r.readable);
    EXPECT_FALSE(r.ok());
}

}  // namespace
}  // namespace quorrin
