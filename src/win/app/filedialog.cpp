#include "win/app/filedialog.h"

#include "core/shell/filename.h"
#include "win/base/wintext.h"

#include <algorithm>

namespace rekal::win {

std::wstring fileDialogFilter(std::initializer_list<std::pair<const char*, const char*>> entries) {
    std::wstring filter;
    for (const auto& [description, pattern] : entries) {
        filter += toWide(description);
        filter += L'\0';
        filter += toWide(pattern);
        filter += L'\0';
    }
    return filter;
}

std::vector<wchar_t> fileNameBuffer(const std::filesystem::path& initial) {
    std::vector<wchar_t> buffer(MAX_PATH, L'\0');
    const std::wstring& text = initial.native();
    text.copy(buffer.data(), std::min<std::size_t>(text.size(), MAX_PATH - 1));
    return buffer;
}

OPENFILENAMEW fileDialogRecord(HWND owner, const std::wstring& filter, std::vector<wchar_t>& name,
                               DWORD flags) {
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = name.data();
    ofn.nMaxFile = static_cast<DWORD>(name.size());
    ofn.Flags = flags | OFN_NOCHANGEDIR;
    return ofn;
}

std::filesystem::path chosenFileName(const OPENFILENAMEW& ofn,
                                     std::initializer_list<const char*> extensions) {
    const std::filesystem::path name(ofn.lpstrFile);
    const std::size_t index = ofn.nFilterIndex;
    if (index == 0 || index > extensions.size()) return name;
    return withExtensionWhenNone(name, extensions.begin()[index - 1]);
}

} // namespace rekal::win
