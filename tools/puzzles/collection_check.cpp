#include "collection_check.h"

#include <algorithm>
#include <cstdio>
#include <memory>

#include "board/board.h"
#include "loop_solver.h"
#include "store/platform.h"
#include "store/puzzle_collection.h"

namespace quorrin {

namespace {

const char* const kGradeNames[] = {"?", "easy", "medium", "hard", "needs guessing"};

// The file's lines as the game's reader cuts them (CollectionTextReader),
// all of them, also those after the 30th.
bool readRawLines(const std::string& path, std::vector<std::string>& lines) {
    if (platform().openFile == nullptr) return false;
    std::FILE* f = platform().openFile(path.c_str(), "rb");
    if (f == nullptr) return false;
    CollectionTextReader reader(f);
    char line[kMaxLineBytes + 1];
    int length = 0;
    while (reader.readLine(line, length)) lines.emplace_back(line, static_cast<size_t>(length));
    (void)std::fclose(f);  // read only
    return true;
}

bool plainNumber(const std::string& field) {
    size_t end = field.size();
    if (end > 0 && field[end - 1] == '\n') --end;
    if (end == 0) return false;
    for (size_t i = 0; i < end; ++i) {
        if (field[i] < '0' || field[i] > '9') return false;
    }
    return true;
}

std::string printable(const std::string& bytes) {
    std::string out;
    for (unsigned char ch : bytes) {
        if (ch >= 0x20 && ch < 0x7F) {
            out.push_back(static_cast<char>(ch));
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", ch);
            out += hex;
        }
    }
    return out;
}

// Format problems that the game's parser passes over in silence.
void inspectText(const std::string& raw, LineReport& rep) {
    std::string line = raw;
    size_t nul = line.find('\0');
    if (nul != std::string::npos) {
        rep.errors.push_back("NUL byte at offset " + std::to_string(nul) +
                             ": the rest of the line is ignored");
        line.resize(nul);
    }
    if (line == "\n" || line.empty()) {
        rep.errors.push_back("empty line: the game lists it as a puzzle without a board");
        return;
    }
    if (line.back() != '\n' && static_cast<int>(raw.size()) == kMaxLineBytes) {
        rep.errors.push_back("longer than 2047 bytes: the game cuts it into several puzzles");
    }
    std::vector<std::string> fields;
    std::string field;
    for (char ch : line) {
        if (ch == '/') {
            fields.push_back(field);
            field.clear();
        } else {
            field.push_back(ch);
        }
    }
    fields.push_back(field);
    for (size_t i = 0; i < fields.size(); ++i) {
        if (fields[i].size() > static_cast<size_t>(kMaxFieldBytes)) {
            rep.errors.push_back("field " + std::to_string(i + 1) + " is " +
                                 std::to_string(fields[i].size()) + " bytes, more than " +
                                 std::to_string(kMaxFieldBytes));
        }
    }
    static const char* const names[] = {"difficulty", "height", "width"};
    for (size_t i = 0; i < 3; ++i) {
        if (i >= fields.size() || !plainNumber(fields[i])) {
            rep.notes.push_back(std::string(names[i]) + " field '" +
                                printable(i < fields.size() ? fields[i] : "") +
                                "' is not a plain number");
        }
    }
    int w = rep.width, h = rep.height;
    if (w < 1 || h < 1) return;
    size_t rows = fields.size() > 3 ? fields.size() - 3 : 0;
    if (rows < static_cast<size_t>(h)) {
        rep.notes.push_back("only " + std::to_string(rows) + " of " + std::to_string(h) +
                            " rows given; the missing ones have no clues");
    } else if (rows > static_cast<size_t>(h)) {
        rep.notes.push_back(std::to_string(rows - static_cast<size_t>(h)) +
                            " fields after the last row are ignored");
    }
    for (size_t r = 0; r < rows && r < static_cast<size_t>(h); ++r) {
        const std::string& f = fields[r + 3];
        int cells = 0;
        std::string skipped;
        for (size_t i = 0; i < f.size(); ++i) {
            char ch = f[i];
            bool cell = ch == '.' || (ch >= '0' && ch <= '3');
            if (cell) {
                ++cells;
            } else if (!(ch == '\n' && i + 1 == f.size())) {
                skipped.push_back(ch);
            }
        }
        if (!skipped.empty()) {
            rep.notes.push_back("row " + std::to_string(r + 1) + ": " +
                                std::to_string(skipped.size()) + " characters skipped ('" +
                                printable(skipped) + "')");
        }
        if (cells < w) {
            rep.notes.push_back("row " + std::to_string(r + 1) + ": " + std::to_string(cells) +
                                " cells for " + std::to_string(w) + " columns");
        } else if (cells > w) {
            rep.notes.push_back("row " + std::to_string(r + 1) + ": " + std::to_string(cells - w) +
                                " cells beyond the width ignored");
        }
    }
}

// The game's own board must accept the solution.
bool boardAccepts(const PuzzleEntry& entry, const LoopSolution& loop) {
    Board board;
    board.load(entry);
    const int w = entry.width, h = entry.height;
    for (int r = 0; r <= h; ++r) {
        for (int c = 0; c <= w; ++c) {
            const EdgeState right =
                c < w && loop[static_cast<size_t>(horizontalEdge(w, r, c))] ? Line : Empty;
            const EdgeState down =
                r < h && loop[static_cast<size_t>(verticalEdge(w, h, r, c))] ? Line : Empty;
            board.codes[static_cast<size_t>(r * (w + 1) + c)] =
                static_cast<std::uint8_t>(vertexCode(right, down));
        }
    }
    board.updateClueStates();
    return board.isSolved();
}

}  // namespace

bool FileReport::ok() const {
    if (!readable || !errors.empty()) return false;
    for (const LineReport& l : lines) {
        if (!l.errors.empty()) return false;
    }
    return true;
}

FileReport checkCollection(const std::string& path, const CheckOptions& options) {
    FileReport report;
    report.path = path;
    auto collection = std::make_unique<PuzzleCollection>();
    std::vector<std::string> raw;
    if (!collection->read(path.c_str(), report.identity) || !readRawLines(path, raw)) {
        report.errors.push_back("cannot be read as a collection (missing, unreadable or empty)");
        return report;
    }
    report.readable = true;
    if (raw.size() > static_cast<size_t>(kMaxPuzzles)) {
        report.errors.push_back(std::to_string(raw.size()) + " lines: only the first " +
                                std::to_string(kMaxPuzzles) + " are read");
    }
    int lastScore = 0;
    for (int i = 0; i < collection->puzzleCount; ++i) {
        const PuzzleEntry& entry = collection->puzzles[i];
        LineReport rep;
        rep.index = i + 1;
        rep.width = entry.width;
        rep.height = entry.height;
        rep.difficulty = entry.difficulty;
        if (static_cast<size_t>(i) < raw.size()) inspectText(raw[static_cast<size_t>(i)], rep);
        const int w = entry.width, h = entry.height;
        if (w < 1 || h < 1) {
            if (rep.errors.empty()) {
                rep.errors.push_back(
                    "size outside the limits: no board (W, H >= 1 and "
                    "(W+1)x(H+1) <= " +
                    std::to_string(kMaxVertices) + ")");
            }
            report.lines.push_back(rep);
            continue;
        }
        LoopPuzzle puzzle(w, h);
        for (int r = 0; r < h; ++r) {
            for (int c = 0; c < w; ++c) {
                std::uint8_t k = entry.clues[static_cast<size_t>(r * (w + 1) + c)];
                puzzle.setClue(r, c, k <= 3 ? k : -1);
            }
        }
        rep.clueCount = puzzle.clueCount();
        LoopSolver solver(puzzle);
        const LoopAnalysis a = solver.analyse();
        rep.solutions = a.solutions;
        rep.grade = a.grade;
        if (a.solutions == 0) {
            rep.errors.push_back("no solution");
        } else if (a.solutions > 1) {
            rep.errors.push_back("more than one solution");
        } else {
            rep.boardAgrees = isLoopSolution(puzzle, a.first) && boardAccepts(entry, a.first);
            rep.figures = measurePuzzle(puzzle, a.first);
            if (!rep.boardAgrees) rep.errors.push_back("the game's board rejects the solution");
            rep.rating = solver.rate();
            if (options.difficultyIsRated && rep.difficulty != rep.rating.difficulty) {
                rep.errors.push_back("difficulty field " + std::to_string(rep.difficulty) +
                                     " differs from the rated difficulty " +
                                     std::to_string(rep.rating.difficulty));
            }
            if (options.ordered && lastScore > rep.rating.score) {
                rep.errors.push_back("score " + std::to_string(rep.rating.score) +
                                     " below the score " + std::to_string(lastScore) +
                                     " of a line before it");
            }
            lastScore = std::max(lastScore, rep.rating.score);
        }
        report.lines.push_back(rep);
    }
    return report;
}

std::string formatReport(const FileReport& report) {
    std::string out = report.path + ":";
    if (report.readable) {
        char id[16];
        std::snprintf(id, sizeof id, "%08X", report.identity);
        out += " " + std::to_string(report.lines.size()) + " puzzles, identity " + id;
    }
    out += "\n";
    for (const std::string& e : report.errors) out += "  error: " + e + "\n";
    for (const LineReport& l : report.lines) {
        char head[160];
        const char* sol = l.width < 1 || l.height < 1 ? "no board"
                          : l.solutions == 0          ? "no solution"
                          : l.solutions == 1          ? "unique"
                                                      : "several solutions";
        std::snprintf(head, sizeof head, "  line %2d: %dx%d difficulty %d, %d clues, %s", l.index,
                      l.width, l.height, l.difficulty, l.clueCount, sol);
        out += head;
        if (l.solutions == 1) {
            const LoopRating& r = l.rating;
            char rating[160];
            std::snprintf(rating, sizeof rating,
                          "; rated %d, score %d (%d pair steps, longest %d rounds, %d lookahead, "
                          "%d whole-board)",
                          r.difficulty, r.score, r.pairSteps, r.longestChain, r.lookaheadSteps,
                          r.regionSteps);
            out +=
                ", grade " + std::to_string(l.grade) + " (" + kGradeNames[l.grade] + ")" + rating;
        }
        out += "\n";
        for (const std::string& e : l.errors) out += "    error: " + e + "\n";
        for (const std::string& n : l.notes) out += "    note: " + n + "\n";
    }
    out += report.ok() ? "  OK\n" : "  FAILED\n";
    return out;
}

std::string formatFigures(const FileReport& report) {
    std::string out = report.path + ":\n";
    std::vector<PuzzleFigures> all, byGrade[kGradeGuess + 1];
    for (const LineReport& l : report.lines) {
        if (l.solutions != 1) continue;
        char head[48];
        std::snprintf(head, sizeof head, "  line %2d: %dx%d grade %d, ", l.index, l.width, l.height,
                      l.grade);
        out += head + formatFigures(l.figures) + "\n";
        all.push_back(l.figures);
        byGrade[l.grade].push_back(l.figures);
    }
    out += " all " + std::to_string(all.size()) + " puzzles:\n" + summarizeFigures(all);
    for (int g = kGradeEasy; g <= kGradeGuess; ++g) {
        if (byGrade[g].empty() || byGrade[g].size() == all.size()) continue;
        out += " grade " + std::to_string(g) + ", " + std::to_string(byGrade[g].size()) +
               " puzzles:\n" + summarizeFigures(byGrade[g]);
    }
    return out;
}

}  // namespace quorrin
