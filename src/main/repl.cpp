// The read-eval loop; see repl.h. Tests: transcripts/, unit/repl_test.cpp.
#include "main/repl.h"

#include <algorithm>
#include <cstring>
#include <iostream>

#include "dict/dictionary.h"
#include "interp/error.h"
#include "interp/source.h"
#include "interp/step_budget.h"
#include "platform/line_input.h"
#include "stack/stack.h"

char source_buffer[source_buffer_size];
char* input_pos = source_buffer;
unsigned char quit_flag = 0;

void word_quit() { quit_flag = 1; }

// Reads the next line behind the stored ones and makes it the current text. A line that
// does not fit ends the run before any of it runs, and leaves the stored text as it was.
static LINE_STATUS store_next_line(LINE_SOURCE& input)
{
    const auto used = static_cast<std::size_t>(input_pos - source_buffer);
    const std::size_t room = source_buffer_size - 1 - used;  // keep one byte for the NUL
    std::size_t length = 0;
    const LINE_STATUS status = input.read_line(input_pos, room, length);
    if (status == LINE_STATUS::too_long) {
        *input_pos = '\0';  // the reader may have stored part of the line over the terminator
        throw ERROR{"Source buffer full"};
    }
    if (status != LINE_STATUS::line) {
        *input_pos = '\0';  // a failed read may have stored part of its line too
        return status;
    }
    input_pos[length] = '\0';
    line_start = input_pos;
    scan_pos = input_pos;
    line_end = input_pos + length;
    input_pos += length;
    return status;
}

static void release_run()
{
    delete data_stack;
    data_stack = nullptr;
    delete dictionary;
    dictionary = nullptr;
}

static RUN_STATE end_run(int status)
{
    release_run();  // data stack first, then the dictionary
    return {true, status};
}

// The one place an ERROR is caught: whatever step of the run threw it, it is reported, the
// key is waited for, and the run ends.
template <typename STEP>
static RUN_STATE run_guarded(STEP step, void (*wait_key)())
{
    try {
        return step();
    } catch (const ERROR& error) {
        std::cout << "ERROR: " << error.message << std::endl;
        wait_key();
        return end_run(1);
    }
}

RUN_STATE start_run(void (*wait_key)())
{
    std::cout << "FORTH-Interpreter Version 1.0" << std::endl
              << "Type QUIT to leave. Any error ends the run." << std::endl
              << std::endl;
    return run_guarded([] {
        data_stack = new STACK<double>{data_stack_cells};
        dictionary = new std::list<WORT>;
        register_primitives();
        return RUN_STATE{false, 0};
    }, wait_key);
}

RUN_STATE run_line(LINE_SOURCE& input, void (*wait_key)())
{
    return run_guarded([&input] {
        switch (store_next_line(input)) {
        case LINE_STATUS::end: return end_run(0);  // as after QUIT: the program has ended
        case LINE_STATUS::failed:
            // A truncated program must not look like a finished one.
            std::cerr << "forth: cannot read standard input: " << std::strerror(input.read_error()) << std::endl;
            return end_run(1);
        default: break;
        }
        interpret();
        std::cout << " ok" << std::endl;
        return quit_flag != 0 ? end_run(0) : RUN_STATE{false, 0};
    }, wait_key);
}

int run_session(LINE_SOURCE& input, void (*wait_key)())
{
    RUN_STATE state = start_run(wait_key);
    while (!state.ended) state = run_line(input, wait_key);
    return state.status;
}

void reset_interpreter_state(std::uint64_t step_limit)
{
    release_run();
    call_stack.top = call_stack.size;
    std::fill(call_stack.items, call_stack.items + call_stack.size, CALL_STRUCT{});
    std::memset(source_buffer, 0, sizeof source_buffer);
    input_pos = source_buffer;
    quit_flag = 0;
    line_start = line_end = scan_pos = token_start = token_end = nullptr;
    steps_left = step_limit;
}
