#include "core/settings/settings.h"

#include "core/base/fileio.h"
#include "core/base/sjis.h"

#include <cstdio>
#include <optional>

namespace rekal {

namespace {

constexpr const char* kDefaultFace = "ＭＳ Ｐゴシック";
constexpr const char* kDefaultFixedFace = "ＭＳ ゴシック";
constexpr int kShiftJisCharSet = 128;

// The class names that prefix the font keys, in the order they are written.
constexpr const char* kFontKeyNames[kStoredFontCount] = {"Title",  "Question", "Hint",
                                                         "Answer", "Group",    "Comment"};

struct OptionKey {
    const char* key;
    OptionBit bit;
};
// The option bits in the order they are written.
constexpr OptionKey kOptionKeys[] = {
    {"ToolBar", ToolBar},
    {"StatusBar", StatusBar},
    {"Group", Group},
    {"InfoPain", InfoPain},
    {"ToolHint", ToolHint},
    {"Sound", Sound},
    {"SaveExamLog", SaveExamLog},
    {"LoadLastFile", LoadLastFile},
    {"NoAlready", NoAlready},
    {"Retry", Retry},
    {"RetryRandom", RetryRandom},
    {"ExamLogSort", ExamLogSort},
    {"AnsDlgNoClickWrong", AnsDlgNoClickWrong},
};

FontSpec makeFont(int size, Color color, Color back, const char* face) {
    return FontSpec{size, kShiftJisCharSet, color, back, face};
}

// Settings text split into its lines (line ends already turned into 0x01).
class SettingsText {
  public:
    explicit SettingsText(std::string text) : text_(std::move(text)) { normaliseLineEnds(text_); }

    // The value of the first line that starts with key followed by '='.
    std::optional<std::string_view> find(std::string_view key) const {
        std::string_view all(text_);
        std::size_t start = 0;
        while (start < all.size()) {
            std::size_t end = all.find('\x01', start);
            if (end == std::string_view::npos) end = all.size();
            std::string_view line = all.substr(start, end - start);
            if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '=')
                return line.substr(key.size() + 1);
            start = end + 1;
        }
        return std::nullopt;
    }

  private:
    std::string text_;
};

// Optional leading spaces and sign, then decimal digits, or hexadecimal digits after 0x; the
// value wraps to 32 bits. None when no digit follows.
std::optional<std::int32_t> parseNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
    std::uint32_t value = 0;
    bool any = false;
    if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        for (i += 2; i < s.size(); ++i) {
            char c = s[i];
            int d = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                           : -1;
            if (d < 0) break;
            value = value * 16 + static_cast<std::uint32_t>(d);
            any = true;
        }
    } else {
        for (; i < s.size() && s[i] >= '0' && s[i] <= '9'; ++i) {
            value = value * 10 + static_cast<std::uint32_t>(s[i] - '0');
            any = true;
        }
    }
    if (!any) return std::nullopt;
    if (negative) value = 0u - value;
    return static_cast<std::int32_t>(value);
}

class Reader {
  public:
    explicit Reader(const SettingsText& text) : text_(text) {}

    std::optional<std::int32_t> number(const char* key) const {
        auto value = text_.find(key);
        return value ? parseNumber(*value) : std::nullopt;
    }
    template <typename T> void any(const char* key, T& field) const {
        if (auto n = number(key)) field = static_cast<T>(*n);
    }
    template <typename T> void ranged(const char* key, T& field, int low, int high) const {
        if (auto n = number(key); n && *n >= low && *n <= high) field = static_cast<T>(*n);
    }
    void lowByte(const char* key, std::uint8_t& field) const {
        if (auto n = number(key)) field = static_cast<std::uint8_t>(*n & 0xFF);
    }
    void exactlyOne(const char* key, bool& field) const {
        if (auto n = number(key)) field = *n == 1;
    }
    void text(const char* key, std::string& field, std::size_t maxBytes) const {
        if (auto value = text_.find(key))
            field = std::string(value->substr(0, std::min(value->size(), maxBytes)));
    }
    template <std::size_t N> void list(const char* key, std::array<int, N>& field) const {
        auto value = text_.find(key);
        if (!value) return;
        std::string_view rest = *value;
        for (std::size_t i = 0; i < N; ++i) {
            std::size_t comma = rest.find(',');
            auto n = parseNumber(rest.substr(0, comma));
            if (!n) return;
            field[i] = *n;
            if (comma == std::string_view::npos) return;
            rest.remove_prefix(comma + 1);
        }
    }
    std::optional<std::string_view> raw(const std::string& key) const { return text_.find(key); }

  private:
    const SettingsText& text_;
};

