// Runs the real forth binary the way a script does: the input on standard input, no
// controlling terminal (a new session, so the key wait after an error never blocks), and
// standard output and standard error captured. Shared by the transcript tests.
#pragma once
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

struct RUN_RESULT {
    std::string out;        // standard output, exactly as written
    std::string err;        // standard error; the interpreter never writes there
    int status = -1;        // exit status, or 128 + signal number
    bool timed_out = false; // killed after the time limit
};

RUN_RESULT run_forth(std::string_view input, std::chrono::milliseconds limit = std::chrono::seconds{10});

// The same with the arguments given, on standard input from the descriptor `in` (which it
// closes), or with standard input closed when `in` is negative.
RUN_RESULT run_forth_on(int in, const std::vector<std::string>& arguments,
                        std::chrono::milliseconds limit = std::chrono::seconds{10});

// The three banner lines every run starts with.
inline constexpr std::string_view banner =
    "FORTH-Interpreter Version 1.0\nType QUIT to leave. Any error ends the run.\n\n";
