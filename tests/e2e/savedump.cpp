// savedump SAVEFILE
//
// Reads a save file with the store's own decoder and prints what it holds,
// one "key=value" line each, for the end-to-end tests:
//
//   size=BYTES                the file's size
//   storedRecordCount=N       the record count as the header states it
//   collectionName=NAME
//   recordCount=N             records decoded
//   currentPuzzle=N
//   resumeState=N
//   originVertex=N
//   originOrientation=N
//   elapsedSeconds=N
//   grid=DIGITS               the saved vertex codes, one digit each, the
//                             trailing zero bytes left out
//   record.I.identity=0xHEX
//   record.I.clearTimes=T0,T1,...,T29
//
// Exit status 1 when the file is missing or shorter than the header.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "store/progress_store.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: savedump SAVEFILE\n");
        return 2;
    }
    std::FILE* file = std::fopen(argv[1], "rb");
    if (file == nullptr) {
        std::fprintf(stderr, "savedump: no file %s\n", argv[1]);
        return 1;
    }
    std::vector<std::uint8_t> bytes;
    std::uint8_t chunk[4096];
    for (;;) {
        const std::size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk) break;
    }
    std::fclose(file);

    quorrin::ProgressStore store;
    if (!store.decodeSaveFile(bytes.data(), bytes.size())) {
        std::fprintf(stderr, "savedump: %s is shorter than the header (%zu bytes)\n", argv[1],
                     bytes.size());
        return 1;
    }
    const std::uint32_t storedCount =
        static_cast<std::uint32_t>(bytes[64]) | static_cast<std::uint32_t>(bytes[65]) << 8 |
        static_cast<std::uint32_t>(bytes[66]) << 16 | static_cast<std::uint32_t>(bytes[67]) << 24;

    std::printf("size=%zu\n", bytes.size());
    std::printf("storedRecordCount=%d\n", static_cast<std::int32_t>(storedCount));
    std::printf("collectionName=%s\n", store.collectionName);
    std::printf("recordCount=%d\n", store.recordCount);
    std::printf("currentPuzzle=%d\n", store.currentPuzzle);
    std::printf("resumeState=%d\n", store.resumeState);
    std::printf("originVertex=%d\n", store.originVertex);
    std::printf("originOrientation=%d\n", store.originOrientation);
    std::printf("elapsedSeconds=%d\n", store.elapsedSeconds);

    std::size_t used = quorrin::kSavedGridBytes;
    while (used > 0 && store.savedGrid[used - 1] == 0) --used;
    std::string grid;
    for (std::size_t i = 0; i < used; ++i) {
        const unsigned code = store.savedGrid[i];
        grid += code <= 9 ? static_cast<char>('0' + code) : '?';
    }
    std::printf("grid=%s\n", grid.c_str());

    for (std::size_t r = 0; r < store.records.size(); ++r) {
        const quorrin::ProgressRecord& record = store.records[r];
        std::printf("record.%zu.identity=0x%08x\n", r, static_cast<unsigned>(record.identity));
        std::printf("record.%zu.clearTimes=", r);
        for (int i = 0; i < quorrin::kMaxPuzzles; ++i) {
            std::printf(i == 0 ? "%d" : ",%d", record.clearTimes[i]);
        }
        std::printf("\n");
    }
    return 0;
}
