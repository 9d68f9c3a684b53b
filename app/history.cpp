#include "app/history.h"

#include <algorithm>
#include <tuple>

namespace quorrin {

namespace {

constexpr std::uint32_t kFirst = 1u << 31;
constexpr std::uint32_t kTrialWord = 1u << 30;
constexpr std::uint32_t kSnapshotWord = 1u << 29;
constexpr std::uint32_t kVertexMask = 0xFFF;
constexpr std::uint32_t kOriginMask = 0x1FFF;

static_assert(kMaxVertices <= 4096, "a vertex must fit into 12 bits");
static_assert(2 * kMaxVertices <= 8191, "an origin must fit into 13 bits");

std::uint32_t originBits(EdgeRef e) {
    return e.valid() ? static_cast<std::uint32_t>(2 * e.vertex + e.vertical + 1) : 0;
}

EdgeRef originOf(std::uint32_t bits) {
    if (bits == 0) return EdgeRef{};
    return EdgeRef{static_cast<std::int32_t>((bits - 1) / 2),
                   static_cast<std::uint8_t>((bits - 1) % 2)};
}

}  // namespace

void History::begin(const GameState& state) {
    codes_ = state.board.codes;
    snapshot_ = state.board.snapshot;
    trial_ = state.trial;
    origin_ = state.origin;
}

bool History::end(const GameState& state) {
    std::vector<std::uint32_t>& step = pending_;
    step.clear();
    const std::vector<std::uint8_t>* grids[2][2] = {{&codes_, &state.board.codes},
                                                    {&snapshot_, &state.board.snapshot}};
    for (std::uint32_t grid = 0; grid < 2; ++grid) {
        const std::vector<std::uint8_t>& before = *grids[grid][0];
        const std::vector<std::uint8_t>& after = *grids[grid][1];
        if (before.size() != after.size() || after.size() > kVertexMask + 1) {
            clear();  // another board: nothing before it can be put back
            return false;
        }
        for (auto [b, a] = std::mismatch(before.begin(), before.end(), after.begin());
             b != before.end(); std::tie(b, a) = std::mismatch(b + 1, before.end(), a + 1)) {
            const auto v = static_cast<std::size_t>(b - before.begin());
            step.push_back(static_cast<std::uint32_t>(v) | (*b & 0xFu) << 12 | (*a & 0xFu) << 16 |
                           (grid != 0 ? kSnapshotWord : 0));
        }
    }
    if (trial_ != state.trial || origin_ != state.origin) {
        step.push_back(kTrialWord | static_cast<std::uint32_t>(trial_) |
                       static_cast<std::uint32_t>(state.trial) << 2 | originBits(origin_) << 4 |
                       originBits(state.origin) << 17);
    }
    // Without a change the steps undone before stay to be redone.
    if (step.empty()) return false;
    step.front() |= kFirst;
    words_.resize(position_);
    words_.insert(words_.end(), step.begin(), step.end());
    position_ = words_.size();
    return true;
}

bool History::undo(const GameState& state) {
    if (!canUndo()) return false;
    std::size_t from = position_ - 1;
    while ((words_[from] & kFirst) == 0) --from;
    apply(state, from, position_, false);
    position_ = from;
    return true;
}

bool History::redo(const GameState& state) {
    if (!canRedo()) return false;
    std::size_t to = position_ + 1;
    while (to < words_.size() && (words_[to] & kFirst) == 0) ++to;
    apply(state, position_, to, true);
    position_ = to;
    return true;
}

void History::apply(const GameState& state, std::size_t from, std::size_t to, bool forward) const {
    Board& board = state.board;
    for (std::size_t i = from; i < to; ++i) {
        const std::uint32_t word = words_[i];
        if ((word & kTrialWord) != 0) {
            const std::uint32_t mode = forward ? word >> 2 & 3 : word & 3;
            state.trial = static_cast<TrialMode>(mode);
            state.origin = originOf(forward ? word >> 17 & kOriginMask : word >> 4 & kOriginMask);
            continue;
        }
        std::vector<std::uint8_t>& grid =
            (word & kSnapshotWord) != 0 ? board.snapshot : board.codes;
        const std::size_t v = word & kVertexMask;
        if (v < grid.size())
            grid[v] = static_cast<std::uint8_t>(forward ? word >> 16 & 0xF : word >> 12 & 0xF);
    }
    board.updateClueStates();
}

void History::clear() {
    words_.clear();
    words_.shrink_to_fit();
    position_ = 0;
}

std::size_t History::steps() const {
    std::size_t count = 0;
    for (const std::uint32_t word : words_) count += (word & kFirst) != 0 ? 1 : 0;
    return count;
}

std::size_t History::bytes() const {
    return sizeof *this + words_.capacity() * sizeof(std::uint32_t) + codes_.capacity() +
           snapshot_.capacity() + pending_.capacity() * sizeof(std::uint32_t);
}

}  // namespace quorrin
