#include "win/shell/windowclasses.h"

#include "resource.h"
#include "win/program/app.h"
#include "win/shell/mainwindow.h"
#include "win/display/separator.h"
#include "win/display/sentence.h"
#include "win/list/listwindow.h"
#include "win/progress/progresswindow.h"

namespace rekal::win {

namespace {

struct ClassEntry {
    const wchar_t* name;
    WNDPROC procedure;
    int menuId;
    int extraBytes;
};

} // namespace

bool registerWindowClass(HINSTANCE instance, WNDPROC procedure, const wchar_t* className, int menuId,
                         int extraBytes) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = procedure;
    wc.cbWndExtra = extraBytes;
    wc.hInstance = instance;
    wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_REKAL));
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszMenuName = menuId ? MAKEINTRESOURCEW(menuId) : nullptr;
    wc.lpszClassName = className;
    if (RegisterClassExW(&wc) || GetLastError() == ERROR_CLASS_ALREADY_EXISTS) return true;
    app().notifier.error("実行できません。");
    return false;
}

bool registerWindowClasses(HINSTANCE instance) {
    const ClassEntry classes[] = {
        {kMainWindowClass, mainWindowProc, IDR_MENU_MAIN, 0},
        {kListWindowClass, listWindowProc, 0, 0},
        {kProgressWindowClass, progressWindowProc, 0, 0},
        {kSentenceClass, sentenceWindowProc, 0, sizeof(void*)},
        {kSeparatorClass, separatorWindowProc, 0, kSeparatorExtraBytes},
    };
    for (const ClassEntry& c : classes) {
        if (!registerWindowClass(instance, c.procedure, c.name, c.menuId, c.extraBytes)) return false;
    }
    return true;
}

} // namespace rekal::win
