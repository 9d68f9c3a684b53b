// File names in the page's file system: every Shift_JIS name has one ASCII
// form and comes back from it unchanged.
#include "app/web/file_names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace quorrin::web {
namespace {

TEST(FileNames, ShiftJisBytesAndSeparatorsAreCodedAsciiStands) {
    EXPECT_EQ(storedName("01_first_steps.dat"), "01_first_steps.dat");
    // 表.dat: 0x95 0x5C, whose second byte is a backslash.
    EXPECT_EQ(storedName("\x95\x5C.dat"), "%95%5C.dat");
    EXPECT_EQ(storedName("a b%c/d"), "a%20b%25c%2Fd");
    EXPECT_EQ(storedPath("/game/quorrin.sav"), "/game/quorrin.sav");
    EXPECT_EQ(storedPath("/game/\x95\x5C.dat"), "/game/%95%5C.dat");
}

TEST(FileNames, EveryByteComesBack) {
    std::string all;
    for (int b = 1; b < 256; ++b) all += static_cast<char>(b);
    std::string back;
    ASSERT_TRUE(shiftJisName(storedName(all), back));
    EXPECT_EQ(back, all);
    EXPECT_EQ(storedName(all).find_first_not_of(
                  "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789"
                  "!\"#$%&'()*+,-.:;<=>?@[]^_`{|}~"),
              std::string::npos);
}

TEST(FileNames, NamesNotMadeByTheCodingAreNotOurs) {
    std::string name;
    EXPECT_FALSE(shiftJisName("%41.dat", name));  // 'A' is never coded
    EXPECT_FALSE(shiftJisName("%9a.dat", name));  // lower-case digits
    EXPECT_FALSE(shiftJisName("%9", name));       // cut short
    EXPECT_FALSE(shiftJisName("a b.dat", name));  // a space stands uncoded
    EXPECT_FALSE(shiftJisName("", name));
    EXPECT_FALSE(shiftJisName("%81%40.dat", name));  // '@' stands as it is
    EXPECT_TRUE(shiftJisName("%81@.dat", name));
    EXPECT_EQ(name, "\x81\x40.dat");
}

TEST(FileNames, TheHooksUseTheCodedNames) {
    namespace fs = std::filesystem;
    const fs::path folder = fs::temp_directory_path() / "quorrin-web-names";
    fs::remove_all(folder);
    fs::create_directories(folder);
    static std::vector<std::string> written;
    written.clear();
    const PlatformHooks hooks =
        pagePlatform(folder.string() + "/", [](const char* path) { written.push_back(path); });
    char exe[512];
    ASSERT_TRUE(hooks.executablePath(exe, sizeof exe));
    EXPECT_EQ(std::string(exe), folder.string() + "/quorrin.exe");

    const std::string sjis = folder.string() + "/\x95\x5C.dat";
    std::FILE* file = hooks.openFile(sjis.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("x", file);
    std::fclose(file);
    EXPECT_TRUE(fs::exists(folder / "%95%5C.dat"));
    { std::ofstream(folder / "stray name.dat") << "x"; }  // not a coded name
    { std::ofstream(folder / "notes.txt") << "x"; }

    std::vector<std::string> names;
    ASSERT_TRUE(hooks.listCollectionFiles((folder.string() + "/").c_str(), names));
    EXPECT_EQ(names, std::vector<std::string>{"\x95\x5C.dat"});

    const std::string target = folder.string() + "/\x95\x5C.sav";
    ASSERT_TRUE(hooks.replaceFile(sjis.c_str(), target.c_str()));
    EXPECT_TRUE(fs::exists(folder / "%95%5C.sav"));
    EXPECT_EQ(written, std::vector<std::string>{target});
    EXPECT_FALSE(hooks.replaceFile(sjis.c_str(), target.c_str()));  // gone already
    EXPECT_EQ(written.size(), 1u);
    EXPECT_TRUE(hooks.removeFile(target.c_str()));
    EXPECT_FALSE(fs::exists(folder / "%95%5C.sav"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace quorrin::web
