// Arithmetic and comparison words; see arith.h. No word here can overflow the data stack
// (each pops at least as many cells as it pushes), and none pushes an infinity: results
// that would be infinite end the run with "Arithmetic overflow". Tests: transcripts/arith/.
#include "words/arith.h"

#include <cstdint>

#include "interp/cell.h"
#include "interp/error.h"
#include "stack/stack.h"

// ( a b -- a+b )
void word_plus()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(ensure_finite(a + b));
}

// ( a b -- a-b )
void word_dash()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(ensure_finite(a - b));
}

// ( a b -- a*b )
void word_star()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(ensure_finite(a * b));
}

// ( a b -- a*r ) with r = 1/b rounded on its own: the two roundings are intended
// (49 49 / gives 0.9999999999999999), so do not fold this into a / b. b is checked
// as r is formed, before the second pop: "0 /" on one cell is a division by zero.
void word_slash()
{
    const double b = data_stack->pop();
    if (b == 0.0) throw ERROR{"Division by zero"};  // -0.0 compares equal, as it should
    const double r = ensure_finite(1.0 / b);        // "Arithmetic overflow" if b is subnormal
    data_stack->push(ensure_finite(data_stack->pop() * r));
}

struct INT_DIVISION {
    std::int32_t remainder;  // sign of the dividend, or 0
    std::int32_t quotient;   // truncated toward zero
};

// Both operands are popped and converted before the divisor is tested, so "0 MOD" on one
// cell is a stack underflow, not a division by zero.
static INT_DIVISION pop_and_divide()
{
    const std::int32_t j = cell_to_int(data_stack->pop());
    const std::int32_t i = cell_to_int(data_stack->pop());
    if (j == 0) throw ERROR{"Division by zero"};
    // -2147483648 / -1 does not fit and would trap; its quotient wraps like every 32-bit
    // value here: -i taken modulo 2^32 is i again.
    if (j == -1) return {0, static_cast<std::int32_t>(0U - static_cast<std::uint32_t>(i))};
    return {i % j, i / j};
}

// ( a b -- rem )
void word_mod() { data_stack->push(pop_and_divide().remainder); }

// ( a b -- rem quot ), quotient on top
void word_slash_mod()
{
    const INT_DIVISION d = pop_and_divide();
    data_stack->push(d.remainder);
    data_stack->push(d.quotient);
}

// ( a -- -a )
void word_minus() { data_stack->push(-data_stack->pop()); }

// ( a b -- b if b < a, else a ): equal values give a, the second.
void word_min()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(b < a ? b : a);
}

// ( a b -- b if b > a, else a )
void word_max()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(b > a ? b : a);
}

// ( a -- |a| ): -0 stays -0, which no word can tell from 0.
void word_abs()
{
    const double a = data_stack->pop();
    data_stack->push(a < 0.0 ? -a : a);
}

static double truth(bool flag) { return flag ? 1.0 : 0.0; }

// ( a b -- a<b )
void word_less_than()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(truth(a < b));
}

// ( a b -- a>b )
void word_greater_than()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(truth(a > b));
}

// ( a b -- a=b ): 0 and -0 are equal.
void word_equals()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(truth(a == b));
}
