// Writes 24-bit pixel buffers (rows top down, bytes blue, green, red) as
// uncompressed BMP files or, through libpng, PNG files. For developer tools.
#pragma once

#include <cstdint>
#include <string>

namespace quorrin {

// `pixels` holds `height` rows of `stride` bytes; each row starts with
// `width` pixels of three bytes, blue, green, red. Returns false if the file
// cannot be written.
bool writeBmp24(const std::string& path, int width, int height, int stride,
                const std::uint8_t* pixels);
bool writePng24(const std::string& path, int width, int height, int stride,
                const std::uint8_t* pixels);

// Picks the format by the file name's ending (".png", otherwise BMP).
bool writeImage24(const std::string& path, int width, int height, int stride,
                  const std::uint8_t* pixels);

}  // namespace quorrin
