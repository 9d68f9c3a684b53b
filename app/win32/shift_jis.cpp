#include "app/win32/shift_jis.h"

#include <windows.h>

#include <climits>

namespace quorrin {
namespace win32 {

namespace {
constexpr UINT kShiftJis = 932;
}

std::wstring wideFromShiftJis(const std::string& text) {
    if (text.empty() || text.size() > INT_MAX) return std::wstring();
    const int bytes = static_cast<int>(text.size());
    const int length = MultiByteToWideChar(kShiftJis, 0, text.data(), bytes, nullptr, 0);
    if (length <= 0) return std::wstring();
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(kShiftJis, 0, text.data(), bytes, &wide[0], length);
    return wide;
}

std::string shiftJisFromWide(const std::wstring& text, bool* exact) {
    if (exact != nullptr) *exact = true;
    if (text.empty() || text.size() > INT_MAX) return std::string();
    const int chars = static_cast<int>(text.size());
    // No best fit: "ë" must not turn into "e" and name another file.
    const DWORD flags = WC_NO_BEST_FIT_CHARS;
    const int length =
        WideCharToMultiByte(kShiftJis, flags, text.data(), chars, nullptr, 0, nullptr, nullptr);
    if (length <= 0) {
        if (exact != nullptr) *exact = false;
        return std::string();
    }
    std::string narrow(static_cast<std::size_t>(length), '\0');
    BOOL usedDefault = FALSE;
    WideCharToMultiByte(kShiftJis, flags, text.data(), chars, &narrow[0], length, nullptr,
                        &usedDefault);
    if (exact != nullptr) *exact = usedDefault == FALSE;
    return narrow;
}

}  // namespace win32
}  // namespace quorrin
