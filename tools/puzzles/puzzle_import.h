// Conversion of puzzles from the public text forms into our own.
//
// Two forms are understood:
//   URL form   ...?TYPE/COLS/ROWS/BODY   (the type word is not checked)
//     BODY is read cell by cell, row-major:
//       0-4  a clue of that value
//       5-9  a clue of value digit-5, then one empty cell
//       a-e  a clue of value letter-'a', then two empty cells
//       g-z  a run of 1 (g) to 20 (z) empty cells
//   Game ID    WxH[t0][dX]:DESC
//     DESC: a digit is a clue, a-z a run of 1 to 26 empty cells.
// The body must give exactly COLS x ROWS cells. A clue 4, an unknown-value
// clue "." and any other character are refused, as is a size that a
// collection line cannot hold.
#pragma once

#include <string>

#include "loop_solver.h"

namespace quorrin {

bool importUrlForm(const std::string& text, LoopPuzzle& out, std::string& error);
bool importGameId(const std::string& text, LoopPuzzle& out, std::string& error);
// Picks the form by the text: a "?" makes it the URL form.
bool importPuzzle(const std::string& text, LoopPuzzle& out, std::string& error);

}  // namespace quorrin
