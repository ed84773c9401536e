// The two stack instances and the out-of-line throws of STACK<T>. Tests: unit/stack_test.cpp.
#include "stack/stack.h"

STACK<double>* data_stack = nullptr;
STACK<CALL_STRUCT> call_stack{call_stack_entries};

void throw_stack_overflow() { throw ERROR{"Stack overflow"}; }
void throw_stack_underflow() { throw ERROR{"Stack underflow"}; }
