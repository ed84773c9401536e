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

// Reads the next line behind the stored ones and makes it the current text. False at end
// of input. A line that does not fit ends the run before any of it runs, and leaves the
// stored text as it was.
static bool store_next_line(LINE_READER& input)
{
    const auto used = static_cast<std::size_t>(input_pos - source_buffer);
    const std::size_t room = source_buffer_size - 1 - used;  // keep one byte for the NUL
    std::size_t length = 0;
    const LINE_STATUS status = input.read_line(input_pos, room, length);
    if (status == LINE_STATUS::end) return false;
    if (status == LINE_STATUS::too_long) {
        *input_pos = '\0';  // the reader may have stored part of the line over the terminator
        throw ERROR{"Source buffer full"};
    }
    input_pos[length] = '\0';
    line_start = input_pos;
    scan_pos = input_pos;
    line_end = input_pos + length;
    input_pos += length;
    return true;
}

static void release_run()
{
    delete data_stack;
    data_stack = nullptr;
    delete dictionary;
    dictionary = nullptr;
}

int run_session(LINE_READER& input, void (*wait_key)())
{
    std::cout << "FORTH-Interpreter Version 1.0" << std::endl
              << "Type QUIT to leave. Any error ends the run." << std::endl
              << std::endl;
    int status = 0;
    try {
        data_stack = new STACK<double>{data_stack_cells};
        dictionary = new std::list<WORT>;
        register_primitives();
        do {
            if (!store_next_line(input)) break;  // end of input ends the run as QUIT would
            interpret();
            std::cout << " ok" << std::endl;
        } while (quit_flag == 0);
    } catch (const ERROR& error) {
        std::cout << "ERROR: " << error.message << std::endl;
        wait_key();
        status = 1;
    }
    release_run();  // data stack first, then the dictionary
    return status;
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
