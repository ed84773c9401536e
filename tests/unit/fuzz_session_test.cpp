// The step budget and the restartable in-process run that the fuzzer relies on: steps are
// counted exactly where work can repeat, running out is not an ERROR, and a run that ended
// in any way (cut short included) leaves nothing behind for the next one.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_session.h"
#include "interp/step_budget.h"
#include "main/repl.h"
#include "platform/line_input.h"
#include "support/session.h"

// Each program takes exactly `steps` steps: it completes with that budget and is cut short
// with one step less.
const struct { const char* input; std::uint64_t steps; } step_cases[] = {
    {"1 2 + . CR\n", 0},                 // straight-line text is paid for by its input
    {"1 0 DO LOOP\n", 0},                // a single pass never jumps back
    {"10 0 DO LOOP\n", 9},               // one step per jump back
    {"5 0 DO 1 +LOOP\n", 4},
    {"3 0 DO 2 0 DO LOOP LOOP\n", 5},    // inner 1 + 1 + 1, outer 2
    {": A ; A A A\n", 4},                // a definition and three entries
    {": A ; : B A A ; B B\n", 8},        // fan-out: 2 definitions, 2 + 4 entries
    {"0 SPACES 64 SPACES 130 SPACES\n", 4},  // a step per block of up to 64 blanks
    {"4 0 DO : X ; LOOP\n", 7},          // a definition on every pass, 3 jumps back
};

TEST(StepBudget, CountsEveryRepetitionExactly)
{
    for (const auto& c : step_cases) {
        const FUZZ_RUN enough = run_fuzz_session(c.input, c.steps);
        EXPECT_FALSE(enough.step_limited) << "input: " << c.input;
        EXPECT_EQ(enough.status, 0) << "input: " << c.input;
        if (c.steps > 0) {
            const FUZZ_RUN short_of_one = run_fuzz_session(c.input, c.steps - 1);
            EXPECT_TRUE(short_of_one.step_limited) << "input: " << c.input;
            EXPECT_EQ(short_of_one.status, -1) << "input: " << c.input;
        }
    }
}

// Loops that a normal run would take for ever on, and fan-out without any loop, all end.
TEST(StepBudget, CutsShortWhatWouldStall)
{
    const char* const stalls[] = {
        "1000000000 0 DO LOOP\n",
        "9007199254740992 0 DO LOOP\n",  // LOOP's + 1 no longer changes the index
        "1 0 DO 0.000000000001 +LOOP\n",  // a tiny step: 10^12 passes
        ": A ; : B A A A A A A A A ; : C B B B B B B B B ; : D C C C C C C C C ; : E D D D D D D D D ; E E E E\n",
        "1000000 0 DO 2147483647 SPACES LOOP\n",
        "1000000 0 DO : X ; : X ; : X ; : X ; LOOP\n",
    };
    for (const char* input : stalls) EXPECT_TRUE(run_fuzz_session(input).step_limited) << "input: " << input;
}

// Running out escapes the read-eval loop: no report, no key wait, no teardown (the caller's
// reset releases), so it can never be taken for the program's own error.
TEST(StepBudget, RunningOutIsNotAnError)
{
    reset_interpreter_state(3);
    std::ostringstream captured;
    std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
    LINE_READER reader{"1 2 .\n100 0 DO LOOP\n"};
    static bool waited = false;
    EXPECT_THROW(run_session(reader, [] { waited = true; }), STEP_LIMIT_REACHED);
    std::cout.rdbuf(saved);
    reset_interpreter_state();
    EXPECT_FALSE(waited);
    EXPECT_EQ(captured.str().find("ERROR"), std::string::npos) << captured.str();
    EXPECT_EQ(steps_left, unlimited_steps);
}

static std::string output_after_banner(std::string_view input)
{
    const std::string out = run_in_process(input).out;
    return out.substr(out.find("\n\n") + 2);
}

