#include "core/data/merge.h"

#include "core/base/sjis.h"
#include "core/data/reader.h"

#include <functional>
#include <string_view>
#include <unordered_map>

namespace rekal {

namespace {

constexpr const char* kMerged =
    "ファイルがほかで変更されていたため、読み込み直して %d 問の解答結果を引き継ぎました。";
constexpr const char* kLostHead = "次の問題はファイルに見つからず、解答結果を引き継げませんでした：";
constexpr const char* kMoreQuestions = "ほか %d 問";
constexpr const char* kFileLost = " が見つからないか、読み込めません。";
constexpr std::size_t kLabelBytes = 40; // of a lost question's text in the message

// What makes two questions the same one: the question text and the raw answer as stored.
struct QuestionKey {
    std::string_view question;
    std::string_view answer;
    bool operator==(const QuestionKey&) const = default;
};
struct QuestionKeyHash {
    std::size_t operator()(const QuestionKey& k) const {
        const std::size_t h = std::hash<std::string_view>{}(k.question);
        return h ^ (std::hash<std::string_view>{}(k.answer) + 0x9E3779B97F4A7C15ull + (h << 6) + (h >> 2));
    }
};
QuestionKey keyOf(const QuestionCard& q) {
    return {q.question.view(), q.rawAnswer.view()};
}

// The questions with one key, in file order, and how many of them are matched already.
struct SameQuestions {
    std::vector<int> indices;
    std::size_t matched = 0;
};

// A question text on one line of a message: control bytes as spaces, cut after kLabelBytes bytes
// (never inside a double-byte character).
std::string questionLabel(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t width = isDoubleByteAt(text, i) ? 2 : 1;
        if (out.size() + width > kLabelBytes) {
            out += "…";
            break;
        }
        if (width == 1 && static_cast<unsigned char>(text[i]) < 0x20)
            out += ' ';
        else
            out.append(text, i, width);
        i += width;
    }
    return out;
}

// Passes on what the user must know of a file read again behind his back: its rejected lines (they
// are saved as comments). Its messages and errors are not told: a failure is the caller's to tell.
class WarningsOnly : public Notifier {
  public:
    explicit WarningsOnly(Notifier& to) : to_(to) {}
    void error(std::string_view) override {}
    void warning(std::string_view text) override { to_.warning(text); }
    void info(std::string_view) override {}
    bool ask(std::string_view) override { return false; }

  private:
    Notifier& to_;
};

} // namespace

BookFileCheck checkBookFile(const QuestionBook& book) {
    BookFileCheck check;
    const std::optional<FileStamp>& known = book.fileStamp();
    if (!known) return check;
    FileBytes file = readFileBytes(book.file());
    if (file.status != ReadStatus::Ok) {
        check.state = BookFileState::Lost;
        return check;
    }
    // The same bytes are the same file, whatever its time says (a synchronised or touched copy).
    if (file.bytes.size() == known->size && hashBytes(file.bytes) == known->hash) return check;
    check.state = BookFileState::Changed;
    check.stamp = stampFile(book.file(), file.bytes);
    check.bytes = std::move(file.bytes);
    return check;
}

MergeReport carrySessionResults(const QuestionBook& from, QuestionBook& into) {
    MergeReport report;
    std::unordered_map<QuestionKey, SameQuestions, QuestionKeyHash> byKey;
    byKey.reserve(static_cast<std::size_t>(into.questionCount()));
    for (int i = 0; i < into.questionCount(); ++i)
        byKey[keyOf(*into.questionAt(i))].indices.push_back(i);
    report.questionMap.assign(static_cast<std::size_t>(from.questionCount()), -1);
    for (int i = 0; i < from.questionCount(); ++i) {
        const QuestionCard& q = *from.questionAt(i);
        int match = -1;
        if (auto found = byKey.find(keyOf(q)); found != byKey.end()) {
            SameQuestions& same = found->second;
            if (same.matched < same.indices.size()) match = same.indices[same.matched++];
        }
        report.questionMap[static_cast<std::size_t>(i)] = match;
        if (q.sessionResults == 0) continue;
        if (match < 0) {
            report.lost.push_back({i, std::string(q.question.view())});
            continue;
        }
        into.shiftInResults(into.questionAt(match), q.history, q.sessionResults);
        ++report.carried;
    }
    return report;
}

std::string mergeMessage(const MergeReport& report, std::size_t limit) {
    std::string text = withNumber(kMerged, static_cast<std::size_t>(report.carried));
    if (report.lost.empty()) return text;
    text += '\n';
    text += kLostHead;
    const std::size_t named = std::min(limit, report.lost.size());
    for (std::size_t i = 0; i < named; ++i) {
        const LostQuestion& q = report.lost[i];
        text += '\n' + std::to_string(q.index + 1) + ": " + questionLabel(q.text);
    }
    if (named < report.lost.size()) text += '\n' + withNumber(kMoreQuestions, report.lost.size() - named);
    return text;
}

std::string bookFileLostText(const std::filesystem::path& file) {
    return displayPath(file) + kFileLost;
}

BookSaveResult saveBookMerging(QuestionBook& book, const Settings& settings, Notifier& notifier,
                               SaveHooks* hooks) {
    BookSaveResult result;
    if (!book.isLoaded() || !book.isDirty()) return result;
    BookFileCheck check = checkBookFile(book);
    if (check.state == BookFileState::Lost) {
        result.outcome = BookSave::FileLost;
        return result;
    }
    if (check.state == BookFileState::Changed) {
        QuestionBook again;
        WarningsOnly warnings(notifier);
        if (!loadBookFromBytes(again, book.file(), std::move(check.bytes), settings, warnings)) {
            result.outcome = BookSave::FileLost;
            return result;
        }
        MergeReport report = carrySessionResults(book, again);
        book.adoptCards(again);
        // The stamp of what was read: should the write fail, the next save compares with it and
        // carries the results still counted as this session's.
        book.setFileStamp(check.stamp);
        result.merged = true;
        result.message = mergeMessage(report);
        result.questionMap = std::move(report.questionMap);
        notifier.info(result.message);
    }
    if (!writeBook(book, settings, notifier, hooks)) {
        result.outcome = BookSave::NotWritten;
        return result;
    }
    result.outcome = result.merged ? BookSave::Merged : BookSave::Saved;
    return result;
}

} // namespace rekal
