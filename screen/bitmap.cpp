#include "screen/bitmap.h"

#include <cstring>
#include <fstream>
#include <utility>
#include <vector>

namespace quorrin {

namespace {

constexpr std::size_t kFileHeaderSize = 14;
constexpr std::size_t kInfoHeaderSize = 40;
// No bitmap of ours comes near this; larger files are not read at all.
constexpr std::uint64_t kMaxFileSize = std::uint64_t{1} << 28;

std::uint32_t readU32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
           static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

std::uint16_t readU16(const std::uint8_t* p) {
    return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

std::int64_t readI32(const std::uint8_t* p) {
    const std::uint32_t u = readU32(p);
    return u >= 0x80000000u ? static_cast<std::int64_t>(u) - (std::int64_t{1} << 32)
                            : static_cast<std::int64_t>(u);
}

// The bitmap whose info header starts at data[infoAt] and whose pixels start
// at data[pixelsAt], or, when pixelsAt is 0, right after the header and its
// colour table.
bool readBitmap(const std::uint8_t* data, std::size_t size, std::size_t infoAt,
                std::uint64_t pixelsAt, Surface& out) {
    out.release();
    if (data == nullptr || infoAt > size || size - infoAt < kInfoHeaderSize) return false;
    const std::uint8_t* info = data + infoAt;
    const std::uint32_t headerSize = readU32(info);
    if (headerSize != 40 && headerSize != 108 && headerSize != 124) return false;
    if (size - infoAt < headerSize) return false;
    const std::int64_t width = readI32(info + 4);
    const std::int64_t signedHeight = readI32(info + 8);
    const std::uint16_t planes = readU16(info + 12);
    const std::uint16_t bitCount = readU16(info + 14);
    const std::uint32_t compression = readU32(info + 16);
    const std::uint32_t coloursUsed = readU32(info + 32);
    const bool topDown = signedHeight < 0;
    const std::int64_t height = topDown ? -signedHeight : signedHeight;
    if (width <= 0 || width > kMaxSurfaceSide || height <= 0 || height > kMaxSurfaceSide)
        return false;
    if (planes != 1 || bitCount != 24 || compression != 0) return false;

    if (pixelsAt == 0)
        pixelsAt = infoAt + std::uint64_t{headerSize} + std::uint64_t{coloursUsed} * 4u;
    if (pixelsAt < infoAt + headerSize || pixelsAt > size) return false;
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(surfaceRowBytes(width));
    const std::uint64_t pixelBytes = static_cast<std::uint64_t>(width) * 3u;
    // Every row but the last with its padding, the last at least up to its
    // final pixel.
    const std::uint64_t needed = rowBytes * static_cast<std::uint64_t>(height - 1) + pixelBytes;
    if (size - pixelsAt < needed) return false;

    if (!out.create(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height)))
        return false;
    const std::uint8_t* pixels = data + pixelsAt;
    for (std::int32_t y = 0; y < out.height; ++y) {
        const std::int64_t fileRow = topDown ? y : height - 1 - y;
        std::uint8_t* dst = out.row(y);
        // Both fit in size_t: they lie within the data checked above.
        std::memcpy(
            dst, pixels + static_cast<std::size_t>(static_cast<std::uint64_t>(fileRow) * rowBytes),
            static_cast<std::size_t>(pixelBytes));
        std::memset(dst + pixelBytes, 0, static_cast<std::size_t>(rowBytes - pixelBytes));
    }
    return true;
}

}  // namespace

bool readPackedBitmap(const std::uint8_t* data, std::size_t size, Surface& out) {
    return readBitmap(data, size, 0, 0, out);
}

bool readBitmapFile(const char* path, Surface& out) {
    out.release();
    if (path == nullptr) return false;
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    file.seekg(0, std::ios::end);
    const std::streamoff end = file.tellg();
    if (end < 0 || static_cast<std::uint64_t>(end) > kMaxFileSize) return false;
    file.seekg(0, std::ios::beg);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(end));
    if (!bytes.empty() &&
        !file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(end)))
        return false;
    if (bytes.size() < kFileHeaderSize + kInfoHeaderSize || bytes[0] != 'B' || bytes[1] != 'M')
        return false;
    const std::uint32_t pixelOffset = readU32(bytes.data() + 10);
    if (pixelOffset == 0) return false;
    return readBitmap(bytes.data(), bytes.size(), kFileHeaderSize, pixelOffset, out);
}

BitmapLoader folderBitmapLoader(const std::string& folder) {
    return [folder](int resourceId, Surface& out) {
        const char* name = resourceId == kButtonBitmapId  ? "buttons.bmp"
                           : resourceId == kClockBitmapId ? "clock.bmp"
                                                          : nullptr;
        if (name == nullptr) {
            out.release();
            return false;
        }
        std::string path = folder;
        if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
        path += name;
        return readBitmapFile(path.c_str(), out);
    };
}

}  // namespace quorrin
