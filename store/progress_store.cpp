// The progress store and its save file.
//
// A save file is never trusted blindly:
// - shorter than its header: treated as missing;
// - a record count that is negative or larger than the records the file
//   holds: the whole records the file holds are kept; clear times are kept
//   as they stand, and any but 0 counts as cleared;
// - a collection name that is not a collection file's name (a folder
//   separator, a drive colon, a device such as COM1, no ".dat", the save
//   file's own name): no collection can be loaded, as below;
// - a collection name without NUL: no collection can be loaded, the records
//   are kept (start-up then asks for a collection);
// - a current puzzle outside the collection, a resume state other than
//   -1..2, vertex codes above 8, edges leading off the board, or grid bytes
//   beyond the puzzle's grid that are not zero (the grid belongs to another
//   puzzle): the saved game is dropped and the puzzle starts afresh;
// - a trial origin that is not an edge of the board: the origin is dropped,
//   and a started trial goes back to armed (its snapshot is the board as
//   resumed); the clock is held to 0..3599.
#include "store/progress_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <utility>

#include "store/platform.h"

namespace quorrin {

namespace {

constexpr std::size_t kNameOffset = 0;
constexpr std::size_t kCountOffset = 64;
constexpr std::size_t kPuzzleOffset = 68;
constexpr std::size_t kResumeOffset = 72;
constexpr std::size_t kOriginVertexOffset = 76;
constexpr std::size_t kOriginOrientationOffset = 80;
constexpr std::size_t kElapsedOffset = 84;
constexpr std::size_t kGridOffset = 88;

void put32(std::uint8_t* at, std::uint32_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
    at[2] = static_cast<std::uint8_t>(value >> 16);
    at[3] = static_cast<std::uint8_t>(value >> 24);
}

void put16(std::uint8_t* at, std::uint16_t value) {
    at[0] = static_cast<std::uint8_t>(value);
    at[1] = static_cast<std::uint8_t>(value >> 8);
}

std::uint32_t get32(const std::uint8_t* at) {
    return static_cast<std::uint32_t>(at[0]) | static_cast<std::uint32_t>(at[1]) << 8 |
           static_cast<std::uint32_t>(at[2]) << 16 | static_cast<std::uint32_t>(at[3]) << 24;
}

std::int32_t getSigned32(const std::uint8_t* at) {
    const std::uint32_t value = get32(at);
    return value <= 0x7FFFFFFFu ? static_cast<std::int32_t>(value)
                                : -static_cast<std::int32_t>(~value) - 1;
}

std::int16_t getSigned16(const std::uint8_t* at) {
    const int value = at[0] | at[1] << 8;
    return static_cast<std::int16_t>(value <= 0x7FFF ? value : value - 0x10000);
}

// Appends the file's next bytes to `bytes` until it holds `limit` of them or
// the file ends. The buffer grows with what is read, never ahead of it, so a
// count that claims more than the file holds costs nothing.
void readUpTo(std::FILE* file, std::uint64_t limit, std::vector<std::uint8_t>& bytes) {
    constexpr std::size_t kChunk = 1 << 16;
    while (bytes.size() < limit) {
        const std::size_t want =
            static_cast<std::size_t>(std::min<std::uint64_t>(kChunk, limit - bytes.size()));
        const std::size_t old = bytes.size();
        bytes.resize(old + want);
        const std::size_t got = std::fread(bytes.data() + old, 1, want, file);
        bytes.resize(old + got);
        if (got < want) break;
    }
}

// The save file's header and the records it holds: as many as its count
// says, or all whole records up to the end of the file when the count is
// negative or larger than that. False when it cannot be opened.
bool readSaveBytes(const char* path, std::vector<std::uint8_t>& bytes) {
    if (platform().openFile == nullptr) return false;
    std::FILE* file = platform().openFile(path, "rb");
    if (file == nullptr) return false;
    bytes.clear();
    readUpTo(file, kSaveHeaderBytes, bytes);
    if (bytes.size() == kSaveHeaderBytes) {
        const std::int32_t count = getSigned32(bytes.data() + kCountOffset);
        const std::uint64_t records = static_cast<std::uint64_t>(count >= 0 ? count : kMaxRecords);
        readUpTo(file,
                 std::min<std::uint64_t>(kSaveHeaderBytes + kRecordBytes * records,
                                         std::numeric_limits<std::size_t>::max()),
                 bytes);
    }
    // Read only: nothing is lost when closing fails.
    (void)std::fclose(file);
    return true;
}

// True when the saved grid is a board of the entry's size: codes 0..8,
// no edge leading off the board, zero beyond the board's grid.
bool gridFits(const std::uint8_t* grid, const PuzzleEntry& entry) {
    const std::int64_t stride = static_cast<std::int64_t>(entry.width) + 1;
    const std::int64_t count = stride * (static_cast<std::int64_t>(entry.height) + 1);
    if (entry.width < 0 || entry.height < 0 || count > static_cast<std::int64_t>(kSavedGridBytes)) {
        return false;
    }
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(kSavedGridBytes); ++i) {
        const std::uint8_t code = grid[i];
        if (i >= count) {
            if (code != 0) return false;
            continue;
        }
        if (code > 8) return false;
        if (i % stride == entry.width && code / 3 != Empty) return false;
        if (i / stride == entry.height && code % 3 != Empty) return false;
    }
    return true;
}

// True when origin names an edge of a board of the entry's size.
bool originFits(std::int32_t vertex, std::int32_t orientation, const PuzzleEntry& entry) {
    const std::int64_t stride = static_cast<std::int64_t>(entry.width) + 1;
    const std::int64_t count = stride * (static_cast<std::int64_t>(entry.height) + 1);
    if (vertex < 0 || vertex >= count) return false;
    if (orientation == 0) return vertex % stride < entry.width;
    if (orientation == 1) return vertex / stride < entry.height;
    return false;
}

}  // namespace

