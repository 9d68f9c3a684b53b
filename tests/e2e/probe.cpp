// probe: looks at the windows of a running quorrin.exe from outside, for the
// end-to-end tests, and prints what they show as tab-separated lines in
// UTF-8 (the game's texts are Shift_JIS; they are converted here).
//
//   probe [--desktop NAME] dump
//   probe [--desktop NAME] wait title|class TEXT TIMEOUT_MS
//   probe [--desktop NAME] gone title|class TEXT TIMEOUT_MS
//   probe watch EXE TIMEOUT_MS
//
// --desktop joins the named desktop first (a Wine virtual desktop started by
// `explorer /desktop=NAME,...`); windows of other desktops cannot be seen.
//
// dump prints every top-level window that belongs to a process whose image
// is quorrin.exe (the main window, dialogs, message boxes, popup menus), and
// every child window of each:
//
//   window  HWND  CLASS  TITLE  VISIBLE  LEFT,TOP,RIGHT,BOTTOM  CWxCH  CX,CY
//   control PARENT  ID  CLASS  TEXT  VISIBLE  LEFT,TOP,RIGHT,BOTTOM
//   listbox PARENT  ID  COUNT  SELECTION  ITEMHEIGHT  TOPINDEX  CX,CY
//   item    PARENT  ID  INDEX  TEXT
//
// Rectangles are in screen pixels; CWxCH is the client size and CX,CY the
// client area's top-left corner on the screen. A selection of -1 is none. In
// texts, backslash, tab, CR and LF are written as \\, \t, \r and \n.
//
// wait polls until a visible window of the game has exactly that title (the
// argument arrives in the ANSI code page, as the game's titles are) or class,
// then prints the dump; gone polls until no visible window of the game has
// it. Both exit with 1 when the time runs out.
//
// watch waits for a process with the image name EXE to appear, prints
// "pid N" once it holds a handle to it, then waits for the process to end and
// prints "exit CODE". Exit status 1 when no such process appeared in time.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr UINT kShiftJis = 932;
constexpr UINT kMessageTimeout = 3000;
constexpr DWORD kPollPeriod = 50;
constexpr DWORD kDesktopTimeout = 20000;
const char kGameImage[] = "quorrin.exe";

std::string output;

void flush() {
    if (!output.empty()) std::fwrite(output.data(), 1, output.size(), stdout);
    std::fflush(stdout);
    output.clear();
}

std::string utf8FromWide(const wchar_t* wide, int length) {
    if (length <= 0) return std::string();
    const int utf8Length =
        WideCharToMultiByte(CP_UTF8, 0, wide, length, nullptr, 0, nullptr, nullptr);
    if (utf8Length <= 0) return std::string();
    std::string utf8(static_cast<std::size_t>(utf8Length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, length, &utf8[0], utf8Length, nullptr, nullptr);
    return utf8;
}

std::string utf8FromShiftJis(const std::string& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int wideLength = MultiByteToWideChar(kShiftJis, 0, text.data(), length, nullptr, 0);
    if (wideLength <= 0) return std::string();
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(kShiftJis, 0, text.data(), length, &wide[0], wideLength);
    return utf8FromWide(wide.data(), wideLength);
}

// A UTF-8 text as one field of an output line.
std::string escape(const std::string& utf8) {
    std::string escaped;
    for (const char c : utf8) {
        switch (c) {
            case '\\':
                escaped += "\\\\";
                break;
            case '\t':
                escaped += "\\t";
                break;
            case '\r':
                escaped += "\\r";
                break;
            case '\n':
                escaped += "\\n";
                break;
            default:
                escaped += c;
                break;
        }
    }
    return escaped;
}

// A game text (Shift_JIS) as one field of an output line.
std::string field(const std::string& shiftJis) {
    return escape(utf8FromShiftJis(shiftJis));
}

std::string handleText(HWND window) {
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<std::uintptr_t>(window)));
    return text;
}

std::string rectText(const RECT& rect) {
    char text[64];
    std::snprintf(text, sizeof text, "%ld,%ld,%ld,%ld", static_cast<long>(rect.left),
                  static_cast<long>(rect.top), static_cast<long>(rect.right),
                  static_cast<long>(rect.bottom));
    return text;
}

std::string numberText(long long value) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld", value);
    return text;
}

// Sends a message to a window of another process; false when it did not
// answer in time.
bool ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kMessageTimeout,
                            &answer) == 0) {
        return false;
    }
    result = static_cast<LRESULT>(answer);
    return true;
}

