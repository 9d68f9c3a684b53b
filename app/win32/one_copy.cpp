#include "app/win32/one_copy.h"

#include <windows.h>

#include <cstdint>
#include <string>

namespace quorrin {
namespace win32 {

namespace {

// The name of the claim: a hash of the folder's full path, upper case (file
// names ignore case), in the session's namespace. Object names cannot hold
// the path itself (no backslashes, limited length).
std::wstring claimName() {
    std::wstring folder(MAX_PATH, L'\0');
    DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), &folder[0]);
    if (length >= folder.size()) {
        folder.resize(length);
        length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), &folder[0]);
    }
    folder.resize(length < folder.size() ? length : 0);
    if (!folder.empty()) CharUpperBuffW(&folder[0], static_cast<DWORD>(folder.size()));
    std::uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const wchar_t c : folder) {
        hash = (hash ^ static_cast<std::uint16_t>(c)) * 1099511628211ull;
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

bool claimProgramFolder() {
    // A small shared block named after the folder: whoever makes it holds
    // the folder and writes its process number there.
    const HANDLE block = CreateFileMappingW(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                            sizeof(DWORD), claimName().c_str());
    if (block == nullptr) return true;  // nothing to coordinate with: play
    const bool first = GetLastError() != ERROR_ALREADY_EXISTS;
    auto* holder =
        static_cast<volatile DWORD*>(MapViewOfFile(block, FILE_MAP_WRITE, 0, 0, sizeof(DWORD)));
    if (first) {
        if (holder != nullptr) *holder = GetCurrentProcessId();
        return true;  // the handle stays open for the life of the process
    }
    if (holder != nullptr) {
        // The running copy writes its number right after making the block.
        for (int wait = 0; wait < 50 && *holder == 0; ++wait) Sleep(20);
        if (*holder != 0) bringToFront(*holder);
    }
    return false;
}

}  // namespace win32
}  // namespace quorrin
