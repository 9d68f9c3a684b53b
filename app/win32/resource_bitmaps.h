// The bitmaps among the program's resources, for the screen.
#pragma once

#include <windows.h>

#include "screen/bitmap.h"

namespace quorrin {
namespace win32 {

// Reads the bitmap resources (RT_BITMAP) of the module.
BitmapLoader resourceBitmapLoader(HINSTANCE instance);

}  // namespace win32
}  // namespace quorrin
