// The program: standard input in, standard output out. Everything else lives in the core
// library, so that the tests run the same code. It takes no arguments but --help and
// --version; anything else (a file name typed by habit) is refused before the banner, so
// nobody is left at an interpreter that silently ignored it. Tests: transcripts/,
// unit/arguments_test.cpp, tests/terminal/.
#include <iostream>
#include <string_view>

#include "dict/dictionary.h"
#include "main/repl.h"
#include "platform/console.h"

#ifndef FORTH_VERSION
#error "FORTH_VERSION must give the project's version"
#endif

static constexpr std::string_view usage =
    "usage: forth [--help | --version]\n"
    "\n"
    "An interpreter for a small Forth dialect. It reads lines from standard input:\n"
    "  forth              type lines at the console; QUIT or Ctrl-D ends the run\n"
    "  forth < prog.fs    run a program from a file or a pipe\n"
    "Any error ends the run with exit status 1.\n"
    "\n"
    "The manual: man forth. Example programs: share/doc/forth/examples where forth is\n"
    "installed (/usr/share/doc/forth/examples from the Debian package).\n";

// The exit status for a run with arguments: none of them starts the interpreter.
static int answer_arguments(int argc, char** argv)
{
    const std::string_view first = argv[1];
    if (argc == 2 && first == "--help") {
        std::cout << usage;
    } else if (argc == 2 && first == "--version") {
        std::cout << "forth " FORTH_VERSION "\n";
    } else {
        const std::string_view wrong = first == "--help" || first == "--version" ? argv[2] : first;
        std::cerr << "forth: unknown argument '" << wrong << "'\n" << usage;
        return 2;
    }
    std::cout.flush();
    return std::cout.good() ? 0 : 1;
}

int main(int argc, char** argv)
{
    if (argc > 1) return answer_arguments(argc, argv);
    // Our own buffer instead of stdio's: fully buffered when piped, flushed at each " ok".
    std::ios::sync_with_stdio(false);
    if (stdout_is_terminal()) std::cout.setf(std::ios::unitbuf);
    const auto input = open_standard_input(word_names);
    const int status = run_session(*input, wait_for_key);
    // Output that could not be written (a full disk; a closed pipe when SIGPIPE is ignored)
    // fails the run, however well the program went: a script must not take it for success.
    std::cout.flush();
    return std::cout.good() ? status : 1;
}
