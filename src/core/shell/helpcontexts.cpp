#include "core/shell/helpcontexts.h"

#include <algorithm>
#include <array>

namespace rekal {

namespace {

constexpr std::array kTopics{
    HelpTopic{kHelpExamLogViewer, "IDH_EXAMLOG", "examlog.html"},
    HelpTopic{kHelpReexamMenu, "IDH_REEXAM", "reexam.html"},
    HelpTopic{kHelpExport, "IDH_EXPORT", "export.html"},
    HelpTopic{kHelpRange, "IDH_RANGE", "range.html"},
    HelpTopic{kHelpCount, "IDH_COUNT", "count.html"},
    HelpTopic{kHelpWeakPoints, "IDH_WEAK", "weak.html"},
    HelpTopic{kHelpHintAndList, "IDH_HINT_LIST", "hintlist.html"},
    HelpTopic{kHelpAlternatives, "IDH_ALTERNATIVES", "alternatives.html"},
    HelpTopic{kHelpVague, "IDH_VAGUE", "vague.html"},
    HelpTopic{kHelpAnswer, "IDH_ANSWER", "answer.html"},
    HelpTopic{kHelpResult, "IDH_RESULT", "result.html"},
    HelpTopic{kHelpDetail, "IDH_DETAIL", "detail.html"},
    HelpTopic{kHelpStudyGraph, "IDH_GRAPH", "graph.html"},
    HelpTopic{kHelpCustomizeGeneral, "IDH_CUSTOM_GENERAL", "custom-general.html"},
    HelpTopic{kHelpCustomizeSound, "IDH_CUSTOM_SOUND", "custom-sound.html"},
    HelpTopic{kHelpCustomizeCompare, "IDH_CUSTOM_COMPARE", "custom-compare.html"},
    HelpTopic{kHelpCustomizeFont, "IDH_CUSTOM_FONT", "custom-font.html"},
    HelpTopic{kHelpCustomizeQuestion, "IDH_CUSTOM_QUESTION", "custom-question.html"},
    HelpTopic{kHelpCustomizeAnswer, "IDH_CUSTOM_ANSWER", "custom-answer.html"},
    HelpTopic{kHelpExamRunning, "IDH_EXAM", "exam.html"},
    HelpTopic{kHelpMenu, "IDH_MENUS", "menus.html"},
    HelpTopic{kHelpIdle, "IDH_MAIN", "mainwindow.html"},
};

} // namespace

std::span<const HelpTopic> helpTopics() {
    return kTopics;
}

std::optional<std::string_view> helpPageFor(int context) {
    auto it = std::find_if(kTopics.begin(), kTopics.end(),
                           [&](const HelpTopic& t) { return t.context == context; });
    if (it == kTopics.end()) return std::nullopt;
    return it->page;
}

int helpContextFor(bool fromMenuItem, bool examRunning) {
    if (fromMenuItem) return kHelpMenu;
    return examRunning ? kHelpExamRunning : kHelpIdle;
}

} // namespace rekal
