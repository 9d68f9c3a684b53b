#include "app/win32/resource_bitmaps.h"

#include <cstdint>

#include "res/resource.h"

namespace quorrin {
namespace win32 {

static_assert(IDB_BUTTONS == kButtonBitmapId && IDB_CLOCK == kClockBitmapId,
              "bitmap numbers of the resource script and of the screen differ");

BitmapLoader resourceBitmapLoader(HINSTANCE instance) {
    return [instance](int resourceId, Surface& out) {
        const HRSRC found = FindResourceW(instance, MAKEINTRESOURCEW(resourceId), RT_BITMAP);
        if (found == nullptr) return false;
        const HGLOBAL loaded = LoadResource(instance, found);
        if (loaded == nullptr) return false;
        const void* data = LockResource(loaded);
        const DWORD size = SizeofResource(instance, found);
        if (data == nullptr || size == 0) return false;
        return readPackedBitmap(static_cast<const std::uint8_t*>(data), size, out);
    };
}

}  // namespace win32
}  // namespace quorrin
