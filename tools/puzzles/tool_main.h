// The puzzle tools' programs each define toolMain; tool_main.cpp is their
// entry, which on Windows takes the wide command line (see
// app/win32/tool_entry.h) and elsewhere the arguments as they come.
#pragma once

int toolMain(int argc, char** argv);
