// See fuzz_session.h.
#include "fuzz/fuzz_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string>

#include "dict/dictionary.h"
#include "interp/step_budget.h"
#include "main/repl.h"
#include "platform/line_input.h"
#include "stack/stack.h"

static constexpr std::string_view banner =
    "FORTH-Interpreter Version 1.0\nType QUIT to leave. Any error ends the run.\n\n";

// Standard output for a fuzzed run. A run may legitimately write gigabytes (SPACES, loops),
// so only the first bytes (for the banner) and the last ones (for the ending) are kept.
// Never fails and never allocates after the first overflow.
class OUTPUT_SINK : public std::streambuf {
public:
    OUTPUT_SINK() { setp(area, area + sizeof area); }

    std::string_view head() const { return wrapped ? std::string_view{first, sizeof first} : kept(); }
    std::string_view kept() const { return {pbase(), static_cast<std::size_t>(pptr() - pbase())}; }
    std::uint64_t total() const { return dropped + static_cast<std::uint64_t>(pptr() - pbase()); }

protected:
    int_type overflow(int_type c) override
    {
        if (!wrapped) {
            std::memcpy(first, area, sizeof first);
            wrapped = true;
        }
        // The longest error line is under 1100 bytes ("Word <...> not found ..." with a name
        // of up to 1023 characters); keep more than that.
        static constexpr std::ptrdiff_t keep = 4096;
        std::memmove(area, pptr() - keep, keep);
        dropped += sizeof area - keep;
        setp(area, area + sizeof area);
        pbump(static_cast<int>(keep));
        if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
        *pptr() = traits_type::to_char_type(c);
        pbump(1);
        return c;
    }

private:
    char area[1 << 16] = {};
    char first[banner.size()] = {};
    bool wrapped = false;
    std::uint64_t dropped = 0;
};

[[noreturn]] static void finding(const char* what, std::string_view output)
{
    const std::string_view end = output.substr(output.size() - std::min<std::size_t>(output.size(), 200));
    (void)std::fprintf(stderr, "fuzz session: %s\n--- output ends with:\n%.*s\n---\n", what,
                 static_cast<int>(end.size()), end.data());
    std::abort();
}

static void check_run(int status, const OUTPUT_SINK& sink)
{
    const std::string_view out = sink.kept();
    if (!sink.head().starts_with(banner)) finding("output does not start with the banner", sink.head());
    if (data_stack != nullptr || dictionary != nullptr) finding("teardown left the data stack or dictionary", out);
    if (status == 0) {
        if (!out.ends_with(" ok\n") && !(sink.total() == banner.size())) finding("status 0 without a final \" ok\"", out);
    } else if (status == 1) {
        const std::size_t report = out.rfind("ERROR: ");
        if (report == std::string_view::npos || !out.ends_with('\n') || out.find('\n', report) != out.size() - 1)
            finding("status 1 without an error report as the last line", out);
    } else {
        finding("exit status neither 0 nor 1", out);
    }
}

static void no_key_wait() {}

FUZZ_RUN run_fuzz_session(std::string_view input, std::uint64_t step_limit)
{
    reset_interpreter_state(step_limit);
    OUTPUT_SINK sink;
    std::streambuf* const saved = std::cout.rdbuf(&sink);
    LINE_READER reader{input};
    FUZZ_RUN run{-1, false, 0};
    try {
        run.status = run_session(reader, no_key_wait);
    } catch (const STEP_LIMIT_REACHED&) {
        run.step_limited = true;
    } catch (...) {
        std::cout.rdbuf(saved);
        throw;  // anything else escaping a run is a finding: let the engine report it
    }
    std::cout.rdbuf(saved);
    if (!run.step_limited) check_run(run.status, sink);
    run.bytes = sink.total();
    reset_interpreter_state();  // releases what a cut-short run still holds
    return run;
}
