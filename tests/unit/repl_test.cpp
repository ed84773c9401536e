// The read-eval loop seen from inside: how lines land in source_buffer (back to back, one
// NUL after them, input_pos on that NUL), the 1023-character bound and the refusal that
// leaves the stored text alone, and reset_interpreter_state, on which every in-process
// test and the fuzzer rely.
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <unistd.h>

#include "dict/dictionary.h"
#include "interp/source.h"
#include "main/repl.h"
#include "platform/line_input.h"
#include "stack/stack.h"
#include "support/memory_file.h"
#include "support/run_forth.h"
#include "support/session.h"

using namespace std::string_literals;

static std::string stored_text() { return std::string{source_buffer, input_pos}; }

// The stored text, its terminator, and nothing but zeros after it (no line was refused).
static void expect_buffer(std::string_view text)
{
    EXPECT_EQ(stored_text(), text);
    ASSERT_LT(text.size(), source_buffer_size);
    EXPECT_EQ(input_pos, source_buffer + text.size());
    EXPECT_TRUE(std::all_of(source_buffer + text.size(), source_buffer + source_buffer_size, [](char c) { return c == '\0'; }))
        << "bytes after the terminator";
}

TEST(SourceBuffer, KeepsEveryLineBackToBack)
{
    const SESSION_RESULT run = run_in_process("1 2\n: SQ DUP * ;\n\n   \n3 SQ .\n");
    EXPECT_EQ(run.out, std::string{banner} + " ok\n ok\n ok\n ok\n9  ok\n");
    EXPECT_EQ(run.status, 0);
    expect_buffer("1 2: SQ DUP * ;   3 SQ .");
}

TEST(SourceBuffer, EmptyLineLeavesInputPos)
{
    const SESSION_RESULT run = run_in_process("\n\n\n");
    EXPECT_EQ(run.out, std::string{banner} + " ok\n ok\n ok\n");
    expect_buffer("");
}

TEST(SourceBuffer, NulEndsTheLineAndTheNextLineGoesOverTheRest)
{
    const SESSION_RESULT run = run_in_process("1 .\0 JUNK\n2 .\n\0\n"s);
    EXPECT_EQ(run.out, std::string{banner} + "1  ok\n2  ok\n ok\n");
    expect_buffer("1 .2 .");
}

TEST(SourceBuffer, LastLineWithoutNewlineIsStored)
{
    const SESSION_RESULT run = run_in_process("1 .\n2 .");
    EXPECT_EQ(run.out, std::string{banner} + "1  ok\n2  ok\n");
    EXPECT_EQ(run.status, 0);
    expect_buffer("1 .2 .");
}

// Three lines of 500, 500 and 23 characters: 1023 in all.
static const std::string line_a = "1 ." + std::string(497, ' ');
static const std::string line_b = "2 ." + std::string(497, ' ');
static const std::string line_c = "3 ." + std::string(20, ' ');

TEST(SourceBuffer, HoldsExactly1023Characters)
{
    const SESSION_RESULT run = run_in_process(line_a + "\n" + line_b + "\n" + line_c + "\n\n\0 more\n"s);
    EXPECT_EQ(run.out, std::string{banner} + "1  ok\n2  ok\n3  ok\n ok\n ok\n");  // empty lines still fit
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(input_pos, source_buffer + 1023);
    EXPECT_EQ(stored_text(), line_a + line_b + line_c);
    EXPECT_EQ(source_buffer[1023], '\0');
}

