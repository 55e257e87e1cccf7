// The exam view's frame as the shell builds it: toolbar buttons and their tips, the status bar's
// fields and texts, the display parts of the View menu, the information-pane splitter, the idle
// panel and the control tooltips.

#include "shelltest.h"

#include "core/shell/viewframe.h"
#include "win/shell/bookfile.h"
#include "win/display/separator.h"
#include "win/exam/examview.h"

namespace {

using namespace shelltest;
using wintest::px;

RECT rectIn(HWND control, HWND parent) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool shown(int id) {
    return (GetWindowLongW(examControl(id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::wstring tipText(int command) {
    NMTTDISPINFOW request{};
    request.hdr = {reinterpret_cast<HWND>(SendMessageW(toolbar(), TB_GETTOOLTIPS, 0, 0)),
                   static_cast<UINT_PTR>(command), TTN_GETDISPINFOW};
    SendMessageW(app().examView, WM_NOTIFY, command, reinterpret_cast<LPARAM>(&request));
    if (request.lpszText && IS_INTRESOURCE(request.lpszText)) {
        wchar_t buffer[128] = {};
        LoadStringW(request.hinst, static_cast<UINT>(reinterpret_cast<UINT_PTR>(request.lpszText)), buffer,
                    128);
        return buffer;
    }
    return request.lpszText ? request.lpszText : L"";
}

std::wstring statusText(int part) {
    wchar_t buffer[256] = {};
    SendMessageW(examControl(IDC_STATUS_BAR), SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buffer));
    return buffer;
}

} // namespace

WINTEST(toolbarButtonsAndTips) {
    auto dir = makeFolder(L"rekal-toolbar");
    ok(start(dir), "start-up failed");
    HWND tb = toolbar();
    ok(tb != nullptr, "no toolbar");
    const struct {
        int image;
        int command;
        bool separator;
        bool dropDown;
    } expected[] = {{0, 2001, false, true},  {0, 0, true, false},     {1, 2306, false, false},
                    {0, 0, true, false},     {2, 2301, false, false}, {3, 2302, false, false},
                    {4, 2303, false, false}, {5, 2304, false, false}, {0, 0, true, false},
                    {6, 2307, false, false}, {7, 2308, false, false}, {8, 2309, false, false},
                    {9, 2311, false, false}, {10, 2312, false, false}};
    const int count = static_cast<int>(SendMessageW(tb, TB_BUTTONCOUNT, 0, 0));
    ok(count == 14, "%d buttons", count);
    for (int i = 0; i < count && i < 14; ++i) {
        TBBUTTON b{};
        SendMessageW(tb, TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&b));
        ok(((b.fsStyle & BTNS_SEP) != 0) == expected[i].separator, "button %d separator", i);
        if (expected[i].separator) continue;
        ok(b.idCommand == expected[i].command, "button %d command %d", i, b.idCommand);
        ok(b.iBitmap == expected[i].image, "button %d image %d", i, b.iBitmap);
        ok(((b.fsStyle & BTNS_DROPDOWN) != 0) == expected[i].dropDown, "button %d drop-down", i);
    }
    auto* images = reinterpret_cast<HIMAGELIST>(SendMessageW(tb, TB_GETIMAGELIST, 0, 0));
    ok(images && ImageList_GetImageCount(images) == 11, "toolbar images: %d",
       images ? ImageList_GetImageCount(images) : -1);
    // The images drawn for the screen: 16 pixels at 96 dpi, 24 at 120 and 144, 32 at 192.
    int cx = 0, cy = 0;
    if (images) ImageList_GetIconSize(images, &cx, &cy);
    const int dpi = wintest::screenDpi();
    const int drawn = dpi < 120 ? 16 : dpi < 168 ? 24 : 32;
    ok(cx == drawn && cy == drawn, "toolbar images %d x %d at %d dpi", cx, cy, dpi);
    const std::pair<int, const wchar_t*> tips[] = {
        {2001, L"ファイルを開く"},     {2003, L"上書き保存"},
        {2102, L"元に戻す"},           {2106, L"検索"},
        {2306, L"出題範囲指定"},       {2301, L"通常モード"},
        {2302, L"記述式モード"},       {2303, L"選択式モード"},
        {2304, L"確認モード"},         {2307, L"すべて"},
        {2308, L"ランダム（すべて）"}, {2309, L"ランダム（回数指定）"},
        {2311, L"弱点問題"},           {2312, L"完全"}};
    for (const auto& [id, text] : tips)
        ok(tipText(id) == text, "tip %d: %s", id, wintest::utf8(tipText(id)).c_str());
    ok(tipText(2310).empty(), "the one-question command has a tip");
    ok(tipText(2314).empty(), "clear histories has a tip");

    // Toolbar commands reach the main window: the mode button checks its menu item.
    SendMessageW(app().examView, WM_COMMAND, 2303, reinterpret_cast<LPARAM>(tb));
    wintest::flushEvents(20);
    ok(menuChecked(2303) && (buttonState(2303) & TBSTATE_PRESSED), "toolbar command did not arrive");
    closeProgram();
    removeFolder(dir);
}

WINTEST(statusBarFieldsAndTexts) {
    auto dir = makeFolder(L"rekal-status");
    // A window 600 pixels wide at 96 dpi, as much wider as the screen is denser.
    writeBytes(dir / L"REKALWIN.INI",
               "Width=" + std::to_string(px(600)) + "\r\nHeight=" + std::to_string(px(400)) + "\r\n");
    ok(start(dir), "start-up failed");
    HWND status = examControl(IDC_STATUS_BAR);
    int edges[8] = {};
    const int parts = static_cast<int>(SendMessageW(status, SB_GETPARTS, 8, reinterpret_cast<LPARAM>(edges)));
    ok(parts == 5, "%d parts", parts);
    RECT view, bar;
    GetClientRect(app().examView, &view);
    GetWindowRect(status, &bar);
    const auto want = rekal::statusFieldEdges(view.right, bar.bottom - bar.top);
    for (int i = 0; i < 5; ++i)
        ok(edges[i] == want[static_cast<std::size_t>(i)], "edge %d: %d", i, edges[i]);
    ok(statusText(0) == L"ヘルプを見るには F1 キーを押してください。", "idle text %s",
       wintest::utf8(statusText(0)).c_str());
    // At that size the first field holds the whole help text, on any screen: the field grows with
    // the status bar and the window, the text with its font.
    RECT field{};
    SendMessageW(status, SB_GETRECT, 0, reinterpret_cast<LPARAM>(&field));
    HDC dc = GetDC(status);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0)));
    const std::wstring help = statusText(0);
    SIZE extent{};
    GetTextExtentPoint32W(dc, help.c_str(), static_cast<int>(help.size()), &extent);
    SelectObject(dc, old);
    ReleaseDC(status, dc);
    ok(extent.cx <= field.right - field.left, "field 0 is %ld wide for a text of %ld at %d dpi",
       field.right - field.left, extent.cx, wintest::screenDpi());
    const std::pair<rekal::win::StatusText, const wchar_t*> texts[] = {
        {rekal::win::StatusText::Loading, L"読み込み中..."},
        {rekal::win::StatusText::Saving, L"保存中..."},
        {rekal::win::StatusText::Analysing, L"解析中..."},
        {rekal::win::StatusText::Idle, L"ヘルプを見るには F1 キーを押してください。"}};
    for (const auto& [code, text] : texts) {
        rekal::win::setStatusText(code);
        ok(statusText(0) == text, "status %s", wintest::utf8(statusText(0)).c_str());
        const LRESULT info = SendMessageW(status, SB_GETTEXTLENGTHW, 0, 0);
        ok((HIWORD(info) & SBT_NOBORDERS) != 0, "part 0 has a border");
    }
    closeProgram();
    removeFolder(dir);
}

