// The console: what the interpreter needs of the terminal. Tests: tests/terminal/.
#pragma once
#include <memory>

#include "platform/line_editor.h"

bool stdout_is_terminal();  // decides unit-buffered (terminal) or fully buffered output

// Standard input as the read-eval loop's source of lines, chosen once at start-up: the line
// editor when standard input and standard output are both terminals and TERM names one
// other than "dumb"; otherwise (a pipe or a file, output redirected, TERM unset or dumb)
// the plain reader, so that a script sees every byte as it always has.
std::unique_ptr<LINE_SOURCE> open_standard_input(WORD_NAMES names);

// After an error: one key from the controlling terminal (/dev/tty), not echoed, never from
// standard input. What was typed before the wait began, and the rest of a key that sends
// several bytes, are discarded. The terminal's settings are put back as they were, also
// when a signal ends the process during the wait. Returns at once when there is no
// controlling terminal.
void wait_for_key();
