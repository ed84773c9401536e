// The web build's entry: what forth.js calls in the WebAssembly module, and the one
// function it must provide. Plain C functions over bytes, so that JavaScript can call them
// without any binding layer. See web_entry.cpp. Tests: tests/web/, unit/web_entry_test.cpp.
#pragma once
#include <cstddef>

// What forth_start, forth_line and forth_end return instead of an exit status.
inline constexpr int forth_running = -1;  // the run goes on: give it the next line
inline constexpr int forth_no_run = -2;   // refused: no run is open (none started, or it has ended)

extern "C" {

// A whole run: the bytes are its standard input. Returns the exit status (0 after QUIT or
// at the end of the input, 1 after an ERROR). The output goes to forth_web_output.
int forth_run(const char* input, std::size_t size);

// A run fed a line at a time. forth_start writes the banner and opens a run (ending any
// run still open). forth_line reads one line from the bytes, up to their first newline
// (what follows it is ignored; no bytes at all are the end of the input), and runs it.
// forth_end ends the input, as Ctrl-D does at the console. Each returns forth_running, or
// the exit status once the run has ended, or forth_no_run.
int forth_start();
int forth_line(const char* line, std::size_t size);
int forth_end();

// Provided by the host (web/output.js in the browser): receives each piece of standard
// output, in order, as it is written. The bytes are only valid during the call.
void forth_web_output(const char* bytes, std::size_t size);
}
