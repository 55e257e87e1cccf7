// log LOG: the exam log parsed as the log viewer reads it, one JSON object per record.

#include "cli/cli.h"
#include "cli/json.h"
#include "core/examlog/examlog.h"

namespace rekal::cli {

namespace {

void appendOptionalText(std::string& out, const char* key, const std::optional<std::string_view>& text) {
    out += ",\"";
    out += key;
    out += "\":";
    if (text)
        appendJsonString(out, *text);
    else
        out += "null";
}

std::string entryJson(const ExamLog& log, const ExamLogEntry& e) {
    const ExamLogTime& t = e.time;
    std::string out = "{\"time\":{\"year\":" + std::to_string(t.year) +
                      ",\"month\":" + std::to_string(t.month) + ",\"day\":" + std::to_string(t.day) +
                      ",\"weekday\":" + std::to_string(t.weekday) + ",\"hour\":" + std::to_string(t.hour) +
                      ",\"minute\":" + std::to_string(t.minute) + ",\"second\":" + std::to_string(t.second) +
                      "}";
    appendOptionalText(out, "file", e.file);
    appendOptionalText(out, "range", e.range);
    appendOptionalText(out, "groups", e.groups);
    appendOptionalText(out, "method", e.method);
    appendOptionalText(out, "mode", e.mode);
    appendOptionalText(out, "rate", e.rate);
    appendOptionalText(out, "elapsed", e.elapsed);
    out += ",\"rows\":[";
    bool firstRow = true;
    for (const ExamLogRow& row : log.rowsOf(e)) {
        if (!firstRow) out += ',';
        firstRow = false;
        out += '[';
        bool firstField = true;
        for (std::string_view field : log.fieldsOf(row)) {
            if (!firstField) out += ',';
            firstField = false;
            appendJsonString(out, field);
        }
        out += ']';
    }
    out += "]}\n";
    return out;
}

} // namespace

int runLogCommand(CliContext& ctx, const std::vector<std::string>& args) {
    if (args.size() != 1) return usageError("usage: log LOG");
    const std::optional<ExamLog> log = readExamLog(argPath(args[0]), ctx.notifier);
    if (!log) return kExitFailure;
    for (const ExamLogEntry& e : log->entries)
        printUtf8(ctx, entryJson(*log, e));
    return kExitOk;
}

} // namespace rekal::cli
