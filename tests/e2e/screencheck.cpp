// screencheck CLIENT.ppm COLLECTION INDEX [options]
//
// Compares a screenshot of the game's client area (a binary PPM, 8 bits per
// channel, exactly the client area) pixel for pixel with what the screen
// code draws for the described state at that client size: puzzle INDEX of
// the collection file, fresh, with the given edges put into the given
// states.
//
//   --line E, --cross E, --empty E   put edge E into that state; E is h:R:C
//                                    (the edge right of the dot in row R,
//                                    column C) or v:R:C (the edge below it)
//   --hover E                        the highlighted edge under the pointer
//   --origin E                       the trial origin
//   --trial                          the toolbar shows the trial buttons
//   --button N                       toolbar button N is hovered
//   --banner                         the clear banner is shown
//   --clock A[-B]                    the clock shows a time from A to B
//                                    seconds (default 0-3599)
//   --reference OUT.ppm              write the expected picture
//
// Everything but the clock must match exactly; then the clock must match
// one of the times exactly, and the first that does is printed. Prints the
// layout and the described board's vertex codes first. Exit status 0 on a match, 1 on a mismatch, 2
// on bad input.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "board/board.h"
#include "screen/bitmap.h"
#include "screen/screen.h"
#include "store/puzzle_collection.h"

namespace {

using quorrin::Board;
using quorrin::EdgeRef;
using quorrin::EdgeState;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;  // rows top-down, 3 bytes per pixel, red first
};

// Next whitespace-separated token of a PPM header, comments skipped.
bool headerToken(std::FILE* file, std::string& token) {
    token.clear();
    int c = std::fgetc(file);
    for (;;) {
        while (c == ' ' || c == '\t' || c == '\r' || c == '\n') c = std::fgetc(file);
        if (c != '#') break;
        while (c != '\n' && c != EOF) c = std::fgetc(file);
    }
    while (c != EOF && c != ' ' && c != '\t' && c != '\r' && c != '\n') {
        token += static_cast<char>(c);
        c = std::fgetc(file);
    }
    return !token.empty();
}

bool readPpm(const char* path, Image& image) {
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return false;
    std::string magic, w, h, maximum;
    bool ok = headerToken(file, magic) && magic == "P6" && headerToken(file, w) &&
              headerToken(file, h) && headerToken(file, maximum) && maximum == "255";
    if (ok) {
        image.width = std::atoi(w.c_str());
        image.height = std::atoi(h.c_str());
        ok = image.width > 0 && image.height > 0 && image.width <= 65535 && image.height <= 65535;
    }
    if (ok) {
        image.rgb.resize(static_cast<std::size_t>(image.width) *
                         static_cast<std::size_t>(image.height) * 3);
        ok = std::fread(image.rgb.data(), 1, image.rgb.size(), file) == image.rgb.size();
    }
    std::fclose(file);
    return ok;
}

bool writePpm(const char* path, const quorrin::Surface& surface) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", surface.width, surface.height);
    std::vector<std::uint8_t> row(static_cast<std::size_t>(surface.width) * 3);
    for (int y = 0; y < surface.height; ++y) {
        const std::uint8_t* in = surface.row(y);
        for (int x = 0; x < surface.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(x) * 3;
            row[i] = in[i + 2];
            row[i + 1] = in[i + 1];
            row[i + 2] = in[i];
        }
        std::fwrite(row.data(), 1, row.size(), file);
    }
    return std::fclose(file) == 0;
}

bool parseEdge(const char* text, const Board& board, EdgeRef& edge) {
    char kind = 0;
    int row = 0, column = 0;
    char end = 0;
    if (std::sscanf(text, "%c:%d:%d%c", &kind, &row, &column, &end) != 3) return false;
    if (kind != 'h' && kind != 'v') return false;
    edge.vertex = row * (board.width + 1) + column;
    edge.vertical = kind == 'v' ? 1 : 0;
    return row >= 0 && column >= 0 && row <= board.height && column <= board.width &&
           board.hasEdge(edge);
}

struct Difference {
    long count = 0;
    int left = 0, top = 0, right = -1, bottom = -1;
    int firstX = -1, firstY = -1;
    std::uint32_t got = 0, want = 0;
};

bool inside(int x, int y, int rx, int ry, int rw, int rh) {
    return x >= rx && x < rx + rw && y >= ry && y < ry + rh;
}

// Pixels of the shot that differ from the back buffer, within (or, with
// `outside`, outside of) the rectangle.
Difference compare(const Image& shot, const quorrin::Surface& back, int rx, int ry, int rw, int rh,
                   bool outside) {
    Difference d;
    for (int y = 0; y < shot.height; ++y) {
        const std::uint8_t* want = back.row(y);
        const std::uint8_t* got = shot.rgb.data() + static_cast<std::size_t>(y) *
                                                        static_cast<std::size_t>(shot.width) * 3;
        for (int x = 0; x < shot.width; ++x) {
            if (inside(x, y, rx, ry, rw, rh) == outside) continue;
            const std::size_t i = static_cast<std::size_t>(x) * 3;
            const std::uint32_t g = static_cast<std::uint32_t>(got[i]) << 16 |
                                    static_cast<std::uint32_t>(got[i + 1]) << 8 | got[i + 2];
            const std::uint32_t w = static_cast<std::uint32_t>(want[i + 2]) << 16 |
                                    static_cast<std::uint32_t>(want[i + 1]) << 8 | want[i];
            if (g == w) continue;
            if (d.count == 0) {
                d.firstX = x;
                d.firstY = y;
                d.got = g;
                d.want = w;
                d.left = d.right = x;
                d.top = d.bottom = y;
            }
            ++d.count;
            d.left = std::min(d.left, x);
            d.right = std::max(d.right, x);
            d.top = std::min(d.top, y);
            d.bottom = std::max(d.bottom, y);
        }
    }
    return d;
}

