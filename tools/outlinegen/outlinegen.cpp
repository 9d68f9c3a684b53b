// Generates glyphs/outline_data.cpp, the edge table of the built-in glyph
// outlines, from shape descriptions: rounded rectangles, rounded bars turned
// by 45 degrees, circles, and the strokes of the clue digits (straight and
// elliptical strokes of even width with round ends).
//
// Usage: outlinegen [output file]   (standard output without an argument)
//
// Shapes are built in floating point here, once, and written out as integer
// fixed-point constants; the game itself never computes them.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kSide = 1458.0;       // glyph side in outline units
constexpr double kStroke = 120.96;     // stroke of the digits
constexpr double kHalf = kStroke / 2;  // half stroke

struct Pt {
    double x;
    double y;
};
Pt operator+(Pt a, Pt b) {
    return {a.x + b.x, a.y + b.y};
}
Pt operator-(Pt a, Pt b) {
    return {a.x - b.x, a.y - b.y};
}
Pt operator*(double s, Pt a) {
    return {s * a.x, s * a.y};
}
double cross(Pt a, Pt b) {
    return a.x * b.y - a.y * b.x;
}
double length(Pt a) {
    return std::sqrt(a.x * a.x + a.y * a.y);
}
Pt unit(Pt a) {
    return (1.0 / length(a)) * a;
}
Pt polar(double degrees) {
    const double t = degrees * kPi / 180.0;
    return {std::cos(t), std::sin(t)};
}

// A closed polygon. Angles grow clockwise on screen (y points down).
using Contour = std::vector<Pt>;

double signedArea(const Contour& c) {
    double a = 0;
    for (std::size_t i = 0; i < c.size(); ++i) a += cross(c[i], c[(i + 1) % c.size()]);
    return a / 2;
}

// Every filled contour runs clockwise on screen (positive area with y down);
// a hole runs the other way.
Contour filled(Contour c) {
    if (signedArea(c) < 0) std::reverse(c.begin(), c.end());
    return c;
}
Contour hole(Contour c) {
    if (signedArea(c) > 0) std::reverse(c.begin(), c.end());
    return c;
}

// Points on an arc around `centre`, from angle `from` to `to` in `segments`
// equal steps, both ends included.
void appendArc(Contour& out, Pt centre, double radius, double from, double to, int segments) {
    for (int j = 0; j <= segments; ++j) {
        const double t = from + (to - from) * j / segments;
        out.push_back(centre + radius * polar(t));
    }
}

// A rectangle with rounded corners, centred on `centre`, `halfLength` along
// the direction `angle` and `halfWidth` across it. segments[k] flattens
// corner k (counted clockwise from the corner at +length, -width).
Contour roundedBar(Pt centre, double angle, double halfLength, double halfWidth, double radius,
                   const int segments[4]) {
    const Pt along = polar(angle);
    const Pt across = polar(angle + 90);
    const double u = halfLength - radius;
    const double v = halfWidth - radius;
    // Corner circle centres in the bar's own frame, clockwise.
    const Pt corners[4] = {{u, -v}, {u, v}, {-u, v}, {-u, -v}};
    Contour c;
    for (int k = 0; k < 4; ++k) {
        const Pt local = corners[k];
        const Pt world = centre + local.x * along + local.y * across;
        const double from = angle - 90 + 90 * k;
        appendArc(c, world, radius, from, from + 90, segments[k]);
    }
    return filled(c);
}

Contour roundedRect(double x0, double y0, double x1, double y1, double radius, int segments) {
    const int s[4] = {segments, segments, segments, segments};
    const bool wide = (x1 - x0) >= (y1 - y0);
    const Pt centre{(x0 + x1) / 2, (y0 + y1) / 2};
    if (wide) return roundedBar(centre, 0, (x1 - x0) / 2, (y1 - y0) / 2, radius, s);
    return roundedBar(centre, 90, (y1 - y0) / 2, (x1 - x0) / 2, radius, s);
}

Contour circle(Pt centre, double radius, int segments) {
    Contour c;
    appendArc(c, centre, radius, 0, 360, segments);
    c.pop_back();
    return filled(c);
}

// A stadium: an upright bar with half-round ends.
Contour stadium(Pt centre, double radius, double halfStraight, int segmentsPerEnd) {
    Contour c;
    appendArc(c, centre + Pt{0, -halfStraight}, radius, 180, 360, segmentsPerEnd);
    appendArc(c, centre + Pt{0, halfStraight}, radius, 0, 180, segmentsPerEnd);
    return c;
}

