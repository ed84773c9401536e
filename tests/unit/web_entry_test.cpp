// The web build's entry (web/web_entry.cpp), built natively so that it also runs under the
// sanitizers: whole runs, the line-at-a-time calls and what they refuse, and output handed
// over in pieces of at most one 4096-byte chunk, one at every flush. The same entry in the
// browser: tests/web/.
#include <cstddef>
#include <gtest/gtest.h>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "main/repl.h"
#include "support/run_forth.h"
#include "web_entry.h"

using namespace std::string_view_literals;

static std::vector<std::string> pieces;  // every piece the entry handed over, in order

extern "C" void forth_web_output(const char* bytes, std::size_t size) { pieces.emplace_back(bytes, size); }

static std::string output_so_far()
{
    std::string output;
    for (const std::string& piece : pieces) output += piece;
    pieces.clear();
    return output;
}

// The entry takes std::cout's buffer for its own; each test gives it back.
class WebEntry : public testing::Test {
protected:
    void SetUp() override
    {
        pieces.clear();
        saved = std::cout.rdbuf();
    }
    void TearDown() override
    {
        std::cout.rdbuf(saved);
        reset_interpreter_state();
    }
    std::streambuf* saved = nullptr;
};

TEST_F(WebEntry, RunGivesTheBytesAndStatusOfTheConsoleProgram)
{
    const struct { std::string_view input, expected; int status; } cases[] = {
        {"2 3 + .\n", "5  ok\n", 0},
        {"5 .", "5  ok\n", 0},                             // a last line without its newline
        {"", "", 0},
        {"1 . QUIT 2 .\n3 .\n", "1 2  ok\n", 0},
        {"1 0 /\n2 .\n", "ERROR: Division by zero\n", 1},  // nothing runs after an error
        {"1 .\0 JUNK\n2 .\n"sv, "1  ok\n2  ok\n", 0},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(forth_run(c.input.data(), c.input.size()), c.status) << "input: " << c.input;
        EXPECT_EQ(output_so_far(), std::string{banner} + std::string{c.expected}) << "input: " << c.input;
    }
}

// Each call in turn, with what it returns and writes.
TEST_F(WebEntry, LineAtATimeSaysWhenTheRunHasEnded)
{
    enum CALL { start, line, end };
    const struct { CALL call; std::string_view bytes; int result; std::string_view output; } steps[] = {
        {line, "1 .\n", forth_no_run, ""},
        {end, "", forth_no_run, ""},
        {start, "", forth_running, banner},
        {line, "3 0 DO I \n", forth_running, " ok\n"},
        {line, "LOOP . . .\n", forth_running, "2 1 0  ok\n"},
        {line, "\n", forth_running, " ok\n"},
        {line, "4 .\n5 .\n", forth_running, "4  ok\n"},  // one line per call: the rest is ignored
        {line, "6 .", forth_running, "6  ok\n"},
        {line, "I\n", 1, "ERROR: Stack underflow\n"},
        {line, "7 .\n", forth_no_run, ""},
        {start, "", forth_running, banner},
        {line, "QUIT\n", 0, " ok\n"},
        {start, "", forth_running, banner},
        {line, "", 0, ""},  // no bytes: the end of the input
        {start, "", forth_running, banner},
        {end, "", 0, ""},
        {end, "", forth_no_run, ""},
    };
    int number = 0;
    for (const auto& step : steps) {
        ++number;
        const int result = step.call == start ? forth_start()
                           : step.call == line ? forth_line(step.bytes.data(), step.bytes.size())
                                               : forth_end();
        EXPECT_EQ(result, step.result) << "step " << number;
        EXPECT_EQ(output_so_far(), step.output) << "step " << number;
    }
}

TEST_F(WebEntry, RunEndsASessionStillOpen)
{
    ASSERT_EQ(forth_start(), forth_running);
    constexpr std::string_view defining = ": SQ DUP * ;\n";
    ASSERT_EQ(forth_line(defining.data(), defining.size()), forth_running);
    constexpr std::string_view program = "3 SQ .\n";
    EXPECT_EQ(forth_run(program.data(), program.size()), 1);  // a fresh run: SQ is unknown
    EXPECT_EQ(forth_line(program.data(), program.size()), forth_no_run);
}

TEST_F(WebEntry, OutputComesAtEveryFlushInPiecesOfAtMostAChunk)
{
    constexpr std::string_view program = "1 . CR 2 .\n5000 SPACES 3 .\n";
    ASSERT_EQ(forth_run(program.data(), program.size()), 0);
    const std::vector<std::string> expected = {
        "FORTH-Interpreter Version 1.0\n", "Type QUIT to leave. Any error ends the run.\n", "\n",
        "1 \n", "2  ok\n", std::string(4096, ' '), std::string(904, ' ') + "3  ok\n"};
    EXPECT_EQ(pieces, expected);
}
