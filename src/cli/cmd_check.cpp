// check FILE: load FILE as the program does, print its messages, a count of its cards, the encoding
// it was written in, every rejected line (the program's warning names only the first ones) and the
// media files its cards name that the program would not show.

#include "cli/cli.h"
#include "cli/load_status.h"
#include "core/base/fileio.h"
#include "core/display/markup.h"
#include "core/display/mediapath.h"

#include <string>

namespace rekal::cli {

namespace {

const char* refusalText(MediaPathStatus status) {
    switch (status) {
    case MediaPathStatus::Ok:
        return "missing";
    case MediaPathStatus::TooLong:
        return "refused: path too long";
    case MediaPathStatus::OtherPlace:
        return "refused: outside the book's drive or share";
    case MediaPathStatus::DeviceName:
        return "refused: device name";
    case MediaPathStatus::DataStream:
        return "refused: stream of a file";
    case MediaPathStatus::Playlist:
        return "refused: playlist";
    }
    return "refused";
}

// The resolved path as this system's file functions take it: media paths are resolved with
// backslashes, as on Windows, where books are written.
std::filesystem::path hostPath(const std::filesystem::path& path) {
#ifdef _WIN32
    return path;
#else
    std::string text = path.native();
    for (char& c : text)
        if (c == '\\') c = '/';
    return text;
#endif
}

// One "media: LINE: PATH (REASON)" line for each tag of a text whose file would not be shown.
void reportMedia(CliContext& ctx, const QuestionBook& book, const Card& card, StoredText text) {
    if (!text.present()) return;
    const std::string_view view = text.view();
    for (auto tag = nextMediaTag(view, 0); tag; tag = nextMediaTag(view, tag->end)) {
        const std::string_view path = tagPath(tag->parameters);
        const MediaFile file = checkMediaFile(book.file(), path);
        if (file.status == MediaPathStatus::Ok && isPlainFile(hostPath(file.path))) continue;
        printUtf8(ctx, "media: " + std::to_string(card.position + 2) + ": ");
        printText(ctx, path);
        printUtf8(ctx, std::string(" (") + refusalText(file.status) + ")\n");
    }
}

} // namespace

int runCheckCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError("usage: check FILE");
    QuestionBook book;
    LoadReport report;
    const int status = loadForReport(ctx, args[0], book, &report);
    if (status == kExitFailure) return status;
    std::string out = std::to_string(book.questionCount()) + " questions, " +
                      std::to_string(book.titleCount()) + " titles, " + std::to_string(book.cardCount()) +
                      " cards\n";
    out += "encoding: " + std::string(encodingName(book.encoding())) + "\n";
    if (!report.rejectedLines.empty()) out += "rejected lines: " + rejectedLineList(report, 0) + "\n";
    printUtf8(ctx, out);
    for (const Card* card = book.firstCard(); card; card = card->next) {
        if (const QuestionCard* q = asQuestion(card)) {
            for (StoredText text : {q->question, q->hints, q->rawAnswer, q->rawWrongChoices})
                reportMedia(ctx, book, *card, text);
        }
        reportMedia(ctx, book, *card, card->comment);
    }
    return status;
}

} // namespace rekal::cli
