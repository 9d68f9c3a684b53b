// What the portable code asks of the operating system, done with Win32: the
// executable's name, the collection files of its folder, opening, replacing
// and removing files, and the bitmaps among the program's resources.
//
// Every name goes to the system through the wide API, converted from
// Shift_JIS with code page 932. The program's own folder may have a name
// code page 932 cannot write (a "Zoë" in it), so the portable code never
// sees it: at start-up the folder becomes the working directory, and the
// game names its files (the save file, the collections) by their bare names.
#pragma once

#include <windows.h>

#include "screen/bitmap.h"
#include "store/platform.h"

namespace quorrin {
namespace win32 {

// Makes the executable's folder the working directory and remembers the
// executable's file name for the hooks. False when the folder is unknown or
// cannot be entered.
bool enterProgramFolder();

PlatformHooks windowsPlatform();

// Reads the bitmap resources (RT_BITMAP) of the module.
BitmapLoader resourceBitmapLoader(HINSTANCE instance);

}  // namespace win32
}  // namespace quorrin
