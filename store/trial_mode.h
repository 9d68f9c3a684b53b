// The trial mode of the game in play, as the save file keeps it.
#pragma once

#include <cstdint>

namespace quorrin {

// Off: no trial; Armed: the board's snapshot is taken and no edge changed
// since; Started: the first edge changed since is the trial origin.
enum TrialMode : std::int32_t { Off = 0, Armed = 1, Started = 2 };

}  // namespace quorrin
