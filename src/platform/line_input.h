// LINE_SOURCE: where the read-eval loop takes its lines from, chosen once at start-up: the
// plain reader below, or the line editor at a console (line_editor.h). LINE_READER: the
// plain reader. Reads standard input (or, for tests, the fuzzer and the web page, bytes in
// memory) through a buffer of its own and hands out one line at a time into storage the
// caller bounds. Invariant: read_line never writes more than `room` bytes, however long the
// physical line, and never holds more than one chunk of it. Tests: unit/line_input_test.cpp.
#pragma once
#include <cstddef>
#include <string_view>

enum class LINE_STATUS {
    line,      // a line was stored (a last line without newline counts)
    too_long,  // the line did not fit; it has been consumed all the same
    end,       // no line: the end of the input
    failed,    // no line: reading failed (read_error() tells why); a line cut short by the
               // failure is not handed out, so a truncated program never runs its last line
};

class LINE_SOURCE {
public:
    LINE_SOURCE() = default;
    virtual ~LINE_SOURCE() = default;
    LINE_SOURCE(const LINE_SOURCE&) = delete;  // both kinds hold a position in their input
    LINE_SOURCE& operator=(const LINE_SOURCE&) = delete;

    // Consumes one line and its newline. Stores the line's bytes up to its first NUL (the
    // line's length ends there) at dest, and sets length; at most room bytes are written,
    // and no terminator. A line longer than room gives too_long.
    virtual LINE_STATUS read_line(char* dest, std::size_t room, std::size_t& length) = 0;

    int read_error() const { return error_number; }  // the errno of the failure, after failed

protected:
    int error_number = 0;
};

class LINE_READER final : public LINE_SOURCE {
public:
    explicit LINE_READER(int fd);                  // reads the descriptor as needed
    explicit LINE_READER(std::string_view bytes);  // reads these bytes, then ends

    LINE_STATUS read_line(char* dest, std::size_t room, std::size_t& length) override;

private:
    bool refill();  // false at end of input, or on a read error (error_number set)

    int fd;               // -1 for a reader over memory
    const char* next;     // unread bytes: next..end
    const char* end;
    char chunk[4096];
};
