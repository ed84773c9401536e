// The console: what the interpreter needs of the terminal. Tests: tests/terminal/.
#pragma once

bool stdout_is_terminal();  // decides unit-buffered (terminal) or fully buffered output

// After an error: one key from the controlling terminal (/dev/tty), not echoed, never from
// standard input. What was typed before the wait began, and the rest of a key that sends
// several bytes, are discarded. The terminal's settings are put back as they were, also
// when a signal ends the process during the wait. Returns at once when there is no
// controlling terminal.
void wait_for_key();
