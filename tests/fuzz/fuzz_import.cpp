// Fuzz target: the input as a puzzle to import, in both public text forms.
//
// Properties: the form is picked by the "?"; a refusal says why; an accepted
// puzzle has a size a collection line holds and clues -1..3; its collection
// line parses back to the same puzzle, which loads onto a board. (How the forms are read is the
// importer's unit tests.)
#include "fuzz_support.h"
#include "puzzle_import.h"

using namespace quorrin;

namespace {

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
    for (std::size_t i = 0; i < p.clues.size(); ++i) {
        const std::size_t at = i + i / static_cast<std::size_t>(p.width);
        FUZZ_CHECK(p.clues[i] >= -1 && p.clues[i] <= 3 &&
                   static_cast<std::int8_t>(entry.clues[at]) == p.clues[i]);
    }
    Board board;
    board.load(entry);
    checkBoard(board);
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
    FUZZ_CHECK(!pickedOk || picked.clues == (isUrl ? url : id).clues);
    if (urlOk) checkAccepted(url);
    if (idOk) checkAccepted(id);
    return 0;
}
