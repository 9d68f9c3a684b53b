// The Windows layer's file services: a disk file opens by its Shift_JIS
// name whatever the code page; a device opens as nothing, whatever its name
// (a read of one may wait for ever).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "app/win32/platform_hooks.h"

namespace quorrin {
namespace {

TEST(FileServices, DiskFilesOnly) {
    const PlatformHooks hooks = win32::windowsPlatform(std::string());
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / "quorrin-file-services";
    std::filesystem::create_directories(folder);
    // 表.dat: its second byte is the byte of '\'.
    const std::string name = (folder / "x").string();
    const std::string japanese = name.substr(0, name.size() - 1) + "\x95\x5C.dat";
    for (const auto& [path, opens] : {std::pair{japanese, true},
                                      {std::string("NUL"), false},
                                      {std::string("nul.dat"), false},
                                      {std::string("CON"), false},
                                      {(folder / "con.dat").string(), false}}) {
        if (opens) {
            std::FILE* made = hooks.openFile(path.c_str(), "wb");
            ASSERT_NE(made, nullptr) << path;
            EXPECT_GE(std::fputs("1/1/1/.\n", made), 0);
            EXPECT_EQ(std::fclose(made), 0);
        }
        std::FILE* file = hooks.openFile(path.c_str(), "rb");
        EXPECT_EQ(file != nullptr, opens) << path;
        if (file != nullptr) {
            EXPECT_EQ(std::fclose(file), 0);
        }
    }
    EXPECT_TRUE(hooks.removeFile(japanese.c_str()));
    std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace quorrin
