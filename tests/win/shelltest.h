#pragma once
// Helpers of the shell's Windows tests: a program folder of the test's own, question files written
// as CP932 bytes, starting and closing the program in-process, menu and toolbar queries, and a
// watcher thread that answers the modal boxes the program raises.

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "resource.h"
#include "win/program/app.h"
#include "win/shell/startup.h"

#include <commctrl.h>
#include <shlobj.h>

// Last: its ok() macro must not meet the standard headers.
#include "wintest.h"

namespace shelltest {

using rekal::win::app;
namespace fs = std::filesystem;

inline std::string cp932(const std::wstring& w) {
    int n = WideCharToMultiByte(932, 0, w.c_str(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
    std::string s(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(932, 0, w.c_str(), static_cast<int>(w.size()), s.data(), n, nullptr, nullptr);
    return s;
}

inline std::wstring wide(const std::string& cp932Text) {
    int n = MultiByteToWideChar(932, 0, cp932Text.c_str(), static_cast<int>(cp932Text.size()), nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(932, 0, cp932Text.c_str(), static_cast<int>(cp932Text.size()), w.data(), n);
    return w;
}

// A folder of its own under the temporary folder, emptied first.
inline fs::path makeFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    fs::path dir = fs::path(temp) / name;
    std::error_code ec;
    fs::remove_all(dir, ec);
    fs::create_directories(dir);
    return dir;
}

// Removes a test's folder; what cannot be removed stays for the next run's makeFolder.
inline void removeFolder(const fs::path& dir) {
    std::error_code ec;
    fs::remove_all(dir, ec);
}

inline std::string readBytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    return ss.str();
}

inline void writeBytes(const fs::path& p, const std::string& bytes) {
    std::ofstream(p, std::ios::binary) << bytes;
}

// A small valid question book (narrow literals are CP932) whose first question carries `marker`.
inline std::string bookText(const std::string& marker, int questions = 2) {
    std::string text = "REKALDATA V1.6\r\n#テスト,000000\r\n";
    for (int i = 0; i < questions; ++i)
        text += marker + "の問題" + std::to_string(i + 1) + ",答え" + std::to_string(i + 1) + ",<00\r\n";
    return text;
}

inline fs::path writeBook(const fs::path& dir, const std::wstring& name, const std::string& marker,
                          int questions = 2) {
    fs::path p = dir / name;
    writeBytes(p, bookText(marker, questions));
    return p;
}

inline bool start(const fs::path& programDir, const std::wstring& commandLine = L"",
                  int show = SW_SHOWNORMAL) {
    rekal::win::StartupOptions options;
    options.programPath = (programDir / L"rekal.exe").wstring();
    options.commandLine = commandLine;
    options.showCommand = show;
    bool started = rekal::win::startApplication(GetModuleHandleW(nullptr), options);
    wintest::flushEvents();
    return started;
}

// Closes the main window and runs the loop and the shutdown as the program does.
inline int closeProgram() {
    PostMessageW(app().mainWindow, WM_CLOSE, 0, 0);
    int code = rekal::win::runMessageLoop();
    rekal::win::shutdownApplication();
    return code;
}

inline void command(int id) {
    SendMessageW(app().mainWindow, WM_COMMAND, id, 0);
    wintest::flushEvents(20);
}

inline std::wstring windowText(HWND hwnd) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(hwnd, buffer, 1024);
    return buffer;
}

inline std::wstring caption() {
    return windowText(app().mainWindow);
}

inline HMENU mainMenu() {
    return GetMenu(app().mainWindow);
}

inline bool menuGreyed(int id) {
    return (GetMenuState(mainMenu(), id, MF_BYCOMMAND) & MF_GRAYED) != 0;
}
inline bool menuChecked(int id) {
    return (GetMenuState(mainMenu(), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

inline std::wstring menuItemText(HMENU menu, UINT item, UINT by = MF_BYCOMMAND) {
    wchar_t buffer[512] = {};
    GetMenuStringW(menu, item, buffer, 512, by);
    return buffer;
}

// The texts of the File menu's recent-file entries, in menu order.
inline std::vector<std::wstring> recentEntries(HMENU menu) {
    std::vector<std::wstring> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        UINT id = GetMenuItemID(menu, i);
        if (id > 2700 && id <= 2710) texts.push_back(menuItemText(menu, i, MF_BYPOSITION));
    }
    return texts;
}
inline std::vector<std::wstring> recentEntries() {
    return recentEntries(GetSubMenu(mainMenu(), 0));
}

inline HWND examControl(int id) {
    return GetDlgItem(app().examView, id);
}
inline HWND toolbar() {
    return examControl(IDC_TOOLBAR);
}

inline int buttonState(int command) {
    return static_cast<int>(SendMessageW(toolbar(), TB_GETSTATE, command, 0));
}

// The text of a list view's cell (column 0 is the item's own text).
inline std::wstring listCell(HWND list, int row, int column) {
    wchar_t buffer[512] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 512;
    SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// The radio and check state of a menu item.
inline MENUITEMINFOW menuItemInfo(int id) {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_STATE;
    GetMenuItemInfoW(mainMenu(), static_cast<UINT>(id), FALSE, &info);
    return info;
}

// Drops the files on a window (the main window unless told) as the shell does (one block of wide
// names).
inline void dropFiles(const std::vector<fs::path>& files, HWND target = nullptr) {
    std::wstring list;
    for (const fs::path& p : files)
        list += p.wstring() + L'\0';
    list += L'\0';
    HGLOBAL block = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
    auto* drop = static_cast<DROPFILES*>(GlobalLock(block));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
                list.size() * sizeof(wchar_t));
    GlobalUnlock(block);
    SendMessageW(target ? target : app().mainWindow, WM_DROPFILES, reinterpret_cast<WPARAM>(block), 0);
    if (!target) wintest::flushEvents();
}

// The visible dialog of this thread owned by the main window (a file dialog, a message box), or null.
inline HWND ownedDialog() {
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND hwnd, LPARAM out) {
            wchar_t cls[16] = {};
            GetClassNameW(hwnd, cls, 16);
            if (std::wstring(cls) == L"#32770" && GetWindow(hwnd, GW_OWNER) == app().mainWindow &&
                IsWindowVisible(hwnd)) {
                *reinterpret_cast<HWND*>(out) = hwnd;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The folder REKAL_SCREENSHOTS names, where screenshot tests leave their pictures; empty when unset.
inline std::wstring shotFolder() {
    const wchar_t* dir = _wgetenv(L"REKAL_SCREENSHOTS");
    return dir ? dir : L"";
}

// The screen as a 24-bit BMP file.
inline bool saveScreen(const std::wstring& file) {
    const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, w, h, screen, 0, 0, SRCCOPY);
    GdiFlush();
    const DWORD stride = ((static_cast<DWORD>(w) * 3 + 3) & ~3u);
    const DWORD size = stride * static_cast<DWORD>(h);
    BITMAPFILEHEADER head{0x4D42,
                          static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER) + size), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER)};
    std::string bytes(reinterpret_cast<const char*>(&head), sizeof head);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), size);
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    writeBytes(fs::path(file), bytes);
    return true;
}

