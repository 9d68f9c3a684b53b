// The pair rules of the loop solver (see processCell and processDot in
// solver_rules) as tables of what they do from what they read, made at
// compile time from the rules' arithmetic: a cell's corner and a dot's
// quadrant each cost a lookup instead of counting and comparing bounds, and
// most lookups say "nothing to do".
#pragma once

#include <cstdint>

#include "solver_impl.h"

namespace quorrin {
namespace detail {

// A dot's pair rules (the second half of processDot) read nothing but the
// states of its four edges, up, right, down and left, and its pair facts.
// Most of the time they conclude nothing: a table of those cases (idleDots)
// lets the dot be passed over at the cost of reading its four edges once.
// The key holds two bits per edge (kUnknown, kLine, kCross, or kOffBoard)
// and the facts above them (dotKey).
constexpr unsigned kOffBoard = 3;
constexpr unsigned kDotKeys = 1u << 16;

// The quadrants' edges as indices into the dot's four edges (as quadEdges).
constexpr int kQuadSides[4][2] = {{0, 3}, {0, 1}, {2, 1}, {2, 3}};

// The pair rules of one corner of a cell and of one quadrant of a dot, as
// tables of what they do from what they read: each entry is the rule's
// arithmetic done once. The state a rule reads is read again for every
// corner and quadrant, after whatever the one before changed.
//
// A cell's corner j (cornerRule) reads the clue, the states of the cell's
// two sides at the opposite corner and that pair's facts, and the facts of
// its own pair: entry clue << 8 | side << 6 | side << 4 | facts << 2 |
// facts, facts as bit 0 "at least one", bit 1 "at most one". It does at
// most two things: the first in bits 0-1, the second in bits 2-3.
constexpr std::uint8_t kSetLines = 1;    // first: both sides of its pair lines
constexpr std::uint8_t kSetCrosses = 1;  // second: both crosses
constexpr std::uint8_t kAddFact = 2;     // first: "at least one"; second: "at most one"
// A dot's quadrant q (quadrantRule) reads the states of its two sides
// (kQuadSides order, the board's edge as kOffBoard) and its facts, then the
// same of the opposite quadrant o: entry a | b << 2 | facts << 4 | c << 6 |
// d << 8 | facts << 10. Bits of what it does, in this order:
constexpr std::uint8_t kBad = 1;               // the bounds cross: a contradiction
constexpr std::uint8_t kSetMask = 6;           // the one side undecided set to (bits >> 1)
constexpr std::uint8_t kSecondSide = 8;        // that side is the second, not the first
constexpr std::uint8_t kAtMostOpposite = 16;   // o gets "at most one"
constexpr std::uint8_t kAtLeastOpposite = 32;  // o gets "at least one"
// and bits 6-7: both sides of o set to that value (kLine or kCross).

// Bounds of the lines of a pair of sides in states a and b with the facts.
constexpr void pairBoundsOf(unsigned a, unsigned b, unsigned facts, int& lo, int& hi) {
    const int nl = (a == kLine ? 1 : 0) + (b == kLine ? 1 : 0);
    const int nx = (a >= kCross ? 1 : 0) + (b >= kCross ? 1 : 0);
    lo = (facts & 1u) && nl < 1 ? 1 : nl;
    hi = (facts & 2u) && nx < 1 ? 1 : 2 - nx;
}

// What setting both sides of a pair to val would change (false: nothing).
constexpr bool pairChanges(unsigned a, unsigned b, unsigned val) {
    const auto same = [val](unsigned st) { return val == kLine ? st == kLine : st >= kCross; };
    return !same(a) || !same(b);
}

// processCell's rules at one corner (see above).
constexpr std::uint8_t cornerRule(unsigned i) {
    const int k = static_cast<int>(i >> 8);
    int lo2 = 0, hi2 = 0;
    pairBoundsOf(i >> 6 & 3u, i >> 4 & 3u, i >> 2 & 3u, lo2, hi2);
    const unsigned own = i & 3u;
    const int needLo = k - hi2, needHi = k - lo2;
    unsigned first = 0, second = 0;
    if (needLo >= 2) {
        first = kSetLines;
    } else if (needLo >= 1 && !(own & 1u)) {
        first = kAddFact;
    }
    if (needHi <= 0) {
        second = kSetCrosses;
    } else if (needHi <= 1 && !(own & 2u)) {
        second = kAddFact;
    }
    return static_cast<std::uint8_t>(first | second << 2);
}

// processDot's rules at one quadrant (see above).
constexpr std::uint8_t quadrantRule(unsigned i) {
    const unsigned a = i & 3u, b = i >> 2 & 3u, facts = i >> 4 & 3u;
    const unsigned c = i >> 6 & 3u, d = i >> 8 & 3u, opposite = i >> 10 & 3u;
    int lo = 0, hi = 0;
    pairBoundsOf(a, b, facts, lo, hi);
    if (lo > hi) return kBad;
    const int nl = (a == kLine ? 1 : 0) + (b == kLine ? 1 : 0);
    const int nu = (a == kUnknown ? 1 : 0) + (b == kUnknown ? 1 : 0);
    unsigned act = 0;
    if (nu == 1) {
        // One side of the pair decided: the fact fixes the other.
        const unsigned side = a == kUnknown ? 0 : kSecondSide;
        if (lo >= 1 && nl == 0) {
            act |= side | kLine << 1;
        } else if (hi <= 1 && nl == 1) {
            act |= side | kCross << 1;
        }
    }
    if (lo >= 1 && !(opposite & 2u)) act |= kAtMostOpposite;
    if (lo >= 1 && hi <= 1 && !(opposite & 1u)) act |= kAtLeastOpposite;
    if (hi == 0) {
        int lo2 = 0, hi2 = 0;
        pairBoundsOf(c, d, opposite, lo2, hi2);
        if (lo2 >= 1) {
            if (pairChanges(c, d, kLine)) act |= unsigned{kLine} << 6;
        } else if (hi2 <= 1) {
            if (pairChanges(c, d, kCross)) act |= unsigned{kCross} << 6;
        }
    }
    return static_cast<std::uint8_t>(act);
}

// The entry of quadrant q in quadrant[] is quadrantEdges[q][the dot's key's
// edge bits] | quadrantFacts[q][its fact bits].
struct RuleTables {
    std::uint8_t corner[1u << 10];
    std::uint8_t quadrant[1u << 12];
    std::uint16_t quadrantEdges[4][256];
    std::uint16_t quadrantFacts[4][256];
};

constexpr RuleTables makeRuleTables() {
    RuleTables t{};
    for (unsigned i = 0; i < (1u << 10); ++i) t.corner[i] = cornerRule(i);
    for (unsigned i = 0; i < (1u << 12); ++i) t.quadrant[i] = quadrantRule(i);
    for (int q = 0; q < 4; ++q) {
        const int o = q ^ 2;
        const auto side = [](unsigned bits, int d) { return bits >> (2 * d) & 3u; };
        for (unsigned b = 0; b < 256; ++b) {
            t.quadrantEdges[q][b] = static_cast<std::uint16_t>(
                side(b, kQuadSides[q][0]) | side(b, kQuadSides[q][1]) << 2 |
                side(b, kQuadSides[o][0]) << 6 | side(b, kQuadSides[o][1]) << 8);
            t.quadrantFacts[q][b] = static_cast<std::uint16_t>(side(b, q) << 4 | side(b, o) << 10);
        }
    }
    return t;
}

inline constexpr RuleTables kRules = makeRuleTables();

}  // namespace detail
}  // namespace quorrin
