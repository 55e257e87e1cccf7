// The detail list: its rows and cell texts, and the order a header click sorts them in.

#include "exam_fixture.h"

#include "core/exam/details.h"

#include <gtest/gtest.h>

namespace rekal {
namespace {

std::vector<int> ordersOf(const std::vector<DetailRow>& rows) {
    std::vector<int> orders;
    for (const DetailRow& r : rows)
        orders.push_back(r.order);
    return orders;
}

int byteCompare(std::string_view a, std::string_view b) {
    return a.compare(b);
}

TEST(DetailList, RowsAndCellsFollowTheResults) {
    QuestionBook book;
    test::loadText(book, "REKALDATA V1.6\nfirst\\nline \\i\"a.png\",x,<00\nsecond,y,<00\n");
    const std::vector<ExamResult> results = {
        {61'000, 1, Verdict::Right}, {400, 0, Verdict::Wrong}, {0, 7, Verdict::Skipped}};
    const std::vector<DetailRow> rows = detailRows(results, book);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(detailCellText(rows[0], DetailColumn::Order), "1");
    EXPECT_EQ(detailCellText(rows[0], DetailColumn::Number), "2");
    EXPECT_EQ(detailCellText(rows[0], DetailColumn::Mark), "○");
    EXPECT_EQ(detailCellText(rows[0], DetailColumn::Time), "1分1秒");
    EXPECT_EQ(detailCellText(rows[0], DetailColumn::Question), "second");
    EXPECT_EQ(detailCellText(rows[1], DetailColumn::Mark), "×");
    EXPECT_EQ(detailCellText(rows[1], DetailColumn::Question), "first line \\i\"a.png\"");
    EXPECT_EQ(detailCellText(rows[2], DetailColumn::Mark), "－");
    EXPECT_EQ(detailCellText(rows[2], DetailColumn::Question), ""); // no such question any more
}

TEST(DetailList, TimeSortsByMillisecondsNotByTheLeadingNumberOfItsText) {
    // "1時間" and "1秒" both start with 1; "2秒" starts with a larger number than "1分".
    std::vector<DetailRow> rows(4);
    const std::uint32_t times[] = {3'600'000, 1'000, 2'000, 60'000};
    for (int i = 0; i < 4; ++i) {
        rows[static_cast<std::size_t>(i)].order = i + 1;
        rows[static_cast<std::size_t>(i)].ms = times[i];
    }
    sortDetailRows(rows, DetailColumn::Time, true, byteCompare);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{2, 3, 4, 1}));
    sortDetailRows(rows, DetailColumn::Time, false, byteCompare);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{1, 4, 3, 2}));
}

TEST(DetailList, HeaderClicksAlternateStartingDescendingAndTiesKeepTheirAskingOrder) {
    std::vector<DetailRow> rows(5);
    const int numbers[] = {7, 3, 7, 1, 3};
    const char* texts[] = {"b", "a", "c", "a", "b"};
    for (int i = 0; i < 5; ++i) {
        DetailRow& r = rows[static_cast<std::size_t>(i)];
        r.order = i + 1;
        r.number = numbers[i];
        r.question = texts[i];
    }
    DetailSortOrder order;
    bool ascending = order.click(DetailColumn::Number);
    EXPECT_FALSE(ascending);
    sortDetailRows(rows, DetailColumn::Number, ascending, byteCompare);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{1, 3, 2, 5, 4}));
    ascending = order.click(DetailColumn::Number);
    EXPECT_TRUE(ascending);
    sortDetailRows(rows, DetailColumn::Number, ascending, byteCompare);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{4, 2, 5, 1, 3}));

    // Each column keeps its own flag; text columns use the comparison given.
    ascending = order.click(DetailColumn::Question);
    EXPECT_FALSE(ascending);
    sortDetailRows(rows, DetailColumn::Question, ascending, byteCompare);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{3, 1, 5, 2, 4}));
    int calls = 0;
    sortDetailRows(rows, DetailColumn::Question, true, [&](std::string_view a, std::string_view b) {
        ++calls;
        return -a.compare(b); // a comparison of the platform's own
    });
    EXPECT_GT(calls, 0);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{3, 1, 5, 2, 4}));
    sortDetailRows(rows, DetailColumn::Order, true, byteCompare);
    EXPECT_EQ(ordersOf(rows), (std::vector<int>{1, 2, 3, 4, 5}));
}

} // namespace
} // namespace rekal
