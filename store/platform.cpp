#include "store/platform.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace quorrin {

namespace fs = std::filesystem;

namespace {

bool defaultExecutablePath(char* buffer, std::size_t size) {
    // Linux names the executable in /proc; elsewhere the platform layer
    // supplies the path.
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (ec) return false;
    try {
        const std::string text = exe.string();
        if (text.empty() || text.size() + 1 > size) return false;
        std::memcpy(buffer, text.c_str(), text.size() + 1);
        return true;
    } catch (...) {  // a name the narrow encoding cannot hold
        return false;
    }
}

bool defaultListCollectionFiles(const char* folder, std::vector<std::string>& names) {
    names.clear();
    std::error_code ec;
    const fs::path dir = (folder == nullptr || *folder == '\0') ? fs::path(".") : fs::path(folder);
    fs::directory_iterator it(dir, ec);
    if (ec) return false;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (!it->is_regular_file(ec)) continue;
        try {
            names.push_back(it->path().filename().string());
        } catch (...) {  // a name the narrow encoding cannot hold
        }
    }
    std::sort(names.begin(), names.end());
    return true;
}

bool defaultReplaceFile(const char* source, const char* target) {
    // Replaces an existing target also on Windows.
    std::error_code ec;
    fs::rename(fs::path(source), fs::path(target), ec);
    return !ec;
}

std::FILE* defaultOpenFile(const char* path, const char* mode) {
    return std::fopen(path, mode);
}

bool defaultRemoveFile(const char* path) {
    return std::remove(path) == 0;
}

}  // namespace

PlatformHooks defaultPlatform() {
    return PlatformHooks{defaultExecutablePath, defaultListCollectionFiles, defaultReplaceFile,
                         defaultOpenFile, defaultRemoveFile};
}

PlatformHooks& platform() {
    static PlatformHooks hooks = defaultPlatform();
    return hooks;
}

}  // namespace quorrin
