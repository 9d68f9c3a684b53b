// savedump SAVEFILE
//
// What a save file holds, read with the store's own decoder, for the
// end-to-end tests, on one line: its size in bytes, the records decoded, the
// collection's name, the puzzle, the resume state, the vertex codes (one
// digit each, trailing zeros left out) and the first record's clear times
// (comma-separated). Exit status 1 when the file is missing or shorter than
// the header.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/progress_store.h"

int main(int argc, char** argv) {
    std::FILE* file = argc == 2 ? std::fopen(argv[1], "rb") : nullptr;
    if (file == nullptr) return 1;
    std::vector<std::uint8_t> bytes;
    for (int c = std::fgetc(file); c != EOF; c = std::fgetc(file)) {
        bytes.push_back(static_cast<std::uint8_t>(c));
    }
    std::fclose(file);
    static quorrin::ProgressStore store;
    if (!store.decodeSaveFile(bytes.data(), bytes.size())) return 1;
    std::string grid, times;
    for (const std::uint8_t code : store.savedGrid) grid += static_cast<char>('0' + code);
    grid.erase(grid.find_last_not_of('0') + 1);
    for (int i = 0; !store.records.empty() && i < quorrin::kMaxPuzzles; ++i) {
        times += (i == 0 ? "" : ",") + std::to_string(store.records[0].clearTimes[i]);
    }
    std::printf("%zu %zu %s %d %d %s %s\n", bytes.size(), store.records.size(),
                store.collectionName, store.currentPuzzle, store.resumeState, grid.c_str(),
                times.c_str());
    return 0;
}
