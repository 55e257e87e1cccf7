#pragma once
// What every dialog of the program shares, written once: the state record hung on the dialog, the
// place over the owner inside the work area, number edits with their up-downs, the help button and
// F1, owning handles for fonts, brushes and bitmaps, and stored window places.
//
// A dialog is one `showXDialog(owner, data)` that passes its record as the creation parameter to
// runModalDialog with the kit's procedure, which hangs the record, answers help and hands every
// other message to the dialog's own handler:
//
//     INT_PTR onInit(HWND dialog, XState& state);
//     INT_PTR onMessage(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam, XState& state);
//     runModalDialog(owner, IDD_X, kitDialogProc<XState, onInit, onMessage, kHelpX>, &state);
//
// The kit serves the program through a host of its own (DialogHost): it reads nothing else of the
// program around it.

#include "core/base/notifier.h"
#include "core/settings/settings.h"
#include "core/shell/geometry.h"
#include "win/base/selectedfont.h"

#include <windows.h>

#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace rekal::win {

// ---- the host ----

// What the kit takes from the program it serves: the module that holds the dialog templates and the
// link cursor, where a failure is told, and how help opens at a topic. The program sets one host at
// start-up; without one the templates come from the program's own file, failures are not told and
// help does not open.
class DialogHost {
  public:
    virtual ~DialogHost() = default;
    virtual HINSTANCE instance() = 0;
    virtual Notifier* notifier() = 0;
    virtual void showHelp(HWND caller, int context) = 0;
};

void setDialogHost(DialogHost* host);
// The host's module (nullptr: the program's own file).
HINSTANCE dialogInstance();
// Tells the user through the host's notifier.
void tellDialogError(std::string_view text);

// ---- the state record ----

// Hangs the record passed as the dialog's creation parameter on the dialog (WM_INITDIALOG) and
// gives it back. A modal dialog's record lives in its show function, so it goes when the dialog
// does.
template <class State> State& hangDialogState(HWND dialog, LPARAM lParam) {
    SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    return *reinterpret_cast<State*>(lParam);
}

// The record hung on the dialog; null before WM_INITDIALOG (messages a dialog gets before it).
template <class State> State* dialogState(HWND dialog) {
    return reinterpret_cast<State*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

namespace detail {
struct OwnedStateBase {
    virtual ~OwnedStateBase() = default;
};
template <class State> struct OwnedState : OwnedStateBase {
    explicit OwnedState(std::unique_ptr<State> s) : state(std::move(s)) {}
    std::unique_ptr<State> state;
};
// Frees the holder when the window is destroyed (after its last message).
void freeWithWindow(HWND window, std::unique_ptr<OwnedStateBase> holder);
} // namespace detail

// For a modeless dialog or a window that outlives its creator's scope: the record is owned by the
// window and freed with it, after WM_DESTROY. Reached by dialogState<State>.
template <class State> State& hangOwnedDialogState(HWND dialog, std::unique_ptr<State> state) {
    State& ref = *state;
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&ref));
    detail::freeWithWindow(dialog, std::make_unique<detail::OwnedState<State>>(std::move(state)));
    return ref;
}

// A modal dialog of the program's resources with `state` as its creation parameter; -1 (after
// "ダイアログを開けません。") when it cannot be created.
INT_PTR runModalDialog(HWND owner, int templateId, DLGPROC proc, void* state);

// ---- common behaviour ----

// F1 (WM_HELP) and the "ヘルプ(&H)" button (IDC_HELP_BUTTON, 1059, or IDHELP unless the dialog
// gives its own id) open the help file at `helpContext`. True when the message was one of them.
bool handleCommonDialogMessage(HWND dialog, UINT message, WPARAM wParam, int helpContext,
                               int helpButtonId = IDHELP);

// The procedure of a dialog whose record comes as its creation parameter: the record is hung on
// the dialog and handed to Init, messages before it are left alone, help is answered, and every
// other message goes to Handle with the record.
template <class State, INT_PTR (*Init)(HWND, State&), INT_PTR (*Handle)(HWND, UINT, WPARAM, LPARAM, State&),
          int HelpContext, int HelpButtonId = IDHELP>
