// Measuring and drawing sentences with GDI: the wrapped text run, the layout canvas, painting,
// the natural size and fonts.

#include "win/display/sentence.h"

#include "core/base/sjis.h"
#include "core/display/font.h"
#include "core/display/layout.h"
#include "win/base/dpi.h"
#include "win/base/selectedfont.h"
#include "win/base/wintext.h"
#include "win/display/sentencelayout.h"

#include <climits>
#include <new>
#include <vector>

namespace rekal::win {

namespace {

// The text functions of a DC: CP932 bytes converted explicitly, measured and drawn with the W
// functions.
class GdiTextSurface : public TextSurface {
  public:
    explicit GdiTextSurface(HDC dc) : dc_(dc) {}

    int lineHeight() override {
        TEXTMETRICW metrics{};
        GetTextMetricsW(dc_, &metrics);
        return metrics.tmHeight;
    }
    bool doubleByteFont() override {
        LOGFONTW font{};
        if (!GetObjectW(GetCurrentObject(dc_, OBJ_FONT), sizeof font, &font)) return true;
        return font.lfCharSet == SHIFTJIS_CHARSET || font.lfCharSet == DEFAULT_CHARSET;
    }
    int textWidth(std::string_view bytes) override {
        std::wstring wide = toWide(bytes);
        SIZE size{};
        GetTextExtentPoint32W(dc_, wide.c_str(), static_cast<int>(wide.size()), &size);
        return size.cx;
    }
    void drawText(int x, int y, std::string_view bytes) override {
        std::wstring wide = toWide(bytes);
        TextOutW(dc_, x, y, wide.c_str(), static_cast<int>(wide.size()));
    }
    // One extent call for the whole run. The run is converted character by character so that each
    // byte knows the UTF-16 units its character became, whatever the conversion makes of a byte
    // pair that is not a character.
    bool prefixWidths(std::string_view bytes, std::vector<int>& widths) override {
        if (bytes.empty() || bytes.size() > static_cast<std::size_t>(INT_MAX)) return false;
        std::wstring wide;
        std::vector<std::size_t> unitsThrough; // units of the characters up to and including byte i
        try {
            wide.reserve(bytes.size() + 1);
            unitsThrough.resize(bytes.size());
            widths.resize(bytes.size());
        } catch (const std::bad_alloc&) {
            return false;
        }
        for (std::size_t i = 0; i < bytes.size();) {
            const std::size_t length = isDoubleByteAt(bytes, i) ? 2 : 1;
            wide += toWide(bytes.substr(i, length));
            for (std::size_t k = i; k < i + length; ++k)
                unitsThrough[k] = wide.size();
            i += length;
        }
        std::vector<int> extents;
        try {
            extents.resize(wide.size());
        } catch (const std::bad_alloc&) {
            return false;
        }
        SIZE total{};
        if (!wide.empty() && !GetTextExtentExPointW(dc_, wide.c_str(), static_cast<int>(wide.size()), 0,
                                                    nullptr, extents.data(), &total))
            return false;
        for (std::size_t i = 0; i < bytes.size(); ++i)
            widths[i] = unitsThrough[i] == 0 ? 0 : extents[unitsThrough[i] - 1];
        return true;
    }

  private:
    HDC dc_;
};

// Lays a sentence out on a DC with its objects: pictures stretched with half-tone, media windows
// moved to their bands. Picture sizes and the line interval are 96-dpi numbers, scaled by the dpi
// of what the DC paints.
class GdiSentenceCanvas : public SentenceCanvas {
  public:
    GdiSentenceCanvas(HDC dc, SentenceState& state, int lineInterval)
        : dc_(dc), state_(state), dpi_(dcDpi(dc)), lineInterval_(scaleForDpi(lineInterval, dpi_)) {}

    int textRun(std::string_view run, DisplayRect& rect, bool measureOnly) override {
        RECT r{rect.left, rect.top, rect.right, rect.bottom};
        int height =
            drawWrappedText(dc_, run, r, measureOnly ? unsigned{DrawMeasureOnly} : 0u, lineInterval_);
        rect = {r.left, r.top, r.right, r.bottom};
        return height;
    }

    std::optional<ContentSize> objectSize(int index) override {
        const SentenceObject* object = objectAt(index);
        if (!object) return std::nullopt;
        if (object->kind == SentenceObjectKind::Picture) return bandSize(object->geometry);
        if (!object->window) return std::nullopt;
        RECT r{};
        GetWindowRect(object->window, &r);
        return ContentSize{r.right - r.left, r.bottom - r.top};
    }

    void placeObject(int index, int x, int y) override {
        if (measuring_) return;
        const SentenceObject* object = objectAt(index);
        if (!object) return;
        if (object->kind == SentenceObjectKind::Picture)
            drawPicture(*object, x, y);
        else
            moveMediaWindow(object->window, x, y);
    }

    void setMeasuring(bool measuring) { measuring_ = measuring; }

  private:
    const SentenceObject* objectAt(int index) const {
        if (index < 0 || static_cast<std::size_t>(index) >= state_.objects.size()) return nullptr;
        return state_.objects[static_cast<std::size_t>(index)].get();
    }

