// One game per folder. Two copies started from the same folder would each
// write the save file when they end, the later one over the earlier one's
// clear times; so the second start only brings the running copy's window
// to the front and ends. Copies in different folders run side by side.
#pragma once

namespace quorrin {
namespace win32 {

// Claims the program's folder for this process (the working directory,
// entered before). False when another copy holds it; its window (main
// window, dialog or message box, whichever takes input) has then been
// brought to the front. The claim lasts until the process ends.
bool claimProgramFolder();

}  // namespace win32
}  // namespace quorrin
