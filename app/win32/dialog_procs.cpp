#include "app/win32/dialog_procs.h"

#include <cstddef>
#include <string>

#include "app/win32/main_window.h"
#include "app/win32/shift_jis.h"
#include "dialogs/dialogs.h"
#include "res/resource.h"

namespace quorrin {
namespace win32 {

static_assert(IDD_ABOUT == kAboutDialogId && IDD_SELECT_PUZZLE == kSelectPuzzleDialogId &&
                  IDD_OPEN_COLLECTION == kOpenCollectionDialogId,
              "dialog numbers of the resource script and of the dialogs differ");
static_assert(IDC_COLLECTION_LIST == kCollectionList && IDC_PUZZLE_LIST == kPuzzleList &&
                  IDC_CLEAR_TIMES == kClearButton && IDC_COLLECTION_TITLE == kCollectionTitle,
              "control numbers of the resource script and of the dialogs differ");
static_assert(IDOK == kControlOk && IDCANCEL == kControlCancel, "OK and Cancel differ");
static_assert(LBN_DBLCLK == kListDoubleClick, "the list box double-click differs");

namespace {

// The controls of a dialog window, as the dialog logic sees them.
class DialogWindow : public DialogControls {
  public:
    explicit DialogWindow(HWND dialog) : dialog_(dialog) {}

    void setText(int control, const std::string& text) override {
        SetDlgItemTextW(dialog_, control, wideFromShiftJis(text).c_str());
    }
    void setTabStops(int list, const int* stops, int count) override {
        send(list, LB_SETTABSTOPS, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(stops));
    }
    void clearList(int list) override { send(list, LB_RESETCONTENT, 0, 0); }
    void addLine(int list, const std::string& line) override {
        const std::wstring wide = wideFromShiftJis(line);
        send(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    void selectLine(int list, int index) override {
        send(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    }
    int selectedLine(int list) const override {
        const LRESULT index = send(list, LB_GETCURSEL, 0, 0);
        return index == LB_ERR ? -1 : static_cast<int>(index);
    }
    std::string lineText(int list, int index) const override {
        const LRESULT length = send(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
        if (length < 0) return std::string();  // LB_ERR: no such line
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const LRESULT copied =
            send(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
        if (copied < 0) return std::string();
        text.resize(static_cast<std::size_t>(copied));
        return shiftJisFromWide(text);
    }
    bool confirm(const char* text, const char* caption) override {
        return messageBox(dialog_, text, caption, MB_OKCANCEL) == IDOK;
    }
    void end(int result) override { EndDialog(dialog_, result); }

  private:
    LRESULT send(int control, UINT message, WPARAM wParam, LPARAM lParam) const {
        return SendDlgItemMessageW(dialog_, control, message, wParam, lParam);
    }

    HWND dialog_;
};

ScreenRect screenRect(const RECT& rect) {
    return {rect.left, rect.top, rect.right, rect.bottom};
}

// Centre the dialog over its owner (the desktop when it has none), keep it
// inside the work area, and show it.
void placeDialog(HWND dialog) {
    RECT own{};
    RECT owner{};
    RECT workArea{};
    GetWindowRect(dialog, &own);
    const HWND parent = GetParent(dialog);
    GetWindowRect(parent != nullptr ? parent : GetDesktopWindow(), &owner);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    const ScreenPoint at = centreDialog(own.right - own.left, own.bottom - own.top,
                                        screenRect(owner), screenRect(workArea));
    SetWindowPos(dialog, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
}

// The two dialogs that work on the store: it comes as the creation
// parameter and stays in the dialog's user data. The logic keeps nothing
// else, so it is made anew for every message.
template <class Logic>
INT_PTR storeDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_INITDIALOG: {
            placeDialog(dialog);
            SetWindowLongPtrW(dialog, DWLP_USER, lParam);
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the creation parameter is the store
            auto* store = reinterpret_cast<ProgressStore*>(lParam);
            if (store == nullptr) {
                EndDialog(dialog, kDialogCancel);
                return TRUE;
            }
            DialogWindow controls(dialog);
            Logic logic(*store);
            return logic.init(controls) ? TRUE : FALSE;
        }
        case WM_COMMAND: {
            // NOLINTNEXTLINE(performance-no-int-to-ptr): the address kept above
            auto* store = reinterpret_cast<ProgressStore*>(GetWindowLongPtrW(dialog, DWLP_USER));
            if (store == nullptr) return FALSE;
            DialogWindow controls(dialog);
            Logic logic(*store);
            return logic.command(LOWORD(wParam), HIWORD(wParam), controls) ? TRUE : FALSE;
        }
        default:
            return FALSE;
    }
}

INT_PTR CALLBACK openCollectionProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return storeDialog<OpenCollectionDialog>(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK selectPuzzleProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return storeDialog<SelectPuzzleDialog>(dialog, message, wParam, lParam);
}

INT_PTR CALLBACK aboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG: {
            placeDialog(dialog);
            DialogWindow controls(dialog);
            return AboutDialog().init(controls) ? TRUE : FALSE;
        }
        case WM_COMMAND: {
            DialogWindow controls(dialog);
            return AboutDialog().command(LOWORD(wParam), HIWORD(wParam), controls) ? TRUE : FALSE;
        }
        default:
            return FALSE;
    }
}

}  // namespace

DLGPROC dialogProcedure(int dialogId) {
    switch (dialogId) {
        case kOpenCollectionDialogId:
            return openCollectionProc;
        case kSelectPuzzleDialogId:
            return selectPuzzleProc;
        case kAboutDialogId:
            return aboutProc;
        default:
            return nullptr;
    }
}

}  // namespace win32
}  // namespace quorrin
