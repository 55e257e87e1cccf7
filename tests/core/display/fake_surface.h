#pragma once
// A text surface with fixed character widths: 10 pixels per single-byte character, 20 per
// double-byte character, lines 16 pixels high. It records every measurement and every line drawn.

#include "core/base/sjis.h"
#include "core/display/wrap.h"

#include <string>
#include <vector>

namespace rekal::test {

class FakeSurface : public TextSurface {
  public:
    struct Line {
        int x, y;
        std::string text;
    };

    bool doubleByte = true;
    bool measuresOnce = false; // answers prefixWidths
    int prefixCalls = 0;
    int height = 16;
    std::vector<Line> lines;
    std::vector<std::string> measured;

    int lineHeight() override { return height; }
    bool doubleByteFont() override { return doubleByte; }
    int textWidth(std::string_view bytes) override {
        measured.emplace_back(bytes);
        int width = 0;
        for (std::size_t i = 0; i < bytes.size();) {
            bool two = doubleByte && isDoubleByteAt(bytes, i);
            width += two ? 20 : 10;
            i += two ? 2 : 1;
        }
        return width;
    }
    bool prefixWidths(std::string_view bytes, std::vector<int>& widths) override {
        if (!measuresOnce) return false;
        ++prefixCalls;
        widths.assign(bytes.size(), 0);
        int width = 0;
        for (std::size_t i = 0; i < bytes.size();) {
            const bool two = doubleByte && isDoubleByteAt(bytes, i);
            width += two ? 20 : 10;
            i += two ? 2 : 1;
            widths[i - 1] = width;
        }
        return true;
    }
    void drawText(int x, int y, std::string_view bytes) override {
        lines.push_back({x, y, std::string(bytes)});
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const Line& l : lines)
            out.push_back(l.text);
        return out;
    }
};

} // namespace rekal::test
