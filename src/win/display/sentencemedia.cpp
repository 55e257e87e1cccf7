// The objects of a sentence's media tags: pictures loaded, cropped and scaled; sounds and videos in
// MCI windows, started and repeated by the media timer thread; and their release.

#include "win/display/sentence.h"

#include "core/base/messages.h"
#include "core/display/markup.h"
#include "core/display/mediapath.h"
#include "core/image/bmp.h"
#include "core/image/jpeg.h"
#include "core/image/png.h"
#include "win/display/sentencelayout.h"
#include "win/base/wintext.h"
#include "win/image/picture.h"

#include <vfw.h>

#include <cstdlib>
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

// How many picture files one display keeps decoded; a display naming more decodes the rest for each
// tag (still within the pixel budget).
constexpr std::size_t kMaxDecodedFiles = 32;

// A drive letter of another drive than the book's that leads to another computer.
bool remoteDriveOfAnotherBook(const std::filesystem::path& path, const std::filesystem::path& book) {
    const std::wstring drive = path.root_name().native();
    if (drive.size() != 2 || drive[1] != L':') return false;
    if (CompareStringOrdinal(drive.c_str(), 2, book.root_name().c_str(), -1, TRUE) == CSTR_EQUAL)
        return false;
    return GetDriveTypeW((drive + L"\\").c_str()) == DRIVE_REMOTE;
}

// True when the path opens as a plain disk file (never a device, a pipe or a console), with its
// last-write time.
bool plainDiskFile(const std::filesystem::path& path, FILETIME& written) {
    HANDLE file =
        CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const bool disk = GetFileType(file) == FILE_TYPE_DISK && GetFileTime(file, nullptr, nullptr, &written);
    CloseHandle(file);
    return disk;
}

// The picture file as a bitmap compatible with the screen, its pixels taken from the budget before
// the bitmap is made; none for another type, a file that does not load or pixels over the budget.
// A BMP's header is read first: the platform's loader allocates whatever it claims.
std::shared_ptr<const SharedPicture> decodePicture(HWND control, const std::filesystem::path& path,
                                                   COLORREF background, PixelBudget& budget) {
    HBITMAP bitmap = nullptr;
    if (hasExtension(path, L".BMP")) {
        const std::optional<BmpInfo> header = readBmpFileHeader(path);
        if (!header || !header->withinCap() || !budget.take(header->width, header->height)) return nullptr;
        bitmap = loadBmpFile(path);
    } else {
        const bool png = hasExtension(path, L".PNG");
        if (!png && !hasExtension(path, L".JPG")) return nullptr;
        const std::optional<DibImage> image =
            png ? rekal::loadPngFile(path, background) : rekal::loadJpegFile(path);
        if (!image || !budget.take(static_cast<uint32_t>(image->header.width),
                                   static_cast<uint32_t>(std::abs(image->header.height))))
            return nullptr;
        HDC dc = GetDC(control);
        bitmap = createBitmapFromDib(dc, *image);
        ReleaseDC(control, dc);
    }
    BITMAP info{};
    if (!bitmap || !GetObjectW(bitmap, sizeof info, &info)) {
        if (bitmap) DeleteObject(bitmap);
        return nullptr;
    }
    std::shared_ptr<const SharedPicture> picture(new (std::nothrow)
                                                     SharedPicture(bitmap, info.bmWidth, info.bmHeight));
    if (!picture) DeleteObject(bitmap);
    return picture;
}

void createPicture(SentenceObject& object, HWND control, const std::optional<std::filesystem::path>& path,
                   std::string_view parameters, COLORREF background, SentenceLoad& load) {
    object.kind = SentenceObjectKind::Picture;
    if (path) object.picture = load.picture(control, *path, background);
    if (!object.picture) return; // a 2 x 2 band
    object.pictureWidth = object.picture->width;
    object.pictureHeight = object.picture->height;
    object.geometry =
        pictureGeometry(object.pictureWidth, object.pictureHeight, parsePictureAttributes(parameters));
}

DisplayRect displayRect(const RECT& r) {
    return {r.left, r.top, r.right, r.bottom};
}
RECT winRect(const DisplayRect& r) {
    return {r.left, r.top, r.right, r.bottom};
}

