#include "cli/json.h"

#include "core/base/textcode.h"

#include <cstdio>

namespace rekal::cli {

void appendJsonString(std::string& out, std::string_view cp932) {
    out += '"';
    for (const char c : cp932ToUtf8(cp932)) {
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (static_cast<unsigned char>(c) < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x",
                              static_cast<unsigned>(static_cast<unsigned char>(c)));
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
}

} // namespace rekal::cli
