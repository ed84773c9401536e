// The line editor: lines typed at a console, read through libedit. Emacs-style keys
// (Left/Right, Home/End, Ctrl-A/Ctrl-E, Backspace/Delete, Ctrl-K/Ctrl-U/Ctrl-W), Up/Down
// and Ctrl-R through the lines typed in this run, Tab to complete a word's name. No prompt.
// It reads no init file and no history file, keeps its history in memory for the run only,
// and of the environment reads only TERM, which the terminal library needs to draw the
// line. A line it hands out is handled exactly as a line the plain reader hands out.
// Tests: tests/terminal/line_editing_test.py.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "platform/line_input.h"

// Every name Tab may complete to, newest first, each once. Called at every Tab, so subs
// defined since the last one are offered too. The program passes it in: the platform
// layer knows nothing of the dictionary.
using WORD_NAMES = std::vector<std::string> (*)();

// The editor on standard input and standard output, which must both be terminals; null
// when it cannot work there (libedit knows no such terminal, or the build has no line
// editing), and the plain reader serves instead.
std::unique_ptr<LINE_SOURCE> open_line_editor(WORD_NAMES names);
