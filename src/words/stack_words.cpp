// Stack manipulation words; see stack_words.h. The pops come first, then the pushes, so
// DUP on a full stack fails on its second push and OVER on its third, with the popped
// cells pushed back before that. Tests: transcripts/stack/.
#include "words/stack_words.h"

#include "stack/stack.h"

// ( a -- a a )
void word_dup()
{
    const double a = data_stack->pop();
    data_stack->push(a);
    data_stack->push(a);
}

// ( a b -- b a )
void word_swap()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(b);
    data_stack->push(a);
}

// ( a b -- a b a )
void word_over()
{
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(a);
    data_stack->push(b);
    data_stack->push(a);
}

// ( a b c -- b c a )
void word_rot()
{
    const double c = data_stack->pop();
    const double b = data_stack->pop();
    const double a = data_stack->pop();
    data_stack->push(b);
    data_stack->push(c);
    data_stack->push(a);
}

// ( a -- )
void word_drop() { data_stack->pop(); }
