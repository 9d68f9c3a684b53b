#include "puzzle_import.h"

#include <cctype>
#include <vector>

#include "board/puzzle_entry.h"

namespace quorrin {

namespace {

// A positive decimal number of at most four digits, the whole text.
bool readSize(const std::string& text, int& value) {
    if (text.empty() || text.size() > 4) return false;
    value = 0;
    for (char ch : text) {
        if (ch < '0' || ch > '9') return false;
        value = value * 10 + (ch - '0');
    }
    return value >= 1;
}

std::string trim(const std::string& text) {
    size_t a = 0, b = text.size();
    while (a < b && std::isspace(static_cast<unsigned char>(text[a]))) ++a;
    while (b > a && std::isspace(static_cast<unsigned char>(text[b - 1]))) --b;
    return text.substr(a, b - a);
}

bool checkSize(int w, int h, std::string& error) {
    if (!lineHoldsBoard(w, h)) {
        error = "a " + std::to_string(w) + "x" + std::to_string(h) +
                " board does not fit a collection line (at most 62 columns and (W+1)x(H+1) <= "
                "2048)";
        return false;
    }
    return true;
}

// Appends cells; false when the body goes past the board.
bool put(std::vector<std::int8_t>& cells, size_t total, int clue, int empties, std::string& error) {
    if (cells.size() + 1 + static_cast<size_t>(empties) > total) {
        error = "the body holds more cells than the board";
        return false;
    }
    cells.push_back(static_cast<std::int8_t>(clue));
    for (int i = 0; i < empties; ++i) cells.push_back(-1);
    return true;
}

bool finish(std::vector<std::int8_t>& cells, int w, int h, LoopPuzzle& out, std::string& error) {
    size_t total = static_cast<size_t>(w) * static_cast<size_t>(h);
    if (cells.size() != total) {
        error = "the body gives " + std::to_string(cells.size()) + " cells, the board has " +
                std::to_string(total);
        return false;
    }
    out = LoopPuzzle(w, h);
    out.clues = cells;
    return true;
}

std::string describe(char ch) {
    if (std::isprint(static_cast<unsigned char>(ch))) return std::string("'") + ch + "'";
    char buf[8];
    static const char hex[] = "0123456789ABCDEF";
    buf[0] = '0';
    buf[1] = 'x';
    buf[2] = hex[(static_cast<unsigned char>(ch) >> 4) & 15];
    buf[3] = hex[static_cast<unsigned char>(ch) & 15];
    buf[4] = '\0';
    return std::string("byte ") + buf;
}

}  // namespace

bool importUrlForm(const std::string& input, LoopPuzzle& out, std::string& error) {
    std::string text = trim(input);
    size_t q = text.rfind('?');
    if (q == std::string::npos) {
        error = "not a puzzle address: no '?'";
        return false;
    }
    std::vector<std::string> parts;
    std::string part;
    for (size_t i = q + 1; i <= text.size(); ++i) {
        if (i == text.size() || text[i] == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part.push_back(text[i]);
        }
    }
    // A trailing "/" after the body is harmless.
    if (parts.size() == 5 && parts[4].empty()) parts.pop_back();
    if (parts.size() != 4) {
        error = "expected TYPE/COLS/ROWS/BODY after the '?'";
        return false;
    }
    int w = 0, h = 0;
    if (!readSize(parts[1], w) || !readSize(parts[2], h)) {
        error = "bad column or row count '" + parts[1] + "/" + parts[2] + "'";
        return false;
    }
    if (!checkSize(w, h, error)) return false;
    const size_t total = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<std::int8_t> cells;
    for (char ch : parts[3]) {
        bool ok = true;
        if (ch == '4' || ch == '9' || ch == 'e') {
            error = std::string("a clue 4 ('") + ch + "') cannot be played on this board";
            return false;
        }
        if (ch >= '0' && ch <= '3') {
            ok = put(cells, total, ch - '0', 0, error);
        } else if (ch >= '5' && ch <= '8') {
            ok = put(cells, total, ch - '5', 1, error);
        } else if (ch >= 'a' && ch <= 'd') {
            ok = put(cells, total, ch - 'a', 2, error);
        } else if (ch >= 'g' && ch <= 'z') {
            int run = ch - 'g' + 1;
            if (cells.size() + static_cast<size_t>(run) > total) {
                error = "the body holds more cells than the board";
                return false;
            }
            for (int i = 0; i < run; ++i) cells.push_back(-1);
        } else if (ch == '.') {
            error = "a clue of unknown value ('.') cannot be played on this board";
            return false;
        } else {
            error = "unexpected " + describe(ch) + " in the body";
            return false;
        }
        if (!ok) return false;
    }
    return finish(cells, w, h, out, error);
}

bool importGameId(const std::string& input, LoopPuzzle& out, std::string& error) {
    std::string text = trim(input);
    size_t colon = text.find(':');
    if (colon == std::string::npos) {
        error = "not a game ID: no ':'";
        return false;
    }
    std::string params = text.substr(0, colon), desc = text.substr(colon + 1);
    size_t x = params.find('x');
    if (x == std::string::npos) {
        error = "not a game ID: expected WxH before the ':'";
        return false;
    }
    size_t end = x + 1;
    while (end < params.size() && params[end] >= '0' && params[end] <= '9') ++end;
    int w = 0, h = 0;
    if (!readSize(params.substr(0, x), w) || !readSize(params.substr(x + 1, end - x - 1), h)) {
        error = "bad size '" + params + "'";
        return false;
    }
    // Optional grid type (only the square grid, t0) and difficulty letter.
    std::string rest = params.substr(end);
    if (rest.size() >= 1 && rest[0] == 't') {
        size_t i = 1;
        while (i < rest.size() && rest[i] >= '0' && rest[i] <= '9') ++i;
        if (rest.substr(1, i - 1) != "0") {
            error = "only the square grid (t0) can be played, not '" + rest.substr(0, i) + "'";
            return false;
        }
        rest = rest.substr(i);
    }
    if (rest.size() == 2 && rest[0] == 'd' && std::isalpha(static_cast<unsigned char>(rest[1]))) {
        rest.clear();
    }
    if (!rest.empty()) {
        error = "unexpected '" + rest + "' in the game parameters";
        return false;
    }
    if (!checkSize(w, h, error)) return false;
    const size_t total = static_cast<size_t>(w) * static_cast<size_t>(h);
    std::vector<std::int8_t> cells;
    for (char ch : desc) {
        if (ch >= '0' && ch <= '9') {
            if (ch > '3') {
                error = std::string("a clue ") + ch + " cannot be played on this board";
                return false;
            }
            if (!put(cells, total, ch - '0', 0, error)) return false;
        } else if (ch >= 'a' && ch <= 'z') {
            int run = ch - 'a' + 1;
            if (cells.size() + static_cast<size_t>(run) > total) {
                error = "the description holds more cells than the board";
                return false;
            }
            for (int i = 0; i < run; ++i) cells.push_back(-1);
        } else {
            error = "unexpected " + describe(ch) + " in the description";
            return false;
        }
    }
    return finish(cells, w, h, out, error);
}

bool importPuzzle(const std::string& text, LoopPuzzle& out, std::string& error) {
    if (text.find('?') != std::string::npos) return importUrlForm(text, out, error);
    return importGameId(text, out, error);
}

}  // namespace quorrin
