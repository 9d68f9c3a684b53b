// The steps of the game in play, for undo and redo. A step is whatever one
// action of the player changed: vertex codes, snapshot codes, trial mode and
// its origin. It is kept as the vertices that changed, not as whole boards,
// in 32-bit words:
//
//   bit 31      first word of a step
//   bit 30      0: a vertex; 1: the trial mode
//   a vertex:   bits 0-11 the vertex, 12-15 its code before, 16-19 after,
//               bit 29 set for the snapshot's code, clear for the board's
//   trial mode: bits 0-1 the mode before, 2-3 after, 4-16 the origin
//               before, 17-29 after (0 for none, else 2 x vertex +
//               vertical + 1)
//
// A mark is one word; the click that starts a trial two; a roll back, a
// commit or a restart one word per vertex it changed and one for the mode.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "board/board.h"
#include "store/trial_mode.h"

namespace quorrin {

// What a step may change, as the game keeps it.
struct GameState {
    Board& board;
    TrialMode& trial;
    EdgeRef& origin;
};

class History {
  public:
    // Before an action: note the state it starts from.
    void begin(const GameState& state);
    // After it: keep what changed as a step, dropping the steps undone
    // before. An action that changed nothing is no step: false, and the
    // steps undone stay. A board of another size forgets every step.
    bool end(const GameState& state);

    bool canUndo() const { return position_ > 0; }
    bool canRedo() const { return position_ < words_.size(); }
    // Put the state back as it was before the last step kept, or as it was
    // after the last step undone, clue states recomputed. False (nothing
    // changed) when there is no such step.
    bool undo(const GameState& state);
    bool redo(const GameState& state);

    // Forget every step (a new puzzle, a solve).
    void clear();

    // Steps kept, done and undone (counted through all words).
    std::size_t steps() const;
    // Bytes the history holds, whatever is reserved included.
    std::size_t bytes() const;

  private:
    void apply(const GameState& state, std::size_t from, std::size_t to, bool forward) const;

    std::vector<std::uint32_t> words_;
    std::size_t position_ = 0;  // words_[0, position_) are done, the rest undone
    // The state at begin().
    std::vector<std::uint8_t> codes_;
    std::vector<std::uint8_t> snapshot_;
    TrialMode trial_ = Off;
    EdgeRef origin_;
    std::vector<std::uint32_t> pending_;  // the step being made
};

}  // namespace quorrin
