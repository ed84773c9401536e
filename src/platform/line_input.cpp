// The line reader; see line_input.h. Tests: unit/line_input_test.cpp, transcripts/source/.
#include "platform/line_input.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <unistd.h>

LINE_READER::LINE_READER(int descriptor) : fd{descriptor}, next{chunk}, end{chunk}, chunk{} {}

LINE_READER::LINE_READER(std::string_view bytes)
    : fd{-1}, next{bytes.data()}, end{bytes.data() + bytes.size()}, chunk{}
{
}

bool LINE_READER::refill()
{
    if (fd < 0) return false;
    ssize_t count;
    for (;;) {
        count = ::read(fd, chunk, sizeof chunk);
        if (count >= 0 || (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK)) break;
        // A descriptor left non-blocking by whoever started us has no data yet: that is
        // neither the end nor a failure, so wait for it.
        if (errno != EINTR) {
            pollfd ready{fd, POLLIN, 0};
            (void)::poll(&ready, 1, -1);
        }
    }
    if (count < 0) error_number = errno;
    if (count <= 0) return false;
    next = chunk;
    end = chunk + count;
    return true;
}

LINE_STATUS LINE_READER::read_line(char* dest, std::size_t room, std::size_t& length)
{
    length = 0;
    bool started = false;   // some byte of a line (or its newline) has been consumed
    bool complete = false;  // the line's first NUL has been seen: the rest is ignored
    bool overflow = false;
    for (;;) {
        if (next == end && !refill()) {
            if (error_number != 0) return LINE_STATUS::failed;
            if (!started) return LINE_STATUS::end;
            return overflow ? LINE_STATUS::too_long : LINE_STATUS::line;
        }
        started = true;
        const auto available = static_cast<std::size_t>(end - next);
        const auto* newline = static_cast<const char*>(std::memchr(next, '\n', available));
        const char* const stop = newline != nullptr ? newline : end;
        if (!complete && !overflow) {
            const auto span = static_cast<std::size_t>(stop - next);
            const auto* nul = static_cast<const char*>(std::memchr(next, '\0', span));
            const auto take = nul != nullptr ? static_cast<std::size_t>(nul - next) : span;
            if (take > room - length) {
                overflow = true;
            } else {
                std::memcpy(dest + length, next, take);
                length += take;
                complete = nul != nullptr;
            }
        }
        if (newline != nullptr) {
            next = newline + 1;
            return overflow ? LINE_STATUS::too_long : LINE_STATUS::line;
        }
        next = end;
    }
}
