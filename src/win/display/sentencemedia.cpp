// The objects of a sentence's media tags: pictures loaded, cropped and scaled; sounds and videos in
// MCI windows, started and repeated by the media timer thread; and their release.

#include "win/display/sentence.h"

#include "core/base/messages.h"
#include "core/display/markup.h"
#include "core/display/mediapath.h"
#include "win/display/sentencelayout.h"
#include "win/base/wintext.h"
#include "win/image/picture.h"

#include <vfw.h>

#include <new>

namespace rekal::win {

namespace {

constexpr DWORD kMediaPollMs = 100;

bool hasExtension(const std::filesystem::path& path, std::wstring_view extension) {
    const std::wstring& name = path.native();
    if (name.size() < extension.size()) return false;
    for (std::size_t i = 0; i < extension.size(); ++i) {
        wchar_t c = name[name.size() - extension.size() + i];
        if (c >= L'a' && c <= L'z') c = static_cast<wchar_t>(c - L'a' + L'A');
        if (c != extension[i]) return false;
    }
    return true;
}

// The picture file as a bitmap compatible with the screen, or none for another type or a file
// that does not load.
HBITMAP loadPicture(HWND control, const std::filesystem::path& path, COLORREF background) {
    if (hasExtension(path, L".BMP")) return loadBmpFile(path);
    bool png = hasExtension(path, L".PNG");
    if (!png && !hasExtension(path, L".JPG")) return nullptr;
    HDC dc = GetDC(control);
    HBITMAP bitmap = png ? loadPngFile(dc, path, background) : loadJpegFile(dc, path);
    ReleaseDC(control, dc);
    return bitmap;
}

void createPicture(SentenceObject& object, HWND control, const std::optional<std::filesystem::path>& path,
                   std::string_view parameters, COLORREF background) {
    object.kind = SentenceObjectKind::Picture;
    if (path) object.bitmap = loadPicture(control, *path, background);
    BITMAP info{};
    if (!object.bitmap || !GetObjectW(object.bitmap, sizeof info, &info)) return; // a 2 x 2 band
    object.pictureWidth = info.bmWidth;
    object.pictureHeight = info.bmHeight;
    object.geometry = pictureGeometry(info.bmWidth, info.bmHeight, parsePictureAttributes(parameters));
}

DisplayRect displayRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT winRect(const DisplayRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void createMedia(SentenceObject& object, HWND control, const std::optional<std::filesystem::path>& path,
                 std::string_view parameters) {
    object.kind = SentenceObjectKind::Media;
    object.play = MediaPlay{};
    if (!path) return;
    // Without error boxes: a medium that cannot be opened or played says nothing, as a picture
    // that does not load, and no modal loop runs while a text is being set.
    HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(control, GWLP_HINSTANCE));
    object.window = MCIWndCreateW(control, instance,
                                  WS_CHILD | WS_VISIBLE | MCIWNDF_NOMENU | MCIWNDF_NOPLAYBAR |
                                      MCIWNDF_NOOPEN | MCIWNDF_NOERRORDLG,
                                  path->c_str());
    if (!object.window) return;
    LONG style = GetWindowLongW(object.window, GWL_STYLE);
    SetWindowLongW(object.window, GWL_STYLE, style & ~WS_BORDER);
    SetWindowPos(object.window, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);

    RECT source{}, destination{};
    MCIWndGetSource(object.window, &source);
    MCIWndGetDest(object.window, &destination);
    MediaFrame frame{displayRect(source), displayRect(destination), false};
    applyMediaAttributes(parseMediaAttributes(parameters), object.play, frame);
    source = winRect(frame.source);
    destination = winRect(frame.destination);
    MCIWndPutSource(object.window, &source);
    MCIWndPutDest(object.window, &destination);
    MCIWndChangeStyles(object.window, MCIWNDF_NOPLAYBAR, frame.showControl ? 0 : MCIWNDF_NOPLAYBAR);
}

DWORD WINAPI mediaTimerThread(void* parameter) {
    auto* timer = static_cast<MediaTimer*>(parameter);
    for (SentenceObject* object : timer->media)
        object->play.countdown = object->play.interval;
    DWORD previous = GetTickCount();
    while (timer->running.load()) {
        DWORD now = GetTickCount();
        for (SentenceObject* object : timer->media) {
            if (!object->window || object->play.autoplay == 0) continue;
            wchar_t modeName[32] = {};
            bool stopped = MCIWndGetMode(object->window, modeName, 32) == MCI_MODE_STOP;
            switch (advanceMediaTimer(object->play, stopped, now - previous)) {
            case MediaStep::Play:
                MCIWndPlay(object->window);
                break;
            case MediaStep::Disable:
                EnableWindow(object->window, FALSE);
                break;
            case MediaStep::Wait:
                break;
            }
        }
        previous = now;
        Sleep(kMediaPollMs);
    }
    return 0;
}

void startMediaTimer(SentenceState& state) {
    std::unique_ptr<MediaTimer> timer(new (std::nothrow) MediaTimer);
    if (!timer) return;
    for (const auto& object : state.objects) {
        if (object && object->kind == SentenceObjectKind::Media) timer->media.push_back(object.get());
    }
    timer->running = true;
    timer->thread = CreateThread(nullptr, 0, mediaTimerThread, timer.get(), 0, nullptr);
    if (timer->thread) state.timer = std::move(timer);
}

// Clears the run flag and waits for the thread to end, dispatching the messages of this thread
// meanwhile: the timer thread's requests to the media windows are carried out here.
void stopMediaTimer(MediaTimer& timer) {
    timer.running = false;
    bool quit = false;
    WPARAM quitCode = 0;
    while (WaitForSingleObject(timer.thread, 0) == WAIT_TIMEOUT) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                // Not ours to take: the message loop gets it back below.
                quit = true;
                quitCode = msg.wParam;
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            continue;
        }
        DWORD r = MsgWaitForMultipleObjects(1, &timer.thread, FALSE, kMediaPollMs, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0 || r == WAIT_FAILED) break;
    }
    CloseHandle(timer.thread);
    timer.thread = nullptr;
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

} // namespace

