// The page フォント of the customize sheet: the six display fonts and the two choice-button colours,
// edited on working copies through the font and colour choosers, with a preview of the chosen font.
#include "core/base/messages.h"
#include "core/display/font.h"
#include "core/settings/customize.h"
#include "resource.h"
#include "win/program/app.h"
#include "win/base/selectedfont.h"
#include "win/base/wintext.h"
#include "win/customize/customizepages.h"
#include "win/dialogs/dialogkit.h"
#include "win/display/sentence.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <array>

namespace rekal::win {

namespace {

constexpr const char* kFontNames[kStoredFontCount] = {"タイトル",           "問題",    "ヒント", "答え",
                                                      "グループ・正誤履歴", "コメント"};
constexpr const wchar_t* kSample = L"Aaあぁアァ亜宇";
constexpr UINT_PTR kPreviewSubclass = 1;

struct FontExtra : PageExtra {
    FontPage copy; // the six fonts and two colours being edited
};

// The colour chooser's sixteen custom colours, kept for the life of the process and shared by all
// its uses.
std::array<COLORREF, 16>& customColours() {
    static std::array<COLORREF, 16> colours{};
    return colours;
}

int chosenFont(HWND page) {
    const auto index = static_cast<int>(SendDlgItemMessageW(page, IDC_PAGE_1025, CB_GETCURSEL, 0, 0));
    return std::clamp(index, 0, kStoredFontCount - 1);
}

FontSpec& chosenSpec(HWND page) {
    return pageExtra<FontExtra>(page).copy.fonts[static_cast<std::size_t>(chosenFont(page))];
}

void repaintPreview(HWND page) {
    InvalidateRect(GetDlgItem(page, IDC_PAGE_1028), nullptr, TRUE);
}

// The preview: the whole area in the chosen font's background, the sample centred on one line in
// its face, size, character set and colour.
void paintPreview(HWND preview, HWND page) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(preview, &ps);
    const FontSpec& font = chosenSpec(page);
    RECT area;
    GetClientRect(preview, &area);
    const OwnedBrush background(CreateSolidBrush(font.backColor));
    FillRect(dc, &area, background.get());
    const OwnedFont sampleFont(createFontFromSpec(preview, font));
    {
        SelectedFont selected(dc, sampleFont.get());
        SetTextColor(dc, font.color);
        SetBkMode(dc, TRANSPARENT);
        DrawTextW(dc, kSample, -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    EndPaint(preview, &ps);
}

LRESULT CALLBACK previewProc(HWND preview, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                             DWORD_PTR page) {
    if (!pageExtraOf(reinterpret_cast<HWND>(page))) return DefSubclassProc(preview, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        paintPreview(preview, reinterpret_cast<HWND>(page));
        return 0;
    case WM_ERASEBKGND:
        return 1; // the paint fills everything
    default:
        return DefSubclassProc(preview, message, wParam, lParam);
    }
}

// The screen's vertical density, which the font chooser's sizes are measured in.
int screenDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}

// The font chooser for the chosen font: screen fonts, effects (so a colour can be picked), no
// vertical fonts. Only face, size, character set and colour come back.
PageCommand chooseFont(HWND page) {
    FontSpec& font = chosenSpec(page);
    const int dpi = screenDpi();
    LOGFONTW logFont{};
    logFont.lfHeight = fontHeightForPoints(font.size, dpi);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = static_cast<BYTE>(font.charSet);
    const std::wstring face = toWide(font.face);
    face.copy(logFont.lfFaceName, std::min<std::size_t>(face.size(), LF_FACESIZE - 1));
    CHOOSEFONTW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.lpLogFont = &logFont;
    chooser.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    chooser.rgbColors = font.color;
    if (!ChooseFontW(&chooser)) {
        if (CommDlgExtendedError() != 0) app().notifier.error(msg::kCannotOpenDialog);
        return PageCommand::Unchanged;
    }
    if (!takeChosenFont(font, toCp932Exactly(logFont.lfFaceName), logFont.lfHeight, logFont.lfCharSet,
                        chooser.rgbColors, dpi)) {
        app().notifier.warning(kUnstorableFaceName);
        return PageCommand::Unchanged;
    }
    repaintPreview(page);
    return PageCommand::Changed;
}

// The colour chooser over one colour, with the shared custom colours.
PageCommand chooseColour(HWND page, Color& colour) {
    CHOOSECOLORW chooser{};
    chooser.lStructSize = sizeof chooser;
    chooser.hwndOwner = page;
    chooser.rgbResult = colour;
    chooser.lpCustColors = customColours().data();
    chooser.Flags = CC_RGBINIT;
    if (!ChooseColorW(&chooser)) {
        if (CommDlgExtendedError() != 0) app().notifier.error(msg::kCannotOpenDialog);
        return PageCommand::Unchanged;
    }
    colour = chooser.rgbResult;
    repaintPreview(page);
    return PageCommand::Changed;
}

void setUp(HWND page, const Settings&) {
    attachPageExtra(page, std::make_unique<FontExtra>());
    for (const char* name : kFontNames)
        SendDlgItemMessageW(page, IDC_PAGE_1025, CB_ADDSTRING, 0,
                            reinterpret_cast<LPARAM>(toWide(name).c_str()));
    SendDlgItemMessageW(page, IDC_PAGE_1025, CB_SETCURSEL, TitleFont, 0);
    SetWindowSubclass(GetDlgItem(page, IDC_PAGE_1028), previewProc, kPreviewSubclass,
                      reinterpret_cast<DWORD_PTR>(page));
}

void show(HWND page, const Settings& from) {
    FontExtra& extra = pageExtra<FontExtra>(page);
    extra.copy = fillFontPage(from);
    setChecked(page, IDC_PAGE_USE_DATA, extra.copy.useData);
    repaintPreview(page);
}

std::string_view check(HWND) {
    return {};
}

void store(HWND page, Settings& to) {
    FontPage p = pageExtra<FontExtra>(page).copy;
    p.useData = isChecked(page, IDC_PAGE_USE_DATA);
    storeFontPage(p, to);
    restyleDisplay();
}

void enable(HWND) {}

PageCommand command(HWND page, int id, int code) {
    if (id == IDC_PAGE_1025 && code == CBN_SELCHANGE) {
        repaintPreview(page);
        return PageCommand::Unchanged;
    }
    if (code != BN_CLICKED) return PageCommand::NotMine;
    FontPage& copy = pageExtra<FontExtra>(page).copy;
    switch (id) {
    case IDC_PAGE_1026:
        return chooseFont(page);
    case IDC_PAGE_1027:
        return chooseColour(page, chosenSpec(page).backColor);
    case IDC_PAGE_1029:
        return chooseColour(page, copy.colorActive);
    case IDC_PAGE_1030:
        return chooseColour(page, copy.colorHover);
    default:
        return PageCommand::NotMine;
    }
}

// The preview's own painting comes back when the page goes.
bool message(HWND page, UINT message, WPARAM, LPARAM) {
    if (message == WM_DESTROY)
        RemoveWindowSubclass(GetDlgItem(page, IDC_PAGE_1028), previewProc, kPreviewSubclass);
    return false;
}

} // namespace

const CustomizePage& fontPage() {
    static const CustomizePage page{3,     IDD_PAGE_FONT, 124,    setUp,   show,
                                    check, store,         enable, command, message};
    return page;
}

} // namespace rekal::win