std::size_t boundedLength(const char* text, std::size_t size) {
    std::size_t length = 0;
    while (length < size && text[length] != '\0') ++length;
    return length;
}

ProgressRecord* ProgressStore::currentProgress() {
    if (currentRecord < 0 || static_cast<std::size_t>(currentRecord) >= records.size()) {
        return nullptr;
    }
    return &records[static_cast<std::size_t>(currentRecord)];
}

bool ProgressStore::setCollectionName(const char* name) {
    if (name == nullptr) return false;
    const std::size_t length = boundedLength(name, kNameBytes);
    if (length >= kNameBytes) return false;
    std::memset(collectionName, 0, kNameBytes);
    std::memcpy(collectionName, name, length);
    return true;
}

std::vector<std::string> ProgressStore::collectionFiles() const {
    std::vector<std::string> names;
    const std::size_t pathLength = boundedLength(savePath, kPathBytes);
    if (folderLength < 0 || static_cast<std::size_t>(folderLength) > pathLength) return names;
    const std::string folder(savePath, static_cast<std::size_t>(folderLength));
    if (platform().listCollectionFiles != nullptr) {
        platform().listCollectionFiles(folder.c_str(), names);
    }
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& name) { return !isCollectionFileName(name); }),
                names.end());
    return names;
}

bool ProgressStore::loadCollection() {
    const std::size_t nameLength = boundedLength(collectionName, kNameBytes);
    if (nameLength >= kNameBytes) return false;
    if (!isCollectionFileName(std::string(collectionName, nameLength))) return false;
    const std::size_t pathLength = boundedLength(savePath, kPathBytes);
    if (folderLength < 0 || static_cast<std::size_t>(folderLength) > pathLength) return false;
    const std::size_t folder = static_cast<std::size_t>(folderLength);
    if (folder + nameLength + 1 > kPathBytes) return false;

    char path[kPathBytes] = {};
    std::memcpy(path, savePath, folder);
    std::memcpy(path + folder, collectionName, nameLength);

    // Read into a fresh collection, so that a failed read leaves the current
    // one in play untouched.
    PuzzleCollection fresh;
    std::uint32_t identity = 0;
    if (!fresh.read(path, identity)) return false;
    collection = std::move(fresh);

    for (std::size_t i = 0; i < records.size(); ++i) {
        if (records[i].identity == identity) {
            currentRecord = static_cast<std::int32_t>(i);
            return true;
        }
    }
    ProgressRecord record;
    record.identity = identity;
    records.push_back(record);
    currentRecord = static_cast<std::int32_t>(records.size() - 1);
    recordCount = static_cast<std::int32_t>(records.size());
    resumeState = kNoResume;
    return true;
}

