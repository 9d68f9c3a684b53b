// Progress: the clear times of every collection ever opened, the current
// collection and puzzle, and the save file that keeps them between runs
// together with the game in play.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "board/board.h"
#include "store/puzzle_collection.h"
#include "store/trial_mode.h"

namespace quorrin {

// 64 bytes in the save file: identity, then 30 clear times in seconds
// (0 = not cleared).
struct ProgressRecord {
    std::uint32_t identity = 0;
    std::int16_t clearTimes[kMaxPuzzles] = {};
};

constexpr std::size_t kPathBytes = 512;
constexpr std::size_t kNameBytes = 64;
constexpr std::size_t kSavedGridBytes = 2048;
constexpr std::size_t kRecordBytes = 64;
constexpr std::size_t kSaveHeaderBytes = 2136;
// Resume state of a save file without a game to resume.
constexpr std::int32_t kNoResume = -1;
// Longest time the clock shows, in seconds (59:59).
constexpr std::int32_t kMaxElapsed = 3599;
// Most records a save file can hold: as many as its signed 32-bit count
// can name.
constexpr std::int32_t kMaxRecords = 0x7FFFFFFF;

// Length of a NUL-terminated text within size bytes (the store's fixed
// fields); size when it has no NUL.
std::size_t boundedLength(const char* text, std::size_t size);

struct ProgressStore {
    char savePath[kPathBytes] = {};
    char collectionName[kNameBytes] = {};
    std::int32_t recordCount = 0;
    std::int32_t currentPuzzle = 0;
    std::int32_t resumeState = 0;
    std::int32_t originVertex = 0;
    std::int32_t originOrientation = 0;
    std::int32_t elapsedSeconds = 0;
    std::uint8_t savedGrid[kSavedGridBytes] = {};
    std::vector<ProgressRecord> records;
    PuzzleCollection collection;
    std::int32_t folderLength = 0;
    std::int32_t currentRecord = 0;

    // Read the collection named by collectionName from the executable's
    // folder and make its record current (appending a new record, and
    // dropping the game to resume, for a text never seen before). False
    // when the file cannot be read, or when the name is not a collection
    // file's name (isCollectionFileName): a damaged save file could name
    // any other place, a device, or the save file itself.
    bool loadCollection();
    // Move currentPuzzle to the first uncleared puzzle from it onwards,
    // wrapping round; false (nothing changed) when every puzzle is cleared.
    bool selectNextUncleared();
    // Read the save file and the collection it names; either load the board
    // with the puzzle to start (solved stays true) or restore the saved game.
    // A damaged save file is never trusted: see the .cpp for what is kept.
    bool loadAtStartup(std::int32_t& elapsed, bool& solved, TrialMode& trialState,
                       EdgeRef& trialOrigin, Board& board);
    // Write the save file: into a temporary file beside it, which then
    // replaces the old one. True when the file was replaced; on false the
    // previous save file is as it was.
    bool writeSaveFile(const Board& board, std::int32_t resumeState, EdgeRef trialOrigin,
                       std::int32_t elapsed);

    // The save file's bytes for the store as it is (header and records).
    std::vector<std::uint8_t> encodeSaveFile() const;
    // Take the header and the records from a save file's bytes. False (and
    // nothing changed) when the bytes are shorter than the header.
    bool decodeSaveFile(const std::uint8_t* bytes, std::size_t size);

    // Store name in collectionName, zero-filled after its NUL. False (and
    // nothing changed) when it does not fit the 64-byte field.
    bool setCollectionName(const char* name);
    // The collection files in the executable's folder, by name, in byte
    // order: the files the platform lists whose names isCollectionFileName
    // takes.
    std::vector<std::string> collectionFiles() const;
    // The current collection's record, or null when there is none.
    ProgressRecord* currentProgress();
};

}  // namespace quorrin
