#include "app/win32/platform_hooks.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "res/resource.h"

namespace quorrin {
namespace win32 {

static_assert(IDB_BUTTONS == kButtonBitmapId && IDB_CLOCK == kClockBitmapId,
              "bitmap numbers of the resource script and of the screen differ");

namespace {

bool executablePath(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return false;
    const DWORD capacity = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    const DWORD length = GetModuleFileNameA(nullptr, buffer, capacity);
    // A path that fills the whole buffer was cut short.
    return length > 0 && length < capacity;
}

bool listCollectionFiles(const char* folder, std::vector<std::string>& names) {
    names.clear();
    std::string pattern = folder != nullptr ? folder : "";
    pattern += "*.dat";
    WIN32_FIND_DATAA found;
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        // The pattern ignores case and also matches through short names
        // ("x.data" is X~1.DAT): keep the names that end in ".dat" exactly.
        const std::size_t length = std::strlen(found.cFileName);
        if (length > 4 && std::memcmp(found.cFileName + length - 4, ".dat", 4) == 0) {
            names.emplace_back(found.cFileName, length);
        }
    } while (FindNextFileA(search, &found) != FALSE);
    FindClose(search);
    // Byte order: std::string compares its characters as unsigned bytes.
    std::sort(names.begin(), names.end());
    return true;
}

bool replaceFile(const char* source, const char* target) {
    return MoveFileExA(source, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

}  // namespace

PlatformHooks windowsPlatform() {
    return PlatformHooks{executablePath, listCollectionFiles, replaceFile};
}

BitmapLoader resourceBitmapLoader(HINSTANCE instance) {
    return [instance](int resourceId, Surface& out) {
        const HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), RT_BITMAP);
        if (found == nullptr) return false;
        const HGLOBAL loaded = LoadResource(instance, found);
        if (loaded == nullptr) return false;
        const void* data = LockResource(loaded);
        const DWORD size = SizeofResource(instance, found);
        if (data == nullptr || size == 0) return false;
        return readPackedBitmap(static_cast<const std::uint8_t*>(data), size, out);
    };
}

}  // namespace win32
}  // namespace quorrin
