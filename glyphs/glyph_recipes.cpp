#include "glyphs/glyph_recipes.h"

namespace quorrin {
namespace {

constexpr std::int8_t kNo = static_cast<std::int8_t>(kNoOutline);
constexpr std::int8_t kDot = OutlineDot;
constexpr std::int8_t kLD = OutlineLineDown;
constexpr std::int8_t kLR = OutlineLineRight;
constexpr std::int8_t kCD = OutlineCrossDown;
constexpr std::int8_t kCR = OutlineCrossRight;
constexpr std::int8_t kDD = OutlineDiscDown;
constexpr std::int8_t kDR = OutlineDiscRight;
constexpr std::int8_t kD0 = OutlineDigit0;
constexpr std::int8_t kD1 = OutlineDigit1;
constexpr std::int8_t kD2 = OutlineDigit2;
constexpr std::int8_t kD3 = OutlineDigit3;

constexpr GlyphColour kW = White;  // colour of an absent layer
constexpr GlyphColour kG = DotGrey;
constexpr GlyphColour kI = Ink;
constexpr GlyphColour kT = TrialGreen;
constexpr GlyphColour kH = HoverGrey;
constexpr GlyphColour kO = OverOrange;
constexpr GlyphColour kE = ExactPale;

// One row per glyph: base, layer 1, layer 2 (outline, colour each).
struct Row {
    std::int8_t baseOutline;
    GlyphColour baseColour;
    std::int8_t layer1Outline;
    GlyphColour layer1Colour;
    std::int8_t layer2Outline;
    GlyphColour layer2Colour;
};

// clang-format off
constexpr Row kRows[kGlyphCount] = {
    // 0 to 8: vertex code, no highlight
    {kDot, kG, kNo, kW, kNo, kW},  //  0 code 0
    {kDot, kG, kCD, kI, kNo, kW},  //  1 code 1
    {kDot, kG, kLD, kI, kNo, kW},  //  2 code 2
    {kDot, kG, kCR, kI, kNo, kW},  //  3 code 3
    {kDot, kG, kCD, kI, kCR, kI},  //  4 code 4
    {kDot, kG, kLD, kI, kCR, kI},  //  5 code 5
    {kDot, kG, kLR, kI, kNo, kW},  //  6 code 6
    {kDot, kG, kCD, kI, kLR, kI},  //  7 code 7
    {kDot, kG, kLD, kI, kLR, kI},  //  8 code 8
    // 9 to 16: code + 8, the down edge is the trial origin
    {kDot, kG, kCD, kT, kNo, kW},  //  9 code 1
    {kDot, kG, kLD, kT, kNo, kW},  // 10 code 2
    {kNo,  kW, kNo, kW, kNo, kW},  // 11 never selected
    {kDot, kG, kCD, kT, kCR, kI},  // 12 code 4
    {kDot, kG, kLD, kT, kCR, kI},  // 13 code 5
    {kNo,  kW, kNo, kW, kNo, kW},  // 14 never selected
    {kDot, kG, kCD, kT, kLR, kI},  // 15 code 7
    {kDot, kG, kLD, kT, kLR, kI},  // 16 code 8
    // 17 to 22: code + 14, the right edge is the trial origin
    {kDot, kG, kCR, kT, kNo, kW},  // 17 code 3
    {kDot, kG, kCD, kI, kCR, kT},  // 18 code 4
    {kDot, kG, kLD, kI, kCR, kT},  // 19 code 5
    {kDot, kG, kLR, kT, kNo, kW},  // 20 code 6
    {kDot, kG, kCD, kI, kLR, kT},  // 21 code 7
    {kDot, kG, kLD, kI, kLR, kT},  // 22 code 8
    // 23 to 31: code + 23, the down edge is hovered
    {kDot, kG, kDD, kH, kNo, kW},  // 23 code 0
    {kDot, kG, kCD, kH, kNo, kW},  // 24 code 1
    {kDot, kG, kLD, kH, kNo, kW},  // 25 code 2
    {kDot, kG, kCR, kI, kDD, kH},  // 26 code 3
    {kDot, kG, kCD, kH, kCR, kI},  // 27 code 4
    {kDot, kG, kLD, kH, kCR, kI},  // 28 code 5
    {kDot, kG, kLR, kI, kDD, kH},  // 29 code 6
    {kDot, kG, kCD, kH, kLR, kI},  // 30 code 7
    {kDot, kG, kLD, kH, kLR, kI},  // 31 code 8
    // 32 to 40: code + 32, the right edge is hovered
    {kDot, kG, kDR, kH, kNo, kW},  // 32 code 0
    {kDot, kG, kCD, kI, kDR, kH},  // 33 code 1
    {kDot, kG, kLD, kI, kDR, kH},  // 34 code 2
    {kDot, kG, kCR, kH, kNo, kW},  // 35 code 3
    {kDot, kG, kCD, kI, kCR, kH},  // 36 code 4
    {kDot, kG, kLD, kI, kCR, kH},  // 37 code 5
    {kDot, kG, kLR, kH, kNo, kW},  // 38 code 6
    {kDot, kG, kCD, kI, kLR, kH},  // 39 code 7
    {kDot, kG, kLD, kI, kLR, kH},  // 40 code 8
    // 41 to 52: clue digits, under / over / exact
    {kD0, kI, kNo, kW, kNo, kW},   // 41 clue 0 under
    {kD1, kI, kNo, kW, kNo, kW},   // 42 clue 1 under
    {kD2, kI, kNo, kW, kNo, kW},   // 43 clue 2 under
    {kD3, kI, kNo, kW, kNo, kW},   // 44 clue 3 under
    {kD0, kO, kNo, kW, kNo, kW},   // 45 clue 0 over
    {kD1, kO, kNo, kW, kNo, kW},   // 46 clue 1 over
    {kD2, kO, kNo, kW, kNo, kW},   // 47 clue 2 over
    {kD3, kO, kNo, kW, kNo, kW},   // 48 clue 3 over
    {kD0, kE, kNo, kW, kNo, kW},   // 49 clue 0 exact
    {kD1, kE, kNo, kW, kNo, kW},   // 50 clue 1 exact
    {kD2, kE, kNo, kW, kNo, kW},   // 51 clue 2 exact
    {kD3, kE, kNo, kW, kNo, kW},   // 52 clue 3 exact
};
// clang-format on

GlyphRecipes makeRecipes() {
    GlyphRecipes r{};
    for (int g = 0; g < kGlyphCount; ++g) {
        r.baseOutline[g] = kRows[g].baseOutline;
        r.baseColour[g] = kRows[g].baseColour;
        r.layer1Outline[g] = kRows[g].layer1Outline;
        r.layer1Colour[g] = kRows[g].layer1Colour;
        r.layer2Outline[g] = kRows[g].layer2Outline;
        r.layer2Colour[g] = kRows[g].layer2Colour;
    }
    return r;
}

}  // namespace

const GlyphRecipes& glyphRecipes() {
    static const GlyphRecipes recipes = makeRecipes();
    return recipes;
}

}  // namespace quorrin
