// One game per save file. Two copies of the program playing from the same
// folder would each write the save file when they end, the later one over
// the earlier one's clear times; so the second start only brings the running
// copy's window to the front and ends. Copies in different folders run side
// by side.
//
// The claim is a lock on the executable file itself, held for the life of
// the process. The file system decides what "the same file" is, not the
// text of a path: the folder reached through an 8.3 name, a subst or mapped
// drive and its UNC path, a junction, from two PCs on one network share or
// as another user is still one folder. (A copy renamed in the same folder
// has a save file of its own, and plays beside the other.)
#pragma once

#include <string>

namespace quorrin {
namespace win32 {

// Claims the program for this process. executable is the program's full
// path. False when another copy holds it; its window (main window, dialog
// or message box, whichever takes input) has then been brought to the
// front when it runs on this PC. When no lock can be taken for another
// reason (a file system without locks), true: the game plays unguarded.
bool claimProgram(const std::wstring& executable);

}  // namespace win32
}  // namespace quorrin