bool ProgressStore::selectNextUncleared() {
    const ProgressRecord* record = currentProgress();
    if (record == nullptr) return false;
    const std::int32_t count = std::min(std::max(collection.puzzleCount, 0), kMaxPuzzles);
    // A current puzzle outside the collection is searched from the start.
    const std::int32_t from = (currentPuzzle >= 0 && currentPuzzle < count) ? currentPuzzle : 0;
    for (std::int32_t i = from; i < count; ++i) {
        if (record->clearTimes[i] == 0) {
            currentPuzzle = i;
            return true;
        }
    }
    for (std::int32_t i = 0; i < from; ++i) {
        if (record->clearTimes[i] == 0) {
            currentPuzzle = i;
            return true;
        }
    }
    return false;
}

std::vector<std::uint8_t> ProgressStore::encodeSaveFile() const {
    std::vector<std::uint8_t> bytes(kSaveHeaderBytes + kRecordBytes * records.size(), 0);
    std::uint8_t* out = bytes.data();
    const std::size_t nameLength = boundedLength(collectionName, kNameBytes - 1);
    std::memcpy(out + kNameOffset, collectionName, nameLength);  // zero after the name
    put32(out + kCountOffset, static_cast<std::uint32_t>(records.size()));
    put32(out + kPuzzleOffset, static_cast<std::uint32_t>(currentPuzzle));
    put32(out + kResumeOffset, static_cast<std::uint32_t>(resumeState));
    put32(out + kOriginVertexOffset, static_cast<std::uint32_t>(originVertex));
    out[kOriginOrientationOffset] = static_cast<std::uint8_t>(originOrientation & 0xFF);
    put32(out + kElapsedOffset, static_cast<std::uint32_t>(elapsedSeconds));
    std::memcpy(out + kGridOffset, savedGrid, kSavedGridBytes);
    std::uint8_t* at = out + kSaveHeaderBytes;
    for (const ProgressRecord& record : records) {
        put32(at, record.identity);
        for (int i = 0; i < kMaxPuzzles; ++i) {
            put16(at + 4 + 2 * static_cast<std::ptrdiff_t>(i),
                  static_cast<std::uint16_t>(record.clearTimes[i]));
        }
        at += kRecordBytes;
    }
    return bytes;
}

bool ProgressStore::decodeSaveFile(const std::uint8_t* bytes, std::size_t size) {
    if (bytes == nullptr || size < kSaveHeaderBytes) return false;
    std::memset(collectionName, 0, kNameBytes);
    const std::size_t nameLength =
        boundedLength(reinterpret_cast<const char*>(bytes + kNameOffset), kNameBytes);
    if (nameLength < kNameBytes) std::memcpy(collectionName, bytes + kNameOffset, nameLength);
    const std::int32_t storedCount = getSigned32(bytes + kCountOffset);
    currentPuzzle = getSigned32(bytes + kPuzzleOffset);
    resumeState = getSigned32(bytes + kResumeOffset);
    originVertex = getSigned32(bytes + kOriginVertexOffset);
    originOrientation = bytes[kOriginOrientationOffset];
    elapsedSeconds = getSigned32(bytes + kElapsedOffset);
    std::memcpy(savedGrid, bytes + kGridOffset, kSavedGridBytes);

    // The whole records present, however many the count claims.
    const std::size_t present =
        std::min((size - kSaveHeaderBytes) / kRecordBytes, static_cast<std::size_t>(kMaxRecords));
    const std::size_t count = (storedCount >= 0 && static_cast<std::size_t>(storedCount) <= present)
                                  ? static_cast<std::size_t>(storedCount)
                                  : present;
    records.assign(count, ProgressRecord{});
    const std::uint8_t* at = bytes + kSaveHeaderBytes;
    for (ProgressRecord& record : records) {
        record.identity = get32(at);
        for (int i = 0; i < kMaxPuzzles; ++i) {
            // Kept as the file holds it, to be written back unchanged.
            record.clearTimes[i] = getSigned16(at + 4 + 2 * static_cast<std::ptrdiff_t>(i));
        }
        at += kRecordBytes;
    }
    recordCount = static_cast<std::int32_t>(records.size());
    currentRecord = 0;
    return true;
}

