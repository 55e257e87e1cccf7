#pragma once
// Terminal text of rekal-cli on Windows. A console is written and read in UTF-16 (WriteConsoleW,
// ReadConsoleW), whatever its code page, so Japanese text shows and is typed correctly in a
// default code page 932 console; pipes and files carry UTF-8 bytes, as on every other platform.
// The pieces here are portable; the calls to the console are in terminal.cpp.

#include <cstddef>
#include <string>
#include <string_view>

namespace rekal::cli {

enum class TextPath {
    Utf8Bytes,   // bytes as they are: pipes, files, the NUL device, no handle at all
    ConsoleWide, // UTF-16 through the console functions
};

// The path for one standard handle. A console is a character device whose console mode can be
// read; other character devices (NUL, a serial port) take bytes.
TextPath textPathFor(bool handleValid, bool characterDevice, bool consoleModeReadable);

// UTF-8 written in pieces, turned into UTF-16 for the console. A character split between two
// pieces is held back until its last byte comes; bytes that form no character become U+FFFD.
class Utf8ToConsole {
  public:
    std::u16string convert(std::string_view piece);
    // What is still held back at the end of the output, as U+FFFD (empty when nothing is).
    std::u16string finish();

  private:
    std::string pending_;
};

// UTF-16 typed into the console, as UTF-8: a surrogate pair becomes one character, an unpaired
// surrogate U+FFFD; the console's CR LF becomes LF.
std::string consoleInputToUtf8(std::u16string_view typed);

// True when a line read from the console is the end of input: Ctrl+Z typed at its start.
bool isConsoleEndOfInput(std::string_view line);

} // namespace rekal::cli
