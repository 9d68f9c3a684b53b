#include "test_outlines.h"

#include <cmath>

namespace quorrin {
namespace testing {

void OutlineBuilder::beginOutline() {
    start_.push_back(static_cast<std::int32_t>(xTop_.size()));
}

void OutlineBuilder::addContour(const std::vector<Point>& corners) {
    if (start_.empty()) beginOutline();
    for (std::size_t i = 0; i < corners.size(); ++i) {
        Point a = corners[i];
        Point b = corners[(i + 1) % corners.size()];
        if (a.y == b.y) continue;
        const std::int8_t direction = b.y < a.y ? 1 : -1;
        if (b.y < a.y) std::swap(a, b);
        const double slope =
            4096.0 * (static_cast<double>(b.x) - a.x) / (static_cast<double>(b.y) - a.y);
        xTop_.push_back(a.x);
        yTop_.push_back(a.y);
        yBottom_.push_back(b.y);
        inverseSlope_.push_back(static_cast<std::int32_t>(std::lround(slope)));
        direction_.push_back(direction);
    }
}

void OutlineBuilder::addRect(std::int32_t x0, std::int32_t y0, std::int32_t x1, std::int32_t y1,
                             bool reversed) {
    if (reversed)
        addContour({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
    else
        addContour({{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}});
}

const OutlineSet& OutlineBuilder::finish(int outlines) {
    while (static_cast<int>(start_.size()) < outlines) beginOutline();
    start_.push_back(static_cast<std::int32_t>(xTop_.size()));
    // Keep the arrays non-empty so that their data pointers are valid.
    xTop_.reserve(1);
    yTop_.reserve(1);
    yBottom_.reserve(1);
    inverseSlope_.reserve(1);
    direction_.reserve(1);
    set_ = OutlineSet{xTop_.data(),
                      yTop_.data(),
                      yBottom_.data(),
                      inverseSlope_.data(),
                      direction_.data(),
                      start_.data(),
                      static_cast<int>(xTop_.size())};
    return set_;
}

}  // namespace testing
}  // namespace quorrin
