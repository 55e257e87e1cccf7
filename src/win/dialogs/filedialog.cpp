#include "win/dialogs/filedialog.h"

#include "core/base/fileio.h"
#include "core/base/messages.h"
#include "core/settings/customize.h"
#include "core/shell/filename.h"
#include "win/base/wintext.h"

#include <commdlg.h>

#include <algorithm>
#include <vector>

namespace rekal::win {

namespace {

// Pairs of a description and a pattern, each ended by a zero.
std::wstring filterText(std::initializer_list<FileFilter> filters) {
    std::wstring text;
    for (const FileFilter& f : filters) {
        text += toWide(f.description);
        text += L'\0';
        text += toWide(f.pattern);
        text += L'\0';
    }
    return text;
}

// Runs the open or the save dialog; the chosen name as the dialog returned it.
std::optional<std::filesystem::path> runFileDialog(HWND owner, const std::filesystem::path& initial,
                                                   std::initializer_list<FileFilter> filters,
                                                   Notifier& notifier, DWORD flags, bool save) {
    std::vector<wchar_t> name(MAX_PATH, L'\0');
    const std::wstring& text = initial.native();
    text.copy(name.data(), std::min<std::size_t>(text.size(), MAX_PATH - 1));
    const std::wstring filter = filterText(filters);
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = flags | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!(save ? GetSaveFileNameW(&ofn) : GetOpenFileNameW(&ofn))) {
        if (CommDlgExtendedError() != 0) notifier.error(msg::kCannotOpenDialog);
        return std::nullopt;
    }
    std::filesystem::path chosen(name.data());
    const std::size_t index = ofn.nFilterIndex;
    if (save && index >= 1 && index <= filters.size())
        chosen = withExtensionWhenNone(chosen, patternExtension(filters.begin()[index - 1].pattern));
    return chosen;
}

} // namespace

std::optional<std::filesystem::path> chooseSaveFile(HWND owner, const std::filesystem::path& initial,
                                                    std::initializer_list<FileFilter> filters,
                                                    Notifier& notifier, DWORD extraFlags) {
    return runFileDialog(owner, initial, filters, notifier, extraFlags, true);
}

std::optional<std::filesystem::path> chooseOpenFile(HWND owner, const std::filesystem::path& initial,
                                                    std::initializer_list<FileFilter> filters,
                                                    Notifier& notifier) {
    return runFileDialog(owner, initial, filters, notifier, OFN_FILEMUSTEXIST, false);
}

std::optional<std::string> storableChosenName(const std::filesystem::path& file, Notifier& notifier) {
    std::optional<std::string> text = storablePath(file);
    if (!storablePathText(text)) {
        notifier.warning(displayPath(file) + "\n" + kUnstorableChosenName);
        return std::nullopt;
    }
    return text;
}

std::filesystem::path firstDroppedFile(HDROP drop) {
    std::wstring path;
    if (DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) > 0) {
        const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
        path.assign(length + 1, L'\0');
        DragQueryFileW(drop, 0, path.data(), length + 1);
        path.resize(length);
    }
    DragFinish(drop);
    return path;
}

} // namespace rekal::win