std::string windowText(HWND window) {
    LRESULT length = 0;
    if (!ask(window, WM_GETTEXTLENGTH, 0, 0, length) || length <= 0) return std::string();
    std::vector<char> text(static_cast<std::size_t>(length) + 64, '\0');
    LRESULT copied = 0;
    if (!ask(window, WM_GETTEXT, static_cast<WPARAM>(text.size()),
             reinterpret_cast<LPARAM>(text.data()), copied) ||
        copied <= 0) {
        return std::string();
    }
    return std::string(text.data(), std::min(static_cast<std::size_t>(copied), text.size()));
}

std::string className(HWND window) {
    char name[256] = {};
    GetClassNameA(window, name, static_cast<int>(sizeof name));
    return name;
}

// Processes whose image is named `image`, ignoring case.
std::vector<DWORD> processesNamed(const char* image) {
    std::vector<DWORD> found;
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return found;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32First(snapshot, &entry); more != FALSE;
         more = Process32Next(snapshot, &entry)) {
        // The snapshot may give a full path or the bare name.
        const char* name = entry.szExeFile;
        for (const char* p = entry.szExeFile; *p != '\0'; ++p) {
            if (*p == '\\' || *p == '/') name = p + 1;
        }
        if (lstrcmpiA(name, image) == 0) found.push_back(entry.th32ProcessID);
    }
    CloseHandle(snapshot);
    return found;
}

struct Search {
    std::vector<DWORD> processes;
    std::vector<HWND> windows;
};

