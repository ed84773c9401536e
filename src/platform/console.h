// The console: what the interpreter needs of the terminal. Tests: tests/terminal/.
#pragma once

bool stdout_is_terminal();  // decides unit-buffered (terminal) or fully buffered output

// After an error: one key from the controlling terminal (/dev/tty), not echoed, never from
// standard input; the terminal's settings are put back as they were. Returns at once when
// there is no controlling terminal.
void wait_for_key();
