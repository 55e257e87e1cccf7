#pragma once
// Question files of any size for the benchmarks: titles every 40 questions, questions with hints,
// answers with choice groups, wrong choices, comments and histories, as real drill files hold them
// (code page 932 literals).

#include "core/data/reader.h"
#include "core/settings/settings.h"

#include <string>

namespace rekal::bench {

// Settings whose fonts name the Shift-JIS character set, as a Japanese system's defaults do.
inline Settings bookSettings(Settings settings = {}) {
    for (FontSpec& font : settings.fonts)
        font.charSet = kCharSetShiftJis;
    return settings;
}

inline std::string makeBookText(int questions) {
    std::string text = "REKALDATA V1.6\r\n$Group=全般,地理,歴史,理科\r\n";
    text.reserve(static_cast<std::size_t>(questions) * 120);
    for (int i = 0; i < questions; ++i) {
        const std::string n = std::to_string(i);
        if (i % 40 == 0) text += "#第" + n + "章 地理と歴史,011100'章の説明 " + n + "\r\n";
        text += "問題" + n + "：日本一高い山は？\\h静岡県にある\\h標高3776m,富士(山|さん)" + n +
                "\\c北岳|穂高岳,";
        text += static_cast<char>('<' + i % 32);
        text += static_cast<char>('0' + i % 4);
        text += "0'静岡県と山梨県の境\\nにある";
        if (i % 7 == 0) text += "\\i\"fuji" + n + ".bmp\"";
        text += "\r\n";
    }
    return text;
}

} // namespace rekal::bench
