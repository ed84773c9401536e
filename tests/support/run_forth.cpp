// See run_forth.h.
#include "support/run_forth.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <iterator>
#include <poll.h>
#include <stdexcept>
#include <sys/wait.h>
#include <unistd.h>

#include "support/memory_file.h"

#ifndef FORTH_COMMAND
#error "FORTH_COMMAND must give the command line of the interpreter under test"
#endif

// The binary's path, behind the emulator's command when it was cross-compiled.
static const char* const forth_command[] = {FORTH_COMMAND, nullptr};

RUN_RESULT run_forth(std::string_view input, std::chrono::milliseconds limit)
{
    // The input goes through an anonymous file, so the child reads it at its own pace and
    // the parent only has to drain the two output pipes.
    return run_forth_on(descriptor_with(input), {}, limit);
}

RUN_RESULT run_forth_on(int in, const std::vector<std::string>& arguments, std::chrono::milliseconds limit)
{
    std::vector<std::string> words{std::begin(forth_command), std::end(forth_command) - 1};  // execv wants
    words.insert(words.end(), arguments.begin(), arguments.end());                        // them writable
    std::vector<char*> argv(words.size() + 1, nullptr);
    std::transform(words.begin(), words.end(), argv.begin(), [](std::string& word) { return word.data(); });
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error{"cannot set up the child's streams"};

    const pid_t child = ::fork();
    if (child < 0) throw std::runtime_error{"fork failed"};
    if (child == 0) {
        ::setsid();  // no controlling terminal from here on
        if (in >= 0) {
            ::dup2(in, STDIN_FILENO);
        } else {
            ::close(STDIN_FILENO);
        }
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
    if (in >= 0) ::close(in);
    ::close(out[1]);
    ::close(err[1]);

    RUN_RESULT result;
    const auto deadline = std::chrono::steady_clock::now() + limit;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    int open_pipes = 2;
    while (open_pipes > 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timed_out = true;
            ::kill(child, SIGKILL);
            break;
        }
        if (::poll(fds, 2, static_cast<int>(left.count())) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char chunk[65536];
            const ssize_t n = ::read(fds[i].fd, chunk, sizeof chunk);
            if (n > 0) {
                sinks[i]->append(chunk, static_cast<std::size_t>(n));
            } else if (n == 0 || errno != EINTR) {
                ::close(fds[i].fd);
                fds[i].fd = -1;
                --open_pipes;
            }
        }
    }
    for (auto& fd : fds)
        if (fd.fd >= 0) ::close(fd.fd);
    int wait_status = 0;
    while (::waitpid(child, &wait_status, 0) < 0 && errno == EINTR) {
    }
    result.status = WIFEXITED(wait_status) ? WEXITSTATUS(wait_status) : 128 + WTERMSIG(wait_status);
    return result;
}
