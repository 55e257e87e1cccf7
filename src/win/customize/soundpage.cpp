// The page 効果音 of the customize sheet: whether sounds are played, and the four sound files, each
// kept in a working path while the page is open.
#include "core/settings/customize.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/dialogs/filedialog.h"
#include "win/base/wintext.h"
#include "win/customize/customizepages.h"

#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <string>

namespace rekal::win {

namespace {

constexpr const char* kSoundNames[SoundKindCount] = {"出題音", "正解音", "誤答音", "結果音"};

// The working paths as the user typed them (a character code page 932 lacks is refused on apply).
struct SoundExtra : PageExtra {
    std::array<std::wstring, SoundKindCount> paths;
};

int chosenSound(HWND page) {
    const auto index = static_cast<int>(SendDlgItemMessageW(page, IDC_PAGE_1025, CB_GETCURSEL, 0, 0));
    return std::clamp(index, 0, SoundKindCount - 1);
}

// The chosen sound's working path in the edit; showing it is no edit.
void showChosenPath(HWND page) {
    QuietFill quiet(page);
    SetDlgItemTextW(page, IDC_PAGE_1026, pageExtra<SoundExtra>(page).paths[chosenSound(page)].c_str());
}

SoundPage readSound(HWND page) {
    SoundPage p;
    p.sound = isChecked(page, IDC_PAGE_1024);
    const SoundExtra& extra = pageExtra<SoundExtra>(page);
    for (int i = 0; i < SoundKindCount; ++i) {
        const std::optional<std::string> path = toCp932Exactly(extra.paths[i]);
        p.paths[i] = path.value_or(std::string());
        p.storable[i] = storablePathText(path);
    }
    return p;
}

void stopSound() {
    PlaySoundW(nullptr, nullptr, 0);
}

void setUp(HWND page, const Settings&) {
    attachPageExtra(page, std::make_unique<SoundExtra>());
    for (const char* name : kSoundNames)
        SendDlgItemMessageW(page, IDC_PAGE_1025, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(toWide(name).c_str()));
    SendDlgItemMessageW(page, IDC_PAGE_1025, CB_SETCURSEL, ExamSound, 0);
    SendDlgItemMessageW(page, IDC_PAGE_1026, EM_LIMITTEXT, kMaxPathText, 0);
    DragAcceptFiles(page, TRUE);
}

void show(HWND page, const Settings& from) {
    const SoundPage p = fillSoundPage(from);
    setChecked(page, IDC_PAGE_1024, p.sound);
    SoundExtra& extra = pageExtra<SoundExtra>(page);
    for (int i = 0; i < SoundKindCount; ++i)
        extra.paths[i] = toWide(p.paths[i]);
    showChosenPath(page);
}

std::string_view check(HWND page) {
    const SoundPage p = readSound(page);
    const auto refused = std::find(p.storable.begin(), p.storable.end(), false);
    if (refused != p.storable.end()) { // the refused path is the one shown with the warning
        SendDlgItemMessageW(page, IDC_PAGE_1025, CB_SETCURSEL, refused - p.storable.begin(), 0);
        showChosenPath(page);
    }
    return checkSoundPage(p);
}

void store(HWND page, Settings& to) {
    storeSoundPage(readSound(page), to);
}

void enable(HWND page) {
    enableControls(page, {IDC_PAGE_1026, IDC_PAGE_BROWSE, IDC_PAGE_1027},
                   soundControlsEnabled(readSound(page)));
}

PageCommand command(HWND page, int id, int code) {
    SoundExtra& extra = pageExtra<SoundExtra>(page);
    std::wstring& path = extra.paths[chosenSound(page)];
    if (id == IDC_PAGE_1025 && code == CBN_SELCHANGE) {
        showChosenPath(page);
        return PageCommand::Unchanged;
    }
    if (id == IDC_PAGE_1026 && code == EN_CHANGE) {
        path = wideWindowText(GetDlgItem(page, IDC_PAGE_1026));
        return PageCommand::Changed;
    }
    if (code != BN_CLICKED) return PageCommand::NotMine;
    if (id == IDC_PAGE_BROWSE) {
        putChosenFile(page, IDC_PAGE_1026,
                      chooseOpenFile(page, path, {{"サウンドファイル (*.wav)", "*.WAV"}}, app().notifier));
        return PageCommand::Unchanged; // the edit's change notice marks the sheet
    }
    if (id == IDC_PAGE_1027) {
        // Asynchronous, by file name, silent when the file is missing; it ends the previous sound.
        // A bare name is played from the program's folder, as the exam plays it.
        const std::filesystem::path played =
            isBareSoundName(toCp932(path)) ? app().programDir / path : std::filesystem::path(path);
        PlaySoundW(played.c_str(), nullptr, SND_FILENAME | SND_ASYNC | SND_NODEFAULT);
        return PageCommand::Unchanged;
    }
    return PageCommand::NotMine;
}

bool message(HWND page, UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
    case WM_DROPFILES:
        putChosenFile(page, IDC_PAGE_1026, firstDroppedFile(reinterpret_cast<HDROP>(wParam)));
        return true;
    case WM_DESTROY:
        stopSound();
        return false;
    default:
        return false;
    }
}

} // namespace

const CustomizePage& soundPage() {
    static const CustomizePage page{1,     IDD_PAGE_SOUND, 122,    setUp,   show,
                                    check, store,          enable, command, message};
    return page;
}

} // namespace rekal::win
