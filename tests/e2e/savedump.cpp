// savedump SAVEFILE
//
// What a save file holds, read with the store's own decoder, for the
// end-to-end tests, on one line: its size in bytes, the records decoded, the
// collection's name, the puzzle, the resume state, the vertex codes (one
// digit each, trailing zeros left out) and the first record's clear time of
// its first puzzle. Exit status 1 when the file is missing or shorter than
// the header.
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "store/progress_store.h"

int main(int argc, char** argv) {
    std::ifstream file(argc == 2 ? argv[1] : "", std::ios::binary);
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    static quorrin::ProgressStore store;
    if (!store.decodeSaveFile(bytes.data(), bytes.size())) return 1;
    std::string grid;
    for (const std::uint8_t code : store.savedGrid) grid += static_cast<char>('0' + code);
    grid.erase(grid.find_last_not_of('0') + 1);
    std::printf("%zu %zu %s %d %d %s %d\n", bytes.size(), store.records.size(),
                store.collectionName, store.currentPuzzle, store.resumeState, grid.c_str(),
                store.records.empty() ? -1 : store.records[0].clearTimes[0]);
    return 0;
}
