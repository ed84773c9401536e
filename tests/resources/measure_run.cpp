// Runs a program the way a script does (a new session: no controlling terminal) with this
// process's standard input and output, and reports what the run cost on standard error:
//     status=S peak_kb=P write_calls=W
// peak_kb is the child's ru_maxrss. Linux counts in it the memory of the process the child
// was before its exec, so the child must come from a small process like this one, not from
// a test driver holding megabytes of test data. write_calls is syscw from /proc/<pid>/io,
// read while the exited child is kept as a zombie (waitid with WNOWAIT), before it is
// reaped. Used by resources_test.py. Usage: measure_run PROGRAM [ARGUMENTS...]
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

static long write_calls_of(pid_t child)
{
    char path[64];
    (void)std::snprintf(path, sizeof path, "/proc/%d/io", static_cast<int>(child));
    FILE* const io = std::fopen(path, "r");
    if (io == nullptr) return -1;
    long calls = -1;
    char line[128];
    static constexpr char field[] = "syscw:";
    while (std::fgets(line, sizeof line, io) != nullptr) {
        if (std::strncmp(line, field, sizeof field - 1) == 0) {
            calls = std::strtol(line + sizeof field - 1, nullptr, 10);
            break;
        }
    }
    (void)std::fclose(io);
    return calls;
}

int main(int argc, char** argv)
{
    if (argc < 2) {
        (void)std::fputs("usage: measure_run PROGRAM [ARGUMENTS...]\n", stderr);
        return 2;
    }
    const pid_t child = ::fork();
    if (child < 0) return 2;
    if (child == 0) {
        ::setsid();
        const int null = ::open("/dev/null", O_WRONLY);
        ::dup2(null, STDERR_FILENO);
        ::execv(argv[1], argv + 1);
        ::_exit(127);
    }
    siginfo_t info{};
    while (::waitid(P_PID, static_cast<id_t>(child), &info, WEXITED | WNOWAIT) < 0 && errno == EINTR) {
    }
    const long calls = write_calls_of(child);
    int status = 0;
    rusage usage{};
    while (::wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
    }
    const int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    (void)std::fprintf(stderr, "status=%d peak_kb=%ld write_calls=%ld\n", code, usage.ru_maxrss, calls);
    return 0;
}
