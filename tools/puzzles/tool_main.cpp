#include "tool_main.h"

#ifdef _WIN32
#include "app/win32/tool_entry.h"

int wmain(int argc, wchar_t** argv) {
    return quorrin::win32::runTool(toolMain, argc, argv);
}
#else
int main(int argc, char** argv) {
    return toolMain(argc, argv);
}
#endif
