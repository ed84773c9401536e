// An anonymous in-memory file holding given bytes, positioned at its start: a descriptor
// for tests of code that reads one (the line reader reads it in chunks, as it reads a pipe).
#pragma once
#include <cerrno>
#include <stdexcept>
#include <string_view>
#include <sys/mman.h>
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
