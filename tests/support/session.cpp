// See session.h.
#include "support/session.h"

#include <iostream>
#include <sstream>

#include "main/repl.h"
#include "platform/line_input.h"

static void no_key_wait() {}

SESSION_RESULT run_on_current_state(LINE_READER& input)
{
    std::ostringstream captured;
    std::streambuf* const saved = std::cout.rdbuf(captured.rdbuf());
    int status = 0;
    try {
        status = run_session(input, no_key_wait);
    } catch (...) {
        std::cout.rdbuf(saved);
        throw;
    }
    std::cout.rdbuf(saved);
    return {captured.str(), status};
}

SESSION_RESULT run_in_process(std::string_view input)
{
    reset_interpreter_state();
    LINE_READER reader{input};
    return run_on_current_state(reader);
}
