#pragma once
// How the questions of a run are chosen (the ExamMethod value), the answer modes, and the names and
// the rate text that the information pane, the result dialog and the exam log show for them.

#include <cstdint>
#include <string>

namespace rekal {

// Low four bits: the kind; three flag bits qualify it. 0 = no run.
using ExamMethod = std::uint32_t;

inline constexpr ExamMethod MethodKindMask = 0x0F;
inline constexpr ExamMethod MethodRandom = 0x10;    // drawn at random (a fixed list: it was shuffled)
inline constexpr ExamMethod MethodNoRepeat = 0x20;  // a question already asked in this run is not drawn again
inline constexpr ExamMethod MethodFixedList = 0x40; // the questions come from a list prepared before the run

enum ExamKind : ExamMethod {
    KindNone = 0, // with the random flag: random count
    KindAll = 1,
    KindWeak = 2,
    KindComplete = 3,
    KindRetryWrong = 4,
    KindReexamAll = 5,
    KindReexamSelected = 6,
};

// The values the start commands set.
inline constexpr ExamMethod kMethodAll = ExamMethod{KindAll};                                       // 1
inline constexpr ExamMethod kMethodRandomAll = ExamMethod{KindAll} | MethodRandom | MethodNoRepeat; // 0x31
inline constexpr ExamMethod kMethodRandomCount = MethodRandom;                                      // 0x10
inline constexpr ExamMethod kMethodRandomCountNoRepeat = MethodRandom | MethodNoRepeat;             // 0x30
inline constexpr ExamMethod kMethodWeak = ExamMethod{KindWeak} | MethodRandom;                      // 0x12
inline constexpr ExamMethod kMethodWeakNoRepeat =
    ExamMethod{KindWeak} | MethodRandom | MethodNoRepeat; // 0x32
inline constexpr ExamMethod kMethodComplete =
    ExamMethod{KindComplete} | MethodRandom | MethodNoRepeat;                            // 0x33
inline constexpr ExamMethod kMethodRetry = ExamMethod{KindRetryWrong} | MethodFixedList; // 0x44

constexpr ExamMethod methodKind(ExamMethod method) {
    return method & MethodKindMask;
}
constexpr bool hasFlag(ExamMethod method, ExamMethod bit) {
    return (method & bit) != 0;
}

// The display name: "すべて", "ランダム(完全)", "間違えた問題を再出題(ランダム)", ... or "不明".
std::string methodName(ExamMethod method);

// Answer modes (the AnswerMode setting).
enum AnswerMode : int { AnswerStandard = 0, AnswerWritten = 1, AnswerChoice = 2, AnswerConfirm = 3 };

// "通常", "記述式", "選択式" or "確認"; any other value reads as standard.
const char* answerModeName(int mode);

// "－" when nothing was judged, else the share of right answers, truncated: "66.66%".
std::string rateText(long long right, long long wrong);

} // namespace rekal