// A move to a monitor of another density: the main window takes the suggested rectangle and the
// view lays itself out again in it; the view's children make their pictures again.
WINTEST(aDensityChangeTakesTheSuggestedRectangle) {
    auto dir = makeFolder(L"rekal-dpichange");
    ok(start(dir), "start-up failed");
    HWND main = app().mainWindow;
    HWND toolbar = examControl(IDC_TOOLBAR);
    const auto imagesBefore = SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0);
    const int dpi = wintest::screenDpi();
    RECT suggested{40, 30, 40 + px(420), 30 + px(330)};
    SendMessageW(main, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
    SendMessageW(app().examView, WM_DPICHANGED_AFTERPARENT, 0, 0);
    wintest::flushEvents(20);
    RECT window, client, view;
    GetWindowRect(main, &window);
    ok(EqualRect(&window, &suggested), "window at (%ld, %ld) %ld x %ld", window.left, window.top,
       window.right - window.left, window.bottom - window.top);
    GetClientRect(main, &client);
    GetClientRect(app().examView, &view);
    ok(view.right == client.right && view.bottom == client.bottom, "view %ld x %ld in %ld x %ld", view.right,
       view.bottom, client.right, client.bottom);
    int edges[5] = {};
    SendMessageW(examControl(IDC_STATUS_BAR), SB_GETPARTS, 5, reinterpret_cast<LPARAM>(edges));
    RECT bar;
    GetWindowRect(examControl(IDC_STATUS_BAR), &bar);
    ok(edges[4] == view.right - (bar.bottom - bar.top), "status fields not laid out again: %d", edges[4]);
    const auto imagesAfter = SendMessageW(toolbar, TB_GETIMAGELIST, 0, 0);
    ok(imagesAfter != 0 && imagesAfter != imagesBefore, "toolbar images not made again");
    ok(app().fonts.created(), "display fonts gone");
    closeProgram();
    removeFolder(dir);
}