// Each probe sees one piece of state: the data stack, the call stack (I peeks at it), the
// dictionary, the source buffer's fill, and whether QUIT is still pending.
static std::string probe_state()
{
    std::string seen;
    for (const std::string& probe : {std::string{".\n"}, std::string{"I\n"}, std::string{"X\n"},
                                     std::string(1022, ' ') + ". \n", std::string(1022, ' ') + ".\n",
                                     std::string{"1 .\n2 .\n"}})
        seen += output_after_banner(probe) + "|";
    return seen;
}

TEST(FuzzSession, EveryEndingLeavesTheStartState)
{
    const std::string fresh = probe_state();
    EXPECT_EQ(fresh, "ERROR: Stack underflow\n|ERROR: Stack underflow\n|"
                     "ERROR: Word <X> not found in dictionary\n|ERROR: Source buffer full\n|"
                     "ERROR: Stack underflow\n|1  ok\n2  ok\n|");
    const struct { const char* input; std::uint64_t limit; } dirty_runs[] = {
        {"1 2 3 : X 1 ; : A_NAME_LONGER_THAN_ANY_SHORT_STRING 2 ; 5 0 DO 3 0 DO QUIT\n", fuzz_step_limit},
        {"1 2 : X 1 ; : S 7 0 DO X LOOP ; 9 0 DO S\n", fuzz_step_limit},   // end of input, loops open
        {"1 2 : X 1 ; : S 7 0 DO X LOOP ; 9 0 DO S 0 /\n", fuzz_step_limit},  // an ERROR inside
        {"1 2 : X 1 ; : S 7 0 DO X LOOP ; 9 0 DO S LOOP\n", 5},            // cut short by the budget
    };
    for (const auto& run : dirty_runs) {
        run_fuzz_session(run.input, run.limit);
        EXPECT_EQ(probe_state(), fresh) << "after: " << run.input;
    }
}

// The program reads a descriptor chunk by chunk; the split feed puts the chunk boundaries
// inside lines, NULs and newlines. Every input must run exactly as from memory.
static std::vector<std::string> inputs_across_chunks()
{
    const std::string nul_line{"1 .\0", 4};
    const std::string blanks(500, ' ');
    return {
        "1 2 + .\n3 4 * .\nQUIT\n",
        blanks + "1 .\n" + blanks + std::string(17, ' ') + "2 .\n",  // 1023 characters: fits
        blanks + "1 .\n" + blanks + std::string(18, ' ') + "2 .\n",  // 1024: "Source buffer full"
        nul_line + std::string(5000, 'x') + "\n2 .\n",              // a NUL, then a long rest
        std::string(3000, 'y') + "\n1 .\n",                         // too long, then a line
        "1 2\r\n. .\n\n\n3 .",                                      // no last newline
    };
}

TEST(FuzzSession, InputInPiecesRunsAsAWhole)
{
    for (const std::string& input : inputs_across_chunks()) {
        const FUZZ_RUN whole = run_fuzz_session(input);
        const FUZZ_RUN split = run_fuzz_session(input, fuzz_step_limit, FUZZ_FEED::split_descriptor);
        EXPECT_EQ(split.status, whole.status) << "input: " << input;
        EXPECT_EQ(split.bytes, whole.bytes) << "input: " << input;
        EXPECT_EQ(split.checksum, whole.checksum) << "input: " << input;
    }
}

TEST(FuzzSession, SameInputSameRun)
{
    const char* const input = ": S 3 0 DO I . LOOP ; S S CR 1 2 3 .\" x \" ROT . 0 /\n";
    const FUZZ_RUN first = run_fuzz_session(input);
    const FUZZ_RUN second = run_fuzz_session(input);
    EXPECT_EQ(first.status, 1);
    EXPECT_EQ(second.status, first.status);
    EXPECT_EQ(second.bytes, first.bytes);
    EXPECT_EQ(second.checksum, first.checksum);
    EXPECT_NE(run_fuzz_session("1 .\n").checksum, run_fuzz_session("2 .\n").checksum);
}
