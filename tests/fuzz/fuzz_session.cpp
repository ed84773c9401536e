// See fuzz_session.h.
#include "fuzz/fuzz_session.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <numeric>
#include <streambuf>
#include <string>
#include <sys/socket.h>
#include <unistd.h>

#include "dict/dictionary.h"
#include "interp/step_budget.h"
#include "main/repl.h"
#include "platform/line_input.h"
#include "stack/stack.h"
#include "support/run_forth.h"  // banner

// 64-bit FNV-1a, continued over successive pieces.
static std::uint64_t fnv1a(std::uint64_t hash, std::string_view bytes)
{
    return std::accumulate(bytes.begin(), bytes.end(), hash, [](std::uint64_t h, char c) {
        return (h ^ static_cast<unsigned char>(c)) * 0x100000001B3U;
    });
}
static constexpr std::uint64_t fnv1a_start = 0xCBF29CE484222325U;

// Standard output for a fuzzed run. A run may legitimately write gigabytes (SPACES, loops),
// so only the first bytes (for the banner) and the last ones (for the ending) are kept, and
// a checksum of all of them. Never fails and never allocates.
class OUTPUT_SINK : public std::streambuf {
public:
    OUTPUT_SINK() { setp(area, area + sizeof area); }

    std::string_view head() const { return wrapped ? std::string_view{first, sizeof first} : kept(); }
    std::string_view kept() const { return {pbase(), static_cast<std::size_t>(pptr() - pbase())}; }
    std::uint64_t total() const { return dropped + static_cast<std::uint64_t>(pptr() - pbase()); }
    std::uint64_t checksum() const { return fnv1a(hash, {hashed, static_cast<std::size_t>(pptr() - hashed)}); }

protected:
    int_type overflow(int_type c) override
    {
        if (!wrapped) {
            std::memcpy(first, area, sizeof first);
            wrapped = true;
        }
        hash = fnv1a(hash, {hashed, static_cast<std::size_t>(pptr() - hashed)});
        // The longest error line is under 1100 bytes ("Word <...> not found ..." with a name
        // of up to 1023 characters); keep more than that.
        static constexpr std::ptrdiff_t keep = 4096;
        std::memmove(area, pptr() - keep, keep);
        dropped += sizeof area - keep;
        setp(area, area + sizeof area);
        pbump(static_cast<int>(keep));
        hashed = pptr();
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
    const char* hashed = area;  // area holds unhashed bytes from here to pptr()
    std::uint64_t hash = fnv1a_start;
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

// Larger inputs (only long transcripts in the replay) are fed from memory alone: the pieces
// are all written before the run reads them, and must fit in the socket's buffer.
static constexpr std::size_t split_feed_limit = std::size_t{64} * 1024;

// A socket that hands out the input in pieces of 1 to 97 bytes (the last one up to 4 KB, a
// reader's chunk), one piece per read, so that lines, NULs and the source buffer's limit
// fall across the reader's refills at places that depend on the bytes. At most 64 small
// pieces, so that all of them fit in the socket's buffer. Returns the reading end.
static int split_descriptor(std::string_view input)
{
    int ends[2];
    if (::socketpair(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0, ends) != 0) std::abort();
    std::uint64_t random = fnv1a(fnv1a_start, input) | 1U;
    for (int piece = 0; !input.empty(); ++piece) {
        random ^= random << 13U;
        random ^= random >> 7U;
        random ^= random << 17U;
        const std::size_t size = piece < 64 ? 1 + random % 97 : 4096;
        const std::string_view part = input.substr(0, std::min(size, input.size()));
        if (::send(ends[1], part.data(), part.size(), MSG_NOSIGNAL) != static_cast<ssize_t>(part.size())) std::abort();
        input.remove_prefix(part.size());
    }
    ::close(ends[1]);
    return ends[0];
}

FUZZ_RUN run_fuzz_session(std::string_view input, std::uint64_t step_limit, FUZZ_FEED feed)
{
    const int descriptor = feed == FUZZ_FEED::split_descriptor ? split_descriptor(input) : -1;
    reset_interpreter_state(step_limit);
    OUTPUT_SINK sink;
    std::streambuf* const saved = std::cout.rdbuf(&sink);
    LINE_READER from_memory{input};
    LINE_READER from_descriptor{descriptor};
    FUZZ_RUN run{-1, false, 0, 0};
    try {
        run.status = run_session(descriptor >= 0 ? from_descriptor : from_memory, no_key_wait);
    } catch (const STEP_LIMIT_REACHED&) {
        run.step_limited = true;
    } catch (...) {
        std::cout.rdbuf(saved);
        throw;  // anything else escaping a run is a finding: let the engine report it
    }
    std::cout.rdbuf(saved);
    if (descriptor >= 0) ::close(descriptor);
    if (!run.step_limited) check_run(run.status, sink);
    run.bytes = sink.total();
    run.checksum = sink.checksum();
    reset_interpreter_state();  // releases what a cut-short run still holds
    return run;
}

void fuzz_one_input(std::string_view input)
{
    const FUZZ_RUN whole = run_fuzz_session(input);
    if (input.size() > split_feed_limit) return;
    const FUZZ_RUN split = run_fuzz_session(input, fuzz_step_limit, FUZZ_FEED::split_descriptor);
    if (split.status != whole.status || split.step_limited != whole.step_limited || split.bytes != whole.bytes ||
        split.checksum != whole.checksum) {
        (void)std::fprintf(stderr,
                           "fuzz session: the run differs when its input arrives in pieces: status %d/%d, "
                           "%llu/%llu bytes\n",
                           whole.status, split.status, static_cast<unsigned long long>(whole.bytes),
                           static_cast<unsigned long long>(split.bytes));
        std::abort();
    }
}
