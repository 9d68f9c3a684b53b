// The colours of the glyph sheet. Every colour is a byte triple in the order
// blue, green, red, the order in which the sheet stores its pixels.
#pragma once

#include <cstdint>

namespace quorrin {

struct GlyphColour {
    std::uint8_t blue;
    std::uint8_t green;
    std::uint8_t red;

    friend constexpr bool operator==(const GlyphColour& a, const GlyphColour& b) {
        return a.blue == b.blue && a.green == b.green && a.red == b.red;
    }
    friend constexpr bool operator!=(const GlyphColour& a, const GlyphColour& b) {
        return !(a == b);
    }
};

constexpr GlyphColour White{255, 255, 255};      // background, transparent on the board
constexpr GlyphColour DotGrey{88, 87, 91};       // the dots
constexpr GlyphColour Ink{38, 38, 38};           // lines, crosses, clues still short of lines
constexpr GlyphColour TrialGreen{71, 176, 112};  // the mark of the trial origin edge
constexpr GlyphColour HoverGrey{128, 128, 128};  // the mark or disc of the hovered edge
constexpr GlyphColour OverOrange{39, 127, 255};  // clues with too many lines
constexpr GlyphColour ExactPale{174, 198, 191};  // clues with exactly enough lines

}  // namespace quorrin
