// The few services of the operating system the store needs. The defaults use
// the standard library only; the Windows layer installs its own versions at
// start-up, and tests install versions that point into temporary folders.
#pragma once

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

namespace quorrin {

struct PlatformHooks {
    // Full path of the running executable into buffer, NUL-terminated.
    // False when it is unknown or does not fit.
    bool (*executablePath)(char* buffer, std::size_t size);
    // Names (without folder) of the files in folder that may be collections
    // (at least those whose names end in ".dat"; the store picks the
    // collections among them), sorted byte by byte. folder is empty or ends
    // with its separator; empty means the current folder.
    bool (*listCollectionFiles)(const char* folder, std::vector<std::string>& names);
    // Replace target by source in one step; on success source is gone and
    // target holds its content, on failure target is unchanged.
    bool (*replaceFile)(const char* source, const char* target);
    // Open a file as std::fopen does. Paths are Shift_JIS like every name in
    // the program; the Windows layer opens them through the wide API, so
    // that they name the same file whatever the system's code page, and
    // opens nothing but disk files (no device, pipe or console).
    std::FILE* (*openFile)(const char* path, const char* mode);
    // Remove a file; false when it could not be removed.
    bool (*removeFile)(const char* path);
};

// The hooks in use; assign to change them.
PlatformHooks& platform();
// The standard-library versions.
PlatformHooks defaultPlatform();

}  // namespace quorrin
