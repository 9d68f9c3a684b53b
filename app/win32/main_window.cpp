#include "app/win32/main_window.h"

#include <algorithm>
#include <cstdint>

#include "app/game_app.h"
#include "app/win32/dialog_procs.h"
#include "app/win32/shift_jis.h"
#include "dialogs/dialogs.h"
#include "res/resource.h"

namespace quorrin {
namespace win32 {

static_assert(IDM_EXIT == kCommandExit && IDM_ABOUT == kCommandAbout &&
                  IDM_OPEN_COLLECTION == kCommandOpenCollection && IDM_UNDO == kCommandUndo &&
                  IDM_REDO == kCommandRedo,
              "menu commands of the resource script and of the game differ");

namespace {

// The window timer of the game's clock.
constexpr UINT_PTR kClockTimer = 1;
constexpr UINT kClockPeriod = 1000;

// Mouse positions are signed 16-bit client coordinates.
std::int32_t pointerX(LPARAM lParam) {
    return static_cast<short>(LOWORD(lParam));
}
std::int32_t pointerY(LPARAM lParam) {
    return static_cast<short>(HIWORD(lParam));
}

// The game's key for a virtual key pressed without Ctrl (with Ctrl it is a
// shortcut, which the accelerator table turns into a command) and without
// Alt (which comes as WM_SYSKEYDOWN and leads to the menu). False for any
// key the game does not take.
bool gameKey(WPARAM virtualKey, Key& key) {
    static const struct {
        WPARAM virtualKey;
        Key key;
    } kKeys[] = {{VK_LEFT, Key::Left},
                 {VK_RIGHT, Key::Right},
                 {VK_UP, Key::Up},
                 {VK_DOWN, Key::Down},
                 {VK_SPACE, Key::Space},
                 {VK_RETURN, Key::Enter},
                 {'X', Key::X},
                 {VK_DELETE, Key::Delete},
                 {'1', Key::Digit1},
                 {'2', Key::Digit2},
                 {'3', Key::Digit3},
                 {'4', Key::Digit4},
                 {VK_NUMPAD1, Key::Digit1},
                 {VK_NUMPAD2, Key::Digit2},
                 {VK_NUMPAD3, Key::Digit3},
                 {VK_NUMPAD4, Key::Digit4}};
    if (GetKeyState(VK_CONTROL) < 0) return false;
    for (const auto& entry : kKeys) {
        if (entry.virtualKey != virtualKey) continue;
        key = entry.key;
        return true;
    }
    return false;
}

// The window's size less its client size, kept for the minimum size.
void measureFrame(HWND window) {
    RECT client{};
    RECT outer{};
    GetClientRect(window, &client);
    GetWindowRect(window, &outer);
    shell().frameWidth = (outer.right - outer.left) - (client.right - client.left);
    shell().frameHeight = (outer.bottom - outer.top) - (client.bottom - client.top);
}

}  // namespace

int messageBox(HWND owner, const char* text, const char* caption, UINT type) {
    return MessageBoxExW(owner, wideFromShiftJis(text).c_str(), wideFromShiftJis(caption).c_str(),
                         type, MAKELANGID(LANG_JAPANESE, SUBLANG_JAPANESE_JAPAN));
}

Shell& shell() {
    static Shell state;
    return state;
}

LRESULT CALLBACK mainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Shell& s = shell();
    // The window is known from its first messages on: the first WM_SIZE
    // arrives while CreateWindowExW is still running, and the game may
    // already draw and copy to the window then.
    if (message == WM_NCCREATE) s.mainWindow = window;
    GameApp* app = s.app;
    switch (message) {
        case WM_DESTROY:
            if (app != nullptr) {
                app->onDestroy();
                s.app = nullptr;
            }
            PostQuitMessage(0);
            return 0;
        case WM_NCDESTROY:
            s.mainWindow = nullptr;
            break;
        case WM_SIZE:
            if (app == nullptr) break;
            app->onSize(LOWORD(lParam), HIWORD(lParam));
            return 0;
        case WM_PAINT: {
            PAINTSTRUCT paint;
            BeginPaint(window, &paint);
            if (app != nullptr) app->onPaint();
            EndPaint(window, &paint);
            return 0;
        }
        case WM_COMMAND:
            if (app != nullptr && app->onCommand(LOWORD(wParam))) return 0;
            break;
        case WM_INITMENUPOPUP: {
            // Undo and redo greyed while they would do nothing.
            if (app == nullptr) break;
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries the menu
            const auto menu = reinterpret_cast<HMENU>(wParam);
            EnableMenuItem(menu, IDM_UNDO,
                           MF_BYCOMMAND | (app->canUndo() ? MF_ENABLED : MF_GRAYED));
            EnableMenuItem(menu, IDM_REDO,
                           MF_BYCOMMAND | (app->canRedo() ? MF_ENABLED : MF_GRAYED));
            return 0;
        }
        case WM_KEYDOWN: {
            Key key{};
            // Bit 30: the key was down before, a repeat of a key held down.
            const bool repeated = (lParam & (LPARAM{1} << 30)) != 0;
            if (app != nullptr && gameKey(wParam, key) && app->onKey(key, repeated)) return 0;
            break;
        }
        case WM_TIMER:
            if (app == nullptr) break;
            app->onClockTick();
            return 0;
        case WM_MOUSEMOVE:
            if (app == nullptr) break;
            app->onMouseMove(pointerX(lParam), pointerY(lParam));
            return 0;
        case WM_LBUTTONDOWN:
            if (app == nullptr) break;
            app->onLeftClick(pointerX(lParam), pointerY(lParam));
            return 0;
        case WM_RBUTTONDOWN:
            if (app == nullptr) break;
            app->onRightClick(pointerX(lParam), pointerY(lParam));
            return 0;
        case WM_SIZING: {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries the rectangle
            auto* proposed = reinterpret_cast<RECT*>(lParam);
            WindowRect rect{proposed->left, proposed->top, proposed->right, proposed->bottom};
            keepMinimumSize(static_cast<int>(wParam), rect, s.frameWidth, s.frameHeight);
            proposed->left = rect.left;
            proposed->top = rect.top;
            proposed->right = rect.right;
            proposed->bottom = rect.bottom;
            return TRUE;
        }
        case WM_DPICHANGED: {
            // Moved to a screen of another pixel density: take the size the
            // system proposes (the board is laid out anew for it) and measure
            // the frame again, which has other sizes there.
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the message carries the rectangle
            const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top,
                         suggested->right - suggested->left, suggested->bottom - suggested->top,
                         SWP_NOZORDER | SWP_NOACTIVATE);
            measureFrame(window);
            return 0;
        }
        case WM_ENDSESSION:
            if (wParam != FALSE && app != nullptr) app->onEndSession();
            return 0;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool Win32WindowSystem::createMainWindow(std::int32_t clientWidth, std::int32_t clientHeight) {
    Shell& s = shell();
    WNDCLASSW windowClass{};
    // Redrawn whole on every resize; no background brush, since every pixel
    // of the client area comes from the back buffer.
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = mainWindowProc;
    windowClass.hInstance = s.instance;
    windowClass.hIcon = LoadIconW(s.instance, MAKEINTRESOURCEW(IDI_QUORRIN));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = nullptr;
    windowClass.lpszMenuName = MAKEINTRESOURCEW(IDR_MAIN_MENU);
    windowClass.lpszClassName = s.className;
    // A failed registration shows as a failed creation.
    RegisterClassW(&windowClass);

    const HWND window =
        CreateWindowExW(0, s.className, s.title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, s.instance, nullptr);
    if (window == nullptr) return false;

    measureFrame(window);
    SetWindowPos(window, nullptr, 0, 0, s.frameWidth + clientWidth, s.frameHeight + clientHeight,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(window, showCommand_);
    UpdateWindow(window);
    return true;
}

int Win32WindowSystem::runMessageLoop() {
    // Ctrl+Z, Ctrl+Y and Ctrl+Shift+Z become the menu's commands.
    const HACCEL shortcuts = LoadAcceleratorsW(shell().instance, MAKEINTRESOURCEW(IDR_SHORTCUTS));
    MSG message{};
    for (;;) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) return static_cast<int>(message.wParam);  // WM_QUIT
        if (got == -1) return 0;
        const HWND window = shell().mainWindow;
        if (shortcuts != nullptr && window != nullptr &&
            TranslateAcceleratorW(window, shortcuts, &message) != 0) {
            continue;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void Win32WindowSystem::destroyMainWindow() {
    if (shell().mainWindow != nullptr) DestroyWindow(shell().mainWindow);
}

void Win32WindowSystem::present(const Surface& backBuffer, const PixelRect& area) {
    const HWND window = shell().mainWindow;
    // The back buffer is a top-down 24-bit DIB as it stands, rows padded to
    // 4 bytes; anything else cannot be handed over as it is.
    if (window == nullptr || backBuffer.empty() ||
        backBuffer.stride != surfaceRowBytes(backBuffer.width)) {
        return;
    }
    const std::int64_t left = std::max<std::int64_t>(area.x, 0);
    const std::int64_t top = std::max<std::int64_t>(area.y, 0);
    const std::int64_t right =
        std::min<std::int64_t>(std::int64_t{area.x} + area.width, backBuffer.width);
    const std::int64_t bottom =
        std::min<std::int64_t>(std::int64_t{area.y} + area.height, backBuffer.height);
    if (left >= right || top >= bottom) return;
    const int x = static_cast<int>(left);
    const int y = static_cast<int>(top);
    const int width = static_cast<int>(right - left);
    const int rows = static_cast<int>(bottom - top);

    // The area's rows are handed over as an image of their own, the full
    // buffer width wide and exactly the area high, so that the source
    // rectangle spans the whole image from top to bottom and the direction
    // of the source's y axis plays no part.
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = backBuffer.width;
    info.bmiHeader.biHeight = -rows;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;

    const HDC dc = GetDC(window);
    if (dc == nullptr) return;
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(rows), x, 0, 0,
                      static_cast<UINT>(rows), backBuffer.row(y), &info, DIB_RGB_COLORS);
    ReleaseDC(window, dc);
}

void Win32WindowSystem::startClock() {
    const HWND window = shell().mainWindow;
    if (window != nullptr) SetTimer(window, kClockTimer, kClockPeriod, nullptr);
}

void Win32WindowSystem::stopClock() {
    if (shell().mainWindow != nullptr) KillTimer(shell().mainWindow, kClockTimer);
}

bool Win32WindowSystem::confirm(const char* text, const char* caption) {
    return messageBox(shell().mainWindow, text, caption, MB_OKCANCEL) == IDOK;
}

void Win32WindowSystem::showError(const char* text, const char* caption) {
    messageBox(nullptr, text, caption, MB_OK);
}

int Win32WindowSystem::runDialog(int dialogId, ProgressStore* store) {
    const DLGPROC procedure = dialogProcedure(dialogId);
    if (procedure == nullptr) return kDialogCancel;
    const INT_PTR result =
        DialogBoxParamW(shell().instance, MAKEINTRESOURCEW(dialogId), shell().mainWindow, procedure,
                        reinterpret_cast<LPARAM>(store));
    return result == kDialogOk ? kDialogOk : kDialogCancel;
}

}  // namespace win32
}  // namespace quorrin
