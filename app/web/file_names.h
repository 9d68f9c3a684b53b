// File names in the page's file system. The game names its files in
// Shift_JIS, as on Windows; the page's file system names them in Unicode.
// So that every Shift_JIS name, also one no Unicode text could carry
// unchanged, survives the trip, the page's file system holds each name in
// an ASCII form: bytes from 0x21 to 0x7E stand as they are, except '%',
// '/' and '\' (a Shift_JIS name may have 0x5C as the second byte of a
// character); every other byte is %XX (two upper-case hex digits).
#pragma once

#include <string>

#include "store/platform.h"

namespace quorrin {
namespace web {

std::string storedName(const std::string& shiftJis);
// The Shift_JIS name of a stored name; false when it is not one that
// storedName makes (a stray file of the page's file system).
bool shiftJisName(const std::string& stored, std::string& shiftJis);

// The same for a path: the folder (up to the last '/') stays as it is,
// the name after it is converted.
std::string storedPath(const std::string& shiftJisPath);

// The hooks of the page's file system: the game's files lie in folder
// (ending in '/'), the executable is folder + "quorrin.exe". onWritten is
// called with the Shift_JIS path of every file that replaceFile has just put
// in place (the save file), null for none.
PlatformHooks pagePlatform(const std::string& folder, void (*onWritten)(const char* path));

}  // namespace web
}  // namespace quorrin
