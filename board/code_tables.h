// Constant facts about vertex codes, indexed by the code 0..8.
#pragma once

#include <cstdint>

namespace quorrin {
namespace codes {

constexpr std::uint8_t kCount = 9;

constexpr std::uint8_t kRightState[kCount] = {0, 0, 0, 1, 1, 1, 2, 2, 2};
constexpr std::uint8_t kDownState[kCount] = {0, 1, 2, 0, 1, 2, 0, 1, 2};
constexpr std::uint8_t kLines[kCount] = {0, 0, 1, 0, 0, 1, 1, 1, 2};
constexpr std::uint8_t kCrosses[kCount] = {0, 1, 0, 1, 2, 1, 0, 1, 0};
constexpr std::uint8_t kRightLine[kCount] = {0, 0, 0, 0, 0, 0, 1, 1, 1};
constexpr std::uint8_t kDownLine[kCount] = {0, 0, 1, 0, 0, 1, 0, 0, 1};
constexpr std::uint8_t kRightCross[kCount] = {0, 0, 0, 1, 1, 1, 0, 0, 0};
constexpr std::uint8_t kDownCross[kCount] = {0, 1, 0, 0, 1, 0, 0, 1, 0};

// Left click: Empty -> Line -> Cross -> Empty on one component.
constexpr std::uint8_t kRightStep[kCount] = {6, 7, 8, 0, 1, 2, 3, 4, 5};
constexpr std::uint8_t kDownStep[kCount] = {2, 0, 1, 5, 3, 4, 8, 6, 7};
// Right click (and a refused Line): Empty -> Cross, Cross -> Empty, Line -> Empty.
constexpr std::uint8_t kRightToCross[kCount] = {3, 4, 5, 0, 1, 2, 0, 1, 2};
constexpr std::uint8_t kDownToCross[kCount] = {1, 0, 0, 4, 3, 3, 7, 6, 6};

// The solution walk marks a visited vertex by adding this to its code.
constexpr std::uint8_t kWalkMark = 9;

}  // namespace codes
}  // namespace quorrin