// A stroke of width kStroke along a centre line given by sample points with
// their unit normals, with round ends flattened into the given numbers of
// segments (0 for a square end).
struct Sample {
    Pt p;
    Pt n;
};
Contour stroke(const std::vector<Sample>& line, int startCap, int endCap) {
    Contour c;
    for (const Sample& s : line) c.push_back(s.p + kHalf * s.n);
    const Sample& last = line.back();
    const Pt forward = unit(last.p - line[line.size() - 2].p);
    for (int j = 1; j < endCap; ++j) {
        const double t = kPi * j / endCap;
        c.push_back(last.p + kHalf * (std::cos(t) * last.n + std::sin(t) * forward));
    }
    for (auto it = line.rbegin(); it != line.rend(); ++it) c.push_back(it->p - kHalf * it->n);
    const Sample& first = line.front();
    const Pt backward = unit(first.p - line[1].p);
    for (int j = 1; j < startCap; ++j) {
        const double t = kPi * j / startCap;
        c.push_back(first.p + kHalf * (-std::cos(t) * first.n + std::sin(t) * backward));
    }
    return filled(c);
}

// A straight stroke from a to b with round ends.
Contour straightStroke(Pt a, Pt b, int capA, int capB) {
    const Pt d = unit(b - a);
    const Pt n{-d.y, d.x};
    return stroke({{a, n}, {b, n}}, capA, capB);
}

// An elliptical arc (semi-axes rx, ry) around `centre` from angle `from` to
// `to` (clockwise on screen when to > from).
Pt ellipsePoint(Pt centre, double rx, double ry, double t) {
    const Pt d = polar(t);
    return centre + Pt{rx * d.x, ry * d.y};
}
Contour ellipseStroke(Pt centre, double rx, double ry, double from, double to, int segments,
                      int capFrom, int capTo) {
    std::vector<Sample> line;
    for (int j = 0; j <= segments; ++j) {
        const double t = from + (to - from) * j / segments;
        const Pt d = polar(t);
        line.push_back({ellipsePoint(centre, rx, ry, t), unit(Pt{ry * d.x, rx * d.y})});
    }
    return stroke(line, capFrom, capTo);
}

// The angle on the ellipse, between lo and hi, whose tangent passes through q.
double tangentAngle(Pt centre, double rx, double ry, Pt q, double lo, double hi) {
    auto f = [&](double t) {
        const Pt d = polar(t);
        const Pt tangent{-rx * d.y, ry * d.x};
        return cross(tangent, q - ellipsePoint(centre, rx, ry, t));
    };
    double flo = f(lo);
    for (int i = 0; i < 200; ++i) {
        const double mid = (lo + hi) / 2;
        const double fm = f(mid);
        if ((fm < 0) == (flo < 0)) {
            lo = mid;
            flo = fm;
        } else {
            hi = mid;
        }
    }
    return (lo + hi) / 2;
}

struct Outline {
    std::string name;
    std::vector<Contour> contours;
};

void transform(Outline& o, double sx, double sy, double dx, double dy) {
    for (Contour& c : o.contours)
        for (Pt& p : c) p = {p.x * sx + dx, p.y * sy + dy};
}

// The same outline mirrored in the diagonal through the glyph's top-left
// corner; contours keep their sense of rotation.
Outline transposed(const Outline& o, const std::string& name) {
    Outline t{name, {}};
    for (const Contour& c : o.contours) {
        Contour m;
        for (auto it = c.rbegin(); it != c.rend(); ++it) m.push_back({it->y, it->x});
        t.contours.push_back(m);
    }
    return t;
}

// Moves and stretches the outline so that its extent is exactly the box.
void fitToBox(Outline& o, double x0, double y0, double x1, double y1) {
    double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
    for (const Contour& c : o.contours)
        for (const Pt& p : c) {
            minX = std::min(minX, p.x);
            maxX = std::max(maxX, p.x);
            minY = std::min(minY, p.y);
            maxY = std::max(maxY, p.y);
        }
    const double sx = (x1 - x0) / (maxX - minX);
    const double sy = (y1 - y0) / (maxY - minY);
    transform(o, sx, sy, x0 - minX * sx, y0 - minY * sy);
}

// ---------------------------------------------------------------------------
// The shapes.

constexpr Pt kDotCentre{132.16, 132.16};
constexpr Pt kDownMark{132.16, 793.28};  // centre of the cross and disc below the dot
constexpr Pt kClueCentre{793.28, 793.28};

Outline makeDot() {
    const double half = 113.28 / 2;
    return {"Dot",
            {roundedRect(kDotCentre.x - half, kDotCentre.y - half, kDotCentre.x + half,
                         kDotCentre.y + half, 19.5, 11)}};
}

Outline makeLineDown() {
    return {"LineDown", {roundedRect(82.56, 226.56, 181.12, 1436.16, 20.0, 11)}};
}