TEST(SourceBuffer, OneCharacterMoreIsRefusedAndLeavesTheTextAlone)
{
    const SESSION_RESULT run = run_in_process(line_a + "\n" + line_b + "\n" + line_c + "\n4\n5 .\n");
    EXPECT_EQ(run.out, std::string{banner} + "1  ok\n2  ok\n3  ok\nERROR: Source buffer full\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(input_pos, source_buffer + 1023);
    EXPECT_EQ(stored_text(), line_a + line_b + line_c);
    EXPECT_EQ(source_buffer[1023], '\0');
}

TEST(SourceBuffer, SingleLineOf1024IsRefusedBeforeItRuns)
{
    const SESSION_RESULT fits = run_in_process("1 ." + std::string(1020, ' ') + "\n");
    EXPECT_EQ(fits.out, std::string{banner} + "1  ok\n");
    const SESSION_RESULT refused = run_in_process("1 ." + std::string(1021, ' ') + "\n");
    EXPECT_EQ(refused.out, std::string{banner} + "ERROR: Source buffer full\n");
    EXPECT_EQ(refused.status, 1);
    expect_buffer("");
}

TEST(SourceBuffer, LineThatDoesNotFitAfterOthersChangesNothingStored)
{
    const SESSION_RESULT run = run_in_process(": SQ DUP * ;\n3 SQ .\n" + std::string(1100, 'X') + "\n3 SQ .\n");
    EXPECT_EQ(run.out, std::string{banner} + " ok\n9  ok\nERROR: Source buffer full\n");
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(stored_text(), ": SQ DUP * ;3 SQ .");
    EXPECT_EQ(*input_pos, '\0');
}

TEST(SourceBuffer, RefusedLineReadInPiecesLeavesTheTerminator)
{
    // The first line ends 11 bytes before the reader's first 4096-byte chunk does, so the
    // start of the long second line is stored before the rest is found not to fit.
    const std::string first = "1 .\0"s + std::string(4080, 'J') + "\n";
    ASSERT_EQ(first.size(), 4096u - 11u);
    const int fd = descriptor_with(first + std::string(1500, 'A') + "\n2 .\n");
    reset_interpreter_state();
    LINE_READER reader{fd};
    const SESSION_RESULT run = run_on_current_state(reader);
    ::close(fd);
    EXPECT_EQ(run.out, std::string{banner} + "1  ok\nERROR: Source buffer full\n");
    EXPECT_EQ(stored_text(), "1 .");
    EXPECT_EQ(source_buffer[3], '\0');
    reset_interpreter_state();
}

// A read of standard input that fails is not the end of the program: the lines read before
// it have run as usual, the line it cut short does not run, nothing more is written to
// standard output, one line on standard error names the failure, and the status is 1.
TEST(ReadError, EndsTheRunWithStatus1AndSaysWhy)
{
    const int closed = -1;
    const struct {
        const char* what;
        int in;
        std::string out;  // after the banner
        std::string reason;
    } cases[] = {
        {"a directory", ::open(".", O_RDONLY | O_DIRECTORY | O_CLOEXEC), "", "Is a directory"},
        {"a closed descriptor", closed, "", "Bad file descriptor"},
        {"a connection reset after two lines and a part", descriptor_failing_after(": SQ DUP * ;\n3 SQ .\n4 SQ ."),
         " ok\n9  ok\n", "Connection reset by peer"},
    };
    for (const auto& c : cases) {
        const RUN_RESULT run = run_forth_on(c.in, {});
        EXPECT_EQ(run.out, std::string{banner} + c.out) << c.what;
        EXPECT_EQ(run.err, "forth: cannot read standard input: " + c.reason + "\n") << c.what;
        EXPECT_EQ(run.status, 1) << c.what;
    }
}

TEST(ResetInterpreterState, RestoresTheStartState)
{
    // Leaves a loop record and a sub-call record on the call stack, subs in the
    // dictionary, text in the buffer and the quit flag set.
    const SESSION_RESULT first = run_in_process(": SQ DUP * ;\nQUIT 5 0 DO : Y : Z ; Y\n");
    EXPECT_EQ(first.out, std::string{banner} + " ok\n ok\n");
    ASSERT_EQ(quit_flag, 1);
    ASSERT_EQ(call_stack.top, call_stack.size - 2);

    reset_interpreter_state();
    EXPECT_EQ(quit_flag, 0);
    EXPECT_EQ(call_stack.top, call_stack.size);
    EXPECT_EQ(call_stack.size, call_stack_entries);
    EXPECT_EQ(data_stack, nullptr);
    EXPECT_EQ(dictionary, nullptr);
    EXPECT_EQ(line_start, nullptr);
    EXPECT_EQ(line_end, nullptr);
    EXPECT_EQ(scan_pos, nullptr);
    EXPECT_EQ(token_start, nullptr);
    EXPECT_EQ(token_end, nullptr);
    expect_buffer("");

    // A second run on that state behaves as a fresh process: every line runs (no quit
    // flag), the old subs are gone and the call stack is empty.
    LINE_READER reader{"1 .\n2 . 7 SQ\n"};
    const SESSION_RESULT second = run_on_current_state(reader);
    EXPECT_EQ(second.out, std::string{banner} + "1  ok\n2 ERROR: Word <SQ> not found in dictionary\n");
    EXPECT_EQ(second.status, 1);

    reset_interpreter_state();
    LINE_READER underflow{"I\n"};
    EXPECT_EQ(run_on_current_state(underflow).out, std::string{banner} + "ERROR: Stack underflow\n");

    reset_interpreter_state();
    LINE_READER redefine{": DUP 1 ; : X 2 ; X DUP . .\n"};
    EXPECT_EQ(run_on_current_state(redefine).out, std::string{banner} + "Name NOT UNIQUE\n1 2  ok\n");
    reset_interpreter_state();
}
