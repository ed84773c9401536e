// See expect_transcript.h.
#include "transcripts/expect_transcript.h"

#include <gtest/gtest.h>
#include <string>

#include "support/run_forth.h"

int implied_status(std::string_view expected)
{
    return expected.empty() || expected.ends_with(" ok\n") ? 0 : 1;
}

// Control bytes and high bytes would make a failure message unreadable.
static std::string visible(std::string_view bytes)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    std::string shown;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\n') {
            shown += "\\n\n";
        } else if (byte < 32 || byte >= 127 || c == '\\') {
            shown += "\\x";
            shown += hex[byte >> 4];
            shown += hex[byte & 15];
        } else {
            shown += c;
        }
    }
    return shown;
}

void expect_transcript(std::string_view input, std::string_view expected)
{
    const RUN_RESULT run = run_forth(input);
    ASSERT_FALSE(run.timed_out) << "input:\n" << visible(input);
    ASSERT_TRUE(std::string_view{run.out}.starts_with(banner)) << "output:\n" << visible(run.out);
    const std::string_view body = std::string_view{run.out}.substr(banner.size());
    EXPECT_EQ(visible(body), visible(expected)) << "input:\n" << visible(input);
    EXPECT_EQ(run.status, implied_status(expected)) << "input:\n" << visible(input);
    EXPECT_EQ(run.err, "") << "input:\n" << visible(input);
}
