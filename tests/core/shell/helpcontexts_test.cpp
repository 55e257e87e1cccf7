// The help file against the program: every context number a window opens is mapped to its page by
// the help project, every page is compiled into REKALWIN.CHM, the pages link only to pages that
// exist, and every example question file in them loads without a rejected line.

#include "core/shell/helpcontexts.h"

#include "core/base/notifier.h"
#include "core/data/reader.h"
#include "core/settings/settings.h"
#include "support/tempfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <set>
#include <string>

namespace rekal {
namespace {

const std::filesystem::path kHelpSource = REKAL_HELP_SOURCE;

std::string helpText(const std::string& name) {
    return test::readBytes(kHelpSource / name);
}

// NAME=page lines of the alias file, #define NAME number lines of the map file.
std::map<std::string, std::string> aliases() {
    std::map<std::string, std::string> found;
    static const std::regex line(R"((\w+)=([\w.-]+))");
    const std::string text = helpText("alias.h");
    for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
        found[(*it)[1]] = (*it)[2];
    return found;
}
std::map<std::string, int> contextMap() {
    std::map<std::string, int> found;
    static const std::regex line(R"(#define\s+(\w+)\s+(\d+))");
    const std::string text = helpText("context.h");
    for (std::sregex_iterator it(text.begin(), text.end(), line), end; it != end; ++it)
        found[(*it)[1]] = std::stoi((*it)[2]);
    return found;
}
// The [FILES] section of the project.
std::set<std::string> projectFiles() {
    const std::string text = helpText("REKALWIN.hhp");
    const auto start = text.find("[FILES]");
    const auto end = text.find('[', start + 1);
    std::set<std::string> files;
    static const std::regex name(R"([\w.-]+\.(html|css))");
    for (std::sregex_iterator it(text.begin() + start, text.begin() + end, name), e; it != e; ++it)
        files.insert(it->str());
    return files;
}
std::set<std::string> pagesOnDisk() {
    std::set<std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(kHelpSource))
        if (entry.path().extension() == ".html") pages.insert(entry.path().filename().string());
    return pages;
}

TEST(HelpContexts, EveryContextOfTheTableIsMappedToItsPageAndNothingElseIs) {
    const auto names = aliases();
    const auto numbers = contextMap();
    const auto files = projectFiles();
    std::set<int> seen;
    for (const HelpTopic& topic : helpTopics()) {
        SCOPED_TRACE(topic.name);
        EXPECT_TRUE(seen.insert(topic.context).second) << "context used twice";
        ASSERT_TRUE(numbers.count(std::string(topic.name)));
        EXPECT_EQ(numbers.at(std::string(topic.name)), topic.context);
        ASSERT_TRUE(names.count(std::string(topic.name)));
        EXPECT_EQ(names.at(std::string(topic.name)), topic.page);
        EXPECT_TRUE(files.count(std::string(topic.page))) << "not in the project's file list";
        EXPECT_EQ(helpPageFor(topic.context), topic.page);
    }
    EXPECT_EQ(names.size(), helpTopics().size()) << "an alias without a row in the table";
    EXPECT_EQ(numbers.size(), helpTopics().size()) << "a map entry without a row in the table";
    EXPECT_EQ(helpPageFor(113), std::nullopt);
    // The numbers the windows and dialogs open.
    for (int context : {100, 101, 102, 103, 104, 105, 106, 107, 108, 109, 110,
                        111, 112, 121, 122, 123, 124, 125, 126, 131, 132, 133})
        EXPECT_TRUE(helpPageFor(context)) << context;
}

TEST(HelpContexts, MenuRequestsWinWhateverTheExamState) {
    EXPECT_EQ(kHelpMenu, helpContextFor(true, true));
    EXPECT_EQ(kHelpMenu, helpContextFor(true, false));
    EXPECT_EQ(kHelpExamRunning, helpContextFor(false, true));
    EXPECT_EQ(kHelpIdle, helpContextFor(false, false));
}

TEST(HelpFile, EveryPageIsCompiledAndEveryLinkFindsItsPage) {
    const std::string chm = test::readBytes(REKAL_HELP_FILE);
    ASSERT_EQ(chm.substr(0, 4), "ITSF");
    const auto pages = pagesOnDisk();
    EXPECT_EQ(projectFiles().size(), pages.size() + 1) << "project file list and pages differ"; // + help.css
    // The archive's directory names each stored file with its path, uncompressed.
    for (const std::string& page : pages)
        EXPECT_NE(chm.find("/" + page), std::string::npos) << page << " is not in the help file";
    for (const char* part : {"/contents.hhc", "/index.hhk", "/#IVB", "/help.css"})
        EXPECT_NE(chm.find(part), std::string::npos) << part;
    // The uncompressed #SYSTEM names the language Japanese (0x0411, entry 4 of 36 bytes), so the viewer
    // reads the contents, the index and the titles as code page 932, and holds the title in it.
    EXPECT_NE(chm.find(std::string("\x04\x00\x24\x00\x11\x04\x00\x00", 8)), std::string::npos);
    EXPECT_NE(chm.find("Rekal for Windows \x83\x77\x83\x8b\x83\x76"), std::string::npos) << "title not CP932";

    static const std::regex link(R"re((?:href|value)="([\w.-]+\.(?:html|css))")re");
    std::set<std::string> sources = pages;
    sources.insert("contents.hhc");
    sources.insert("index.hhk");
    std::set<std::string> reached;
    for (const std::string& source : sources) {
        const std::string text = helpText(source);
        for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it) {
            const std::string target = (*it)[1];
            EXPECT_TRUE(target == "help.css" || pages.count(target)) << source << " links to " << target;
            if (source == "contents.hhc") reached.insert(target);
        }
    }
    EXPECT_EQ(reached, pages) << "every page has its place in the table of contents";
}

// Text between <pre class="rkf"> and </pre>, with the page's character references undone.
std::vector<std::string> exampleBooks(const std::string& page) {
    std::vector<std::string> books;
    static const std::regex block(R"(<pre class="rkf">([\s\S]*?)</pre>)");
    for (std::sregex_iterator it(page.begin(), page.end(), block), end; it != end; ++it) {
        std::string text = (*it)[1];
        for (const auto& [entity, character] : {std::pair{"&lt;", "<"}, {"&gt;", ">"}, {"&amp;", "&"}})
            for (std::size_t at; (at = text.find(entity)) != std::string::npos;)
                text.replace(at, std::string_view(entity).size(), character);
        books.push_back(text);
    }
    return books;
}

TEST(HelpFile, EveryExampleBookLoadsAsWrittenWithAnAnswerToShow) {
    SettingsInputs inputs;
    const Settings settings = defaultSettings(inputs);
    int examples = 0;
    for (const std::string& page : pagesOnDisk()) {
        for (const std::string& example : exampleBooks(helpText(page))) {
            SCOPED_TRACE(page + ":\n" + example);
            ++examples;
            QuestionBook book;
            RecordingNotifier notifier;
            LoadReport report;
            ASSERT_TRUE(
                loadBookFromBytes(book, "example.rkf", example, settings, notifier, nullptr, &report));
            EXPECT_TRUE(report.rejectedLines.empty());
            EXPECT_GT(book.questionCount(), 0);
            // The display digit names an answer the question has, or the answer dialog shows none.
            for (int i = 0; i < book.questionCount(); ++i)
                EXPECT_TRUE(book.displayAnswer(book.questionAt(i))) << "question " << i + 1;
        }
    }
    EXPECT_GE(examples, 4);
}

} // namespace
} // namespace rekal
