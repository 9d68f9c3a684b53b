#include "app/win32/tool_entry.h"

#include <cstddef>
#include <cstdio>
#include <string>
#include <vector>

#include "app/win32/platform_hooks.h"
#include "app/win32/shift_jis.h"

namespace quorrin {
namespace win32 {

int runTool(int (*toolMain)(int argc, char** argv), int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    arguments.reserve(static_cast<std::size_t>(argc > 0 ? argc : 0));
    for (int i = 0; i < argc; ++i) {
        bool exact = false;
        arguments.push_back(shiftJisFromWide(argv[i] != nullptr ? argv[i] : L"", &exact));
        if (!exact && argv[i] != nullptr && argv[i][0] != L'\0') {
            (void)std::fprintf(stderr, "argument %d has a character Shift_JIS cannot write\n", i);
            return 2;
        }
    }
    std::vector<char*> pointers;
    pointers.reserve(arguments.size() + 1);
    for (std::string& argument : arguments) pointers.push_back(&argument[0]);
    pointers.push_back(nullptr);
    platform() = windowsPlatform(std::string());
    return toolMain(argc, pointers.data());
}

}  // namespace win32
}  // namespace quorrin
