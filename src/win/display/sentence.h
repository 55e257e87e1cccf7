#pragma once
// The sentence control "RekalWinSentence": shows a stored text with forced line breaks and inline
// pictures, sounds and videos, wrapped in its width, scrolled both ways, on the background colour
// its parent chooses, with a context menu that copies the text. The wheel scrolls it; so do the
// arrow, page, Home and End keys when it has the focus, which it takes when clicked only when it is
// a tab stop (so a question in the exam view never takes it from the answer). The same layout and painting
// serve texts drawn without a window of their own (choice buttons, alternative-answer items). It serves the
// program through a host of its own (SentenceHost) and reads nothing else of it.

#include "core/base/notifier.h"
#include "core/display/media.h"
#include "core/image/dib.h"
#include "core/settings/settings.h"

#include <windows.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal::win {

inline constexpr const wchar_t* kSentenceClass = L"RekalWinSentence";

// What the control takes from the program it serves: the file that the paths of media tags are
// relative to (the question file), the extra space between lines (96-dpi pixels) and where a
// failure is told. The program sets one host for every control at start-up; without one, paths
// are taken as they stand, lines get no extra space and failures are not told.
class SentenceHost {
  public:
    virtual ~SentenceHost() = default;
    virtual std::filesystem::path mediaBase() = 0;
    virtual int lineInterval() = 0;
    virtual Notifier* notifier() = 0;
};

void setSentenceHost(SentenceHost* host);

enum class SentenceObjectKind { Picture = 1, Media = 2 };

// A decoded picture, compatible with the screen, shared by every object of a display that shows the
// same file; the bitmap is deleted with the last of them.
struct SharedPicture {
    HBITMAP bitmap = nullptr;
    int width = 0, height = 0;

    SharedPicture(HBITMAP b, int w, int h) : bitmap(b), width(w), height(h) {}
    SharedPicture(const SharedPicture&) = delete;
    SharedPicture& operator=(const SharedPicture&) = delete;
    ~SharedPicture();
};

// What the texts of one display share while their objects are made: each picture file is decoded
// once (kept by path, last-write time and background, a bounded number of files), the pixels of the
// decoded pictures come from one budget, and the sound and video windows are capped. A text loaded
// without one gets its own.
class SentenceLoad {
  public:
    // False when the caller runs one media timer over all its texts (startMediaTimer).
    bool startsTimers = true;

    // The picture of the file on `background`, decoded on first use; none for a file that is
    // missing, refused, of another type or over the pixels left.
    std::shared_ptr<const SharedPicture> picture(HWND control, const std::filesystem::path& path,
                                                 COLORREF background);
    // Takes one of the media windows left; false when none is.
    bool takeMediaWindow();

  private:
    struct Decoded {
        std::filesystem::path path;
        FILETIME written{};
        COLORREF background = 0;
        std::shared_ptr<const SharedPicture> picture; // none: refused, kept so it is not read again
    };
    std::vector<Decoded> decoded_;
    PixelBudget budget_;
    int mediaWindowsLeft_ = kMaxMediaWindows;
};

// One object per media tag of the text, in tag order.
struct SentenceObject {
    SentenceObjectKind kind = SentenceObjectKind::Picture;

    // Picture: the decoded picture (none when the file could not be loaded; all sizes are then 0),
    // its own size, and the part drawn at what size.
    std::shared_ptr<const SharedPicture> picture;
    int pictureWidth = 0, pictureHeight = 0;
    PictureGeometry geometry;

    // Sound or video: the media window, a child of the control (none when it could not be
    // created), and its automatic play settings.
    HWND window = nullptr;
    MediaPlay play;

    SentenceObject() = default;
    SentenceObject(const SentenceObject&) = delete;
    SentenceObject& operator=(const SentenceObject&) = delete;
    // Closes the media window (the picture goes with its last user).
    ~SentenceObject();
};

