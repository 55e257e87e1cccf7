#pragma once
// Small code page 932 text utilities shared by several subsystems. Double-byte characters are
// always handled as one unit.

#include "core/base/sjis.h"

#include <string>

namespace rekal {

// The double-byte test at p, in a zero-terminated text (the terminator is never a trail byte).
inline bool isDoubleByte(const char* p) {
    return isLeadByte(static_cast<unsigned char>(p[0])) && isTrailByte(static_cast<unsigned char>(p[1]));
}

// Removes every single-byte character c; double-byte characters stay whole.
void removeChar(std::string& text, char c);

// Replaces every single-byte character c by d; double-byte characters stay whole.
void replaceChar(std::string& text, char c, char d);

} // namespace rekal
