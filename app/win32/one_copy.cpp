#include "app/win32/one_copy.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace quorrin {
namespace win32 {

namespace {

// Where the holder's lock lies: one byte far past the end of any executable,
// so that no read of the program itself ever meets it.
constexpr DWORD kLockOffsetLow = 0xFFFFFFFFu;

// The name of the block through which the holder tells its process number:
// made from the executable file's identity (volume and file index), so
// that every path to the file finds it, in the session's namespace.
std::wstring blockName(const BY_HANDLE_FILE_INFORMATION& file) {
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const DWORD part : {file.dwVolumeSerialNumber, file.nFileIndexHigh, file.nFileIndexLow}) {
        for (int shift = 0; shift < 32; shift += 8) {
            hash = (hash ^ ((part >> shift) & 0xFFu)) * 1099511628211ull;
        }
    }
    static const wchar_t kHex[] = L"0123456789abcdef";
    std::wstring name = L"Local\\quorrin-";
    for (int shift = 60; shift >= 0; shift -= 4) name += kHex[(hash >> shift) & 0xFu];
    return name;
}

struct WindowSearch {
    DWORD process = 0;
    HWND found = nullptr;
};

// The visible top-level window of the process that takes input: while a
// dialog or a message box is up, that one, not the disabled main window.
BOOL CALLBACK considerWindow(HWND window, LPARAM lParam) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): the search passed by EnumWindows
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner != search->process || IsWindowVisible(window) == FALSE) return TRUE;
    if (search->found == nullptr || IsWindowEnabled(search->found) == FALSE) {
        search->found = window;
    }
    return TRUE;
}

void bringToFront(DWORD process) {
    WindowSearch search;
    search.process = process;
    EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found == nullptr) return;
    const HWND owner = GetWindow(search.found, GW_OWNER);
    if (owner != nullptr && IsIconic(owner) != FALSE) ShowWindow(owner, SW_RESTORE);
    if (IsIconic(search.found) != FALSE) ShowWindow(search.found, SW_RESTORE);
    SetForegroundWindow(search.found);
}

}  // namespace

bool claimProgram(const std::wstring& executable) {
    // The handle stays open, and the lock held, for the life of the process.
    const HANDLE program = CreateFileW(executable.c_str(), GENERIC_READ,
                                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (program == INVALID_HANDLE_VALUE) return true;  // nothing to lock: play
    BY_HANDLE_FILE_INFORMATION file = {};
    const bool known = GetFileInformationByHandle(program, &file) != FALSE;
    OVERLAPPED at = {};
    at.Offset = kLockOffsetLow;
    const bool held = LockFileEx(program, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1,
                                 0, &at) != FALSE;
    const bool taken = !held && GetLastError() == ERROR_LOCK_VIOLATION;
    if (!held && !taken) {
        CloseHandle(program);
        return true;  // a file system without locks: play unguarded
    }
    if (!known) return held;
    if (held) {
        // Tell later starts whose window to bring forward.
        const HANDLE block = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                                sizeof(DWORD), blockName(file).c_str());
        if (block == nullptr) return true;
        auto* holder =
            static_cast<volatile DWORD*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
        if (holder != nullptr) *holder = GetCurrentProcessId();
        return true;  // the block stays open for the life of the process
    }
    // The running copy makes the block right after taking the lock; it may
    // be another user's, or on another PC, and then never comes.
    for (int wait = 0; wait < 50; ++wait) {
        const HANDLE block = OpenFileMappingW(FILE_MAP_READ, FALSE, blockName(file).c_str());
        if (block != nullptr) {
            const auto* holder = static_cast<const volatile DWORD*>(
                MapViewOfFile(block, FILE_MAP_READ, 0, 0, sizeof(DWORD)));
            const DWORD process = holder != nullptr ? *holder : 0;
            if (holder != nullptr) UnmapViewOfFile(const_cast<const DWORD*>(holder));
            CloseHandle(block);
            if (process != 0) {
                bringToFront(process);
                break;
            }
        }
        Sleep(20);
    }
    CloseHandle(program);
    return false;
}

}  // namespace win32
}  // namespace quorrin
