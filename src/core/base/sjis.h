#pragma once
// Shift-JIS (code page 932) byte classes. A lead byte followed by a trail byte is one double-byte
// character whose second byte is never a delimiter.

#include <cstddef>
#include <string_view>

namespace rekal {

constexpr bool isLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
constexpr bool isTrailByte(unsigned char c) {
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC);
}

// True when text[i] and text[i + 1] form one double-byte character.
constexpr bool isDoubleByteAt(std::string_view text, std::size_t i) {
    return i + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[i])) &&
           isTrailByte(static_cast<unsigned char>(text[i + 1]));
}

} // namespace rekal
