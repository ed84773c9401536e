// The read-eval loop and everything a run owns from start to end: the banner, the source
// buffer that keeps every line of the run, QUIT, the one catch of ERROR, and the teardown.
// Tests: transcripts/ (every one is a whole run), unit/repl_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

#include "interp/step_budget.h"

class LINE_SOURCE;

// Every line of the run, back to back without newlines, then one NUL. Text once stored is
// never moved or overwritten: sub bodies and loop positions point into it to the end.
// 1023 characters of text in a run, plus the terminator.
inline constexpr std::size_t source_buffer_size = 1024;
extern char source_buffer[source_buffer_size];
extern char* input_pos;           // where the next line goes: on the current terminator
extern unsigned char quit_flag;   // set by QUIT; the run ends after that line's " ok"

void word_quit();  // QUIT ( -- )

// A run, one line at a time, so that a caller that gets its lines one by one (the web
// console) drives the same loop as the program. ended: the run is over, torn down, and
// status is its exit status (0 after QUIT or the end of the input; 1 after an ERROR, which
// has been reported and followed by wait_key, or after a failed read, reported on standard
// error). Expects the start state (a fresh process, or reset_interpreter_state).
struct RUN_STATE {
    bool ended;
    int status;
};
RUN_STATE start_run(void (*wait_key)());                     // banner, data stack, dictionary
RUN_STATE run_line(LINE_SOURCE& input, void (*wait_key)());  // reads one line and runs it

// A whole run: start_run, then run_line until the run has ended. Returns the exit status.
int run_session(LINE_SOURCE& input, void (*wait_key)());

// Puts every piece of file-level state back as a fresh process has it (call_stack empty,
// source buffer zeroed, no data stack or dictionary), releasing whatever a run left, also
// after a STEP_LIMIT_REACHED. The next run may take step_limit steps (see step_budget.h);
// a fresh process has no limit. The program runs once per process and never needs it; the
// web page's engine (one per page, any number of runs), the fuzzer and the tests do.
void reset_interpreter_state(std::uint64_t step_limit = unlimited_steps);
