// What the portable code asks of the operating system, done with Win32: the
// executable's path, the collection files of a folder, replacing a file,
// and the bitmaps among the program's resources.
#pragma once

#include <windows.h>

#include "screen/bitmap.h"
#include "store/platform.h"

namespace quorrin {
namespace win32 {

PlatformHooks windowsPlatform();

// Reads the bitmap resources (RT_BITMAP) of the module.
BitmapLoader resourceBitmapLoader(HINSTANCE instance);

}  // namespace win32
}  // namespace quorrin