WINTEST(displayPartsFollowTheViewMenu) {
    auto dir = makeFolder(L"rekal-parts");
    ok(start(dir), "start-up failed");
    const RECT paneBefore = rectIn(examControl(IDC_INFO_PANE), app().examView);
    ok(paneBefore.top >= 3, "pane top %ld", paneBefore.top);

    command(2501); // toolbar off
    ok(!shown(IDC_TOOLBAR) && !menuChecked(2501) && !app().settings.has(rekal::ToolBar), "toolbar still on");
    ok(rectIn(examControl(IDC_INFO_PANE), app().examView).top == px(3),
       "pane does not move up without the toolbar");
    command(2502); // status bar off
    ok(!shown(IDC_STATUS_BAR) && !menuChecked(2502), "status bar still on");
    RECT client;
    GetClientRect(app().examView, &client);
    ok(rectIn(examControl(IDC_INFO_PANE), app().examView).bottom == client.bottom - px(3),
       "pane does not reach down without the status bar");
    command(2507); // information pane off, with its splitter
    ok(!shown(IDC_INFO_PANE) && !shown(IDC_INFO_SPLITTER) && !menuChecked(2507), "pane still on");
    command(2503); // group fields: only the flag and the check mark while no exam runs
    ok(!menuChecked(2503) && !app().settings.has(rekal::Group), "group flag");
    ok(!shown(IDC_GROUP) && !shown(IDC_HISTORY), "group fields shown while idle");
    command(2504);
    ok(!menuChecked(2504) && !app().settings.has(rekal::ToolHint), "tooltip flag");
    closeProgram();

    // The parts stay off after a restart, and come back on.
    ok(start(dir), "start-up failed");
    for (int id : {2501, 2502, 2503, 2504, 2507})
        ok(!menuChecked(id), "item %d checked after restart", id);
    ok(!shown(IDC_TOOLBAR) && !shown(IDC_STATUS_BAR) && !shown(IDC_INFO_PANE), "parts shown after restart");
    for (int id : {2501, 2502, 2503, 2504, 2507})
        command(id);
    ok(shown(IDC_TOOLBAR) && shown(IDC_STATUS_BAR) && shown(IDC_INFO_PANE) && shown(IDC_INFO_SPLITTER),
       "parts not back");
    ok(rectIn(examControl(IDC_INFO_PANE), app().examView).top == paneBefore.top, "pane top not restored");
    closeProgram();
    removeFolder(dir);
}

WINTEST(splitterDragMovesThePaneWithinItsBounds) {
    auto dir = makeFolder(L"rekal-splitter");
    ok(start(dir), "start-up failed");
    HWND view = app().examView;
    HWND splitter = examControl(IDC_INFO_SPLITTER);
    wchar_t className[64] = {};
    GetClassNameW(splitter, className, 64);
    ok(std::wstring(className) == L"RekalWinSeparator", "splitter class %s",
       wintest::utf8(className).c_str());
    RECT client;
    GetClientRect(view, &client);
    // The stored width keeps its 96-dpi meaning; on screen the pane is that width scaled.
    const int dpi = wintest::screenDpi();
    const auto stored = [&](int screenWidth) { return MulDiv(screenWidth, 96, dpi); };
    const int min = stored(GetSystemMetrics(SM_CXVSCROLL) + px(19));

    // Drag to x = 200 in the view: the pane becomes 200 + 3 - 7 wide (at 96 dpi) and the splitter
    // follows.
    auto moveTo = [&](int viewX) {
        POINT p{viewX, 10};
        MapWindowPoints(view, splitter, &p, 1);
        SendMessageW(splitter, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    };
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 10));
    moveTo(200);
    const int dragged = 200 + px(3) - px(7);
    ok(app().settings.infoPainWidth == stored(dragged), "pane width %d", app().settings.infoPainWidth);
    RECT pane = rectIn(examControl(IDC_INFO_PANE), view);
    RECT bar = rectIn(splitter, view);
    ok(std::abs(pane.right - pane.left - dragged) <= (dpi == 96 ? 0 : 1) && bar.left == pane.right &&
           bar.right - bar.left == px(7),
       "pane %ld, splitter %ld", pane.right - pane.left, bar.left);
    moveTo(5000);
    ok(app().settings.infoPainWidth == stored(client.right - px(27)), "far right: %d",
       app().settings.infoPainWidth);
    moveTo(-300);
    ok(app().settings.infoPainWidth == min, "far left: %d", app().settings.infoPainWidth);

    // A right click ends the drag: the mouse no longer moves the pane.
    SendMessageW(splitter, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(3, 10));
    moveTo(150);
    ok(app().settings.infoPainWidth == min, "drag went on after a right click: %d",
       app().settings.infoPainWidth);
    ok(GetCapture() != splitter, "capture kept");
    // A new drag, ended by releasing the button.
    SendMessageW(splitter, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 10));
    moveTo(150);
    SendMessageW(splitter, WM_LBUTTONUP, 0, MAKELPARAM(3, 10));
    moveTo(250);
    const int released = stored(150 + px(3) - px(7));
    ok(app().settings.infoPainWidth == released, "after release: %d", app().settings.infoPainWidth);
    closeProgram();
    ok(readBytes(dir / L"REKALWIN.INI").find("InfoPainWidth=" + std::to_string(released) + "\r\n") !=
           std::string::npos,
       "width not stored");
    removeFolder(dir);
}

