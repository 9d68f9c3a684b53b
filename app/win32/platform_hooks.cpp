#include "app/win32/platform_hooks.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <io.h>
#include <windows.h>

#include "app/win32/shift_jis.h"

namespace quorrin {
namespace win32 {

namespace {

// The executable's file name as the game sees it (Shift_JIS, no folder),
// as windowsPlatform was given it.
std::string& installedProgramName() {
    static std::string name;
    return name;
}

bool executablePath(char* buffer, std::size_t size) {
    const std::string& name = installedProgramName();
    if (buffer == nullptr || name.empty() || name.size() + 1 > size) return false;
    std::memcpy(buffer, name.c_str(), name.size() + 1);
    return true;
}

bool listCollectionFiles(const char* folder, std::vector<std::string>& names) {
    names.clear();
    std::wstring pattern = wideFromShiftJis(folder != nullptr ? folder : "");
    pattern += L"*.dat";
    WIN32_FIND_DATAW found;
    const HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) continue;
        // A name Shift_JIS cannot write is left out, as a Japanese system
        // would have to: it could be neither opened by that name nor kept
        // in the save file.
        // (The pattern ignores case and also matches through short names,
        // "x.data" is X~1.DAT: the store keeps the collections' names.)
        bool exact = false;
        const std::string name = shiftJisFromWide(found.cFileName, &exact);
        if (exact) names.push_back(name);
    } while (FindNextFileW(search, &found) != FALSE);
    FindClose(search);
    // Byte order: std::string compares its characters as unsigned bytes.
    std::sort(names.begin(), names.end());
    return true;
}

bool replaceFile(const char* source, const char* target) {
    return MoveFileExW(wideFromShiftJis(source).c_str(), wideFromShiftJis(target).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != FALSE;
}

std::FILE* openFile(const char* path, const char* mode) {
    if (path == nullptr || mode == nullptr || *path == '\0') return nullptr;
    std::FILE* file = _wfopen(wideFromShiftJis(path).c_str(), wideFromShiftJis(mode).c_str());
    if (file == nullptr) return nullptr;
    // A device (a serial port, a console), a pipe: a read may wait forever.
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the C runtime's handle
    const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        (void)std::fclose(file);
        return nullptr;
    }
    return file;
}

bool removeFile(const char* path) {
    return path != nullptr && DeleteFileW(wideFromShiftJis(path).c_str()) != FALSE;
}

}  // namespace

ProgramFolder enterProgramFolder() {
    ProgramFolder found;
    // Long paths: grow the buffer until the whole path fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD capacity = static_cast<DWORD>(path.size());
        const DWORD length = GetModuleFileNameW(nullptr, &path[0], capacity);
        if (length == 0) return found;
        if (length < capacity) {
            path.resize(length);
            break;
        }
        if (path.size() >= 32768) return found;
        path.resize(path.size() * 2);
    }
    found.executable = path;
    const std::size_t slash = path.find_last_of(L"\\/");
    if (slash == std::wstring::npos) return found;
    // Fails for a folder of MAX_PATH characters or more (the program does
    // not declare itself long-path aware: that takes a system setting too).
    if (SetCurrentDirectoryW(path.substr(0, slash + 1).c_str()) == FALSE) return found;
    bool exact = false;
    const std::string name = shiftJisFromWide(path.substr(slash + 1), &exact);
    // A renamed executable whose name Shift_JIS cannot write keeps the
    // usual save file name.
    found.programName = exact && name.size() > 3 ? name : "quorrin.exe";
    return found;
}

PlatformHooks windowsPlatform(const std::string& programName) {
    installedProgramName() = programName;
    return PlatformHooks{executablePath, listCollectionFiles, replaceFile, openFile, removeFile};
}

}  // namespace win32
}  // namespace quorrin
