// The program: standard input in, standard output out, no arguments. Everything else lives
// in the core library, so that the tests run the same code.
#include <iostream>
#include <unistd.h>

#include "main/repl.h"
#include "platform/console.h"
#include "platform/line_input.h"

int main()
{
    // Our own buffer instead of stdio's: fully buffered when piped, flushed at each " ok".
    std::ios::sync_with_stdio(false);
    if (stdout_is_terminal()) std::cout.setf(std::ios::unitbuf);
    LINE_READER input{STDIN_FILENO};
    const int status = run_session(input, wait_for_key);
    // Output that could not be written (a full disk; a closed pipe when SIGPIPE is ignored)
    // fails the run, however well the program went: a script must not take it for success.
    std::cout.flush();
    return std::cout.good() ? status : 1;
}