// Watches for top-level dialogs with the given caption (message boxes, file dialogs) from a thread
// of its own and hands each new one to `act`, which runs on that thread. Message box texts are
// recorded. (Win32 threads: <thread> brings <chrono>, which the CP932 execution set cannot compile.)
class DialogWatcher {
  public:
    DialogWatcher(std::wstring caption, std::function<void(HWND)> act)
        : caption_(std::move(caption)), act_(std::move(act)) {
        InitializeCriticalSection(&lock_);
        thread_ = CreateThread(nullptr, 0, threadMain, this, 0, nullptr);
    }
    // Answers every message box of the program with `button` (IDOK, IDYES, IDNO...).
    // Watches for any top-level dialog that `match` accepts, whatever its caption.
    DialogWatcher(std::function<bool(HWND)> match, std::function<void(HWND)> act)
        : match_(std::move(match)), act_(std::move(act)) {
        InitializeCriticalSection(&lock_);
        thread_ = CreateThread(nullptr, 0, threadMain, this, 0, nullptr);
    }
    static DialogWatcher pressing(int button) {
        return DialogWatcher(L"Rekal for Windows", [button](HWND box) {
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        });
    }
    DialogWatcher(DialogWatcher&& other) = delete;
    ~DialogWatcher() {
        stop_ = true;
        WaitForSingleObject(thread_, INFINITE);
        CloseHandle(thread_);
        DeleteCriticalSection(&lock_);
    }

    std::vector<std::wstring> texts() {
        EnterCriticalSection(&lock_);
        std::vector<std::wstring> copy = texts_;
        LeaveCriticalSection(&lock_);
        return copy;
    }
    int seen() { return static_cast<int>(texts().size()); }

  private:
    static DWORD WINAPI threadMain(void* self) {
        static_cast<DialogWatcher*>(self)->run();
        return 0;
    }

    void run() {
        while (!stop_) {
            HWND found = nullptr;
            const wchar_t* caption = match_ ? nullptr : caption_.c_str();
            for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, L"#32770", caption)) != nullptr;) {
                if (IsWindowVisible(w) && !handled_.count(w) && (!match_ || match_(w))) {
                    found = w;
                    break;
                }
            }
            if (found) {
                Sleep(50);
                wchar_t text[1024] = {};
                GetDlgItemTextW(found, 0xFFFF, text, 1024);
                handled_.insert(found);
                EnterCriticalSection(&lock_);
                texts_.push_back(text);
                LeaveCriticalSection(&lock_);
                act_(found);
            }
            Sleep(20);
        }
    }

    std::wstring caption_;
    std::function<bool(HWND)> match_;
    std::function<void(HWND)> act_;
    std::atomic<bool> stop_{false};
    CRITICAL_SECTION lock_;
    std::set<HWND> handled_; // only the watcher thread touches it
    std::vector<std::wstring> texts_;
    HANDLE thread_ = nullptr;
};

} // namespace shelltest