bool ProgressStore::loadAtStartup(std::int32_t& elapsed, bool& solved, TrialMode& trialState,
                                  EdgeRef& trialOrigin, Board& board) {
    std::memset(savePath, 0, kPathBytes);
    folderLength = 0;
    char exe[kPathBytes] = {};
    if (platform().executablePath == nullptr || !platform().executablePath(exe, kPathBytes)) {
        return false;
    }
    const std::size_t length = boundedLength(exe, kPathBytes);
    if (length < 3 || length >= kPathBytes) return false;
    std::memcpy(savePath, exe, length);
    for (std::size_t i = 0; i < length; ++i) {
        if (exe[i] == '\\' || exe[i] == '/') folderLength = static_cast<std::int32_t>(i + 1);
    }
    std::memcpy(savePath + length - 3, "sav", 3);

    std::vector<std::uint8_t> bytes;
    if (!readSaveBytes(savePath, bytes)) return false;
    if (!decodeSaveFile(bytes.data(), bytes.size())) return false;
    if (!loadCollection()) {
        resumeState = kNoResume;
        return false;
    }

    if (currentPuzzle < 0 || currentPuzzle >= collection.puzzleCount) {
        currentPuzzle = 0;
        resumeState = kNoResume;
    }
    if (resumeState < kNoResume || resumeState > Started) resumeState = kNoResume;
    const PuzzleEntry& entry = collection.puzzles[currentPuzzle];
    if (resumeState != kNoResume && !gridFits(savedGrid, entry)) resumeState = kNoResume;

    if (resumeState == kNoResume) {
        selectNextUncleared();
        board.load(collection.puzzles[currentPuzzle]);
        return true;
    }

    if (!originFits(originVertex, originOrientation, entry)) {
        originVertex = -1;
        originOrientation = 0;
    }
    if (resumeState == Started && originVertex == -1) resumeState = Armed;
    elapsedSeconds = std::min(std::max(elapsedSeconds, 0), kMaxElapsed);

    solved = false;
    trialState = static_cast<TrialMode>(resumeState);
    trialOrigin.vertex = originVertex;
    trialOrigin.vertical = static_cast<std::uint8_t>(originOrientation & 0xFF);
    elapsed = elapsedSeconds;
    board.restore(entry, savedGrid);
    return true;
}

bool ProgressStore::writeSaveFile(const Board& board, std::int32_t resume, EdgeRef trialOrigin,
                                  std::int32_t elapsed) {
    const PlatformHooks& system = platform();
    if (savePath[0] == '\0' || system.replaceFile == nullptr || system.openFile == nullptr) {
        return false;
    }
    std::memset(savedGrid, 0, kSavedGridBytes);
    const std::size_t gridBytes = std::min(board.codes.size(), kSavedGridBytes);
    if (gridBytes > 0) std::memcpy(savedGrid, board.codes.data(), gridBytes);
    resumeState = resume;
    originVertex = trialOrigin.vertex >= 0 ? trialOrigin.vertex : -1;
    originOrientation = trialOrigin.vertical;
    elapsedSeconds = elapsed;
    recordCount = static_cast<std::int32_t>(records.size());

    const std::vector<std::uint8_t> bytes = encodeSaveFile();
    const std::string target(savePath, boundedLength(savePath, kPathBytes));
    const std::string temporary = target + ".tmp";
    std::FILE* file = system.openFile(temporary.c_str(), "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    written = std::fflush(file) == 0 && written;
    written = std::fclose(file) == 0 && written;
    if (!written || !system.replaceFile(temporary.c_str(), target.c_str())) {
        // The old save file is untouched; a temporary file that cannot be
        // removed is written over next time.
        if (system.removeFile != nullptr) (void)system.removeFile(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace quorrin
