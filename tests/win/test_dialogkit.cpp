// The dialog kit on a real dialog built from a template in memory: the record hung on the dialog and
// freed with it, number edits with their up-downs, the input method and the out-of-range refusal, the place
// over the owner inside the work area, and stored window places.

#include "shelltest.h"

#include "win/dialogs/dialogkit.h"

#include <commctrl.h>
#include <imm.h>

#include <cstring>
#include <map>
#include <optional>
#include <vector>

namespace {

using namespace shelltest;
using namespace rekal::win;

constexpr int kEdit = 100;
constexpr int kUpDown = 101;
constexpr int kOther = 102;

// A dialog template of three controls: a number edit, its up-down and a second edit.
class Template {
  public:
    Template() {
        DLGTEMPLATE t{};
        t.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT;
        t.cdit = 3;
        t.cx = 160;
        t.cy = 60;
        add(&t, sizeof t);
        word(0);
        word(0);
        text(L"kit");
        word(9);
        text(L"MS Shell Dlg");
        item(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 10, 10, 60, 12, kEdit, 0x0081);
        item(WS_CHILD | WS_VISIBLE | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_NOTHOUSANDS | UDS_SETBUDDYINT, 70,
             10, 10, 12, kUpDown, 0, UPDOWN_CLASSW);
        item(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP, 10, 30, 60, 12, kOther, 0x0081);
    }
    const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(bytes_.data()); }

  private:
    void add(const void* p, std::size_t n) {
        const std::size_t at = bytes_.size();
        bytes_.resize(at + n);
        std::memcpy(bytes_.data() + at, p, n);
    }
    void word(WORD w) { add(&w, sizeof w); }
    void text(const wchar_t* s) { add(s, (std::wcslen(s) + 1) * sizeof(wchar_t)); }
    void align() {
        while (bytes_.size() % 4)
            bytes_.push_back(0);
    }
    void item(DWORD style, short x, short y, short cx, short cy, WORD id, WORD atom,
              const wchar_t* cls = nullptr) {
        align();
        DLGITEMTEMPLATE it{};
        it.style = style;
        it.x = x;
        it.y = y;
        it.cx = cx;
        it.cy = cy;
        it.id = id;
        add(&it, sizeof it);
        if (cls) {
            text(cls);
        } else {
            word(0xFFFF);
            word(atom);
        }
        word(0); // no text
        word(0); // no creation data
    }
    std::vector<unsigned char> bytes_;
};

struct KitState {
    bool* freed = nullptr;
    int initValue = 0;
    ~KitState() {
        if (freed) *freed = true;
    }
};

INT_PTR CALLBACK modelessProc(HWND dialog, UINT message, WPARAM, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto owned = std::unique_ptr<KitState>(reinterpret_cast<KitState*>(lParam));
        KitState& state = hangOwnedDialogState(dialog, std::move(owned));
        setUpNumberEdit(dialog, kEdit, kUpDown, 1, 20, state.initValue);
        return TRUE;
    }
    return FALSE;
}

HWND createKitDialog(HWND owner, KitState* state) {
    static const Template t;
    return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), t.get(), owner, modelessProc,
                                      reinterpret_cast<LPARAM>(state));
}

// The input method's open state as the program sees it. The prefix has no Japanese input method;
// so that the test does not hang on what Wine's stand-in makes of the state, the program's (and
// this test's) ImmGetOpenStatus and ImmSetOpenStatus calls come here through the import table.
std::map<HIMC, bool> g_imeOpen;
BOOL WINAPI fakeGetOpenStatus(HIMC context) {
    return g_imeOpen[context] ? TRUE : FALSE;
}
BOOL WINAPI fakeSetOpenStatus(HIMC context, BOOL open) {
    g_imeOpen[context] = open != FALSE;
    return TRUE;
}

bool redirectImport(const char* dll, const char* name, void* to) {
    auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(
        base + reinterpret_cast<const IMAGE_DOS_HEADER*>(base)->e_lfanew);
    const IMAGE_DATA_DIRECTORY imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); d->Name; ++d) {
        if (lstrcmpiA(reinterpret_cast<const char*>(base + d->Name), dll) != 0 || !d->OriginalFirstThunk)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
            const auto* byName =
                reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), name) != 0) continue;
            DWORD old = 0;
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, PAGE_READWRITE, &old);
            slots->u1.Function = reinterpret_cast<ULONG_PTR>(to);
            VirtualProtect(&slots->u1.Function, sizeof slots->u1.Function, old, &old);
            return true;
        }
    }
    return false;
}

// The open state of the window's input context, first set to `set` when given.
bool imeOpen(HWND window, std::optional<bool> set = std::nullopt) {
    HIMC context = ImmGetContext(window);
    if (!context) return false;
    if (set) ImmSetOpenStatus(context, *set ? TRUE : FALSE);
    const bool open = ImmGetOpenStatus(context) != FALSE;
    ImmReleaseContext(window, context);
    return open;
}

std::wstring text(HWND dialog, int id) {
    return windowText(GetDlgItem(dialog, id));
}

} // namespace