    // A picture's display size at the DC's dpi, held within what the drawing calls take.
    ContentSize bandSize(const PictureGeometry& g) const {
        return {clampExtent(scaleForDpi(g.displayWidth, dpi_)),
                clampExtent(scaleForDpi(g.displayHeight, dpi_))};
    }

    void drawPicture(const SentenceObject& picture, int x, int y) {
        const PictureGeometry& g = picture.geometry;
        if (!picture.picture || !g.sourceInside(picture.pictureWidth, picture.pictureHeight)) return;
        HDC memory = CreateCompatibleDC(dc_);
        if (!memory) return;
        const ContentSize band = bandSize(g);
        HGDIOBJ old = SelectObject(memory, picture.picture->bitmap);
        int oldMode = SetStretchBltMode(dc_, HALFTONE);
        POINT oldOrigin{};
        SetBrushOrgEx(dc_, 0, 0, &oldOrigin);
        StretchBlt(dc_, x, y, band.width, band.height, memory, g.sourceLeft, g.sourceTop, g.sourceWidth,
                   g.sourceHeight, SRCCOPY);
        SetBrushOrgEx(dc_, oldOrigin.x, oldOrigin.y, nullptr);
        SetStretchBltMode(dc_, oldMode);
        SelectObject(memory, old);
        DeleteDC(memory);
    }

    // Moves a media window to (x, y) in its parent's client area, keeping its size. A window that
    // is already there is left alone, so that painting does not make more painting.
    static void moveMediaWindow(HWND window, int x, int y) {
        if (!window) return;
        RECT r{};
        GetWindowRect(window, &r);
        MapWindowPoints(HWND_DESKTOP, GetParent(window), reinterpret_cast<POINT*>(&r), 2);
        if (r.left == x && r.top == y) return;
        SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }

    HDC dc_;
    SentenceState& state_;
    int dpi_;
    int lineInterval_;
    bool measuring_ = true;
};

} // namespace

int drawWrappedText(HDC dc, std::string_view text, RECT& rect, unsigned flags, int interval) {
    const bool measureOnly = (flags & DrawMeasureOnly) != 0;
    const bool clip = !measureOnly && (flags & DrawNoClip) == 0;
    HRGN saved = nullptr;
    if (clip) {
        // Keep the caller's clipping region to put it back afterwards (none when it has none).
        saved = CreateRectRgn(0, 0, 0, 0);
        if (saved && GetClipRgn(dc, saved) != 1) {
            DeleteObject(saved);
            saved = nullptr;
        }
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    GdiTextSurface surface(dc);
    DisplayRect r{rect.left, rect.top, rect.right, rect.bottom};
    int height = wrapTextRun(surface, text, r, measureOnly ? unsigned{WrapMeasureOnly} : 0u, interval);
    if (measureOnly) {
        rect.right = r.right;
        rect.bottom = r.bottom;
    }
    if (clip) {
        SelectClipRgn(dc, saved);
        if (saved) DeleteObject(saved);
    }
    return height;
}

ContentSize layoutSentenceOnDc(HDC dc, SentenceState& state, const RECT& rect, bool measureOnly) {
    if (!state.text) return {};
    SelectedFont font(dc, state.font);
    GdiSentenceCanvas canvas(dc, state, sentenceLineInterval());
    canvas.setMeasuring(measureOnly);
    return layoutSentence(canvas, *state.text, {rect.left, rect.top, rect.right, rect.bottom}, measureOnly);
}

ContentSize measureSentenceContent(HWND window, SentenceState& state, const RECT& area) {
    HDC dc = GetDC(window);
    ContentSize size = layoutSentenceOnDc(dc, state, area, true);
    ReleaseDC(window, dc);
    return size;
}

void computeNaturalSize(HWND window, SentenceState& state) {
    ContentSize size = measureSentenceContent(window, state, RECT{0, 0, 32000, 32000});
    state.naturalWidth = size.width;
    state.naturalHeight = size.height;
}

void paintSentence(HWND window, HDC dc, const RECT& rect, SentenceState& state) {
    RECT r = rect;
    if (window) {
        // Shifted by the scroll positions; runs stay clipped at the bottom of the area itself.
        int dx = GetScrollPos(window, SB_HORZ);
        int dy = GetScrollPos(window, SB_VERT);
        OffsetRect(&r, -dx, -dy);
        r.bottom = rect.bottom;
    }
    int oldMode = SetBkMode(dc, TRANSPARENT);
    layoutSentenceOnDc(dc, state, r, false);
    SetBkMode(dc, oldMode);
}

HFONT createFontFromSpec(HWND window, const FontSpec& font) {
    return CreateFontW(fontHeightForPoints(font.size, windowDpi(window)), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                       FALSE, static_cast<BYTE>(font.charSet), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                       PROOF_QUALITY, FF_MODERN | DEFAULT_PITCH, toWide(font.face).c_str());
}

HFONT createInterfaceFont(HWND window, int points, int weight, bool underline, int charSet,
                          std::string_view face) {
    return CreateFontW(fontHeightForPoints(points, windowDpi(window)), 0, 0, 0, weight, FALSE,
                       underline ? TRUE : FALSE, FALSE, static_cast<BYTE>(charSet), OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_MODERN | DEFAULT_PITCH, toWide(face).c_str());
}

} // namespace rekal::win
