// Sentence texts on arbitrary bytes: the tag scan, attribute parsing, picture and media
// arithmetic, media paths and the wrapped layout with a fixed-width surface, measured piece by
// piece or once per run. Band sizes come from the tags' own attributes and the rectangle and line
// interval may sit at the ends of the int range, so extreme sizes reach the layout. No crash, no
// overflow, no endless loop, and every line drawn lies inside the text, in order, without losing a
// byte that is not a line break.

#include "core/base/sjis.h"
#include "core/display/layout.h"
#include "core/display/markup.h"
#include "core/display/media.h"
#include "core/display/mediapath.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace rekal;

// Characters 7 pixels wide (14 for double-byte ones), lines 12 high; checks every drawn line.
class CheckingCanvas : public SentenceCanvas, public TextSurface {
  public:
    CheckingCanvas(std::string_view text, const std::vector<ContentSize>& bands, bool measureOnce,
                   int interval)
        : text_(text), bands_(bands), measureOnce_(measureOnce), interval_(interval) {}

    int lineHeight() override { return 12; }
    bool doubleByteFont() override { return true; }
    int textWidth(std::string_view bytes) override {
        int width = 0;
        for (std::size_t i = 0; i < bytes.size(); i += isDoubleByteAt(bytes, i) ? 2 : 1)
            width += isDoubleByteAt(bytes, i) ? 14 : 7;
        return width;
    }
    bool prefixWidths(std::string_view bytes, std::vector<int>& widths) override {
        if (!measureOnce_) return false;
        widths.assign(bytes.size(), 0);
        int width = 0;
        for (std::size_t i = 0; i < bytes.size();) {
            const bool two = isDoubleByteAt(bytes, i);
            width += two ? 14 : 7;
            i += two ? 2 : 1;
            widths[i - 1] = width;
        }
        return true;
    }
    void drawText(int, int, std::string_view bytes) override {
        const char* begin = text_.data();
        if (bytes.data() < begin + drawnUpTo_ || bytes.data() + bytes.size() > begin + text_.size())
            std::abort();
        skippedUpTo(static_cast<std::size_t>(bytes.data() - begin));
        drawnUpTo_ = static_cast<std::size_t>(bytes.data() + bytes.size() - begin);
    }

    // Only line-break bytes and whole tags may lie between the lines drawn and after the last one.
    void skippedUpTo(std::size_t end) const {
        for (std::size_t p = drawnUpTo_; p < end; ++p) {
            if (text_[p] != '\r' && text_[p] != '\n' && !insideTag(p)) std::abort();
        }
    }

    int textRun(std::string_view run, DisplayRect& rect, bool measureOnly) override {
        return wrapTextRun(*this, run, rect, measureOnly ? unsigned{WrapMeasureOnly} : 0u, interval_);
    }
    std::optional<ContentSize> objectSize(int index) override {
        if (index % 3 == 2 || static_cast<std::size_t>(index) >= bands_.size()) return std::nullopt;
        return bands_[static_cast<std::size_t>(index)];
    }
    void placeObject(int, int, int) override {}

  private:
    bool insideTag(std::size_t pos) const {
        for (auto tag = nextMediaTag(text_, 0); tag; tag = nextMediaTag(text_, tag->end))
            if (pos >= tag->begin && pos < tag->end) return true;
        return false;
    }

    std::string_view text_;
    const std::vector<ContentSize>& bands_;
    bool measureOnce_;
    int interval_;
    std::size_t drawnUpTo_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 3) return 0;
    // First byte: the width (its top values the ends of the int range); second: where the
    // rectangle starts, the line interval and how runs are measured.
    const int width = data[0] >= 250 ? INT_MAX - (255 - data[0]) : data[0] * 3;
    const unsigned mode = data[1];
    const int origin = (mode & 3) == 0   ? 0
                       : (mode & 3) == 1 ? INT_MAX - 40
                       : (mode & 3) == 2 ? INT_MIN
                                         : -1000;
    const int interval = (mode & 4) ? INT_MAX : (mode & 8) ? INT_MIN : 3;
    const bool measureOnce = (mode & 16) != 0;
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    int tags = 0;
    std::vector<ContentSize> bands;
    for (auto tag = nextMediaTag(text, 0); tag; tag = nextMediaTag(text, tag->end)) {
        if (tag->end <= tag->begin || tag->end > text.size()) std::abort();
        ++tags;
        for (const char* book : {"D:\\drill\\sub\\q.rkf", "\\\\srv\\sh\\q.rkf"}) {
            const MediaFile file = checkMediaFile(book, tagPath(tag->parameters));
            if (file.path.native().size() > kMaxMediaPath) std::abort();
            // Nothing reached from a book may lie on another computer.
            const auto& p = file.path.native();
            if (file.status == MediaPathStatus::Ok && p.size() > 2 && (p[0] == '\\' || p[0] == '/') &&
                (p[1] == '\\' || p[1] == '/') && p.compare(0, 8, "\\\\srv\\sh") != 0)
                std::abort();
        }
        PictureGeometry g = pictureGeometry(200, 100, parsePictureAttributes(tag->parameters));
        if (g.displayWidth < 0 || g.displayHeight < 0 || g.displayWidth > kMaxDisplayExtent ||
            g.displayHeight > kMaxDisplayExtent)
            std::abort();
        MediaPlay play;
        MediaFrame frame{{0, 0, 160, 120}, {0, 0, 160, 120}, false};
        applyMediaAttributes(parseMediaAttributes(tag->parameters), play, frame);
        for (int i = 0; i < 4; ++i)
            advanceMediaTimer(play, i % 2 == 0, 700);
        // Odd tags give their band as the attributes say, unclamped; the layout must hold them.
        const PictureAttributes a = parsePictureAttributes(tag->parameters);
        if (tags % 2 && a.width && a.height)
            bands.push_back({a.width->value, a.height->value});
        else
            bands.push_back({g.displayWidth, g.displayHeight});
    }
    if (tags != countMediaTags(text)) std::abort();
    if (clipboardText(text).size() != text.size()) std::abort();

    const DisplayRect area{origin, origin, addClamped(origin, width), origin};
    CheckingCanvas measuring(text, bands, measureOnce, interval);
    ContentSize measured = layoutSentence(measuring, text, area, true);
    if (measured.width < 0 || measured.height < 0) std::abort();
    CheckingCanvas drawing(text, bands, measureOnce, interval);
    layoutSentence(drawing, text, {area.left, area.top, area.right, addClamped(origin, 100000)}, false);
    drawing.skippedUpTo(text.size());
    return 0;
}
