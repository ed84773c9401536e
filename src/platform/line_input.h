// LINE_READER: the line input. Reads standard input (or, for tests and the fuzzer, bytes
// in memory) through a buffer of its own and hands out one line at a time into storage the
// caller bounds. Invariant: read_line never writes more than `room` bytes, however long
// the physical line, and never holds more than one chunk of it. Tests: unit/line_input_test.cpp.
#pragma once
#include <cstddef>
#include <string_view>

enum class LINE_STATUS {
    line,      // a line was stored (a last line without newline counts)
    too_long,  // the line did not fit; it has been consumed all the same
    end,       // no line: end of input or a read error
};

class LINE_READER {
public:
    explicit LINE_READER(int fd);                  // reads the descriptor as needed
    explicit LINE_READER(std::string_view bytes);  // reads these bytes, then ends
    LINE_READER(const LINE_READER&) = delete;      // holds a position in its own chunk
    LINE_READER& operator=(const LINE_READER&) = delete;

    // Consumes one line and its newline. Stores the line's bytes up to its first NUL (the
    // line's length ends there) at dest, and sets length; at most room bytes are written,
    // and no terminator. A line longer than room gives too_long.
    LINE_STATUS read_line(char* dest, std::size_t room, std::size_t& length);

private:
    bool refill();  // false at end of input or on a read error

    int fd;               // -1 for a reader over memory
    const char* next;     // unread bytes: next..end
    const char* end;
    char chunk[4096];
};