void report(const char* what, const Difference& d) {
    std::printf(
        "mismatch %s: %ld pixels differ within (%d,%d)-(%d,%d); first at (%d,%d): got #%06x, "
        "expected #%06x\n",
        what, d.count, d.left, d.top, d.right, d.bottom, d.firstX, d.firstY,
        static_cast<unsigned>(d.got), static_cast<unsigned>(d.want));
}

int usage() {
    std::fprintf(stderr,
                 "usage: screencheck CLIENT.ppm COLLECTION INDEX [--line|--cross|--empty E]... "
                 "[--hover E] [--origin E] [--trial] [--button N] [--banner] [--clock A[-B]] "
                 "[--reference OUT.ppm]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return usage();
    Image shot;
    if (!readPpm(argv[1], shot)) {
        std::fprintf(stderr, "screencheck: cannot read %s as an 8-bit PPM\n", argv[1]);
        return 2;
    }
    static quorrin::PuzzleCollection collection;
    std::uint32_t identity = 0;
    const int index = std::atoi(argv[3]);
    if (!collection.read(argv[2], identity) || index < 0 || index >= collection.puzzleCount) {
        std::fprintf(stderr, "screencheck: no puzzle %d in %s\n", index, argv[2]);
        return 2;
    }
    Board board;
    board.load(collection.puzzles[index]);

    EdgeRef hover, origin;
    bool trial = false, banner = false;
    int button = -1, clockFrom = 0, clockTo = 3599;
    const char* referencePath = nullptr;
    for (int i = 4; i < argc; ++i) {
        const std::string option = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
        EdgeRef edge;
        if (option == "--line" || option == "--cross" || option == "--empty") {
            if (value == nullptr || !parseEdge(value, board, edge)) return usage();
            board.setEdgeState(edge, option == "--line"    ? quorrin::Line
                                     : option == "--cross" ? quorrin::Cross
                                                           : quorrin::Empty);
            ++i;
        } else if (option == "--hover" || option == "--origin") {
            if (value == nullptr || !parseEdge(value, board, edge)) return usage();
            (option == "--hover" ? hover : origin) = edge;
            ++i;
        } else if (option == "--trial") {
            trial = true;
        } else if (option == "--banner") {
            banner = true;
        } else if (option == "--button" && value != nullptr) {
            button = std::atoi(value);
            ++i;
        } else if (option == "--clock" && value != nullptr) {
            const int n = std::sscanf(value, "%d-%d", &clockFrom, &clockTo);
            if (n == 1) clockTo = clockFrom;
            if (n < 1 || clockFrom < 0 || clockTo < clockFrom) return usage();
            ++i;
        } else if (option == "--reference" && value != nullptr) {
            referencePath = value;
            ++i;
        } else {
            return usage();
        }
    }

    quorrin::Screen screen;
    screen.bitmapLoader = quorrin::folderBitmapLoader(QUORRIN_RES_DIR);
    if (!screen.resize(shot.width, shot.height, board) || screen.buttonSheet.empty() ||
        screen.clockSheet.empty()) {
        std::fprintf(stderr, "screencheck: no screen of %d x %d\n", shot.width, shot.height);
        return 2;
    }
    std::printf(
        "layout client=%dx%d pitch=%d glyph=%d margin=%d origin=%d,%d toolbar=%d clock=%d\n",
        shot.width, shot.height, screen.pitch, screen.glyphSize, screen.hitMargin, screen.originX,
        screen.originY, screen.toolbarX, screen.clockX);

    // The board's vertex codes as a save file keeps them, the trailing zero
    // bytes left out.
    std::string codes;
    for (const std::uint8_t code : board.codes) codes += static_cast<char>('0' + code);
    codes.erase(codes.find_last_not_of('0') + 1);
    std::printf("codes=%s\n", codes.c_str());

    screen.drawToolbar(trial, button);
    screen.drawClock(clockFrom);
    screen.drawBoard(board, hover, origin);
    const quorrin::Surface& back = screen.backBuffer;
    if (banner) {
        screen.drawClearBanner();
        const Difference all = compare(shot, back, 0, 0, 0, 0, true);
        if (referencePath != nullptr) writePpm(referencePath, back);
        if (all.count > 0) {
            report("of the window", all);
            return 1;
        }
        std::printf("match banner\n");
        return 0;
    }

    const int cx = screen.clockX, cy = quorrin::kClockY;
    const int cw = quorrin::kClockWidth, ch = quorrin::kClockSpriteHeight;
    const Difference rest = compare(shot, back, cx, cy, cw, ch, true);
    if (rest.count > 0) {
        if (referencePath != nullptr) writePpm(referencePath, back);
        report("outside the clock", rest);
        return 1;
    }
    for (int seconds = clockFrom; seconds <= clockTo; ++seconds) {
        screen.drawClock(seconds);
        if (compare(shot, back, cx, cy, cw, ch, false).count == 0) {
            if (referencePath != nullptr) writePpm(referencePath, back);
            std::printf("match clock=%d\n", seconds);
            return 0;
        }
    }
    screen.drawClock(clockFrom);
    if (referencePath != nullptr) writePpm(referencePath, back);
    std::printf("mismatch of the clock: it shows no time from %d to %d seconds\n", clockFrom,
                clockTo);
    return 1;
}
