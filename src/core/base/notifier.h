#pragma once
// What the core must tell the user goes through a Notifier; each front end shows it its own way
// (message boxes, the terminal, a recording for tests). Every text is CP932.

#include <string>
#include <string_view>
#include <vector>

namespace rekal {

class Notifier {
  public:
    virtual ~Notifier() = default;
    virtual void error(std::string_view text) = 0;
    virtual void warning(std::string_view text) = 0;
    virtual void info(std::string_view text) = 0;
    // A yes/no question; true means Yes.
    virtual bool ask(std::string_view text) = 0;
};

// Keeps every message in order; questions are answered from a queue (No when it is empty).
class RecordingNotifier : public Notifier {
  public:
    enum class Kind { Error, Warning, Info, Ask };
    struct Message {
        Kind kind;
        std::string text;
    };

    void error(std::string_view text) override { messages.push_back({Kind::Error, std::string(text)}); }
    void warning(std::string_view text) override { messages.push_back({Kind::Warning, std::string(text)}); }
    void info(std::string_view text) override { messages.push_back({Kind::Info, std::string(text)}); }
    bool ask(std::string_view text) override {
        messages.push_back({Kind::Ask, std::string(text)});
        if (answers.empty()) return false;
        bool answer = answers.front();
        answers.erase(answers.begin());
        return answer;
    }

    std::vector<Message> messages;
    std::vector<bool> answers;
};

// Says nothing and answers No.
class SilentNotifier : public Notifier {
  public:
    void error(std::string_view) override {}
    void warning(std::string_view) override {}
    void info(std::string_view) override {}
    bool ask(std::string_view) override { return false; }
};

} // namespace rekal
