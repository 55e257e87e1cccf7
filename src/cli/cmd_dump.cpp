// dump FILE: load FILE and print each card as one JSON object per line, in file order.

#include "cli/cli.h"
#include "cli/json.h"
#include "cli/load_status.h"

#include <string>

namespace rekal::cli {

namespace {

class CardJson {
  public:
    explicit CardJson(const Card& card) {
        out_ = "{\"line\":" + std::to_string(card.position + 2) +
               ",\"kind\":" + std::to_string(static_cast<int>(card.kind));
    }

    void number(const char* key, long long value) {
        this->key(key);
        out_ += std::to_string(value);
    }
    void text(const char* key, StoredText value) {
        this->key(key);
        if (value.present())
            appendJsonString(out_, value.view());
        else
            out_ += "null";
    }
    void list(const char* key, StoredText value) {
        this->key(key);
        out_ += '[';
        for (int i = 0; i < listItemCount(value); ++i) {
            if (i) out_ += ',';
            appendJsonString(out_, *listItemAt(value, i));
        }
        out_ += ']';
    }
    void texts(const char* key, const std::array<StoredText, 10>& values) {
        this->key(key);
        out_ += '[';
        for (std::size_t i = 0; i < values.size(); ++i) {
            if (i) out_ += ',';
            if (values[i].present())
                appendJsonString(out_, values[i].view());
            else
                out_ += "null";
        }
        out_ += ']';
    }
    std::string finish() { return out_ + "}\n"; }

  private:
    void key(const char* name) {
        out_ += ",\"";
        out_ += name;
        out_ += "\":";
    }
    std::string out_;
};

std::string cardToJson(const Card& card) {
    CardJson json(card);
    if (const TitleCard* t = asTitle(&card)) {
        json.text("title", t->title);
        json.number("choiceCount", t->choiceCount);
        json.number("compareOptions", t->compareOptions);
    } else if (const QuestionCard* q = asQuestion(&card)) {
        json.text("question", q->question);
        json.list("hints", q->hints);
        json.text("rawAnswer", q->rawAnswer);
        json.list("answers", q->answers);
        json.text("rawWrongChoices", q->rawWrongChoices);
        json.list("wrongChoices", q->wrongChoices);
        json.number("history", q->history);
        json.number("group", q->group);
        json.number("displayIndex", q->displayIndex);
    } else if (const GroupNamesCard* g = asGroupNames(&card)) {
        json.texts("names", g->names);
    } else if (const MessageCard* m = asMessage(&card)) {
        json.text("message", m->message);
    } else if (const ValueCard* v = asValue(&card)) {
        json.number("value", v->value);
    } else if (const FontCard* f = asFont(&card)) {
        json.number("size", f->size);
        json.number("charset", f->charSet);
        json.text("face", f->face);
    }
    json.text("comment", card.comment);
    return json.finish();
}

} // namespace

int runDumpCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError("usage: dump FILE");
    QuestionBook book;
    const int status = loadForReport(ctx, args[0], book);
    if (status == kExitFailure) return status;
    for (const Card* card = book.firstCard(); card; card = card->next)
        printUtf8(ctx, cardToJson(*card));
    return status;
}

} // namespace rekal::cli
