#pragma once
// What one page of the customize sheet does; the sheet runs the protocol common to all of them.

#include "core/settings/settings.h"

#include <windows.h>

#include <initializer_list>
#include <span>
#include <string_view>

namespace rekal::win {

// What a page's own button did.
enum class PageCommand { NotMine, Unchanged, Changed };

struct CustomizePage {
    int index; // its place among the six pages (一般 0 ... 答え 5), remembered as the start page
    int templateId;
    int helpContext;
    void (*setUp)(HWND page, const Settings& settings); // once: number edits, lists
    void (*show)(HWND page, const Settings& from);      // the controls from a settings record
    std::string_view (*check)(HWND page);               // the warning of an invalid field, or empty
    void (*store)(HWND page, Settings& to);             // the controls into the settings
    void (*enable)(HWND page);                          // the enabling rules of the page
    PageCommand (*command)(HWND page, int id);          // buttons of its own (may be null)
};

// The pages in sheet order.
std::span<const CustomizePage> customizePages();

// Small control helpers shared by the pages.
bool isChecked(HWND page, int id);
void setChecked(HWND page, int id, bool on);
int numberOf(HWND page, int id);
void showNumber(HWND page, int id, int value);
void enableControls(HWND page, std::initializer_list<int> ids, bool on);

} // namespace rekal::win
