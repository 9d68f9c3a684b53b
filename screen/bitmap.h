// Reading 24-bit bitmaps into surfaces: the packed form that the program's
// resources hold (an info header followed by the pixels) and the .bmp file
// form (a 14-byte file header in front of it).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "screen/surface.h"

namespace quorrin {

// Resource numbers of the two bitmaps the screen draws with.
constexpr int kButtonBitmapId = 129;  // toolbar button faces, 900 x 30
constexpr int kClockBitmapId = 131;   // clock digits and clear banner, 293 x 106

// Read a packed bitmap: a BITMAPINFOHEADER (40 bytes; the 108- and 124-byte
// versions are also taken), an optional colour table of biClrUsed entries,
// then uncompressed 24-bit pixels, rows padded to 4 bytes, bottom-up for a
// positive height and top-down for a negative one. False, and `out` left
// empty, for anything else or for data that ends early.
bool readPackedBitmap(const std::uint8_t* data, std::size_t size, Surface& out);

// Read a .bmp file: the file header, then a packed bitmap whose pixels start
// at the file header's pixel offset.
bool readBitmapFile(const char* path, Surface& out);

// Where the screen gets its resource bitmaps from: fills `out` with the
// bitmap of the given resource number and returns whether it could.
using BitmapLoader = std::function<bool(int resourceId, Surface& out)>;

// A loader that reads the bitmaps from files in a folder: buttons.bmp for
// the button faces and clock.bmp for the clock sheet.
BitmapLoader folderBitmapLoader(const std::string& folder);

}  // namespace quorrin