BOOL CALLBACK collectTopLevel(HWND window, LPARAM parameter) {
    Search& search = *reinterpret_cast<Search*>(parameter);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    if (std::find(search.processes.begin(), search.processes.end(), process) !=
        search.processes.end()) {
        search.windows.push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK collectChild(HWND window, LPARAM parameter) {
    reinterpret_cast<std::vector<HWND>*>(parameter)->push_back(window);
    return TRUE;
}

// The game's top-level windows, in z-order from the top.
std::vector<HWND> gameWindows() {
    Search search;
    search.processes = processesNamed(kGameImage);
    if (!search.processes.empty()) EnumWindows(collectTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.windows;
}

// A list box's lines are asked for in UTF-16: across processes Wine hands
// the ANSI form of LB_GETTEXT over unconverted when the list box was made
// without LBS_HASSTRINGS (the default for a plain list box, which keeps its
// strings all the same).
std::string listLine(HWND list, LRESULT index) {
    DWORD_PTR length = 0;
    if (SendMessageTimeoutW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0, SMTO_ABORTIFHUNG,
                            kMessageTimeout, &length) == 0 ||
        static_cast<LRESULT>(length) < 0) {
        return std::string();
    }
    std::vector<wchar_t> wide(static_cast<std::size_t>(length) + 64, L'\0');
    DWORD_PTR copied = 0;
    if (SendMessageTimeoutW(list, LB_GETTEXT, static_cast<WPARAM>(index),
                            reinterpret_cast<LPARAM>(wide.data()), SMTO_ABORTIFHUNG,
                            kMessageTimeout, &copied) == 0 ||
        static_cast<LRESULT>(copied) <= 0) {
        return std::string();
    }
    return utf8FromWide(wide.data(), static_cast<int>(std::min<std::size_t>(copied, wide.size())));
}

void dumpListBox(HWND parent, HWND list, int id) {
    LRESULT count = 0;
    LRESULT selection = LB_ERR;
    LRESULT itemHeight = 0;
    LRESULT top = 0;
    if (!ask(list, LB_GETCOUNT, 0, 0, count) || count < 0) count = 0;
    if (!ask(list, LB_GETCURSEL, 0, 0, selection) || selection < 0) selection = -1;
    if (!ask(list, LB_GETITEMHEIGHT, 0, 0, itemHeight) || itemHeight < 0) itemHeight = 0;
    if (!ask(list, LB_GETTOPINDEX, 0, 0, top) || top < 0) top = 0;
    POINT origin{0, 0};
    ClientToScreen(list, &origin);
    output += "listbox\t" + handleText(parent) + "\t" + numberText(id) + "\t" + numberText(count) +
              "\t" + numberText(selection) + "\t" + numberText(itemHeight) + "\t" +
              numberText(top) + "\t" + numberText(origin.x) + "," + numberText(origin.y) + "\n";
    for (LRESULT i = 0; i < count; ++i) {
        output += "item\t" + handleText(parent) + "\t" + numberText(id) + "\t" + numberText(i) +
                  "\t" + escape(listLine(list, i)) + "\n";
    }
}

void dumpWindow(HWND window) {
    RECT outer{};
    RECT client{};
    POINT origin{0, 0};
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    ClientToScreen(window, &origin);
    output += "window\t" + handleText(window) + "\t" + field(className(window)) + "\t" +
              field(windowText(window)) + "\t" + (IsWindowVisible(window) ? "1" : "0") + "\t" +
              rectText(outer) + "\t" + numberText(client.right - client.left) + "x" +
              numberText(client.bottom - client.top) + "\t" + numberText(origin.x) + "," +
              numberText(origin.y) + "\n";

    std::vector<HWND> children;
    EnumChildWindows(window, collectChild, reinterpret_cast<LPARAM>(&children));
    for (const HWND child : children) {
        RECT rect{};
        GetWindowRect(child, &rect);
        const int id = GetDlgCtrlID(child);
        const std::string kind = className(child);
        output += "control\t" + handleText(window) + "\t" + numberText(id) + "\t" + field(kind) +
                  "\t" + field(windowText(child)) + "\t" + (IsWindowVisible(child) ? "1" : "0") +
                  "\t" + rectText(rect) + "\n";
        if (lstrcmpiA(kind.c_str(), "ListBox") == 0) dumpListBox(window, child, id);
    }
}

void dumpAll(const std::vector<HWND>& windows) {
    for (const HWND window : windows) {
        if (IsWindow(window)) dumpWindow(window);
    }
}

// Whether a visible window of the list has that title or class.
bool anyVisible(const std::vector<HWND>& windows, bool byTitle, const char* text) {
    for (const HWND window : windows) {
        if (!IsWindowVisible(window)) continue;
        const std::string value = byTitle ? windowText(window) : className(window);
        if (value == text) return true;
    }
    return false;
}

int usage() {
    std::fprintf(stderr,
                 "usage: probe [--desktop NAME] dump\n"
                 "       probe [--desktop NAME] wait|gone title|class TEXT TIMEOUT_MS\n"
                 "       probe watch EXE TIMEOUT_MS\n");
    return 2;
}

int waitFor(bool present, bool byTitle, const char* text, DWORD timeout) {
    const DWORD start = GetTickCount();
    for (;;) {
        const std::vector<HWND> windows = gameWindows();
        if (anyVisible(windows, byTitle, text) == present) {
            if (present) dumpAll(windows);
            flush();
            return 0;
        }
        if (GetTickCount() - start >= timeout) {
            dumpAll(windows);
            flush();
            std::fprintf(stderr, "probe: timed out waiting\n");
            return 1;
        }
        Sleep(kPollPeriod);
    }
}

int watch(const char* image, DWORD timeout) {
    const DWORD start = GetTickCount();
    HANDLE process = nullptr;
    DWORD id = 0;
    while (process == nullptr) {
        for (const DWORD candidate : processesNamed(image)) {
            process =
                OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, candidate);
            if (process != nullptr) {
                id = candidate;
                break;
            }
        }
        if (process != nullptr) break;
        if (GetTickCount() - start >= timeout) {
            std::fprintf(stderr, "probe: no process %s\n", image);
            return 1;
        }
        Sleep(kPollPeriod);
    }
    output += "pid " + numberText(id) + "\n";
    flush();
    WaitForSingleObject(process, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    output += "exit " + numberText(code) + "\n";
    flush();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    // LF line ends, and bytes as they are.
    _setmode(_fileno(stdout), _O_BINARY);
    int next = 1;
    if (argc > next + 1 && std::strcmp(argv[next], "--desktop") == 0) {
        // The desktop exists from the moment its explorer has started up.
        HDESK desktop = nullptr;
        const DWORD start = GetTickCount();
        while ((desktop = OpenDesktopA(argv[next + 1], 0, FALSE, MAXIMUM_ALLOWED)) == nullptr &&
               GetTickCount() - start < kDesktopTimeout) {
            Sleep(kPollPeriod);
        }
        if (desktop == nullptr || SetThreadDesktop(desktop) == FALSE) {
            std::fprintf(stderr, "probe: cannot join desktop %s\n", argv[next + 1]);
            return 2;
        }
        next += 2;
    }
    if (argc <= next) return usage();
    const std::string command = argv[next];
    if (command == "dump" && argc == next + 1) {
        dumpAll(gameWindows());
        flush();
        return 0;
    }
    if ((command == "wait" || command == "gone") && argc == next + 4) {
        const std::string kind = argv[next + 1];
        if (kind != "title" && kind != "class") return usage();
        const DWORD timeout = static_cast<DWORD>(std::strtoul(argv[next + 3], nullptr, 10));
        return waitFor(command == "wait", kind == "title", argv[next + 2], timeout);
    }
    if (command == "watch" && argc == next + 3) {
        return watch(argv[next + 1], static_cast<DWORD>(std::strtoul(argv[next + 2], nullptr, 10)));
    }
    return usage();
}
