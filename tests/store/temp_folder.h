// A temporary folder per test, an executable path inside it, and helpers
// for files of raw bytes.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "store/platform.h"

namespace quorrin::test {

inline std::string& fakeExecutable() {
    static std::string path;
    return path;
}

inline bool fakeExecutablePath(char* buffer, std::size_t size) {
    const std::string& path = fakeExecutable();
    if (path.empty() || path.size() + 1 > size) return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::FILE* f = std::fopen(path.string().c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    if (!bytes.empty()) {
        ASSERT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), f), bytes.size());
    }
    std::fclose(f);
}

inline std::string readBytes(const std::filesystem::path& path) {
    std::string bytes;
    std::FILE* f = std::fopen(path.string().c_str(), "rb");
    if (f == nullptr) return bytes;
    char chunk[4096];
    std::size_t got = 0;
    while ((got = std::fread(chunk, 1, sizeof chunk, f)) > 0) bytes.append(chunk, got);
    std::fclose(f);
    return bytes;
}

// Each test gets a fresh folder with the executable "quorrin.exe" in it.
class TempFolderTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::random_device seed;
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        folder = std::filesystem::temp_directory_path() /
                 (std::string("quorrin-") + info->name() + "-" + std::to_string(seed()));
        std::filesystem::create_directories(folder);
        // Keep the separator the platform writes, so the folder length is
        // measured the way it is in the program.
        fakeExecutable() = (folder / "quorrin.exe").string();
        platform() = defaultPlatform();
        platform().executablePath = fakeExecutablePath;
    }
    void TearDown() override {
        platform() = defaultPlatform();
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    std::filesystem::path file(const char* name) const { return folder / name; }
    std::filesystem::path savePath() const { return folder / "quorrin.sav"; }

    std::filesystem::path folder;
};

}  // namespace quorrin::test
