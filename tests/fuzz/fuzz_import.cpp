// Fuzz target: the input as a puzzle to import, in both public text forms.
//
// Properties: the form is picked by the "?"; a refusal says why; an accepted
// puzzle has a size a collection line holds and clues -1..3; its collection
// line parses back to the same puzzle; the puzzle
// written out again in either public form imports to itself.
#include "fuzz_support.h"
#include "puzzle_import.h"

using namespace quorrin;

namespace {

// The puzzle written out in a public form: runs of empty cells as letters
// from 'a' (game id, up to 26 a letter) or 'g' (URL, up to 20); in the URL
// form a clue takes up to two empty cells after it ('0', '5' or 'a' + clue).
std::string writtenOut(const LoopPuzzle& p, bool url) {
    const std::string size = std::to_string(p.width) + (url ? "/" : "x") + std::to_string(p.height);
    std::string out = url ? " https://example.invalid/p?loop/" + size + "/" : size + "t0:";
    int empties = 0;
    for (std::size_t i = 0; i <= p.clues.size(); ++i) {
        const int clue = i < p.clues.size() ? p.clues[i] : 9;
        empties += clue < 0;
        for (int run; clue >= 0 && empties > 0; empties -= run) {
            run = std::min(empties, url ? 20 : 26);
            out.push_back(static_cast<char>((url ? 'g' : 'a') + run - 1));
        }
        int after = 0;
        for (; url && clue >= 0 && after < 2 && i + 1 < p.clues.size() && p.clues[i + 1] < 0; ++i)
            ++after;
        if (clue >= 0 && clue <= 3) out.push_back(static_cast<char>("05a"[after] + clue));
    }
    return url ? out + "/\n" : out;
}

void checkAccepted(const LoopPuzzle& p) {
    FUZZ_CHECK(p.width <= 62 && (p.width + 1) * (p.height + 1) <= kMaxVertices);
    FUZZ_CHECK(p.clues.size() == static_cast<std::size_t>(p.width * p.height));
    // Its collection line parses back to it and loads onto a board.
    const std::string line =
        "2/" + std::to_string(p.height) + "/" + std::to_string(p.width) + "/" + p.rowsText() + "\n";
    FUZZ_CHECK(line.size() <= static_cast<std::size_t>(kMaxLineBytes));
    PuzzleEntry entry;
    entry.parseLine(line.c_str());
    FUZZ_CHECK(entry.difficulty == 2 && entry.width == p.width && entry.height == p.height);
    checkEntry(entry);
    for (std::size_t i = 0; i < p.clues.size(); ++i) {
        const std::size_t at = i + i / static_cast<std::size_t>(p.width);
        FUZZ_CHECK(p.clues[i] >= -1 && p.clues[i] <= 3 &&
                   static_cast<std::int8_t>(entry.clues[at]) == p.clues[i]);
    }
    // Written out again, it imports to itself.
    LoopPuzzle again;
    std::string error;
    for (const bool url : {false, true}) {
        FUZZ_CHECK(importPuzzle(writtenOut(p, url), again, error) && again.clues == p.clues);
        FUZZ_CHECK(again.width == p.width && again.height == p.height);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    LoopPuzzle url, id, picked;
    std::string urlError, idError, pickedError;
    const bool urlOk = importUrlForm(text, url, urlError), idOk = importGameId(text, id, idError);
    const bool pickedOk = importPuzzle(text, picked, pickedError);
    // A refusal says why; the "?" picks the form.
    FUZZ_CHECK((urlOk || !urlError.empty()) && (idOk || !idError.empty()));
    const bool isUrl = text.find('?') != std::string::npos;
    FUZZ_CHECK(pickedOk == (isUrl ? urlOk : idOk) && pickedError == (isUrl ? urlError : idError));
    const LoopPuzzle& chosen = isUrl ? url : id;
    FUZZ_CHECK(!pickedOk || (picked.clues == chosen.clues && picked.width == chosen.width));
    if (urlOk) checkAccepted(url);
    if (idOk) checkAccepted(id);
    return 0;
}
