// The one place where the program's Shift_JIS texts meet the system's
// UTF-16. Inside, every text and file name is Shift_JIS (code page 932);
// the Windows layer hands the system only wide strings, converted here
// with code page 932 explicitly, so the game shows and opens the same
// whatever code page the system runs with (1252, 65001 or 932).
#pragma once

#include <string>

namespace quorrin {
namespace win32 {

// Shift_JIS bytes to UTF-16. A byte sequence code page 932 does not define
// comes out as the system's default character for it.
std::wstring wideFromShiftJis(const std::string& text);

// UTF-16 to Shift_JIS. exact, when given, is false if a character has no
// Shift_JIS form (it then comes out as '?', never as a look-alike): such a
// text cannot name anything the game can find again.
std::string shiftJisFromWide(const std::wstring& text, bool* exact = nullptr);

}  // namespace win32
}  // namespace quorrin
