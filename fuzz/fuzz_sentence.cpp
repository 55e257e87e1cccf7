// Sentence texts on arbitrary bytes: the tag scan, attribute parsing, picture and media
// arithmetic, media paths and the wrapped layout with a fixed-width surface. No crash, no endless
// loop, and every line drawn lies inside the text, in order, without losing a byte that is not a
// line break.

#include "core/base/sjis.h"
#include "core/display/layout.h"
#include "core/display/markup.h"
#include "core/display/media.h"
#include "core/display/mediapath.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

using namespace rekal;

// Characters 7 pixels wide (14 for double-byte ones), lines 12 high; checks every drawn line.
class CheckingCanvas : public SentenceCanvas, public TextSurface {
  public:
    explicit CheckingCanvas(std::string_view text) : text_(text) {}

    int lineHeight() override { return 12; }
    bool doubleByteFont() override { return true; }
    int textWidth(std::string_view bytes) override {
        int width = 0;
        for (std::size_t i = 0; i < bytes.size(); i += isDoubleByteAt(bytes, i) ? 2 : 1)
            width += isDoubleByteAt(bytes, i) ? 14 : 7;
        return width;
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
        return wrapTextRun(*this, run, rect, measureOnly ? unsigned{WrapMeasureOnly} : 0u, 3);
    }
    std::optional<ContentSize> objectSize(int index) override {
        if (index % 3 == 2) return std::nullopt;
        return ContentSize{index * 37 % 500, index * 11 % 90};
    }
    void placeObject(int, int, int) override {}

  private:
    bool insideTag(std::size_t pos) const {
        for (auto tag = nextMediaTag(text_, 0); tag; tag = nextMediaTag(text_, tag->end))
            if (pos >= tag->begin && pos < tag->end) return true;
        return false;
    }

    std::string_view text_;
    std::size_t drawnUpTo_ = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const int width = data[0] * 3;
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);

    int tags = 0;
    for (auto tag = nextMediaTag(text, 0); tag; tag = nextMediaTag(text, tag->end)) {
        if (tag->end <= tag->begin || tag->end > text.size()) std::abort();
        ++tags;
        std::optional<std::filesystem::path> path =
            resolveMediaFile("D:\\drill\\sub\\q.rkf", tagPath(tag->parameters));
        if (path && path->native().size() > kMaxMediaPath) std::abort();
        PictureGeometry g = pictureGeometry(200, 100, parsePictureAttributes(tag->parameters));
        if (g.displayWidth < 0 || g.displayHeight < 0) std::abort();
        MediaPlay play;
        MediaFrame frame{{0, 0, 160, 120}, {0, 0, 160, 120}, false};
        applyMediaAttributes(parseMediaAttributes(tag->parameters), play, frame);
        for (int i = 0; i < 4; ++i)
            advanceMediaTimer(play, i % 2 == 0, 700);
    }
    if (tags != countMediaTags(text)) std::abort();
    if (clipboardText(text).size() != text.size()) std::abort();

    CheckingCanvas measuring(text);
    ContentSize measured = layoutSentence(measuring, text, {0, 0, width, 0}, true);
    if (measured.width < 0 || measured.height < 0) std::abort();
    CheckingCanvas drawing(text);
    layoutSentence(drawing, text, {0, 0, width, 100000}, false);
    drawing.skippedUpTo(text.size());
    return 0;
}
