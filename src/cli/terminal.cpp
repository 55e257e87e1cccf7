// Standard output, standard error and standard input of rekal-cli. On Windows a stream that is a
// console goes through the console's UTF-16 functions (see console.h); everything else is UTF-8
// bytes through the C streams.
#include "cli/cli.h"
#include "cli/console.h"

#ifdef _WIN32
#include <algorithm>
#include <iterator>

#include <windows.h>
#endif

namespace rekal::cli {

namespace {

bool readBytesLine(std::FILE* in, std::string& line) {
    line.clear();
    char buffer[1024];
    bool any = false;
    while (std::fgets(buffer, sizeof buffer, in)) {
        any = true;
        line += buffer;
        if (!line.empty() && line.back() == '\n') break;
    }
    return any;
}

#ifdef _WIN32
struct ConsoleStream {
    HANDLE handle = nullptr;
    TextPath path = TextPath::Utf8Bytes;
    Utf8ToConsole pending;
};

TextPath pathOfHandle(HANDLE handle) {
    const bool valid = handle != nullptr && handle != INVALID_HANDLE_VALUE;
    DWORD mode = 0;
    return textPathFor(valid, valid && GetFileType(handle) == FILE_TYPE_CHAR,
                       valid && GetConsoleMode(handle, &mode) != 0);
}

// The console behind a standard stream, or null when the stream takes bytes.
ConsoleStream* consoleOf(std::FILE* stream) {
    static ConsoleStream streams[3] = {};
    static bool known = false;
    if (!known) {
        const DWORD ids[3] = {STD_INPUT_HANDLE, STD_OUTPUT_HANDLE, STD_ERROR_HANDLE};
        for (int i = 0; i < 3; ++i) {
            streams[i].handle = GetStdHandle(ids[i]);
            streams[i].path = pathOfHandle(streams[i].handle);
        }
        known = true;
    }
    const int i = stream == stdin ? 0 : stream == stdout ? 1 : stream == stderr ? 2 : -1;
    return i >= 0 && streams[i].path == TextPath::ConsoleWide ? &streams[i] : nullptr;
}

void writeConsole(ConsoleStream& console, std::string_view utf8) {
    const std::u16string wide = console.pending.convert(utf8);
    for (std::size_t done = 0; done < wide.size();) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 8192));
        if (!WriteConsoleW(console.handle, reinterpret_cast<const wchar_t*>(wide.data() + done), chunk,
                           &written, nullptr) ||
            written == 0)
            return;
        done += written;
    }
}

bool readConsoleLine(ConsoleStream& console, std::string& line) {
    std::u16string typed;
    wchar_t buffer[512];
    for (;;) {
        DWORD read = 0;
        if (!ReadConsoleW(console.handle, buffer, static_cast<DWORD>(std::size(buffer)), &read, nullptr) ||
            read == 0)
            break;
        typed.append(reinterpret_cast<const char16_t*>(buffer), read);
        if (typed.back() == u'\n') break;
    }
    line = consoleInputToUtf8(typed);
    return !typed.empty() && !isConsoleEndOfInput(line);
}
#endif

} // namespace

void writeTerminal(std::FILE* stream, std::string_view utf8) {
#ifdef _WIN32
    if (ConsoleStream* console = consoleOf(stream)) {
        writeConsole(*console, utf8);
        return;
    }
#endif
    std::fwrite(utf8.data(), 1, utf8.size(), stream);
    if (stream == stderr) std::fflush(stream);
}

bool readTerminalLine(std::FILE* in, std::string& line) {
    bool any;
#ifdef _WIN32
    if (ConsoleStream* console = consoleOf(in)) {
        std::fflush(stdout);
        any = readConsoleLine(*console, line);
    } else {
        any = readBytesLine(in, line);
    }
#else
    any = readBytesLine(in, line);
#endif
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.pop_back();
    return any;
}

} // namespace rekal::cli