// The media timer of one sentence: the thread that starts and repeats the sound and video objects,
// and the flag that keeps it running. The thread reads only this record and the objects listed in
// it, which live until it has ended.
struct MediaTimer {
    std::atomic<bool> running{false};
    HANDLE thread = nullptr;
    std::vector<SentenceObject*> media;
};

struct SentenceState {
    std::vector<std::unique_ptr<SentenceObject>> objects;
    HFONT font = nullptr;            // given with WM_SETFONT; not owned
    std::optional<std::string> text; // the current sentence text
    bool hasMedia = false;           // a sound or video object exists
    int naturalWidth = 0, naturalHeight = 0;
    int wheelCarried = 0, horizontalWheelCarried = 0; // parts of a wheel notch not scrolled yet
    std::unique_ptr<MediaTimer> timer;

    SentenceState() = default;
    SentenceState(const SentenceState&) = delete;
    SentenceState& operator=(const SentenceState&) = delete;
    ~SentenceState();
};

// The window procedure of the class; the class needs room for one pointer of window data.
LRESULT CALLBACK sentenceWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// The state of a sentence control, or none.
SentenceState* sentenceState(HWND control);

// A wheel message that reached `parent` from the control with the focus (an edit passes it on)
// scrolls the sentence control under the cursor instead; false when there is none there.
bool wheelToSentenceUnderCursor(HWND parent, UINT message, WPARAM wParam, LPARAM lParam);

// Shows a new text in the control `controlId` of `parent` (none clears it): scroll positions return
// to 0, the objects of the old text are released and those of the new one created on the
// background colour the parent chooses, the natural size is computed and the scroll layout
// recomputed.
void setSentenceText(HWND parent, int controlId, std::optional<std::string_view> text);

// The size the control needs to show its content in an area of at most width x height, including
// the scroll bars it would need; sets the control's scroll ranges for that area.
void measureSentence(HWND parent, int controlId, int& width, int& height);

// Lays the text out 32000 pixels wide and keeps the size in the state.
void computeNaturalSize(HWND window, SentenceState& state);

// Draws the content into rect; with a window the content is shifted by its scroll positions.
void paintSentence(HWND window, HDC dc, const RECT& rect, SentenceState& state);

// Flags of drawWrappedText: measure only (rect's right and bottom get the extent), no clipping.
enum : unsigned { DrawMeasureOnly = 1, DrawNoClip = 2 };

// One wrapped text run in the DC's current font, drawn with the W functions after conversion from
// code page 932; returns its height.
int drawWrappedText(HDC dc, std::string_view text, RECT& rect, unsigned flags, int lineInterval);

// A text-class font: the size in points at the screen's resolution, normal weight, proof quality,
// the font's character set and face.
HFONT createFontFromSpec(HWND window, const FontSpec& font);
// An interface font (captions, buttons): the same height rule and family, default quality.
HFONT createInterfaceFont(HWND window, int points, int weight, bool underline, int charSet,
                          std::string_view face);

// Creates the objects for the tags of `text` (copied into the state) and starts the media timer
// when a sound or video object was made (unless `load` says its caller runs one). Media windows
// become children of `control`. Texts shown together share `load`.
void loadSentenceObjects(HWND control, std::optional<std::string_view> text, COLORREF background,
                         SentenceState& state, SentenceLoad* load = nullptr);
// Stops the media timer (dispatching messages while it ends), frees the text and every object.
void releaseSentenceObjects(SentenceState& state);

// One media timer over the sound and video objects of several states (the texts of a list loaded
// with startsTimers off); none when they have none. It must be stopped before any of them is
// released or loaded again.
std::unique_ptr<MediaTimer> startMediaTimer(const std::vector<SentenceState*>& states);
// Clears the timer's run flag and waits for its thread, dispatching messages meanwhile.
void stopMediaTimer(std::unique_ptr<MediaTimer> timer);

} // namespace rekal::win
