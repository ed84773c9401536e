// STACK<T> bounds: a push succeeds while top > 0, a pop or peek while top < size, and a
// failing operation changes nothing. The call stack's capacity and its two kinds of record.
#include <gtest/gtest.h>

#include <string>

#include "interp/error.h"
#include "main/repl.h"
#include "stack/stack.h"
#include "support/session.h"

static std::string message_of(void (*action)(STACK<double>&), STACK<double>& stack)
{
    try {
        action(stack);
    } catch (const ERROR& error) {
        return error.message;
    }
    return "";
}

TEST(Stack, FillsFromTheHighEndDown)
{
    STACK<double> stack{3};
    EXPECT_EQ(stack.top, 3);
    stack.push(1.0);
    EXPECT_EQ(stack.top, 2);
    EXPECT_EQ(stack.items[2], 1.0);
    stack.push(2.0);
    EXPECT_EQ(stack.peek(), 2.0);
    EXPECT_EQ(stack.pop(), 2.0);
    EXPECT_EQ(stack.pop(), 1.0);
    EXPECT_EQ(stack.top, 3);
}

TEST(Stack, OverflowAtCapacityChangesNothing)
{
    STACK<double> stack{data_stack_cells};
    for (int i = 0; i < data_stack_cells; ++i) stack.push(i);
    EXPECT_EQ(stack.top, 0);
    EXPECT_EQ(message_of([](STACK<double>& s) { s.push(-1.0); }, stack), "Stack overflow");
    EXPECT_EQ(stack.top, 0);
    EXPECT_EQ(stack.peek(), data_stack_cells - 1);
}

TEST(Stack, UnderflowWhenEmptyChangesNothing)
{
    STACK<double> stack{2};
    EXPECT_EQ(message_of([](STACK<double>& s) { s.pop(); }, stack), "Stack underflow");
    EXPECT_EQ(message_of([](STACK<double>& s) { s.peek(); }, stack), "Stack underflow");
    EXPECT_EQ(stack.top, 2);
}

TEST(Stack, PeekLeavesTheTopInPlace)
{
    STACK<double> stack{2};
    stack.push(1.0);
    stack.push(2.0);
    EXPECT_EQ(stack.peek(), 2.0);
    EXPECT_EQ(stack.peek(), 2.0);
    EXPECT_EQ(stack.top, 0);
}

TEST(CallStack, HoldsOneHundredEntries)
{
    reset_interpreter_state();
    EXPECT_EQ(call_stack.size, 100);
    EXPECT_EQ(call_stack.top, call_stack.size);
    for (int i = 0; i < 100; ++i) call_stack.push(CALL_STRUCT{});
    std::string message;
    try {
        call_stack.push(CALL_STRUCT{});
    } catch (const ERROR& error) {
        message = error.message;
    }
    EXPECT_EQ(message, "Stack overflow");
    EXPECT_EQ(call_stack.top, 0);
    reset_interpreter_state();
}

// The two kinds of record, as the interpreter leaves them on the call stack: a loop record
// from "5 2 DO" and, above it, the record of a sub call whose body's ';' was used up by a
// ':' inside it.
TEST(CallStack, RecordsTellTheirKind)
{
    const SESSION_RESULT run = run_in_process("QUIT 5 2 DO : Y : Z ; Y 9\n");
    EXPECT_EQ(run.out.substr(run.out.size() - 4), " ok\n");
    ASSERT_EQ(call_stack.top, call_stack.size - 2);

    const CALL_STRUCT loop = call_stack.items[call_stack.size - 1];
    EXPECT_TRUE(is_loop_record(loop));
    EXPECT_EQ(loop.index, 2.0);
    EXPECT_EQ(loop.limit, 5.0);
    EXPECT_EQ(loop.initial, 2.0);
    EXPECT_EQ(loop.loop_pos, source_buffer + 11);  // just past "DO"

    const CALL_STRUCT call = call_stack.items[call_stack.size - 2];
    EXPECT_FALSE(is_loop_record(call));
    EXPECT_EQ(call.line_start, source_buffer);
    EXPECT_EQ(call.line_end, source_buffer + 25);
    EXPECT_EQ(call.scan_pos, source_buffer + 23);  // just past the call "Y"
    reset_interpreter_state();
}