void readRect(const Reader& r, const char* prefix, WindowRect& rect) {
    std::string p(prefix);
    r.any((p + "Left").c_str(), rect.left);
    r.any((p + "Top").c_str(), rect.top);
    r.any((p + "Width").c_str(), rect.width);
    r.any((p + "Height").c_str(), rect.height);
}

class Writer {
  public:
    void line(std::string_view text) {
        out_ += text;
        out_ += "\r\n";
    }
    void number(std::string_view key, long long value) {
        line(std::string(key) + "=" + std::to_string(value));
    }
    void text(std::string_view key, std::string_view value) {
        line(std::string(key) + "=" + std::string(value));
    }
    void color(std::string_view key, Color value) {
        char buffer[16];
        std::snprintf(buffer, sizeof buffer, "=0x%06X", static_cast<unsigned>(value));
        line(std::string(key) + buffer);
    }
    template <std::size_t N> void list(std::string_view key, const std::array<int, N>& values) {
        std::string s(key);
        s += '=';
        for (std::size_t i = 0; i < N; ++i) {
            if (i) s += ',';
            s += std::to_string(values[i]);
        }
        line(s);
    }
    void rect(const char* prefix, const WindowRect& r) {
        std::string p(prefix);
        number(p + "Left", r.left);
        number(p + "Top", r.top);
        number(p + "Width", r.width);
        number(p + "Height", r.height);
    }
    std::string take() { return std::move(out_); }

  private:
    std::string out_;
};

unsigned char asciiUpper(unsigned char c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

} // namespace

bool isBareSoundName(std::string_view file) {
    if (file.empty()) return false;
    for (std::size_t i = 0; i < file.size(); ++i) {
        if (isDoubleByteAt(file, i)) {
            ++i; // a trail byte is never a separator
            continue;
        }
        if (file[i] == '\\' || file[i] == '/' || file[i] == ':') return false;
    }
    return true;
}

std::filesystem::path soundEffectPath(const std::filesystem::path& programDir, std::string_view file) {
    if (!isBareSoundName(file) || programDir.empty()) return nativePath(file);
    return programDir / nativePath(file);
}

Settings defaultSettings(const SettingsInputs& in) {
    Settings s;
    s.mainRect = {kDefaultPosition, kDefaultPosition, 460, 360};
    s.listRect = {kDefaultPosition, kDefaultPosition, 400, 300};
    s.hintRect = {kDefaultPosition, kDefaultPosition, 200, 260};
    s.detailRect = {kDefaultPosition, kDefaultPosition, 350, 300};
    s.graphRect = {kDefaultPosition, kDefaultPosition, 640, 440};
    s.infoPainWidth = 120;
    s.listAnswerTop = 146;
    s.listCommentTop = 194;
    s.recentFileMax = 5;
    s.compareMode = 0;
    s.options = ToolBar | StatusBar | Group | ToolHint | InfoPain | Sound | SaveExamLog | LoadLastFile |
                Retry | RetryRandom | ExamLogSort;
    s.useData = 7;
    s.answerMode = 0;
    s.selectFrom = 3;
    s.answerView = 1;
    s.defaultSelection = 4;
    s.lineSelection = 4;
    s.selectionHeight = 1;
    s.selectionAlign = 3;
    s.initialExamCount = 10;
    s.weakPointStrength = 8;
    s.lineInterval = 8;
    s.timeLimit = 0;
    s.questionShowTime = 0;
    s.answerStartTime = 0;
    s.ansDlgAutoClickTime = 0;
    s.ansDlgClickButtonType = 0;
    s.baseWidthWndAnswer = 500;
    s.baseHeightWndAnswer = 500;
    s.examLogSize = 1000;
    s.examListWidth = {36, 60, 36, 60, 100, 100, 60, 100};
    s.detailsListWidth = {36, 42, 36, 60, 200};
    s.sndExam = "EXAM.WAV";
    s.sndTrue = "RIGHT.WAV";
    s.sndFalse = "WRONG.WAV";
    s.sndResult = "RESULT.WAV";
    s.examLogName = (in.programDir + "EXAMLOG.TXT").substr(0, kMaxPathText);
    s.fonts[TitleFont] = makeFont(12, in.buttonText, in.buttonFace, kDefaultFace);
    s.fonts[QuestionFont] = makeFont(20, 0xFFFFFF, 0x808000, kDefaultFace);
    s.fonts[HintFont] = makeFont(14, 0x000000, 0xCFDEB6, kDefaultFace);
    s.fonts[AnswerFont] = makeFont(20, 0xFF0000, 0xCCFFFF, kDefaultFace);
    s.fonts[GroupFont] = makeFont(10, in.buttonText, in.buttonFace, kDefaultFixedFace);
    s.fonts[CommentFont] = makeFont(11, in.buttonText, in.buttonFace, kDefaultFace);
    s.fonts[InfoFont] = makeFont(9, 0xC80000, 0xFFD8D8, kDefaultFace);
    s.colorHover = 0x0099FF;
    s.colorActive = 0x0000FF;
    return s;
}

