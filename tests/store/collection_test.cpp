// Parsing collection lines, reading collection files and their identity.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "store/puzzle_collection.h"
#include "store_fixtures.h"

namespace quorrin {
namespace {

using test::identityOf;

// The clue grid as text: rows of the (W+1)-byte stride joined by "/", "."
// for 255, the digit for a clue, "?" for any other byte.
std::string gridOf(const PuzzleEntry& e) {
    std::string text;
    for (std::size_t i = 0; i < e.clues.size(); ++i) {
        if (i > 0 && i % static_cast<std::size_t>(e.width + 1) == 0) text += '/';
        text += e.clues[i] == 255 ? '.' : e.clues[i] <= 3 ? char('0' + e.clues[i]) : '?';
    }
    return text;
}

// Lines and what they parse to: rows take "." and 0..3 as cells and skip
// anything else; fields are read up to their 63rd byte.
TEST(ParseLine, Table) {
    const std::string ones(70, '1');
    const struct {
        std::string line;
        int difficulty, height, width;
        std::string grid;
    } cases[] = {
        {"2/3/4/3.2./..1./0.3.\n", 2, 3, 4, "3.2../..1../0.3../....."},
        {"1/ 2x/3 y/123/...\n", 1, 2, 3, "123./..../...."},
        {"0/1/4/15.2\n", 0, 1, 4, "1.2../....."},
        {"0/1/3/1230\n", 0, 1, 3, "123./...."},
        {"0/1/3/ 1\x82\xa0 2\r\n", 0, 1, 3, "12../...."},
        {"0/2/2/   /3\n", 0, 2, 2, ".../3../..."},
        {"0/2/2/12//", 0, 2, 2, "12./.../..."},
        {"0/1/2/12/33/33\n", 0, 1, 2, "12./..."},
        {"0/1/70/" + ones, 0, 1, 70,
         ones.substr(7) + std::string(8, '.') + "/" + std::string(71, '.')},
        {std::string(63, ' ') + "5/2/2/11/22\n", 0, 2, 2, "11./22./..."},
        {"1/1/" + std::string(62, '0') + "2/1\n", 1, 1, 2, "1../..."},
    };
    PuzzleEntry e;  // reused: each line replaces the grid before it
    for (const auto& k : cases) {
        e.parseLine(k.line.c_str());
        EXPECT_EQ(e.difficulty, k.difficulty) << k.line;
        EXPECT_EQ(e.height, k.height) << k.line;
        EXPECT_EQ(e.width, k.width) << k.line;
        EXPECT_EQ(gridOf(e), k.grid) << k.line;
        EXPECT_TRUE(e.playable()) << k.line;
    }
    // Lines separated by "|": sizes below 1 or past 2048 vertices, or none,
    // give 0 x 0 (the difficulty still read).
    std::istringstream zero(
        "1|1/0/3/111|1/3/0/1/1/1|1/-1/4/1111|1/2/-5/11/11|1/1/1024/1|1/45/44/1|"
        "1/99999999999/99999999999/1|1/-2147483648/-1/1|1/|1\n");
    for (std::string line; std::getline(zero, line, '|');) {
        e.parseLine(line.c_str());
        EXPECT_EQ(gridOf(e) + std::to_string(e.difficulty), ".1") << line;
        EXPECT_FALSE(e.playable()) << line;
    }
    for (const char* line :
         {"", static_cast<const char*>(nullptr), "\n", "1/1/1023/1", "1/31/63/1"}) {
        e.parseLine(line);
        EXPECT_EQ(e.clues.size(), line != nullptr && line[0] == '1' ? 2048u : 1u);
    }
    // Numbers read like atoi, held to 32 bits: "field=value" separated by "|".
    std::istringstream numbers(
        " 12ab=12|abc=0|\t+7=7|-3=-3|- 5=0|99999999999999=2147483647|-99999999999999=-2147483648|"
        "-2147483648=-2147483648");
    for (std::string item; std::getline(numbers, item, '|');) {
        e.parseLine((item.substr(0, item.find('=')) + "/1/1").c_str());
        EXPECT_EQ(std::to_string(e.difficulty), item.substr(item.find('=') + 1)) << item;
    }
}

class CollectionRead : public test::StoreTest {};

// Texts read as collection files: the lines read (0 when the read fails)
// and the text they come from, which the identity covers.
TEST_F(CollectionRead, LinesAndIdentity) {
    const unsigned char digits[] = "123456789";  // the CRC-32C check value
    EXPECT_EQ(identityUpdate(identityUpdate(kIdentityStart, digits, 4), digits + 4, 5),
              0x1CF96D7Cu);
    std::string thirty;
    for (int i = 0; i < 30; ++i) thirty += std::to_string(i) + "/1/1/1\n";
    struct Case {
        std::string text;
        int count;
        std::string read;
    };
    std::vector<Case> cases = {
        {"1/1/1/2\r\n1/1/1/3\r\n", 2, "1/1/1/2\n1/1/1/3\n"},         // CR LF reads as LF
        {"1/1/1/2\r\r\n1/1/1/3\n", 2, "1/1/1/2\r\n1/1/1/3\n"},       // a lone CR stays ...
        {"1/1/1/2\r1/1/1/3\n", 1, "1/1/1/2\r1/1/1/3\n"},             // ... and ends no line
        {"1/1/1/2\n1/1/1/3", 2, "1/1/1/2\n1/1/1/3"},                 // last line without LF
        {"1/1/1/2\n1/1/1/3\n\n", 3, "1/1/1/2\n1/1/1/3\n\n"},         // an empty line: 0 x 0
        {"1/1/1/2\n1/1/1/3\x1A\n1/1/1/1\n", 2, "1/1/1/2\n1/1/1/3"},  // 0x1A ends the text
        {"1/1/1/2\r\x1A", 1, "1/1/1/2\r"},
        {std::string("\x1A") + "1/1/1/2\n", 0, ""},
        {"", 0, ""},
        {thirty + "30/1/1/1\n31/2/2/33\n", 30, thirty},  // at most 30 lines
        {std::string("1/1/1/2\0/junk/3\n2/1/1/1\n", 24), 2, "1/1/1/22/1/1/1\n"},  // NUL ends
        {std::string("1/1/1/2\r\0x\n", 11), 1, "1/1/1/2\r"},  // a NUL after a lone CR too
        {std::string(2046, ' ') + "\n", 1, std::string(2046, ' ') + "\n"},  // pieces of 2047 bytes
        {std::string(2047, ' ') + "\n", 2, std::string(2047, ' ') + "\n"},
    };
    // CR LF pairs at every offset around the 4096-byte read buffer's end.
    for (std::size_t pad = 4080; pad < 4092; ++pad) {
        const std::string line = "1/1/1/2/" + std::string(pad, 'x');
        cases.push_back(
            {line + "\r\n1/1/1/3\r\n", int(pad + 9 + 2046) / 2047 + 1, line + "\n1/1/1/3\n"});
    }
    for (const Case& k : cases) {
        PuzzleCollection c;
        std::uint32_t id = 77;
        test::writeBytes(file("c.dat"), k.text);
        EXPECT_EQ(c.read(file("c.dat").string().c_str(), id), k.count > 0) << k.text.substr(0, 40);
        EXPECT_EQ(c.puzzleCount, k.count) << k.text.substr(0, 40);
        EXPECT_EQ(id, k.count > 0 ? identityOf(k.read) : 77u) << k.text.substr(0, 40);
    }
}

// What a collection's name may be, one rule for the listing, the dialog and
// the save file: lower-case ".dat", 5 to 63 bytes, Shift_JIS characters a
// Windows file name may hold, no device whatever its case, extension or
// the spaces before its first dot.
TEST(CollectionFileName, Table) {
    const std::string n59(59, 'n');
    for (auto [name, taken] : {
             std::pair<std::string, bool>{"x.dat", true},
             {"01_first_steps.dat", true},
             {n59 + ".dat", true},                    // 63 bytes
             {"\x95\x5C.dat", true},                  // 表: its trail byte is '\\'
             {"\x83\x70\x83\x59\x83\x8B.dat", true},  // パズル
             {"\xB6\xC5.dat", true},                  // half-width ｶﾅ
             {"com10.dat", true},
             {"console.dat", true},
             {"nul_.dat", true},
             {"lpt.dat", true},
             {"..dat", true},
             {"my puzzles.dat", true},
             {" x.dat", true},
             {"~!#$%&'()+,;=@[]^_`{}.dat", true},
             {"\xA1\xDF.dat", true},                                  // ｡ﾟ
             {"\x81\x40\x81\x7E\x81\x80\x9F\xFC\xE0\x40.dat", true},  // lead and trail bounds
             {"\x7F.dat", false},
             {"\xA0.dat", false},
             {"\x1F.dat", false},
             {"\x81\x3F.dat", false},
             {"\x81\xFD.dat", false},
             {".dat", false},
             {"n" + n59 + ".dat", false},  // 64 bytes
             {"x.DAT", false},
             {"x.Dat", false},
             {"x.dat ", false},
             {"x.data", false},
             {"quorrin.sav", false},
             {"quorrin.sav.tmp", false},
             {"x", false},
             {"", false},
             {"sub/x.dat", false},
             {"sub\\x.dat", false},
             {"C:x.dat", false},
             {"a<b.dat", false},
             {"a>b.dat", false},
             {"a\"b.dat", false},
             {"a|b.dat", false},
             {"a?b.dat", false},
             {"a*b.dat", false},
             {"a\tb.dat", false},
             {"\x95.dat", false},     // a lead byte without its trail byte
             {"caf\xE9.dat", false},  // é in code page 1252: no Shift_JIS
             {"\x80.dat", false},
             {"\xFD.dat", false},
             {"x\x81\x7F.dat", false},
             {"CON.dat", false},
             {"con.dat", false},
             {"Prn.dat", false},
             {"aux.dat", false},
             {"NUL.dat", false},
             {"nul.txt.dat", false},
             {"COM1.dat", false},
             {"com9.dat", false},
             {"COM0.dat", false},
             {"LPT1.dat", false},
             {"lpt9.dat", false},
             {"com1 .dat", false},
             {"COM1  .x.dat", false},
             {"con..dat", false},
             {"CONIN$.dat", false},
             {"conout$.dat", false},
         }) {
        EXPECT_EQ(isCollectionFileName(name), taken) << name;
    }
}

}  // namespace
}  // namespace quorrin
