// The interpreter as forth.js sees it: a whole run over bytes in memory, or a run fed one
// line at a time, with standard output handed to JavaScript in pieces as it is written.
// These few C functions are all the page's engine calls (web/engine.js wraps them). There
// is no key wait after an error: a page has no terminal, and the run simply ends. Each run
// starts from the state of a fresh process (reset_interpreter_state), so one engine serves
// any number of runs. Tests: tests/web/ (in a browser), unit/web_entry_test.cpp.
#include "web_entry.h"

#include <iostream>
#include <streambuf>
#include <string_view>

#include "main/repl.h"
#include "platform/line_input.h"

namespace {

// std::cout's buffer in the web build. It holds at most one chunk and hands it over at
// every flush (the interpreter flushes at each end of line it writes, as it does when its
// output is a pipe) and whenever the chunk is full, so output of any length needs no more
// memory than this, and a page can show what a long run has written so far. It allocates
// nothing, so a write cannot fail.
class OUTPUT_PIECES final : public std::streambuf {
public:
    OUTPUT_PIECES() noexcept { setp(chunk, chunk + sizeof chunk); }

protected:
    int_type overflow(int_type c) override
    {
        hand_over();
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }
    int sync() override
    {
        hand_over();
        return 0;
    }

private:
    void hand_over()
    {
        if (pptr() != pbase()) forth_web_output(pbase(), static_cast<std::size_t>(pptr() - pbase()));
        setp(chunk, chunk + sizeof chunk);
    }

    char chunk[4096]{};
};

OUTPUT_PIECES output_pieces;
bool run_open = false;  // a line-at-a-time run has started and not ended

void no_key_wait() {}

// The exit status of a run that has ended, or forth_running. Output that could not be
// written fails the run, as in the console program (with this buffer it cannot happen).
int finish(RUN_STATE state)
{
    std::cout.flush();
    run_open = !state.ended;
    if (run_open) return forth_running;
    return std::cout.good() ? state.status : 1;
}

// Every run starts as a fresh process does; a run still open ends without a word.
void begin_run()
{
    reset_interpreter_state();
    std::cout.rdbuf(&output_pieces);
    std::cout.clear();
}

}  // namespace

int forth_run(const char* input, std::size_t size)
{
    begin_run();
    LINE_READER reader{std::string_view{input, size}};
    return finish(RUN_STATE{true, run_session(reader, no_key_wait)});
}

int forth_start()
{
    begin_run();
    return finish(start_run(no_key_wait));
}

int forth_line(const char* line, std::size_t size)
{
    if (!run_open) return forth_no_run;
    LINE_READER reader{std::string_view{line, size}};
    return finish(run_line(reader, no_key_wait));
}

int forth_end()
{
    if (!run_open) return forth_no_run;
    LINE_READER reader{std::string_view{}};
    return finish(run_line(reader, no_key_wait));
}
