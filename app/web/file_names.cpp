#include "app/web/file_names.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace quorrin {
namespace web {

namespace {

namespace fs = std::filesystem;

constexpr char kHex[] = "0123456789ABCDEF";

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool standsAsItIs(unsigned char byte) {
    return byte >= 0x21 && byte <= 0x7E && byte != '%' && byte != '/' && byte != '\\';
}

struct PageFiles {
    std::string folder;
    void (*onWritten)(const char* path) = nullptr;
};

PageFiles& files() {
    static PageFiles state;
    return state;
}

bool executablePath(char* buffer, std::size_t size) {
    const std::string path = files().folder + "quorrin.exe";
    if (buffer == nullptr || path.size() + 1 > size) return false;
    std::memcpy(buffer, path.c_str(), path.size() + 1);
    return true;
}

bool listCollectionFiles(const char* folder, std::vector<std::string>& names) {
    names.clear();
    std::error_code ec;
    const std::string dir = folder != nullptr && *folder != '\0' ? folder : ".";
    fs::directory_iterator it(dir, ec);
    if (ec) return false;
    for (; it != fs::directory_iterator(); it.increment(ec)) {
        if (ec) break;
        if (!it->is_regular_file(ec)) continue;
        std::string name;
        if (!shiftJisName(it->path().filename().string(), name)) continue;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".dat") == 0) {
            names.push_back(name);
        }
    }
    std::sort(names.begin(), names.end());
    return true;
}

bool replaceFile(const char* source, const char* target) {
    if (source == nullptr || target == nullptr) return false;
    if (std::rename(storedPath(source).c_str(), storedPath(target).c_str()) != 0) return false;
    if (files().onWritten != nullptr) files().onWritten(target);
    return true;
}

std::FILE* openFile(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr || *path == '\0') return nullptr;
    return std::fopen(storedPath(path).c_str(), mode);
}

bool removeFile(const char* path) {
    return path != nullptr && std::remove(storedPath(path).c_str()) == 0;
}

}  // namespace

std::string storedName(const std::string& shiftJis) {
    std::string out;
    out.reserve(shiftJis.size());
    for (const char c : shiftJis) {
        const auto byte = static_cast<unsigned char>(c);
        if (standsAsItIs(byte)) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

bool shiftJisName(const std::string& stored, std::string& shiftJis) {
    shiftJis.clear();
    for (std::size_t i = 0; i < stored.size(); ++i) {
        const auto byte = static_cast<unsigned char>(stored[i]);
        if (byte == '%') {
            if (i + 2 >= stored.size()) return false;
            const int high = hexValue(stored[i + 1]);
            const int low = hexValue(stored[i + 2]);
            if (high < 0 || low < 0) return false;
            const auto decoded = static_cast<unsigned char>(high * 16 + low);
            // One form per name: a byte that stands as it is is never coded.
            if (standsAsItIs(decoded)) return false;
            shiftJis += static_cast<char>(decoded);
            i += 2;
        } else if (standsAsItIs(byte)) {
            shiftJis += static_cast<char>(byte);
        } else {
            return false;
        }
    }
    return !shiftJis.empty();
}

std::string storedPath(const std::string& shiftJisPath) {
    const std::size_t slash = shiftJisPath.find_last_of('/');
    if (slash == std::string::npos) return storedName(shiftJisPath);
    return shiftJisPath.substr(0, slash + 1) + storedName(shiftJisPath.substr(slash + 1));
}

PlatformHooks pagePlatform(const std::string& folder, void (*onWritten)(const char* path)) {
    files().folder = folder;
    files().onWritten = onWritten;
    return PlatformHooks{executablePath, listCollectionFiles, replaceFile, openFile, removeFile};
}

}  // namespace web
}  // namespace quorrin