// Two bars at 45 degrees crossing at right angles. Corners whose round part
// holds a horizontal tangent get 6 segments, the others 4, so that every
// corner has a vertex at its extreme point and no segment lies flat.
Outline makeCrossDown() {
    const double halfWidth = 64.26 / 2;
    const double radius = 12.0;
    const double reach = 132.32;  // from the centre to the extreme left/right point
    const double halfLength =
        std::sqrt(2.0) * (reach - radius) + 2 * radius - halfWidth;  // extreme at a vertex
    const int falling[4] = {4, 6, 4, 6};
    const int rising[4] = {6, 4, 6, 4};
    return {"CrossDown",
            {roundedBar(kDownMark, 45, halfLength, halfWidth, radius, falling),
             roundedBar(kDownMark, -45, halfLength, halfWidth, radius, rising)}};
}

Outline makeDiscDown() {
    return {"DiscDown", {circle(kDownMark, 264.32 / 2, 92)}};
}

// 0: an upright ring with half-round ends, the hole running the other way.
// The hole's sides lie at x 650.24 and 935.68, so the left stroke is exactly
// kStroke wide and the right one 0.64 units wider.
Outline makeDigit0() {
    const double outer = 264.0;
    const double inner = (935.68 - 650.24) / 2;
    const double halfStraight = (1194.24 - 392.96) / 2 - outer;
    const Pt centre{(529.28 + 1057.28) / 2, (392.96 + 1194.24) / 2};
    const Pt holeCentre{(650.24 + 935.68) / 2, centre.y};
    return {"Digit0",
            {filled(stadium(centre, outer, halfStraight, 64)),
             hole(stadium(holeCentre, inner, halfStraight, 52))}};
}

// 1: a stem with a flag falling to the left from its top, on a foot bar.
Outline makeDigit1() {
    const double stemX = (733.44 + 854.40) / 2;
    const double top = 401.28 + kHalf;
    const double footY = 1185.28 - kHalf;
    const Pt flagEnd{stemX - 190.0, top + 150.0};
    return {"Digit1",
            {straightStroke({stemX, top}, {stemX, footY}, 24, 0),
             straightStroke({stemX, top}, flagEnd, 2, 15),
             straightStroke({529.28 + kHalf, footY}, {1057.28 - kHalf, footY}, 20, 20)}};
}

// 2: a hook over the top that runs into a straight diagonal down to the left
// end of a flat foot bar.
Outline makeDigit2() {
    const double footY = 1185.28 - kHalf;
    const Pt footLeft{517.76 + kHalf, footY};
    const Pt footRight{1069.44 - kHalf, footY};
    const double rx = 205.0;
    const double ry = 190.0;
    const Pt centre{793.6, 401.28 + kHalf + ry};
    const double leave = tangentAngle(centre, rx, ry, footLeft, 0.0, 90.0);
    Outline o{"Digit2",
              {ellipseStroke(centre, rx, ry, 200.0, 360.0 + leave, 60, 14, 4),
               straightStroke(ellipsePoint(centre, rx, ry, 360.0 + leave), footLeft, 4, 8),
               straightStroke(footLeft, footRight, 12, 16)}};
    fitToBox(o, 517.76, 401.28, 1069.44, 1185.28);
    return o;
}

// 3: two bowls open to the left, joined by a short middle bar.
Outline makeDigit3() {
    const double top = 392.96 + kHalf;
    const double bottom = 1194.24 - kHalf;
    const double upperRy = 160.0;
    const double lowerRy = (bottom - top) / 2 - upperRy;
    const double middleY = top + 2 * upperRy;
    const double joinX = 772.0;
    const Pt upper{joinX, top + upperRy};
    const Pt lower{joinX, bottom - lowerRy};
    Outline o{"Digit3",
              {ellipseStroke(upper, 212.0, upperRy, 205.0, 450.0, 65, 16, 2),
               ellipseStroke(lower, 240.0, lowerRy, 270.0, 510.0 - 5.0, 64, 2, 16),
               straightStroke({joinX - 85.0, middleY}, {joinX, middleY}, 16, 2)}};
    fitToBox(o, 512.00, 392.96, 1074.56, 1194.24);
    return o;
}

// ---------------------------------------------------------------------------
// The edge table.

struct Edge {
    std::int32_t xTop, yTop, yBottom, inverseSlope;
    int direction;
};

std::int32_t fixed(double v) {
    return static_cast<std::int32_t>(std::llround(v * 4096.0));
}