WINTEST(idlePanelIsCentredInTheQuestionArea) {
    auto dir = makeFolder(L"rekal-idle");
    writeBytes(dir / L"REKALWIN.INI",
               "Width=" + std::to_string(px(900)) + "\r\nHeight=" + std::to_string(px(640)) + "\r\n");
    auto book = writeBook(dir, L"十問.rkf", "十", 10);
    ok(start(dir), "start-up failed");
    HWND view = app().examView;
    HWND panel = FindWindowExW(view, nullptr, L"#32770", nullptr);
    ok(panel && IsWindowVisible(panel), "no idle panel");
    RECT pane = rectIn(examControl(IDC_INFO_PANE), view);
    RECT status = rectIn(examControl(IDC_STATUS_BAR), view);
    RECT client, p = rectIn(panel, view);
    GetClientRect(view, &client);
    const int areaLeft = pane.right + px(7), areaTop = pane.top;
    const int dx = (p.left - areaLeft) - (client.right - p.right);
    const int dy = (p.top - areaTop) - (status.top - p.bottom);
    ok(dx >= -1 && dx <= 1, "panel not centred across: %d", dx);
    ok(dy >= -1 && dy <= 1, "panel not centred down: %d", dy);
    HWND picture = GetDlgItem(panel, IDC_IDLE_PICTURE);
    ok(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0) != 0, "no picture");

    rekal::win::openBookFile(book);
    panel = FindWindowExW(app().examView, nullptr, L"#32770", nullptr);
    ok(panel && windowText(GetDlgItem(panel, IDC_IDLE_COUNT)) == L"10", "count after load");
    closeProgram();
    removeFolder(dir);
}

WINTEST(controlTooltipsFollowToolHint) {
    auto dir = makeFolder(L"rekal-tips");
    ok(start(dir), "start-up failed");
    HWND tip = app().tooltip;
    ok(tip != nullptr, "no tooltip window");
    ok((GetWindowLongW(tip, GWL_EXSTYLE) & WS_EX_TOPMOST) && (GetWindowLongW(tip, GWL_STYLE) & TTS_ALWAYSTIP),
       "tooltip styles");
    ok(GetWindow(tip, GW_OWNER) == app().mainWindow, "tooltip owner");
    const std::pair<int, const wchar_t*> tools[] = {{IDC_TITLE, L"タイトル"},
                                                    {IDC_QUESTION, L"問題"},
                                                    {IDC_HISTORY, L"問題の正誤履歴"},
                                                    {IDC_GROUP, L"問題のグループ"},
                                                    {IDC_ANSWER_EDIT, L"ここに答えを入力します"},
                                                    {IDOK, L"答え合わせをします"},
                                                    {IDCANCEL, L"出題を終わります"}};
    ok(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0) == 7, "%d tools",
       static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)));
    for (const auto& [id, text] : tools) {
        wchar_t buffer[128] = {};
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        tool.hwnd = app().examView;
        tool.uId = reinterpret_cast<UINT_PTR>(examControl(id));
        tool.lpszText = buffer;
        SendMessageW(tip, TTM_GETTEXTW, 128, reinterpret_cast<LPARAM>(&tool));
        ok(std::wstring(buffer) == text, "tool %d: %s", id, wintest::utf8(buffer).c_str());
    }
    // The exam view is rebuilt for every load: its tools are replaced, not added.
    auto book = writeBook(dir, L"tips.rkf", "本");
    rekal::win::openBookFile(book);
    ok(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0) == 7, "%d tools after a load",
       static_cast<int>(SendMessageW(tip, TTM_GETTOOLCOUNT, 0, 0)));
    closeProgram();
    removeFolder(dir);
}

WINTEST_MAIN("examview")
