// What the portable code asks of the operating system, done with Win32: the
// executable's name, the collection files of its folder, opening, replacing
// and removing files. (The console tools use them too.)
//
// Every name goes to the system through the wide API, converted from
// Shift_JIS with code page 932. The program's own folder may have a name
// code page 932 cannot write (a "Zoë" in it), so the portable code never
// sees it: at start-up the folder becomes the working directory, and the
// game names its files (the save file, the collections) by their bare names.
#pragma once

#include <string>

#include "store/platform.h"

namespace quorrin {
namespace win32 {

// What start-up finds of the program: its full path, and, once its folder
// is the working directory, its file name as the game sees it (Shift_JIS,
// no folder).
struct ProgramFolder {
    std::wstring executable;  // empty when unknown
    std::string programName;  // empty when the folder could not be entered
};

// Makes the executable's folder the working directory.
ProgramFolder enterProgramFolder();

// The hooks, their executable's path the program's name in the working
// directory.
PlatformHooks windowsPlatform(const std::string& programName);

}  // namespace win32
}  // namespace quorrin
