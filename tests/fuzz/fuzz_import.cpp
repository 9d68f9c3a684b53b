// Fuzz target: the input as a puzzle to import, in both public text forms.
//
// Properties: the form is picked by the "?"; a refusal says why; an accepted
// puzzle has a size a collection line holds and clues -1..3; its collection
// line parses back to the same puzzle, which loads onto a board; the puzzle
// written out again in either public form imports to itself.
#include <cstddef>
#include <cstdint>
#include <string>

#include "board/board.h"
#include "fuzz_support.h"
#include "puzzle_import.h"
#include "store/puzzle_collection.h"

namespace quorrin::fuzz {
namespace {

bool samePuzzle(const LoopPuzzle& a, const LoopPuzzle& b) {
    return a.width == b.width && a.height == b.height && a.clues == b.clues;
}

void checkResult(bool accepted, const LoopPuzzle& puzzle, const std::string& error) {
    if (!accepted) {
        FUZZ_CHECK(!error.empty());
        return;
    }
    FUZZ_CHECK(fitsCollection(puzzle.width, puzzle.height));
    FUZZ_CHECK(puzzle.width <= 62);
    FUZZ_CHECK((puzzle.width + 1) * (puzzle.height + 1) <= kMaxVertices);
    FUZZ_CHECK(puzzle.clues.size() == static_cast<std::size_t>(puzzle.width * puzzle.height));
    for (const std::int8_t clue : puzzle.clues) FUZZ_CHECK(clue >= -1 && clue <= 3);
}

// Empty cells as runs of at most `longest`, each written by `runLetter`.
template <typename RunLetter>
void putRun(std::string& out, int& empties, int longest, RunLetter runLetter) {
    while (empties > 0) {
        const int run = empties < longest ? empties : longest;
        out.push_back(runLetter(run));
        empties -= run;
    }
}

std::string gameIdOf(const LoopPuzzle& p) {
    std::string out = std::to_string(p.width) + "x" + std::to_string(p.height) + "t0:";
    int empties = 0;
    const auto letter = [](int run) { return static_cast<char>('a' + run - 1); };
    for (const std::int8_t clue : p.clues) {
        if (clue < 0) {
            ++empties;
            continue;
        }
        putRun(out, empties, 26, letter);
        out.push_back(static_cast<char>('0' + clue));
    }
    putRun(out, empties, 26, letter);
    return out;
}

std::string urlOf(const LoopPuzzle& p) {
    std::string out = " https://example.invalid/p?slither/" + std::to_string(p.width) + "/" +
                      std::to_string(p.height) + "/";
    const auto letter = [](int run) { return static_cast<char>('g' + run - 1); };
    std::size_t i = 0;
    int empties = 0;
    while (i < p.clues.size()) {
        const std::int8_t clue = p.clues[i++];
        if (clue < 0) {
            ++empties;
            continue;
        }
        putRun(out, empties, 20, letter);
        // A clue takes up to two empty cells after it.
        int after = 0;
        while (after < 2 && i < p.clues.size() && p.clues[i] < 0) {
            ++after;
            ++i;
        }
        out.push_back(static_cast<char>((after == 0 ? '0' : after == 1 ? '5' : 'a') + clue));
    }
    putRun(out, empties, 20, letter);
    return out + "/\n";
}

void checkCollectionLine(const LoopPuzzle& p) {
    const std::string line =
        "2/" + std::to_string(p.height) + "/" + std::to_string(p.width) + "/" + p.rowsText() + "\n";
    FUZZ_CHECK(line.size() <= static_cast<std::size_t>(kMaxLineBytes));
    PuzzleEntry entry;
    entry.parseLine(line.c_str());
    FUZZ_CHECK(entry.difficulty == 2);
    FUZZ_CHECK(entry.width == p.width && entry.height == p.height);
    checkEntry(entry);
    const std::size_t stride = static_cast<std::size_t>(p.width) + 1;
    for (int r = 0; r < p.height; ++r) {
        for (int c = 0; c < p.width; ++c) {
            const int clue = p.clue(r, c);
            const std::uint8_t got =
                entry.clues[static_cast<std::size_t>(r) * stride + static_cast<std::size_t>(c)];
            FUZZ_CHECK(clue < 0 ? got == 255 : got == clue);
        }
    }
    Board board;
    board.load(entry);
    checkBoard(board);
    FUZZ_CHECK(board.width == p.width && board.height == p.height);
}

}  // namespace
}  // namespace quorrin::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorrin;
    using namespace quorrin::fuzz;
    const std::string text(reinterpret_cast<const char*>(data), size);

    LoopPuzzle url, id, picked;
    std::string urlError, idError, pickedError;
    const bool urlOk = importUrlForm(text, url, urlError);
    const bool idOk = importGameId(text, id, idError);
    const bool pickedOk = importPuzzle(text, picked, pickedError);
    checkResult(urlOk, url, urlError);
    checkResult(idOk, id, idError);
    checkResult(pickedOk, picked, pickedError);

    const bool isUrl = text.find('?') != std::string::npos;
    FUZZ_CHECK(pickedOk == (isUrl ? urlOk : idOk));
    if (pickedOk) FUZZ_CHECK(samePuzzle(picked, isUrl ? url : id));
    if (!pickedOk) FUZZ_CHECK(pickedError == (isUrl ? urlError : idError));

    for (const LoopPuzzle* p : {&url, &id}) {
        if (p == &url ? !urlOk : !idOk) continue;
        checkCollectionLine(*p);
        LoopPuzzle again;
        std::string error;
        FUZZ_CHECK(importGameId(gameIdOf(*p), again, error));
        FUZZ_CHECK(samePuzzle(again, *p));
        FUZZ_CHECK(importUrlForm(urlOf(*p), again, error));
        FUZZ_CHECK(samePuzzle(again, *p));
        FUZZ_CHECK(importPuzzle(urlOf(*p), again, error));
        FUZZ_CHECK(samePuzzle(again, *p));
    }
    return 0;
}
