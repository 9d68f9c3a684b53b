// The program's entry: the program's folder as working directory (or an
// error box and the end, when it cannot be entered), the claim on the
// program, the two strings of the main window, the platform services
// and resource bitmaps for the portable code, the one GameApp with the
// Win32 window system, and the run.
#include <windows.h>

#include <iterator>
#include <memory>

#include "app/game_app.h"
#include "app/win32/main_window.h"
#include "app/win32/one_copy.h"
#include "app/win32/platform_hooks.h"
#include "app/win32/resource_bitmaps.h"
#include "dialogs/texts.h"
#include "res/resource.h"
#include "store/platform.h"

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
    using namespace quorrin;
    // Outside its folder the game would find neither its collections nor
    // its save file, and could save nothing: it says so and ends.
    const win32::ProgramFolder program = win32::enterProgramFolder();
    if (program.programName.empty()) {
        win32::messageBox(nullptr, texts::kFolderFailed, texts::kInitErrorCaption, MB_OK);
        return 0;
    }
    // Another copy playing from this folder is brought forward instead.
    if (!win32::claimProgram(program.executable)) return 0;

    win32::Shell& shell = win32::shell();
    shell.instance = hInstance;
    LoadStringW(hInstance, IDS_TITLE, shell.title, static_cast<int>(std::size(shell.title)));
    LoadStringW(hInstance, IDS_CLASS_NAME, shell.className,
                static_cast<int>(std::size(shell.className)));

    platform() = win32::windowsPlatform(program.programName);

    win32::Win32WindowSystem windows(nShowCmd);
    const std::unique_ptr<GameApp> app = std::make_unique<GameApp>(windows);
    app->screen.bitmapLoader = win32::resourceBitmapLoader(hInstance);
    shell.app = app.get();
    const int code = app->run();
    shell.app = nullptr;
    return code;
}
