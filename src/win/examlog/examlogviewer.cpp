#include "win/examlog/examlogviewer.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/examlog/browse.h"
#include "core/examlog/examlog.h"
#include "core/shell/helpcontexts.h"
#include "core/shell/numberfield.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/exam/examsession.h"
#include "win/base/dpi.h"
#include "win/base/wintext.h"
#include "win/dialogs/dialogkit.h"
#include "win/dialogs/link.h"
#include "win/display/sentence.h"
#include "win/exam/examview.h"
#include "win/examlog/reexammenu.h"
#include "win/image/picture.h"

#include <commctrl.h>
#include <shellapi.h>

#include <climits>

namespace rekal::win {

namespace {

constexpr const char* kLinkFace = "ＭＳ Ｐゴシック";
constexpr const char* kTabTitles[] = {"日付順", "ファイル順"};

struct ViewerState {
    ViewerState(ExamLogViewerData& d, ExamLog&& parsed) : data(d), log(std::move(parsed)) {}

    ExamLogViewerData& data;
    ExamLog log;
    ExamLogTree tree;
    ExamLogRange range;
    const ExamLogEntry* shown = nullptr;
    int columns = 0;
    bool quiet = false; // the program is filling the tree or the number box: their notifications wait
    OwnedBitmap firstImage, lastImage;
    OwnedFont linkFont;
};

HWND item(HWND dialog, int id) {
    return GetDlgItem(dialog, id);
}

ExamLogOrder currentOrder(HWND dialog) {
    return SendMessageW(item(dialog, IDC_LOG_TABS), TCM_GETCURSEL, 0, 0) == 1 ? ExamLogOrder::ByFile
                                                                              : ExamLogOrder::ByDate;
}

// ---- the question list ----

// The widths of the first eight columns go into the settings as 96-dpi numbers.
void recordColumnWidths(HWND dialog, ViewerState& s) {
    HWND list = item(dialog, IDC_LOG_QUESTIONS);
    const int dpi = windowDpi(list);
    for (int c = 0; c < s.columns && c < static_cast<int>(s.data.settings.examListWidth.size()); ++c) {
        const int width = static_cast<int>(SendMessageW(list, LVM_GETCOLUMNWIDTH, c, 0));
        s.data.settings.examListWidth[static_cast<std::size_t>(c)] = unscaleForDpi(width, dpi);
    }
}

void clearQuestionList(HWND dialog, ViewerState& s) {
    HWND list = item(dialog, IDC_LOG_QUESTIONS);
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    recordColumnWidths(dialog, s);
    while (s.columns > 0)
        SendMessageW(list, LVM_DELETECOLUMN, --s.columns, 0);
}

void setItemText(HWND list, int row, int column, std::string_view text) {
    std::wstring wide = toWide(text);
    LVITEMW it{};
    it.mask = LVIF_TEXT;
    it.iItem = row;
    it.iSubItem = column;
    it.pszText = wide.data();
    if (column == 0)
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&it));
    else
        SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&it));
}

