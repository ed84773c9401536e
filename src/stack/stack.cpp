// The two stack instances and the out-of-line throws of STACK<T>. Tests: unit/stack_test.cpp.
#include "stack/stack.h"

STACK<double>* data_stack = nullptr;
// Built before main: if its allocation fails the process ends as an unhandled exception,
// before the banner, which is the intended outcome (nothing could run without it).
STACK<CALL_STRUCT> call_stack{call_stack_entries};  // NOLINT(cert-err58-cpp): see above

void throw_stack_overflow() { throw ERROR{"Stack overflow"}; }
void throw_stack_underflow() { throw ERROR{"Stack underflow"}; }