INT_PTR CALLBACK kitDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) return Init(dialog, hangDialogState<State>(dialog, lParam));
    State* state = dialogState<State>(dialog);
    if (!state) return FALSE;
    if (handleCommonDialogMessage(dialog, message, wParam, HelpContext, HelpButtonId)) return TRUE;
    return Handle(dialog, message, wParam, lParam, *state);
}

// Centres the window over its owner (over the work area when it has none), then keeps it inside
// the work area of the owner's monitor.
void centreOnOwner(HWND window);

// The work area of the monitor a window is on (the primary monitor's for null).
RECT workAreaOf(HWND window);

// ---- keys and the input method ----

// A button whose keys (mnemonics, grades, Space) must act whatever the input method's state: it gets
// no input context, so nothing it is sent goes into a composition.
void detachInputMethod(HWND control);

// A Ctrl key that the focused edit control has a meaning of its own for (Ctrl+A selects all, Ctrl+H
// deletes back, the clipboard keys): the accelerators must leave it to the edit.
bool editKeepsKey(const MSG& msg);

// ---- number edits ----

// Makes edit `editId` a number field: the input method goes off and its text is selected whenever
// it gets the focus, and goes back to the user's state when it loses it. With an up-down `upDownId` (0 for
// none) the up-down is bound to it and steps within [minimum, maximum]. The edit shows `value`.
void setUpNumberEdit(HWND dialog, int editId, int upDownId, int minimum, int maximum, int value);

// The edit's number when it lies in [minimum, maximum]. Otherwise tells "値が有効範囲を超えています。",
// puts the focus on the edit with its text selected, and gives none: the dialog stays open.
std::optional<int> readNumberEdit(HWND dialog, int editId, int minimum, int maximum);

// ---- owning handles ----

// One GDI object (font, brush, pen, bitmap), deleted when replaced or when its owner goes.
template <class Handle> class GdiObject {
  public:
    GdiObject() = default;
    explicit GdiObject(Handle h) : handle_(h) {}
    GdiObject(GdiObject&& other) noexcept : handle_(other.release()) {}
    GdiObject& operator=(GdiObject&& other) noexcept {
        if (this != &other) reset(other.release());
        return *this;
    }
    GdiObject(const GdiObject&) = delete;
    GdiObject& operator=(const GdiObject&) = delete;
    ~GdiObject() { reset(); }

    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != nullptr; }
    void reset(Handle h = nullptr) {
        if (handle_ && handle_ != h) DeleteObject(handle_);
        handle_ = h;
    }
    Handle release() { return std::exchange(handle_, nullptr); }

  private:
    Handle handle_ = nullptr;
};
using OwnedFont = GdiObject<HFONT>;
using OwnedBrush = GdiObject<HBRUSH>;
using OwnedPen = GdiObject<HPEN>;
using OwnedBitmap = GdiObject<HBITMAP>;

// The height in pixels of a font on a window's screen (the window's own font for null).
int fontHeight(HWND window, HFONT font = nullptr);

// ---- places ----

PixelRect pixelRect(const RECT& r);

// Moves control `id` of the dialog (or window) to r.
void placeControl(HWND dialog, int id, const PixelRect& r, bool repaint = true);

// Gives control `id` a font (the dialog keeps the font's owner).
void setControlFont(HWND dialog, int id, HFONT font);

// ---- stored places ----

// Puts a window at its stored place (kept inside the work area) and maximises it when it was; a
// place never stored leaves the window where it is. The window is shown with `showCommand` (or
// maximised).
void restoreStoredPlacement(HWND window, const WindowRect& place, bool maximized, int showCommand = SW_SHOW);

// Stores a window's normal (restored) place in screen coordinates and whether it is maximised.
void storeWindowPlacement(HWND window, WindowRect& place, bool& maximized);

} // namespace rekal::win
