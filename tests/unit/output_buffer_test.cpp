// The output words write into std::cout's buffer directly. Once a write has failed they must
// stop, as the stream's own writes do: std::filebuf leaves the failed byte past the end of
// its put area, and every further byte would land beyond its buffer.
#include <gtest/gtest.h>

#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "main/repl.h"
#include "stack/stack.h"
#include "words/output.h"

namespace {

// A run of the words on a real file buffer over /dev/full, where every write fails.
class FailingOutput : public testing::Test {
protected:
    void SetUp() override
    {
        reset_interpreter_state();
        data_stack = new STACK<double>{data_stack_cells};
        ASSERT_NE(full.open("/dev/full", std::ios::out), nullptr);
        saved = std::cout.rdbuf(&full);
    }
    void TearDown() override
    {
        std::cout.rdbuf(saved);  // also clears the stream's state
        reset_interpreter_state();
    }
    std::filebuf full;
    std::streambuf* saved = nullptr;
};

}  // namespace

// Far more than one buffer's worth, so that writes fail again and again.
TEST_F(FailingOutput, DotStopsWritingAndTheStreamGoesBad)
{
    for (int i = 0; i < 100000; ++i) {
        data_stack->push(i);
        word_dot();
    }
    EXPECT_TRUE(std::cout.bad());
}

TEST_F(FailingOutput, EmitAndSpaceStopWritingAndTheStreamGoesBad)
{
    for (int i = 0; i < 100000; ++i) {
        data_stack->push(65);
        word_emit();
        word_space();
    }
    EXPECT_TRUE(std::cout.bad());
}

// With a stream that works, the same words write exactly their bytes.
TEST(OutputBuffer, WordsWriteTheirBytesIntoTheStream)
{
    reset_interpreter_state();
    data_stack = new STACK<double>{data_stack_cells};
    std::ostringstream captured;
    std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
    for (const double x : {5.0, -2.0, 0.5, 1234567.0}) {
        data_stack->push(x);
        word_dot();
    }
    data_stack->push(321);
    word_emit();
    word_space();
    std::cout.rdbuf(saved);
    reset_interpreter_state();
    EXPECT_EQ(captured.str(), "5 -2 0.5 1.23457e+06 A ");
}
