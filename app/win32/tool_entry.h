// The console tools' entry on Windows. Their arguments come from the wide
// command line, as Shift_JIS like every name inside the program, and their
// files are opened by wide names through the game's own file services: a
// tool names the same files whatever the system's code page (932, 1252 or
// 65001).
#pragma once

namespace quorrin {
namespace win32 {

// Runs toolMain with the arguments in Shift_JIS. An argument with a
// character Shift_JIS cannot write could name no file the tool can open:
// the tool is not run, and the result is 2 (wrong usage).
int runTool(int (*toolMain)(int argc, char** argv), int argc, wchar_t** argv);

}  // namespace win32
}  // namespace quorrin
