// What each of the 53 glyphs of the sheet is made of: a base layer (or none,
// for a pure white glyph) and up to two overlay layers, each an outline and a
// colour. Glyphs 0 to 40 draw a grid dot with the marks of its two edges
// (plain, trial origin, hovered); glyphs 41 to 52 draw the clue digits.
#pragma once

#include <cstdint>

#include "glyphs/glyph_palette.h"
#include "glyphs/outline_set.h"

namespace quorrin {

constexpr int kGlyphCount = 53;
constexpr int kLayersPerGlyph = 3;  // base, layer 1, layer 2

struct GlyphRecipes {
    std::int8_t baseOutline[kGlyphCount];
    GlyphColour baseColour[kGlyphCount];
    std::int8_t layer1Outline[kGlyphCount];
    GlyphColour layer1Colour[kGlyphCount];
    std::int8_t layer2Outline[kGlyphCount];
    GlyphColour layer2Colour[kGlyphCount];
};

const GlyphRecipes& glyphRecipes();

// Glyph numbers as the board drawing selects them.
constexpr int kGlyphTrialDown = 8;    // + vertex code: trial origin is the down edge
constexpr int kGlyphTrialRight = 14;  // + vertex code: trial origin is the right edge
constexpr int kGlyphHoverDown = 23;   // + vertex code: the down edge is hovered
constexpr int kGlyphHoverRight = 32;  // + vertex code: the right edge is hovered
constexpr int kGlyphClue = 41;        // + clue state byte

}  // namespace quorrin