// One column per field of the column header line, one item per detail line.
void fillQuestionList(HWND dialog, ViewerState& s, const ExamLogEntry& entry) {
    HWND list = item(dialog, IDC_LOG_QUESTIONS);
    const std::span<const ExamLogRow> rows = s.log.rowsOf(entry);
    if (rows.empty()) return;
    for (std::string_view title : questionColumnTitles(s.log, entry)) {
        std::wstring wide = toWide(title);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH;
        column.fmt = LVCFMT_LEFT;
        column.cx = scaled(list, questionColumnWidth(s.data.settings, static_cast<std::size_t>(s.columns)));
        column.pszText = wide.data();
        SendMessageW(list, LVM_INSERTCOLUMNW, s.columns, reinterpret_cast<LPARAM>(&column));
        ++s.columns;
    }
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    for (std::size_t r = 1; r < rows.size(); ++r) {
        const std::span<const std::string_view> fields = s.log.fieldsOf(rows[r]);
        const int row = static_cast<int>(r - 1);
        setItemText(list, row, 0, fields.empty() ? std::string_view() : fields[0]);
        for (std::size_t f = 1; f < fields.size() && f < static_cast<std::size_t>(s.columns); ++f)
            setItemText(list, row, static_cast<int>(f), fields[f]);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

// ---- one record ----

void setText(HWND dialog, int id, std::string_view text) {
    setWindowText(item(dialog, id), text);
}

// Record k (from 1) of the node; a number outside the node changes nothing.
void showRecord(HWND dialog, ViewerState& s, long long k) {
    const ExamLogEntry* entry = entryInRange(s.log, s.range, k);
    if (!entry) return;
    s.shown = entry;
    setText(dialog, IDC_LOG_TIME, examLogTimeText(entry->time));
    const std::pair<int, const std::optional<std::string_view>*> texts[] = {
        {IDC_LOG_FILE, &entry->file},
        {IDC_LOG_METHOD, &entry->method},
        {IDC_LOG_MODE, &entry->mode},
        {IDC_LOG_RATE, &entry->rate},
        {IDC_LOG_ELAPSED, &entry->elapsed}};
    for (const auto& [id, text] : texts)
        setText(dialog, id, text->value_or(std::string_view()));
    clearQuestionList(dialog, s);
    fillQuestionList(dialog, s, *entry);
    EnableWindow(item(dialog, IDC_LOG_REEXAM), questionItemCount(s.log, *entry) > 0);
}

// Puts k into the number box and its up-down without the box's change showing it a second time.
void setNumber(HWND dialog, ViewerState& s, long long k) {
    s.quiet = true;
    SendMessageW(item(dialog, IDC_LOG_SPIN), UDM_SETPOS32, 0, static_cast<LPARAM>(k));
    setText(dialog, IDC_LOG_NUMBER, std::to_string(k));
    s.quiet = false;
    showRecord(dialog, s, k);
}

void showNode(HWND dialog, ViewerState& s, int node) {
    if (node < 0 || static_cast<std::size_t>(node) >= s.tree.nodes.size()) return;
    s.range = s.tree.nodes[static_cast<std::size_t>(node)].range;
    setText(dialog, IDC_LOG_RANGE, examLogRangeText(s.range.count));
    const int count = static_cast<int>(std::min<std::size_t>(s.range.count, INT_MAX));
    SendMessageW(item(dialog, IDC_LOG_SPIN), UDM_SETRANGE32, 1, count > 0 ? count : 1);
    setNumber(dialog, s, 1);
}

// ---- the tree ----

// Sorts the log in this order and mirrors the model's tree; each item's data is its node's index.
void arrange(HWND dialog, ViewerState& s, ExamLogOrder order) {
    HWND tree = item(dialog, IDC_LOG_TREE);
    s.quiet = true;
    SendMessageW(tree, WM_SETREDRAW, FALSE, 0);
    SendMessageW(tree, TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(TVI_ROOT));
    s.tree = arrangeExamLog(s.log, order);
    s.shown = nullptr;
    std::vector<HTREEITEM> items(s.tree.nodes.size(), nullptr);
    for (std::size_t i = 0; i < s.tree.nodes.size(); ++i) {
        const ExamLogNode& node = s.tree.nodes[i];
        std::wstring label = toWide(node.label);
        TVINSERTSTRUCTW insert{};
        insert.hParent = node.parent < 0 ? TVI_ROOT : items[static_cast<std::size_t>(node.parent)];
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = label.data();
        insert.item.lParam = static_cast<LPARAM>(i);
        items[i] = reinterpret_cast<HTREEITEM>(
            SendMessageW(tree, TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&insert)));
    }
    for (int node : s.tree.expanded)
        SendMessageW(tree, TVM_EXPAND, TVE_EXPAND,
                     reinterpret_cast<LPARAM>(items[static_cast<std::size_t>(node)]));
    SendMessageW(tree, TVM_SELECTITEM, TVGN_CARET,
                 reinterpret_cast<LPARAM>(items[static_cast<std::size_t>(s.tree.selected)]));
    SendMessageW(tree, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(tree, nullptr, TRUE);
    s.quiet = false;
    showNode(dialog, s, s.tree.selected);
}

// ---- the buttons ----

// The system folder's notepad.exe, never one found along the search path from the current folder.
std::wstring systemNotepad() {
    wchar_t folder[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return (std::filesystem::path(folder) / L"notepad.exe").native();
}

// The shell's default program for the log, else notepad; "ファイルが見つかりません。" when neither starts.
void openInEditor(HWND dialog, const std::filesystem::path& logPath) {
    const std::wstring path = logPath.native();
    const auto shell = reinterpret_cast<INT_PTR>(
        ShellExecuteW(dialog, L"open", path.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    if (shell > 32) return;
    const std::wstring notepad = systemNotepad();
    std::wstring commandLine = L"\"" + notepad + L"\" \"" + path + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!notepad.empty() && CreateProcessW(notepad.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                                           nullptr, nullptr, &startup, &process)) {
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return;
    }
    showMessage(dialog, msg::kFileNotFound, MB_ICONERROR);
}

std::vector<std::size_t> selectedItems(HWND list) {
    std::vector<std::size_t> items;
    for (int i = -1; (i = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, i, LVNI_SELECTED))) >= 0;)
        items.push_back(static_cast<std::size_t>(i));
    return items;
}

void closeViewer(HWND dialog, ViewerState& s, INT_PTR result) {
    s.data.settings.set(ExamLogSort, currentOrder(dialog) == ExamLogOrder::ByDate);
    recordColumnWidths(dialog, s);
    EndDialog(dialog, result);
}

// 再出題: the menu, the record's file opened through the normal open path, its questions collected
// and checked against the file; the viewer closes and the run starts in the main window.
void onReexam(HWND dialog, ViewerState& s) {
    const std::vector<std::size_t> selected = selectedItems(item(dialog, IDC_LOG_QUESTIONS));
    ReexamMenuData menu;
    menu.selectionAvailable = !selected.empty();
    menu.random = s.data.settings.has(RetryRandom);
    if (!showReexamMenu(dialog, menu)) return;
    s.data.settings.set(RetryRandom, menu.random);
    if (!s.shown || questionItemCount(s.log, *s.shown) == 0) {
        showMessage(dialog, kNoQuestionsToAsk, MB_ICONINFORMATION);
        return;
    }
    const ExamLogEntry& entry = *s.shown;
    if (!s.data.openBook(nativePath(entry.file.value_or(std::string_view())))) return;
    ReexamRequest request;
    request.questions = collectReexamQuestions(s.log, entry, menu.choice, selected);
    keepExistingQuestions(app().book, request.questions);
    request.kind = reexamKind(menu.choice);
    request.shuffle = menu.random;
    s.data.reexam = std::move(request);
    closeViewer(dialog, s, IDOK);
}

// ---- messages ----

void onInit(HWND dialog, ViewerState& s) {
    centreOnOwner(dialog);
    SendMessageW(item(dialog, IDC_LOG_QUESTIONS), LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    HWND tabs = item(dialog, IDC_LOG_TABS);
    for (int i = 0; i < 2; ++i) {
        std::wstring title = toWide(kTabTitles[i]);
        TCITEMW tab{};
        tab.mask = TCIF_TEXT;
        tab.pszText = title.data();
        SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
    }
    s.firstImage.reset(loadPngArtwork(dialog, IDP_FIRST, GetSysColor(COLOR_BTNFACE)));
    s.lastImage.reset(loadPngArtwork(dialog, IDP_LAST, GetSysColor(COLOR_BTNFACE)));
    SendDlgItemMessageW(dialog, IDC_LOG_FIRST, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(s.firstImage.get()));
    SendDlgItemMessageW(dialog, IDC_LOG_LAST, BM_SETIMAGE, IMAGE_BITMAP,
                        reinterpret_cast<LPARAM>(s.lastImage.get()));
    s.linkFont.reset(createInterfaceFont(dialog, 9, FW_NORMAL, true, SHIFTJIS_CHARSET, kLinkFace));
    setControlFont(dialog, IDC_LOG_FILE, s.linkFont.get());
    s.quiet = true;
    setUpNumberEdit(dialog, IDC_LOG_NUMBER, IDC_LOG_SPIN, 1, 1, 1);
    s.quiet = false;
    EnableWindow(item(dialog, IDC_LOG_REEXAM), FALSE);
    const bool byDate = s.data.settings.has(ExamLogSort);
    SendMessageW(tabs, TCM_SETCURSEL, byDate ? 0 : 1, 0);
    arrange(dialog, s, byDate ? ExamLogOrder::ByDate : ExamLogOrder::ByFile);
}

void onCommand(HWND dialog, ViewerState& s, int id, int notification) {
    switch (id) {
    case IDC_LOG_FIRST:
        setNumber(dialog, s, 1);
        break;
    case IDC_LOG_LAST:
        if (s.range.count > 0) setNumber(dialog, s, static_cast<long long>(s.range.count));
        break;
    case IDC_LOG_NUMBER:
        if (notification == EN_CHANGE && !s.quiet) {
            if (std::optional<int> k = parseNumberField(windowText(item(dialog, IDC_LOG_NUMBER)), 1, INT_MAX))
                showRecord(dialog, s, *k);
        }
        break;
    case IDC_LOG_FILE:
        if (notification == STN_CLICKED && s.shown && s.shown->file)
            s.data.openBook(nativePath(*s.shown->file));
        break;
    case IDC_LOG_EDITOR:
        openInEditor(dialog, examLogPath());
        break;
    case IDC_LOG_REEXAM:
        onReexam(dialog, s);
        break;
    case IDOK:
    case IDCANCEL:
        closeViewer(dialog, s, id);
        break;
    }
}

void onNotify(HWND dialog, ViewerState& s, const NMHDR& header) {
    if (header.idFrom == IDC_LOG_TABS && header.code == TCN_SELCHANGE) {
        arrange(dialog, s, currentOrder(dialog));
    } else if (header.idFrom == IDC_LOG_TREE &&
               (header.code == TVN_SELCHANGEDW || header.code == TVN_SELCHANGEDA)) {
        const auto& change = reinterpret_cast<const NMTREEVIEWW&>(header);
        if (!s.quiet && change.itemNew.hItem) showNode(dialog, s, static_cast<int>(change.itemNew.lParam));
    }
}

INT_PTR CALLBACK viewerProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        onInit(dialog, hangDialogState<ViewerState>(dialog, lParam));
        return TRUE;
    }
    ViewerState* s = dialogState<ViewerState>(dialog);
    if (!s) return FALSE;
    if (handleCommonDialogMessage(dialog, message, wParam, kHelpExamLogViewer)) return TRUE;
    INT_PTR result = FALSE;
    if (handleLinkMessage(dialog, message, wParam, lParam, IDC_LOG_FILE, result)) return result;
    switch (message) {
    case WM_COMMAND:
        onCommand(dialog, *s, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        onNotify(dialog, *s, *reinterpret_cast<const NMHDR*>(lParam));
        return FALSE;
    }
    return FALSE;
}

// The log parsed with the wait cursor and "解析中..." in the status bar.
std::optional<ExamLog> readLog(const std::filesystem::path& path) {
    HCURSOR previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    setStatusText(StatusText::Analysing);
    std::optional<ExamLog> log = readExamLog(path, app().notifier);
    setStatusText(StatusText::Idle);
    SetCursor(previous);
    return log;
}

} // namespace

void showExamLogViewer(HWND owner, ExamLogViewerData& data) {
    std::optional<ExamLog> log = readLog(examLogPath());
    if (!log) return;
    ViewerState state(data, std::move(*log));
    runModalDialog(owner, IDD_EXAMLOG, viewerProc, &state);
}

void openExamLogViewer(HWND owner, BookOpener openBook) {
    ExamLogViewerData data{app().settings, openBook, std::nullopt};
    showExamLogViewer(owner, data);
    if (!data.reexam) return;
    if (data.reexam->questions.empty()) {
        showMessage(owner, kNoQuestionsToAsk, MB_ICONINFORMATION);
        return;
    }
    startFixedListExam(data.reexam->questions, data.reexam->kind, data.reexam->shuffle);
}

} // namespace rekal::win
