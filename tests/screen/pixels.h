// Pixel access for the screen tests: colours in the surfaces' byte order.
#pragma once

#include <cstdint>

#include "screen/surface.h"

namespace quorrin::testing {

struct Colour {
    std::uint8_t b, g, r;
    bool operator==(const Colour& o) const { return b == o.b && g == o.g && r == o.r; }
    bool operator!=(const Colour& o) const { return !(*this == o); }
};

constexpr Colour kWhite{255, 255, 255};

inline Colour pixelAt(const Surface& s, int x, int y) {
    const std::uint8_t* p = s.row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

inline void setPixel(Surface& s, int x, int y, Colour c) {
    std::uint8_t* p = s.row(y) + 3 * x;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

}  // namespace quorrin::testing
