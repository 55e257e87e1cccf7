#include "core/exam/method.h"

#include <cstdio>

namespace rekal {

std::string methodName(ExamMethod method) {
    if (method == kMethodAll) return "すべて";
    const ExamMethod kind = methodKind(method);
    const bool random = hasFlag(method, MethodRandom);
    if (kind == KindRetryWrong || kind == KindReexamAll || kind == KindReexamSelected) {
        std::string name = kind == KindRetryWrong  ? "間違えた"
                           : kind == KindReexamAll ? "すべての"
                                                   : "選択された";
        name += "問題を再出題";
        if (random) name += "(ランダム)";
        return name;
    }
    if (!random) return "不明";
    std::string name = "ランダム";
    if (kind == KindAll) return name + "(すべて)";
    if (kind == KindComplete) return name + "(完全)";
    if (kind == KindWeak) name += "(弱点問題)";
    if (hasFlag(method, MethodNoRepeat)) name += "(一度出題した問題は出題しない)";
    return name;
}

const char* answerModeName(int mode) {
    switch (mode) {
    case AnswerWritten:
        return "記述式";
    case AnswerChoice:
        return "選択式";
    case AnswerConfirm:
        return "確認";
    default:
        return "通常";
    }
}

std::string rateText(long long right, long long wrong) {
    const long long total = right + wrong;
    if (total <= 0) return "－";
    const long long whole = right * 100LL / total;
    const long long hundredths = (right * 10000LL / total) % 100;
    char buffer[48];
    std::snprintf(buffer, sizeof buffer, "%lld.%02lld%%", whole, hundredths);
    return buffer;
}

} // namespace rekal
