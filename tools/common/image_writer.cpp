#include "image_writer.h"

#include <cstddef>
#include <fstream>
#include <vector>

#include <png.h>

namespace quorrin {
namespace {

void put16(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v & 0xFF));
    out.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
}
void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}
bool saveFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream f(path, std::ios::binary);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(f);
}

}  // namespace

bool writeBmp24(const std::string& path, int width, int height, int stride,
                const std::uint8_t* pixels) {
    if (width <= 0 || height <= 0 || pixels == nullptr || stride < 3 * width) return false;
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * 3 + 3) & ~3u;
    const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
    std::vector<std::uint8_t> out;
    out.push_back('B');
    out.push_back('M');
    put32(out, 54 + imageBytes);
    put32(out, 0);
    put32(out, 54);
    put32(out, 40);
    put32(out, static_cast<std::uint32_t>(width));
    put32(out, static_cast<std::uint32_t>(-height));  // top-down rows
    put16(out, 1);
    put16(out, 24);
    put32(out, 0);
    put32(out, imageBytes);
    put32(out, 2835);
    put32(out, 2835);
    put32(out, 0);
    put32(out, 0);
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * stride;
        out.insert(out.end(), row, row + 3 * width);
        out.resize(out.size() + (rowBytes - 3 * static_cast<std::uint32_t>(width)), 0);
    }
    return saveFile(path, out);
}

bool writePng24(const std::string& path, int width, int height, int stride,
                const std::uint8_t* pixels) {
    if (width <= 0 || height <= 0 || pixels == nullptr || stride < 3 * width) return false;
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = static_cast<png_uint_32>(width);
    image.height = static_cast<png_uint_32>(height);
    image.format = PNG_FORMAT_BGR;
    // One byte a component, so the row stride in components is the one in bytes.
    const bool written =
        png_image_write_to_file(&image, path.c_str(), 0, pixels, stride, nullptr) != 0;
    png_image_free(&image);
    return written;
}

bool writeImage24(const std::string& path, int width, int height, int stride,
                  const std::uint8_t* pixels) {
    const bool png = path.size() >= 4 && (path.compare(path.size() - 4, 4, ".png") == 0 ||
                                          path.compare(path.size() - 4, 4, ".PNG") == 0);
    return png ? writePng24(path, width, height, stride, pixels)
               : writeBmp24(path, width, height, stride, pixels);
}

}  // namespace quorrin
