#include "win/program/displayfonts.h"

#include "core/shell/shell.h"
#include "resource.h"
#include "win/display/sentence.h"

namespace rekal::win {

namespace {

template <class Handle> void deleteObject(Handle& handle) {
    if (handle) DeleteObject(handle);
    handle = nullptr;
}

} // namespace

void deleteDisplayFonts(DisplayFonts& fonts) {
    for (HFONT& f : fonts.text)
        deleteObject(f);
    for (HBRUSH& b : fonts.backgrounds)
        deleteObject(b);
    deleteObject(fonts.info);
    deleteObject(fonts.infoBackground);
    deleteObject(fonts.choice);
}

void createDisplayFonts(HWND window, const Settings& settings, DisplayFonts& fonts) {
    deleteDisplayFonts(fonts);
    for (int c = 0; c < kStoredFontCount; ++c) {
        const FontSpec& font = settings.fonts[static_cast<std::size_t>(c)];
        fonts.text[static_cast<std::size_t>(c)] = createFontFromSpec(window, font);
        fonts.backgrounds[static_cast<std::size_t>(c)] = CreateSolidBrush(font.backColor);
    }
    fonts.info = createFontFromSpec(window, settings.fonts[InfoFont]);
    fonts.infoBackground = CreateSolidBrush(settings.fonts[InfoFont].backColor);
    fonts.choice = createFontFromSpec(window, choiceButtonFont(settings.fonts[AnswerFont]));
}

void applyDisplayFonts(HWND examView, const DisplayFonts& fonts) {
    if (!examView || !fonts.created()) return;
    const struct {
        int control;
        FontClass textClass;
    } assignments[] = {{IDC_TITLE, TitleFont},
                       {IDC_QUESTION, QuestionFont},
                       {IDC_ANSWER_EDIT, AnswerFont},
                       {IDC_GROUP, GroupFont},
                       {IDC_HISTORY, GroupFont}};
    for (const auto& a : assignments)
        SendDlgItemMessageW(examView, a.control, WM_SETFONT,
                            reinterpret_cast<WPARAM>(fonts.text[static_cast<std::size_t>(a.textClass)]),
                            TRUE);
}

int textClassOfControl(int controlId) {
    switch (controlId) {
    case IDC_TITLE:
        return TitleFont;
    case IDC_QUESTION:
        return QuestionFont;
    case IDC_ANSWER_EDIT:
        return AnswerFont;
    case IDC_GROUP:
    case IDC_HISTORY:
        return GroupFont;
    case IDC_INFO_PANE:
        return InfoFont;
    default:
        return -1;
    }
}

} // namespace rekal::win
