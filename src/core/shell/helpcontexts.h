#pragma once
// Every context number of the help file REKALWIN.CHM in one table: the windows open their topic by
// these names, and the help project maps each number to the page named here (help/ja/alias.h and
// help/ja/context.h; a native test keeps the three in agreement and checks the pages are compiled
// into the help file). A new window adds its row here, its page under help/ja and the two map lines.

#include <optional>
#include <span>
#include <string_view>

namespace rekal {

inline constexpr int kHelpExamLogViewer = 100;
inline constexpr int kHelpReexamMenu = 101;
inline constexpr int kHelpExport = 102;
inline constexpr int kHelpRange = 103;
inline constexpr int kHelpCount = 104;
inline constexpr int kHelpWeakPoints = 105;
inline constexpr int kHelpHintAndList = 106; // the hint window and the question list window share it
inline constexpr int kHelpAlternatives = 107;
inline constexpr int kHelpVague = 108;
inline constexpr int kHelpAnswer = 109;
inline constexpr int kHelpResult = 110;
inline constexpr int kHelpDetail = 111;
inline constexpr int kHelpStudyGraph = 112;
inline constexpr int kHelpCustomizeGeneral = 121;
inline constexpr int kHelpCustomizeSound = 122;
inline constexpr int kHelpCustomizeCompare = 123;
inline constexpr int kHelpCustomizeFont = 124;
inline constexpr int kHelpCustomizeQuestion = 125;
inline constexpr int kHelpCustomizeAnswer = 126;
inline constexpr int kHelpExamRunning = 131;
inline constexpr int kHelpMenu = 132;
inline constexpr int kHelpIdle = 133;

struct HelpTopic {
    int context;
    std::string_view name; // the alias of the help project (IDH_...)
    std::string_view page; // the page inside the help file
};

// Every topic, in context order.
std::span<const HelpTopic> helpTopics();
// The page of a context number; none for a number the help file does not map.
std::optional<std::string_view> helpPageFor(int context);

// The topic for a help request in the main window: the menu topic for a request from a menu item,
// otherwise the topic of the exam view's state.
int helpContextFor(bool fromMenuItem, bool examRunning);

} // namespace rekal
