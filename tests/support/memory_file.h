// Descriptors for tests of code that reads one (the line reader reads it in chunks, as it
// reads a pipe): an anonymous in-memory file holding given bytes, positioned at its start;
// and a socket that hands out given bytes and then fails.
#pragma once
#include <cerrno>
#include <stdexcept>
#include <string_view>
#include <sys/mman.h>
#include <sys/socket.h>
#include <unistd.h>

inline int descriptor_with(std::string_view bytes)
{
    const int fd = ::memfd_create("forth-test-input", MFD_CLOEXEC);
    if (fd < 0) throw std::runtime_error{"memfd_create failed"};
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw std::runtime_error{"cannot write the test input"};
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

// A socket whose reads return the bytes and then fail with ECONNRESET: its peer went away
// with data of its own still unread. All is queued before it is returned.
inline int descriptor_failing_after(std::string_view bytes)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) throw std::runtime_error{"socketpair failed"};
    const char unread = 'x';
    if (::write(ends[0], bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size()) ||
        ::write(ends[1], &unread, 1) != 1)
        throw std::runtime_error{"cannot write the test input"};
    ::close(ends[0]);
    return ends[1];
}