std::vector<Edge> edgesOf(const Outline& o) {
    std::vector<Edge> edges;
    for (const Contour& c : o.contours) {
        std::vector<std::pair<std::int32_t, std::int32_t>> pts;
        for (const Pt& p : c) {
            std::pair<std::int32_t, std::int32_t> q{fixed(p.x), fixed(p.y)};
            if (pts.empty() || pts.back() != q) pts.push_back(q);
        }
        while (pts.size() > 1 && pts.back() == pts.front()) pts.pop_back();
        for (std::size_t i = 0; i < pts.size(); ++i) {
            auto a = pts[i];
            auto b = pts[(i + 1) % pts.size()];
            if (a.second == b.second) continue;                  // horizontal: never crosses a row
            const int direction = b.second < a.second ? 1 : -1;  // +1 runs upward
            if (b.second < a.second) std::swap(a, b);
            const std::int64_t dx = std::int64_t{b.first} - a.first;
            const std::int64_t dy = std::int64_t{b.second} - a.second;
            const double slope = static_cast<double>(dx) * 4096.0 / static_cast<double>(dy);
            edges.push_back({a.first, a.second, b.second,
                             static_cast<std::int32_t>(std::llround(slope)), direction});
        }
    }
    return edges;
}

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f", v);
    return buf;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<Outline> outlines;
    outlines.push_back(makeDot());
    outlines.push_back(makeLineDown());
    outlines.push_back(transposed(outlines.back(), "LineRight"));
    outlines.push_back(makeCrossDown());
    outlines.push_back(transposed(outlines.back(), "CrossRight"));
    outlines.push_back(makeDiscDown());
    outlines.push_back(transposed(outlines.back(), "DiscRight"));
    outlines.push_back(makeDigit0());
    outlines.push_back(makeDigit1());
    outlines.push_back(makeDigit2());
    outlines.push_back(makeDigit3());

    std::vector<Edge> all;
    std::vector<std::size_t> start{0};
    std::ostringstream summary;
    for (const Outline& o : outlines) {
        const std::vector<Edge> edges = edgesOf(o);
        all.insert(all.end(), edges.begin(), edges.end());
        start.push_back(all.size());
        double minX = 1e9, minY = 1e9, maxX = -1e9, maxY = -1e9;
        for (const Contour& c : o.contours)
            for (const Pt& p : c) {
                minX = std::min(minX, p.x);
                maxX = std::max(maxX, p.x);
                minY = std::min(minY, p.y);
                maxY = std::max(maxY, p.y);
            }
        summary << "//   " << o.name << ": " << edges.size() << " edges, " << o.contours.size()
                << (o.contours.size() == 1 ? " contour" : " contours") << ", x " << fmt(minX)
                << " to " << fmt(maxX) << ", y " << fmt(minY) << " to " << fmt(maxY) << "\n";
    }

    std::ostringstream out;
    out << "// Generated by tools/outlinegen from the shape descriptions there; do not edit.\n"
        << "//\n"
        << "// Edge table of the glyph outlines, outline units with 12 fractional bits:\n"
        << summary.str() << "\n"
        << "// clang-format off\n\n"
        << "#include \"glyphs/outline_set.h\"\n\n"
        << "namespace quorrin {\n"
        << "namespace {\n\n";
    auto column = [&](const char* type, const char* name, auto field) {
        out << "const " << type << " " << name << "[" << all.size() << "] = {\n";
        for (std::size_t i = 0; i < all.size(); ++i) {
            if (i % 8 == 0) out << "   ";
            out << " " << field(all[i]) << ",";
            if (i % 8 == 7 || i + 1 == all.size()) out << "\n";
        }
        out << "};\n\n";
    };
    column("std::int32_t", "kXTop", [](const Edge& e) { return e.xTop; });
    column("std::int32_t", "kYTop", [](const Edge& e) { return e.yTop; });
    column("std::int32_t", "kYBottom", [](const Edge& e) { return e.yBottom; });
    column("std::int32_t", "kInverseSlope", [](const Edge& e) { return e.inverseSlope; });
    column("std::int8_t", "kDirection", [](const Edge& e) { return e.direction; });
    out << "const std::int32_t kStart[kOutlineCount + 1] = {";
    for (std::size_t i = 0; i < start.size(); ++i) out << (i ? ", " : "") << start[i];
    out << "};\n\n"
        << "}  // namespace\n\n"
        << "const OutlineSet& builtinOutlines() {\n"
        << "    static const OutlineSet set{kXTop,  kYTop,  kYBottom, kInverseSlope,\n"
        << "                                kDirection, kStart, " << all.size()
        << ", kOutlineCount};\n"
        << "    return set;\n"
        << "}\n\n"
        << "}  // namespace quorrin\n";

    if (argc > 1) {
        std::ofstream file(argv[1], std::ios::binary);
        file << out.str();
        if (!file) {
            std::cerr << "outlinegen: cannot write " << argv[1] << "\n";
            return 1;
        }
    } else {
        std::cout << out.str();
    }
    std::cerr << summary.str();
    return 0;
}
