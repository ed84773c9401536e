// The read-eval loop and everything a run owns from start to end: the banner, the source
// buffer that keeps every line of the run, QUIT, the one catch of ERROR, and the teardown.
// Tests: transcripts/ (every one is a whole run), unit/repl_test.cpp.
#pragma once
#include <cstddef>
#include <cstdint>

#include "interp/step_budget.h"

class LINE_READER;

// Every line of the run, back to back without newlines, then one NUL. Text once stored is
// never moved or overwritten: sub bodies and loop positions point into it to the end.
// 1023 characters of text in a run, plus the terminator.
inline constexpr std::size_t source_buffer_size = 1024;
extern char source_buffer[source_buffer_size];
extern char* input_pos;           // where the next line goes: on the current terminator
extern unsigned char quit_flag;   // set by QUIT; the run ends after that line's " ok"

void word_quit();  // QUIT ( -- )

// A whole run: banner, lines from input until QUIT or end of input, teardown. After an
// ERROR it reports it, calls wait_key and tears down. Returns the exit status: 0, or 1 after
// an ERROR. Expects the start state (a fresh process, or reset_interpreter_state).
int run_session(LINE_READER& input, void (*wait_key)());

// Puts every piece of file-level state back as a fresh process has it (call_stack empty,
// source buffer zeroed, no data stack or dictionary), releasing whatever a run left, also
// after a STEP_LIMIT_REACHED. The next run may take step_limit steps (see step_budget.h);
// a fresh process has no limit. Only the fuzzer and tests need it: the program runs once
// per process.
void reset_interpreter_state(std::uint64_t step_limit = unlimited_steps);
