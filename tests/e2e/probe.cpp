// probe DESKTOP wait|gone TEXT TIMEOUT_MS
//
// Looks at the windows of a running quorrin.exe from outside, for the
// end-to-end tests (run-e2e.sh), from inside the Wine virtual desktop DESKTOP
// (windows of other desktops cannot be seen). `wait` polls until a visible
// top-level window of the game has the title or the class TEXT, `gone` until
// none has; then both print every visible window of the game and exit 0, or
// print them and exit 1 when the time runs out.
//
// Texts are read in UTF-16 (what the window shows, whatever the ANSI code
// page) and printed in UTF-8, tabs written as \t. One tab-separated line
// each:
//
//   window    CLASS  TITLE  LEFT,TOP,RIGHT,BOTTOM  CW,CH  CX,CY
//   control   ID  CLASS  TEXT  X,Y  B     a visible child; X,Y its middle,
//                                         B its bottom edge
//   line      ID  INDEX  TEXT  X,Y        a list box line; X,Y a point on it
//   selected  ID  INDEX                   the list box's selection, -1 none
//
// CW,CH is the client size, CX,CY the client area's top-left corner; all
// positions are screen pixels.
#include <windows.h>

#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

// Texts in UTF-8, tabs written as \t.
std::string utf8(const wchar_t* wide) {
    char buffer[4096];
    const int n =
        WideCharToMultiByte(CP_UTF8, 0, wide, -1, buffer, sizeof buffer, nullptr, nullptr);
    std::string escaped;
    for (int i = 0; i + 1 < n; ++i)
        escaped += buffer[i] == '\t' ? "\\t" : std::string(1, buffer[i]);
    return escaped;
}

// A message to a window of another process; -1 when it did not answer.
LRESULT ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR answer = 0;
    const LRESULT sent =
        SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 3000, &answer);
    return sent != 0 ? static_cast<LRESULT>(answer) : -1;
}

// The window's text (with LB_GETTEXT and a line's index: a list box line's).
std::string text(HWND window, UINT message = WM_GETTEXT, WPARAM wParam = 1024) {
    wchar_t buffer[1024] = {};
    ask(window, message, wParam, reinterpret_cast<LPARAM>(buffer));
    return utf8(buffer);
}

std::string className(HWND window) {
    wchar_t name[256] = {};
    GetClassNameW(window, name, 256);
    return utf8(name);
}

// Collects the visible windows EnumWindows (EnumChildWindows) names. On the
// game's desktop the visible top-level windows are the game's (Wine's
// desktop window is not one of them).
BOOL CALLBACK collect(HWND window, LPARAM windows) {
    if (IsWindowVisible(window)) reinterpret_cast<std::vector<HWND>*>(windows)->push_back(window);
    return TRUE;
}

// Prints the window's lines.
void describe(HWND window) {
    RECT outer{}, client{};
    POINT origin{0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    std::printf("window\t%s\t%s\t%ld,%ld,%ld,%ld\t%ld,%ld\t%ld,%ld\n", className(window).c_str(),
                text(window).c_str(), outer.left, outer.top, outer.right, outer.bottom,
                client.right, client.bottom, origin.x, origin.y);
    std::vector<HWND> children;
    EnumChildWindows(window, collect, reinterpret_cast<LPARAM>(&children));
    for (const HWND child : children) {
        RECT r{};
        GetWindowRect(child, &r);
        const int id = GetDlgCtrlID(child);
        const std::string kind = className(child);
        std::printf("control\t%d\t%s\t%s\t%ld,%ld\t%ld\n", id, kind.c_str(), text(child).c_str(),
                    (r.left + r.right) / 2, (r.top + r.bottom) / 2, r.bottom);
        if (kind != "ListBox") continue;
        const long height = static_cast<long>(ask(child, LB_GETITEMHEIGHT, 0, 0)),
                   top = static_cast<long>(ask(child, LB_GETTOPINDEX, 0, 0));
        for (long i = 0; i < static_cast<long>(ask(child, LB_GETCOUNT, 0, 0)); ++i) {
            std::printf("line\t%d\t%ld\t%s\t%ld,%ld\n", id, i,
                        text(child, LB_GETTEXT, static_cast<WPARAM>(i)).c_str(), r.left + 30,
                        r.top + (i - top) * height + height / 2);
        }
        std::printf("selected\t%d\t%ld\n", id, static_cast<long>(ask(child, LB_GETCURSEL, 0, 0)));
    }
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const bool waitForIt = argc == 5 && std::wcscmp(argv[2], L"wait") == 0;
    if (argc != 5 || (!waitForIt && std::wcscmp(argv[2], L"gone") != 0)) {
        std::fprintf(stderr, "usage: probe DESKTOP wait|gone TEXT TIMEOUT_MS\n");
        return 2;
    }
    _setmode(_fileno(stdout), _O_BINARY);  // LF line ends
    const std::string wanted = utf8(argv[3]);
    const DWORD timeout = std::wcstoul(argv[4], nullptr, 10), start = GetTickCount();
    // The desktop exists from the moment its explorer has started up.
    HDESK desktop = nullptr;
    while ((desktop = OpenDesktopW(argv[1], 0, FALSE, MAXIMUM_ALLOWED)) == nullptr &&
           GetTickCount() - start < timeout)
        Sleep(50);
    if (desktop == nullptr || SetThreadDesktop(desktop) == FALSE) {
        std::fprintf(stderr, "probe: cannot join desktop %ls\n", argv[1]);
        return 1;
    }
    for (;; Sleep(50)) {
        bool found = false;
        std::vector<HWND> windows;
        EnumWindows(collect, reinterpret_cast<LPARAM>(&windows));
        for (const HWND window : windows) {
            found = found || className(window) == wanted || text(window) == wanted;
        }
        if (found == waitForIt || GetTickCount() - start >= timeout) {
            for (const HWND window : windows) describe(window);
            return found == waitForIt ? 0 : 1;
        }
    }
}
