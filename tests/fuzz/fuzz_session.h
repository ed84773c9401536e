// One whole interpreter run on arbitrary bytes, inside the calling process: the run the fuzz
// target and the corpus replay share. Every call starts from the start state
// (reset_interpreter_state) with a step budget, reads the bytes as standard input, writes
// to a sink of bounded size instead of standard output, never waits for a key, and
// releases everything before it returns. After a run that was not cut short it checks what
// every run must satisfy, and aborts (a finding) when one fails:
//   - the output starts with the banner;
//   - status 0 ends the output with " ok" and a newline (or the banner alone: no line);
//   - status 1 ends it with "ERROR: " and a one-line message;
//   - the teardown has released the data stack and the dictionary.
// Tests: unit/fuzz_session_test.cpp; the corpus replay (tests/fuzz/CMakeLists.txt).
#pragma once
#include <cstdint>
#include <string_view>

// Sub entries, loop passes, definitions and SPACES blocks a fuzzed run may take. A step
// costs at most about a source buffer of work; the dictionary can grow by one entry per
// step, and every lookup walks it, so the worst run costs about budget^2 * 300 entry
// comparisons: this keeps it well under a second in the sanitizer build.
inline constexpr std::uint64_t fuzz_step_limit = 2000;

// How the bytes reach the line reader. The program reads a descriptor, a chunk of up to
// 4 KB per read, and a line may straddle chunks anywhere; the memory reader sees one chunk.
enum class FUZZ_FEED {
    memory,            // LINE_READER over the bytes themselves
    split_descriptor,  // LINE_READER over a socket that delivers the bytes in small pieces
};

struct FUZZ_RUN {
    int status;              // what run_session returned; -1 when the budget ran out
    bool step_limited;       // the run was cut short by the step budget
    std::uint64_t bytes;     // everything the run wrote, banner included
    std::uint64_t checksum;  // of everything the run wrote
};

FUZZ_RUN run_fuzz_session(std::string_view input, std::uint64_t step_limit = fuzz_step_limit,
                          FUZZ_FEED feed = FUZZ_FEED::memory);

// What the fuzz target does with one input: a run from memory, then the same bytes through a
// descriptor in pieces whose sizes depend on the bytes; the two runs must agree exactly.
void fuzz_one_input(std::string_view input);