SentenceObject::~SentenceObject() {
    if (bitmap) DeleteObject(bitmap);
    if (window) SendMessageW(window, WM_CLOSE, 0, 0);
}

SentenceState::~SentenceState() {
    releaseSentenceObjects(*this);
}

void loadSentenceObjects(HWND control, std::optional<std::string_view> text, COLORREF background,
                         SentenceState& state) {
    // Built aside and put into the state at the end, so that nothing a window does while the
    // objects are created can pull the text from under the walk. The text is copied before the
    // release, whose message dispatching may free what it points into.
    std::string copy;
    std::vector<std::unique_ptr<SentenceObject>> objects;
    bool hasMedia = false;
    try {
        if (text) copy.assign(*text);
    } catch (const std::bad_alloc&) {
        releaseSentenceObjects(state);
        tellSentenceError(msg::kOutOfMemory);
        return;
    }
    // Objects of an earlier text are never dropped while its timer may still read them. A state
    // that holds a timer must belong to a control that outlives this call: the control's own text
    // goes through setSentenceText, which releases first.
    releaseSentenceObjects(state);
    if (!text) return;
    // Tag paths resolve against the question file as the user chose it.
    const std::filesystem::path questionFile = sentenceMediaBase();
    for (auto tag = nextMediaTag(copy, 0); tag; tag = nextMediaTag(copy, tag->end)) {
        std::unique_ptr<SentenceObject> object(new (std::nothrow) SentenceObject);
        bool stored = false;
        if (object) {
            try {
                objects.push_back(nullptr);
                stored = true;
            } catch (const std::bad_alloc&) {
            }
        }
        if (!stored) {
            tellSentenceError(msg::kOutOfMemory);
            break;
        }
        std::optional<std::filesystem::path> path = resolveMediaFile(questionFile, tagPath(tag->parameters));
        if (tag->kind == TagKind::Picture) {
            createPicture(*object, control, path, tag->parameters, background);
        } else {
            createMedia(*object, control, path, tag->parameters);
            hasMedia = true;
        }
        objects.back() = std::move(object);
    }
    releaseSentenceObjects(state);
    state.text = std::move(copy);
    state.objects = std::move(objects);
    state.hasMedia = hasMedia;
    if (hasMedia) startMediaTimer(state);
}

void releaseSentenceObjects(SentenceState& state) {
    // Everything is taken out of the state first: messages dispatched while the timer ends may set
    // a new text into the same state.
    std::unique_ptr<MediaTimer> timer = std::move(state.timer);
    std::vector<std::unique_ptr<SentenceObject>> objects = std::move(state.objects);
    state.objects.clear();
    state.text.reset();
    state.hasMedia = false;
    if (timer) stopMediaTimer(*timer);
    while (!objects.empty())
        objects.pop_back(); // last to first
}

} // namespace rekal::win
