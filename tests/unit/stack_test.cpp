// STACK<T> bounds: a push succeeds while top > 0, a pop or peek while top < size, and a
// failing operation changes nothing.
#include <gtest/gtest.h>

#include "interp/error.h"
#include "stack/stack.h"

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
