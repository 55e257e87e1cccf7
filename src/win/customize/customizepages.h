#pragma once
// What one page of the customize sheet does; the sheet runs the protocol common to all of them.

#include "core/settings/settings.h"

#include <windows.h>

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <span>
#include <string_view>

namespace rekal::win {

// What a page's own control did.
enum class PageCommand { NotMine, Unchanged, Changed };

// What a page keeps beyond its controls (working copies): made by its setUp, freed with the sheet.
struct PageExtra {
    virtual ~PageExtra() = default;
};

struct CustomizePage {
    int index; // its place among the six pages (一般 0 ... 答え 5), remembered as the start page
    int templateId;
    int helpContext;
    void (*setUp)(HWND page, const Settings& settings); // once: number edits, lists, working copies
    void (*show)(HWND page, const Settings& from);      // the controls from a settings record
    std::string_view (*check)(HWND page);               // the warning of an invalid field, or empty
    void (*store)(HWND page, Settings& to);             // the controls into the settings
    void (*enable)(HWND page);                          // the enabling rules of the page
    // A notice of the page's own controls (may be null): its buttons, a list choice that is no edit,
    // an edit that keeps its text in a working copy. Not called while the program fills the page.
    PageCommand (*command)(HWND page, int id, int code);
    // Any other message (may be null): dropped files, the page going away. True when handled.
    bool (*message)(HWND page, UINT message, WPARAM wParam, LPARAM lParam);
};

// The pages in sheet order.
std::span<const CustomizePage> customizePages();
const CustomizePage& soundPage();
const CustomizePage& fontPage();

// The page's working copies (attached by its setUp).
void attachPageExtra(HWND page, std::unique_ptr<PageExtra> extra);
PageExtra* pageExtraOf(HWND page);
template <class Extra> Extra& pageExtra(HWND page) {
    return static_cast<Extra&>(*pageExtraOf(page));
}

// While it lives, the page's controls change without their notices counting as user edits.
class QuietFill {
  public:
    explicit QuietFill(HWND page);
    ~QuietFill();
    QuietFill(const QuietFill&) = delete;
    QuietFill& operator=(const QuietFill&) = delete;

  private:
    HWND page_;
    bool was_;
};

// Small control helpers shared by the pages.
bool isChecked(HWND page, int id);
void setChecked(HWND page, int id, bool on);
int numberOf(HWND page, int id);
void showNumber(HWND page, int id, int value);
void enableControls(HWND page, std::initializer_list<int> ids, bool on);
// A chosen or dropped file into a path edit as the CP932 name the settings will keep; a file that
// code page 932 cannot name is refused with a warning and the edit stays as it was.
void putChosenFile(HWND page, int editId, const std::optional<std::filesystem::path>& file);

// After new fonts were applied: the display fonts and brushes made again, and the exam view, the
// hint window and the list window that exist take them and are drawn again.
void restyleDisplay();

} // namespace rekal::win