WINTEST(numberEditsAndTheRecordFreedWithTheDialog) {
    auto dir = makeFolder(L"rekal-dialogkit");
    ok(start(dir), "start-up failed");
    bool freed = false;
    auto* state = new KitState{&freed, 7}; // handed to the dialog, which owns it from WM_INITDIALOG
    HWND dialog = createKitDialog(app().mainWindow, state);
    ok(dialog != nullptr, "no dialog");
    ShowWindow(dialog, SW_SHOW);
    wintest::flushEvents();
    ok(dialogState<KitState>(dialog) == state, "record not hung on the dialog");
    ok(text(dialog, kEdit) == L"7", "edit shows %s", wintest::utf8(text(dialog, kEdit)).c_str());

    // The up-down steps within the range and stops at its end.
    HWND upDown = GetDlgItem(dialog, kUpDown);
    ok(SendMessageW(upDown, UDM_GETBUDDY, 0, 0) == reinterpret_cast<LRESULT>(GetDlgItem(dialog, kEdit)),
       "up-down not bound to the edit");
    SendMessageW(upDown, UDM_SETPOS32, 0, 25);
    ok(SendMessageW(upDown, UDM_GETPOS32, 0, 0) == 20, "up-down went past its maximum");

    // Focus from elsewhere selects the whole text.
    SetWindowTextW(GetDlgItem(dialog, kEdit), L"12");
    SetFocus(GetDlgItem(dialog, kOther));
    SendMessageW(GetDlgItem(dialog, kEdit), EM_SETSEL, 1, 1);
    SetFocus(GetDlgItem(dialog, kEdit));
    wintest::flushEvents();
    DWORD from = 0, to = 0;
    SendMessageW(GetDlgItem(dialog, kEdit), EM_GETSEL, reinterpret_cast<WPARAM>(&from),
                 reinterpret_cast<LPARAM>(&to));
    ok(from == 0 && to == 2, "selection %lu-%lu after focus", from, to);

    // The input method goes off in the number edit and back to the user's state as it leaves, on
    // the context the thread's windows share (the answer edit's too).
    ok(redirectImport("imm32.dll", "ImmGetOpenStatus", reinterpret_cast<void*>(fakeGetOpenStatus)) &&
           redirectImport("imm32.dll", "ImmSetOpenStatus", reinterpret_cast<void*>(fakeSetOpenStatus)),
       "input method calls not redirected");
    for (bool open : {true, false}) {
        SetFocus(GetDlgItem(dialog, kOther));
        ok(imeOpen(GetDlgItem(dialog, kOther), open) == open, "input method not set up");
        SetFocus(GetDlgItem(dialog, kEdit));
        ok(!imeOpen(GetDlgItem(dialog, kEdit)), "input method on in the number edit");
        SetFocus(GetDlgItem(dialog, kOther));
        ok(imeOpen(GetDlgItem(dialog, kOther)) == open, "input method not restored to %d", open);
    }

    // In range: the value; out of range or not a number: refused with the message, focus on the edit.
    ok(readNumberEdit(dialog, kEdit, 1, 20) == 12, "12 not read");
    for (const wchar_t* bad : {L"21", L"0", L"", L"1x"}) {
        SetWindowTextW(GetDlgItem(dialog, kEdit), bad);
        SetFocus(GetDlgItem(dialog, kOther));
        DialogWatcher watcher = DialogWatcher::pressing(IDOK);
        ok(!readNumberEdit(dialog, kEdit, 1, 20), "'%s' accepted", wintest::utf8(bad).c_str());
        wintest::flushEvents();
        const auto texts = watcher.texts();
        ok(texts.size() == 1 && texts[0] == L"値が有効範囲を超えています。",
           "no out-of-range message for '%s'", wintest::utf8(bad).c_str());
        ok(GetFocus() == GetDlgItem(dialog, kEdit), "focus not back on the edit for '%s'",
           wintest::utf8(bad).c_str());
    }

    // Centred over the owner and inside the work area, even when the owner is half off the screen.
    const RECT work = workAreaOf(app().mainWindow);
    SetWindowPos(app().mainWindow, nullptr, work.right - 100, work.bottom - 80, 400, 300,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnOwner(dialog);
    RECT r;
    GetWindowRect(dialog, &r);
    ok(r.right <= work.right && r.bottom <= work.bottom && r.left >= work.left && r.top >= work.top,
       "dialog at %ld,%ld-%ld,%ld outside the work area", r.left, r.top, r.right, r.bottom);
    SetWindowPos(app().mainWindow, nullptr, 100, 100, 500, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    centreOnOwner(dialog);
    GetWindowRect(dialog, &r);
    ok(r.left + r.right == 2 * 100 + 500 || r.left + r.right == 2 * 100 + 500 - 1,
       "not centred horizontally: %ld-%ld", r.left, r.right);

    ok(!freed, "record freed early");
    DestroyWindow(dialog);
    ok(freed, "record not freed with the dialog");
    closeProgram();
    removeFolder(dir);
}

WINTEST(storedPlacesRoundTripAndNeverStoredLeavesTheWindow) {
    auto dir = makeFolder(L"rekal-dialogkit-place");
    ok(start(dir), "start-up failed");
    HWND w = CreateWindowExW(0, L"STATIC", L"", WS_OVERLAPPEDWINDOW, 50, 60, 300, 200, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    rekal::WindowRect place{};
    bool maximized = true;
    storeWindowPlacement(w, place, maximized);
    ok(place.left == 50 && place.top == 60 && place.width == 300 && place.height == 200 && !maximized,
       "stored %d,%d %dx%d max %d", place.left, place.top, place.width, place.height, maximized);

    restoreStoredPlacement(w, {120, 130, 320, 210}, false, SW_SHOWNA);
    RECT r;
    GetWindowRect(w, &r);
    ok(r.left == 120 && r.top == 130 && r.right - r.left == 320 && r.bottom - r.top == 210,
       "restored to %ld,%ld-%ld,%ld", r.left, r.top, r.right, r.bottom);
    restoreStoredPlacement(w, {rekal::kDefaultPosition, 0, 0, 0}, true, SW_SHOWNA);
    ok(IsZoomed(w), "not maximised");
    storeWindowPlacement(w, place, maximized);
    ok(maximized && place.left == 120 && place.width == 320, "maximised place stored %d %d max %d",
       place.left, place.width, maximized);
    DestroyWindow(w);
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("dialogkit")
