#pragma once
// The detail list of a finished run: one row per finished question in asking order, the texts of
// its five columns, and the order a click on a column header sorts them in.

#include "core/data/book.h"
#include "core/exam/selection.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace rekal {

// The columns in their order: "順番", "番号", "正誤", "所要時間", "問題".
enum class DetailColumn : int { Order, Number, Mark, Time, Question };
inline constexpr int kDetailColumnCount = 5;

struct DetailRow {
    int order = 0;  // 1-based position in the run
    int number = 0; // question index + 1
    Verdict verdict = Verdict::None;
    std::uint32_t ms = 0;
    std::string question; // the question text on one line, media tags in their written form
};

// One row per entry, in the order given; a question the book no longer has shows an empty text.
std::vector<DetailRow> detailRows(const std::vector<ExamResult>& results, const QuestionBook& book);

// The text of a cell (CP932).
std::string detailCellText(const DetailRow& row, DetailColumn column);

// The platform's locale-aware text comparison: negative, zero or positive.
using TextCompare = std::function<int(std::string_view, std::string_view)>;

// The sort order of two rows by a column: "正誤" and "問題" as text, "所要時間" by its milliseconds,
// the others by number; rows that tie keep their asking order whichever way the column sorts, so
// the order is the same whatever sort algorithm runs it. Negative when a comes first.
int compareDetailRows(const DetailRow& a, const DetailRow& b, DetailColumn column, bool ascending,
                      const TextCompare& compareText);

void sortDetailRows(std::vector<DetailRow>& rows, DetailColumn column, bool ascending,
                    const TextCompare& compareText);

// The order flags of the columns: all set at first; a click on a header reverses its column's
// flag, and the column then sorts ascending when the flag is set. So the first click on a column
// sorts it descending and the next ascending.
class DetailSortOrder {
  public:
    // The direction of the sort this click asks for: true = ascending.
    bool click(DetailColumn column) {
        bool& flag = ascending_[static_cast<std::size_t>(column)];
        flag = !flag;
        return flag;
    }

  private:
    std::array<bool, kDetailColumnCount> ascending_{true, true, true, true, true};
};

} // namespace rekal