void createMedia(SentenceObject& object, HWND control, const std::optional<std::filesystem::path>& path,
                 std::string_view parameters, SentenceLoad& load) {
    object.kind = SentenceObjectKind::Media;
    object.play = MediaPlay{};
    FILETIME written{};
    if (!path || !plainDiskFile(*path, written) || !load.takeMediaWindow()) return;
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

// Clears the run flag and waits for the thread to end, dispatching the messages of this thread
// meanwhile: the timer thread's requests to the media windows are carried out here.
void waitForMediaTimer(MediaTimer& timer) {
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

SharedPicture::~SharedPicture() {
    if (bitmap) DeleteObject(bitmap);
}

std::shared_ptr<const SharedPicture> SentenceLoad::picture(HWND control, const std::filesystem::path& path,
                                                           COLORREF background) {
    FILETIME written{};
    if (!plainDiskFile(path, written)) return nullptr;
    for (const Decoded& d : decoded_) {
        if (d.background == background && CompareFileTime(&d.written, &written) == 0 && d.path == path)
            return d.picture;
    }
    std::shared_ptr<const SharedPicture> picture = decodePicture(control, path, background, budget_);
    if (decoded_.size() < kMaxDecodedFiles) {
        try {
            decoded_.push_back({path, written, background, picture});
        } catch (const std::bad_alloc&) {
        }
    }
    return picture;
}

bool SentenceLoad::takeMediaWindow() {
    if (mediaWindowsLeft_ <= 0) return false;
    --mediaWindowsLeft_;
    return true;
}

std::unique_ptr<MediaTimer> startMediaTimer(const std::vector<SentenceState*>& states) {
    std::unique_ptr<MediaTimer> timer(new (std::nothrow) MediaTimer);
    if (!timer) return nullptr;
    try {
        for (SentenceState* state : states) {
            for (const auto& object : state->objects) {
                if (object && object->kind == SentenceObjectKind::Media && object->window)
                    timer->media.push_back(object.get());
            }
        }
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    if (timer->media.empty()) return nullptr;
    timer->running = true;
    timer->thread = CreateThread(nullptr, 0, mediaTimerThread, timer.get(), 0, nullptr);
    if (!timer->thread) return nullptr;
    return timer;
}

void stopMediaTimer(std::unique_ptr<MediaTimer> timer) {
    if (timer) waitForMediaTimer(*timer);
}

SentenceObject::~SentenceObject() {
    if (window) SendMessageW(window, WM_CLOSE, 0, 0);
}

SentenceState::~SentenceState() {
    releaseSentenceObjects(*this);
}

void loadSentenceObjects(HWND control, std::optional<std::string_view> text, COLORREF background,
                         SentenceState& state, SentenceLoad* sharedLoad) {
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
    SentenceLoad ownLoad;
    SentenceLoad& load = sharedLoad ? *sharedLoad : ownLoad;
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
        if (path && remoteDriveOfAnotherBook(*path, questionFile)) path.reset();
        if (tag->kind == TagKind::Picture) {
            createPicture(*object, control, path, tag->parameters, background, load);
        } else {
            createMedia(*object, control, path, tag->parameters, load);
            hasMedia = true;
        }
        objects.back() = std::move(object);
    }
    releaseSentenceObjects(state);
    state.text = std::move(copy);
    state.objects = std::move(objects);
    state.hasMedia = hasMedia;
    if (hasMedia && load.startsTimers) state.timer = startMediaTimer({&state});
}

void releaseSentenceObjects(SentenceState& state) {
    // Everything is taken out of the state first: messages dispatched while the timer ends may set
    // a new text into the same state.
    std::unique_ptr<MediaTimer> timer = std::move(state.timer);
    std::vector<std::unique_ptr<SentenceObject>> objects = std::move(state.objects);
    state.objects.clear();
    state.text.reset();
    state.hasMedia = false;
    stopMediaTimer(std::move(timer));
    while (!objects.empty())
        objects.pop_back(); // last to first
}

} // namespace rekal::win
