// The dialog templates of resources/: within one dialog or sheet page each access key belongs to one
// control. A key shared by two controls only moves the focus between them, so Alt+key would no
// longer press a button or toggle a check box.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

namespace {

// Calls take(dialog, caption) for each quoted text between BEGIN and END of each DIALOGEX.
template <class Take> int forEachDialogCaption(const std::filesystem::path& path, Take take) {
    std::ifstream in(path, std::ios::binary);
    std::string line, dialog;
    bool inBody = false;
    int dialogs = 0;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.find(" DIALOGEX ") != std::string::npos) {
            dialog = line.substr(0, line.find(' '));
            ++dialogs;
        } else if (line == "BEGIN") {
            inBody = !dialog.empty();
        } else if (line == "END") {
            inBody = false;
            dialog.clear();
        } else if (inBody) {
            for (std::size_t open = line.find('"'), close;
                 open != std::string::npos && (close = line.find('"', open + 1)) != std::string::npos;
                 open = line.find('"', close + 1))
                take(dialog, line.substr(open + 1, close - open - 1));
        }
    }
    return dialogs;
}

TEST(DialogTemplates, EveryAccessKeyBelongsToOneControl) {
    int dialogs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(REKAL_RESOURCE_SOURCE)) {
        if (entry.path().extension() != ".rc") continue;
        std::map<std::string, std::map<char, std::string>> owners; // dialog, key: caption
        dialogs +=
            forEachDialogCaption(entry.path(), [&](const std::string& dialog, const std::string& caption) {
                for (std::size_t at = caption.find('&'); at != std::string::npos && at + 1 < caption.size();
                     at = caption.find('&', at + 2)) {
                    if (caption[at + 1] == '&') continue; // && is a plain ampersand
                    const char key =
                        static_cast<char>(std::toupper(static_cast<unsigned char>(caption[at + 1])));
                    const auto [owner, first] = owners[dialog].emplace(key, caption);
                    EXPECT_TRUE(first) << dialog << ": " << caption << " and " << owner->second;
                }
            });
    }
    EXPECT_GE(dialogs, 20);
}

} // namespace
