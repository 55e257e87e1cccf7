#include "core/match/sjistext.h"

namespace rekal {

void removeChar(std::string& text, char c) {
    std::size_t out = 0;
    for (std::size_t i = 0; i < text.size();) {
        if (isDoubleByteAt(text, i)) {
            text[out++] = text[i++];
            text[out++] = text[i++];
        } else if (text[i] == c) {
            ++i;
        } else {
            text[out++] = text[i++];
        }
    }
    text.resize(out);
}

void replaceChar(std::string& text, char c, char d) {
    for (std::size_t i = 0; i < text.size();) {
        if (isDoubleByteAt(text, i)) {
            i += 2;
            continue;
        }
        if (text[i] == c) text[i] = d;
        ++i;
    }
}

} // namespace rekal
