// Runs a whole interpreter session inside the test process: the state is reset first, the
// input comes from memory, std::cout is captured, and there is no key wait. For unit tests
// that need to look inside (the stacks, the source buffer) after a run.
#pragma once
#include <string>
#include <string_view>

class LINE_READER;

struct SESSION_RESULT {
    std::string out;  // everything written to std::cout, banner included
    int status;       // what run_session returned
};

SESSION_RESULT run_in_process(std::string_view input);

// The same on whatever state the previous run or test left, from any reader: for tests of
// reset_interpreter_state itself, and of input read from a descriptor.
SESSION_RESULT run_on_current_state(LINE_READER& input);