bool equalPathsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (isDoubleByteAt(a, i)) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
            ++i;
        } else if (asciiUpper(static_cast<unsigned char>(a[i])) !=
                   asciiUpper(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

bool RecentFiles::add(std::string_view path, int max) {
    if (path.empty()) return false;
    std::size_t limit = static_cast<std::size_t>(max < 0 ? 0 : max);
    if (paths.size() > limit) paths.resize(limit);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (equalPathsIgnoringCase(paths[i], path)) {
            paths.erase(paths.begin() + static_cast<std::ptrdiff_t>(i));
            break;
        }
    }
    paths.insert(paths.begin(), std::string(path));
    return true;
}

void parseSettings(Settings& s, std::string text, RecentFiles* recent) {
    SettingsText settingsText(std::move(text));
    Reader r(settingsText);

    r.exactlyOne("Show", s.mainMaximized);
    readRect(r, "", s.mainRect);
    r.exactlyOne("ListShow", s.listMaximized);
    readRect(r, "List", s.listRect);
    readRect(r, "Hint", s.hintRect);
    r.exactlyOne("DetailShow", s.detailMaximized);
    readRect(r, "Detail", s.detailRect);
    r.exactlyOne("GraphShow", s.graphMaximized);
    readRect(r, "Graph", s.graphRect);
    r.exactlyOne("GraphAllBooks", s.graphAllBooks);
    r.ranged("GraphPeriod", s.graphPeriod, 0, 2);
    r.any("InfoPainWidth", s.infoPainWidth);
    r.any("ListAnswerTop", s.listAnswerTop);
    r.any("ListCommentTop", s.listCommentTop);
    r.list("ExamListWidth", s.examListWidth);
    r.list("DetailsListWidth", s.detailsListWidth);

    r.ranged("RecentFileMax", s.recentFileMax, 0, kMaxRecentFiles);
    if (recent) {
        for (int n = s.recentFileMax; n >= 1; --n) {
            auto name = r.raw("File" + std::to_string(n));
            // A name that does not fit is left out: a shortened one would name another file.
            if (!name || name->size() > kMaxPathText) continue;
            if (!recent->add(*name, s.recentFileMax)) break;
        }
    }

    for (const OptionKey& o : kOptionKeys) {
        if (auto n = r.number(o.key)) s.set(o.bit, *n != 0);
    }
    r.text("SndExam", s.sndExam, kMaxPathText);
    r.text("SndTrue", s.sndTrue, kMaxPathText);
    r.text("SndFalse", s.sndFalse, kMaxPathText);
    r.text("SndResult", s.sndResult, kMaxPathText);
    r.lowByte("CompareMode", s.compareMode);
    r.lowByte("UseData", s.useData);
    r.ranged("AnswerMode", s.answerMode, 0, 3);
    r.lowByte("SelectFrom", s.selectFrom);
    r.ranged("DefaultSelection", s.defaultSelection, 1, 9);
    r.ranged("LineSelection", s.lineSelection, 1, 9);
    r.ranged("SelectionHeight", s.selectionHeight, 1, 9);
    r.ranged("TimeLimit", s.timeLimit, 0, 32767);
    r.ranged("LineInterval", s.lineInterval, 0, 32767);
    r.ranged("InitialExamCount", s.initialExamCount, 1, 32767);
    r.ranged("WeakPointStrength", s.weakPointStrength, 0, 10);
    r.ranged("QuestionShowTime", s.questionShowTime, 0, 32767);
    r.ranged("AnswerStartTime", s.answerStartTime, 0, 32767);
    r.ranged("SelectionAlign", s.selectionAlign, 0, 3);
    r.ranged("AnsDlgAutoClickTime", s.ansDlgAutoClickTime, 0, 32767);
    r.ranged("AnsDlgClickButtonType", s.ansDlgClickButtonType, 0, 2);
    r.ranged("BaseWidthWndAnswer", s.baseWidthWndAnswer, 260, 32767);
    r.ranged("BaseHeightWndAnswer", s.baseHeightWndAnswer, 150, 32767);
    r.lowByte("AnswerView", s.answerView);
    r.ranged("ExamLogSize", s.examLogSize, 0, 32767);
    r.text("ExamLogName", s.examLogName, kMaxPathText);

    for (int f = 0; f < kStoredFontCount; ++f) {
        std::string name = kFontKeyNames[f];
        FontSpec& font = s.fonts[f];
        r.text((name + "Name").c_str(), font.face, kMaxFaceName);
        r.any((name + "Size").c_str(), font.size);
        r.any((name + "Color").c_str(), font.color);
        r.any((name + "BackColor").c_str(), font.backColor);
        r.any((name + "CharSet").c_str(), font.charSet);
    }
    r.any("ColorHover", s.colorHover);
    r.any("ColorActive", s.colorActive);
}

void loadSettings(Settings& settings, const std::filesystem::path& path, RecentFiles* recent) {
    FileBytes file = readFileBytes(path);
    if (file.status != ReadStatus::Ok) return;
    parseSettings(settings, std::move(file.bytes), recent);
}

std::string formatSettings(const Settings& s, const RecentFiles* recent) {
    Writer w;
    w.line("[Window]");
    w.number("Show", s.mainMaximized ? 1 : 0);
    w.rect("", s.mainRect);
    w.number("ListShow", s.listMaximized ? 1 : 0);
    w.rect("List", s.listRect);
    w.rect("Hint", s.hintRect);
    w.number("DetailShow", s.detailMaximized ? 1 : 0);
    w.rect("Detail", s.detailRect);
    w.number("GraphShow", s.graphMaximized ? 1 : 0);
    w.rect("Graph", s.graphRect);
    w.number("GraphAllBooks", s.graphAllBooks ? 1 : 0);
    w.number("GraphPeriod", s.graphPeriod);
    w.number("InfoPainWidth", s.infoPainWidth);
    w.number("ListAnswerTop", s.listAnswerTop);
    w.number("ListCommentTop", s.listCommentTop);
    w.list("ExamListWidth", s.examListWidth);
    w.list("DetailsListWidth", s.detailsListWidth);
    w.line("");

    w.line("[Recent]");
    w.number("RecentFileMax", s.recentFileMax);
    if (recent) {
        for (std::size_t i = 0; i < recent->paths.size() && i < static_cast<std::size_t>(s.recentFileMax);
             ++i)
            w.text("File" + std::to_string(i + 1), recent->paths[i]);
    }
    w.line("");

    w.line("[Options]");
    for (const OptionKey& o : kOptionKeys)
        w.number(o.key, s.has(o.bit) ? 1 : 0);
    w.text("SndExam", s.sndExam);
    w.text("SndTrue", s.sndTrue);
    w.text("SndFalse", s.sndFalse);
    w.text("SndResult", s.sndResult);
    w.number("CompareMode", s.compareMode);
    w.number("UseData", s.useData);
    w.number("AnswerMode", s.answerMode);
    w.number("SelectFrom", s.selectFrom);
    w.number("DefaultSelection", s.defaultSelection);
    w.number("LineSelection", s.lineSelection);
    w.number("SelectionHeight", s.selectionHeight);
    w.number("TimeLimit", s.timeLimit);
    w.number("LineInterval", s.lineInterval);
    w.number("InitialExamCount", s.initialExamCount);
    w.number("WeakPointStrength", s.weakPointStrength);
    w.number("QuestionShowTime", s.questionShowTime);
    w.number("AnswerStartTime", s.answerStartTime);
    w.number("SelectionAlign", s.selectionAlign);
    w.number("AnsDlgAutoClickTime", s.ansDlgAutoClickTime);
    w.number("AnsDlgClickButtonType", s.ansDlgClickButtonType);
    w.number("BaseWidthWndAnswer", s.baseWidthWndAnswer);
    w.number("BaseHeightWndAnswer", s.baseHeightWndAnswer);
    w.number("AnswerView", s.answerView);
    w.number("ExamLogSize", s.examLogSize);
    w.text("ExamLogName", s.examLogName);
    w.line("");

    w.line("[Fonts]");
    for (int f = 0; f < kStoredFontCount; ++f) {
        std::string name = kFontKeyNames[f];
        const FontSpec& font = s.fonts[f];
        w.text(name + "Name", font.face);
        w.number(name + "Size", font.size);
        w.color(name + "Color", font.color);
        w.color(name + "BackColor", font.backColor);
        w.number(name + "CharSet", font.charSet);
    }
    w.color("ColorHover", s.colorHover);
    w.color("ColorActive", s.colorActive);
    return w.take();
}

bool saveSettings(const Settings& settings, const std::filesystem::path& path, const RecentFiles* recent) {
    return replaceFileContents(path, formatSettings(settings, recent));
}

} // namespace rekal
